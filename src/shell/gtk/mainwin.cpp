#include "shell/gtk/mainwin.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "display/command_buffer.h"
#include "display/key_state.h"
#include "display/wait.h"
#include "model/nls.h"
#include "model/presets.h"
#include "model/redraw.h"
#include "model/settings.h"
#include "model/ui.h"
#include "shell/cmd_loop.h"
#include "shell/gtk/bind.h"
#include "shell/gtk/cmd_gtk.h"
#include "shell/gtk/gui_build.h"
#include "shell/gtk/keymap_gtk.h"
#include "shell/gtk/mainwin_bars.h"
#include "shell/gtk/mainwin_parts.h"
#include "shell/gtk/penline_selector.h"
#include "shell/latin1.h"
#include "shell/mainwin_text.h"

MainwinWidgets mainwin_widgets;
int mainwin_current_page = 1;
void (*preset_load_hook)(const char* kind) = nullptr;

namespace {

GtkAccelGroup* accel_group = nullptr;

// Pages whose Pen/Line menus the refreshes visit, in their order.
constexpr int PAGE_LINE = 1, PAGE_CIRCLE = 2, PAGE_3D = 9, PAGE_UNIT = 10, PAGE_EDIT = 11;
constexpr int penline_pages[] = {PAGE_LINE, PAGE_CIRCLE,      PAGE_UNIT, PAGE_3D,
                                 PAGE_EDIT, TOOL_PAGE_SELECT, PAGE_LINE};

void refresh_page_menus(int page) {
  bind_refresh_option_menu_pair(mainwin_widgets.pen_menus[page], mainwin_widgets.line_type_menus[page]);
}

void show_page(int page) {
  if (mainwin_widgets.notebook) gtk_notebook_set_current_page(GTK_NOTEBOOK(mainwin_widgets.notebook), page);
}

// The name buffer of a preset kind.
char* preset_name(const char* kind, std::size_t& size) {
  struct Row {
    const char* kind;
    FixedText<NAME_LEN>* name;
  };
  static const Row rows[] = {
      {"wall", &wall_preset.name},     {"opening", &opening_preset.name}, {"door", &door_preset.name},
      {"window", &window_preset.name}, {"dim", &dim_preset.name},         {"text", &text_preset.name},
      {"room", &room_preset.name},     {"pattern", &pattern_preset.name}, {"light", &light_preset.name},
      {"mat", &material_preset.name},
  };
  for (const Row& r : rows)
    if (std::strcmp(r.kind, kind) == 0) {
      size = NAME_LEN;
      return r.name->data();
    }
  size = 0;
  return nullptr;
}

GtkWidget** combo_slot(const char* kind) {
  MainwinWidgets& w = mainwin_widgets;
  if (std::strcmp(kind, "mat") == 0) return w.combo_mat_3d ? &w.combo_mat_unit : &w.combo_mat_3d;
  struct Row {
    const char* kind;
    GtkWidget** slot;
  };
  const Row rows[] = {
      {"wall", &w.combo_wall},     {"opening", &w.combo_opening}, {"door", &w.combo_door},
      {"window", &w.combo_window}, {"dim", &w.combo_dim},         {"text", &w.combo_text},
      {"room", &w.combo_room},     {"pattern", &w.combo_pattern}, {"light", &w.combo_light},
  };
  for (const Row& r : rows)
    if (std::strcmp(r.kind, kind) == 0) return r.slot;
  return nullptr;
}

void on_preset_changed(GtkEditable*, gpointer kind) {
  if (preset_load_hook) preset_load_hook(static_cast<const char*>(kind));
}

// A preset combo of a tool page: bound to the kind's preset name, refreshing
// the kind's dialog, loading the chosen preset.
GtkWidget* preset_combo(const char* kind, int width) {
  std::size_t size = 0;
  char* name = preset_name(kind, size);
  GtkWidget* combo = bind_preset_combo_new_sized(name, size, kind);
  gtk_widget_set_size_request(combo, width, -1);
  gui_no_focus(combo);
  GtkWidget* entry = gtk_bin_get_child(GTK_BIN(combo));
  if (entry) {
    gtk_widget_set_can_focus(entry, FALSE);
    g_signal_connect(entry, "changed", G_CALLBACK(on_preset_changed), const_cast<char*>(kind));
  }
  if (GtkWidget** slot = combo_slot(kind)) *slot = combo;
  return combo;
}

GtkWidget* ask_button(const char* key, uint8_t flags) {
  return gui_command_button_new((flags & ITEM_CENTRE) ? 1 : 0, key, "?");
}

// Walks one page's items into its column.
class PageBuilder {
 public:
  PageBuilder(int page, GtkWidget* column) : page_(page) { push(column, ItemKind::FRAME, 0); }

