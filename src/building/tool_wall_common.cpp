// What the wall tools share: new walls from the preset, picking walls, the
// axis, moving one end, and re-creating a wall from new corners.

#include "building/tool_wall_common.h"

#include <algorithm>
#include <memory>

#include "display/draw.h"
#include "display/input.h"
#include "display/pick.h"
#include "display/view.h"
#include "model/geom.h"
#include "model/layers.h"
#include "model/nls.h"
#include "model/presets.h"
#include "model/settings.h"
#include "model/ui.h"
#include "model/view_rec.h"
#include "model/wall_outline.h"
#include "tools/tool_common.h"

namespace {

void plain_outline(WallElem& w) {
  w.segments.resize(4);
  wall_outline_quad(w.corner[0].x, w.corner[0].y, w.corner[1].x, w.corner[1].y, w.corner[2].x, w.corner[2].y,
                    w.corner[3].x, w.corner[3].y, w.segments.data());
}

bool same_xy(const Point2& p, const Point3& c) { return p.x == c.x && p.y == c.y; }

// The corners of a new wall: the plan at the preset's base and top.
WallCorners preset_corners(const WallPlan& p) {
  WallCorners c;
  for (int i = 0; i < 4; ++i) {
    c.c[i] = {p.c[i].x, p.c[i].y, wall_preset.base, 0};
    c.c[i + 4] = {p.c[i].x, p.c[i].y, wall_preset.base + wall_preset.height, 0};
  }
  return c;
}

}  // namespace

WallElem* wall_create(const WallPlan& p, int pen) {
  auto w = std::make_unique<WallElem>();
  w->layer = static_cast<uint16_t>(cur_layer);
  w->pen = static_cast<uint8_t>(pen);
  w->line_type = static_cast<uint8_t>(wall_preset.line_type);
  const WallCorners c = preset_corners(p);
  for (int i = 0; i < 8; ++i) w->corner[i] = c.c[i];
  plain_outline(*w);
  w->material = wall_preset.material.view();
  elem_adopt(std::move(w));
  return static_cast<WallElem*>(elem_list_tail);
}

void wall_show_no_thickness() { ui().msgbox_error(nls_translate(nls_mark("Wallthickness is not defined"))); }

WallCorners wall_corners_of(const WallElem& w) {
  WallCorners c;
  for (int i = 0; i < 8; ++i) c.c[i] = w.corner[i];
  return c;
}

void wall_xor_plan(const WallPlan& p) {
  for (int i = 0; i < 4; ++i) {
    const Point2& a = p.c[i];
    const Point2& b = p.c[(i + 1) % 4];
    draw_xor_line(a.x, a.y, b.x, b.y);
  }
}

WallElem* wall_pick_until(InputRequest& r, const char* prompt, WallPickRule rule, const ElemHeader* except) {
  for (;;) {
    if (tool_ask(r, {{STEP_PICK, prompt}}) != INPUT_DONE) return nullptr;
    auto* w = elem_as<WallElem>(pick_nearest_element(r.x[0], r.y[0], PICK_WALL));
    if (!w || w == except) continue;
    if (rule == WallPickRule::NOT_GABLE && w->gable == 1) continue;
    return w;
  }
}

WallAxis wall_axis(const WallElem& w) {
  const Point3* c = w.corner;
  return {{(c[0].x + c[3].x) / 2.0, (c[0].y + c[3].y) / 2.0, 0},
          {(c[1].x + c[2].x) / 2.0, (c[1].y + c[2].y) / 2.0, 0}};
}

void wall_move_end(WallElem& w, const WallEndMove& m) {
  // The corner on face 0-1 and the one on face 2-3 of the moving end.
  const int k1 = m.start ? 0 : 1;
  const int k2 = m.start ? 3 : 2;
  const Point3 old1 = w.corner[k1], old2 = w.corner[k2];
  auto carry = [&](Point2& p) {
    if (same_xy(p, old1)) {
      p.x = m.q1.x;
      p.y = m.q1.y;
    } else if (same_xy(p, old2)) {
      p.x = m.q2.x;
      p.y = m.q2.y;
    }
  };
  for (WallSegment& g : w.segments) {
    carry(g.start);
    carry(g.end);
  }
  for (int k : {k1, k1 + 4}) {
    w.corner[k].x = m.q1.x;
    w.corner[k].y = m.q1.y;
  }
  for (int k : {k2, k2 + 4}) {
    w.corner[k].x = m.q2.x;
    w.corner[k].y = m.q2.y;
  }
  elem_touch();
  drawing_modified = 1;
}

