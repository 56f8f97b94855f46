#include "exchange/dgm_import.h"

#include <unistd.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

#include "display/draw.h"
#include "model/files/fio.h"
#include "model/files/fio_read.h"
#include "model/import_range.h"
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
constexpr int64_t ADDRESSABLE_POINTS = std::numeric_limits<int32_t>::max() / 6;
// What one point costs at the import's peak: while it is read, a point list
// that grows by doubling (up to three times a point's 32 bytes while it
// moves); then the mesh, the points again with six face numbers and two
// face sizes. 128 bytes cover both with room for the allocator.
constexpr int64_t BYTES_PER_POINT = 128;
// The share of the machine's memory a grid may take.
constexpr int64_t MEMORY_SHARE = 4;  // a quarter
// Without a known memory size: as much as 4 GB hold.
constexpr int64_t FALLBACK_MEMORY = int64_t{4} << 30;
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

int64_t dgm_point_limit() {
  const long pages = ::sysconf(_SC_PHYS_PAGES);
  const long page = ::sysconf(_SC_PAGESIZE);
  const int64_t memory = pages > 0 && page > 0 ? static_cast<int64_t>(pages) * page : FALLBACK_MEMORY;
  return std::min(ADDRESSABLE_POINTS, memory / MEMORY_SHARE / BYTES_PER_POINT);
}

DgmGrid dgm_read(std::FILE* f, const std::function<bool()>& step, int64_t max_points) {
  DgmGrid g;
  g.limit = max_points > 0 ? std::min(max_points, ADDRESSABLE_POINTS) : dgm_point_limit();
  // Each fault is told as soon as it shows, without reading on: a large
  // file would otherwise be read to its end only to be refused. The counts
  // are those of the points read.
  const auto refuse = [&g](DgmError e) {
    g.error = e;
    if (!g.points.empty()) g.ynum = static_cast<int64_t>(g.points.size()) / (g.xnum + 1);
    if (!g.points.empty()) ++g.xnum;
  };
  // Room for as many points as the file can hold (a point line takes 6
  // bytes at least), up to the limit: the list then never moves while it
  // grows, which for a large file took most of the time and three times
  // its memory at each move. Pages not reached are never touched.
  if (const int64_t left = fio_bytes_left(f); left > 0)
    g.points.reserve(static_cast<std::size_t>(std::min(g.limit, left / 6 + 1)));
  char line[FIO_LINE_MAX];
  int64_t run = 0, first_run = 0;  // points of the current and of the first x value
  int direction = 0;               // the sign of the x changes so far
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
    if (number > 1 && !overlong && (static_cast<std::size_t>(n) <= END_LINE_MAX || blank)) {
      // What follows is not read; lines of it with more than blanks are
      // counted, so that points after a stray empty line are not lost
      // without a word.
      g.end_line = number;
      bool counted = false;  // the line that goes on in the next piece is counted
      for (int k; (k = fio_read_line(f, line)) >= 0;) {
        if (step && !step()) {
          g = DgmGrid{};
          g.error = DgmError::CANCELLED;
          return g;
        }
        const std::size_t length = std::strlen(line);
        if (!counted && std::strspn(line, " \t") != length) {
          ++g.unread_lines;
          counted = true;
        }
        // A piece of a longer line: its rest follows.
        if (!(k == 0 && length == FIO_LINE_MAX - 1)) counted = false;
      }
      break;
    }
    Point3 p;
    if (overlong || !parse_point(line, p)) {
      g.error = DgmError::NOT_A_POINT;
      g.error_line = number;
      return g;
    }
    if (!import_in_range(p.x) || !import_in_range(p.y) || !import_in_range(p.z)) {
      g.error = DgmError::OUT_OF_RANGE;
      g.error_line = number;
      return g;
    }
    if (static_cast<int64_t>(g.points.size()) >= g.limit) {
      refuse(DgmError::TOO_MANY);
      return g;
    }
    if (!g.points.empty() && p.x != g.points.back().x) {
      // A new x value: the one before it must have as many points as the
      // first, at least two, and x must keep going the same way.
      const int sign = p.x > g.points.back().x ? 1 : -1;
      if (first_run == 0) {
        first_run = run;
        if (first_run < 2) {
          refuse(DgmError::TOO_SMALL);
          return g;
        }
      }
      if (direction != 0 && sign != direction) {
        refuse(DgmError::IRREGULAR);
        return g;
      }
      direction = sign;
      if (run != first_run) {
        refuse(DgmError::IRREGULAR);
        return g;
      }
      ++g.xnum;
      run = 0;
    }
    // A run longer than the first is irregular as soon as it is; a first
    // run of more than half the limit can only end in too many points, as a
    // grid has two x values at least.
    if (first_run != 0 && run >= first_run) {
      refuse(DgmError::IRREGULAR);
      return g;
    }
    if (first_run == 0 && 2 * (run + 1) > g.limit) {
      refuse(DgmError::TOO_MANY);
      return g;
    }
    widen(g, p);
    g.points.push_back(p);
    ++run;
  }
  const auto points = static_cast<int64_t>(g.points.size());
  if (g.xnum < 1 || points / (g.xnum + 1) < 2) {
    refuse(DgmError::TOO_SMALL);
    return g;
  }
  if (run != first_run) {
    refuse(DgmError::IRREGULAR);
    return g;
  }
  ++g.xnum;
  g.ynum = points / g.xnum;
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

