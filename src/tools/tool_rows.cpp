#include "tools/tool_rows.h"

#include "tools/edit_tools.h"
#include "tools/line_tools.h"

CmdRows tool_rows() {
  return {
      {"b_line_line", tool_line_line},
      {"b_line_x", tool_line_x},
      {"b_line_y", tool_line_y},
      {"b_line_a", tool_line_a},
      {"b_line_frame", tool_line_frame},
      {"b_line_oframe", tool_line_oframe},
      {"b_line_parallel", tool_line_parallel},
      {"b_line_pparallel", tool_line_pparallel},
      {"b_line_orthogonal", tool_line_orthogonal},
      {"b_line_polygon", tool_line_polygon},
      {"b_edit_delete", tool_edit_delete},
      {"b_edit_move", tool_edit_move},
      {"b_edit_copy", tool_edit_copy},
      {"b_edit_mcopy", tool_edit_mcopy},
      {"b_edit_series", tool_edit_series},
      {"b_edit_rotate", tool_edit_rotate},
      {"b_edit_pseries", tool_edit_pseries},
      {"b_edit_mirror", tool_edit_mirror},
      {"b_edit_stretch", [] { tool_edit_stretch(0); }},
      {"b_edit_stretch_text", [] { tool_edit_stretch(1); }},
      {"b_edit_alter_all", tool_edit_alter_all},
      {"b_edit_alter_pen", tool_edit_alter_pen},
      {"b_edit_alter_line", tool_edit_alter_line},
      {"b_symbol_group", tool_symbol_group},
      {"b_symbol_ungroup", tool_symbol_ungroup},
      {"b_symbol_save", [] { tool_symbol_save(0); }},
      {"b_symbol_copy", [] { tool_symbol_save(1); }},
      {"p_symbol_copy", [] { tool_symbol_save(1); }},
      {"b_symbol_cut", [] { tool_symbol_save(2); }},
      {"p_symbol_cut", [] { tool_symbol_save(2); }},
      {"b_symbol_load", [] { symbol_load(0); }},
      {"b_symbol_paste", [] { symbol_load(1); }},
      {"p_symbol_paste", [] { symbol_load(1); }},
      {"b_symbol_remove", tool_symbol_remove},
      {"b_symbol_library_new", tool_symbol_library_new},
      {"b_symbol_library_remove", tool_symbol_library_remove},
  };
}
