#include "tools/tool_common.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "display/command_buffer.h"
#include "display/draw.h"
#include "display/input.h"
#include "display/snap.h"
#include "display/snap_grid.h"
#include "model/elem.h"
#include "model/geom.h"
#include "model/layers.h"
#include "model/nls.h"
#include "model/settings.h"

namespace {

bool is_utf8_continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0u) == 0x80u; }

}  // namespace

void tool_set_prompt(FixedText<INPUT_PROMPT_LEN>& field, const char* text) {
  std::string_view s = text ? text : "";
  if (s.size() > INPUT_PROMPT_LEN - 1) {
    std::size_t n = INPUT_PROMPT_LEN - 1;
    // Back off to the lead byte of the character the cut would split.
    while (n > 0 && is_utf8_continuation(s[n])) --n;
    s = s.substr(0, n);
  }
  field = s;
}

void tool_fill_request(InputRequest& r, std::initializer_list<ToolStep> steps) {
  r.transparent = 1;
  r.nsteps = 0;
  r.step = 0;
  r.npoints = 0;
  int k = 0;
  for (const ToolStep& s : steps) {
    if (k >= INPUT_MAX_STEPS) break;
    r.kind[k] = s.kind;
    tool_set_prompt(r.prompt[k], nls_translate(s.prompt));
    r.preview[k] = s.preview;
    ++k;
  }
  r.nsteps = static_cast<int16_t>(k);
}

int tool_ask(InputRequest& r, std::initializer_list<ToolStep> steps) {
  tool_fill_request(r, steps);
  return input_run_request(&r);
}

ToolCursorOff::ToolCursorOff(InputRequest* request) : request_(request) { input_cursor_toggle(request_); }

ToolCursorOff::~ToolCursorOff() { input_cursor_toggle(request_); }

int tool_pen() { return elem_pen_or_guide(static_cast<unsigned>(cur_pen)); }

ElemHeader* tool_new_line(int pen, double x1, double y1, double x2, double y2) {
  elem_new_line(cur_layer, pen, cur_line_type, x1, y1, x2, y2);
  return elem_list_tail;
}

ElemHeader* tool_pick_until(InputRequest& r, const char* prompt, ToolPicker picker) {
  for (;;) {
    if (tool_ask(r, {{STEP_PICK, prompt}}) != INPUT_DONE) return nullptr;
    if (ElemHeader* e = picker(r.x[0], r.y[0])) return e;
  }
}

namespace {

void highlight(ElemHeader* e, bool on) {
  if (!e) return;
  e->mark = on ? 1 : 0;
  ToolCursorOff off;
  draw_element(DRAW_NORMAL, e);
}

}  // namespace

ToolHighlight::ToolHighlight(ElemHeader* e) : e_(e) { highlight(e_, true); }

ToolHighlight::~ToolHighlight() { highlight(e_, false); }

std::optional<double> tool_ask_direction(InputRequest& r) {
  const int res = tool_ask(r, {{STEP_POINT_OR_ANGLE, nls_mark("Angle/1st Direction point:")},
                               {STEP_NEXT_POINT, nls_mark("Move/2nd Direction point:")},
                               {STEP_CONFIRM, nls_mark("Move/Confirm:")}});
  if (res == INPUT_VALUE) return r.angle;
  if (res == INPUT_DONE) return geom_angle(r.x[0], r.y[0], r.x[1], r.y[1]);
  return std::nullopt;
}

ToolGuideLine::ToolGuideLine(Point2 a, Point2 b, ElemHeader* source) : source_(source) {
  elem_new_line(cur_layer, PEN_GUIDE, 0, a.x, a.y, b.x, b.y);
  line_ = elem_list_tail;
  ToolCursorOff off;
  draw_element(DRAW_NORMAL, line_);
}

ToolGuideLine::~ToolGuideLine() {
  ToolRepair repair;
  repair.add(line_);
  {
    ToolCursorOff off;
    line_->mark = 0;
    draw_element(DRAW_ERASE, line_);
  }
  // Unlinked by itself: purging by mark would take any other marked element
  // along.
  elem_unlink(line_);
  elem_destroy(line_);
  if (source_) {
    ToolCursorOff off;
    draw_element(DRAW_NORMAL, source_);
  }
  repair.draw();
}

bool tool_command_waits() {
  return !cmd_pending_empty() && std::strcmp(pending_command.c_str(), "p_nop") != 0;
}

void ToolRepair::add(const ElemHeader* e) {
  PlanBox b;
  if (!e || !elem_plan_box(e, &b)) return;
  // A few pixels more, for the width of the pens.
  const double m = view_px_to_len_x(4);
  boxes_.push_back({b.xmin - m, b.ymin - m, b.xmax + m, b.ymax + m});
}

void ToolRepair::draw() const {
  if (boxes_.empty()) return;
  Box all = boxes_.front();
  for (const Box& b : boxes_) {
    all.xmin = std::min(all.xmin, b.xmin);
    all.ymin = std::min(all.ymin, b.ymin);
    all.xmax = std::max(all.xmax, b.xmax);
    all.ymax = std::max(all.ymax, b.ymax);
  }
  std::vector<const ElemHeader*> near;
  elem_grid_query(all.xmin, all.ymin, all.xmax, all.ymax,
                  static_cast<std::size_t>(std::max(snap_index_threshold, 0)), near);
  std::vector<ElemHeader*> shown;
  for (const ElemHeader* e : near) {
    const auto* p = elem_as<PatternElem>(e);
    if ((p && p->type == PATTERN_FILLING) || !layer_visible(e->layer)) continue;
    PlanBox b;
    if (!elem_plan_box(e, &b)) continue;
    for (const Box& k : boxes_) {
      if (b.xmin <= k.xmax && k.xmin <= b.xmax && b.ymin <= k.ymax && k.ymin <= b.ymax) {
        shown.push_back(const_cast<ElemHeader*>(e));
        break;
      }
    }
  }
  // Other layers lie under the current one.
  std::stable_partition(shown.begin(), shown.end(),
                        [](const ElemHeader* e) { return e->layer != cur_layer; });
  ToolCursorOff off;
  for (ElemHeader* e : shown) draw_element(DRAW_NORMAL, e);
}
