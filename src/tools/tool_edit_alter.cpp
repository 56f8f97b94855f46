// The current pen and line type given to the selection, or one of them.

#include "display/draw.h"
#include "display/select.h"
#include "model/elem.h"
#include "model/settings.h"
#include "model/undo.h"
#include "model/xform.h"
#include "tools/edit_tools.h"
#include "tools/tool_common.h"

namespace {

// -1 keeps the value.
void alter(int pen, int line_type) {
  if (select_elements(0) != 1) return;
  undo_record(UNDO_CHANGE, 0);
  // Off the screen first: a wider old pen or a dashed new line type would
  // leave old pixels beside or between the new ones.
  draw_selected(DRAW_ERASE);
  xform_set_pen_line_type(pen, line_type);
  select_clear(0);
}

}  // namespace

void tool_edit_alter_all() { alter(tool_pen(), cur_line_type); }
void tool_edit_alter_pen() { alter(tool_pen(), -1); }
void tool_edit_alter_line() { alter(-1, cur_line_type); }
