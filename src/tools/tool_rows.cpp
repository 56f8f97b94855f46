#include "tools/tool_rows.h"

#include "tools/dim_tools.h"
#include "tools/line_tools.h"
#include "tools/pattern_tools.h"

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
      {"b_dim_dim", [] { tool_dim_dim(0.0, 1); }},
      {"b_dim_x", [] { tool_dim_dim(0.0, 0); }},
      {"b_dim_y", [] { tool_dim_dim(HALF_PI, 0); }},
      {"b_dim_auto", tool_dim_auto},
      {"b_dim_plus", tool_dim_plus},
      {"b_dim_minus", tool_dim_minus},
      {"b_dim_height", tool_dim_height},
      {"b_dim_alter_value", tool_dim_alter_value},
      {"b_dim_original", tool_dim_original},
      {"b_dim_alter_move", tool_dim_alter_move},
      {"b_dim_alter_size", tool_dim_alter_size},
      {"b_dim_alter_style", tool_dim_alter_style},
      {"b_dim_r", tool_dim_r},
      {"b_dim_d", tool_dim_d},
      {"b_dim_a", tool_dim_a},
      {"b_dim_h", tool_dim_h},
      {"b_pattern_poly", tool_pattern_poly},
      {"b_pattern_range", tool_pattern_range},
      {"b_pattern_add_poly", tool_pattern_add_poly},
      {"b_pattern_add_range", tool_pattern_add_range},
      {"b_pattern_alter_origin", tool_pattern_alter_origin},
      {"b_pattern_alter_angle", tool_pattern_alter_angle},
      {"b_pattern_alter_space", tool_pattern_alter_space},
      {"b_pattern_alter_pattern", tool_pattern_alter_pattern},
      {"b_pattern_alter_pattern_b", tool_pattern_alter_pattern_b},
      {"b_pattern_alter_pattern_a", tool_pattern_alter_pattern_a},
      {"b_pattern_dissolve", tool_pattern_dissolve},
  };
}
