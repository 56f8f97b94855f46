// Connecting walls that meet: each wall loses the outline segment that lies
// on a side of the other, and its face is continued to the other wall's
// corners, so that the plan shows one outline around both.

#include <algorithm>
#include <memory>

#include "building/tool_wall_common.h"
#include "display/draw.h"
#include "model/geom.h"
#include "model/layers.h"
#include "model/nls.h"
#include "model/ui.h"
#include "model/undo.h"
#include "model/wall_index.h"
#include "tools/tool_common.h"

namespace {

// The walls of the current layer in list order.
std::vector<WallElem*> layer_walls() {
  std::vector<WallElem*> out;
  ElemHeader* it;
  for (ElemHeader* e = elem_first(&it); e; e = elem_next(&it))
    if (auto* w = elem_as<WallElem>(e); w && w->layer == cur_layer) out.push_back(w);
  return out;
}

// Records one change step holding every wall of the list.
void record_change(const std::vector<WallElem*>& ws) {
  for (WallElem* w : ws) w->mark = 1;
  undo_record(UNDO_CHANGE, 0);
  for (WallElem* w : ws) w->mark = 0;
}

}  // namespace

void wall_connect_to(WallElem* a, WallElem* b) {
  std::optional<std::vector<WallSegment>> segs = wall_connected_outline(*a, *b);
  if (!segs) return;
  draw_element(DRAW_ERASE, a);
  std::unique_ptr<ElemHeader> copy = a->clone();
  auto* n = static_cast<WallElem*>(copy.get());
  n->mark = 0;
  elem_clear_point_marks(n);
  n->segments = std::move(*segs);
  elem_adopt(std::move(copy));
  draw_last_element(DRAW_NORMAL);
  undo_mark_element(elem_list_tail);
  a->mark = 1;
}

void tool_wall_connect() {
  InputRequest r;
  for (;;) {
    WallElem* first = wall_pick_until(r, nls_mark("1st Wall:"), WallPickRule::ANY);
    if (!first) return;
    WallElem* second = nullptr;
    {
      ToolHighlight lit(first);
      second = wall_pick_until(r, nls_mark("2nd Wall:"), WallPickRule::ANY, first);
    }
    if (!second) return;
    record_change({first, second});
    WallTouchRepair repair;
    repair.add(*first);
    repair.add(*second);
    {
      ToolCursorOff off;
      // The second call sees the first wall's old record, which has the same corners.
      wall_connect_to(first, second);
      wall_connect_to(second, first);
    }
    elem_purge_marked();
    repair.draw_touching();
  }
}

void tool_wall_connect_all() {
  const std::vector<WallElem*> ws = layer_walls();
  // Each wall in turn is connected to every other wall of the same pen: first
  // to those after it in the list, then to those before it. Only the other
  // walls' corners count, so the turns can all work on the old records.
  // Walls that do not come within the connection's reach of each other
  // are never connected: each wall asks the grid for those near it, taken
  // in the same order.
  const std::size_t n = ws.size();
  const WallIndex index(ws);
  std::vector<std::vector<WallSegment>> outlines(n);
  for (std::size_t i = 0; i < n; ++i) {
    std::unique_ptr<ElemHeader> work = ws[i]->clone();
    auto* w = static_cast<WallElem*>(work.get());
    std::vector<std::size_t> near = index.near(*ws[i], 0.01);
    // After it in the list first, then from the list's start.
    std::stable_partition(near.begin(), near.end(), [i](std::size_t j) { return j > i; });
    for (std::size_t j : near) {
      if (j == i) continue;
      const WallElem& partner = *ws[j];
      if (partner.pen != w->pen) continue;
      if (std::optional<std::vector<WallSegment>> s = wall_connected_outline(*w, partner))
        w->segments = std::move(*s);
    }
    outlines[i] = std::move(w->segments);
  }
  bool changed = false;
  for (std::size_t i = 0; i < n && !changed; ++i) changed = !wall_same_outline(outlines[i], ws[i]->segments);
  if (!changed) {
    ui().msgbox_message(nls_translate("Message"), nls_translate(nls_mark("No walls to connect")));
    return;
  }
  record_change(ws);
  // The connected walls follow all other elements, in the order of their turns.
  for (std::size_t i = 0; i < n; ++i) {
    elem_append_copy(ws[i]);
    auto* w = static_cast<WallElem*>(elem_list_tail);
    w->mark = 0;
    w->segments = std::move(outlines[i]);
    elem_update_size(*w);
    undo_mark_element(w);
  }
  for (WallElem* w : ws) w->mark = 1;
  elem_purge_marked();
  view_redraw();
}
