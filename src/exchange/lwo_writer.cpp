#include "exchange/lwo_writer.h"

#include <algorithm>
#include <limits>
#include <string>

#include "building/solid/wall_mesh.h"
#include "display/export_scope.h"
#include "exchange/export_2d.h"
#include "exchange/export_check.h"
#include "exchange/material_table.h"
#include "model/consts.h"
#include "model/files/fio.h"
#include "model/nls.h"
#include "model/settings.h"
#include "model/ui.h"
#include "tools/tool_common.h"

namespace {

// The 4 bytes of "LWOB" and the three chunk heads of PNTS, SRFS and POLS.
constexpr uint64_t FORM_FIXED = 28;
// A SURF chunk beyond its name: COLR (10 bytes), TRAN, SPEC and DIFF (8 each).
constexpr uint64_t SURF_PARTS = 34;

template <class Fn>
void for_each_marked_mesh(Fn fn) {
  for (ElemHeader* e = elem_list_head; e; e = e->next)
    if (e->mark && e->kind == ELEM_MESH) fn(*elem_as<MeshElem>(e));
}

// A surface name takes an even number of bytes: the identifier, a zero, and
// a second zero after an identifier of even length.
uint64_t name_size(const MaterialDef& m) { return static_cast<uint64_t>(m.identifier_length) + 1 + m.even; }

bool write_name(std::FILE* f, const MaterialDef& m) {
  static const char zeros[2] = {0, 0};
  return fio_write_block(f, m.identifier.c_str(), m.identifier_length) &&
         fio_write_block(f, zeros, 1 + m.even);
}

// A factor 0..1 as 0..255, cut toward zero; a preset value outside 0..1
// stays within the byte.
int byte_of(double v) {
  const double s = v * 255.0;
  if (!(s > 0.0)) return 0;
  if (s >= 255.0) return 255;
  return static_cast<int>(s);
}

bool write_u16(std::FILE* f, uint64_t v) {
  const uint16_t u = static_cast<uint16_t>(v);
  return fio_write_u16be(f, &u);
}

bool write_sub_u16(std::FILE* f, const char* tag, int value) {
  return fio_write_block(f, tag, 4) && write_u16(f, 2) && write_u16(f, static_cast<uint64_t>(value));
}

bool write_surf(std::FILE* f, const MaterialDef& m) {
  const uint8_t colour[4] = {static_cast<uint8_t>(byte_of(m.r)), static_cast<uint8_t>(byte_of(m.g)),
                             static_cast<uint8_t>(byte_of(m.b)), 0};
  return fio_write_chunk_header(f, "SURF", static_cast<uint32_t>(name_size(m) + SURF_PARTS)) &&
         write_name(f, m) && fio_write_block(f, "COLR", 4) && write_u16(f, 4) &&
         fio_write_block(f, colour, 4) && write_sub_u16(f, "TRAN", byte_of(m.transparency)) &&
         write_sub_u16(f, "SPEC", byte_of(m.highlight)) && write_sub_u16(f, "DIFF", 255);
}

}  // namespace

int64_t lwo_marked_vertex_count() {
  int64_t n = 0;
  for_each_marked_mesh([&n](const MeshElem& m) { n += m.vertex_count(); });
  return n;
}

