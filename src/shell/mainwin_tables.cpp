#include "shell/mainwin_tables.h"

#include <cstring>

#include "model/nls.h"
#include "model/settings.h"

namespace {

constexpr PageItem button(const char* key, const char* label, const char* tip = nullptr, uint8_t flags = 0) {
  return {ItemKind::BUTTON, key, label, tip, flags, nullptr, 0};
}
// The dialog buttons "?" (centred, not translated).
constexpr PageItem ask(const char* key, const char* tip = nullptr,
                       uint8_t flags = ITEM_NATURAL | ITEM_CENTRE) {
  return {ItemKind::BUTTON, key, "?", tip, static_cast<uint8_t>(flags | ITEM_RAW), nullptr, 0};
}
constexpr PageItem picture(const char* key, const char* xpm, const char* tip) {
  return {ItemKind::PICTURE, key, xpm, tip, 0, nullptr, 0};
}
constexpr PageItem size(const char* key, MainwinSize which) {
  return {ItemKind::SIZE, key, nullptr, nullptr, 0, nullptr, static_cast<int>(which)};
}
constexpr PageItem gap() { return {ItemKind::GAP}; }
constexpr PageItem gap6() { return {ItemKind::GAP6}; }
constexpr PageItem frame(const char* title, uint8_t flags = 0) {
  return {ItemKind::FRAME, nullptr, title, nullptr, flags, nullptr, 0};
}
constexpr PageItem row() { return {ItemKind::ROW}; }
constexpr PageItem grid(int columns) {
  return {ItemKind::GRID, nullptr, nullptr, nullptr, 0, nullptr, columns};
}
constexpr PageItem end() { return {ItemKind::END}; }
constexpr PageItem toggle(const char* label, int32_t* var, const char* tip, uint8_t flags = 0) {
  return {ItemKind::TOGGLE, nullptr, label, tip, flags, var, 0};
}
// The small toggles beside a tool button (" E ", " + ", "!").
constexpr PageItem flag(const char* label, int32_t* var, const char* tip) {
  return toggle(label, var, tip, ITEM_NATURAL | ITEM_RAW);
}
constexpr PageItem radio(const char* label, int32_t* var, int value) {
  return {ItemKind::RADIO, nullptr, label, nullptr, 0, var, value};
}
constexpr PageItem image(const char* xpm) { return {ItemKind::IMAGE, nullptr, xpm, nullptr, ITEM_NATURAL}; }
constexpr PageItem combo(const char* kind, int width = 80) {
  return {ItemKind::COMBO, nullptr, kind, nullptr, 0, nullptr, width};
}
constexpr PageItem preset(const char* key, const char* kind, int width = 80) {
  return {ItemKind::PRESET, key, kind, nullptr, 0, nullptr, width};
}
constexpr PageItem penline() { return {ItemKind::PENLINE}; }
constexpr PageItem view_grid() { return {ItemKind::VIEW_GRID}; }

const PageItem page_symbol[] = {
    button("z_d_symbol", nls_mark("Paste")),
    gap(),
    button("b_symbol_load", nls_mark("Load")),
    button("b_symbol_save", nls_mark("Save")),
    button("b_symbol_remove", nls_mark("Remove")),
    gap(),
    frame(nls_mark("Library")),
    button("b_symbol_library_new", nls_mark("New")),
    button("b_symbol_library_remove", nls_mark("Remove")),
    end(),
    gap(),
    frame(nls_mark("Group")),
    button("b_symbol_group", nls_mark("Create")),
    button("b_symbol_ungroup", nls_mark("Ungroup")),
    end(),
    gap(),
    frame(nls_mark("Clipboard")),
    button("b_symbol_cut", nls_mark("Cut")),
    button("b_symbol_copy", nls_mark("Copy")),
    button("b_symbol_paste", nls_mark("Paste")),
    end(),
    gap(),
    button("b_edit_delete", nls_mark("Delete")),
};

const PageItem page_line[] = {
    button("b_line_line", nls_mark("Line")),
    row(),
    button("b_line_x", nls_mark("-X"), nls_mark("Horizontal lines")),
    button("b_line_y", nls_mark("-Y"), nls_mark("Vertical lines")),
    button("b_line_a", nls_mark("-A"), nls_mark("Lines at a given angle")),
    end(),
    gap(),
    row(),
    button("b_line_parallel", nls_mark("Parallel")),
    button("b_line_pparallel", nls_mark("-Point")),
    end(),
    button("b_line_orthogonal", nls_mark("Orthogonal")),
    gap(),
    row(),
    button("b_line_frame", nls_mark("Frame")),
    button("b_line_oframe", nls_mark("-Distance")),
    end(),
    button("b_line_polygon", nls_mark("N-Polygon")),
    gap(),
    button("b_line_join", nls_mark("Join")),
    row(),
    button("b_line_join_line", nls_mark("-Line")),
    button("b_line_join_arc", nls_mark("-Arc")),
    end(),
    gap(),
    button("b_line_attach", nls_mark("Attach")),
    button("b_line_extend", nls_mark("Extend")),
    button("b_line_erase", nls_mark("Erase")),
    button("b_line_dpart", nls_mark("Delete part")),
    button("b_line_cut", nls_mark("Cut with")),
    gap(),
    button("b_edit_delete", nls_mark("Delete")),
    gap(),
    penline(),
};

const PageItem page_circle[] = {
    button("b_circle_circle", nls_mark("Circle")),
    button("b_circle_3point", nls_mark("-3 Point")),
    gap(),
    button("b_circle_arc", nls_mark("Arc")),
    button("b_circle_arc3point", nls_mark("-3 Point")),
    gap(),
    button("b_circle_ellipse", nls_mark("Ellipse")),
    button("b_circle_ellipsefame", nls_mark("-Frame")),
    gap(),
    button("b_circle_parallel", nls_mark("Parallel")),
    button("b_circle_pparallel", nls_mark("-Point")),
    gap(),
    button("b_circle_extend", nls_mark("Extend")),
    button("b_circle_erase", nls_mark("Erase")),
    button("b_circle_dpart", nls_mark("Delete part")),
    gap(),
    row(),
    button("b_circle_spline", nls_mark("Spline")),
    button("b_circle_splinedissolve", nls_mark("-Dissolve"), nullptr, ITEM_NATURAL),
    end(),
    gap(),
    button("b_edit_delete", nls_mark("Delete")),
    gap(),
    penline(),
};

const PageItem page_wall[] = {
    button("b_wall_wall", nls_mark("Wall")),
    button("b_wall_axis", nls_mark("-Axis")),
    button("b_wall_side", nls_mark("-Side")),
    button("b_wall_angle", nls_mark("-Angle")),
    gap(),
    preset("z_d_wall", "wall"),
    gap(),
    button("b_wall_connect", nls_mark("Connect")),
    button("b_wall_connect_all", nls_mark("-All")),
    gap(),
    button("b_wall_separate", nls_mark("Separate")),
    button("b_wall_separate_all", nls_mark("-All")),
    gap(),
    button("b_wall_join", nls_mark("Join")),
    button("b_wall_attach", nls_mark("Attach")),
    button("b_wall_extend", nls_mark("Extend")),
    button("b_wall_erase", nls_mark("Erase")),
    gap(),
    button("b_wall_alter_height", nls_mark("Alter height")),
    gap(),
    button("b_edit_delete", nls_mark("Delete")),
};

const char* const fixed_width_tip = nls_mark("Use this width instead of 2 points");

const PageItem page_opening[] = {
    button("b_opening_opening", nls_mark("Opening")),
    grid(2),
    ask("z_d_opening"),
    combo("opening"),
    flag("!", &opening_width_fixed, fixed_width_tip),
    size("z_d_openingsize", MainwinSize::OPENING),
    end(),
    gap(),
    button("b_opening_door", nls_mark("Door")),
    grid(2),
    ask("z_d_door"),
    combo("door"),
    flag("!", &door_width_fixed, fixed_width_tip),
    size("z_d_doorsize", MainwinSize::DOOR),
    end(),
    gap(),
    button("b_opening_window", nls_mark("Window")),
    grid(2),
    ask("z_d_window"),
    combo("window"),
    flag("!", &window_width_fixed, fixed_width_tip),
    size("z_d_windowsize", MainwinSize::WINDOW),
    end(),
    gap(),
    frame(nls_mark("Alter")),
    button("b_opening_alter_opening", nls_mark("-Opening")),
    button("b_opening_alter_door", nls_mark("-Door")),
    button("b_opening_alter_window", nls_mark("-Window")),
    button("b_opening_alter_height", nls_mark("-Height")),
    end(),
    gap(),
    button("b_opening_dissolve", nls_mark("Dissolve")),
    button("b_opening_remove", nls_mark("Remove")),
    gap(),
    button("b_edit_delete", nls_mark("Delete")),
};

const PageItem page_dim[] = {
    button("b_dim_dim", nls_mark("Dim")),
    button("b_dim_x", nls_mark("-0 degree")),
    button("b_dim_y", nls_mark("-90 degrees")),
    button("b_dim_auto", nls_mark("Auto")),
    gap(),
    row(),
    button("b_dim_plus", nls_mark("+ Point"), nls_mark("Add a point to a dimension chain")),
    button("b_dim_minus", nls_mark("- Point"), nls_mark("Remove a point from a dimension chain")),
    button("b_dim_height", nls_mark("+ Height"), nls_mark("Add a height figure to a dimension")),
    end(),
    gap(),
    grid(2),
    button("b_dim_r", nls_mark("Radius")),
    button("b_dim_d", nls_mark("Diameter")),
    button("b_dim_a", nls_mark("Angle")),
    button("b_dim_h", nls_mark("Heights")),
    end(),
    gap(),
    preset("z_d_dim", "dim"),
    gap(),
    frame(nls_mark("Alter")),
    button("b_dim_alter_value", nls_mark("-Value")),
    button("b_dim_alter_move", nls_mark("-Move")),
    button("b_dim_alter_size", nls_mark("-Size")),
    button("b_dim_alter_style", nls_mark("-Style")),
    end(),
    gap(),
    button("b_dim_original", nls_mark("Original")),
    gap(),
    button("b_edit_delete", nls_mark("Delete")),
};

const char* const editor_tip = nls_mark("Use a seperate text editor");

const PageItem page_text[] = {
    row(),
    flag(" E ", &text_use_editor[0], editor_tip),
    button("b_text_text", nls_mark("Text")),
    end(),
    row(),
    flag(" E ", &text_use_editor[1], editor_tip),
    button("b_text_x", nls_mark("-0 degree")),
    end(),
    row(),
    flag(" E ", &text_use_editor[2], editor_tip),
    button("b_text_y", nls_mark("-90 degrees")),
    end(),
    gap(),
    preset("z_d_text", "text"),
    gap(),
    frame(nls_mark("Format")),
    row(),
    image("./graphics/format_l.xpm"),
    radio(nls_mark("Left"), &text_format, 0),
    end(),
    row(),
    image("./graphics/format_r.xpm"),
    radio(nls_mark("Right"), &text_format, 1),
    end(),
    row(),
    image("./graphics/format_c.xpm"),
    radio(nls_mark("Centered"), &text_format, 2),
    end(),
    row(),
    image("./graphics/format_b.xpm"),
    radio(nls_mark("Justified"), &text_format, 3),
    end(),
    end(),
    gap(),
    frame(nls_mark("Size")),
    size("z_d_textsize", MainwinSize::TEXT),
    end(),
    gap(),
    frame(nls_mark("Alter")),
    row(),
    flag(" E ", &text_use_editor[3], editor_tip),
    button("b_text_alter_content", nls_mark("-Content")),
    end(),
    button("b_text_alter_format", nls_mark("-Format")),
    button("b_text_alter_size", nls_mark("-Size")),
    button("b_text_alter_style", nls_mark("-Style")),
    end(),
    gap(),
    button("b_edit_delete", nls_mark("Delete")),
};

const char* const add_area_tip = nls_mark("Add the area instead of substraction");

const PageItem page_room[] = {
    gap(),
    frame(nls_mark("Input")),
    button("b_room_poly", nls_mark("Polygon")),
    button("b_room_range", nls_mark("Area")),
    end(),
    gap(),
    frame(nls_mark("Add")),
    grid(2),
    flag(" + ", &room_add_area[0], add_area_tip),
    button("b_room_add_poly", nls_mark("Polygon")),
    flag(" + ", &room_add_area[1], add_area_tip),
    button("b_room_add_range", nls_mark("Area")),
    end(),
    end(),
    gap(),
    preset("z_d_room", "room"),
    gap(),
    frame(nls_mark("Alter")),
    button("b_room_alter_description", nls_mark("-Description")),
    button("b_room_alter_number", nls_mark("-Number")),
    button("b_room_alter_factor", nls_mark("-Factor")),
    button("b_room_alter_height", nls_mark("-Height")),
    button("b_room_alter_inscription", nls_mark("-Inscription")),
    end(),
    gap(),
    button("b_room_position", nls_mark("Position")),
    gap(),
    button("b_edit_delete", nls_mark("Delete")),
};

const PageItem page_pattern[] = {
    gap(),
    frame(nls_mark("Input")),
    button("b_pattern_poly", nls_mark("Polygon")),
    button("b_pattern_range", nls_mark("Area")),
    end(),
    gap(),
    frame(nls_mark("Add")),
    button("b_pattern_add_poly", nls_mark("Polygon")),
    button("b_pattern_add_range", nls_mark("Area")),
    end(),
    gap(),
    preset("z_d_pattern", "pattern"),
    gap(),
    frame(nls_mark("Alter")),
    row(),
    button("b_pattern_alter_pattern_b", nls_mark("-Pattern")),
    button("b_pattern_alter_pattern", "-S", nls_mark("Alter single patterns"), ITEM_NATURAL | ITEM_RAW),
    button("b_pattern_alter_pattern_a", "-A", nls_mark("Alter all patterns with the same color"),
           ITEM_NATURAL | ITEM_RAW),
    end(),
    button("b_pattern_alter_angle", nls_mark("-Angle")),
    button("b_pattern_alter_space", nls_mark("-Space")),
    button("b_pattern_alter_origin", nls_mark("-Origin")),
    end(),
    gap(),
    button("b_pattern_dissolve", nls_mark("Dissolve")),
    gap(),
    button("b_edit_delete", nls_mark("Delete")),
};

const PageItem page_3d[] = {
    frame(nullptr),
    view_grid(),
    end(),
    gap6(),
    frame(nullptr),
    row(),
    button("b_3d_camera", nls_mark("Camera")),
    button("b_3d_camera_change", nls_mark("-Select"), nls_mark("Select Camera"), ITEM_NATURAL),
    ask("z_d_camera", nls_mark("Change the camera setup"), ITEM_NATURAL),
    end(),
    end(),
    gap6(),
    frame(nullptr),
    row(),
    button("b_3d_light", nls_mark("Light")),
    button("b_3d_light_alter", nls_mark("-Alter"), nullptr, ITEM_NATURAL),
    end(),
    preset("z_d_light", "light"),
    end(),
    gap6(),
    frame(nls_mark("3D Elements")),
    row(),
    picture("b_3d_cuboid", "./graphics/3d_cu.xpm", nls_mark("Cuboid")),
    picture("b_3d_sphere", "./graphics/3d_sp.xpm", nls_mark("Sphere")),
    picture("b_3d_polygon", "./graphics/3d_po.xpm", nls_mark("Polygon")),
    picture("b_3d_prism", "./graphics/3d_pr.xpm", nls_mark("Prism")),
    end(),
    row(),
    picture("b_3d_tube", "./graphics/3d_zy.xpm", nls_mark("Tube")),
    picture("b_3d_cone", "./graphics/3d_ke.xpm", nls_mark("Cone")),
    picture("b_3d_cutcone", "./graphics/3d_ks.xpm", nls_mark("Cut Cone")),
    picture("b_3d_line", "./graphics/3d_li.xpm", nls_mark("3D Line")),
    end(),
    end(),
    gap6(),
    frame(nls_mark("3D Edit")),
    row(),
    picture("b_wall_attach_3D", "./graphics/3d_aw.xpm", nls_mark("Attach Wall")),
    picture("b_3d_union", "./graphics/3d_add.xpm", nls_mark("Boolean union")),
    picture("b_3d_difference", "./graphics/3d_sub.xpm", nls_mark("Boolean difference")),
    picture("b_3d_intersection", "./graphics/3d_and.xpm", nls_mark("Boolean intersection")),
    end(),
    end(),
    gap6(),
    gap6(),
    frame(nls_mark("Material")),
    button("b_3d_material", nls_mark("-Alter")),
    preset("z_d_mat", "mat", 75),
    end(),
    gap6(),
    button("b_edit_delete", nls_mark("Delete")),
    penline(),
};

const PageItem page_unit[] = {
    button("b_unit_gablewall", nls_mark("Gable Wall")),
    gap6(),
    button("b_unit_ceiling", nls_mark("Ceiling")),
    button("b_unit_beam", nls_mark("Beam")),
    gap(),
    button("b_unit_pillar", nls_mark("Pillar")),
    button("b_unit_rpillar", nls_mark("Round Pillar")),
    gap(),
    button("b_unit_stairway", nls_mark("Stairway")),
    gap(),
    button("b_unit_profile", nls_mark("Profile")),
    size("z_d_profilesize", MainwinSize::PROFILE),
    gap(),
    frame(nls_mark("Material")),
    button("b_3d_material", nls_mark("-Alter")),
    preset("z_d_mat", "mat", 75),
    end(),
    gap(),
    button("b_edit_delete", nls_mark("Delete")),
    gap(),
    penline(),
};

const char* const copy_tip = nls_mark("Copy elements");

const PageItem page_edit[] = {
    button("b_edit_move", nls_mark("Move")),
    gap(),
    button("b_edit_copy", nls_mark("Copy")),
    button("b_edit_mcopy", nls_mark("-Multi")),
    gap(),
    button("b_edit_series", nls_mark("Series")),
    button("b_edit_pseries", nls_mark("-Polar")),
    gap(),
    grid(2),
    flag(" + ", &rotate_copy, copy_tip),
    button("b_edit_rotate", nls_mark("Rotate")),
    flag(" + ", &mirror_copy, copy_tip),
    button("b_edit_mirror", nls_mark("Mirror")),
    end(),
    gap(),
    row(),
    button("b_edit_stretch", nls_mark("Stretch")),
    button("b_edit_stretch_text", nls_mark("-Text"), nls_mark("Stretch without modifying textsize"),
           ITEM_NATURAL),
    end(),
    gap(),
    button("b_edit_alter_all", nls_mark("Alter"), nls_mark("Alter pen and line")),
    button("b_edit_alter_pen", nls_mark("-Pen")),
    button("b_edit_alter_line", nls_mark("-Line")),
    gap(),
    button("b_edit_delete", nls_mark("Delete")),
    gap(),
    penline(),
};

const PageItem page_select[] = {
    frame(nls_mark("Mode")),
    radio(nls_mark("Active"), &select_mode, 0),
    radio(nls_mark("Passive"), &select_mode, 1),
    radio(nls_mark("Switch"), &select_mode, 2),
    end(),
    frame(nls_mark("Layers")),
    radio(nls_mark("Active layer"), &select_all_layers, 0),
    radio(nls_mark("Visible layers"), &select_all_layers, 1),
    end(),
    frame(nls_mark("Type")),
    radio(nls_mark("Range"), &select_type, 0),
    radio(nls_mark("Element"), &select_type, 1),
    radio(nls_mark("Opening"), &select_type, 2),
    radio(nls_mark("Group"), &select_type, 3),
    radio(nls_mark("Point"), &select_type, 4),
    end(),
    gap(),
    row(),
    button("s_deffi_all", nls_mark("All")),
    button("s_deffi_last", nls_mark("Last")),
    end(),
    row(),
    ask("z_d_filter"),
    toggle(nls_mark("Filter"), &select_filter.on, nullptr),
    end(),
    gap(),
    button("s_deffi_ok", nls_mark("OK")),
    penline(),
};

const ToolPage pages[TOOL_PAGE_COUNT] = {
    {nls_mark("Symbol"), page_symbol},   {nls_mark("Line"), page_line},
    {nls_mark("Circle"), page_circle},   {nls_mark("Wall"), page_wall},
    {nls_mark("Opening"), page_opening}, {nls_mark("Dimension"), page_dim},
    {nls_mark("Text"), page_text},       {nls_mark("Room"), page_room},
    {nls_mark("Pattern"), page_pattern}, {nls_mark("3D"), page_3d},
    {nls_mark("Unit"), page_unit},       {nls_mark("Edit"), page_edit},
    {nls_mark("Select"), page_select},
};

const CategoryButton categories[] = {
    {nls_mark("Line"), "line", 0, 0}, {nls_mark("Circle"), "circle", 1, 0},
    {nls_mark("Wall"), "wall", 0, 1}, {nls_mark("Opening"), "opening", 1, 1},
    {nls_mark("Dim"), "dim", 0, 2},   {nls_mark("Text"), "text", 1, 2},
    {nls_mark("Room"), "room", 0, 3}, {nls_mark("Pattern"), "pattern", 1, 3},
    {nls_mark("3D"), "3d", 0, 4},     {nls_mark("Unit"), "unit", 1, 4},
    {nls_mark("Edit"), "edit", 0, 5}, {nls_mark("Symbol"), "symbol", 1, 5},
};

// Page names in the order the page switch compares them.
struct PageName {
  const char* name;
  int page;
};
const PageName page_names[] = {
    {"line", 1},    {"text", 6},  {"symbol", 0}, {"3d", 9},      {"circle", 2}, {"dim", 5},
    {"pattern", 8}, {"unit", 10}, {"wall", 3},   {"opening", 4}, {"room", 7},   {"edit", 11},
};

constexpr MenuItem item(const char* label, const char* key, char accel = 0, uint8_t flags = 0) {
  return {MenuKind::ITEM, label, key, accel, flags};
}
constexpr MenuItem format(const char* label, const char* key) { return item(label, key, 0, ITEM_RAW); }
constexpr MenuItem submenu(const char* label, uint8_t flags = 0) {
  return {MenuKind::SUBMENU, label, nullptr, 0, flags};
}
constexpr MenuItem separator() { return {MenuKind::SEPARATOR}; }
constexpr MenuItem close() { return {MenuKind::END}; }

const MenuItem menu[] = {
    submenu(nls_mark("Project")),
    item(nls_mark("Info"), "p_file_info"),
    separator(),
    item(nls_mark("Load"), "p_file_load", 'l'),
    item(nls_mark("Save"), "p_file_save", 's'),
    separator(),
    item(nls_mark("Scale"), "z_d_scale"),
    item(nls_mark("Settings"), "z_d_settings", ','),
    separator(),
    submenu(nls_mark("Import")),
    item(nls_mark("TrueType Font"), "p_file_import_truetype"),
    format("3DS", "p_file_import_3ds"),
    format("GTS", "p_file_import_gts"),
    format("DGM", "p_file_import_dgm"),
    format("DXF", "z_d_dxf_in"),
    close(),
    submenu(nls_mark("Export")),
    format("DXF", "z_d_dxf_out"),
    format("EPS", "p_file_export_eps"),
    format("SVG", "p_file_export_svg"),
    format("PDF", "p_file_export_pdf"),
    format("LWO", "p_file_export_lwo"),
    format("POV", "p_file_export_pov"),
    format("3DS", "p_file_export_3ds"),
    format("GTS", "p_file_export_gts"),
    close(),
    submenu(nls_mark("Tools")),
    item(nls_mark("Remove Duplicates"), "p_tools_remdup"),
    close(),
    separator(),
    item(nls_mark("Print Setup"), "z_d_printsetup"),
    item(nls_mark("Print"), "p_file_print", 'p'),
    separator(),
    item(nls_mark("Plot Setup"), "z_d_plotsetup"),
    item(nls_mark("Plot"), "p_file_plot"),
    separator(),
    item(nls_mark("New"), "p_file_new", 'n'),
    item(nls_mark("Quit"), "p_file_quit", 'q'),
    close(),
    submenu(nls_mark("Clip")),
    item(nls_mark("Cut"), "p_symbol_cut", 'x'),
    item(nls_mark("Copy"), "p_symbol_copy", 'c'),
    item(nls_mark("Paste"), "p_symbol_paste", 'v'),
    close(),
    submenu(nls_mark("Help")),
    item(nls_mark("Guide"), "z_help_guide"),
    item(nls_mark("Tutorial"), "z_help_tutorial"),
    item(nls_mark("Readme"), "z_help_readme"),
    item(nls_mark("Shortcuts"), "z_help_shortcut"),
    separator(),
    item(nls_mark("About"), "z_help_about"),
    close(),
};

// The keypad layout: 7 8 9 above 4 0 6 above 1 2 3, the perspective below.
const ViewToggleCell view_cells[VIEW_TYPE_COUNT] = {
    {7, "./graphics/3d1.xpm", 0, 0}, {8, "./graphics/3d2.xpm", 1, 0},
    {9, "./graphics/3d3.xpm", 2, 0}, {4, "./graphics/3d4.xpm", 0, 1},
    {0, "./graphics/3d5.xpm", 1, 1}, {6, "./graphics/3d6.xpm", 2, 1},
    {1, "./graphics/3d7.xpm", 0, 2}, {2, "./graphics/3d8.xpm", 1, 2},
    {3, "./graphics/3d9.xpm", 2, 2}, {5, nullptr, 3, 2},
};

}  // namespace

std::span<const ToolPage> mainwin_tool_pages() { return pages; }
std::span<const CategoryButton> mainwin_categories() { return categories; }
std::span<const MenuItem> mainwin_menu_items() { return menu; }
std::span<const ViewToggleCell> mainwin_view_toggle_cells() { return view_cells; }

int mainwin_page_of(const char* name) {
  if (!name) return -1;
  for (const PageName& p : page_names)
    if (std::strcmp(p.name, name) == 0) return p.page;
  return -1;
}

bool mainwin_page_keeps_view(const char* name) {
  return name && (std::strcmp(name, "3d") == 0 || std::strcmp(name, "edit") == 0);
}
