#include "building/building_rows.h"

#include "building/hlr_tools.h"
#include "building/light_camera_tools.h"
#include "building/opening_tools.h"
#include "building/solid_tools.h"
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
      {"b_3d_line", tool_3d_line},
      {"b_3d_cuboid", tool_3d_cuboid},
      {"b_3d_polygon", tool_3d_polygon},
      {"b_3d_prism", tool_3d_prism},
      {"b_3d_tube", tool_3d_tube},
      {"b_3d_cone", tool_3d_cone},
      {"b_3d_cutcone", tool_3d_cutcone},
      {"b_3d_sphere", tool_3d_sphere},
      {"b_3d_material", tool_3d_material},
      {"b_3d_hlr", tool_3d_hlr},
      {"b_3d_light", tool_3d_light},
      {"b_3d_light_alter", tool_3d_light_alter},
      {"b_3d_camera", tool_3d_camera},
      {"b_3d_camera_change", tool_3d_camera_change},
      {"b_cam_up", tool_cam_up},
      {"b_cam_down", tool_cam_down},
      {"b_cam_left", tool_cam_left},
      {"b_cam_right", tool_cam_right},
      {"b_opening_opening", tool_opening_opening},
      {"b_opening_door", tool_opening_door},
      {"b_opening_window", tool_opening_window},
      {"b_opening_alter_opening", tool_opening_alter_opening},
      {"b_opening_alter_door", tool_opening_alter_door},
      {"b_opening_alter_window", tool_opening_alter_window},
      {"b_opening_alter_height", tool_opening_alter_height},
      {"b_opening_dissolve", tool_opening_dissolve},
      {"b_opening_remove", tool_opening_remove},
  };
}
