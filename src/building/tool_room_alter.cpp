// Changes of a picked room: its inscription position, description, number,
// factor, inscription switches and levels, each one undo step. A cancelled
// question leaves the room as it was and ends the tool.

#include <functional>

#include "building/room_tools.h"
#include "display/draw.h"
#include "display/input.h"
#include "display/pick.h"
#include "model/nls.h"
#include "model/presets.h"
#include "model/undo.h"
#include "tools/tool_common.h"

namespace {

// Asks what the change needs of the picked, marked room r and fills change;
// false when a question was cancelled.
using Ask = std::function<bool(RoomElem& r, std::function<void(RoomElem&)>& change)>;

void run_alter_tool(const Ask& ask) {
  for (;;) {
    RoomElem* r = pick_room();
    if (!r) return;
    std::function<void(RoomElem&)> change;
    if (!ask(*r, change)) {
      r->mark = 0;
      ToolCursorOff off;
      draw_element(DRAW_NORMAL, r);
      return;
    }
    undo_record(UNDO_CHANGE, 0);
    ToolRepair repair;
    repair.add(r);
    {
      ToolCursorOff off;
      draw_element(DRAW_ERASE, r);
    }
    change(*r);
    elem_touch(r);
    drawing_modified = 1;
    r->mark = 0;
    repair.add(r);
    repair.draw();
    ToolCursorOff off;
    draw_element(DRAW_NORMAL, r);
  }
}

}  // namespace

void tool_room_position() {
  InputRequest q;
  run_alter_tool([&q](RoomElem&, std::function<void(RoomElem&)>& change) {
    if (!room_ask_label_point(q)) return false;
    const Point2 at{q.x[0], q.y[0], 0};
    change = [at](RoomElem& r) { r.label = at; };
    return true;
  });
}

void tool_room_alter_description() {
  InputRequest q;
  run_alter_tool([&q](RoomElem& room, std::function<void(RoomElem&)>& change) {
    if (!room_ask_text(q, nls_mark("Room description:"), room.description.view())) return false;
    change = [&q](RoomElem& r) { r.description = q.text.view(); };
    return true;
  });
}

void tool_room_alter_number() {
  InputRequest q;
  run_alter_tool([&q](RoomElem& room, std::function<void(RoomElem&)>& change) {
    if (!room_ask_text(q, nls_mark("Room number:"), room.number.view())) return false;
    change = [&q](RoomElem& r) { r.number = q.text.view(); };
    return true;
  });
}

void tool_room_alter_factor() {
  InputRequest q;
  run_alter_tool([&q](RoomElem&, std::function<void(RoomElem&)>& change) {
    if (tool_ask(q, {{STEP_NUMBER, nls_mark("Factor:")}}) != INPUT_DONE) return false;
    const double factor = q.length;
    change = [factor](RoomElem& r) { r.area_factor = factor; };
    return true;
  });
}

void tool_room_alter_inscription() {
  run_alter_tool([](RoomElem&, std::function<void(RoomElem&)>& change) {
    change = [](RoomElem& r) {
      r.show_area = static_cast<uint8_t>(room_preset.show_area);
      r.show_volume = static_cast<uint8_t>(room_preset.show_volume);
      r.show_description = static_cast<uint8_t>(room_preset.show_description);
      r.show_number = static_cast<uint8_t>(room_preset.show_number);
    };
    return true;
  });
}

void tool_room_alter_height() {
  InputRequest q;
  run_alter_tool([&q](RoomElem&, std::function<void(RoomElem&)>& change) {
    if (tool_ask(q, {{STEP_LENGTH, nls_mark("Base:")}}) != INPUT_DONE) return false;
    const double base = q.length;
    if (tool_ask(q, {{STEP_LENGTH, nls_mark("Height:")}}) != INPUT_DONE) return false;
    const double height = q.length;
    change = [base, height](RoomElem& r) {
      r.base_z = base;
      r.top_z = base + height;
    };
    return true;
  });
}
