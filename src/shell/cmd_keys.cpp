#include "shell/cmd_keys.h"

#include <cstring>

namespace {

const char* const keys_p[] = {
    "p_path_special",
    "p_path_draw",
    "p_path_sym",
    "p_path_dxf",
    "p_path_export",
    "p_path_dia",
    "p_pov_out",
    "p_ray_out",
    "p_file_new",
    "p_file_info",
    "p_file_load",
    "p_file_save",
    "p_file_import_dgm",
    "p_file_import_3ds",
    "p_file_export_3ds",
    "p_file_import_gts",
    "p_file_export_gts",
    "p_file_import_truetype",
    "p_file_import_dxf",
    "p_file_export_dxf",
    "p_tools_remdup",
    "p_file_export_eps",
    "p_file_export_svg",
    "p_file_export_pdf",
    "p_file_export_lwo",
    "p_file_export_pov",
    "p_file_print",
    "p_file_plot",
    "p_file_quit",
    "p_symbol_cut",
    "p_symbol_copy",
    "p_symbol_paste",
    "p_undo",
    "p_redo",
    "p_glminus",
    "p_layerstate_delete",
    "p_layerstate_save",
    "p_layerfunc_up",
    "p_layerfunc_down",
    "p_layerfunc_delete",
};

const char* const keys_b[] = {
    "b_gauge",
    "b_line_line",
    "b_line_x",
    "b_line_y",
    "b_line_a",
    "b_line_parallel",
    "b_line_pparallel",
    "b_line_orthogonal",
    "b_line_frame",
    "b_line_oframe",
    "b_line_polygon",
    "b_line_join",
    "b_line_join_line",
    "b_line_join_arc",
    "b_line_attach",
    "b_line_extend",
    "b_line_erase",
    "b_line_dpart",
    "b_line_cut",
    "b_circle_circle",
    "b_circle_3point",
    "b_circle_arc",
    "b_circle_arc3point",
    "b_circle_parallel",
    "b_circle_pparallel",
    "b_circle_erase",
    "b_circle_dpart",
    "b_circle_extend",
    "b_circle_ellipse",
    "b_circle_ellipsefame",
    "b_circle_spline",
    "b_circle_splinedissolve",
    "b_edit_move",
    "b_edit_copy",
    "b_edit_mcopy",
    "b_edit_series",
    "b_edit_pseries",
    "b_edit_rotate",
    "b_edit_mirror",
    "b_edit_stretch",
    "b_edit_stretch_text",
    "b_edit_alter_all",
    "b_edit_alter_pen",
    "b_edit_alter_line",
    "b_edit_delete",
    "b_symbol_load",
    "b_symbol_save",
    "b_symbol_remove",
    "b_symbol_library_new",
    "b_symbol_library_remove",
    "b_symbol_group",
    "b_symbol_ungroup",
    "b_symbol_cut",
    "b_symbol_copy",
    "b_symbol_paste",
    "b_text_text",
    "b_text_x",
    "b_text_y",
    "b_text_alter_content",
    "b_text_alter_format",
    "b_text_alter_size",
    "b_text_alter_style",
    "b_wall_wall",
    "b_wall_axis",
    "b_wall_side",
    "b_wall_angle",
    "b_wall_connect",
    "b_wall_connect_all",
    "b_wall_separate",
    "b_wall_separate_all",
    "b_wall_join",
    "b_wall_attach_3D",
    "b_wall_attach",
    "b_wall_extend",
    "b_wall_erase",
    "b_wall_alter_height",
    "b_opening_opening",
    "b_opening_door",
    "b_opening_window",
    "b_opening_alter_opening",
    "b_opening_alter_door",
    "b_opening_alter_window",
    "b_opening_alter_height",
    "b_opening_dissolve",
    "b_opening_remove",
    "b_dim_dim",
    "b_dim_x",
    "b_dim_y",
    "b_dim_height",
    "b_dim_plus",
    "b_dim_minus",
    "b_dim_auto",
    "b_dim_alter_value",
    "b_dim_alter_move",
    "b_dim_alter_size",
    "b_dim_alter_style",
    "b_dim_original",
    "b_dim_r",
    "b_dim_d",
    "b_dim_a",
    "b_dim_h",
    "b_room_poly",
    "b_room_range",
    "b_room_add_poly",
    "b_room_add_range",
    "b_room_alter_description",
    "b_room_alter_number",
    "b_room_alter_factor",
    "b_room_alter_height",
    "b_room_alter_inscription",
    "b_room_position",
    "b_pattern_poly",
    "b_pattern_range",
    "b_pattern_add_poly",
    "b_pattern_add_range",
    "b_pattern_alter_pattern",
    "b_pattern_alter_pattern_b",
    "b_pattern_alter_pattern_a",
    "b_pattern_alter_angle",
    "b_pattern_alter_space",
    "b_pattern_alter_origin",
    "b_pattern_dissolve",
    "b_3d_ray",
    "b_3d_raz",
    "b_3d_pov",
    "b_3d_camera",
    "b_3d_camera_change",
    "b_3d_wire",
    "b_3d_hlr",
    "b_cam_up",
    "b_cam_down",
    "b_cam_left",
    "b_cam_right",
    "b_3d_line",
    "b_3d_polygon",
    "b_3d_prism",
    "b_3d_cuboid",
    "b_3d_tube",
    "b_3d_sphere",
    "b_3d_cone",
    "b_3d_cutcone",
    "b_3d_light",
    "b_3d_light_alter",
    "b_3d_material",
    "b_3d_gl",
    "b_3d_union",
    "b_3d_difference",
    "b_3d_intersection",
    "b_unit_gablewall",
    "b_unit_ceiling",
    "b_unit_beam",
    "b_unit_pillar",
    "b_unit_rpillar",
    "b_unit_stairway",
    "b_unit_profile",
};

const char* const keys_f[] = {"f_mamid", "f_zoom", "f_pan"};

const char* const keys_s[] = {"s_maplus", "s_maminus", "s_back", "s_alles", "s_komplett"};

const char* const keys_z[] = {
    "z_plot",       "z_pap",           "z_def",           "z_space",         "z_help_about",
    "z_help_guide", "z_help_tutorial", "z_help_readme",   "z_help_shortcut", "z_mb3",
    "z_scrollup",   "z_scrolldown",    "z_save_settings", "z_load_settings",
};

const char* const keys_wait_only[] = {
    "p_nop",
    "p_newmenue",
    "z_pnull",
    // consumed by a waiting input request
    "z_mb1",
    "z_enter",
    "z_eini",
    "z_abs",
    "z_cx",
    "z_cy",
    "z_cz",
    "z_cup",
    "z_cdown",
    "z_cleft",
    "z_cright",
    "z_snap_i",
    "z_snap_m",
    "z_snap_d",
    "z_snap_t",
    "z_toggle",
    "s_deffi_all",
    "s_deffi_last",
    "s_deffi_ok",
    "s_deffi_cancel",
    // acted on before they are posted
    "z_info_update",
    "z_anything",
    "z_nothing",
    "z_plscale_inc",
    "s_3d_render_mat",
};

const char* const prefixes_wait_only[] = {"z_d_", "z_c_", "z_save_"};

bool listed(std::span<const char* const> keys, const char* key) {
  for (const char* k : keys)
    if (std::strcmp(k, key) == 0) return true;
  return false;
}

}  // namespace

std::span<const char* const> cmd_keys(char family) {
  switch (family) {
    case 'p':
      return keys_p;
    case 'b':
      return keys_b;
    case 'f':
      return keys_f;
    case 's':
      return keys_s;
    case 'z':
      return keys_z;
    default:
      return {};
  }
}

std::span<const char* const> cmd_keys_wait_only() { return keys_wait_only; }
std::span<const char* const> cmd_key_prefixes_wait_only() { return prefixes_wait_only; }

bool cmd_key_known(const char* key) { return key && listed(cmd_keys(key[0]), key); }

bool cmd_key_only_ends_wait(const char* key) {
  if (!key || cmd_key_known(key)) return false;
  if (listed(keys_wait_only, key)) return true;
  for (const char* p : prefixes_wait_only)
    if (std::strncmp(key, p, std::strlen(p)) == 0) return true;
  return false;
}