  void add(const PageItem& item) {
    switch (item.kind) {
      case ItemKind::FRAME: {
        GtkWidget* frame =
            gui_frame_new(item.text ? mainwin_label(item.text, item.flags & ITEM_RAW) : nullptr);
        GtkWidget* column = gui_vbox_new();
        gtk_container_add(GTK_CONTAINER(frame), column);
        place(frame, item);
        push(column, ItemKind::FRAME, 0);
        return;
      }
      case ItemKind::ROW: {
        GtkWidget* box = gui_hbox_new();
        place(box, item);
        push(box, ItemKind::ROW, 0);
        return;
      }
      case ItemKind::GRID: {
        GtkWidget* grid = gui_table_new(2, item.value);
        gtk_grid_set_column_homogeneous(GTK_GRID(grid), FALSE);
        place(grid, item);
        push(grid, ItemKind::GRID, item.value > 0 ? item.value : 1);
        return;
      }
      case ItemKind::END:
        if (stack_.size() > 1) stack_.pop_back();
        return;
      default:
        place(make(item), item);
    }
  }

 private:
  struct Level {
    GtkWidget* widget;
    ItemKind kind;
    int columns;
    int next = 0;
  };

  void push(GtkWidget* w, ItemKind kind, int columns) { stack_.push_back({w, kind, columns}); }

  // Puts a widget into the innermost container: a column packs it at its
  // natural height (gaps take the free height), a row and a grid let it
  // share the width unless it keeps its natural width.
  void place(GtkWidget* w, const PageItem& item) {
    if (!w) return;
    Level& level = stack_.back();
    const bool natural = item.flags & ITEM_NATURAL;
    switch (level.kind) {
      case ItemKind::ROW:
        gui_pack(level.widget, w, natural ? 0 : 1);
        break;
      case ItemKind::GRID: {
        const int col = level.next % level.columns, row = level.next / level.columns;
        ++level.next;
        gui_table_attach(level.widget, w, col, col + 1, row, row + 1, 0);
        gtk_widget_set_hexpand(w, natural ? FALSE : TRUE);
        break;
      }
      default:
        gui_pack(level.widget, w, item.kind == ItemKind::GAP ? 1 : 0);
    }
  }

  GtkWidget* make(const PageItem& item) {
    GtkWidget* w = nullptr;
    const bool raw = item.flags & ITEM_RAW;
    switch (item.kind) {
      case ItemKind::BUTTON:
        w = gui_command_button_new((item.flags & ITEM_CENTRE) ? 1 : 0, item.key,
                                   mainwin_label(item.text, raw));
        break;
      case ItemKind::PICTURE:
        w = mainwin_picture_button(item.key, item.text);
        break;
      case ItemKind::SIZE: {
        w = gui_command_button_new(4, item.key, nullptr);
        GtkWidget* label = gui_label_new(1, "0");
        gtk_container_add(GTK_CONTAINER(w), label);
        if (item.value >= 0 && item.value < 5) mainwin_widgets.size_labels[item.value] = label;
        break;
      }
      case ItemKind::GAP:
        return gui_spacer_new(0);
      case ItemKind::GAP6:
        return gui_spacer_new(1);
      case ItemKind::TOGGLE:
        w = bind_toggle_new(mainwin_label(item.text, raw), item.var, "");
        remember_toggle(item.var, w);
        break;
      case ItemKind::RADIO: {
        w = bind_radio_new(mainwin_label(item.text, raw), item.var, item.value, &groups_[item.var], "");
        remember_radio(item.var, item.value, w);
        break;
      }
      case ItemKind::IMAGE:
        return mainwin_picture(item.text);
      case ItemKind::COMBO:
        return preset_combo(item.text, item.value);
      case ItemKind::PRESET: {
        w = gui_hbox_new();
        gui_pack(w, ask_button(item.key, ITEM_CENTRE), 0);
        gui_pack(w, preset_combo(item.text, item.value), 1);
        return w;
      }
      case ItemKind::PENLINE:
        return penline_selector_new(&cur_pen, &cur_line_type, "", &mainwin_widgets.pen_menus[page_],
                                    &mainwin_widgets.line_type_menus[page_]);
      case ItemKind::VIEW_GRID:
        return view_grid();
      default:
        return nullptr;
    }
    mainwin_set_tip(w, item.tip);
    return w;
  }

