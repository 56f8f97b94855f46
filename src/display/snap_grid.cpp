#include "display/snap_grid.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <memory>
#include <unordered_map>

namespace {

// An element in more cells than this is kept in one list that every query
// looks through, so that long elements do not fill the grid.
constexpr long MAX_CELLS_PER_ELEMENT = 64;
constexpr int MAX_CELLS_PER_AXIS = 4096;
// Changes the grid takes in before it is built again from the list: this
// many, or a quarter of the elements when that is more.
constexpr std::size_t MIN_CHANGES_BEFORE_REBUILD = 4096;

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

// The grid is built from the list in steps that can stop at a deadline and
// go on later, so that the hover timer never holds the interface for long:
// measure the list, collect the boxes, count the cells each element covers,
// then fill the cells. A list below the threshold gets no cells at all.
//
// Once built, the grid follows the list: the list's journal tells which
// elements left it or changed in place, and the elements appended since are
// those of a higher order. Each element has a slot, in list order; a slot
// says where its element is filed: in the cells as built, in the cells of
// the overlay (elements appended or changed since), among the wide ones or
// the boxless ones, or nowhere (gone). Entries of a slot that moved on stay
// behind in the cells and are passed over; when there are many of them,
// the grid is built again.
enum class Phase { NONE, LENGTH, COLLECT, COUNT, FILL, SMALL, READY };
enum : uint8_t { GONE = 0, BOXLESS, BUILT, OVERLAY, WIDE };

struct Grid {
  Phase phase = Phase::NONE;
  uint32_t epoch = 0;
  uint64_t journal_at = 0;  // the journal is taken in up to here
  std::size_t threshold = 0;
  const ElemHeader* next_elem = nullptr;  // where measuring or collecting goes on
  std::size_t length = 0;                 // of the list, measured first
  uint32_t next_o = 0;                    // where counting or filling goes on
  // One slot per element, in list order.
  std::vector<const ElemHeader*> elems;
  std::vector<uint32_t> orders;
  std::vector<PlanBox> boxes;
  std::vector<uint8_t> state;
  std::size_t live = 0;  // slots not GONE (of a small list: its length)
  uint32_t newest = 0;   // of a small list: the order of its last element
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
  std::unordered_map<uint32_t, std::vector<uint32_t>> overlay;  // by cell
  std::vector<uint32_t> wide;
  std::vector<uint32_t> boxless;
  bool boxless_sorted = true;
  std::size_t changes = 0;  // slots filed anew or gone since the build
};
Grid grid;

std::vector<uint32_t> found;
std::vector<uint32_t> touched;

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

// Whether a box is too large for the cells (or has no place in them).
bool too_wide(const PlanBox& b, int* ix0, int* iy0, int* ix1, int* iy1) {
  if (grid.nx == 0 || !finite(b)) return true;
  cell_range(b, ix0, iy0, ix1, iy1);
  return static_cast<long>(*ix1 - *ix0 + 1) * (*iy1 - *iy0 + 1) > MAX_CELLS_PER_ELEMENT;
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
  grid.epoch = elem_list_epoch;
  grid.journal_at = elem_journal_end;
  grid.threshold = threshold;
  grid.next_elem = elem_list_head;
  grid.length = 0;
  grid.next_o = 0;
  grid.elems.clear();
  grid.orders.clear();
  grid.boxes.clear();
  grid.state.clear();
  grid.live = 0;
  grid.newest = 0;
  grid.all = BoxBuilder{};
  grid.extent_sum = 0.0;
  grid.extent_count = 0;
  grid.nx = grid.ny = 0;
  grid.cell_start.clear();
  grid.fill.clear();
  grid.overlay.clear();
  grid.wide.clear();
  grid.boxless.clear();
  grid.boxless_sorted = true;
  grid.changes = 0;
}

// How many changes a grid built for n elements takes in before it is built
// again.
std::size_t changes_before_rebuild(std::size_t n) { return std::max(MIN_CHANGES_BEFORE_REBUILD, n / 4); }

// The slot of the element of an order; -1 when the grid has none.
long slot_of(uint32_t order) {
  const auto it = std::lower_bound(grid.orders.begin(), grid.orders.end(), order);
  if (it == grid.orders.end() || *it != order) return -1;
  return it - grid.orders.begin();
}

// Files slot o by its element's box as it is now.
void file(uint32_t o) {
  PlanBox b;
  const bool has = elem_plan_box(grid.elems[o], &b);
  grid.boxes[o] = b;
  if (!has) {
    if (grid.state[o] != BOXLESS) {
      if (!grid.boxless.empty() && grid.boxless.back() >= o) grid.boxless_sorted = false;
      grid.boxless.push_back(o);
    }
    grid.state[o] = BOXLESS;
    return;
  }
  int ix0 = 0, iy0 = 0, ix1 = 0, iy1 = 0;
  if (too_wide(b, &ix0, &iy0, &ix1, &iy1)) {
    if (grid.state[o] != WIDE) grid.wide.push_back(o);
    grid.state[o] = WIDE;
    return;
  }
  grid.state[o] = OVERLAY;
  for (int iy = iy0; iy <= iy1; ++iy)
    for (int ix = ix0; ix <= ix1; ++ix)
      grid.overlay[static_cast<uint32_t>(static_cast<std::size_t>(iy) * grid.nx + ix)].push_back(o);
}

// Takes in what happened to the list since the grid last looked. False when
// the grid has to be built again: the list changed beyond what the journal
// tells, or so much changed that the cells would serve poorly.
bool follow() {
  if (grid.epoch != elem_list_epoch || elem_journal_end - grid.journal_at > ELEM_JOURNAL_SIZE) return false;
  touched.clear();
  ElemJournalEntry j;
  for (uint64_t p = grid.journal_at; p < elem_journal_end; ++p) {
    if (!elem_journal_entry(p, &j)) return false;
    const long o = slot_of(j.order);
    if (o < 0 || grid.state[o] == GONE) continue;
    if (j.removed) {
      grid.state[o] = GONE;
      --grid.live;
      ++grid.changes;
    } else {
      touched.push_back(static_cast<uint32_t>(o));
    }
  }
  grid.journal_at = elem_journal_end;
  const std::size_t budget = changes_before_rebuild(grid.live);
  std::sort(touched.begin(), touched.end());
  touched.erase(std::unique(touched.begin(), touched.end()), touched.end());
  for (uint32_t o : touched) {
    if (grid.state[o] == GONE) continue;
    file(o);
    ++grid.changes;
  }

  // The elements appended since: a run at the end of the list.
  const uint32_t newest = grid.orders.empty() ? 0 : grid.orders.back();
  const ElemHeader* first = nullptr;
  std::size_t appended = 0;
  for (const ElemHeader* e = elem_list_tail; e && e->order > newest; e = e->previous) {
    first = e;
    // Beyond the room made at the build, the slots would be copied whole.
    if (++appended > budget || grid.elems.size() + appended > grid.elems.capacity()) return false;
  }
  for (const ElemHeader* e = first; e; e = e->next) {
    const uint32_t o = static_cast<uint32_t>(grid.elems.size());
    grid.elems.push_back(e);
    grid.orders.push_back(e->order);
    grid.boxes.emplace_back();
    grid.state.push_back(GONE);
    ++grid.live;
    file(o);
    ++grid.changes;
  }
  return grid.changes <= budget;
}

// A list below the threshold is only counted: the elements that left it
// by the journal, those appended since by their order. False when it is
// no longer small (or the journal no longer tells).
bool follow_small() {
  if (elem_journal_end - grid.journal_at > ELEM_JOURNAL_SIZE) return false;
  ElemJournalEntry j;
  for (uint64_t p = grid.journal_at; p < elem_journal_end; ++p) {
    if (!elem_journal_entry(p, &j)) return false;
    if (j.removed && j.order <= grid.newest) --grid.live;
  }
  grid.journal_at = elem_journal_end;
  for (const ElemHeader* e = elem_list_tail; e && e->order > grid.newest; e = e->previous) {
    if (++grid.live >= grid.threshold) return false;
  }
  if (elem_list_tail && elem_list_tail->order > grid.newest) grid.newest = elem_list_tail->order;
  return grid.live < grid.threshold;
}

using Clock = std::chrono::steady_clock;

// Goes on building until done or, with a deadline, until it has passed.
// True when done.
bool advance(const Clock::time_point* deadline) {
  constexpr uint32_t CHECK_EVERY = 64;
  uint32_t work = 0;
  auto out_of_time = [&] { return deadline && ++work % CHECK_EVERY == 0 && Clock::now() >= *deadline; };

  // The length first, so that the arrays are made once at their size, with
  // room for the elements appended before the next build: growing them
  // later would copy them whole within one tick. When they must grow, they
  // grow by half again, since giving back the old ones costs time too.
  while (grid.phase == Phase::LENGTH) {
    if (!grid.next_elem) {
      const std::size_t room = grid.length + changes_before_rebuild(grid.length) + 1;
      auto make_room = [room](auto& v) {
        if (v.capacity() < room) v.reserve(room + room / 2);
      };
      make_room(grid.elems);
      if (grid.length >= grid.threshold) {
        make_room(grid.orders);
        make_room(grid.boxes);
        make_room(grid.state);
      }
      grid.next_elem = elem_list_head;
      grid.phase = Phase::COLLECT;
      break;
    }
    ++grid.length;
    grid.next_elem = grid.next_elem->next;
    if (out_of_time()) return false;
  }

  // Each step's closing work over all cells starts a call of its own, with
  // the whole time of that call before it.
  auto spent = [&] { return deadline && work > 0; };

  while (grid.phase == Phase::COLLECT) {
    const ElemHeader* e = grid.next_elem;
    if (!e) {
      if (spent()) return false;
      if (grid.elems.size() < grid.threshold) {
        grid.phase = Phase::SMALL;
        grid.newest = grid.elems.empty() ? 0 : grid.elems.back()->order;
        break;
      }
      lay_out_cells();
      grid.phase = grid.nx > 0 ? Phase::COUNT : Phase::READY;
      if (grid.nx == 0)
        for (uint32_t o = 0; o < grid.elems.size(); ++o)
          if (grid.state[o] == BUILT) {
            grid.state[o] = WIDE;
            grid.wide.push_back(o);
          }
      break;
    }
    PlanBox b;
    const bool has = elem_plan_box(e, &b);
    grid.elems.push_back(e);
    grid.orders.push_back(e->order);
    grid.boxes.push_back(b);
    grid.state.push_back(has ? BUILT : BOXLESS);
    ++grid.live;
    if (!has) grid.boxless.push_back(static_cast<uint32_t>(grid.elems.size() - 1));
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
      if (grid.state[o] != BUILT) continue;
      int ix0 = 0, iy0 = 0, ix1 = 0, iy1 = 0;
      if (too_wide(grid.boxes[o], &ix0, &iy0, &ix1, &iy1)) {
        grid.state[o] = WIDE;
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
    if (spent()) return false;
    const std::size_t ncells = grid.cell_start.size() - 1;
    for (std::size_t c = 0; c < ncells; ++c) grid.cell_start[c + 1] += grid.cell_start[c];
    const std::size_t nitems = grid.cell_start[ncells];
    if (grid.items_capacity < nitems) {
      grid.items_capacity = nitems + nitems / 2;
      grid.items.reset(new uint32_t[grid.items_capacity]);
    }
    grid.fill.assign(grid.cell_start.begin(), grid.cell_start.end() - 1);
    grid.next_o = 0;
    grid.phase = Phase::FILL;
  }
  if (grid.phase == Phase::FILL) {
    for (; grid.next_o < n; ++grid.next_o) {
      const uint32_t o = grid.next_o;
      if (grid.state[o] != BUILT) continue;
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

// Whether what the grid holds still serves the list: a list that was small
// still is, a build under way saw no change of the list it walks, a ready
// grid took in the changes since.
bool current(std::size_t threshold) {
  if (grid.phase == Phase::NONE || grid.threshold != threshold || grid.epoch != elem_list_epoch) return false;
  switch (grid.phase) {
    case Phase::SMALL:
      return follow_small();
    case Phase::LENGTH:
    case Phase::COLLECT:
      // An element unlinked meanwhile may be where the walk goes on.
      return grid.journal_at == elem_journal_end;
    case Phase::COUNT:
    case Phase::FILL:
      return true;  // the changes are taken in when the cells are filled
    case Phase::READY:
      return follow();
    case Phase::NONE:
      break;
  }
  return false;
}

bool prepare(std::size_t threshold, const Clock::time_point* deadline) {
  if (!current(threshold)) restart(threshold);
  if (!advance(deadline)) return false;
  // A build just done takes in what changed while its cells were filled.
  if (grid.phase == Phase::READY && grid.journal_at != elem_journal_end && !follow()) {
    restart(threshold);
    return advance(deadline);
  }
  return true;
}

// Calls take for every slot filed in a cell the window meets (a slot may
// come more than once).
template <class Take>
void scan_cells(double xmin, double ymin, double xmax, double ymax, Take take) {
  if (grid.nx == 0) return;
  int ix0, iy0, ix1, iy1;
  cell_range(PlanBox{xmin, ymin, xmax, ymax}, &ix0, &iy0, &ix1, &iy1);
  for (int iy = iy0; iy <= iy1; ++iy) {
    for (int ix = ix0; ix <= ix1; ++ix) {
      const std::size_t c = static_cast<std::size_t>(iy) * grid.nx + ix;
      for (uint32_t i = grid.cell_start[c]; i < grid.cell_start[c + 1]; ++i) {
        const uint32_t o = grid.items[i];
        if (grid.state[o] == BUILT) take(o);
      }
    }
  }
  if (grid.overlay.empty()) return;
  const std::size_t cells = static_cast<std::size_t>(ix1 - ix0 + 1) * (iy1 - iy0 + 1);
  auto run = [&](const std::vector<uint32_t>& slots) {
    for (uint32_t o : slots)
      if (grid.state[o] == OVERLAY) take(o);
  };
  if (cells <= grid.overlay.size()) {
    for (int iy = iy0; iy <= iy1; ++iy)
      for (int ix = ix0; ix <= ix1; ++ix) {
        const auto it = grid.overlay.find(static_cast<uint32_t>(static_cast<std::size_t>(iy) * grid.nx + ix));
        if (it != grid.overlay.end()) run(it->second);
      }
  } else {
    for (const auto& [c, slots] : grid.overlay) {
      const int ix = static_cast<int>(c % static_cast<uint32_t>(grid.nx));
      const int iy = static_cast<int>(c / static_cast<uint32_t>(grid.nx));
      if (ix >= ix0 && ix <= ix1 && iy >= iy0 && iy <= iy1) run(slots);
    }
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
  found.clear();
  auto take = [&](uint32_t o) {
    if (overlaps(grid.boxes[o], xmin, ymin, xmax, ymax)) found.push_back(o);
  };
  scan_cells(xmin, ymin, xmax, ymax, take);
  for (uint32_t o : grid.wide)
    if (grid.state[o] == WIDE) take(o);
  std::sort(found.begin(), found.end());
  found.erase(std::unique(found.begin(), found.end()), found.end());
  for (uint32_t o : found) out.push_back(grid.elems[o]);
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
  if (!grid.boxless_sorted) {
    std::sort(grid.boxless.begin(), grid.boxless.end());
    grid.boxless.erase(std::unique(grid.boxless.begin(), grid.boxless.end()), grid.boxless.end());
    grid.boxless_sorted = true;
  }
  for (uint32_t o : grid.boxless)
    if (grid.state[o] == BOXLESS) out.push_back(grid.elems[o]);
}

void elem_grid_reset() { grid = Grid{}; }
