#include "display/input.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <utility>

#include "display/command_buffer.h"
#include "display/draw.h"
#include "display/pick.h"
#include "display/shell_hooks.h"
#include "display/snap.h"
#include "display/view.h"
#include "display/wait_script.h"
#include "model/geom.h"
#include "model/nls.h"
#include "model/settings.h"
#include "model/ui.h"
#include "model/units.h"
#include "model/view_rec.h"

InputRequest* active_request = nullptr;
Point2 tangent_from;

namespace {

// How a key handler left the request.
enum class Flow { GO_ON, RETURN };

// The result of a value prompt the engine asked for itself (absolute
// coordinates, an axis distance, a division count) that Escape in its entry
// left: the step that asked goes on as if the key had not been pressed. No
// caller of input_run_request ever sees it.
constexpr int INPUT_BACK = -1;

// Set by ask_value for the request it is about to run, taken over by that
// request at its start.
bool next_request_backs_out = false;

// What one run of a request keeps besides the request itself.
struct RunState {
  InputRequest* outer = nullptr;  // the request that was active at the start
  bool backs_out = false;         // an engine value prompt: Escape in its entry gives INPUT_BACK
  int entry_put_away = -1;        // the step whose entry Escape closed; it stays closed there
};

bool key_is(const std::string& key, const char* name) { return key == name; }

bool is_point_kind(unsigned k) {
  return (k >= STEP_POINT && k <= STEP_NEXT_POINT_4) || k == STEP_POINT_3D || k == STEP_POINT_OR_LENGTH ||
         k == STEP_POINT_OR_ANGLE || k == STEP_POINT_OR_NUMBER;
}
bool is_next_point_kind(unsigned k) { return k >= STEP_NEXT_POINT && k <= STEP_NEXT_POINT_4; }
// The kinds that wait with the inline entry open.
bool is_value_kind(unsigned k) {
  return (k >= STEP_INTEGER && k <= STEP_NUMBER) || k == STEP_POINT_OR_LENGTH || k == STEP_POINT_OR_ANGLE ||
         k == STEP_POINT_OR_NUMBER;
}
bool is_axis_key(const std::string& k) {
  return k == "z_cx" || k == "z_cy" || k == "z_cz" || k == "z_cup" || k == "z_cdown" || k == "z_cleft" ||
         k == "z_cright";
}
bool has_room(const InputRequest* r) { return r->npoints >= 0 && r->npoints < INPUT_MAX_POINTS; }

// The snap buttons, and with them the letters that post the snap keys.
void snap_buttons(bool on) {
  snap_keys_enabled = on ? 1 : 0;
  if (on)
    ui().mainwin_snap_buttons_enable();
  else
    ui().mainwin_snap_buttons_disable();
}

// Drawing while the cursor may be on screen: hide it, draw, show it.
template <class F>
void with_cursor_off(InputRequest* r, F&& draw) {
  input_cursor_toggle(r);
  draw();
  input_cursor_toggle(r);
}

void toggle_marker(InputRequest* r, int k) {
  with_cursor_off(r, [&] { input_toggle_point_marker(r, k); });
}
void toggle_markers(InputRequest* r) {
  with_cursor_off(r, [&] { input_toggle_all_markers(r); });
}

void set_cursor_style(InputRequest* r, uint8_t style) {
  if (cursor_style == style) return;
  with_cursor_off(r, [&] { cursor_style = style; });
}

// Appends point n = npoints with its marker.
void append_point(InputRequest* r, double x, double y, double z, bool snapped) {
  const int n = r->npoints;
  r->x[n] = x;
  r->y[n] = y;
  r->z[n] = z;
  r->snapped[n] = snapped ? 1 : 0;
  toggle_marker(r, n);
  ++r->step;
  ++r->npoints;
}

// A translated text with its first "%s" replaced by arg. The text is not
// used as a printf format, so a translation cannot smuggle in directives.
std::string with_arg(const char* format, const char* arg) {
  std::string s = format ? format : "";
  const std::size_t at = s.find("%s");
  if (at != std::string::npos) s.replace(at, 2, arg);
  return s;
}

// The decimal integer at the start of text; 0 when there is none.
int32_t leading_integer(const char* text) {
  const char* p = text;
  while (*p == ' ' || *p == '\t') ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  long long v = 0;
  while (*p >= '0' && *p <= '9') {
    v = v * 10 + (*p++ - '0');
    if (v > INT32_MAX) v = INT32_MAX;
  }
  return static_cast<int32_t>(negative ? -v : v);
}

// A sub-request of one value step; its result and values stay in sub.
// INPUT_BACK when Escape left its entry.
int ask_value(InputRequest& sub, uint16_t kind, const char* prompt) {
  sub = InputRequest{};
  input_set_step(&sub, 0, kind, prompt);
  next_request_backs_out = true;
  return input_run_request(&sub);
}

// The two points of the midpoint and division snaps.
int ask_two_points(InputRequest& sub) {
  sub = InputRequest{};
  sub.transparent = 1;
  input_set_step(&sub, 0, STEP_POINT, nls_translate("1st Point:"));
  input_set_step(&sub, 1, STEP_NEXT_POINT, nls_translate("2nd Point:"));
  input_set_step(&sub, 2, STEP_CONFIRM, nls_translate("Move/Confirm:"));
  return input_run_request(&sub);
}

// The length typed for an axis move: INPUT_DONE with the length,
// INPUT_BACK when Escape left the entry, INPUT_CANCEL otherwise.
int ask_axis_length(const std::string& key, double* length) {
  char label[3];
  input_axis_key_label(key.c_str(), label);
  const std::string prompt = with_arg(nls_translate("Move to %s :"), label);
  InputRequest sub;
  const int res = ask_value(sub, STEP_LENGTH, prompt.c_str());
  if (res == INPUT_BACK) return INPUT_BACK;
  if (res != INPUT_DONE) return INPUT_CANCEL;
  *length = label[1] == '-' ? -sub.length : sub.length;
  return INPUT_DONE;
}

// Index 0, 1, 2 of the axis an axis key names in the current view.
int axis_of(const std::string& key) {
  char label[3];
  input_axis_key_label(key.c_str(), label);
  return label[0] == 'X' ? 0 : label[0] == 'Y' ? 1 : 2;
}

// The nearer of two candidate points to a reference; the second on a tie.
template <class Dist>
Point2 nearer(const Point2& first, const Point2& second, Dist&& dist) {
  return dist(first) < dist(second) ? first : second;
}

// The tangent snap: a From point, then circles or arcs until one has a
// tangent point from there. False when cancelled.
bool snap_tangent(Point3* out) {
  InputRequest sub;
  sub.transparent = 1;
  input_set_step(&sub, 0, STEP_POINT, nls_translate("From point:"));
  input_set_step(&sub, 1, STEP_CONFIRM, nls_translate("Move/Confirm:"));
  if (input_run_request(&sub) != INPUT_DONE) return false;
  tangent_from = {sub.x[0], sub.y[0], 0};
  for (;;) {
    InputRequest pick;
    pick.transparent = 1;
    input_set_step(&pick, 0, STEP_PICK, nls_translate("Select Circle/Arc:"), preview_tangent_snap);
    const int res = input_run_request(&pick);
    if (res == INPUT_CANCEL) return false;
    if (res != INPUT_DONE) continue;
    const auto* a = elem_as<ArcElem>(pick_nearest_element(pick.x[0], pick.y[0], PICK_ARC));
    if (!a || !geom_eq(a->radius_x, a->radius_y)) continue;
    const double d = geom_dist(a->centre.x, a->centre.y, tangent_from.x, tangent_from.y);
    const double t2 = d * d - a->radius_x * a->radius_x;
    if (!(t2 >= 0.0)) continue;
    geom_circle_circle(a->centre.x, a->centre.y, a->radius_x, tangent_from.x, tangent_from.y, std::sqrt(t2));
    if (!geo_result.found) continue;
    const Point2 c1{geo_result.cut1_x, geo_result.cut1_y, 0}, c2{geo_result.cut2_x, geo_result.cut2_y, 0};
    const Point2 p =
        nearer(c1, c2, [&](const Point2& c) { return geom_dist(c.x, c.y, pick.x[0], pick.y[0]); });
    *out = {p.x, p.y, 0.0, 0};
    return true;
  }
}

struct PickedElement {
  ElemHeader* elem = nullptr;
  double px = 0.0, py = 0.0;  // where it was picked
  PickedEdge edge;            // the segment of a line or wall
};

// One element for the intersection snap: a line, an arc or a wall, and not
// `other`. False when cancelled.
bool pick_crossing_element(const char* prompt, const ElemHeader* other, PickedElement* out) {
  for (;;) {
    InputRequest pick;
    pick.transparent = 1;
    input_set_step(&pick, 0, STEP_PICK, prompt);
    const int res = input_run_request(&pick);
    if (res == INPUT_CANCEL) return false;
    if (res != INPUT_DONE) continue;
    ElemHeader* e = pick_snap_edge(pick.x[0], pick.y[0]);
    if (!e || e == other) continue;
    if (e->kind != ELEM_LINE && e->kind != ELEM_ARC && e->kind != ELEM_WALL) continue;
    *out = {e, pick.x[0], pick.y[0], picked_edge};
    return true;
  }
}

// The crossing of two picked elements, the nearer of two to the line through
// the pick points; false when they have none.
bool crossing_of(const PickedElement& a, const PickedElement& b, Point2* out) {
  const auto* arc_a = elem_as<ArcElem>(a.elem);
  const auto* arc_b = elem_as<ArcElem>(b.elem);
  if (!arc_a && !arc_b) {
    if (!geom_intersect_lines(a.edge.x1, a.edge.y1, a.edge.x2, a.edge.y2, b.edge.x1, b.edge.y1, b.edge.x2,
                              b.edge.y2))
      return false;
    *out = {geo_result.ix, geo_result.iy, 0};
    return true;
  }
  if (arc_a && arc_b) {
    if (!geom_eq(arc_a->radius_x, arc_a->radius_y) || !geom_eq(arc_b->radius_x, arc_b->radius_y))
      return false;
    geom_circle_circle(arc_a->centre.x, arc_a->centre.y, arc_a->radius_x, arc_b->centre.x, arc_b->centre.y,
                       arc_b->radius_x);
  } else {
    const ArcElem* arc = arc_a ? arc_a : arc_b;
    const PickedEdge& e = arc_a ? b.edge : a.edge;
    geom_line_ellipse(arc->centre.x, arc->centre.y, arc->radius_x, arc->radius_y, arc->rotation, e.x1, e.y1,
                      e.x2, e.y2);
  }
  if (!geo_result.found) return false;
  const Point2 c1{geo_result.cut1_x, geo_result.cut1_y, 0}, c2{geo_result.cut2_x, geo_result.cut2_y, 0};
  *out = nearer(c1, c2, [&](const Point2& c) { return geom_dist_to_line(c.x, c.y, a.px, a.py, b.px, b.py); });
  return true;
}

// Draws e as it is marked now (marked elements show in the selection colour).
void draw_as_marked(InputRequest* r, ElemHeader* e) {
  with_cursor_off(r, [&] { draw_element(DRAW_NORMAL, e); });
}

// The intersection snap. The first element shows marked while the second
// is asked; an element without a crossing with it is asked again.
bool snap_intersection(InputRequest* r, Point3* out) {
  PickedElement first, second;
  if (!pick_crossing_element(nls_translate("1st Element:"), nullptr, &first)) return false;
  const uint8_t saved_mark = first.elem->mark;
  first.elem->mark = 1;
  draw_as_marked(r, first.elem);
  bool found = false;
  Point2 p;
  while (!found) {
    if (!pick_crossing_element(nls_translate("2nd Element:"), first.elem, &second)) break;
    found = crossing_of(first, second, &p);
  }
  first.elem->mark = saved_mark;
  draw_as_marked(r, first.elem);
  if (found) *out = {p.x, p.y, 0.0, 0};
  return found;
}

// The division snap; the number of divisions is asked again while it is 0.
// INPUT_BACK when Escape left one of the two counts' entries.
int snap_division(Point3* out) {
  InputRequest pts;
  if (ask_two_points(pts) != INPUT_DONE) return INPUT_CANCEL;
  InputRequest sub;
  int32_t divisions = 0;
  while (divisions == 0) {
    if (const int res = ask_value(sub, STEP_INTEGER, nls_translate("Number of divisions:"));
        res != INPUT_DONE)
      return res == INPUT_BACK ? INPUT_BACK : INPUT_CANCEL;
    divisions = sub.integer;
  }
  if (const int res = ask_value(sub, STEP_INTEGER, nls_translate("Number:")); res != INPUT_DONE)
    return res == INPUT_BACK ? INPUT_BACK : INPUT_CANCEL;
  const double f = static_cast<double>(sub.integer) / divisions;
  *out = {pts.x[0] + f * (pts.x[1] - pts.x[0]), pts.y[0] + f * (pts.y[1] - pts.y[0]),
          pts.z[0] + f * (pts.z[1] - pts.z[0]), 0};
  return INPUT_DONE;
}

bool snap_midpoint(Point3* out) {
  InputRequest pts;
  if (ask_two_points(pts) != INPUT_DONE) return false;
  *out = {(pts.x[0] + pts.x[1]) / 2.0, (pts.y[0] + pts.y[1]) / 2.0, (pts.z[0] + pts.z[1]) / 2.0, 0};
  return true;
}

// A snap key: hides the entered points' markers while its sub-requests run
// and appends the point it makes. INPUT_CANCEL when one was cancelled; a
// count whose entry Escape left makes no point, and the step is asked again.
int run_snap_key(InputRequest* r, const std::string& key) {
  toggle_markers(r);
  Point3 p;
  int res = INPUT_CANCEL;
  if (key == "z_snap_m")
    res = snap_midpoint(&p) ? INPUT_DONE : INPUT_CANCEL;
  else if (key == "z_snap_d")
    res = snap_division(&p);
  else if (key == "z_snap_t")
    res = snap_tangent(&p) ? INPUT_DONE : INPUT_CANCEL;
  else
    res = snap_intersection(r, &p) ? INPUT_DONE : INPUT_CANCEL;
  toggle_markers(r);
  if (res == INPUT_BACK) return INPUT_DONE;
  if (res != INPUT_DONE) return INPUT_CANCEL;
  append_point(r, p.x, p.y, p.z, false);
  return INPUT_DONE;
}

void handle_click(InputRequest* r, unsigned kind) {
  if (is_point_kind(kind)) {
    if (kind == STEP_POINT_OR_LENGTH || kind == STEP_POINT_OR_ANGLE || kind == STEP_POINT_OR_NUMBER)
      ui().mainwin_value_entry_close();
    // A request holds four points: a fifth click is ignored.
    if (!has_room(r)) return;
    const int n = r->npoints;
    r->x[n] = cursor_world.x;
    r->y[n] = cursor_world.y;
    r->snapped[n] = 0;
    const int res = snap_find_point(r, r->x[n], r->y[n]);
    if (res == SNAP_IGNORE) return;
    r->x[n] = snap_point.x;
    r->y[n] = snap_point.y;
    r->z[n] = snap_point.z;
    input_keep_offview_coordinate(r);
    append_point(r, r->x[n], r->y[n], r->z[n], res == SNAP_CAUGHT);
    return;
  }
  switch (kind) {
    case STEP_CONFIRM:
      ++r->step;
      return;
    case STEP_CORNER_1:
    case STEP_PICK:
      r->x[0] = cursor_world.x;
      r->y[0] = cursor_world.y;
      ++r->step;
      return;
    case STEP_CORNER_2:
      r->x[1] = cursor_world.x;
      r->y[1] = cursor_world.y;
      ++r->step;
      return;
    case STEP_RAW_POINT:
      // The point counts, so it gets a marker like every counted point:
      // the end of the request erases the markers of all of them.
      if (r->npoints > 0) toggle_marker(r, 0);
      r->x[0] = cursor_world.x;
      r->y[0] = cursor_world.y;
      r->snapped[0] = 0;
      ++r->step;
      if (has_room(r)) ++r->npoints;
      toggle_marker(r, 0);
      return;
    default:
      return;
  }
}

int handle_typed_value(InputRequest* r, unsigned kind) {
  const char* text = input_text.c_str();
  switch (kind) {
    case STEP_INTEGER:
      r->integer = leading_integer(text);
      ++r->step;
      return INPUT_DONE;
    case STEP_LENGTH:
      r->length = units_parse_length(text);
      ++r->step;
      return INPUT_DONE;
    case STEP_TEXT:
      r->text = text;
      ++r->step;
      return INPUT_DONE;
    case STEP_ANGLE:
      r->angle = units_parse_angle(text);
      ++r->step;
      return INPUT_DONE;
    case STEP_NUMBER:
      r->length = units_parse_number(text);
      ++r->step;
      return INPUT_DONE;
    case STEP_POINT_OR_LENGTH:
      r->length = units_parse_length(text);
      return INPUT_VALUE;
    case STEP_POINT_OR_ANGLE:
      r->angle = units_parse_angle(text);
      return INPUT_VALUE;
    case STEP_POINT_OR_NUMBER:
      r->length = units_parse_number(text);
      return INPUT_VALUE;
    default:
      return INPUT_DONE;
  }
}

int handle_absolute(InputRequest* r) {
  if (!has_room(r)) return INPUT_DONE;
  input_text = "";
  InputRequest sub;
  // This prompt is shown as it stands in every language.
  const int res = ask_value(sub, STEP_TEXT, "Abs. X/Y/Z:");
  if (res == INPUT_BACK) return INPUT_DONE;
  if (res != INPUT_DONE) return INPUT_CANCEL;
  double x = 0.0, y = 0.0, z = 0.0;
  units_parse_xyz(sub.text.view(), &x, &y, &z);
  append_point(r, x, y, z, false);
  return INPUT_DONE;
}

void zero_offset(InputRequest* r) {
  for (int k = 0; k < 2; ++k) r->x[k] = r->y[k] = r->z[k] = 0.0;
}

int handle_enter(InputRequest* r, unsigned kind) {
  if (is_next_point_kind(kind) && r->npoints >= 1 && has_room(r)) {
    const int n = r->npoints;
    append_point(r, r->x[n - 1], r->y[n - 1], r->z[n - 1], false);
  } else if (kind == STEP_CONFIRM) {
    ++r->step;
  } else if (kind == STEP_POINT_3D) {
    zero_offset(r);
    return INPUT_VALUE;
  }
  return INPUT_DONE;
}

int handle_axis_key(InputRequest* r, unsigned kind, const std::string& key) {
  if ((is_next_point_kind(kind) || kind == STEP_CONFIRM) && r->npoints >= 1 &&
      r->npoints <= INPUT_MAX_POINTS) {
    double length = 0.0;
    if (const int res = ask_axis_length(key, &length); res != INPUT_DONE)
      return res == INPUT_BACK ? INPUT_DONE : INPUT_CANCEL;
    const int k = r->npoints - 1;
    toggle_marker(r, k);
    double* axis[3] = {&r->x[k], &r->y[k], &r->z[k]};
    *axis[axis_of(key)] += length;
    toggle_marker(r, k);
    input_show_coordinates(r);
    return INPUT_DONE;
  }
  if (kind == STEP_POINT_3D) {
    double length = 0.0;
    const int res = ask_axis_length(key, &length);
    // Left by Escape: the step is asked again with nothing changed.
    if (res == INPUT_BACK) return INPUT_DONE;
    zero_offset(r);
    if (res != INPUT_DONE) return INPUT_CANCEL;
    double* axis[3] = {&r->x[1], &r->y[1], &r->z[1]};
    *axis[axis_of(key)] = length;
    input_show_coordinates(r);
    return INPUT_VALUE;
  }
  return INPUT_DONE;
}

// The end of a request by a p_ or b_ key: the key stays pending for the
// command loop, and every enclosing request ends as cancelled too.
void abort_request(InputRequest* r, const std::string& key) {
  ui().mainwin_value_entry_close();
  pending_command = key;
  input_cursor_toggle(r);
  input_toggle_all_markers(r);
  cursor_style = r->saved_cursor_style;
  input_cursor_toggle(r);
  active_request = nullptr;
  shell_hooks().mainwin_release_f_button();
  if (key[0] == 'p') shell_hooks().mainwin_release_b_button();
  snap_buttons(false);
}

// Handles one key. Returns Flow::RETURN when the request has ended and
// *result is to be returned at once.
Flow handle_key(InputRequest* r, std::string key, RunState& run, int* result) {
  const unsigned kind = r->kind[r->step];
  if (key[0] == 'z') shell_hooks().cmd_dispatch_z(key.c_str());
  if (key[0] == 'f' || key[0] == 's') {
    if (r->transparent) {
      if (key[0] == 'f')
        shell_hooks().cmd_dispatch_f(key.c_str());
      else
        shell_hooks().cmd_dispatch_s(key.c_str());
      if (!cmd_pending_empty()) key = pending_command.c_str();
    } else {
      input_cursor_toggle(r);
      input_toggle_all_markers(r);
      cursor_style = r->saved_cursor_style;
      input_cursor_toggle(r);
      active_request = run.outer;
      shell_hooks().cmd_dispatch_f(key.c_str());
      if (key[0] == 's') shell_hooks().mainwin_release_f_button();
      *result = INPUT_CANCEL;
      return Flow::RETURN;
    }
  }
  if (key[0] == 'p' || key[0] == 'b') {
    abort_request(r, key);
    *result = INPUT_CANCEL;
    return Flow::RETURN;
  }

  if (key_is(key, "z_mb1")) {
    handle_click(r, kind);
  } else if (key_is(key, "z_abs")) {
    // At the start of a vector the typed point is its start point.
    if ((kind >= STEP_POINT && kind <= STEP_NEXT_POINT_4) || kind == STEP_POINT_3D)
      *result = handle_absolute(r);
  } else if (key_is(key, "z_eesc")) {
    // Escape in the entry: the entry goes. An engine prompt ends and the
    // step that asked for it goes on; a step of the caller stays, without
    // its entry, until Return brings the entry back or Escape ends it.
    ui().mainwin_value_entry_close();
    if (is_value_kind(kind)) {
      if (run.backs_out && kind >= STEP_INTEGER && kind <= STEP_NUMBER)
        *result = INPUT_BACK;
      else
        run.entry_put_away = r->step;
    }
  } else if (key_is(key, "z_enter")) {
    if (is_value_kind(kind) && run.entry_put_away == r->step)
      run.entry_put_away = -1;
    else
      *result = handle_enter(r, kind);
  } else if (key_is(key, "z_eini")) {
    *result = handle_typed_value(r, kind);
  } else if (is_axis_key(key)) {
    *result = handle_axis_key(r, kind, key);
  } else if (key_is(key, "z_toggle")) {
    if (kind == STEP_CORNER_1 || kind == STEP_CORNER_2 || kind == STEP_PICK) *result = INPUT_TOGGLE;
  } else if (key_is(key, "s_deffi_all")) {
    *result = INPUT_ALL;
  } else if (key_is(key, "s_deffi_last")) {
    *result = INPUT_LAST;
  } else if (key_is(key, "s_deffi_ok")) {
    *result = INPUT_OK;
  } else if (key_is(key, "s_deffi_cancel")) {
    *result = INPUT_CANCEL;
  } else if (key_is(key, "z_snap_i") || key_is(key, "z_snap_m") || key_is(key, "z_snap_t") ||
             key_is(key, "z_snap_d")) {
    if (is_point_kind(kind) && has_room(r)) *result = run_snap_key(r, key);
  }
  return Flow::GO_ON;
}

// Opens the entry of a value step, unless Escape put it away at this step.
void prepare_step(InputRequest* r, unsigned kind, bool entry_put_away) {
  switch (kind) {
    case STEP_INTEGER:
    case STEP_LENGTH:
    case STEP_ANGLE:
    case STEP_NUMBER:
    case STEP_POINT_OR_LENGTH:
    case STEP_POINT_OR_ANGLE:
    case STEP_POINT_OR_NUMBER:
      if (!entry_put_away) ui().mainwin_value_entry_open("");
      break;
    case STEP_TEXT:
      if (!entry_put_away) ui().mainwin_value_entry_open(input_text.c_str());
      break;
    case STEP_PICK:
      set_cursor_style(r, CURSOR_PICK);
      break;
    case STEP_CORNER_1:
    case STEP_CORNER_2:
    case STEP_RAW_POINT:
      set_cursor_style(r, CURSOR_RAW);
      break;
    default:
      break;
  }
  snap_buttons(false);
  if (is_point_kind(kind)) snap_buttons(true);
}

const char* button_key(int button) {
  switch (button) {
    case 1:
      return "z_mb1";
    case 2:
      return "z_space";
    case 3:
      return "z_mb3";
    case 4:
      return "z_scrollup";
    case 5:
      return "z_scrolldown";
    default:
      return nullptr;
  }
}

}  // namespace

