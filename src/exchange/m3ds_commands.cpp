// The commands p_file_import_3ds and p_file_export_3ds around the
// conversions of m3ds.cpp: the choosers, the messages, the marks, the
// temporary wall meshes, the material table, undo and drawing.

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "building/solid/wall_mesh.h"
#include "display/draw.h"
#include "display/export_name.h"
#include "display/export_scope.h"
#include "exchange/export_2d.h"
#include "exchange/export_check.h"
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
  M3dsImport copy = import;
  return m3ds_import_commit(std::move(copy), {});
}

int m3ds_import_commit(M3dsImport&& import, const std::function<bool(double)>& step) {
  // Drawing is what takes time here: the window is looked at before the
  // first object and then once about every 32k faces.
  constexpr std::size_t FACES_PER_LOOK = std::size_t{1} << 15;
  std::size_t faces = 0, total = 0, since_look = FACES_PER_LOOK;
  for (const M3dsObject& obj : import.objects) total += obj.indices.size() / 3;
  const int modified = drawing_modified;
  std::size_t n = 0;
  for (M3dsObject& obj : import.objects) {
    const bool look = since_look >= FACES_PER_LOOK;
    const double share = static_cast<double>(faces) / static_cast<double>(std::max<std::size_t>(total, 1));
    if (look) since_look = 0;
    since_look += obj.indices.size() / 3;
    faces += obj.indices.size() / 3;
    if (look && step && !step(share)) {
      // Cancelled: what was appended goes again, and so does its picture.
      for (; n > 0; --n) elem_remove_last();
      drawing_modified = modified;
      view_redraw();
      return -1;
    }
    // The object's vertices and faces become the element's: a large import
    // is not held twice.
    auto e = std::make_unique<MeshElem>();
    e->layer = static_cast<uint16_t>(cur_layer);
    e->pen = static_cast<uint8_t>(cur_pen);
    e->line_type = static_cast<uint8_t>(cur_line_type);
    e->face_sizes.assign(obj.indices.size() / 3, 3);
    for (Point3& p : obj.vertices) p.mark = 0;
    e->vertices = std::move(obj.vertices);
    e->indices = std::move(obj.indices);
    e->material = obj.material;
    e->flag = 0;
    elem_adopt(std::move(e));
    ++n;
    redraw().input_cursor_toggle();
    redraw().draw_last_element(DRAW_NORMAL);
    redraw().input_cursor_toggle();
  }
  // The presets only once every object is in.
  for (const M3dsObject& obj : import.objects) {
    if (!obj.preset) continue;
    MaterialPreset preset = *obj.preset;
    const std::string path = preset_path(PresetKind::MAT, obj.material);
    if (!path.empty()) preset_write_file(path, preset_fields(preset));
  }
  if (n > 0) {
    group_last_created(static_cast<int>(n));
    undo_record(UNDO_CREATED, static_cast<int>(n));
  }
  return static_cast<int>(n);
}

namespace {

void import_error(const char* reason) {
  std::string text = nls_translate("***ERROR***\nLoading .3ds file failed\n");
  text += nls_translate(reason);
  ui().msgbox_error(text.c_str());
}

// The progress window of a large import, open from the first byte read to
// the last object drawn, so that its Cancel is answered in every phase:
// reading the bytes (the first half of the bar), reading the meshes (up to
// nine tenths) and appending and drawing the objects.
class ImportWindow {
 public:
  ImportWindow() = default;
  ~ImportWindow() { close(); }
  ImportWindow(const ImportWindow&) = delete;
  ImportWindow& operator=(const ImportWindow&) = delete;

  void open() {
    if (!open_) ui().gui_progress_open_cancel(nls_translate("Import 3DS..."));
    open_ = true;
  }
  // Closed before a message is shown.
  void close() {
    if (open_) ui().gui_progress_close();
    open_ = false;
  }
  // Shows how far the work is; false once Cancel was pressed.
  bool at(double fraction) {
    if (!open_ || cancelled_) return !cancelled_;
    ui().gui_progress_update(fraction);
    cancelled_ = ui().gui_progress_cancelled();
    return !cancelled_;
  }
  // A phase's share in [from, to) of the bar.
  std::function<bool(double)> phase(double from, double to) {
    return [this, from, to](double share) { return at(from + (to - from) * share); };
  }