bool lwo_write(std::FILE* f, const Point3& ref) {
  uint64_t vertices = 0, pols_words = 0;
  bool fits = true;
  for_each_marked_mesh([&](const MeshElem& m) {
    vertices += static_cast<uint64_t>(m.vertex_count());
    uint64_t indices = 0;
    for (int32_t n : m.face_sizes) {
      if (n < 0 || n > std::numeric_limits<uint16_t>::max()) fits = false;
      indices += static_cast<uint64_t>(std::max(n, 0));
    }
    if (indices > m.indices.size()) fits = false;
    for (int32_t k : m.indices)
      if (k < 0 || k >= m.vertex_count()) fits = false;
    pols_words += indices + 2 * m.face_sizes.size();
  });
  uint64_t srfs = 0, surfs = 0;
  for (int i = 0; i < mat_count; ++i) {
    srfs += name_size(mat_table[i]);
    surfs += 8 + name_size(mat_table[i]) + SURF_PARTS;
  }
  const uint64_t pnts = 12 * vertices, pols = 2 * pols_words;
  const uint64_t form = pnts + srfs + pols + surfs + FORM_FIXED;
  // Vertex numbers and face sizes are 16-bit, chunk sizes 32-bit: what does
  // not fit is not written at all rather than written wrapped.
  if (!fits || vertices > static_cast<uint64_t>(LWO_MAX_VERTICES) ||
      form > std::numeric_limits<uint32_t>::max())
    return false;

  bool ok = fio_write_chunk_header(f, "FORM", static_cast<uint32_t>(form)) && fio_write_block(f, "LWOB", 4) &&
            fio_write_chunk_header(f, "PNTS", static_cast<uint32_t>(pnts));
  for_each_marked_mesh([&](const MeshElem& m) {
    for (const Point3& p : m.vertices) {
      // The file's second axis is the drawing's height.
      const float v[3] = {static_cast<float>(export_coordinate(p.x - ref.x)),
                          static_cast<float>(export_coordinate(p.z - ref.z)),
                          static_cast<float>(export_coordinate(p.y - ref.y))};
      ok = ok && fio_write_f32be(f, &v[0]) && fio_write_f32be(f, &v[1]) && fio_write_f32be(f, &v[2]);
    }
  });
  ok = ok && fio_write_chunk_header(f, "SRFS", static_cast<uint32_t>(srfs));
  for (int i = 0; i < mat_count; ++i) ok = ok && write_name(f, mat_table[i]);
  ok = ok && fio_write_chunk_header(f, "POLS", static_cast<uint32_t>(pols));
  uint64_t offset = 0;
  for_each_marked_mesh([&](const MeshElem& m) {
    // Surfaces are found by the material name itself; the file holds the
    // identifiers, which two names may share before they are made unique.
    const uint64_t surface = 1 + static_cast<uint64_t>(mat_index(m.material.view()));
    std::size_t at = 0;
    for (int32_t n : m.face_sizes) {
      ok = ok && write_u16(f, static_cast<uint64_t>(n));
      for (int32_t k = 0; k < n; ++k)
        ok = ok && write_u16(f, offset + static_cast<uint64_t>(m.indices[at + k]));
      ok = ok && write_u16(f, surface);
      at += static_cast<std::size_t>(n);
    }
    offset += static_cast<uint64_t>(m.vertex_count());
  });
  for (int i = 0; i < mat_count; ++i) ok = ok && write_surf(f, mat_table[i]);
  return ok;
}

namespace {

// Frees the material table on every way out of the export.
struct MaterialTableScope {
  MaterialTableScope() { mat_table_init(); }
  ~MaterialTableScope() { mat_table_free(); }
  MaterialTableScope(const MaterialTableScope&) = delete;
  MaterialTableScope& operator=(const MaterialTableScope&) = delete;
};

}  // namespace

void lwo_export() {
  // A mark left behind would keep the element out of the next save, so they
  // are cleared however the export ends.
  ExportMarks marks;
  if (msgbox_ask_export_scope("LWO") == 0) return;

  InputRequest r;
  if (tool_ask(r, {{STEP_POINT, nls_mark("Point:")}, {STEP_CONFIRM, nls_mark("Move/Confirm:")}}) !=
      INPUT_DONE)
    return;
  const Point3 ref{r.x[0], r.y[0], r.z[0], 0};

  const std::string path = export_choose_file(nls_translate("Export LWOB..."), ".lwo");
  if (path.empty()) return;

  WallTempMeshes walls;
  for (ElemHeader* e = elem_list_head; e; e = e->next)
    if (e->layer == LAYER_TEMP_3D) e->mark = 1;

  const int64_t vertices = lwo_marked_vertex_count();
  if (vertices > LWO_MAX_VERTICES) {
    char text[300];
    std::snprintf(text, sizeof text,
                  nls_translate("A LightWave object holds at most 65536 points; these are %lld."),
                  static_cast<long long>(vertices));
    ui().msgbox_error(text);
    return;
  }

  // The materials are asked about before the file is made, so a cancel
  // leaves the chosen file as it was.
  MaterialTableScope table;
  bool registered = true;
  for (ElemHeader* e = elem_list_head; e && registered; e = e->next)
    if (e->mark && e->kind == ELEM_MESH)
      registered = mat_register(elem_as<MeshElem>(e)->material.view()) != 0;
  if (!registered) return;

  FioSafeWriter file(path);
  if (!file.stream()) {
    ui().msgbox_error(nls_translate("Cannot open file"));
    return;
  }
  if (path.size() < export_file.capacity) export_file = path;
  export_refused_clear();
  bool written = false;
  {
    ExportCoordinates limits(EXPORT_FLOAT_LIMIT, "LightWave", false);
    written = lwo_write(file.stream(), ref);
  }
  // A point no float holds spoils the file: it goes with the temporary file.
  if (export_refusal_shown()) return;
  if (!(written && file.commit())) ui().msgbox_error(nls_translate("Cannot write file"));
}
