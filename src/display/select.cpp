#include "display/select.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <initializer_list>
#include <vector>

#include "display/draw.h"
#include "display/draw_parallel.h"
#include "display/input.h"
#include "display/key_state.h"
#include "display/outdev_screen.h"
#include "display/pick.h"
#include "display/snap.h"
#include "display/snap_grid.h"
#include "display/view.h"
#include "model/elem_points.h"
#include "model/geom.h"
#include "model/layers.h"
#include "model/nls.h"
#include "model/settings.h"
#include "model/ui.h"
#include "model/undo.h"
#include "model/view_rec.h"

SelectWindow select_window;
uint8_t select_points_marked = 0;

const SelectKindChoice select_kind_choices[SELECT_KIND_CHOICES] = {
    {nls_mark("Line"), ELEM_LINE},      {nls_mark("Circle"), ELEM_ARC},
    {nls_mark("Text"), ELEM_TEXT},      {nls_mark("Dimension"), ELEM_DIM},
    {nls_mark("Wall"), ELEM_WALL},      {nls_mark("Pattern"), ELEM_PATTERN},
    {nls_mark("Spline"), ELEM_SPLINE},  {nls_mark("3D Line"), ELEM_LINE3D},
    {nls_mark("3D Object"), ELEM_MESH}, {nls_mark("Room"), ELEM_ROOM},
    {nls_mark("Light"), ELEM_LIGHT},    {nls_mark("Camera"), ELEM_CAMERA},
};

namespace {

// Farther than this from every opening, an Opening pick finds none.
constexpr double OPENING_PICK_DISTANCE = 1.0;
// An outline segment end this near one of an opening's plan points belongs
// to the opening.
constexpr double OPENING_POINT_DISTANCE = 0.001;

// Drawing of many elements shows its dirty rectangle once, at the end.
class DrawBatch {
 public:
  DrawBatch() : saved_(draw_refresh_now) { draw_refresh_now = 0; }
  ~DrawBatch() {
    draw_refresh_now = saved_;
    view_flush_dirty();
  }
  DrawBatch(const DrawBatch&) = delete;
  DrawBatch& operator=(const DrawBatch&) = delete;