namespace {

// Two triangles per cell, x column by x column.
std::vector<int32_t> grid_faces(int64_t xnum, int64_t ny) {
  std::vector<int32_t> indices;
  indices.reserve(static_cast<std::size_t>(6 * (xnum - 1) * (ny - 1)));
  for (int64_t i = 0; i + 1 < xnum; ++i) {
    for (int64_t k = 0; k + 1 < ny; ++k) {
      const auto a = static_cast<int32_t>(i * ny + k);
      const auto n = static_cast<int32_t>(ny);
      indices.insert(indices.end(), {a, a + 1, a + n + 1, a, a + n + 1, a + n});
    }
  }
  return indices;
}

}  // namespace

DgmMesh dgm_mesh(const DgmGrid& g) {
  DgmGrid copy;
  if (g.error == DgmError::NONE) copy = g;
  return dgm_mesh(std::move(copy));
}

DgmMesh dgm_mesh(DgmGrid&& g) {
  DgmMesh m;
  if (g.error != DgmError::NONE || g.points.empty()) return m;
  m.vertices = std::move(g.points);
  g.points = std::vector<Point3>();
  for (Point3& p : m.vertices) p = Point3{p.x - g.min.x, p.y - g.min.y, p.z, 0};
  m.indices = grid_faces(g.xnum, g.ynum);
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
      return nls_mark("Terrain grid: too many points; at most %lld fit into memory.");
    case DgmError::OUT_OF_RANGE:
      return nls_mark("Terrain grid: line %lld holds a coordinate beyond what a drawing can hold.");
    case DgmError::CANCELLED:
      return nls_mark("Import cancelled.");
    case DgmError::NONE:
      break;
  }
  return "";
}

std::string dgm_error_message(const DgmGrid& g) {
  char text[300];
  const long long number = g.error == DgmError::TOO_MANY ? g.limit : g.error_line;
  std::snprintf(text, sizeof text, nls_translate(dgm_error_text(g.error)), number);
  return text;
}

std::string dgm_unread_message(const DgmGrid& g) {
  if (g.unread_lines == 0) return "";
  char text[300];
  std::snprintf(text, sizeof text,
                nls_translate("Terrain grid: the data ends at line %lld; %lld lines after it were not read."),
                static_cast<long long>(g.end_line), static_cast<long long>(g.unread_lines));
  return text;
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
  if (grid.error != DgmError::NOT_A_POINT && grid.error != DgmError::TOO_MANY &&
      grid.error != DgmError::OUT_OF_RANGE) {
    std::fputs(dgm_summary(grid).c_str(), stdout);
    std::fflush(stdout);
  }
  if (grid.error != DgmError::NONE) {
    const std::string text = dgm_error_message(grid);
    grid = DgmGrid{};  // not held while the box is shown
    ui().msgbox_error(text.c_str());
    return;
  }

  const std::string unread = dgm_unread_message(grid);
  // The points become the element's vertices in place: a large grid is not
  // held twice.
  DgmMesh mesh = dgm_mesh(std::move(grid));
  auto e = std::make_unique<MeshElem>();
  e->layer = static_cast<uint16_t>(cur_layer);
  e->pen = static_cast<uint8_t>(cur_pen);
  e->line_type = static_cast<uint8_t>(cur_line_type);
  e->face_sizes.assign(mesh.indices.size() / 3, 3);
  e->vertices = std::move(mesh.vertices);
  e->indices = std::move(mesh.indices);
  e->material = material_preset.name.view();
  e->flag = 0;
  elem_adopt(std::move(e));
  undo_record(UNDO_CREATED, 1);
  {
    ToolCursorOff off;
    draw_last_element(DRAW_NORMAL);
  }
  if (!unread.empty()) ui().msgbox_message(nls_translate("Message"), unread.c_str());
}
