// Contours added to a picked room: a polygon or a rectangle, turned by the
// tool's add toggle into further area or a hole. The room is replaced by a
// new one with the longer contour list, as one undo step.

#include <vector>

#include "building/room_tools.h"
#include "display/draw.h"
#include "display/pick.h"
#include "display/poly_input.h"
#include "model/nls.h"
#include "model/settings.h"
#include "model/ui.h"
#include "model/undo.h"
#include "tools/tool_common.h"

namespace {

void show(RoomElem* r, uint8_t mark) {
  r->mark = mark;
  ToolCursorOff off;
  draw_element(DRAW_NORMAL, r);
}

// The contour of the next addition to r into poly_input; false when
// cancelled.
using ContourInput = bool (*)(RoomElem* r);

bool polygon_contour(RoomElem* r) {
  for (;;) {
    const int n = input_polygon();
    if (n == POLY_INPUT_CANCELLED) return false;
    if (n != 0) return true;
    // The input ends with the selection cleared: the room shows
    // highlighted again for the next try.
    show(r, 1);
  }
}

bool rectangle_contour(RoomElem*) { return input_rectangle() != POLY_INPUT_CANCELLED; }

// Replaces r by a copy with the contour list points, as one undo step.
void replace_points(RoomElem* r, std::vector<Point2> points) {
  RoomElem changed = *r;
  changed.mark = 0;
  changed.undo_mask = 0;
  changed.group = 0;
  changed.points = std::move(points);
  elem_append(changed);
  ElemHeader* added = elem_list_tail;
  ToolRepair repair;
  repair.add(r);
  {
    ToolCursorOff off;
    draw_element(DRAW_ERASE, r);
  }
  r->mark = 1;
  undo_record(UNDO_CHANGE, 0);
  undo_mark_element(added);
  elem_purge_marked();
  repair.add(added);
  repair.draw();
  ToolCursorOff off;
  draw_element(DRAW_NORMAL, added);
}

void run_add_tool(ContourInput input, int toggle) {
  for (;;) {
    RoomElem* r = pick_room();
    if (!r) return;
    const bool got = input(r);
    show(r, 0);
    if (!got) return;
    std::vector<Point2> contour = std::move(poly_input.points);
    poly_input_free();
    room_orient_contour(static_cast<int>(contour.size()), contour.data(), room_add_area[toggle] == 1);
    std::vector<Point2> joined = room_added_contour(*r, static_cast<int>(contour.size()), contour.data());
    if (joined.empty()) {
      ui().msgbox_error(nls_translate("To many points in polygon!"));
      continue;
    }
    replace_points(r, std::move(joined));
  }
}

}  // namespace

std::vector<Point2> room_added_contour(const RoomElem& r, int n, const Point2* contour) {
  std::vector<Point2> out;
  if (n < 0 || (n > 0 && !contour) || static_cast<long>(r.points.size()) + n > ROOM_MAX_POINTS) return out;
  out.reserve(r.points.size() + static_cast<std::size_t>(n));
  out = r.points;
  if (n > 0) out.insert(out.end(), contour, contour + n);
  for (Point2& p : out) p.mark = 0;
  return out;
}

void tool_room_add_poly() { run_add_tool(polygon_contour, 0); }

void tool_room_add_range() { run_add_tool(rectangle_contour, 1); }