  static void remember_toggle(const int32_t* var, GtkWidget* w) {
    for (int i = 0; i < 4; ++i)
      if (var == &text_use_editor[i]) mainwin_widgets.text_editor_toggles[i] = w;
    if (var == &select_filter.on) mainwin_widgets.select_filter = w;
  }

  static void remember_radio(const int32_t* var, int value, GtkWidget* w) {
    MainwinWidgets& m = mainwin_widgets;
    if (var == &select_mode && value == 0) m.select_active = w;
    if (var == &select_all_layers && value == 0) m.select_active_layer = w;
    if (var == &select_type && value == 1) m.select_element = w;
    if (var == &select_type && value == 2) m.select_opening = w;
    if (var == &select_type && value == 4) m.select_point = w;
  }

  // The 3D page's view toggles in keypad layout, with "Render", "Hidden",
  // the "Perspective" toggle and "Radiance" in the fourth column.
  static GtkWidget* view_grid() {
    GtkWidget* grid = gui_table_new(4, 4);
    for (const ViewToggleCell& c : mainwin_view_toggle_cells())
      if (c.xpm) mainwin_add_view_button(nullptr, grid, c.column, c.row, c.view_type, c.xpm);
    gui_table_attach(grid, gui_command_button_new(1, "z_d_pov", nls_translate("Render")), 3, 4, 0, 1, 0);
    gui_table_attach(grid, gui_command_button_new(1, "z_d_hlr", nls_translate("Hidden")), 3, 4, 1, 2, 0);
    GtkWidget* perspective = gtk_toggle_button_new_with_label(gui_utf8(nls_translate("Perspective")).c_str());
    gui_no_focus(perspective);
    gtk_widget_show(perspective);
    mainwin_widgets.view_toggles[5] = perspective;
    g_signal_connect(perspective, "toggled", G_CALLBACK(mainwin_on_view_toggle), GINT_TO_POINTER(5));
    gui_table_attach(grid, perspective, 3, 4, 2, 3, 0);
    gui_table_attach(grid, gui_command_button_new(1, "z_d_ray", nls_translate("Radiance")), 3, 4, 3, 4, 0);
    return grid;
  }

  int page_;
  std::vector<Level> stack_;
  std::map<int32_t*, GSList*> groups_;
};

void build_menus(GtkWidget* bar) {
  std::vector<GtkWidget*> menus{bar};
  for (const MenuItem& m : mainwin_menu_items()) {
    const bool raw = m.flags & ITEM_RAW;
    switch (m.kind) {
      case MenuKind::SUBMENU:
        menus.push_back(mainwin_menu_add_submenu(menus.back(), mainwin_label(m.label, raw)));
        break;
      case MenuKind::SEPARATOR:
        mainwin_menu_add_item(menus.back(), "separator", nullptr, 0);
        break;
      case MenuKind::ITEM:
        mainwin_menu_add_item(menus.back(), mainwin_label(m.label, raw), m.key, m.accel);
        break;
      case MenuKind::END:
        if (menus.size() > 1) menus.pop_back();
        break;
    }
  }
}

GtkWidget* build_categories() {
  GtkWidget* table = gui_table_new(6, 2);
  gtk_grid_set_column_homogeneous(GTK_GRID(table), TRUE);
  for (const CategoryButton& c : mainwin_categories())
    mainwin_add_category_button(table, c.column, c.row, c.name, nls_translate(c.label));
  return table;
}

GtkWidget* build_notebook() {
  GtkWidget* notebook = gtk_notebook_new();
  gtk_notebook_set_show_border(GTK_NOTEBOOK(notebook), FALSE);
  gtk_notebook_set_tab_pos(GTK_NOTEBOOK(notebook), GTK_POS_RIGHT);
  gtk_notebook_set_show_tabs(GTK_NOTEBOOK(notebook), FALSE);
  int page = 0;
  for (const ToolPage& p : mainwin_tool_pages()) {
    GtkWidget* frame = gui_frame_new(nls_translate(p.title));
    GtkWidget* column = gui_vbox_new();
    gtk_container_add(GTK_CONTAINER(frame), column);
    PageBuilder builder(page, column);
    for (const PageItem& item : p.items) builder.add(item);
    gtk_notebook_append_page(GTK_NOTEBOOK(notebook), frame, nullptr);
    ++page;
  }
  gtk_widget_show(notebook);
  return notebook;
}

// The menus' Control keys act as their labels say, before the key mapping
// sees the key; while the value entry is open its keys (Control+C, +V) are
// its own.
gboolean on_accelerator_key(GtkWidget* window, GdkEventKey* event, gpointer) {
  if (!event || value_entry_open) return FALSE;
  const guint mods = event->state & gtk_accelerator_get_default_mod_mask();
  if (mods != GDK_CONTROL_MASK) return FALSE;
  return gtk_accel_groups_activate(G_OBJECT(window), gdk_keyval_to_lower(event->keyval), GDK_CONTROL_MASK);
}

void on_window_destroy(GtkWidget* w, gpointer) {
  if (mainwin_widgets.window != w) return;
  mainwin_value_entry_set_grid(nullptr);
  mainwin_forget_widgets();
}

}  // namespace

