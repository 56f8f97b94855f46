#include "display/snap_grid.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <memory>

namespace {

// An element in more cells than this is kept in one list that every query
// looks through, so that long elements do not fill the grid.
constexpr long MAX_CELLS_PER_ELEMENT = 64;
constexpr int MAX_CELLS_PER_AXIS = 4096;
// Appended elements are looked at one by one up to this many.
constexpr std::size_t MAX_APPENDED = 4096;

struct BoxBuilder {
  PlanBox box;
  bool any = false;
  void add(double x, double y) {
    if (!any) {
      box = {x, y, x, y};
      any = true;
      return;
    }
    box.xmin = std::min(box.xmin, x);
    box.xmax = std::max(box.xmax, x);
    box.ymin = std::min(box.ymin, y);
    box.ymax = std::max(box.ymax, y);
  }
  void add(const Point2& p) { add(p.x, p.y); }
  void add(const Point3& p) { add(p.x, p.y); }
  void add_contours(const std::vector<Point2>& pts) {
    for (const Point2& p : pts)
      if (!point_is_contour_end(p.x, p.y)) add(p);
  }
};

bool overlaps(const PlanBox& b, double xmin, double ymin, double xmax, double ymax) {
  return b.xmin <= xmax && b.xmax >= xmin && b.ymin <= ymax && b.ymax >= ymin;
}

bool finite(const PlanBox& b) {
  return std::isfinite(b.xmin) && std::isfinite(b.xmax) && std::isfinite(b.ymin) && std::isfinite(b.ymax);
}

// The grid is built in steps that can stop at a deadline and go on later,
// so that the hover timer never holds the interface for long: collect the
// boxes walking the list, count the cells each element covers, then fill
// the cells. A list below the threshold gets no cells at all.
enum class Phase { NONE, LENGTH, COLLECT, COUNT, FILL, SMALL, READY };

struct Grid {
  Phase phase = Phase::NONE;
  uint32_t generation = 0;
  std::size_t threshold = 0;
  const ElemHeader* next_elem = nullptr;  // where measuring or collecting goes on
  std::size_t length = 0;                 // of the list, measured first
  const ElemHeader* tail = nullptr;       // the last element collected
  uint32_t next_o = 0;                    // where counting or filling goes on
  std::vector<const ElemHeader*> elems;
  std::vector<PlanBox> boxes;
  std::vector<uint8_t> state;  // per element: 0 no box, 1 in the cells, 2 in `wide`
  BoxBuilder all;
  double extent_sum = 0.0;
  std::size_t extent_count = 0;
  double x0 = 0.0, y0 = 0.0, cw = 1.0, ch = 1.0;
  int nx = 0, ny = 0;
  std::vector<uint32_t> cell_start;
  std::vector<uint32_t> fill;
  // The elements of each cell, one run per cell. Not a vector: making it
  // must not write every entry at once (the filling writes them, a slice
  // per tick).
  std::unique_ptr<uint32_t[]> items;
  std::size_t items_capacity = 0;
  std::vector<uint32_t> wide;
  std::vector<uint32_t> boxless;  // the elements without a plan box
};
Grid grid;

const ElemHeader* first_after(const ElemHeader* tail) { return tail ? tail->next : elem_list_head; }

std::size_t appended_count(std::size_t stop_at) {
  std::size_t n = 0;
  for (const ElemHeader* e = first_after(grid.tail); e && n <= stop_at; e = e->next) ++n;
  return n;
}

void cell_range(const PlanBox& b, int* ix0, int* iy0, int* ix1, int* iy1) {
  auto cell = [](double v, double origin, double size, int n) {
    const double c = std::floor((v - origin) / size);
    if (!(c > 0.0)) return 0;
    if (c >= n - 1) return n - 1;
    return static_cast<int>(c);
  };
  *ix0 = cell(b.xmin, grid.x0, grid.cw, grid.nx);
  *ix1 = cell(b.xmax, grid.x0, grid.cw, grid.nx);
  *iy0 = cell(b.ymin, grid.y0, grid.ch, grid.ny);
  *iy1 = cell(b.ymax, grid.y0, grid.ch, grid.ny);
}

// Cells about twice the spacing of the elements and not smaller than an
// average element, so that most elements lie in one to four cells.
void lay_out_cells() {
  const std::size_t n = grid.elems.size();
  if (!grid.all.any) {
    grid.nx = grid.ny = 0;
    return;
  }
  const double w = grid.all.box.xmax - grid.all.box.xmin;
  const double h = grid.all.box.ymax - grid.all.box.ymin;
  double cell = 2.0 * std::sqrt(w * h / static_cast<double>(n));
  if (grid.extent_count > 0) cell = std::max(cell, grid.extent_sum / static_cast<double>(grid.extent_count));
  if (!(cell > 0.0)) cell = std::max(w, h) / static_cast<double>(n);
  if (!(cell > 0.0)) cell = 1.0;
  auto cells_on = [&](double extent) {
    const double c = std::ceil(extent / cell);
    if (!(c >= 1.0)) return 1;
    return c > MAX_CELLS_PER_AXIS ? MAX_CELLS_PER_AXIS : static_cast<int>(c);
  };
  grid.nx = cells_on(w);
  grid.ny = cells_on(h);
  grid.x0 = grid.all.box.xmin;
  grid.y0 = grid.all.box.ymin;
  grid.cw = w > 0.0 ? w / grid.nx : 1.0;
  grid.ch = h > 0.0 ? h / grid.ny : 1.0;
  grid.cell_start.assign(static_cast<std::size_t>(grid.nx) * grid.ny + 1, 0);
}

// Starts again. The buffers keep their memory: a large drawing is rebuilt
// without allocating and faulting in its arrays afresh.
void restart(std::size_t threshold) {
  grid.phase = Phase::LENGTH;
  grid.generation = elem_list_generation;
  grid.threshold = threshold;
  grid.next_elem = elem_list_head;
  grid.length = 0;
  grid.tail = nullptr;
  grid.next_o = 0;
  grid.elems.clear();
  grid.boxes.clear();
  grid.state.clear();
  grid.all = BoxBuilder{};
  grid.extent_sum = 0.0;
  grid.extent_count = 0;
  grid.nx = grid.ny = 0;
  grid.cell_start.clear();
  grid.fill.clear();
  grid.wide.clear();
  grid.boxless.clear();
}

// Whether the grid still describes the list: nothing but appends since, and
// not so many of them.
bool current(std::size_t threshold) {
  if (grid.phase == Phase::NONE || grid.generation != elem_list_generation || grid.threshold != threshold)
    return false;
  if (grid.phase == Phase::READY) return appended_count(MAX_APPENDED) <= MAX_APPENDED;
  if (grid.phase == Phase::SMALL) return grid.elems.size() + appended_count(threshold) < threshold;
  return true;
}

using Clock = std::chrono::steady_clock;

// Goes on building until done or, with a deadline, until it has passed.
// True when done.
bool advance(const Clock::time_point* deadline) {
  constexpr uint32_t CHECK_EVERY = 256;
  uint32_t work = 0;
  auto out_of_time = [&] { return deadline && ++work % CHECK_EVERY == 0 && Clock::now() >= *deadline; };

  // The length first, so that the arrays are made once at their size.
  while (grid.phase == Phase::LENGTH) {
    if (!grid.next_elem) {
      grid.elems.reserve(grid.length);
      if (grid.length >= grid.threshold) {
        grid.boxes.reserve(grid.length);
        grid.state.reserve(grid.length);
      }
      grid.next_elem = elem_list_head;
      grid.phase = Phase::COLLECT;
      break;
    }
    ++grid.length;
    grid.next_elem = grid.next_elem->next;
    if (out_of_time()) return false;
  }

  while (grid.phase == Phase::COLLECT) {
    const ElemHeader* e = grid.next_elem;
    if (!e) {
      if (grid.elems.size() < grid.threshold) {
        grid.phase = Phase::SMALL;
        break;
      }
      lay_out_cells();
      grid.phase = grid.nx > 0 ? Phase::COUNT : Phase::READY;
      if (grid.nx == 0)
        for (uint32_t o = 0; o < grid.elems.size(); ++o)
          if (grid.state[o]) grid.wide.push_back(o);
      break;
    }
    PlanBox b;
    const bool has = elem_plan_box(e, &b);
    grid.elems.push_back(e);
    grid.boxes.push_back(b);
    grid.state.push_back(has ? 1 : 0);
    if (!has) grid.boxless.push_back(static_cast<uint32_t>(grid.elems.size() - 1));
    grid.tail = e;
    grid.next_elem = e->next;
    if (has && finite(b)) {
      grid.all.add(b.xmin, b.ymin);
      grid.all.add(b.xmax, b.ymax);
      grid.extent_sum += std::max(b.xmax - b.xmin, b.ymax - b.ymin);
      ++grid.extent_count;
    }
    if (out_of_time()) return false;
  }

  const uint32_t n = static_cast<uint32_t>(grid.elems.size());
  if (grid.phase == Phase::COUNT) {
    for (; grid.next_o < n; ++grid.next_o) {
      const uint32_t o = grid.next_o;
      if (!grid.state[o]) continue;
      const PlanBox& b = grid.boxes[o];
      int ix0 = 0, iy0 = 0, ix1 = 0, iy1 = 0;
      if (finite(b)) cell_range(b, &ix0, &iy0, &ix1, &iy1);
      if (!finite(b) || static_cast<long>(ix1 - ix0 + 1) * (iy1 - iy0 + 1) > MAX_CELLS_PER_ELEMENT) {
        grid.state[o] = 2;
        grid.wide.push_back(o);
      } else {
        for (int iy = iy0; iy <= iy1; ++iy)
          for (int ix = ix0; ix <= ix1; ++ix)
            ++grid.cell_start[static_cast<std::size_t>(iy) * grid.nx + ix + 1];
      }
      if (out_of_time()) {
        ++grid.next_o;
        return false;
      }
    }
    const std::size_t ncells = grid.cell_start.size() - 1;
    for (std::size_t c = 0; c < ncells; ++c) grid.cell_start[c + 1] += grid.cell_start[c];
    const std::size_t nitems = grid.cell_start[ncells];
    if (grid.items_capacity < nitems) {
      grid.items.reset(new uint32_t[nitems]);
      grid.items_capacity = nitems;
    }
    grid.fill.assign(grid.cell_start.begin(), grid.cell_start.end() - 1);
    grid.next_o = 0;
    grid.phase = Phase::FILL;
  }
  if (grid.phase == Phase::FILL) {
    for (; grid.next_o < n; ++grid.next_o) {
      const uint32_t o = grid.next_o;
      if (grid.state[o] != 1) continue;
      int ix0, iy0, ix1, iy1;
      cell_range(grid.boxes[o], &ix0, &iy0, &ix1, &iy1);
      for (int iy = iy0; iy <= iy1; ++iy)
        for (int ix = ix0; ix <= ix1; ++ix)
          grid.items[grid.fill[static_cast<std::size_t>(iy) * grid.nx + ix]++] = o;
      if (out_of_time()) {
        ++grid.next_o;
        return false;
      }
    }
    grid.phase = Phase::READY;
  }
  return true;
}

bool prepare(std::size_t threshold, const Clock::time_point* deadline) {
  if (!current(threshold)) restart(threshold);
  return advance(deadline);
}

}  // namespace

