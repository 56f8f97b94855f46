#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "display/input.h"
#include "display/snap.h"
#include "display/snap_grid.h"
#include "display/view.h"
#include "model/elem.h"
#include "model/geom.h"
#include "model/layers.h"
#include "model/settings.h"
#include "model/ui.h"
#include "model/units.h"
#include "model/view_rec.h"

uint8_t cursor_style = CURSOR_POINT;
CursorPos cursor_pos;
InputPreviewFn cur_preview_fn = nullptr;
int hover_code = 0;
int hover_found_code = 0;
CursorPos hover_scan_pos;
bool hover_busy = false;

namespace {

// Of a tick's budget, what building the grid may take: the last slice
// runs a little past its deadline, and the rest of the tick needs time too.
constexpr int64_t HOVER_BUILD_US = HOVER_TICK_BUDGET_US - 250;

constexpr int CROSS_ARM = 20;
constexpr int PICK_ARM = 10;
constexpr int SIGN_ARM = 4;

// The scan runs until every element that can hold a sign at the position
// is tested; it starts again when the cursor moves or the list changes.
// In the plan view those elements are the ones the grid of element boxes
// finds in the pick box; in the other views the whole list is walked.
bool hover_scanning = false;
uint32_t hover_generation = 0;
const ElemHeader* hover_tail = nullptr;
// Where the walk goes on at the next tick; valid while hover_generation is
// the list's generation (every unlink and free changes it).
const ElemHeader* hover_scan_elem = nullptr;
// The elements of the pick box once the grid found them, and the next to test.
bool hover_found = false;
std::vector<const ElemHeader*> hover_candidates;
std::size_t hover_next = 0;

// Inverting figures given in whole pixels of view 0, drawn through the
// world coordinates of the view.
void xor_line(int x1, int y1, int x2, int y2) {
  draw_xor_line(view_sx_to_wx(x1), view_sy_to_wy(y1), view_sx_to_wx(x2), view_sy_to_wy(y2));
}
void xor_rect(int x1, int y1, int x2, int y2) {
  draw_xor_rect(view_sx_to_wx(x1), view_sy_to_wy(y1), view_sx_to_wx(x2), view_sy_to_wy(y2));
}

void draw_hover_sign(int px, int py) {
  const int mx = px + snap_size + 8, my = py + snap_size + 2;
  xor_rect(mx - 1, my - 1, mx + 1, my + 1);
  switch (hover_code) {
    case HOVER_POINT:
      xor_line(mx, my + SIGN_ARM, mx, my - SIGN_ARM);
      xor_line(mx - SIGN_ARM, my, mx + SIGN_ARM, my);
      break;
    case HOVER_INTERSECTION:
      xor_line(mx - SIGN_ARM, my - SIGN_ARM, mx + SIGN_ARM, my + SIGN_ARM);
      xor_line(mx - SIGN_ARM, my + SIGN_ARM, mx + SIGN_ARM, my - SIGN_ARM);
      break;
    case HOVER_MIDPOINT:
      xor_line(mx - SIGN_ARM, my + SIGN_ARM, mx + SIGN_ARM, my - SIGN_ARM);
      break;
    default:
      break;
  }
}

void draw_cursor(InputRequest* request) {
  const ViewRec& v = views[0];
  const double fx = cursor_pos.x, fy = cursor_pos.y;
  if (!(fx > v.left && fx < v.right && fy > v.top && fy < v.bottom)) return;
  const int px = static_cast<int>(fx), py = static_cast<int>(fy);
  const bool box = snap_on == 1 && cursor_style == CURSOR_POINT;
  if (cursor_style == CURSOR_RAW || (cursor_style == CURSOR_POINT && !box)) {
    xor_line(px - CROSS_ARM, py, px + CROSS_ARM, py);
    xor_line(px, py - CROSS_ARM, px, py + CROSS_ARM);
  } else if (cursor_style == CURSOR_PICK) {
    xor_line(px - PICK_ARM, py - PICK_ARM, px + PICK_ARM, py + PICK_ARM);
    xor_line(px - PICK_ARM, py + PICK_ARM, px + PICK_ARM, py - PICK_ARM);
  }
  if (request && cur_preview_fn) cur_preview_fn(request, view_sx_to_wx(px), view_sy_to_wy(py));
  if (box) {
    const int s = snap_size;
    xor_rect(px - s, py - s, px + s, py + s);
    if (hover_code != HOVER_NONE) {
      xor_rect(px - s - 1, py - s - 1, px + s + 1, py + s + 1);
      draw_hover_sign(px, py);
    }
  }
}

// One coordinate field: its axis letter and value.
struct Field {
  char axis;
  double value;
};

void show_field(void (*set)(const char*), const Field& f) {
  const std::string text = std::string(1, f.axis) + ": " + units_format_length(f.value);
  set(text.c_str());
}

int64_t micros_since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start)
      .count();
}

void set_hover_code(int code) {
  if (hover_code == code) return;
  input_cursor_toggle(nullptr);
  hover_code = code;
  input_cursor_toggle(nullptr);
}

}  // namespace

void input_cursor_toggle(InputRequest* request) {
  // The cursor belongs to view 0 whatever view is being drawn.
  CurrentView main_view(0);
  draw_cursor(request);
}

