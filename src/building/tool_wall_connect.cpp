// Connecting walls that meet: each wall loses the outline segment that lies
// on a side of the other, and its face is continued to the other wall's
// corners, so that the plan shows one outline around both.

#include <algorithm>
#include <memory>

#include "building/tool_wall_common.h"
#include "display/draw.h"
#include "model/geom.h"
#include "model/layers.h"
#include "model/nls.h"
#include "model/ui.h"
#include "model/undo.h"
#include "tools/tool_common.h"

namespace {

struct Box {
  double xmin, ymin, xmax, ymax;
};

// The plan box of the lower corners, grown by d on every side.
Box grown_box(const WallElem& w, double d) {
  Box b{w.corner[0].x, w.corner[0].y, w.corner[0].x, w.corner[0].y};
  for (int i = 1; i < 4; ++i) {
    b.xmin = std::min(b.xmin, w.corner[i].x);
    b.ymin = std::min(b.ymin, w.corner[i].y);
    b.xmax = std::max(b.xmax, w.corner[i].x);
    b.ymax = std::max(b.ymax, w.corner[i].y);
  }
  return {b.xmin - d, b.ymin - d, b.xmax + d, b.ymax + d};
}

// Four times the average height of the lower (first 0) or upper corners.
double z_sum(const WallElem& w, int first) {
  double s = 0.0;
  for (int i = first; i < first + 4; ++i) s += w.corner[i].z;
  return s;
}

WallSegment segment(const Point2& a, const Point3& b) { return WallSegment{{a.x, a.y, 0}, {b.x, b.y, 0}}; }

double param_on(const Point2& p, const Point3& a, const Point3& b) {
  geom_project_on_segment(p.x, p.y, a.x, a.y, b.x, b.y);
  return geo_result.proj_t;
}

// The walls of the current layer in list order.
std::vector<WallElem*> layer_walls() {
  std::vector<WallElem*> out;
  ElemHeader* it;
  for (ElemHeader* e = elem_first(&it); e; e = elem_next(&it))
    if (auto* w = elem_as<WallElem>(e); w && w->layer == cur_layer) out.push_back(w);
  return out;
}

// Records one change step holding every wall of the list.
void record_change(const std::vector<WallElem*>& ws) {
  for (WallElem* w : ws) w->mark = 1;
  undo_record(UNDO_CHANGE, 0);
  for (WallElem* w : ws) w->mark = 0;
}

}  // namespace

int wall_pair_apart(const WallElem& a, const WallElem& b) {
  const Box p = grown_box(a, 0.01), q = grown_box(b, 0.01);
  if (p.xmin > q.xmax || q.xmin > p.xmax || p.ymin > q.ymax || q.ymin > p.ymax) return 1;
  const double a_low = z_sum(a, 0), a_high = z_sum(a, 4);
  const double b_low = z_sum(b, 0), b_high = z_sum(b, 4);
  if (a_low >= b_high || a_high <= b_low) return 1;
  return 0;
}

std::optional<std::vector<WallSegment>> wall_connected_outline(const WallElem& a, const WallElem& b) {
  if (wall_pair_apart(a, b) == 1 || a.segments.empty()) return std::nullopt;
  std::size_t match = a.segments.size();
  int k = 0;
  for (std::size_t i = 0; i < a.segments.size() && match == a.segments.size(); ++i) {
    const WallSegment& g = a.segments[i];
    for (int side = 0; side < 4; ++side) {
      const Point3 &c = b.corner[side], &d = b.corner[(side + 1) % 4];
      if (geom_segments_overlap(g.start.x, g.start.y, g.end.x, g.end.y, c.x, c.y, d.x, d.y) == 1) {
        match = i;
        k = side;
        break;
      }
    }
  }
  if (match == a.segments.size()) return std::nullopt;

  // A vector, not a fixed list: a wall with many openings has many segments.
  std::vector<WallSegment> out;
  out.reserve(a.segments.size() + 1);
  for (std::size_t i = 0; i < a.segments.size(); ++i)
    if (i != match) out.push_back(a.segments[i]);
  const WallSegment& g = a.segments[match];
  const Point3 &ck = b.corner[k], &cn = b.corner[(k + 1) % 4];
  const double t0 = param_on(g.start, ck, cn), t1 = param_on(g.end, ck, cn);
  // The end with the smaller parameter is low; on a tie the segment's end.
  const bool start_low = t0 < t1;
  const Point2& low = start_low ? g.start : g.end;
  const Point2& high = start_low ? g.end : g.start;
  const double t_low = start_low ? t0 : t1, t_high = start_low ? t1 : t0;
  // The face runs on past the side to b's corners; an end within the side
  // gets nothing, so the outline stays open towards b there.
  if (t_low < 0.0) out.push_back(segment(low, ck));
  if (t_high > 1.0) out.push_back(segment(high, cn));
  return out;
}

