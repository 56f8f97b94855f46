// kav-convert: loads a file and writes it through an exporter, as the
// menus would with the first answer to every question.
//
//   kav-convert [--fonts DIR] [--text] IN OUT
//
// IN is a drawing (.kav), a DXF file (.dxf), a 3DS file (.3ds), a GTS
// surface (.gts) or a terrain grid (.xyz, .dgm), read by the program's own
// loader or import command with the import's default answers, or "@name",
// a drawing built in code (tests/support/render_fixture.h). OUT is
// written by the command of its suffix (.kav .dxf .eps .ps .pdf .svg .plt
// .pov .3ds .lwo .gts) with every element of every layer shown and marked:
// the same command the menu runs, its chooser answered with OUT, its scope
// question with "All objects", every other question with its first answer
// (the output method of printing and plotting with "To File", the text
// export with graphics, or with text under --text). A frame or reference point is clicked for it: the
// print sheet's lower left corner at the drawing's lower left, the plot
// sheet's centre at the drawing's centre, the LightWave reference at the
// origin. The stroke fonts come from DIR, by default from the build's
// staged tree.
//
// What the import prints goes to standard output, with one summary line
// "<IN>: <n> elements" at the end of reading. An error box ends the program
// with its text on standard error and exit status 1, as does a file that
// was not written. Test-only: not installed.

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "building/gts_tools.h"
#include "display/command_buffer.h"
#include "display/font.h"
#include "display/input.h"
#include "display/outdev.h"
#include "display/shell_hooks.h"
#include "display/view.h"
#include "display/view_commands.h"
#include "display/wait.h"
#include "display/wait_script.h"
#include "exchange/dgm_import.h"
#include "exchange/dxf_reader.h"
#include "exchange/dxf_writer.h"
#include "exchange/export_2d.h"
#include "exchange/hpgl_writer.h"
#include "exchange/lwo_writer.h"
#include "exchange/m3ds.h"
#include "exchange/pdf_writer.h"
#include "exchange/pov_export.h"
#include "exchange/ps_writer.h"
#include "exchange/svg_writer.h"
#include "model/defaults.h"
#include "model/elem.h"
#include "model/files/load_save.h"
#include "model/layers.h"
#include "model/settings.h"
#include "model/ui.h"
#include "support/render_fixture.h"