 private:
  bool open_ = false;
  bool cancelled_ = false;
};

// Reads the file's main chunk into bytes, the head first: a file that
// cannot be a 3DS file is refused before more is read, and only a large one
// opens the window. NONE when read; otherwise why not in reason (English),
// or CANCELLED.
FioReadError read_file(std::FILE* f, std::string& bytes, ImportWindow& window, const char*& reason) {
  const int64_t size = fio_bytes_left(f);
  FioReadError e = fio_read_bytes(f, 6, nullptr, bytes);
  if (e != FioReadError::NONE && e != FioReadError::CUT_SHORT) {
    reason = fio_read_error_text(e);
    return e;
  }
  std::size_t length = 0;
  const M3dsError head_error =
      m3ds_check_head(bytes, size >= 0 ? static_cast<uint64_t>(size) : UINT32_MAX, length);
  if (head_error != M3dsError::NONE) {
    reason = m3ds_error_text(head_error);
    return FioReadError::UNREADABLE;
  }
  if (length >= FIO_PROGRESS_FROM) window.open();
  // One buffer of the main chunk's length, filled in pieces.
  bytes.reserve(length);
  const std::function<bool(double)> progress = window.phase(0.0, 0.5);
  while (bytes.size() < length) {
    const std::size_t at = bytes.size();
    const std::size_t n = std::min(FIO_READ_PIECE, length - at);
    bytes.resize(at + n);
    errno = 0;
    const std::size_t got = std::fread(bytes.data() + at, 1, n, f);
    bytes.resize(at + got);
    if (got < n) {
      e = std::ferror(f) ? fio_read_error_of(errno == 0 ? EIO : errno) : FioReadError::CUT_SHORT;
      reason = fio_read_error_text(e);
      return e;
    }
    if (!progress(static_cast<double>(bytes.size()) / static_cast<double>(length))) {
      std::string().swap(bytes);
      return FioReadError::CANCELLED;
    }
  }
  return FioReadError::NONE;
}

// Reads, converts and appends; the reason (English) when the file cannot
// be imported, nullptr when it was or when Cancel was pressed.
const char* import_file_at(const std::string& path, bool& cancelled) {
  FioReadError open_error = FioReadError::NONE;
  FioFile in = fio_open_read(path, open_error);
  if (!in) return fio_read_error_text(open_error);
  ImportWindow window;
  M3dsImport import;
  {
    std::string bytes;
    const char* reason = nullptr;
    const FioReadError e = read_file(in.get(), bytes, window, reason);
    in.close();
    cancelled = e == FioReadError::CANCELLED;
    if (e != FioReadError::NONE) return reason;
    const M3dsError m = m3ds_import_bytes(std::move(bytes), material_preset, import, window.phase(0.5, 0.9));
    cancelled = m == M3dsError::CANCELLED;
    if (cancelled) return nullptr;
    if (m != M3dsError::NONE) return m3ds_error_text(m);
  }
  if (path.size() < import_file.capacity) import_file = path;
  std::fputs(import.log.c_str(), stdout);
  std::fflush(stdout);
  if (import.objects.empty()) return nls_mark("The file holds no mesh.");
  const int64_t dropped_faces = import.dropped_faces, dropped_points = import.dropped_points;
  const int64_t faceless = import.faceless_meshes;
  cancelled = m3ds_import_commit(std::move(import), window.phase(0.9, 1.0)) < 0;
  if (cancelled) return nullptr;
  window.at(1.0);
  window.close();
  // What the file held but the drawing does not is said where the user
  // sees it.
  std::string told;
  if (dropped_faces > 0 || dropped_points > 0) {
    char text[300];
    std::snprintf(
        text, sizeof text,
        nls_translate("%lld faces and %lld points of the file were left out: the faces named points that are "
                      "missing, repeated or no finite position."),
        static_cast<long long>(dropped_faces), static_cast<long long>(dropped_points));
    told = text;
  }
  if (faceless > 0) {
    char text[300];
    std::snprintf(text, sizeof text,
                  nls_translate("%lld meshes of the file hold points but no faces; they were left out."),
                  static_cast<long long>(faceless));
    told += (told.empty() ? "" : "\n") + std::string(text);
  }
  if (!told.empty()) ui().msgbox_message(nls_translate("Message"), told.c_str());
  return nullptr;
}

}  // namespace

void m3ds_import() {
  const std::string path = ui().filesel_choose(nls_translate("Import 3DS..."), import_file.c_str(),
                                               FILESEL_OPEN, import_path.c_str());
  if (path == "cancel") return;
  bool cancelled = false;
  const char* reason = import_file_at(path, cancelled);
  if (cancelled) {
    // A cancel is no error: no box, and the drawing stays as it was.
    std::puts(nls_translate(fio_read_error_text(FioReadError::CANCELLED)));
    std::fflush(stdout);
  } else if (reason) {
    import_error(reason);
  }
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
  M3dsFilePtr file;
  export_refused_clear();
  {
    ExportCoordinates limits(EXPORT_FLOAT_LIMIT, "3DS", false);
    file = m3ds_export_file(triangles, log);
  }
  std::fputs(log.c_str(), stdout);
  // A point no float holds: the file is not even begun.
  if (export_refusal_shown()) return;
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