 private:
  uint8_t saved_;
};

// select_mode applied to one mark; true when the mark changed.
bool apply_mode(uint8_t& mark) {
  const uint8_t before = mark;
  switch (select_mode) {
    case 0:
      mark = 1;
      break;
    case 1:
      if (mark == 1) mark = 0;
      break;
    case 2:
      mark = mark == 1 ? 0 : 1;
      break;
    default:
      break;
  }
  return mark != before;
}

// The element lies on a layer the selection covers and passes the filter.
bool takes_part(const ElemHeader* e) {
  const bool layer = e->layer == cur_layer || (select_all_layers == 1 && layer_visible(e->layer));
  return layer && select_filter_match(e);
}

bool inside(const Point2& p) { return select_window_contains(p.x, p.y); }
bool inside(const Point3& p) { return select_window_contains_3d(p.x, p.y, p.z); }

// Every contour point lies in the window; the contour ends do not count.
bool contours_inside(const std::vector<Point2>& points) {
  return std::all_of(points.begin(), points.end(),
                     [](const Point2& p) { return point_is_contour_end(p.x, p.y) || inside(p); });
}

bool dimension_inside(const DimElem& d) {
  const auto& p = d.points;
  switch (d.dim_kind) {
    case DIM_CHAIN:
      return std::all_of(p.begin(), p.end(), [](const DimPoint& q) { return inside(q.line_point); });
    case DIM_LEVEL:
      return p.size() >= 3 && inside(p[2].line_point);
    case DIM_RADIUS:
    case DIM_DIAMETER:
    case DIM_ANGLE:
      return p.size() >= 3 && inside(p[1].line_point) && inside(p[2].line_point);
    default:
      return false;
  }
}

// The window rule of Range selection: which points of an element must lie
// in the window. The plan kinds count in the plan view only, the 3D kinds
// in every view by their projection.
bool window_holds(ElemHeader* e) {
  const bool plan = view_type == VIEW_PLAN;
  switch (e->kind) {
    case ELEM_LINE: {
      const auto* l = static_cast<const LineElem*>(e);
      return plan && inside(l->p1) && inside(l->p2);
    }
    case ELEM_SPLINE: {
      const auto* s = static_cast<const SplineElem*>(e);
      return plan && inside(s->p0) && inside(s->p3);
    }
    case ELEM_ARC:
      return plan && inside(static_cast<const ArcElem*>(e)->centre);
    case ELEM_TEXT:
      return plan && inside(static_cast<const TextElem*>(e)->pos);
    case ELEM_DIM:
      return plan && dimension_inside(*static_cast<const DimElem*>(e));
    case ELEM_PATTERN:
      return plan && contours_inside(static_cast<const PatternElem*>(e)->points);
    case ELEM_ROOM:
      return plan && contours_inside(static_cast<const RoomElem*>(e)->points);
    case ELEM_WALL: {
      const auto* w = static_cast<const WallElem*>(e);
      return std::all_of(std::begin(w->corner), std::end(w->corner),
                         [](const Point3& c) { return inside(c); });
    }
    case ELEM_MESH: {
      const auto& v = static_cast<const MeshElem*>(e)->vertices;
      return std::all_of(v.begin(), v.end(), [](const Point3& p) { return inside(p); });
    }
    case ELEM_LINE3D: {
      const auto* l = static_cast<const Line3dElem*>(e);
      return inside(l->p1) && inside(l->p2);
    }
    case ELEM_LIGHT:
      return inside(static_cast<const LightElem*>(e)->position);
    case ELEM_CAMERA:
      return inside(static_cast<const CameraElem*>(e)->eye);
    default:
      return false;
  }
}

// The elements a window selection has to look at, in list order. In the
// plan view the snap grid gives those whose points come near the window,
// plus those without points (which every window holds); the other views
// project, so there every element is looked at.
std::vector<ElemHeader*> window_candidates() {
  std::vector<ElemHeader*> out;
  if (view_type != VIEW_PLAN) {
    for (ElemHeader* e = elem_list_head; e; e = e->next) out.push_back(e);
    return out;
  }
  const std::size_t threshold = static_cast<std::size_t>(std::max(snap_index_threshold, 0));
  std::vector<const ElemHeader*> found;
  elem_grid_query(select_window.x1, select_window.y1, select_window.x2, select_window.y2, threshold, found);
  // The grid only reads the list; the elements are the list's to change.
  for (const ElemHeader* e : found) out.push_back(const_cast<ElemHeader*>(e));
  elem_grid_query_boxless(threshold, found);
  for (const ElemHeader* e : found) out.push_back(const_cast<ElemHeader*>(e));
  return out;
}

void store_window(InputRequest& r) {
  input_normalize_corners(&r);
  select_window = SelectWindow{r.x[0], r.x[1], r.y[0], r.y[1]};
}

struct Step {
  uint16_t kind;
  const char* prompt;
  InputPreviewFn preview;
};

// Fills r afresh with the steps (translated prompts) and runs it; view
// commands work inside.
int ask(InputRequest& r, std::initializer_list<Step> steps) {
  r.transparent = 1;
  r.nsteps = 0;
  r.step = 0;
  r.npoints = 0;
  int k = 0;
  for (const Step& s : steps) input_set_step(&r, k++, s.kind, s.prompt, s.preview);
  return input_run_request(&r);
}

int ask_window(InputRequest& r) {
  return ask(r, {{STEP_CORNER_1, nls_translate("1st Corner point:"), nullptr},
                 {STEP_CORNER_2, nls_translate("2nd Corner point:"), preview_select_window}});
}

int select_by_range(InputRequest& r) {
  const int res = ask_window(r);
  if (res != INPUT_DONE) return res;
  store_window(r);
  const std::vector<ElemHeader*> candidates = window_candidates();
  CursorHidden off;
  DrawBatch batch;
  for (ElemHeader* e : candidates)
    if (takes_part(e) && window_holds(e)) select_apply_mode_redraw(e);
  return res;
}

int select_by_element(InputRequest& r) {
  const int res = ask(r, {{STEP_PICK, nls_translate("Element:"), nullptr}});
  if (res != INPUT_DONE) return res;
  ElemHeader* e = pick_nearest_element(r.x[0], r.y[0], PICK_ANY);
  if (e && select_filter_match(e)) {
    CursorHidden off;
    select_apply_mode_redraw(e);
  }
  return res;
}

// The opening of a wall on the current layer nearest to (x, y), measured to
// the line through its plan corners 0 and 2 where the foot falls between
// them; the first of equally near ones.
WallOpening* nearest_opening(double x, double y, WallElem** wall) {
  WallOpening* best = nullptr;
  double best_d = 100.0;
  for (ElemHeader* e = elem_list_head; e; e = e->next) {
    auto* w = elem_as<WallElem>(e);
    if (!w || w->layer != cur_layer) continue;
    for (WallOpening& o : w->openings) {
      const double d = geom_dist_to_line(x, y, o.corner[0].x, o.corner[0].y, o.corner[2].x, o.corner[2].y);
      const double t = geo_result.line_t;
      if (!(t > 0.0 && t < 1.0) || !(d < best_d)) continue;
      best_d = d;
      best = &o;
      *wall = w;
    }
  }
  return best && best_d < OPENING_PICK_DISTANCE ? best : nullptr;
}

// The ten plan points of an opening that wall outline ends can meet: its
// four base corners; corners 0 and 1 moved across the wall by the stop
// depth; those two and corners 3 and 2 moved outwards along the wall by the
// stop width.
std::vector<Point2> opening_plan_points(const WallOpening& o) {
  const Point3* c = o.corner;
  const double a = geom_angle(c[0].x, c[0].y, c[1].x, c[1].y);
  const double ca = std::cos(a), sa = std::sin(a);
  const double d = o.stop_depth, w = o.stop_width;
  const Point2 e0{c[0].x - d * sa, c[0].y + d * ca, 0};
  const Point2 e1{c[1].x - d * sa, c[1].y + d * ca, 0};
  return {{c[0].x, c[0].y, 0},
          {c[1].x, c[1].y, 0},
          {c[2].x, c[2].y, 0},
          {c[3].x, c[3].y, 0},
          e0,
          e1,
          {e0.x - w * ca, e0.y - w * sa, 0},
          {e1.x + w * ca, e1.y + w * sa, 0},
          {c[3].x - w * ca, c[3].y - w * sa, 0},
          {c[2].x + w * ca, c[2].y + w * sa, 0}};
}

int select_by_opening(InputRequest& r) {
  const int res = ask(r, {{STEP_PICK, nls_translate("Opening:"), nullptr}});
  if (res != INPUT_DONE) return res;
  WallElem* wall = nullptr;
  WallOpening* o = nearest_opening(r.x[0], r.y[0], &wall);
  if (!o) return res;
  select_points_marked = 1;
  for (Point3& c : o->corner) select_apply_mode_point_3d(c);
  const std::vector<Point2> points = opening_plan_points(*o);
  // An end that two opening points meet gets the mode twice.
  auto apply_near = [&points](Point2& end) {
    for (const Point2& q : points)
      if (geom_dist(q.x, q.y, end.x, end.y) < OPENING_POINT_DISTANCE) select_apply_mode_point(end);
  };
  for (WallSegment& s : wall->segments) {
    apply_near(s.start);
    apply_near(s.end);
  }
  CursorHidden off;
  draw_element(DRAW_NORMAL, wall);
  return res;
}

int select_by_group(InputRequest& r) {
  const int res = ask(r, {{STEP_PICK, nls_translate("Group:"), nullptr}});
  if (res != INPUT_DONE) return res;
  const ElemHeader* picked = pick_nearest_element(r.x[0], r.y[0], PICK_ANY);
  if (!picked || picked->group == 0) return res;
  const uint16_t group = picked->group;
  CursorHidden off;
  DrawBatch batch;
  for (ElemHeader* e = elem_list_head; e; e = e->next)
    if (e->layer == cur_layer && e->group == group && select_filter_match(e)) select_apply_mode_redraw(e);
  return res;
}

int select_by_points(InputRequest& r) {
  select_points_marked = 1;
  const int res = ask_window(r);
  if (res != INPUT_DONE) return res;
  store_window(r);
  CursorHidden off;
  DrawBatch batch;
  for (ElemHeader* e = elem_list_head; e; e = e->next)
    if (takes_part(e)) select_mark_points_in_window(e);
  return res;
}

// "All": the mode on every element taking part, then one redraw.
void select_all() {
  for (ElemHeader* e = elem_list_head; e; e = e->next)
    if (takes_part(e)) select_apply_mode(e);
  view_redraw();
}

// "Last": the elements the newest undo step created or changed.
void select_last() {
  CursorHidden off;
  DrawBatch batch;
  for (ElemHeader* e = elem_list_head; e; e = e->next)
    if (takes_part(e) && undo_in_current_step(e)) select_apply_mode_redraw(e);
}

// The Select page is shown, and Tab means OK, from the start of a selection
// to its end, whichever way it ends.
class SelectPage {
 public:
  explicit SelectPage(uint8_t arg) {
    ui().mainwin_select_page_enter(arg);
    // The page's radio buttons are set to these without posting anything;
    // every selection starts from them.
    select_mode = 0;
    select_type = 1;
    select_all_layers = 0;
    select_filter.on = 0;
    select_idle = 0;
  }
  ~SelectPage() { leave(); }
  SelectPage(const SelectPage&) = delete;
  SelectPage& operator=(const SelectPage&) = delete;

