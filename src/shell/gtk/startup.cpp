#include "shell/gtk/startup.h"

#include <clocale>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "building/solid/mesh_boolean.h"
#include "dialogs/dialogs_install.h"
#include "dialogs/dlg_small.h"
#include "display/command_buffer.h"
#include "display/display_init.h"
#include "display/draw.h"
#include "display/gtk/wait_gtk.h"
#include "display/input.h"
#include "display/outdev.h"
#include "display/view.h"
#include "display/view_commands.h"
#include "display/wait.h"
#include "exchange/printer_setup.h"
#include "model/consts.h"
#include "model/defaults.h"
#include "model/elem.h"
#include "model/files/load_save.h"
#include "model/files/prefs.h"
#include "model/layers.h"
#include "model/redraw.h"
#include "model/settings.h"
#include "model/ui.h"
#include "platform/own_folder.h"
#include "shell/cmd_buttons.h"
#include "shell/cmd_commands.h"
#include "shell/cmd_loop.h"
#include "shell/dlg_boxes.h"
#include "shell/fontchange.h"
#include "shell/gtk/cmd_gtk.h"
#include "shell/gtk/mainwin.h"
#include "shell/gtk/mainwin_bars.h"
#include "shell/nls_table.h"
#include "shell/shell_platform.h"
#include "shell/value_entry.h"

GtkWidget* main_window = nullptr;
guint backup_timer_id = 0;
guint hover_timer_id = 0;

