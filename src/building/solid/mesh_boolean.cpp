#include "building/solid/mesh_boolean.h"

#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <vector>

#include "building/solid/gts_file.h"
#include "building/solid/solid_mesh.h"
#include "building/solid/wall_mesh.h"
#include "display/select.h"
#include "model/layers.h"
#include "model/nls.h"
#include "model/ui.h"
#include "model/undo.h"
#include "model/vec3.h"
#include "platform/process.h"

std::string mesh_boolean_tool = "./gts_bso";

namespace {

constexpr const char* kFailed = "***ERROR*** Boolean operation failed\n";

struct ResultFile {
  const char* name;
  int flip;
};
// The two parts each mode reads, in the order they are joined.
constexpr ResultFile kParts[3][2] = {
    {{"1out2.gts", 1}, {"2out1.gts", 1}},
    {{"1out2.gts", 1}, {"2in1.gts", 0}},
    {{"1in2.gts", 1}, {"2in1.gts", 1}},
};
constexpr const char* kResults[4] = {"1in2.gts", "1out2.gts", "2in1.gts", "2out1.gts"};

std::string path_in(const std::string& folder, const char* name) { return folder + "/" + name; }

// Writes the one mesh e to path; false unless the whole file was written.
bool write_operand(ElemHeader* e, const std::string& path) {
  FILE* f = std::fopen(path.c_str(), "w");
  if (!f) return false;
  e->mark = 1;
  const int ok = gts_write_marked(f);
  e->mark = 0;
  return (std::fclose(f) == 0) && ok;
}

// True when the file at path holds a surface without triangles: the tool
// writes one where no part of a surface lies on that side of the other.
bool part_is_empty(const std::string& path) {
  FILE* f = std::fopen(path.c_str(), "r");
  if (!f) return false;
  long long v = 0, e = 0, t = 0;
  const bool empty = std::fscanf(f, "%lld %lld %lld", &v, &e, &t) == 3 && (v <= 0 || e <= 0 || t <= 0);
  std::fclose(f);
  return empty;
}

// Appends the mesh read from path into part, or leaves it null for a
// surface without triangles; false when the file cannot be read.
bool read_part(const std::string& path, int flip, MeshElem*& part) {
  part = nullptr;
  if (part_is_empty(path)) return true;
  FILE* f = std::fopen(path.c_str(), "r");
  if (!f) return false;
  ElemHeader* before = elem_list_tail;
  const int ok = translate_gts_kavro(f, flip);
  std::fclose(f);
  if (ok && elem_list_tail != before) part = elem_as<MeshElem>(elem_list_tail);
  return part != nullptr;
}

double surface_area(const MeshElem& m) {
  double area = 0.0;
  std::size_t at = 0;
  for (int32_t n : m.face_sizes) {
    auto corner = [&](int32_t k) {
      return m.vertices[static_cast<std::size_t>(m.indices[at + static_cast<std::size_t>(k)])];
    };
    // Fanned from the first corner: the face's area vector.
    Point3 sum{0, 0, 0, 0};
    for (int32_t k = 1; k + 1 < n; ++k)
      sum = vec3_add(sum, vec3_cross(vec3_sub(corner(k), corner(0)), vec3_sub(corner(k + 1), corner(0))));
    area += vec3_length(sum.x, sum.y, sum.z) / 2.0;
    at += static_cast<std::size_t>(n);
  }
  return area;
}

// True when the parts enclose no volume: none at all, or a sheet thinner
// than the distance at which read vertices become one (two solids that
// share only a face meet in such a sheet).
bool encloses_nothing(MeshElem* const part[2]) {
  double volume = 0.0, area = 0.0;
  for (int k = 0; k < 2; ++k)
    if (part[k]) {
      volume += solid_volume(part[k]->vertices, part[k]->face_sizes, part[k]->indices);
      area += surface_area(*part[k]);
    }
  return volume <= GTS_DUPLICATE_DISTANCE * area;
}

void remove_marked_with_undo(std::initializer_list<ElemHeader*> elems) {
  for (ElemHeader* e : elems) e->mark = 1;
  undo_record(UNDO_DELETE, 0);
  elem_purge_marked();
}

int ask_yes_no(const char* question) {
  const char* labels[] = {nls_translate(nls_mark("Yes")), nls_translate(nls_mark("No"))};
  return ui().msgbox_ask(nls_translate(question), 2, labels);
}

int fail() {
  ui().msgbox_error(kFailed);
  return 0;
}

}  // namespace

