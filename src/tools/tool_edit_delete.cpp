// Deleting the selection.

#include "display/draw.h"
#include "display/select.h"
#include "model/elem.h"
#include "model/undo.h"
#include "tools/edit_tools.h"

void tool_edit_delete() {
  if (select_elements(0) != 1) return;
  undo_record(UNDO_DELETE, 0);
  draw_selected(DRAW_ERASE);
  elem_purge_marked();
}