  void leave() {
    if (left_) return;
    left_ = true;
    select_idle = 1;
    ui().mainwin_select_page_leave();
  }

 private:
  bool left_ = false;
};

// The block of one selection type: its request, and on a click what the
// click marks. Returns the request's result.
int run_type(int type, InputRequest& r) {
  switch (type) {
    case 0:
      return select_by_range(r);
    case 1:
      return select_by_element(r);
    case 2:
      return select_by_opening(r);
    case 3:
      return select_by_group(r);
    default:
      return select_by_points(r);
  }
}

bool is_filling(const ElemHeader* e) {
  const auto* p = elem_as<PatternElem>(e);
  return p && p->type == PATTERN_FILLING;
}

// The drawing passes' order: fillings under the rest, other layers under
// the current one.
int pass_of(const ElemHeader* e) { return (is_filling(e) ? 0 : 2) + (e->layer == cur_layer ? 1 : 0); }

// Clears every point mark of e; true when one was set.
bool clear_point_marks(ElemHeader* e) {
  bool any = false;
  auto clear = [&any](auto& p) {
    any = any || p.mark != 0;
    p.mark = 0;
  };
  elem_for_each_point(e, ELEM_POINTS_EVERY, clear, clear);
  return any;
}

// Clears the marks of a wall's openings; how many were set.
int clear_opening_marks(ElemHeader* e) {
  auto* w = elem_as<WallElem>(e);
  if (!w) return 0;
  int n = 0;
  for (WallOpening& o : w->openings)
    if (o.reserved == 1) {
      o.reserved = 0;
      ++n;
    }
  return n;
}

}  // namespace

