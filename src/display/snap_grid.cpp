#include "display/snap_grid.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

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

struct Grid {
  bool built = false;
  uint32_t generation = 0;
  const ElemHeader* tail = nullptr;  // the last element indexed
  std::vector<const ElemHeader*> elems;
  std::vector<PlanBox> boxes;
  std::vector<uint8_t> has_box;
  double x0 = 0.0, y0 = 0.0, cw = 1.0, ch = 1.0;
  int nx = 0, ny = 0;
  std::vector<uint32_t> cell_start;
  std::vector<uint32_t> items;
  std::vector<uint32_t> wide;
};
Grid grid;

// The list's length, kept while nothing but appends changed it.
struct CountCache {
  bool valid = false;
  uint32_t generation = 0;
  const ElemHeader* tail = nullptr;
  std::size_t count = 0;
};
CountCache counted;

const ElemHeader* first_after(const ElemHeader* tail) { return tail ? tail->next : elem_list_head; }

std::size_t list_size() {
  if (!counted.valid || counted.generation != elem_list_generation) {
    counted = CountCache{true, elem_list_generation, nullptr, 0};
  }
  for (const ElemHeader* e = first_after(counted.tail); e; e = e->next) {
    ++counted.count;
    counted.tail = e;
  }
  return counted.count;
}

std::size_t appended_count() {
  std::size_t n = 0;
  for (const ElemHeader* e = first_after(grid.tail); e; e = e->next) ++n;
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

void build() {
  grid = Grid{};
  grid.built = true;
  grid.generation = elem_list_generation;
  BoxBuilder all;
  for (const ElemHeader* e = elem_list_head; e; e = e->next) {
    PlanBox b;
    const bool has = elem_plan_box(e, &b);
    grid.elems.push_back(e);
    grid.boxes.push_back(b);
    grid.has_box.push_back(has ? 1 : 0);
    grid.tail = e;
    if (has && finite(b)) {
      all.add(b.xmin, b.ymin);
      all.add(b.xmax, b.ymax);
    }
  }
  const std::size_t n = grid.elems.size();
  if (n == 0 || !all.any) {
    grid.nx = grid.ny = 0;
    for (uint32_t o = 0; o < n; ++o)
      if (grid.has_box[o]) grid.wide.push_back(o);
    return;
  }
  const double w = all.box.xmax - all.box.xmin;
  const double h = all.box.ymax - all.box.ymin;
  double cell = std::sqrt(w * h / static_cast<double>(n));
  if (!(cell > 0.0)) cell = std::max(w, h) / static_cast<double>(n);
  if (!(cell > 0.0)) cell = 1.0;
  auto cells_on = [&](double extent) {
    const double c = std::ceil(extent / cell);
    if (!(c >= 1.0)) return 1;
    return c > MAX_CELLS_PER_AXIS ? MAX_CELLS_PER_AXIS : static_cast<int>(c);
  };
  grid.nx = cells_on(w);
  grid.ny = cells_on(h);
  grid.x0 = all.box.xmin;
  grid.y0 = all.box.ymin;
  grid.cw = w > 0.0 ? w / grid.nx : 1.0;
  grid.ch = h > 0.0 ? h / grid.ny : 1.0;

  // Counting sort of (cell, element) pairs into one array.
  const std::size_t ncells = static_cast<std::size_t>(grid.nx) * static_cast<std::size_t>(grid.ny);
  grid.cell_start.assign(ncells + 1, 0);
  std::vector<uint8_t> in_grid(n, 0);
  for (uint32_t o = 0; o < n; ++o) {
    if (!grid.has_box[o]) continue;
    const PlanBox& b = grid.boxes[o];
    if (!finite(b)) {
      grid.wide.push_back(o);
      continue;
    }
    int ix0, iy0, ix1, iy1;
    cell_range(b, &ix0, &iy0, &ix1, &iy1);
    if (static_cast<long>(ix1 - ix0 + 1) * (iy1 - iy0 + 1) > MAX_CELLS_PER_ELEMENT) {
      grid.wide.push_back(o);
      continue;
    }
    in_grid[o] = 1;
    for (int iy = iy0; iy <= iy1; ++iy)
      for (int ix = ix0; ix <= ix1; ++ix) ++grid.cell_start[static_cast<std::size_t>(iy) * grid.nx + ix + 1];
  }
  for (std::size_t c = 0; c < ncells; ++c) grid.cell_start[c + 1] += grid.cell_start[c];
  grid.items.resize(grid.cell_start[ncells]);
  std::vector<uint32_t> fill(grid.cell_start.begin(), grid.cell_start.end() - 1);
  for (uint32_t o = 0; o < n; ++o) {
    if (!in_grid[o]) continue;
    int ix0, iy0, ix1, iy1;
    cell_range(grid.boxes[o], &ix0, &iy0, &ix1, &iy1);
    for (int iy = iy0; iy <= iy1; ++iy)
      for (int ix = ix0; ix <= ix1; ++ix) grid.items[fill[static_cast<std::size_t>(iy) * grid.nx + ix]++] = o;
  }
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
    default:
      break;
  }
  if (b.any) *box = b.box;
  return b.any;
}

void elem_grid_query(double xmin, double ymin, double xmax, double ymax, std::size_t threshold,
                     std::vector<const ElemHeader*>& out) {
  out.clear();
  if (list_size() < threshold) {
    PlanBox b;
    for (const ElemHeader* e = elem_list_head; e; e = e->next)
      if (elem_plan_box(e, &b) && overlaps(b, xmin, ymin, xmax, ymax)) out.push_back(e);
    return;
  }
  if (!grid.built || grid.generation != elem_list_generation || appended_count() > MAX_APPENDED) build();

  std::vector<uint32_t> found;
  auto take = [&](uint32_t o) {
    if (overlaps(grid.boxes[o], xmin, ymin, xmax, ymax)) found.push_back(o);
  };
  if (grid.nx > 0) {
    PlanBox q{xmin, ymin, xmax, ymax};
    if (q.xmin <= grid.x0 + grid.cw * grid.nx && q.xmax >= grid.x0 && q.ymin <= grid.y0 + grid.ch * grid.ny &&
        q.ymax >= grid.y0) {
      int ix0, iy0, ix1, iy1;
      cell_range(q, &ix0, &iy0, &ix1, &iy1);
      for (int iy = iy0; iy <= iy1; ++iy) {
        for (int ix = ix0; ix <= ix1; ++ix) {
          const std::size_t c = static_cast<std::size_t>(iy) * grid.nx + ix;
          for (uint32_t i = grid.cell_start[c]; i < grid.cell_start[c + 1]; ++i) take(grid.items[i]);
        }
      }
    }
  }
  for (uint32_t o : grid.wide) take(o);
  std::sort(found.begin(), found.end());
  found.erase(std::unique(found.begin(), found.end()), found.end());
  for (uint32_t o : found) out.push_back(grid.elems[o]);

  PlanBox b;
  for (const ElemHeader* e = first_after(grid.tail); e; e = e->next)
    if (elem_plan_box(e, &b) && overlaps(b, xmin, ymin, xmax, ymax)) out.push_back(e);
}

void elem_grid_reset() {
  grid = Grid{};
  counted = CountCache{};
}
