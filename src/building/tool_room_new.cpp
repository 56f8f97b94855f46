// New rooms from a polygon or a rectangle, each one undo step, followed by
// the questions for its inscription.

#include <vector>

#include "building/room_tools.h"
#include "display/draw.h"
#include "display/input.h"
#include "display/key_state.h"
#include "display/poly_input.h"
#include "display/view.h"
#include "model/geom.h"
#include "model/layers.h"
#include "model/nls.h"
#include "model/presets.h"
#include "model/settings.h"
#include "model/undo.h"
#include "tools/tool_common.h"

namespace {

// Redraws r after change has altered it, erasing it first: the elements
// its old and new drawing cross are drawn again.
template <class Change>
void redraw_changed(RoomElem* r, Change change) {
  ToolRepair repair;
  repair.add(r);
  {
    ToolCursorOff off;
    draw_element(DRAW_ERASE, r);
  }
  change();
  elem_touch(r);
  drawing_modified = 1;
  repair.add(r);
  repair.draw();
  ToolCursorOff off;
  draw_element(DRAW_NORMAL, r);
}

void unmark(RoomElem* r) {
  r->mark = 0;
  ToolCursorOff off;
  draw_element(DRAW_NORMAL, r);
}

// Appends the room of the contour, records it, shows it marked and asks
// for its texts.
void make(int n, const Point2* contour) {
  elem_append(room_from_preset(n, contour));
  undo_record(UNDO_CREATED, 1);
  auto* r = static_cast<RoomElem*>(elem_list_tail);
  r->mark = 1;
  {
    ToolCursorOff off;
    draw_element(DRAW_NORMAL, r);
  }
  room_ask_texts(r);
}

void preview_room_range(InputRequest* r, double x, double y) { draw_xor_rect(r->x[0], r->y[0], x, y); }
void preview_room_range_confirm(InputRequest* r, double, double) {
  draw_xor_rect(r->x[0], r->y[0], r->x[1], r->y[1]);
}

}  // namespace

bool room_ask_label_point(InputRequest& q) {
  return tool_ask(q, {{STEP_POINT, nls_mark("Text start point:")},
                      {STEP_CONFIRM, nls_mark("Move/Confirm:")}}) == INPUT_DONE;
}

bool room_ask_text(InputRequest& q, const char* prompt, std::string_view current) {
  input_text = current;
  return tool_ask(q, {{STEP_TEXT, prompt}}) == INPUT_DONE;
}

void room_orient_contour(int n, Point2* contour, bool ccw) {
  if (n <= 0 || !contour) return;
  const int corners = geom_is_end_marker(contour[n - 1].x, contour[n - 1].y) ? n - 1 : n;
  const double area = geom_polygon_area(corners, contour);
  if ((ccw && area < 0.0) || (!ccw && area > 0.0)) geom_reverse_polygon(n, contour);
}

RoomElem room_from_preset(int n, const Point2* contour) {
  const RoomPreset& s = room_preset;
  RoomElem r;
  r.layer = static_cast<uint16_t>(cur_layer);
  r.pen = static_cast<uint8_t>(elem_pen_or_guide(static_cast<unsigned>(s.pen)));
  r.line_type = static_cast<uint8_t>(s.line_type);
  if (contour && n > 0) r.points.assign(contour, contour + n);
  for (Point2& p : r.points) p.mark = 0;
  room_orient_contour(static_cast<int>(r.points.size()), r.points.data(), true);
  if (!r.points.empty()) r.label = r.points.front();
  r.font = text_preset.font.view();
  r.angle = 0.0;
  r.height = text_size;
  r.width_factor = text_preset.width;
  r.spacing = text_preset.spacing;
  r.line_spacing = text_preset.line_spacing;
  r.area_factor = s.factor;
  r.base_z = s.base;
  r.top_z = s.base + s.height;
  r.show_area = static_cast<uint8_t>(s.show_area);
  r.show_volume = static_cast<uint8_t>(s.show_volume);
  r.show_description = static_cast<uint8_t>(s.show_description);
  r.show_number = static_cast<uint8_t>(s.show_number);
  return r;
}

void room_ask_texts(RoomElem* r) {
  if (!r) return;
  InputRequest q;
  const bool any =
      r->show_area == 1 || r->show_volume == 1 || r->show_description == 1 || r->show_number == 1;
  if (any) {
    if (!room_ask_label_point(q)) {
      unmark(r);
      return;
    }
    redraw_changed(r, [&] { r->label = Point2{q.x[0], q.y[0], 0}; });
  }
  // A cancelled description keeps the old one and goes on to the number;
  // another tool's key ends the questions, so that it runs next.
  if (r->show_description == 1) {
    if (room_ask_text(q, nls_mark("Room description:"), r->description.view()))
      redraw_changed(r, [&] { r->description = q.text.view(); });
    else if (tool_command_waits()) {
      unmark(r);
      return;
    }
  }
  if (r->show_number == 1 && room_ask_text(q, nls_mark("Room number:"), r->number.view()))
    redraw_changed(r, [&] { r->number = q.text.view(); });
  unmark(r);
}

void tool_room_poly() {
  for (;;) {
    const int n = input_polygon();
    if (n == POLY_INPUT_CANCELLED) return;
    if (n == 0) continue;
    std::vector<Point2> contour = std::move(poly_input.points);
    poly_input_free();
    make(static_cast<int>(contour.size()), contour.data());
    if (tool_command_waits()) return;
  }
}

void tool_room_range() {
  InputRequest r;
  for (;;) {
    if (tool_ask(r, {{STEP_POINT, nls_mark("1st Corner point:")},
                     {STEP_NEXT_POINT, nls_mark("Move/2nd Corner point:"), preview_room_range},
                     {STEP_CONFIRM, nls_mark("Move/Confirm:"), preview_room_range_confirm}}) != INPUT_DONE)
      return;
    // The corners as entered: the label goes on the first corner of the
    // counter-clockwise list.
    const Point2 contour[5] = {
        {r.x[0], r.y[0], 0}, {r.x[1], r.y[0], 0}, {r.x[1], r.y[1], 0}, {r.x[0], r.y[1], 0}, CONTOUR_END};
    make(5, contour);
    if (tool_command_waits()) return;
  }
}