WallElem* wall_append_rebuilt(const WallElem& w, const WallCorners& c, bool keep_gable) {
  auto n = std::make_unique<WallElem>();
  n->layer = w.layer;
  n->pen = w.pen;
  n->line_type = w.line_type;
  for (int i = 0; i < 8; ++i) n->corner[i] = {c.c[i].x, c.c[i].y, c.c[i].z, 0};
  plain_outline(*n);
  n->openings = w.openings;
  for (WallOpening& o : n->openings)
    for (Point3& p : o.corner) p.mark = 0;
  n->material = w.material;
  // The new wall is the old one changed: it stays in the old one's group.
  n->group = w.group;
  if (keep_gable) {
    n->gable = w.gable;
    n->gable_a = w.gable_a;
    n->gable_b = w.gable_b;
  }
  elem_adopt(std::move(n));
  return wall_rebuild_outline(static_cast<WallElem*>(elem_list_tail));
}

void WallTouchRepair::add(const WallElem& w) {
  // A few pixels more, for the width of the pens.
  const double margin = view_px_to_len_x(4);
  Box b{w.corner[0].x, w.corner[0].y, w.corner[0].x, w.corner[0].y};
  auto grow = [&b](double x, double y) {
    b.xmin = std::min(b.xmin, x);
    b.ymin = std::min(b.ymin, y);
    b.xmax = std::max(b.xmax, x);
    b.ymax = std::max(b.ymax, y);
  };
  for (int i = 1; i < 4; ++i) grow(w.corner[i].x, w.corner[i].y);
  for (const WallSegment& g : w.segments) {
    grow(g.start.x, g.start.y);
    grow(g.end.x, g.end.y);
  }
  boxes_.push_back({b.xmin - margin, b.ymin - margin, b.xmax + margin, b.ymax + margin});
}

void WallTouchRepair::draw_touching() const {
  if (boxes_.empty()) return;
  const bool plan = view_type == VIEW_PLAN;
  auto near = [&](double xmin, double ymin, double xmax, double ymax) {
    if (!plan) return true;
    for (const Box& b : boxes_)
      if (xmin <= b.xmax && b.xmin <= xmax && ymin <= b.ymax && b.ymin <= ymax) return true;
    return false;
  };
  auto touching = [&](const ElemHeader* e) {
    if (const auto* l = elem_as<LineElem>(e))
      return near(std::min(l->p1.x, l->p2.x), std::min(l->p1.y, l->p2.y), std::max(l->p1.x, l->p2.x),
                  std::max(l->p1.y, l->p2.y));
    if (const auto* w = elem_as<WallElem>(e)) {
      double xmin = w->corner[0].x, ymin = w->corner[0].y, xmax = xmin, ymax = ymin;
      for (int i = 1; i < 4; ++i) {
        xmin = std::min(xmin, w->corner[i].x);
        ymin = std::min(ymin, w->corner[i].y);
        xmax = std::max(xmax, w->corner[i].x);
        ymax = std::max(ymax, w->corner[i].y);
      }
      for (const WallSegment& g : w->segments) {
        xmin = std::min({xmin, g.start.x, g.end.x});
        ymin = std::min({ymin, g.start.y, g.end.y});
        xmax = std::max({xmax, g.start.x, g.end.x});
        ymax = std::max({ymax, g.start.y, g.end.y});
      }
      return near(xmin, ymin, xmax, ymax);
    }
    return false;
  };
  // The order of a full redraw: the other shown layers, then the current one.
  ToolCursorOff off;
  for (const bool current : {false, true}) {
    ElemHeader* it;
    for (ElemHeader* e = elem_first(&it); e; e = elem_next(&it)) {
      if ((e->layer == cur_layer) != current || !layer_visible(e->layer)) continue;
      if (touching(e)) draw_element(DRAW_NORMAL, e);
    }
  }
}

bool wall_same_outline(const std::vector<WallSegment>& a, const std::vector<WallSegment>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const WallSegment& p, const WallSegment& q) {
    return p.start.x == q.start.x && p.start.y == q.start.y && p.end.x == q.end.x && p.end.y == q.end.y;
  });
}
