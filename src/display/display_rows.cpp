#include "display/command_rows.h"
#include "display/draw.h"
#include "display/font.h"
#include "display/view_commands.h"
#include "display/view_tools.h"

CmdRows display_rows() {
  return {
      {"p_file_import_truetype", cmd_p_file_import_truetype},
      {"b_gauge", [] { tool_gauge(); }},
      {"f_zoom", [] { view_zoom_window(); }},
      {"f_pan", [] { view_pan(); }},
      {"f_mamid", [] { view_zoom_center(); }},
      {"s_maplus", view_scale_step_up},
      {"s_maminus", view_scale_step_down},
      {"s_back", view_back},
      {"s_alles", [] { view_zoom_to_extents(0); }},
      {"s_komplett", view_default},
      {"z_plot", view_redraw},
      {"z_pap", view_redraw},
      {"z_def", view_remember},
      {"z_space", view_center_on_cursor},
      {"z_scrollup", view_scale_step_down},
      {"z_scrolldown", view_scale_step_up},
  };
}