bool elem_plan_box(const ElemHeader* e, PlanBox* box) {
  BoxBuilder b;
  switch (e->kind) {
    case ELEM_LINE: {
      const auto* l = static_cast<const LineElem*>(e);
      b.add(l->p1);
      b.add(l->p2);
      break;
    }
    case ELEM_ARC: {
      const auto* a = static_cast<const ArcElem*>(e);
      const double r = std::max(std::fabs(a->radius_x), std::fabs(a->radius_y));
      b.add(a->centre.x - r, a->centre.y - r);
      b.add(a->centre.x + r, a->centre.y + r);
      break;
    }
    case ELEM_TEXT:
      b.add(static_cast<const TextElem*>(e)->pos);
      break;
    case ELEM_DIM:
      for (const DimPoint& p : static_cast<const DimElem*>(e)->points) b.add(p.line_point);
      break;
    case ELEM_WALL: {
      const auto* w = static_cast<const WallElem*>(e);
      for (const WallSegment& s : w->segments) {
        b.add(s.start);
        b.add(s.end);
      }
      for (const Point3& c : w->corner) b.add(c);
      break;
    }
    case ELEM_PATTERN:
      b.add_contours(static_cast<const PatternElem*>(e)->points);
      break;
    case ELEM_SPLINE: {
      const auto* s = static_cast<const SplineElem*>(e);
      b.add(s->p0);
      b.add(s->p1);
      b.add(s->p2);
      b.add(s->p3);
      break;
    }
    case ELEM_LINE3D: {
      const auto* l = static_cast<const Line3dElem*>(e);
      b.add(l->p1);
      b.add(l->p2);
      break;
    }
    case ELEM_MESH:
      for (const Point3& v : static_cast<const MeshElem*>(e)->vertices) b.add(v);
      break;
    case ELEM_CAMERA: {
      const auto* c = static_cast<const CameraElem*>(e);
      b.add(c->eye);
      b.add(c->target);
      break;
    }
    case ELEM_ROOM: {
      const auto* r = static_cast<const RoomElem*>(e);
      b.add_contours(r->points);
      b.add(r->label);
      break;
    }
    case ELEM_LIGHT: {
      const auto* l = static_cast<const LightElem*>(e);
      b.add(l->position);
      b.add(l->target);
      break;
    }
  }
  if (b.any) *box = b.box;
  return b.any;
}

