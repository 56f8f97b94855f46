// Changes of picked or selected patterns: origin, angle, spacing, the
// current pattern settings, and the current fill colour for every fill of
// one colour. Each change is one undo step.

#include <cmath>

#include "display/draw.h"
#include "display/input.h"
#include "display/pick.h"
#include "display/select.h"
#include "model/geom.h"
#include "model/layers.h"
#include "model/nls.h"
#include "model/presets.h"
#include "model/ui.h"
#include "model/undo.h"
#include "tools/pattern_tools.h"
#include "tools/tool_common.h"

namespace {

void draw(PatternElem* p, int mode) {
  ToolCursorOff off;
  draw_element(static_cast<uint8_t>(mode), p);
}

// The undo step of the marked elements, then the change of each marked
// pattern between its erasing and its drawing, unmarked.
template <class Change>
void change_marked(Change change) {
  undo_record(UNDO_CHANGE, 0);
  ToolCursorOff off;
  ElemHeader* it = nullptr;
  for (ElemHeader* e = elem_first(&it); e; e = elem_next(&it)) {
    auto* p = elem_as<PatternElem>(e);
    if (!p || p->mark != 1) continue;
    draw_element(DRAW_ERASE, p);
    change(*p);
    p->mark = 0;
    draw_element(DRAW_NORMAL, p);
  }
  elem_touch();
  drawing_modified = 1;
}

// Picks patterns until cancelled; ask runs the tool's request for the
// picked pattern and returns whether it was done, change then changes it.
template <class Ask, class Change>
void run_alter_tool(Ask ask, Change change) {
  InputRequest r;
  for (;;) {
    PatternElem* p = pick_pattern();
    if (!p) return;
    if (!ask(r)) {
      p->mark = 0;
      draw(p, DRAW_NORMAL);
      return;
    }
    change_marked([&](PatternElem& q) { change(q, r); });
  }
}

}  // namespace

void pattern_set_origin(PatternElem& p, Point2 o) {
  p.origin = Point2{o.x, o.y, 0};
  p.offset = geom_eq(p.angle1, p.angle2) ? pattern_offset_for(p.origin, p.angle2, p.spacing2) : p.origin;
}

void pattern_set_angle(PatternElem& p, double a) {
  p.angle2 = p.angle2 - p.angle1 + a;
  p.angle1 = a;
}

void pattern_set_spacing(PatternElem& p, double s) {
  const double ratio = p.spacing1 == 0.0 ? 1.0 : p.spacing2 / p.spacing1;
  p.spacing1 = s;
  p.spacing2 = s * ratio;
  p.offset = pattern_offset_for(p.origin, p.angle2, p.spacing2);
}

void pattern_take_preset(PatternElem& p) {
  const PatternPreset& s = pattern_preset;
  p.r = s.r;
  p.g = s.g;
  p.b = s.b;
  p.type = static_cast<uint8_t>(s.type);
  p.angle1 = s.angle1;
  p.angle2 = s.angle2;
  p.spacing1 = s.spacing1;
  p.spacing2 = s.spacing2;
  p.pen = static_cast<uint8_t>(s.pen1);
  p.line_type = static_cast<uint8_t>(s.line_type1);
  p.pen2 = static_cast<uint8_t>(s.pen2);
  p.line_type2 = static_cast<uint8_t>(s.line_type2);
}

void tool_pattern_alter_origin() {
  run_alter_tool(
      [](InputRequest& r) {
        return tool_ask(r, {{STEP_POINT, nls_mark("Origin:")}, {STEP_CONFIRM, nls_mark("Move/Confirm:")}}) ==
               INPUT_DONE;
      },
      [](PatternElem& p, const InputRequest& r) {
        pattern_set_origin(p, Point2{r.x[0], r.y[0], 0});
      });
}

void tool_pattern_alter_angle() {
  run_alter_tool(
      [](InputRequest& r) {
        return tool_ask(r, {{STEP_ANGLE, nls_mark("Angle:")}}) == INPUT_DONE;
      },
      [](PatternElem& p, const InputRequest& r) { pattern_set_angle(p, r.angle); });
}

void tool_pattern_alter_space() {
  run_alter_tool(
      [](InputRequest& r) {
        for (;;) {
          if (tool_ask(r, {{STEP_LENGTH, nls_mark("Space:")}}) != INPUT_DONE) return false;
          // Hatch lines need a distance between them to be drawn at all.
          if (std::isfinite(r.length) && r.length > 0.0) return true;
          ui().msgbox_error(nls_translate("The spacing must be greater than zero!"));
        }
      },
      [](PatternElem& p, const InputRequest& r) { pattern_set_spacing(p, r.length); });
}

void tool_pattern_alter_pattern() {
  run_alter_tool([](InputRequest&) { return true; },
                 [](PatternElem& p, const InputRequest&) { pattern_take_preset(p); });
}

void tool_pattern_alter_pattern_b() {
  if (select_elements(0) != 1) return;
  change_marked([](PatternElem& p) { pattern_take_preset(p); });
  select_clear(0);
}

void tool_pattern_alter_pattern_a() {
  for (;;) {
    PatternElem* picked = pick_pattern();
    if (!picked) return;
    if (picked->type == PATTERN_FILLING) {
      ElemHeader* it = nullptr;
      for (ElemHeader* e = elem_first(&it); e; e = elem_next(&it)) {
        auto* p = elem_as<PatternElem>(e);
        if (p && p->layer == cur_layer && p->type == PATTERN_FILLING && p->r == picked->r &&
            p->g == picked->g && p->b == picked->b)
          p->mark = 1;
      }
    }
    change_marked([](PatternElem& p) {
      p.r = pattern_preset.r;
      p.g = pattern_preset.g;
      p.b = pattern_preset.b;
    });
  }
}
