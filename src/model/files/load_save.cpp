#include "model/files/load_save.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "model/camera.h"
#include "model/elem.h"
#include "model/files/chunk_table.h"
#include "model/files/fio.h"
#include "model/files/fio_read.h"
#include "model/files/kavfile.h"
#include "model/layers.h"
#include "model/nls.h"
#include "model/redraw.h"
#include "model/scale_ladder.h"
#include "model/settings.h"
#include "model/ui.h"
#include "model/undo.h"
#include "model/view_rec.h"

std::string drawing_file;

namespace {

void error(const char* text) { ui().msgbox_error(nls_translate(text)); }

// The refreshes after a read each redraw the main view; held, it is drawn
// once when they are done, as the last of them left the view.
class RedrawsHeld {
 public:
  RedrawsHeld() { redraw().view_redraw_hold(1); }
  ~RedrawsHeld() { redraw().view_redraw_hold(0); }
  RedrawsHeld(const RedrawsHeld&) = delete;
  RedrawsHeld& operator=(const RedrawsHeld&) = delete;
};

// Bytes a settings field takes in memory; 0 for fields that hold no value
// of their own (counts, arrays, the text tail of an element).
std::size_t field_memory_bytes(const Field& f) {
  switch (f.type) {
    case FieldType::F64:
      return sizeof(double);
    case FieldType::I32:
      return sizeof(int32_t);
    case FieldType::U8:
    case FieldType::FLAG32:
      return 1;
    case FieldType::TEXT:
    case FieldType::OLD_FONT:
    case FieldType::BYTES:
      return f.len;
    default:
      return 0;
  }
}

// Calls fn(address, bytes) for every value a settings chunk of a drawing or
// settings file can change, in one fixed order.
template <class Fn>
void each_setting(Fn fn) {
  for (const RecordChunk& c : kavfile_record_chunks()) {
    if (c.group == ChunkGroup::LAYERS || !c.record) continue;
    const int records = c.index == ChunkIndex::NONE ? 1 : c.records;
    for (int i = 0; i < records; ++i) {
      void* base = c.record(i);
      if (!base) continue;
      for (const Field& f : c.fields)
        if (const std::size_t n = field_memory_bytes(f); n && f.addr) fn(f.addr(base), n);
    }
  }
}

// Every value a settings or layer chunk can change, copied: the settings
// fields, the layers and list names, paper sizes, the scale ladder, the
// camera and the current layer.
class SettingsCopy {
 public:
  SettingsCopy() {
    each_setting([this](const void* p, std::size_t n) {
      const auto* b = static_cast<const unsigned char*>(p);
      settings_.insert(settings_.end(), b, b + n);
    });
    std::copy(std::begin(layers), std::end(layers), layers_.begin());
    std::copy(std::begin(layer_list_names), std::end(layer_list_names), list_names_.begin());
    std::copy(std::begin(paper_sizes), std::end(paper_sizes), papers_.begin());
    std::copy(std::begin(scale_ladder), std::end(scale_ladder), ladder_.begin());
    ladder_count_ = scale_ladder_count;
    camera_ = view_camera;
    cur_layer_ = cur_layer;
  }

  void put_back() const {
    std::size_t at = 0;
    each_setting([this, &at](void* p, std::size_t n) {
      std::memcpy(p, settings_.data() + at, n);
      at += n;
    });
    std::copy(layers_.begin(), layers_.end(), std::begin(layers));
    std::copy(list_names_.begin(), list_names_.end(), std::begin(layer_list_names));
    std::copy(papers_.begin(), papers_.end(), std::begin(paper_sizes));
    std::copy(ladder_.begin(), ladder_.end(), std::begin(scale_ladder));
    scale_ladder_count = ladder_count_;
    // A camera read from the file may have set the view and its dialog.
    if (view_camera.view_angle != camera_.view_angle) ui().dlg_camera_set_angle(camera_.view_angle);
    view_camera = camera_;
    cur_layer = cur_layer_;
  }

