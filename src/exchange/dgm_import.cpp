#include "exchange/dgm_import.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "display/draw.h"
#include "model/files/fio.h"
#include "model/files/fio_read.h"
#include "model/layers.h"
#include "model/nls.h"
#include "model/presets.h"
#include "model/settings.h"
#include "model/ui.h"
#include "model/undo.h"
#include "tools/tool_common.h"

namespace {

// A mesh counts its face numbers in 32 bits; a grid of L points has fewer
// than 6 L of them.
constexpr int64_t MAX_POINTS = std::numeric_limits<int32_t>::max() / 6;
// After the first line, a line of this many characters or fewer ends the data.
constexpr std::size_t END_LINE_MAX = 5;

bool parse_point(const char* line, Point3& p) {
  double x, y, z;
  if (std::sscanf(line, "%lf %lf %lf", &x, &y, &z) != 3) return false;
  if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z)) return false;
  p = Point3{x, y, z, 0};
  return true;
}

void widen(DgmGrid& g, const Point3& p) {
  if (g.points.empty()) {
    g.min = g.max = p;
    return;
  }
  g.min.x = std::min(g.min.x, p.x);
  g.min.y = std::min(g.min.y, p.y);
  g.min.z = std::min(g.min.z, p.z);
  g.max.x = std::max(g.max.x, p.x);
  g.max.y = std::max(g.max.y, p.y);
  g.max.z = std::max(g.max.z, p.z);
}

double spacing(double lo, double hi, int64_t n) {
  return n > 1 ? (hi - lo) / static_cast<double>(n - 1) : 0.0;
}

}  // namespace

DgmGrid dgm_read(std::FILE* f, const std::function<bool()>& step) {
  DgmGrid g;
  char line[FIO_LINE_MAX];
  int64_t run = 0, first_run = 0;  // points of the current and of the first x value
  int direction = 0;               // the sign of the x changes so far
  bool regular = true;
  for (int64_t number = 1;; ++number) {
    const int n = fio_read_line(f, line);
    if (n < 0) break;
    if (step && !step()) {
      g = DgmGrid{};
      g.error = DgmError::CANCELLED;
      return g;
    }
    const bool overlong = n == 0 && std::strlen(line) == FIO_LINE_MAX - 1;
    // A line of blanks ends the data as an empty line does.
    const bool blank = std::strspn(line, " \t") == std::strlen(line);
    if (number > 1 && !overlong && (static_cast<std::size_t>(n) <= END_LINE_MAX || blank)) break;
    Point3 p;
    if (overlong || !parse_point(line, p)) {
      g.error = DgmError::NOT_A_POINT;
      g.error_line = number;
      return g;
    }
    if (static_cast<int64_t>(g.points.size()) >= MAX_POINTS) {
      g.error = DgmError::TOO_MANY;
      return g;
    }
    if (!g.points.empty() && p.x != g.points.back().x) {
      // A new x value: the one before it must have as many points as the
      // first, and x must keep going the same way.
      const int sign = p.x > g.points.back().x ? 1 : -1;
      if (direction != 0 && sign != direction) regular = false;
      direction = sign;
      if (first_run == 0) first_run = run;
      if (run != first_run) regular = false;
      ++g.xnum;
      run = 0;
    }
    widen(g, p);
    g.points.push_back(p);
    ++run;
  }
  if (g.points.empty()) {
    g.error = DgmError::TOO_SMALL;
    return g;
  }
  ++g.xnum;
  if (first_run != 0 && run != first_run) regular = false;
  g.ynum = static_cast<int64_t>(g.points.size()) / g.xnum;
  if (g.xnum < 2 || g.ynum < 2)
    g.error = DgmError::TOO_SMALL;
  else if (!regular)
    g.error = DgmError::IRREGULAR;
  return g;
}