int mesh_boolean(int mode, ElemHeader* first, ElemHeader* second, const std::string& folder) {
  if (mode < 0 || mode > 2 || !first || !second || first == second) return 0;
  select_clear_flags();
  const int pen = first->pen, line_type = first->line_type;

  // Walls become meshes for good, before anything can fail.
  ElemHeader* operand[2] = {first, second};
  int converted = 0;
  for (ElemHeader*& op : operand)
    if (const auto* w = elem_as<WallElem>(op)) {
      wall_to_mesh(*w, cur_layer);
      op->mark = 1;
      op = elem_list_tail;
      ++converted;
    }
  if (converted) {
    undo_record(UNDO_DELETE, 0);
    elem_purge_marked();
    undo_record(UNDO_CREATED, converted);
  }
  auto* m1 = elem_as<MeshElem>(operand[0]);
  auto* m2 = elem_as<MeshElem>(operand[1]);
  if (!m1 || !m2) return fail();
  const FixedText<MATERIAL_NAME_LEN> material = m1->material;

  if (folder.empty()) return fail();
  // Nothing of an earlier pass may stand in for this one's files.
  const std::string kav1 = path_in(folder, "kav1.gts"), kav2 = path_in(folder, "kav2.gts");
  for (const std::string& p : {kav1, kav2}) ::unlink(p.c_str());
  for (const char* name : kResults) ::unlink(path_in(folder, name).c_str());
  if (!write_operand(m1, kav1) || !write_operand(m2, kav2)) return fail();

  if (process_run({mesh_boolean_tool, "inter", kav1, kav2, folder + "/"}) != 0) return fail();
  for (const char* name : kResults)
    if (::access(path_in(folder, name).c_str(), R_OK) != 0) return fail();

  // One part may be empty where one solid lies wholly inside the other or
  // apart from it: the result is then the other part alone.
  MeshElem* part[2] = {nullptr, nullptr};
  bool read = true;
  for (int k = 0; k < 2; ++k)
    read = read_part(path_in(folder, kParts[mode][k].name), kParts[mode][k].flip, part[k]) && read;
  const bool empty = read && encloses_nothing(part);
  if (!read || empty) {
    // A part read alone is no result.
    for (MeshElem* p : part)
      if (p) p->mark = 1;
    elem_purge_marked();
    if (!read) return fail();
    ui().msgbox_message(nls_translate("Message"), nls_translate(nls_mark("The result is empty")));
    return 0;
  }

  if (mode == MESH_BOOLEAN_UNION) {
    remove_marked_with_undo({m1, m2});
  } else if (mode == MESH_BOOLEAN_DIFFERENCE) {
    if (ask_yes_no(nls_mark("Keep intersection element?")) == 2)
      remove_marked_with_undo({m1, m2});
    else
      remove_marked_with_undo({m1});
  } else if (ask_yes_no(nls_mark("Keep original elements?")) == 2) {
    remove_marked_with_undo({m1, m2});
  }

  if (part[0] && part[1]) {
    merge3d(*part[0], *part[1]);
    part[0]->mark = part[1]->mark = 1;
    elem_purge_marked();
  }
  mesh_clean_up_last();
  auto* result = elem_as<MeshElem>(elem_list_tail);
  result->pen = static_cast<uint8_t>(pen);
  result->line_type = static_cast<uint8_t>(line_type);
  result->material = material.view();
  undo_record(UNDO_CREATED, 1);
  return 1;
}
