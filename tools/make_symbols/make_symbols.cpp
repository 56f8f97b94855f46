// Writes the sample symbols of the installation's symbol library, drawn from
// the coordinates below (metres, each symbol about its insertion point),
// with the program's own symbol writer.
//   make_symbols OUTPUT_FOLDER
// writes OUTPUT_FOLDER/<folder>/<name>.sym for every symbol in the table.

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "model/elem.h"
#include "model/files/symbol_file.h"
#include "model/layers.h"

namespace {

constexpr double PI = 3.141592653589793;

void line(double x1, double y1, double x2, double y2) { elem_new_line(0, 0, 0, x1, y1, x2, y2); }

void rect(double x0, double y0, double x1, double y1) {
  line(x0, y0, x1, y0);
  line(x1, y0, x1, y1);
  line(x1, y1, x0, y1);
  line(x0, y1, x0, y0);
}

void ellipse(double cx, double cy, double rx, double ry) {
  elem_new_arc(0, 0, 0, cx, cy, rx, ry, 2 * PI, 0, 0);
}

void arc(double cx, double cy, double r, double start, double sweep) {
  elem_new_arc(0, 0, 0, cx, cy, r, r, sweep, start, 0);
}

// A door leaf of 0.885 m hinged at the origin, open at a right angle, with
// its swing.
void door() {
  rect(0, 0, 0.04, 0.885);
  arc(0, 0, 0.885, 0, PI / 2);
}

// A window of 1.01 m in a wall of 0.24 m, the origin at its outer left
// corner: frame and double glazing.
void window() {
  rect(0, 0, 1.01, 0.24);
  line(0, 0.11, 1.01, 0.11);
  line(0, 0.13, 1.01, 0.13);
}

// A table of 1.6 x 0.9 m.
void table() { rect(0, 0, 1.6, 0.9); }

// A chair: seat of 0.45 x 0.45 m and backrest behind it.
void chair() {
  rect(0, 0, 0.45, 0.45);
  rect(0, 0.45, 0.45, 0.52);
}

// A bed of 1.0 x 2.0 m, head at the top: pillow and the turned-down blanket.
void bed() {
  rect(0, 0, 1.0, 2.0);
  rect(0.1, 1.62, 0.9, 1.92);
  line(0, 1.45, 1.0, 1.45);
  line(0, 1.45, 0.2, 1.3);
}

// A toilet against the wall at y = 0, the origin in the wall's middle of it.
void toilet() {
  rect(-0.2, 0, 0.2, 0.18);
  ellipse(0, 0.45, 0.18, 0.27);
  ellipse(0, 0.45, 0.12, 0.19);
}

// A washbasin of 0.6 x 0.45 m against the wall at y = 0: bowl, tap and drain.
void washbasin() {
  rect(-0.3, 0, 0.3, 0.45);
  ellipse(0, 0.25, 0.22, 0.15);
  ellipse(0, 0.07, 0.025, 0.025);
  ellipse(0, 0.25, 0.02, 0.02);
}

struct Symbol {
  const char* folder;
  const char* name;
  void (*draw)();
};

const Symbol symbols[] = {
    {"building", "door", door},           {"building", "window", window}, {"furniture", "table", table},
    {"furniture", "chair", chair},        {"furniture", "bed", bed},      {"sanitary", "toilet", toilet},
    {"sanitary", "washbasin", washbasin},
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
    return 2;
  }
  int status = 0;
  for (const Symbol& s : symbols) {
    drawing_free();
    s.draw();
    for (ElemHeader* e = elem_list_head; e; e = e->next) e->mark = 1;
    const std::filesystem::path folder = std::filesystem::path(argv[1]) / s.folder;
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    const std::string file = (folder / (std::string(s.name) + ".sym")).string();
    if (!symbol_write_marked(file, 0, 0, 0)) {
      std::fprintf(stderr, "%s: cannot write %s\n", argv[0], file.c_str());
      status = 1;
    }
  }
  drawing_free();
  return status;
}