bool elem_grid_prepare(std::size_t threshold, std::chrono::steady_clock::time_point deadline) {
  return prepare(threshold, &deadline);
}

void elem_grid_query(double xmin, double ymin, double xmax, double ymax, std::size_t threshold,
                     std::vector<const ElemHeader*>& out) {
  out.clear();
  prepare(threshold, nullptr);
  PlanBox b;
  if (grid.phase == Phase::SMALL) {
    for (const ElemHeader* e = elem_list_head; e; e = e->next)
      if (elem_plan_box(e, &b) && overlaps(b, xmin, ymin, xmax, ymax)) out.push_back(e);
    return;
  }

  std::vector<uint32_t> found;
  auto take = [&](uint32_t o) {
    if (overlaps(grid.boxes[o], xmin, ymin, xmax, ymax)) found.push_back(o);
  };
  if (grid.nx > 0 && xmin <= grid.x0 + grid.cw * grid.nx && xmax >= grid.x0 &&
      ymin <= grid.y0 + grid.ch * grid.ny && ymax >= grid.y0) {
    int ix0, iy0, ix1, iy1;
    cell_range(PlanBox{xmin, ymin, xmax, ymax}, &ix0, &iy0, &ix1, &iy1);
    for (int iy = iy0; iy <= iy1; ++iy) {
      for (int ix = ix0; ix <= ix1; ++ix) {
        const std::size_t c = static_cast<std::size_t>(iy) * grid.nx + ix;
        for (uint32_t i = grid.cell_start[c]; i < grid.cell_start[c + 1]; ++i) take(grid.items[i]);
      }
    }
  }
  for (uint32_t o : grid.wide) take(o);
  std::sort(found.begin(), found.end());
  found.erase(std::unique(found.begin(), found.end()), found.end());
  for (uint32_t o : found) out.push_back(grid.elems[o]);

  for (const ElemHeader* e = first_after(grid.tail); e; e = e->next)
    if (elem_plan_box(e, &b) && overlaps(b, xmin, ymin, xmax, ymax)) out.push_back(e);
}

void elem_grid_query_boxless(std::size_t threshold, std::vector<const ElemHeader*>& out) {
  out.clear();
  prepare(threshold, nullptr);
  PlanBox b;
  if (grid.phase == Phase::SMALL) {
    for (const ElemHeader* e = elem_list_head; e; e = e->next)
      if (!elem_plan_box(e, &b)) out.push_back(e);
    return;
  }
  for (uint32_t o : grid.boxless) out.push_back(grid.elems[o]);
  for (const ElemHeader* e = first_after(grid.tail); e; e = e->next)
    if (!elem_plan_box(e, &b)) out.push_back(e);
}

void elem_grid_reset() { grid = Grid{}; }