void wall_connect_to(WallElem* a, WallElem* b) {
  std::optional<std::vector<WallSegment>> segs = wall_connected_outline(*a, *b);
  if (!segs) return;
  draw_element(DRAW_ERASE, a);
  std::unique_ptr<ElemHeader> copy = a->clone();
  auto* n = static_cast<WallElem*>(copy.get());
  n->mark = 0;
  elem_clear_point_marks(n);
  n->segments = std::move(*segs);
  elem_adopt(std::move(copy));
  draw_last_element(DRAW_NORMAL);
  undo_mark_element(elem_list_tail);
  a->mark = 1;
}

void tool_wall_connect() {
  InputRequest r;
  for (;;) {
    WallElem* first = wall_pick_until(r, nls_mark("1st Wall:"), WallPickRule::ANY);
    if (!first) return;
    WallElem* second = nullptr;
    {
      ToolHighlight lit(first);
      second = wall_pick_until(r, nls_mark("2nd Wall:"), WallPickRule::ANY, first);
    }
    if (!second) return;
    record_change({first, second});
    WallTouchRepair repair;
    repair.add(*first);
    repair.add(*second);
    {
      ToolCursorOff off;
      // The second call sees the first wall's old record, which has the same corners.
      wall_connect_to(first, second);
      wall_connect_to(second, first);
    }
    elem_purge_marked();
    repair.draw_touching();
  }
}

void tool_wall_connect_all() {
  const std::vector<WallElem*> ws = layer_walls();
  // Each wall in turn is connected to every other wall of the same pen: first
  // to those after it in the list, then to those before it. Only the other
  // walls' corners count, so the turns can all work on the old records.
  const std::size_t n = ws.size();
  std::vector<std::vector<WallSegment>> outlines(n);
  for (std::size_t i = 0; i < n; ++i) {
    std::unique_ptr<ElemHeader> work = ws[i]->clone();
    auto* w = static_cast<WallElem*>(work.get());
    for (std::size_t j = 1; j < n; ++j) {
      const WallElem& partner = *ws[(i + j) % n];
      if (partner.pen != w->pen) continue;
      if (std::optional<std::vector<WallSegment>> s = wall_connected_outline(*w, partner))
        w->segments = std::move(*s);
    }
    outlines[i] = std::move(w->segments);
  }
  bool changed = false;
  for (std::size_t i = 0; i < n && !changed; ++i) changed = !wall_same_outline(outlines[i], ws[i]->segments);
  if (!changed) {
    ui().msgbox_message(nls_translate("Message"), nls_translate(nls_mark("No walls to connect")));
    return;
  }
  record_change(ws);
  // The connected walls follow all other elements, in the order of their turns.
  for (std::size_t i = 0; i < n; ++i) {
    elem_append_copy(ws[i]);
    auto* w = static_cast<WallElem*>(elem_list_tail);
    w->mark = 0;
    w->segments = std::move(outlines[i]);
    elem_update_size(*w);
    undo_mark_element(w);
  }
  for (WallElem* w : ws) w->mark = 1;
  elem_purge_marked();
  view_redraw();
}