namespace {

// The files the chooser hands out, and whether an error box was shown.
std::string in_path, out_path;
bool failed = false;
// The answer to "Text export:": 1 graphics, 2 text.
int text_answer = 1;

int usage() {
  std::fprintf(stderr, "usage: kav-convert [--fonts DIR] [--text] IN OUT\n");
  return 2;
}

void print_error(const char* text) {
  std::fprintf(stderr, "kav-convert: %s\n", text);
  failed = true;
}
void print_message(const char* title, const char* text) {
  std::fprintf(stderr, "kav-convert: %s: %s\n", title, text);
}
// Printing and plotting go to a file, texts as asked; every other question
// takes its first answer ("All objects", the default material, overwrite).
int answer(const char* question, int, const char* const*) {
  if (std::strcmp(question, "Output method:") == 0) return 2;
  if (std::strcmp(question, "Text export:") == 0) return text_answer;
  return 1;
}
std::string choose(const char*, const char*, int mode, const char*) {
  return mode == FILESEL_OPEN ? in_path : out_path;
}

// The suffix of a path, lower case, with its dot ("" when it has none).
std::string suffix_of(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  const std::size_t dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  std::string s = path.substr(dot);
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

bool import_file_in(const std::string& suffix) {
  if (!in_path.empty() && in_path[0] == '@') {
    if (render_fixture_build(in_path.substr(1))) return true;
    std::fprintf(stderr, "kav-convert: no drawing named %s\n", in_path.c_str());
    return false;
  }
  if (suffix == ".kav") return kavfile_load_drawing(1, in_path.c_str()) == 1;
  if (suffix == ".dxf") {
    dxf_import();
  } else if (suffix == ".3ds") {
    m3ds_import();
  } else if (suffix == ".gts") {
    cmd_p_file_import_gts();
  } else if (suffix == ".xyz" || suffix == ".dgm") {
    dgm_import();
  } else {
    std::fprintf(stderr, "kav-convert: no import for %s\n", in_path.c_str());
    return false;
  }
  return !failed;
}

// The frame and reference clicks: a point and its confirmation.
void click_twice(ScriptedWait& script, double x, double y) {
  script.click_world(1, x, y).click_world(1, x, y);
}

bool export_file_out(const std::string& suffix, ScriptedWait& script) {
  if (suffix == ".kav") {
    kavfile_save_drawing(0);
  } else if (suffix == ".dxf") {
    dxf_settings.export_scope = DXF_OBJECTS_ALL;
    dxf_export();
  } else if (suffix == ".eps") {
    eps_export();
  } else if (suffix == ".ps") {
    click_twice(script, marked_extents.xmin, marked_extents.ymin);
    ps_print();
  } else if (suffix == ".pdf") {
    pdf_export();
  } else if (suffix == ".svg") {
    svg_export();
  } else if (suffix == ".plt") {
    click_twice(script, (marked_extents.xmin + marked_extents.xmax) / 2.0,
                (marked_extents.ymin + marked_extents.ymax) / 2.0);
    hpgl_plot();
  } else if (suffix == ".pov") {
    pov_export_file();
  } else if (suffix == ".3ds") {
    m3ds_export();
  } else if (suffix == ".lwo") {
    click_twice(script, 0.0, 0.0);
    lwo_export();
  } else if (suffix == ".gts") {
    cmd_p_file_export_gts();
  } else {
    std::fprintf(stderr, "kav-convert: no exporter for %s\n", out_path.c_str());
    return false;
  }
  return !failed;
}

int count_elements() {
  int n = 0;
  for (ElemHeader* e = elem_list_head; e; e = e->next) ++n;
  return n;
}

int convert(const std::string& fonts) {
  main_init_defaults();
  outdev_init_screen_slots();
  font_stroke_dir = fonts;

  UiTable table;
  table.msgbox_error = print_error;
  table.msgbox_message = print_message;
  table.msgbox_ask = answer;
  table.filesel_choose = choose;
  ui_install(table);

  // Clicks reach the input engine as the window's would; keys end the wait.
  ScriptedWait script;
  wait_set_backend(&script);
  ShellHooks hooks;
  hooks.cmd_post_key = [](void*, const char* key) { cmd_put_key(key); };
  shell_hooks_install(hooks);
  input_install_script_targets();
  input_install_display_hooks();

  if (!view_offscreen(0, 800, 600)) {
    std::fprintf(stderr, "kav-convert: cannot make a view\n");
    return 1;
  }
  const std::string in_suffix = suffix_of(in_path);
  if (!import_file_in(in_suffix)) return 1;
  std::printf("%s: %d elements\n", in_path.c_str(), count_elements());
  std::fflush(stdout);

  // The clicks land where they are given, not on a point nearby.
  snap_on = 0;
  for (LayerRec& l : layers) l.shown = 1;
  for (ElemHeader* e = elem_list_head; e; e = e->next) e->mark = 1;
  view_zoom_to_extents(1);
  for (ElemHeader* e = elem_list_head; e; e = e->next) e->mark = 0;
  view_zoom_to_extents(0);

  // The writers replace a file by a new one, so a file written now is
  // another file than one that was there before.
  struct stat before {};
  const bool existed = stat(out_path.c_str(), &before) == 0;
  try {
    if (!export_file_out(suffix_of(out_path), script)) return 1;
  } catch (const WaitScriptDry& e) {
    std::fprintf(stderr, "kav-convert: %s\n", e.what());
    return 1;
  }
  struct stat after {};
  if (stat(out_path.c_str(), &after) == 0 &&
      (!existed || after.st_ino != before.st_ino || after.st_mtim.tv_nsec != before.st_mtim.tv_nsec ||
       after.st_mtim.tv_sec != before.st_mtim.tv_sec))
    return 0;
  std::fprintf(stderr, "kav-convert: %s was not written\n", out_path.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::string fonts = std::string(KAVRO_STAGE_DIR) + "/dat/fonts";
  int first = 1;
  while (first < argc && std::strncmp(argv[first], "--", 2) == 0) {
    if (std::strcmp(argv[first], "--fonts") == 0 && first + 1 < argc) {
      fonts = argv[first + 1];
      first += 2;
    } else if (std::strcmp(argv[first], "--text") == 0) {
      text_answer = 2;
      ++first;
    } else {
      return usage();
    }
  }
  if (argc - first != 2) return usage();
  in_path = argv[first];
  out_path = argv[first + 1];
  const int status = convert(fonts);
  view_free_all();
  drawing_free();
  return status;
}
