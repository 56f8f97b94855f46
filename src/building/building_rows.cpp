#include "building/building_rows.h"

#include "building/viewer_tools.h"
#include "building/wall_tools.h"

CmdRows building_rows() {
  return {
      {"b_wall_wall", tool_wall_wall},
      {"b_wall_axis", tool_wall_axis},
      {"b_wall_side", tool_wall_side},
      {"b_wall_angle", tool_wall_angle},
      {"b_wall_alter_height", tool_wall_alter_height},
      {"b_wall_connect", tool_wall_connect},
      {"b_wall_connect_all", tool_wall_connect_all},
      {"b_wall_separate", tool_wall_separate},
      {"b_wall_separate_all", tool_wall_separate_all},
      {"b_wall_erase", tool_wall_erase},
      {"b_wall_attach", tool_wall_attach},
      {"b_wall_extend", tool_wall_extend},
      {"b_wall_join", tool_wall_join},
      {"b_wall_attach_3D", tool_wall_attach_3d},
      {"b_3d_gl", tool_3d_gl},
  };
}
