#include "tools/tool_rows.h"

#include "tools/curve_tools.h"
#include "tools/line_tools.h"
#include "tools/text_tools.h"

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
      {"b_circle_circle", tool_circle_circle},
      {"b_circle_arc", tool_circle_arc},
      {"b_circle_3point", tool_circle_3point},
      {"b_circle_arc3point", tool_circle_arc3point},
      {"b_circle_ellipse", tool_circle_ellipse},
      {"b_circle_ellipsefame", tool_circle_ellipsefame},
      {"b_circle_parallel", tool_circle_parallel},
      {"b_circle_pparallel", tool_circle_pparallel},
      {"b_circle_spline", tool_circle_spline},
      {"b_circle_splinedissolve", tool_circle_splinedissolve},
      {"b_text_text", tool_text_text},
      {"b_text_x", tool_text_x},
      {"b_text_y", tool_text_y},
      {"b_text_alter_content", tool_text_alter_content},
      {"b_text_alter_style", tool_text_alter_style},
      {"b_text_alter_format", tool_text_alter_format},
      {"b_text_alter_size", tool_text_alter_size},
  };
}
