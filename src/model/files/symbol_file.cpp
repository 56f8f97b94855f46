#include "model/files/symbol_file.h"

#include <cstdio>
#include <filesystem>
#include <memory>

#include "model/elem.h"
#include "model/elem_points.h"
#include "model/files/fio.h"
#include "model/files/fio_read.h"
#include "model/files/kavfile.h"
#include "model/files/load_save.h"
#include "model/nls.h"
#include "model/settings.h"
#include "model/ui.h"

namespace {

// The origin of the symbol being written.
double origin_x = 0.0, origin_y = 0.0, origin_z = 0.0;

// Header and the marked elements, each written from a copy moved by minus
// the origin: moving the elements there and back would not always give the
// same coordinates again.
int write_symbol(std::FILE* f) {
  if (!kavfile_write_header(f)) return 0;
  for (ElemHeader* e = elem_list_head; e; e = e->next) {
    if (e->mark != 1) continue;
    std::unique_ptr<ElemHeader> copy = e->clone();
    elem_for_each_point(
        copy.get(), 0,
        [](Point2& p) {
          p.x -= origin_x;
          p.y -= origin_y;
        },
        [](Point3& p) {
          p.x -= origin_x;
          p.y -= origin_y;
          p.z -= origin_z;
        });
    if (!kavfile_write_element(f, copy.get())) return 0;
  }
  return 1;
}

// 1 read, 0 not a Kavro file, -1 cannot be opened (open_error says why);
// mark 1 on every element. With a progress title a large file shows the
// progress window.
int read_symbol(const std::string& path, KavReadReport& report, FioReadError& open_error,
                const char* progress_title = nullptr) {
  FioFile in = fio_open_read(path, open_error);
  if (!in) return -1;
  if (kavfile_read_header(in.get()) == 0) return 0;
  kavfile_read_chunks(in.get(), 1, KAV_READ_ELEMENTS_ONLY, &report, progress_title);
  return 1;
}

}  // namespace

std::string symbol_clipboard_path() { return (std::filesystem::path(tmp_dir.c_str()) / "sym.tmp").string(); }

int symbol_write_marked(const std::string& path, double ox, double oy, double oz) {
  origin_x = ox;
  origin_y = oy;
  origin_z = oz;
  return kavfile_write_file(path, write_symbol, "Cannot open file", "Cannot write file");
}

int symbol_read_file(const std::string& path) {
  loaded_count = 0;
  const int modified = drawing_modified;
  KavReadReport report;
  FioReadError open_error = FioReadError::NONE;
  const int res = read_symbol(path, report, open_error, "Load Symbol...");
  if (report.cancelled) {
    // The elements read so far are the last ones of the list.
    for (; loaded_count > 0; --loaded_count) elem_remove_last();
    drawing_modified = modified;
    return 0;
  }
  if (res < 0) {
    ui().msgbox_error(fio_read_error_message("Cannot open file", open_error).c_str());
    return 0;
  }
  if (res == 0) {
    ui().msgbox_error(nls_translate("This is not a Kavro file!"));
    return 0;
  }
  kavfile_report_problems(report);
  return 1;
}

void symbol_preview_load() {
  // The preview is drawn again on every angle step and resize: a refused
  // file is said once, not at each redraw, until another file is chosen.
  static std::string refused;
  loaded_count = 0;
  KavReadReport report;
  FioReadError open_error = FioReadError::NONE;
  const int res = read_symbol(symbol_file.c_str(), report, open_error);
  if (res < 0) {
    std::printf("empty file\n");
    std::fflush(stdout);
  } else if (res == 0) {
    if (refused != symbol_file.c_str()) ui().msgbox_error(nls_translate("This is not a Kavro file!"));
    refused = symbol_file.c_str();
    return;
  }
  refused.clear();
}