void input_set_step(InputRequest* r, int k, uint16_t kind, const char* prompt, InputPreviewFn preview) {
  if (!r || k < 0 || k >= INPUT_MAX_STEPS) return;
  r->kind[k] = kind;
  r->prompt[k] = prompt ? prompt : "";
  r->preview[k] = preview;
  if (r->nsteps < k + 1) r->nsteps = static_cast<int16_t>(k + 1);
}

int input_run_request(InputRequest* r) {
  if (!r) return INPUT_CANCEL;
  r->nsteps = std::clamp<int16_t>(r->nsteps, 0, INPUT_MAX_STEPS);
  r->npoints = std::clamp<int16_t>(r->npoints, 0, INPUT_MAX_POINTS);
  if (r->step < 0) r->step = 0;
  r->kind[r->nsteps] = STEP_END;
  r->saved_cursor_style = cursor_style;
  RunState run;
  run.backs_out = std::exchange(next_request_backs_out, false);
  run.outer = active_request;
  active_request = r;
  int result = INPUT_DONE;

  for (;;) {
    input_show_coordinates(active_request);
    if (r->step >= r->nsteps || result != INPUT_DONE) break;
    const unsigned kind = r->kind[r->step];
    prepare_step(r, kind, run.entry_put_away == r->step);
    input_cursor_toggle(r);
    cur_preview_fn = r->preview[r->step];
    input_cursor_toggle(r);
    ui().mainwin_set_prompt(r->prompt[r->step].c_str());

    // A posted "nop" (a wake-up) is no event here. The key is copied: the
    // buffer changes while it is handled.
    std::string key = "nop";
    while (key == "nop") key = cmd_wait_key();

    input_cursor_toggle(r);
    cur_preview_fn = nullptr;
    input_cursor_toggle(r);
    if (handle_key(r, key, run, &result) == Flow::RETURN) return result;
  }

  ui().mainwin_value_entry_close();
  input_cursor_toggle(r);
  cur_preview_fn = nullptr;
  input_toggle_all_markers(r);
  cursor_style = r->saved_cursor_style;
  input_cursor_toggle(r);
  active_request = run.outer;
  if (!r->transparent) shell_hooks().mainwin_release_f_button();
  if (result == INPUT_DONE) pending_command = "nop";
  return result;
}

