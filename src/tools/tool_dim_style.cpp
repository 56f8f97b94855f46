// The figure size and the current dimension style onto the selected
// dimensions; one undo step per selection.

#include <cmath>

#include "display/draw.h"
#include "display/input.h"
#include "display/key_state.h"
#include "display/select.h"
#include "model/nls.h"
#include "model/presets.h"
#include "model/undo.h"
#include "model/units.h"
#include "tools/dim_tools.h"
#include "tools/tool_common.h"

namespace {

// Calls f with every marked dimension, erased first.
template <class F>
void for_marked_dims(F f) {
  ToolCursorOff off;
  ElemHeader* it = nullptr;
  for (ElemHeader* e = elem_first(&it); e; e = elem_next(&it)) {
    auto* d = elem_as<DimElem>(e);
    if (!d || d->mark != 1) continue;
    draw_element(DRAW_ERASE, d);
    f(*d);
  }
  drawing_modified = 1;
}

}  // namespace

void tool_dim_alter_size() {
  if (select_elements(0) != 1) return;
  // Recorded before the size is asked, as the step of this selection.
  undo_record(UNDO_CHANGE, 0);
  InputRequest r;
  input_text = "";
  const int res = tool_ask(r, {{STEP_TEXT, nls_mark("Size:")}});
  const double size = res == INPUT_DONE ? units_parse_size(r.text.view()) : 0.0;
  // A size of nothing (or a text that is no size) would leave figures
  // nobody can see or pick: the dimensions stay as they are.
  if (std::isfinite(size) && size > 0.0) for_marked_dims([size](DimElem& d) { d.figure_size = size; });
  select_clear(0);
}

void tool_dim_alter_style() {
  if (select_elements(0) != 1) return;
  undo_record(UNDO_CHANGE, 0);
  for_marked_dims([](DimElem& d) {
    const DimPreset& s = dim_preset;
    d.font = s.font.view();
    d.figure_width = s.figure_width;
    d.figure_space = s.figure_space;
    d.figure_pen = static_cast<uint8_t>(s.figure_pen);
    d.figure_line_type = static_cast<uint8_t>(s.figure_line_type);
    d.chain_space = s.chain_space;
    d.format = static_cast<uint8_t>(s.display_format);
    d.end_mark = static_cast<uint8_t>(s.end_mark);
    d.help_line_length = s.help_line_length;
  });
  select_clear(0);
}
