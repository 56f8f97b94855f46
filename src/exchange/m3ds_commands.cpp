// The commands p_file_import_3ds and p_file_export_3ds around the
// conversions of m3ds.cpp: the choosers, the messages, the marks, the
// temporary wall meshes, the material table, undo and drawing.

#include <cstdio>
#include <string>

#include "building/solid/wall_mesh.h"
#include "display/export_name.h"
#include "display/export_scope.h"
#include "exchange/export_2d.h"
#include "exchange/m3ds.h"
#include "exchange/material_table.h"
#include "model/consts.h"
#include "model/files/fio.h"
#include "model/files/fio_read.h"
#include "model/files/preset_files.h"
#include "model/layers.h"
#include "model/nls.h"
#include "model/redraw.h"
#include "model/settings.h"
#include "model/ui.h"
#include "model/undo.h"

namespace {

// The material table of one export, freed however the export ends.
class ExportMaterials {
 public:
  ExportMaterials() { mat_table_init(); }
  ~ExportMaterials() { mat_table_free(); }
  ExportMaterials(const ExportMaterials&) = delete;
  ExportMaterials& operator=(const ExportMaterials&) = delete;
};

}  // namespace

int m3ds_import_commit(const M3dsImport& import) {
  int n = 0;
  for (const M3dsObject& obj : import.objects) {
    std::vector<Point3> vertices = obj.vertices;
    const std::vector<int32_t> sizes(obj.indices.size() / 3, 3);
    elem_new_mesh(cur_layer, cur_pen, cur_line_type, static_cast<int>(vertices.size()),
                  static_cast<int>(sizes.size()), sizes.data(), vertices.data(), obj.indices.data(),
                  obj.material, 0);
    ++n;
    redraw().input_cursor_toggle();
    redraw().draw_last_element(DRAW_NORMAL);
    redraw().input_cursor_toggle();
    if (obj.preset) {
      MaterialPreset preset = *obj.preset;
      const std::string path = preset_path(PresetKind::MAT, obj.material);
      if (!path.empty()) preset_write_file(path, preset_fields(preset));
    }
  }
  if (n > 0) {
    group_last_created(n);
    undo_record(UNDO_CREATED, n);
  }
  return n;
}

namespace {

void import_error(const char* reason) {
  std::string text = nls_translate("***ERROR***\nLoading .3ds file failed\n");
  text += nls_translate(reason);
  ui().msgbox_error(text.c_str());
}

// The file's main chunk; the reason when it cannot be read. Only the head
// is read before a file that cannot be a 3DS file is refused, and a large
// one is read in pieces with the progress window, whose Cancel leaves
// nothing (and says nothing but a line on standard output).
M3dsFilePtr read_file(const std::string& path) {
  FioReadError open_error = FioReadError::NONE;
  FioFile in = fio_open_read(path, open_error);
  if (!in) {
    import_error(fio_read_error_text(open_error));
    return nullptr;
  }
  const int64_t size = fio_bytes_left(in.get());
  std::string head;
  FioReadError e = fio_read_bytes(in.get(), 6, nullptr, head);
  if (e != FioReadError::NONE && e != FioReadError::CUT_SHORT) {
    import_error(fio_read_error_text(e));
    return nullptr;
  }
  std::size_t length = 0;
  const M3dsError head_error =
      m3ds_check_head(head, size >= 0 ? static_cast<uint64_t>(size) : UINT32_MAX, length);
  if (head_error != M3dsError::NONE) {
    import_error(m3ds_error_text(head_error));
    return nullptr;
  }
  std::string rest;
  e = fio_read_bytes(in.get(), length - head.size(), "Import 3DS...", rest);
  if (e == FioReadError::CANCELLED) {
    // A cancel is no error: no box, and the drawing stays as it was.
    std::puts(nls_translate(fio_read_error_text(e)));
    std::fflush(stdout);
    return nullptr;
  }
  if (e != FioReadError::NONE) {
    import_error(fio_read_error_text(e));
    return nullptr;
  }
  head += rest;
  rest = std::string();
  M3dsError read_error = M3dsError::NONE;
  M3dsFilePtr file = m3ds_read(head, &read_error);
  if (!file) import_error(m3ds_error_text(read_error));
  return file;
}

}  // namespace

void m3ds_import() {
  const std::string path = ui().filesel_choose(nls_translate("Import 3DS..."), import_file.c_str(),
                                               FILESEL_OPEN, import_path.c_str());
  if (path == "cancel") return;
  M3dsFilePtr file = read_file(path);
  if (!file) return;
  if (path.size() < import_file.capacity) import_file = path;
  const M3dsImport import = m3ds_import_objects(*file, material_preset);
  std::fputs(import.log.c_str(), stdout);
  std::fflush(stdout);
  m3ds_import_commit(import);
}

void m3ds_export() {
  // Every way out clears the marks: a marked element is left out of the
  // next save.
  ExportMarks marks;
  if (msgbox_ask_export_scope("3DS") == 0) return;
  const std::string path = export_name_choose(nls_translate("Export 3DS..."), std::string(import_file.view()),
                                              import_path.c_str(), ".3ds");
  if (path == "cancel") return;

  WallTempMeshes walls;
  ElemHeader* e;
  for (elem_first(&e); e; elem_next(&e))
    if (e->layer == LAYER_TEMP_3D) e->mark = 1;
  ExportMaterials materials;
  std::vector<const MeshElem*> meshes;
  for (elem_first(&e); e; elem_next(&e)) {
    if (e->mark != 1 || e->kind != ELEM_MESH) continue;
    const auto* m = static_cast<const MeshElem*>(e);
    meshes.push_back(m);
    // A material the user declined is only missing from the table.
    mat_register(m->material.view());
  }

  const std::vector<M3dsTriangles> triangles = m3ds_triangulate(meshes);
  for (const M3dsTriangles& t : triangles) {
    if (!m3ds_fits(t)) {
      ui().msgbox_error(
          nls_translate("An object has more than 65535 points or triangles,\nmore than a 3DS file can "
                        "hold.\nNothing was written."));
      return;
    }
  }
  std::string log;
  M3dsFilePtr file = m3ds_export_file(triangles, log);
  std::fputs(log.c_str(), stdout);
  FioSafeWriter out(path);
  if (!file || !out.stream() || !m3ds_write(file.get(), out.stream()) || !out.commit()) {
    std::printf("lib3ds error: Writing %s\n", path.c_str());
    std::fflush(stdout);
    ui().msgbox_error(nls_translate("Cannot write file"));
    return;
  }
  std::fflush(stdout);
  if (path.size() < import_file.capacity) import_file = path;
}