void input_toggle_point_marker(InputRequest* r, int k) {
  if (!r || k < 0 || k >= INPUT_MAX_POINTS) return;
  const double x = r->x[k], y = r->y[k], z = r->z[k];
  const int arm = 10 - k;
  if (view_type == VIEW_PLAN) {
    const double ax = view_px_to_len_x(arm), ay = view_px_to_len_y(arm);
    draw_xor_line(x - ax, y, x + ax, y);
    draw_xor_line(x, y - ay, x, y + ay);
    if (r->snapped[k] == 1) {
      const double s = view_px_to_len_x(3);
      draw_xor_line(x - s, y - s, x + s, y - s);
      draw_xor_line(x + s, y - s, x + s, y + s);
      draw_xor_line(x + s, y + s, x - s, y + s);
      draw_xor_line(x - s, y + s, x - s, y - s);
    }
    return;
  }
  const double ax = view_px_to_len_x(arm), ay = view_px_to_len_y(arm);
  auto projected_line = [](double x1, double y1, double z1, double x2, double y2, double z2) {
    view_project(x1, y1, z1);
    const double u1 = geo_result.view_u, v1 = geo_result.view_v;
    view_project(x2, y2, z2);
    draw_xor_line(u1, v1, geo_result.view_u, geo_result.view_v);
  };
  projected_line(x - ax, y, z, x + ax, y, z);
  projected_line(x, y - ay, z, x, y + ay, z);
  projected_line(x, y, z - ay, x, y, z + ay);
}