namespace {

namespace fs = std::filesystem;

void say(const std::string& line) {
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

gboolean on_hover_tick(gpointer) {
  input_hover_timer();
  return TRUE;
}

void add_backup_timer() {
  const unsigned seconds = startup_backup_seconds(backup_interval);
  backup_timer_id = seconds ? g_timeout_add_seconds(seconds, mainwin_on_autobackup, nullptr) : 0;
}

void remove_timer(guint& id) {
  if (id) g_source_remove(id);
  id = 0;
}

// View 0: the whole drawing and the title.
void draw_main_view(int k) {
  if (k != 0) return;
  view_redraw();
  mainwin_update_title();
}

// The drawing area of view 0 gets its size in the first passes of the main
// loop; the command loop fits the drawing into it, so it waits for that
// (a little while at most).
void wait_for_first_configure() {
  bool late = false;
  const guint timer = g_timeout_add(
      3000,
      [](gpointer flag) -> gboolean {
        *static_cast<bool*>(flag) = true;
        return G_SOURCE_REMOVE;
      },
      &late);
  while (!view_surface(0) && !late && main_window) g_main_context_iteration(nullptr, TRUE);
  if (!late) g_source_remove(timer);
}

}  // namespace

std::string startup_base_dir(const std::string& home, const std::optional<std::string>& base_file) {
  const std::string fallback = home + "/KAVRO3/";
  if (!base_file) return fallback;
  const std::size_t end = base_file->find_first_of("\r\n");
  if (end == std::string::npos || end == 0) return fallback;
  std::string dir = base_file->substr(0, end);
  if (dir.back() != '/') dir += '/';
  if (dir.size() >= PATH_LEN) {
    say("The base folder in .kavro3/kavro.base is too long; " + fallback + " is used.");
    return fallback;
  }
  return dir;
}

std::string startup_read_base_dir(const std::string& home) {
  std::ifstream in(home + "/.kavro3/kavro.base", std::ios::binary);
  if (!in) return startup_base_dir(home, std::nullopt);
  std::string text(std::istreambuf_iterator<char>(in), {});
  return startup_base_dir(home, text);
}

std::optional<std::string> startup_drawing_argument(const char* arg) {
  if (!arg || !*arg) return std::string();
  std::error_code ec;
  fs::path p = fs::absolute(fs::path(arg), ec);
  std::string path = ec ? std::string(arg) : p.string();
  if (path.size() >= PATH_LEN) {
    say("The drawing path is too long (at most " + std::to_string(PATH_LEN - 1) + " bytes): " + path);
    return std::nullopt;
  }
  return path;
}

unsigned startup_backup_seconds(int interval_minutes) {
  if (interval_minutes <= 0) return 0;
  if (interval_minutes > BACKUP_INTERVAL_MAX) interval_minutes = BACKUP_INTERVAL_MAX;
  return static_cast<unsigned>(interval_minutes) * 60u;
}

void gui_style_install_builtin() {
  static GtkCssProvider* builtin = nullptr;
  GdkScreen* screen = gdk_screen_get_default();
  if (builtin || !screen) return;
  builtin = gtk_css_provider_new();
  static const char css[] =
      "button { padding: 1px; min-height: 0; min-width: 0; }\n"
      "entry { padding-top: 1px; padding-bottom: 1px; min-height: 0; }\n"
      "combobox button, combobox entry { padding-top: 0; padding-bottom: 0; }\n"
      "menubar > menuitem { padding: 2px 6px; min-height: 0; }\n"
      "frame > label { padding: 0; }\n";
  gtk_css_provider_load_from_data(builtin, css, -1, nullptr);
  gtk_style_context_add_provider_for_screen(screen, GTK_STYLE_PROVIDER(builtin),
                                            GTK_STYLE_PROVIDER_PRIORITY_APPLICATION - 1);
}

bool gui_init() {
  // The toolkit would set the whole locale from the environment again when
  // it starts, numbers included; the program does it here instead.
  gtk_disable_setlocale();
  std::setlocale(LC_ALL, "");
  for (int i = 0; i < language_count && i < static_cast<int>(languages.size()); ++i) {
    if (languages[i] != chosen_language) continue;
    const char* locale = language_locales[i].c_str();
    if (std::setlocale(LC_ALL, locale))
      std::printf("setting locale to %s\n", locale);
    else
      std::printf("failed to set locale to %s\nworkaround: export LANG to %s\n", locale, locale);
  }
  std::setlocale(LC_NUMERIC, "C");
  std::fflush(stdout);
  if (!gtk_init_check(nullptr, nullptr)) {
    say("Kavro cannot open the display.");
    return false;
  }
  std::setlocale(LC_NUMERIC, "C");
  gui_style_install_builtin();
  gui_style_load(gui_style_find());
  return true;
}

void mainwin_install_ui() {
  UiTable t = ui();
  t.undo_button_enable = [](bool on) { on ? mainwin_undo_button_enable() : mainwin_undo_button_disable(); };
  t.redo_button_enable = [](bool on) { on ? mainwin_redo_button_enable() : mainwin_redo_button_disable(); };
  t.mainwin_set_prompt = mainwin_set_prompt;
  t.mainwin_set_scale_label = mainwin_set_scale_label;
  t.mainwin_set_coord_x = mainwin_set_coord_x;
  t.mainwin_set_coord_y = mainwin_set_coord_y;
  t.mainwin_snap_buttons_enable = mainwin_snap_buttons_enable;
  t.mainwin_snap_buttons_disable = mainwin_snap_buttons_disable;
  t.mainwin_select_page_enter = [](int v) { mainwin_select_page_enter(v ? 1 : 0); };
  t.mainwin_select_page_leave = mainwin_select_page_leave;
  t.mainwin_update_title = mainwin_update_title;
  t.mainwin_toolbar_toggles_refresh = mainwin_toolbar_toggles_refresh;
  t.gui_reset_after_load = gui_reset_after_load;
  t.gui_reset_dialogs_after_settings = gui_reset_dialogs_after_settings;
  t.mainwin_select_view = mainwin_select_view;
  t.mainwin_value_entry_open = mainwin_value_entry_open;
  t.mainwin_value_entry_close = mainwin_value_entry_close;
  t.dlg_camera_set_angle = dlg_camera_set_angle;
  ui_install(t);

  ShellPlatform p = shell_platform();
  p.mainwin_show_tool_page = [](const char* name) { mainwin_show_tool_page(nullptr, name); };
  p.mainwin_refresh_pen_menus = mainwin_refresh_pen_menus;
  p.mainwin_refresh_linetype_menus = mainwin_refresh_linetype_menus;
  p.mainwin_size_labels_refresh = mainwin_size_labels_refresh;
  p.mainwin_rebuild = mainwin_rebuild;
  if (p.dlg_preview_draw == shell_platform_silent::view) p.dlg_preview_draw = draw_main_view;
  shell_platform_install(p);
}

void mainwin_start() {
  main_window = mainwin_build();
  if (!main_window || !GTK_IS_WIDGET(main_window)) {
    main_window = nullptr;
    return;
  }
  gtk_widget_show(main_window);
  g_signal_connect(main_window, "delete-event", G_CALLBACK(mainwin_on_delete), nullptr);
  add_backup_timer();
  hover_timer_id = g_timeout_add(10, on_hover_tick, nullptr);
}

void mainwin_stop() {
  remove_timer(hover_timer_id);
  remove_timer(backup_timer_id);
  if (main_window && GTK_IS_WIDGET(main_window)) gtk_widget_destroy(main_window);
  main_window = nullptr;
}

void mainwin_rebuild() {
  mainwin_stop();
  view_free_all();
  mainwin_start();
  mainwin_size_labels_refresh();
  // The new status line starts at "1:1"; the view kept its scale.
  view_show_scale();
}

void mainwin_restart_autobackup() {
  remove_timer(backup_timer_id);
  add_backup_timer();
}

gboolean mainwin_on_autobackup(gpointer) {
  if (autobackup && drawing_modified) kavfile_save_drawing(1);
  return TRUE;
}

void mainwin_set_title(const char* text) {
  if (main_window && GTK_IS_WINDOW(main_window))
    gtk_window_set_title(GTK_WINDOW(main_window), text ? text : "");
}

int main_exit_free_drawing(int) {
  drawing_free();
  return 1;
}

int kavro_main(int argc, char** argv, const std::string& install) {
  const std::string home = prefs_home();
  base_dir = startup_read_base_dir(home);

  std::optional<std::string> drawing = std::string();
  if (argc > 1) {
    drawing = startup_drawing_argument(argv[1]);
    if (drawing && !drawing->empty()) say(*drawing);
  }
  if (!install.empty()) {
    start_folder_remember();
    std::error_code ec;
    fs::current_path(install, ec);
    if (ec) say("Cannot change to the program's folder " + install + ": " + ec.message());
    mesh_boolean_tool = install + "/gts_bso";
  }

  nls_load();
  if (!gui_init()) return 1;
  wait_set_backend(wait_gtk_backend());
  display_init();
  cmd_buttons_use_gtk();
  dlg_install_ui();
  gui_font_add_rows();
  mainwin_install_ui();
  dialogs_install();

  main_init_defaults();
  outdev_init_screen_slots();
  prefs_load(0);
  if (preset_load_hook)
    for (const char* kind :
         {"wall", "room", "text", "dim", "opening", "window", "door", "mat", "pattern", "light"})
      preset_load_hook(kind);

  mainwin_start();
  view_init(cur_view);
  wait_for_first_configure();

  drawing_file = std::string(draw_path.c_str()) + DRAWING_UNNAMED;
  import_file = import_path.view();
  symbol_save_file = symbol_path.view();
  export_file = export_path.view();
  if (const std::string tmp = home + "/.kavro3/tmp/"; tmp.size() < PATH_LEN) tmp_dir = tmp;

  if (drawing && !drawing->empty()) {
    // The command loop fits the view to the drawing and draws it as it
    // starts: the load leaves both to it, since a pass over a large drawing
    // for a fit that is taken again at once costs a noticeable part of the
    // start.
    RedrawTable quiet = redraw();
    quiet.view_zoom_to_extents = redraw_silent::mode;
    const RedrawTable before = redraw_install(quiet);
    view_redraw_hold();
    kavfile_load_start_drawing(*drawing);
    view_redraw_release(true);
    redraw_install(before);
  }
  printer_setup_init();

  cmd_loop();

  mainwin_stop();
  main_exit_free_drawing(0);
  nls_save_language();
  return 0;
}
