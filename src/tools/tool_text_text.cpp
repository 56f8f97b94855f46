// Placing texts: at a start point (fitted to an end point when justified),
// typed line by line in the prompt line or written in the separate editor.

#include <optional>

#include "display/draw.h"
#include "display/key_state.h"
#include "model/geom.h"
#include "model/layers.h"
#include "model/nls.h"
#include "model/settings.h"
#include "model/undo.h"
#include "tools/text_tools.h"
#include "tools/tool_common.h"

namespace {

// The text preset's toggles of the separate editor, by key.
enum { EDITOR_TEXT = 0, EDITOR_X = 1, EDITOR_Y = 2 };

// The direction of a run: asked when ask is nonzero. Nothing when that
// request was cancelled, or when no text can be made at all.
std::optional<double> run_angle(InputRequest& r, double angle, int ask) {
  if (!text_height_ok(text_size)) return std::nullopt;
  if (!ask) return angle;
  return tool_ask_direction(r);
}

// Asks for the start point (and the end point of a justified text) and
// gives the parameters of the first line there: the current settings, or,
// on the insertion point of a text of the current layer, that text's style
// one line step below it. Nothing when the request ends otherwise.
std::optional<TextParams> ask_start(InputRequest& r, double angle) {
  const bool justified = text_format == TEXT_JUSTIFIED;
  const int res =
      justified
          ? tool_ask(r, {{STEP_POINT, nls_mark("Start point:")},
                         {STEP_NEXT_POINT, nls_mark("Move/End point:")},
                         {STEP_CONFIRM, nls_mark("Move/Confirm:")}})
          : tool_ask(r, {{STEP_POINT, nls_mark("Start point:")}, {STEP_CONFIRM, nls_mark("Move/Confirm:")}});
  if (res != INPUT_DONE) return std::nullopt;
  if (const TextElem* ref = text_continued(r.x[0], r.y[0])) {
    TextParams p = text_params_of(*ref);
    p.layer = cur_layer;
    p.group = 0;
    const Point2 step = text_line_step(p.angle, p.height, p.line_spacing);
    p.x += step.x;
    p.y += step.y;
    return p;
  }
  const double fit = justified ? geom_dist(r.x[0], r.y[0], r.x[1], r.y[1]) : 0.0;
  return text_params_current(r.x[0], r.y[0], angle, fit);
}

void place(double angle, int ask, int toggle) {
  if (text_use_editor[toggle])
    text_place_in_editor(angle, ask);
  else
    text_place_prompted(angle, ask);
}

}  // namespace

void text_place_prompted(double angle, int ask) {
  InputRequest r;
  const std::optional<double> a = run_angle(r, angle, ask);
  if (!a) return;
  for (;;) {
    std::optional<TextParams> p = ask_start(r, *a);
    if (!p) return;
    for (;;) {
      input_text = "";
      if (tool_ask(r, {{STEP_TEXT, nls_mark("Text:")}}) != INPUT_DONE) return;
      // An empty line asks for a new start point.
      if (r.text.view().empty()) break;
      ElemHeader* e = text_make(*p, r.text.view());
      undo_record(UNDO_CREATED, 1);
      {
        ToolCursorOff off;
        draw_element(DRAW_NORMAL, e);
      }
      const Point2 step = text_line_step(p->angle, p->height, p->line_spacing);
      p->x += step.x;
      p->y += step.y;
    }
  }
}

void text_place_in_editor(double angle, int ask) {
  InputRequest r;
  const std::optional<double> a = run_angle(r, angle, ask);
  if (!a) return;
  for (;;) {
    const std::optional<TextParams> p = ask_start(r, *a);
    if (!p) return;
    text_stage_placement(*p);
  }
}

void tool_text_text() { place(0.0, 1, EDITOR_TEXT); }
void tool_text_x() { place(0.0, 0, EDITOR_X); }
void tool_text_y() { place(HALF_PI, 0, EDITOR_Y); }