int32_t select_filter_match(const ElemHeader* e) {
  if (!select_filter.on) return 1;
  switch (select_filter.mode) {
    case 0:
      return e->pen == select_filter.pen ? 1 : 0;
    case 1:
      return e->line_type == select_filter.line_type ? 1 : 0;
    case 2:
      return e->pen == select_filter.pen && e->line_type == select_filter.line_type ? 1 : 0;
    case 3: {
      const int32_t c = select_filter.kind_choice;
      return c >= 0 && c < SELECT_KIND_CHOICES && e->kind == select_kind_choices[c].kind ? 1 : 0;
    }
    default:
      return 0;
  }
}

int32_t select_window_contains(double x, double y) {
  const SelectWindow& w = select_window;
  return w.x1 <= x && x <= w.x2 && w.y1 <= y && y <= w.y2 ? 1 : 0;
}

int32_t select_window_contains_3d(double x, double y, double z) {
  view_project(x, y, z);
  return select_window_contains(geo_result.view_u, geo_result.view_v);
}

void select_apply_mode(ElemHeader* e) { apply_mode(e->mark); }

void select_apply_mode_redraw(ElemHeader* e) {
  if (apply_mode(e->mark)) draw_element(DRAW_NORMAL, e);
}

void select_apply_mode_point(Point2& p) { apply_mode(p.mark); }

void select_apply_mode_point_3d(Point3& p) { apply_mode(p.mark); }