void input_toggle_all_markers(InputRequest* r) {
  if (!r) return;
  const int n = std::clamp<int>(r->npoints, 0, INPUT_MAX_POINTS);
  for (int k = 0; k < n; ++k) input_toggle_point_marker(r, k);
}

void input_keep_offview_coordinate(InputRequest* r) {
  if (!r || !has_room(r)) return;
  const int n = r->npoints;
  auto from_previous = [&](double* c) { return n > 0 ? c[n - 1] : 0.0; };
  switch (view_type) {
    case VIEW_PLAN:
      r->z[n] = from_previous(r->z);
      break;
    case VIEW_FRONT:
    case VIEW_BACK:
      r->y[n] = from_previous(r->y);
      break;
    case VIEW_LEFT:
    case VIEW_RIGHT:
      r->x[n] = from_previous(r->x);
      break;
    default:
      break;
  }
}

void input_axis_key_label(const char* key, char* label) {
  label[0] = '\0';
  if (!key) return;
  const std::string k = key;
  const char* l = "";
  if (k == "z_cx") {
    l = "X+";
  } else if (k == "z_cy") {
    l = "Y+";
  } else if (k == "z_cz") {
    l = "Z+";
  } else if (k == "z_cup" || k == "z_cdown") {
    const bool up = k == "z_cup";
    if (view_type == VIEW_PLAN)
      l = up ? "Y+" : "Y-";
    else
      l = up ? "Z+" : "Z-";
  } else if (k == "z_cleft" || k == "z_cright") {
    const bool right = k == "z_cright";
    switch (view_type) {
      case VIEW_BACK:
        l = right ? "X-" : "X+";
        break;
      case VIEW_LEFT:
        l = right ? "Y-" : "Y+";
        break;
      case VIEW_RIGHT:
        l = right ? "Y+" : "Y-";
        break;
      default:
        l = right ? "X+" : "X-";
        break;
    }
  }
  std::strcpy(label, l);
}

