// kav-render: draws a drawing off screen, zoomed to its extents, into a PNG.
//
//   kav-render [--view N] [--fonts DIR] DRAWING OUT.png [WIDTH HEIGHT]
//
// DRAWING is a drawing file, loaded through the program's own loader (its
// messages go to standard error; a damaged file is not loaded, so nothing is
// drawn), or "@name", a drawing built in code (tests/support/render_fixture.h).
// N is the view type (0 plan, 1 3 7 9 axonometric, 2 4 6 8 elevations). The
// stroke fonts come from DIR, by default from the build's staged tree, so
// that the picture does not depend on the working folder. Test-only: not
// installed.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "display/font.h"
#include "display/outdev.h"
#include "display/view.h"
#include "display/view_commands.h"
#include "model/defaults.h"
#include "model/files/load_save.h"
#include "model/layers.h"
#include "model/settings.h"
#include "model/ui.h"
#include "support/render_fixture.h"

namespace {

int usage() {
  std::fprintf(stderr, "usage: kav-render [--view N] [--fonts DIR] DRAWING OUT.png [WIDTH HEIGHT]\n");
  return 2;
}

void print_error(const char* text) { std::fprintf(stderr, "kav-render: %s\n", text); }
void print_message(const char* title, const char* text) {
  std::fprintf(stderr, "kav-render: %s: %s\n", title, text);
}

// Through the loader, with no person to ask: messages go to standard error.
bool load_file(const std::string& path) {
  UiTable table;
  table.msgbox_error = print_error;
  table.msgbox_message = print_message;
  const UiTable before = ui_install(table);
  const bool ok = kavfile_load_drawing(1, path.c_str()) == 1;
  ui_install(before);
  return ok;
}

bool parse_int(const char* text, int lo, int hi, int* out) {
  char* end = nullptr;
  long v = std::strtol(text, &end, 10);
  if (!*text || *end || v < lo || v > hi) return false;
  *out = static_cast<int>(v);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  int view = 0;
  std::string fonts = std::string(KAVRO_STAGE_DIR) + "/dat/fonts";
  int first = 1;
  while (argc - first > 2 && std::strncmp(argv[first], "--", 2) == 0) {
    if (std::strcmp(argv[first], "--view") == 0) {
      if (!parse_int(argv[first + 1], 0, 9, &view)) return usage();
    } else if (std::strcmp(argv[first], "--fonts") == 0) {
      fonts = argv[first + 1];
    } else {
      return usage();
    }
    first += 2;
  }
  const int rest = argc - first;
  if (rest != 2 && rest != 4) return usage();
  const std::string drawing = argv[first];
  const char* out = argv[first + 1];
  int width = 800, height = 600;
  if (rest == 4 &&
      (!parse_int(argv[first + 2], 1, 8000, &width) || !parse_int(argv[first + 3], 1, 8000, &height)))
    return usage();

  main_init_defaults();
  outdev_init_screen_slots();
  font_stroke_dir = fonts;

  if (drawing.empty() || drawing[0] != '@') {
    if (!load_file(drawing)) {
      drawing_free();
      return 1;
    }
  } else if (!render_fixture_build(drawing.substr(1))) {
    std::fprintf(stderr, "kav-render: no drawing named %s\n", drawing.c_str());
    return 1;
  }
  if (!view_offscreen(0, width, height)) {
    std::fprintf(stderr, "kav-render: cannot make a %d x %d view\n", width, height);
    return 1;
  }
  view_type = view;
  view_zoom_to_extents(0);
  const bool ok = view_write_png(0, out);
  view_free_all();
  drawing_free();
  if (!ok) {
    std::fprintf(stderr, "kav-render: cannot write %s\n", out);
    return 1;
  }
  return 0;
}