uint8_t select_mark_point(Point2& p) {
  if (!inside(p) || !apply_mode(p.mark)) return 0;
  draw_point_marker(p.mark == 1 ? 1 : 0, p.x, p.y);
  return p.mark == 1 ? 0 : 1;
}

uint8_t select_mark_point_3d(Point3& p) {
  if (!inside(p) || !apply_mode(p.mark)) return 0;
  draw_point_marker_3d(p.mark == 1 ? 1 : 0, p.x, p.y, p.z);
  return p.mark == 1 ? 0 : 1;
}

void select_mark_ref_point(ElemHeader* e, Point2& p) {
  if (view_type != VIEW_PLAN) return;
  if (select_mark_point(p)) draw_element(DRAW_NORMAL, e);
}

void select_mark_ref_point_3d(ElemHeader* e, Point3& p) {
  if (select_mark_point_3d(p)) draw_element(DRAW_NORMAL, e);
}

void select_unmark_element(ElemHeader* e) {
  if (!elem_has_marked_point(e)) return;
  draw_element(DRAW_ERASE, e);
  select_clear_point_marks(e);
  draw_element(DRAW_NORMAL, e);
}

void select_mark_points_in_window(ElemHeader* e) {
  const bool plan = view_type == VIEW_PLAN;
  bool cleared = false;
  auto mark2 = [&cleared](Point2& p) { cleared = select_mark_point(p) == 1 || cleared; };
  auto mark3 = [&cleared](Point3& p) { cleared = select_mark_point_3d(p) == 1 || cleared; };
  auto contours = [&mark2](std::vector<Point2>& points) {
    for (Point2& p : points)
      if (!point_is_contour_end(p.x, p.y)) mark2(p);
  };
  switch (e->kind) {
    case ELEM_ARC:
      select_mark_ref_point(e, static_cast<ArcElem*>(e)->centre);
      return;
    case ELEM_TEXT:
      select_mark_ref_point(e, static_cast<TextElem*>(e)->pos);
      return;
    case ELEM_LINE:
      if (plan) {
        auto* l = static_cast<LineElem*>(e);
        mark2(l->p1);
        mark2(l->p2);
      }
      break;
    case ELEM_SPLINE:
      if (plan) {
        auto* s = static_cast<SplineElem*>(e);
        for (Point2* p : {&s->p0, &s->p1, &s->p2, &s->p3}) mark2(*p);
      }
      break;
    case ELEM_DIM:
      if (!plan) break;
      // The two points of a dimension point go together, by the first.
      for (DimPoint& d : static_cast<DimElem*>(e)->points) {
        if (!inside(d.line_point) && !inside(d.measured)) continue;
        const uint8_t first = d.line_point.mark;
        uint8_t to = first;
        if (select_mode == 0 && first == 0) to = 1;
        if (select_mode == 1 && first == 1) to = 0;
        if (select_mode == 2) to = first == 1 ? 0 : 1;
        if (to == first) continue;
        d.line_point.mark = d.measured.mark = to;
        draw_point_marker(to, d.line_point.x, d.line_point.y);
        draw_point_marker(to, d.measured.x, d.measured.y);
        cleared = cleared || to == 0;
      }
      break;
    case ELEM_PATTERN:
      if (plan) contours(static_cast<PatternElem*>(e)->points);
      break;
    case ELEM_ROOM:
      if (plan) {
        auto* r = static_cast<RoomElem*>(e);
        mark2(r->label);
        contours(r->points);
      }
      break;
    case ELEM_WALL: {
      auto* w = static_cast<WallElem*>(e);
      for (Point3& c : w->corner) mark3(c);
      if (w->gable == 1) {
        mark3(w->gable_a);
        mark3(w->gable_b);
      }
      if (plan)
        for (WallSegment& s : w->segments) {
          mark2(s.start);
          mark2(s.end);
        }
      for (WallOpening& o : w->openings)
        for (Point3& c : o.corner) mark3(c);
      break;
    }
    case ELEM_LIGHT: {
      auto* l = static_cast<LightElem*>(e);
      mark3(l->position);
      mark3(l->target);
      break;
    }
    case ELEM_CAMERA: {
      auto* c = static_cast<CameraElem*>(e);
      mark3(c->eye);
      mark3(c->target);
      break;
    }
    case ELEM_LINE3D: {
      auto* l = static_cast<Line3dElem*>(e);
      mark3(l->p1);
      mark3(l->p2);
      break;
    }
    case ELEM_MESH:
      for (Point3& v : static_cast<MeshElem*>(e)->vertices) mark3(v);
      break;
    default:
      break;
  }
  if (cleared) draw_element(DRAW_NORMAL, e);
}