std::string dgm_summary(const DgmGrid& g) {
  char text[1024];
  std::snprintf(text, sizeof text,
                "\nDGM import:\nnum:  %lld\nxnum: %lld\nynum: %lld\n"
                "divx: %.8f -> %.8f\ndivy: %.8f -> %.8f\ndivz: %.8f -> %.8f\ngrid: %.8f -> %.8f\n",
                static_cast<long long>(g.points.size()), static_cast<long long>(g.xnum),
                static_cast<long long>(g.ynum), g.min.x, g.max.x, g.min.y, g.max.y, g.min.z, g.max.z,
                spacing(g.min.x, g.max.x, g.xnum), spacing(g.min.y, g.max.y, g.ynum));
  return text;
}

DgmMesh dgm_mesh(const DgmGrid& g) {
  DgmMesh m;
  if (g.error != DgmError::NONE) return m;
  m.vertices.reserve(g.points.size());
  for (const Point3& p : g.points) m.vertices.push_back(Point3{p.x - g.min.x, p.y - g.min.y, p.z, 0});
  const int64_t ny = g.ynum;
  m.indices.reserve(static_cast<std::size_t>(6 * (g.xnum - 1) * (ny - 1)));
  for (int64_t i = 0; i + 1 < g.xnum; ++i) {
    for (int64_t k = 0; k + 1 < ny; ++k) {
      const auto a = static_cast<int32_t>(i * ny + k);
      const auto n = static_cast<int32_t>(ny);
      m.indices.insert(m.indices.end(), {a, a + 1, a + n + 1, a, a + n + 1, a + n});
    }
  }
  return m;
}

const char* dgm_error_text(DgmError error) {
  switch (error) {
    case DgmError::NOT_A_POINT:
      return nls_mark("Terrain grid: line %lld does not hold three numbers.");
    case DgmError::TOO_SMALL:
      return nls_mark("Terrain grid: at least two x values with two points each are needed.");
    case DgmError::IRREGULAR:
      return nls_mark("Terrain grid: the points do not form a regular grid ordered by x.");
    case DgmError::TOO_MANY:
      return nls_mark("Terrain grid: too many points.");
    case DgmError::CANCELLED:
      return nls_mark("Import cancelled.");
    case DgmError::NONE:
      break;
  }
  return "";
}

void dgm_import() {
  const std::string path = ui().filesel_choose(nls_translate("Import DGM..."), import_file.c_str(),
                                               FILESEL_OPEN, import_path.c_str());
  if (path == "cancel") return;
  FioReadError open_error = FioReadError::NONE;
  FioFile in = fio_open_read(path, open_error);
  if (!in) {
    ui().msgbox_error(fio_read_error_message("Cannot open file", open_error).c_str());
    return;
  }
  if (path.size() < import_file.capacity) import_file = path;

  DgmGrid grid;
  {
    FioStreamProgress progress(in.get(), "Import DGM...");
    grid = dgm_read(in.get(), progress.stepper());
  }
  in.close();
  if (grid.error == DgmError::CANCELLED) {
    // A cancel is no error: no box, and the drawing stays as it was.
    std::puts(nls_translate(dgm_error_text(grid.error)));
    std::fflush(stdout);
    return;
  }
  if (grid.error != DgmError::NOT_A_POINT && grid.error != DgmError::TOO_MANY) {
    std::fputs(dgm_summary(grid).c_str(), stdout);
    std::fflush(stdout);
  }
  if (grid.error != DgmError::NONE) {
    char text[300];
    std::snprintf(text, sizeof text, nls_translate(dgm_error_text(grid.error)),
                  static_cast<long long>(grid.error_line));
    ui().msgbox_error(text);
    return;
  }

  DgmMesh mesh = dgm_mesh(grid);
  const int faces = static_cast<int>(mesh.indices.size() / 3);
  const std::vector<int32_t> face_sizes(static_cast<std::size_t>(faces), 3);
  elem_new_mesh(cur_layer, cur_pen, cur_line_type, static_cast<int>(mesh.vertices.size()), faces,
                face_sizes.data(), mesh.vertices.data(), mesh.indices.data(), material_preset.name.view(), 0);
  undo_record(UNDO_CREATED, 1);
  ToolCursorOff off;
  draw_last_element(DRAW_NORMAL);
}