 private:
  std::vector<unsigned char> settings_;
  std::array<LayerRec, LAYER_COUNT> layers_;
  std::array<FixedText<NAME_LEN>, LAYER_LIST_COUNT> list_names_;
  std::array<PaperSize, PAPER_SIZE_COUNT> papers_;
  std::array<double, SCALE_LADDER_SIZE> ladder_{};
  int ladder_count_ = 0;
  ViewCamera camera_;
  int32_t cur_layer_ = 0;
};

// The open drawing, set aside while a file is read into an empty one: its
// element list and layer sets stay where they are in memory (the undo
// history points into the list), and every value the reader can change is
// copied. Either the file was read whole and the drawing set aside is freed
// (drop), or what was read is freed and the drawing comes back exactly as it
// was (put_back; also when neither was called).
class DrawingAside {
 public:
  DrawingAside()
      : head_(std::exchange(elem_list_head, nullptr)),
        tail_(std::exchange(elem_list_tail, nullptr)),
        sets_(std::exchange(layer_sets, nullptr)) {
    ++elem_list_generation;
    ++elem_list_epoch;
    group_counter_ = group_counter;
    modified_ = drawing_modified;
    remap_ = layer_remap_old;
    drawing_init();
  }
  ~DrawingAside() {
    if (!done_) put_back();
  }
  DrawingAside(const DrawingAside&) = delete;
  DrawingAside& operator=(const DrawingAside&) = delete;

  void drop() {
    done_ = true;
    ElemHeader* new_head = std::exchange(elem_list_head, head_);
    ElemHeader* new_tail = std::exchange(elem_list_tail, tail_);
    LayerSet* new_sets = std::exchange(layer_sets, sets_);
    elem_free_all();
    while (layer_sets) delete std::exchange(layer_sets, layer_sets->next);
    elem_list_head = new_head;
    elem_list_tail = new_tail;
    layer_sets = new_sets;
    ++elem_list_generation;
    ++elem_list_epoch;
  }

  void put_back() {
    done_ = true;
    drawing_free();
    elem_list_head = head_;
    elem_list_tail = tail_;
    layer_sets = sets_;
    ++elem_list_generation;
    ++elem_list_epoch;
    elem_restart_scans();
    settings_.put_back();
    group_counter = group_counter_;
    drawing_modified = modified_;
    layer_remap_old = remap_;
    ui().undo_button_enable(undo_used > undo_undone);
    ui().redo_button_enable(undo_undone > 0);
  }

 private:
  ElemHeader* head_;
  ElemHeader* tail_;
  LayerSet* sets_;
  SettingsCopy settings_;  // taken before drawing_init() sets the defaults
  uint16_t group_counter_ = 0;
  int modified_ = 0;
  int remap_ = 0;
  bool done_ = false;
};

}  // namespace

struct KavSettingsSnapshot::Copy {
  SettingsCopy settings;
  std::vector<LayerSet> sets;
};

KavSettingsSnapshot::KavSettingsSnapshot() : copy_(std::make_unique<Copy>()) {
  for (const LayerSet* s = layer_sets; s; s = s->next) copy_->sets.push_back(*s);
}

KavSettingsSnapshot::~KavSettingsSnapshot() = default;

void KavSettingsSnapshot::put_back() const {
  copy_->settings.put_back();
  while (layer_sets) delete std::exchange(layer_sets, layer_sets->next);
  for (const LayerSet& s : copy_->sets) layer_set_append(s);
}

int kavfile_write_file(const std::string& path, int (*write)(std::FILE*), const char* cannot_open,
                       const char* cannot_write) {
  FioSafeWriter out(path);
  if (!out.stream()) {
    error(cannot_open);
    return 0;
  }
  if (!(write(out.stream()) && out.commit())) {
    error(cannot_write);
    return 0;
  }
  return 1;
}