// Shared pieces.

const char* mainwin_label(const char* english, bool raw) {
  if (!english) return "";
  return raw ? english : nls_translate(english);
}

void mainwin_set_tip(GtkWidget* widget, const char* english) {
  if (widget && english) gtk_widget_set_tooltip_text(widget, gui_utf8(nls_translate(english)).c_str());
}

bool mainwin_picture_ok(const char* xpm_path) {
  static std::set<std::string> reported;
  if (!xpm_path) return false;
  GdkPixbuf* pixbuf = gui_pixbuf_load(xpm_path);
  if (pixbuf) {
    g_object_unref(pixbuf);
    return true;
  }
  if (reported.insert(xpm_path).second) {
    std::printf("cannot load the picture %s\n", xpm_path);
    std::fflush(stdout);
  }
  return false;
}

namespace {
std::string base_name(const char* path) {
  return path ? std::filesystem::path(path).stem().string() : std::string();
}
}  // namespace

GtkWidget* mainwin_picture_button(const char* key, const char* xpm_path) {
  if (mainwin_picture_ok(xpm_path)) return gui_command_button_new(3, key, xpm_path);
  return gui_command_button_new(1, key, base_name(xpm_path).c_str());
}

GtkWidget* mainwin_picture_toggle(const char* xpm_path, int32_t* var, const char* refresh) {
  if (mainwin_picture_ok(xpm_path)) return bind_toggle_pixmap_new(xpm_path, var, refresh);
  return bind_toggle_new(base_name(xpm_path).c_str(), var, refresh);
}

GtkWidget* mainwin_picture(const char* xpm_path) {
  if (mainwin_picture_ok(xpm_path)) return gui_pixmap_new(xpm_path);
  return gui_label_new(1, base_name(xpm_path).c_str());
}

// The window.

GtkWidget* mainwin_build() {
  mainwin_forget_widgets();
  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  mainwin_widgets.window = window;
  gtk_window_set_title(GTK_WINDOW(window), "Kavro");
  gtk_window_set_position(GTK_WINDOW(window), GTK_WIN_POS_CENTER);
  gtk_widget_add_events(window, GDK_KEY_PRESS_MASK);
  g_signal_connect(window, "key-press-event", G_CALLBACK(on_accelerator_key), nullptr);
  g_signal_connect(window, "key-press-event", G_CALLBACK(mainwin_on_key_press), nullptr);
  g_signal_connect(window, "button-press-event", G_CALLBACK(mainwin_on_right_click), nullptr);
  g_signal_connect(window, "destroy", G_CALLBACK(on_window_destroy), nullptr);
  accel_group = gtk_accel_group_new();
  gtk_window_add_accel_group(GTK_WINDOW(window), accel_group);
  g_object_unref(accel_group);

  GtkWidget* hbox = gui_hbox_new();
  gtk_container_add(GTK_CONTAINER(window), hbox);
  GtkWidget* left = gui_vbox_new();
  gui_pack(hbox, left, 1);
  mainwin_build_view_bar(left);
  mainwin_value_entry_set_grid(GTK_GRID(mainwin_widgets.view_bar));

  // The right column keeps its natural width however its buttons expand.
  GtkWidget* right = gui_vbox_new();
  gtk_widget_set_hexpand(right, FALSE);
  gui_pack(hbox, right, 0);
  GtkWidget* bar = gtk_menu_bar_new();
  build_menus(bar);
  gtk_widget_show(bar);
  gui_pack(right, bar, 0);
  gui_pack(right, build_categories(), 0);
  mainwin_widgets.notebook = build_notebook();
  gui_pack(right, mainwin_widgets.notebook, 1);
  mainwin_build_snap_bar(right);

  show_page(1);
  mainwin_current_page = 1;
  mainwin_size_labels_refresh();
  return window;
}