InputRequest* input_normalize_corners(InputRequest* r) {
  if (!r) return r;
  if (r->x[0] > r->x[1]) std::swap(r->x[0], r->x[1]);
  if (r->y[0] > r->y[1]) std::swap(r->y[0], r->y[1]);
  return r;
}

void preview_tangent_snap(InputRequest*, double x, double y) {
  draw_xor_line(tangent_from.x, tangent_from.y, x, y);
}

void input_script_click(int button, double x, double y, bool world) {
  {
    CurrentView main_view(0);
    if (world) {
      pointer_pixel = {static_cast<double>(view_wx_to_sx(x)), static_cast<double>(view_wy_to_sy(y))};
      cursor_world = {x, y, 0};
    } else {
      pointer_pixel = {x, y};
      cursor_world = {view_sx_to_wx(static_cast<int>(x)), view_sy_to_wy(static_cast<int>(y)), 0};
    }
  }
  if (const char* key = button_key(button)) cmd_put_key(key);
  input_show_coordinates(active_request);
}

void input_script_value(const char* text) {
  ui().mainwin_value_entry_close();
  value_entry_take(text);
}

void input_install_script_targets() {
  ScriptTargets t = script_targets();
  t.click = input_script_click;
  t.value = input_script_value;
  script_targets_install(t);
}