void kavfile_refresh_after_read(bool settings_file) {
  RedrawsHeld held;
  ui().mainwin_toolbar_toggles_refresh();
  ui().dlg_dxf_refresh();
  ui().gui_reset_after_load();
  if (settings_file) ui().gui_reset_dialogs_after_settings();
  view_type = 0;
  ui().mainwin_select_view(0);
  view_camera_update_angles();
}

int kavfile_load_drawing(int mode, const char* path) {
  layer_remap_old = 0;
  if (drawing_modified) {
    const char* answers[] = {nls_translate("Yes"), nls_translate("Cancel")};
    if (ui().msgbox_ask(nls_translate("Drawing is altered and not saved!\nReally delete all?"), 2, answers) !=
        1)
      return 0;
  }
  std::string file;
  if (mode == 0) {
    file = ui().filesel_choose(nls_translate("Load Drawing..."),
                               drawing_file.empty() ? draw_path.c_str() : drawing_file.c_str(), 0,
                               draw_path.c_str());
    if (file == "cancel") return 0;
  } else {
    file = path ? path : "";
  }

  FioReadError open_error = FioReadError::NONE;
  FioFile in = fio_open_read(file, open_error);
  if (in && fio_bytes_left(in.get()) == 0) open_error = FioReadError::EMPTY;
  if (open_error != FioReadError::NONE) {
    ui().msgbox_error((std::string(nls_translate("Cannot open file")) + "\n" + file + "\n" +
                       nls_translate(fio_read_error_text(open_error)))
                          .c_str());
    return 0;
  }
  const int version = kavfile_read_header(in.get());
  if (version == 0) {
    error("This is not a Kavro file!");
    return 0;
  }

  // The file is read into an empty drawing; the open one comes back
  // unchanged unless the whole file could be read.
  KavReadReport report;
  {
    DrawingAside open_drawing;
    const bool whole = kavfile_read_chunks(in.get(), 0, 0, &report) && !report.damaged;
    if (!whole) {
      open_drawing.put_back();
      error("The file is damaged; the drawing was not loaded.");
      return 0;
    }
    open_drawing.drop();
  }
  drawing_file = file;
  if (version > file_version) {
    // The translation decides the wording; the versions are filled in here.
    std::string text = nls_translate("File format %.2f converted to %.2f");
    for (int v : {version, file_version}) {
      char number[32];
      std::snprintf(number, sizeof number, "%.2f", v / 100.0);
      const std::size_t at = text.find("%.2f");
      if (at != std::string::npos) text.replace(at, 4, number);
    }
    ui().msgbox_message("Kavro", text.c_str());
  }

  kavfile_refresh_after_read(false);
  undo_record(UNDO_CLEAR, 0);
  drawing_modified = 0;
  // The drawing is what was read: its highest group is known without a
  // walk over it.
  group_counter = static_cast<uint16_t>(report.max_group);
  ui().mainwin_update_title();
  kavfile_report_problems(report);
  return 1;
}

int kavfile_load_start_drawing(const std::string& path) {
  if (kavfile_load_drawing(1, path.c_str())) return 1;
  struct stat st;
  if (::stat(path.c_str(), &st) != 0 && errno == ENOENT) drawing_file = path;
  return 0;
}

int kavfile_save_drawing(int mode) {
  if (mode == 1) {
    return kavfile_write_file(drawing_file + ".bak", kavfile_write_backup, "Cannot open Backup File",
                              "Cannot write Backup File");
  }
  const std::string path =
      ui().filesel_choose(nls_translate("Save Drawing..."), drawing_file.c_str(), 1, draw_path.c_str());
  if (path == "cancel") return 0;
  if (!kavfile_write_file(path, kavfile_write_drawing, "Cannot open file", "Cannot write file")) return 0;
  drawing_file = path;
  drawing_modified = 0;
  ui().mainwin_update_title();
  return 1;
}

int kavfile_write_marked(const char* path) {
  auto write = [](std::FILE* f) -> int { return kavfile_write_header(f) && kavfile_write_elements(f, 1); };
  return kavfile_write_file(path ? path : "", write, "Cannot open file", "Cannot write file");
}