void mainwin_forget_widgets() {
  mainwin_widgets = MainwinWidgets{};
  accel_group = nullptr;
}

void mainwin_show_tool_page(GtkWidget*, const char* name) {
  const int page = mainwin_page_of(name);
  if (page >= 0) {
    if (page == PAGE_LINE || page == PAGE_3D || page == PAGE_CIRCLE || page == PAGE_UNIT || page == PAGE_EDIT)
      refresh_page_menus(page);
    show_page(page);
    mainwin_current_page = page;
  }
  command_key = "p_newmenue";
  if (!mainwin_page_keeps_view(name) && view_type != 0) {
    view_type = 0;
    for (GtkWidget* t : mainwin_widgets.view_toggles)
      if (t && gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(t)))
        gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(t), FALSE);
    if (GtkWidget* plan = mainwin_widgets.view_toggles[0])
      gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(plan), TRUE);
  }
  wait_end();
}

namespace {
void on_category_clicked(GtkWidget* button, gpointer name) {
  mainwin_show_tool_page(button, static_cast<const char*>(name));
}
}  // namespace

void mainwin_add_category_button(GtkWidget* table, int column, int row, const char* name, const char* label) {
  GtkWidget* button = gtk_button_new();
  gtk_container_add(GTK_CONTAINER(button), gui_label_new(0, label));
  g_signal_connect(button, "clicked", G_CALLBACK(on_category_clicked), const_cast<char*>(name));
  g_signal_connect(button, "button-press-event", G_CALLBACK(mainwin_on_right_click), nullptr);
  gui_no_focus(button);
  gtk_widget_show(button);
  gui_table_attach(table, button, column, column + 1, row, row + 1, 0);
  gtk_widget_set_hexpand(button, TRUE);
}

void mainwin_add_view_button(GtkWidget*, GtkWidget* table, int column, int row, int view_type_of_button,
                             const char* xpm_path) {
  GtkWidget* toggle = gtk_toggle_button_new();
  gtk_container_add(GTK_CONTAINER(toggle), mainwin_picture(xpm_path));
  gui_no_focus(toggle);
  if (view_type_of_button >= 0 && view_type_of_button < VIEW_TYPE_COUNT)
    mainwin_widgets.view_toggles[view_type_of_button] = toggle;
  // The plan view is current when the window is made; pressing it must not fit.
  if (view_type_of_button == 0) gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(toggle), TRUE);
  g_signal_connect(toggle, "toggled", G_CALLBACK(mainwin_on_view_toggle),
                   GINT_TO_POINTER(view_type_of_button));
  g_signal_connect(toggle, "button-press-event", G_CALLBACK(mainwin_on_right_click), nullptr);
  gtk_widget_show(toggle);
  gui_table_attach(table, toggle, column, column + 1, row, row + 1, 0);
}

GtkWidget* mainwin_menu_add_submenu(GtkWidget* menu_or_bar, const char* label) {
  GtkWidget* item = gtk_menu_item_new_with_label(gui_utf8(label).c_str());
  GtkWidget* submenu = gtk_menu_new();
  if (accel_group) gtk_menu_set_accel_group(GTK_MENU(submenu), accel_group);
  gtk_menu_item_set_submenu(GTK_MENU_ITEM(item), submenu);
  gtk_menu_shell_append(GTK_MENU_SHELL(menu_or_bar), item);
  gtk_widget_show(item);
  return submenu;
}