void input_install_display_hooks() {
  display_hooks.cursor_toggle = [] { input_cursor_toggle(active_request); };
  display_hooks.request_markers_toggle = [] { input_toggle_all_markers(active_request); };
}

void input_refresh_coordinates(InputRequest* request) {
  double u, v;
  {
    CurrentView main_view(0);
    const int sx = static_cast<int>(pointer_pixel.x), sy = static_cast<int>(pointer_pixel.y);
    u = view_sx_to_wx(sx);
    v = view_sy_to_wy(sy);
  }
  pointer_world = {u, v, 0};

  const int n = request ? std::clamp<int>(request->npoints, 0, INPUT_MAX_POINTS) : 0;
  // The view's horizontal axis and its sign, and the vertical axis.
  char h = 'X', vert = 'Y';
  double hs = 1.0;
  switch (view_type) {
    case VIEW_FRONT:
      vert = 'Z';
      break;
    case VIEW_BACK:
      vert = 'Z';
      hs = -1.0;
      break;
    case VIEW_RIGHT:
      h = 'Y';
      vert = 'Z';
      break;
    case VIEW_LEFT:
      h = 'Y';
      vert = 'Z';
      hs = -1.0;
      break;
    default:
      break;
  }
  auto coord = [&](char axis, int k) {
    return axis == 'X' ? request->x[k] : axis == 'Y' ? request->y[k] : request->z[k];
  };
  Field a{h, hs * u}, b{vert, v};
  if (n == 1) {
    a.value -= coord(h, 0);
    b.value -= coord(vert, 0);
  } else if (n >= 2) {
    a.value = coord(h, n - 1) - coord(h, n - 2);
    b.value = coord(vert, n - 1) - coord(vert, n - 2);
  }
  show_field(ui().mainwin_set_coord_x, a);
  show_field(ui().mainwin_set_coord_y, b);
}

void input_show_coordinates(InputRequest* request) {
  input_refresh_coordinates(request);
  input_cursor_toggle(request);
  cursor_pos = {pointer_pixel.x, pointer_pixel.y};
  input_cursor_toggle(request);
}

bool input_hover_timer() {
  const auto start = std::chrono::steady_clock::now();
  if (snap_preview_on == 0) {
    // The sign goes with the toggles, or its pixels would stay behind.
    set_hover_code(HOVER_NONE);
    hover_scanning = false;
    return true;
  }
  if (hover_busy) return true;
  hover_busy = true;
  if (cursor_pos.x != hover_scan_pos.x || cursor_pos.y != hover_scan_pos.y ||
      hover_generation != elem_list_generation || hover_tail != elem_list_tail) {
    hover_scan_pos = cursor_pos;
    hover_generation = elem_list_generation;
    hover_tail = elem_list_tail;
    hover_scan_elem = elem_list_head;
    hover_found = false;
    hover_candidates.clear();
    hover_next = 0;
    hover_found_code = HOVER_NONE;
    hover_scanning = true;
    set_hover_code(HOVER_NONE);
  }
  // In the plan view the elements come from the grid of element boxes; a
  // grid being built (the first time on a large drawing) is built further
  // over as many ticks as that takes, before the scan goes on.
  const bool plan = view_type == VIEW_PLAN;
  const bool ready = !plan || elem_grid_prepare(static_cast<std::size_t>(std::max(snap_index_threshold, 0)),
                                                start + std::chrono::microseconds(HOVER_BUILD_US));
  if (hover_scanning && ready) {
    bool done = false;
    {
      CurrentView main_view(0);
      auto test = [](const ElemHeader* e) {
        if (!layer_visible(e->layer)) return;
        const int c = snap_hover_test(hover_scan_pos.x, hover_scan_pos.y, e);
        if (c != HOVER_NONE) hover_found_code = c;
      };
      if (plan) {
        if (!hover_found) {
          // The pick box as snap_hover_test sets it: whatever it catches at
          // the position lies in it, so only elements whose box meets it
          // can give a sign.
          const int sx = static_cast<int>(hover_scan_pos.x), sy = static_cast<int>(hover_scan_pos.y);
          snap_set_window(sx, sy, view_sx_to_wx(sx), view_sy_to_wy(sy));
          const SnapWindow w = snap_window;
          elem_grid_query(w.xmin, w.ymin, w.xmax, w.ymax,
                          static_cast<std::size_t>(std::max(snap_index_threshold, 0)), hover_candidates);
          hover_found = true;
        }
        while (hover_next < hover_candidates.size() && micros_since(start) < HOVER_TICK_BUDGET_US)
          test(hover_candidates[hover_next++]);
        done = hover_next == hover_candidates.size();
      } else {
        while (hover_scan_elem && micros_since(start) < HOVER_TICK_BUDGET_US) {
          const ElemHeader* e = hover_scan_elem;
          test(e);
          hover_scan_elem = e->next;
        }
        done = !hover_scan_elem;
      }
    }
    if (done) {
      hover_scanning = false;
      hover_scan_elem = nullptr;
      set_hover_code(hover_found_code);
    }
  }
  hover_busy = false;
  return true;
}

bool input_hover_scan_running() { return hover_scanning; }