void select_clear_point_marks(ElemHeader* e) { clear_point_marks(e); }

void select_clear_opening_marks(ElemHeader* e) {
  for (int n = clear_opening_marks(e); n > 0; --n) draw_element(DRAW_NORMAL, e);
}

void select_clear_opening_marks_quiet(ElemHeader* e) { clear_opening_marks(e); }

void select_clear_flags() {
  for (ElemHeader* e = elem_list_head; e; e = e->next) e->mark = 0;
}

void select_clear(uint8_t mode) {
  // After a selection that marked vertices, modes 1 and 2 redraw the whole
  // view; so does clearing a point mark, whose marker reaches beyond its
  // element, and unmarking a filling, which covers what lies on it.
  bool whole_view = (mode == 1 || mode == 2) && select_points_marked == 1;
  // By drawing pass, each in list order.
  std::vector<ElemHeader*> shown[4];
  auto look_at = [&](ElemHeader* e) {
    bool redraw = e->mark == 1 || elem_has_marked_point(e);
    if (mode == 2 || (mode == 1 && e->kind == ELEM_WALL)) {
      if (clear_point_marks(e)) whole_view = true;
      if (clear_opening_marks(e) > 0) redraw = true;
    }
    if (!redraw) return;
    if (e->mark == 1) e->mark = 0;
    if (is_filling(e)) whole_view = true;
    if (!whole_view) shown[pass_of(e)].push_back(e);
  };
  // Over the list's array that drawing keeps, when it holds the whole list:
  // unlike a walk along the links, the records are read without each
  // waiting for the one before, which on a large drawing is most of the
  // time this takes. Bringing the array up to date would walk the links
  // all the same.
  if (draw_list_in_order_is_current()) {
    for (ElemHeader* e : draw_list_in_order()) look_at(e);
  } else {
    for (ElemHeader* e = elem_list_head; e; e = e->next) look_at(e);
  }
  if (whole_view) {
    view_redraw();
    return;
  }
  // Drawn after the marks are gone, so that each shows in its layer's
  // colour, in the order of the drawing passes; a large selection with
  // every core.
  CursorHidden off;
  DrawBatch batch;
  std::vector<ElemSpan> spans;
  for (const std::vector<ElemHeader*>& pass : shown)
    if (!pass.empty()) spans.push_back(ElemSpan{pass.data(), pass.size()});
  if (draw_in_parallel(DRAW_NORMAL, spans)) return;
  for (const std::vector<ElemHeader*>& pass : shown)
    for (ElemHeader* e : pass) draw_element(DRAW_NORMAL, e);
}

void preview_select_window(InputRequest* r, double x, double y) { draw_xor_rect(r->x[0], r->y[0], x, y); }

int32_t select_elements(uint8_t arg) {
  const bool all_types = arg != 0;
  select_points_marked = 0;
  SelectPage page(arg);
  InputRequest r;
  for (;;) {
    // A radio button that changes the type ends the running block with
    // INPUT_TOGGLE; the block of the new type then follows in the same
    // round when it comes later.
    int res = INPUT_DONE;
    bool asked = false;
    for (int type = 0; type <= 4 && res != INPUT_OK && res != INPUT_CANCEL; ++type) {
      if (select_type != type || ((type == 2 || type == 4) && !all_types)) continue;
      asked = true;
      res = run_type(type, r);
    }
    // A type that cannot be chosen now would ask nothing, round after round.
    if (!asked) {
      select_type = 1;
      continue;
    }
    switch (res) {
      case INPUT_OK:
        page.leave();
        return 1;
      case INPUT_CANCEL:
        page.leave();
        select_clear(arg);
        return 0;
      case INPUT_ALL:
        select_all();
        break;
      case INPUT_LAST:
        select_last();
        break;
      default:
        break;
    }
  }
}