GtkWidget* mainwin_menu_add_item(GtkWidget* menu, const char* label, const char* key, char accel) {
  GtkWidget* item = nullptr;
  if (label && std::strcmp(label, "separator") == 0) {
    item = gtk_separator_menu_item_new();
  } else {
    item = gtk_menu_item_new_with_label(gui_utf8(label).c_str());
    if (key) cmd_connect(item, key);
    if (accel) {
      const guint letter = static_cast<guint>(accel);
      gtk_accel_label_set_accel(GTK_ACCEL_LABEL(gtk_bin_get_child(GTK_BIN(item))), letter, GDK_CONTROL_MASK);
      if (accel_group)
        gtk_widget_add_accelerator(item, "activate", accel_group, letter, GDK_CONTROL_MASK,
                                   GTK_ACCEL_VISIBLE);
    }
  }
  gtk_menu_shell_append(GTK_MENU_SHELL(menu), item);
  gtk_widget_show(item);
  return item;
}

void mainwin_select_view(int type) {
  view_type = type;
  for (GtkWidget* t : mainwin_widgets.view_toggles)
    if (t && gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(t)))
      gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(t), FALSE);
  GtkWidget* toggle = type >= 0 && type < VIEW_TYPE_COUNT ? mainwin_widgets.view_toggles[type] : nullptr;
  if (toggle)
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(toggle), TRUE);
  else
    redraw().view_zoom_to_extents(0);
}

void mainwin_on_view_toggle(GtkWidget* toggle, gpointer data) {
  const int type = GPOINTER_TO_INT(data);
  if (gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(toggle))) {
    view_type = type;
    for (GtkWidget* t : mainwin_widgets.view_toggles)
      if (t && t != toggle && gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(t)))
        gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(t), FALSE);
    redraw().view_zoom_to_extents(0);
  } else if (type == view_type) {
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(toggle), TRUE);
  }
}

void mainwin_select_page_enter(unsigned char opening_and_point) {
  MainwinWidgets& w = mainwin_widgets;
  refresh_page_menus(TOOL_PAGE_SELECT);
  if (w.select_point) gtk_widget_set_sensitive(w.select_point, opening_and_point ? TRUE : FALSE);
  if (w.select_opening) gtk_widget_set_sensitive(w.select_opening, opening_and_point ? TRUE : FALSE);
  show_page(TOOL_PAGE_SELECT);
  radio_suppress = 1;
  for (GtkWidget* r : {w.select_active, w.select_element, w.select_active_layer})
    if (r) gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(r), TRUE);
  radio_suppress = 0;
  if (w.select_filter) gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(w.select_filter), FALSE);
  // A radio that is active already stores nothing; every selection starts
  // from these choices all the same.
  select_mode = 0;
  select_type = 1;
  select_all_layers = 0;
  select_filter.on = 0;
}

void mainwin_select_page_leave() { show_page(mainwin_current_page); }

void mainwin_refresh_pen_menus() {
  for (int page : penline_pages) bind_refresh_option_menu(mainwin_widgets.pen_menus[page]);
}

void mainwin_refresh_linetype_menus() {
  for (int page : penline_pages) bind_refresh_option_menu(mainwin_widgets.line_type_menus[page]);
}

void mainwin_size_labels_refresh() {
  for (int i = 0; i < 5; ++i)
    if (GtkWidget* label = mainwin_widgets.size_labels[i])
      gtk_label_set_text(GTK_LABEL(label),
                         gui_utf8(mainwin_size_text(static_cast<MainwinSize>(i)).c_str()).c_str());
}

void gui_preset_combos_refill() {
  const MainwinWidgets& w = mainwin_widgets;
  struct Row {
    GtkWidget* combo;
    const char* kind;
    const FixedText<NAME_LEN>* name;
  };
  const Row rows[] = {
      {w.combo_mat_3d, "mat", &material_preset.name},     {w.combo_mat_unit, "mat", &material_preset.name},
      {w.combo_wall, "wall", &wall_preset.name},          {w.combo_pattern, "pattern", &pattern_preset.name},
      {w.combo_text, "text", &text_preset.name},          {w.combo_dim, "dim", &dim_preset.name},
      {w.combo_opening, "opening", &opening_preset.name}, {w.combo_door, "door", &door_preset.name},
      {w.combo_window, "window", &window_preset.name},    {w.combo_room, "room", &room_preset.name},
      {w.combo_light, "light", &light_preset.name},
  };
  for (const Row& r : rows) {
    if (!r.combo) continue;
    // A copy: setting the text stores it into the name being read.
    const std::string name(r.name->c_str());
    bind_combo_fill_from_folder(r.combo, r.kind, name.c_str());
  }
}
