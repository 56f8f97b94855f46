// A chain dimension point by point: a direction (asked, or held horizontal
// or vertical), the position of the dimension line, then measuring points
// until the request ends. The chain shows highlighted while it grows and is
// one undo step when it is done.

#include <vector>

#include "display/draw.h"
#include "display/input.h"
#include "model/nls.h"
#include "model/presets.h"
#include "model/settings.h"
#include "model/undo.h"
#include "model/xform.h"
#include "tools/dim_tools.h"
#include "tools/tool_common.h"

int tool_dim_dim(double angle, int ask) {
  InputRequest r;
  if (ask && dim_ask_direction(r, angle) == INPUT_CANCEL) return INPUT_CANCEL;
  // The font is taken once; the rest of the style at every rebuild, so that
  // a change in the dimension dialog shows on the growing chain.
  const FixedText<FONT_NAME_LEN> font = dim_preset.font;
  int res = tool_ask(
      r, {{STEP_POINT, nls_mark("Position of dimension:")}, {STEP_CONFIRM, nls_mark("Move/Confirm:")}});
  if (res != INPUT_DONE) return res;
  const Point2 p{r.x[0], r.y[0], 0};
  const Point2 q = dim_line_second_point(p, angle);

  std::vector<DimPoint> work;
  work.reserve(DIM_WORK_POINTS);
  // Held by address: the separate text editor may append a text while the
  // tool waits, so the chain need not stay the last element.
  DimElem* chain = nullptr;
  for (;;) {
    res =
        tool_ask(r, {{STEP_POINT, nls_mark("Measuring point:")}, {STEP_CONFIRM, nls_mark("Move/Confirm:")}});
    if (res != INPUT_DONE) break;
    if (static_cast<int>(work.size()) >= DIM_MAX_POINTS) continue;
    work.push_back(dim_chain_entry(p, q, Point2{r.x[0], r.y[0], 0}, dim_settings.link));
    if (work.size() >= 2) {
      const int n = elem_dim_sort_chain_points(p.x, p.y, q.x, q.y, static_cast<int>(work.size()), work.data(),
                                               DIM_CHAIN);
      work.resize(static_cast<std::size_t>(n));
    }
    ToolCursorOff off;
    if (chain) {
      draw_element(DRAW_ERASE, chain);
      dim_remove(chain);
    }
    chain =
        dim_new_from_preset(DIM_CHAIN, angle, static_cast<int>(work.size()), work.data(), font.view(), false);
    chain->mark = 1;
    draw_element(DRAW_NORMAL, chain);
  }
  if (!chain) return res;
  chain->mark = 0;
  {
    ToolCursorOff off;
    draw_element(DRAW_NORMAL, chain);
  }
  // The undo step takes the last element: make sure that is the chain.
  if (elem_list_tail != chain) {
    elem_unlink(chain);
    elem_link_tail(chain);
  }
  undo_record(UNDO_CREATED, 1);
  return 0;
}
