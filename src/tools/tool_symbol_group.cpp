// Grouping the selection under one new group number, and ungrouping.

#include "display/select.h"
#include "model/elem.h"
#include "model/layers.h"
#include "model/undo.h"
#include "tools/edit_tools.h"

void tool_symbol_group() {
  if (select_elements(0) != 1) return;
  undo_record(UNDO_CHANGE, 0);
  group_marked();
  drawing_modified = 1;
  select_clear(0);
}

void tool_symbol_ungroup() {
  while (select_elements(0) == 1) {
    undo_record(UNDO_CHANGE, 0);
    group_ungroup_marked();
    drawing_modified = 1;
    select_clear(0);
  }
}
