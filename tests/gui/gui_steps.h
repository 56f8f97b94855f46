#pragma once

// Driving the real boxes under a virtual display: steps that wait until
// their condition holds (a box has appeared, a chooser has loaded its
// folder) and then act as the user would, each from a fresh idle callback so
// that an act may itself wait. A guard ends every wait after a few seconds,
// so a test whose box never ends fails instead of hanging.
//
// The same steps drive the whole program (GuiProgramTest): started in a copy
// of the staged installation with an empty home folder, clicked and typed
// at through events that take the way a person's would, and quit when the
// steps are done; a guard quits it when a step never becomes ready.

#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <stdlib.h>

#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "display/command_buffer.h"
#include "display/gtk/view_gtk.h"
#include "display/gtk/wait_gtk.h"
#include "display/view.h"
#include "display/wait.h"
#include "model/defaults.h"
#include "model/elem.h"
#include "model/files/kavfile.h"
#include "model/files/load_save.h"
#include "model/layers.h"
#include "platform/process.h"
#include "shell/cmd_loop.h"
#include "shell/dlg_boxes.h"
#include "shell/dlg_table.h"
#include "shell/gtk/mainwin.h"
#include "shell/gtk/startup.h"
#include "shell/mainwin_tables.h"
#include "shell/shell_platform.h"
#include "support/temp_folder.h"

namespace gui_steps {

struct Step {
  std::function<bool()> ready;
  std::function<void()> act;
};

inline std::deque<Step>& queue() {
  static std::deque<Step> q;
  return q;
}
inline bool& gave_up() {
  static bool g = false;
  return g;
}

inline gboolean run_act(gpointer data) {
  auto* act = static_cast<std::function<void()>*>(data);
  (*act)();
  delete act;
  return G_SOURCE_REMOVE;
}

inline gboolean tick(gpointer) {
  auto& q = queue();
  if (q.empty() || !q.front().ready()) return G_SOURCE_CONTINUE;
  auto* act = new std::function<void()>(std::move(q.front().act));
  q.pop_front();
  g_idle_add(run_act, act);
  return G_SOURCE_CONTINUE;
}

inline gboolean give_up(gpointer) {
  gave_up() = true;
  queue().clear();
  for (int id = 0; id < DLG_COUNT; ++id) dlg_destroy(static_cast<DlgId>(id));
  while (wait_depth() > 0 && !wait_ended(wait_depth())) wait_end();
  return G_SOURCE_CONTINUE;
}

// The program's guard: the steps are dropped, and every 200 ms every box
// goes and Escape is posted until the program has quit.
inline guint& quitting() {
  static guint id = 0;
  return id;
}
inline gboolean quit_program(gpointer) {
  quit_requested = 1;
  for (int id = 0; id < DLG_COUNT; ++id) dlg_destroy(static_cast<DlgId>(id));
  cmd_put_key("p_nop");
  return G_SOURCE_CONTINUE;
}
inline gboolean give_up_program(gpointer) {
  gave_up() = true;
  queue().clear();
  quitting() = g_timeout_add(200, quit_program, nullptr);
  quit_program(nullptr);
  return G_SOURCE_REMOVE;
}

inline std::vector<GtkWidget*> children(GtkWidget* w) {
  std::vector<GtkWidget*> out;
  if (GTK_IS_CONTAINER(w))
    gtk_container_forall(
        GTK_CONTAINER(w),
        [](GtkWidget* c, gpointer l) { static_cast<std::vector<GtkWidget*>*>(l)->push_back(c); }, &out);
  return out;
}

// The menu item labelled text, in the menus below w.
inline GtkWidget* find_menu_item(GtkWidget* w, const char* text) {
  if (GTK_IS_MENU_ITEM(w)) {
    const char* label = gtk_menu_item_get_label(GTK_MENU_ITEM(w));
    if (label && std::strcmp(label, text) == 0) return w;
    if (GtkWidget* sub = gtk_menu_item_get_submenu(GTK_MENU_ITEM(w))) return find_menu_item(sub, text);
    return nullptr;
  }
  for (GtkWidget* c : children(w))
    if (GtkWidget* f = find_menu_item(c, text)) return f;
  return nullptr;
}

// A button whose label, or whose label child, reads text, anywhere below w.
inline GtkWidget* find_labelled_button(GtkWidget* w, const char* text) {
  if (GTK_IS_BUTTON(w)) {
    const char* label = gtk_button_get_label(GTK_BUTTON(w));
    GtkWidget* child = gtk_bin_get_child(GTK_BIN(w));
    if (!label && child && GTK_IS_LABEL(child)) label = gtk_label_get_text(GTK_LABEL(child));
    if (label && std::strcmp(label, text) == 0) return w;
  }
  for (GtkWidget* c : children(w))
    if (GtkWidget* f = find_labelled_button(c, text)) return f;
  return nullptr;
}

// The first visible top-level window other than the main window with a
// button labelled text; the button comes back through button.
inline GtkWidget* other_window(const char* text, GtkWidget** button) {
  GtkWidget* found = nullptr;
  GList* tops = gtk_window_list_toplevels();
  for (GList* l = tops; l && !found; l = l->next) {
    GtkWidget* top = GTK_WIDGET(l->data);
    if (top == main_window || !gtk_widget_get_visible(top)) continue;
    if ((*button = find_labelled_button(top, text))) found = top;
  }
  g_list_free(tops);
  return found;
}

// The whole screen, saved as name in the test output folder; the caller
// unrefs it. Null when the screen cannot be read.
inline GdkPixbuf* screenshot(const std::string& name, std::string* path = nullptr) {
  GdkWindow* root = gdk_get_default_root_window();
  GdkPixbuf* shot =
      gdk_pixbuf_get_from_window(root, 0, 0, gdk_window_get_width(root), gdk_window_get_height(root));
  if (!shot) return nullptr;
  std::filesystem::create_directories(KAVRO_TEST_OUTPUT_DIR);
  const std::string file = std::string(KAVRO_TEST_OUTPUT_DIR) + "/" + name;
  gdk_pixbuf_save(shot, file.c_str(), "png", nullptr, nullptr);
  if (path) *path = file;
  return shot;
}

// A condition that holds once cond has held for ticks polls in a row, so
// that the screen has caught up with the drawing before it is looked at.
inline std::function<bool()> steadily(std::function<bool()> cond, int ticks = 10) {
  auto count = std::make_shared<int>(0);
  return [cond = std::move(cond), ticks, count] {
    *count = cond() ? *count + 1 : 0;
    return *count >= ticks;
  };
}

// The text of the main window's prompt line.
inline std::string prompt() {
  return mainwin_widgets.prompt ? gtk_entry_get_text(GTK_ENTRY(mainwin_widgets.prompt)) : "";
}

// The drawing area of view 0.
inline GtkWidget* drawing_area() { return view_widgets[0]; }

// Puts an event into the display's queue, as the X server's events arrive:
// the main loop hands it to the widgets.
inline void put_event(GdkEvent* e, GdkDevice* device) {
  gdk_event_set_device(e, device);
  gdk_display_put_event(gdk_window_get_display(e->any.window), e);
  gdk_event_free(e);
}

// Moves the real pointer to pixel (x, y) of win; the X server reports the
// motion as it does for a person's hand. Returns the pointer (null without
// a window) and gives the window's origin on the screen.
inline GdkDevice* warp_pointer(GdkWindow* win, int x, int y, int* origin_x = nullptr,
                               int* origin_y = nullptr) {
  if (!win) return nullptr;
  GdkDevice* pointer = gdk_seat_get_pointer(gdk_display_get_default_seat(gdk_window_get_display(win)));
  int ox = 0, oy = 0;
  gdk_window_get_origin(win, &ox, &oy);
  gdk_device_warp(pointer, gdk_window_get_screen(win), ox + x, oy + y);
  if (origin_x) *origin_x = ox;
  if (origin_y) *origin_y = oy;
  return pointer;
}

// Moves the pointer to pixel (x, y) of win and presses and releases mouse
// button there.
inline void click_window(GdkWindow* win, int x, int y, unsigned button = 1) {
  if (!win) return;
  int ox = 0, oy = 0;
  GdkDevice* pointer = warp_pointer(win, x, y, &ox, &oy);
  for (GdkEventType type : {GDK_BUTTON_PRESS, GDK_BUTTON_RELEASE}) {
    GdkEvent* e = gdk_event_new(type);
    e->button.window = GDK_WINDOW(g_object_ref(win));
    e->button.time = GDK_CURRENT_TIME;
    e->button.x = x;
    e->button.y = y;
    e->button.x_root = ox + x;
    e->button.y_root = oy + y;
    e->button.button = button;
    put_event(e, pointer);
  }
}

// The buttons labelled text below w, in the order they stand.
inline void collect_buttons(GtkWidget* w, const char* text, std::vector<GtkWidget*>& out) {
  if (GTK_IS_BUTTON(w)) {
    const char* label = gtk_button_get_label(GTK_BUTTON(w));
    GtkWidget* child = gtk_bin_get_child(GTK_BIN(w));
    if (!label && child && GTK_IS_LABEL(child)) label = gtk_label_get_text(GTK_LABEL(child));
    if (label && std::strcmp(label, text) == 0) out.push_back(w);
  }
  for (GtkWidget* c : children(w)) collect_buttons(c, text, out);
}

// The index-th button labelled text on the tool page of that title.
inline GtkWidget* page_button(const char* page, const char* text, std::size_t index = 0) {
  GtkNotebook* book = GTK_NOTEBOOK(mainwin_widgets.notebook);
  const auto pages = mainwin_tool_pages();
  std::vector<GtkWidget*> found;
  for (std::size_t i = 0; i < pages.size(); ++i)
    if (std::string(pages[i].title) == page)
      collect_buttons(gtk_notebook_get_nth_page(book, static_cast<int>(i)), text, found);
  return index < found.size() ? found[index] : nullptr;
}

// Moves the pointer onto the middle of widget and presses and releases the
// left button there, as a person clicks a button of a tool page.
inline void click_widget(GtkWidget* widget) {
  // A button takes its clicks through an input-only window of its own.
  GdkWindow* parent = gtk_widget_get_window(widget);
  GdkWindow* win = nullptr;
  for (GList* l = parent ? gdk_window_peek_children(parent) : nullptr; l; l = l->next) {
    gpointer owner = nullptr;
    gdk_window_get_user_data(GDK_WINDOW(l->data), &owner);
    if (owner == widget) win = GDK_WINDOW(l->data);
  }
  GtkAllocation a;
  gtk_widget_get_allocation(widget, &a);
  int x = a.width / 2, y = a.height / 2;
  if (!win) {
    win = parent;
    x += a.x;
    y += a.y;
  }
  click_window(win, x, y);
}

// The same in the drawing area.
inline void click_view(int x, int y, unsigned button = 1) {
  GtkWidget* area = drawing_area();
  click_window(area ? gtk_widget_get_window(area) : nullptr, x, y, button);
}

// Presses and releases the key of keyval in the window that holds widget
// (the main window when null).
inline void press_key(guint keyval, GtkWidget* widget = nullptr) {
  GtkWidget* top = widget ? gtk_widget_get_toplevel(widget) : main_window;
  GdkWindow* win = top ? gtk_widget_get_window(top) : nullptr;
  if (!win) return;
  GdkDisplay* display = gdk_window_get_display(win);
  GdkKeymapKey* keys = nullptr;
  gint n = 0;
  guint16 code = 0;
  if (gdk_keymap_get_entries_for_keyval(gdk_keymap_get_for_display(display), keyval, &keys, &n) && n > 0)
    code = static_cast<guint16>(keys[0].keycode);
  g_free(keys);
  // The text the key types, as the X server's key events carry it (some
  // widgets read it rather than the key value).
  char text[8] = {};
  if (const gunichar c = gdk_keyval_to_unicode(keyval); c >= 0x20 && c != 0x7f) g_unichar_to_utf8(c, text);
  for (GdkEventType type : {GDK_KEY_PRESS, GDK_KEY_RELEASE}) {
    GdkEvent* e = gdk_event_new(type);
    e->key.window = GDK_WINDOW(g_object_ref(win));
    e->key.time = GDK_CURRENT_TIME;
    e->key.keyval = keyval;
    e->key.hardware_keycode = code;
    e->key.string = g_strdup(text);
    e->key.length = static_cast<gint>(std::strlen(text));
    put_event(e, gdk_seat_get_keyboard(gdk_display_get_default_seat(display)));
  }
}

// Types text key by key (ASCII).
inline void type_text(const char* text, GtkWidget* widget = nullptr) {
  for (const char* c = text; *c; ++c)
    press_key(gdk_unicode_to_keyval(static_cast<unsigned char>(*c)), widget);
}

}  // namespace gui_steps

class GuiBoxTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // No desktop services under the virtual display.
    g_setenv("GSETTINGS_BACKEND", "memory", TRUE);
    g_setenv("NO_AT_BRIDGE", "1", TRUE);
    ASSERT_TRUE(gtk_init_check(nullptr, nullptr)) << "needs a display (run under xvfb-run)";
  }
  void SetUp() override {
    previous_backend_ = wait_set_backend(wait_gtk_backend());
    previous_platform_ = shell_platform_install(ShellPlatform{});
    saved_rows_ = dlg_rows();
    dlg_use_gtk();
    gui_steps::queue().clear();
    gui_steps::gave_up() = false;
    tick_ = g_timeout_add(10, gui_steps::tick, nullptr);
    guard_ = g_timeout_add(30000, gui_steps::give_up, nullptr);
  }
  void TearDown() override {
    g_source_remove(tick_);
    g_source_remove(guard_);
    EXPECT_FALSE(gui_steps::gave_up()) << "a box was still waiting after 30 s";
    EXPECT_TRUE(gui_steps::queue().empty()) << "steps left that never became ready";
    gui_steps::queue().clear();
    for (int id = 0; id < DLG_COUNT; ++id) dlg_destroy(static_cast<DlgId>(id));
    settle();
    dlg_rows() = saved_rows_;
    shell_platform_install(previous_platform_);
    wait_set_backend(previous_backend_);
  }

  // Runs pending events without waiting.
  static void settle() {
    while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
  }

  // When ready() holds, act() runs.
  static void then(std::function<bool()> ready, std::function<void()> act) {
    gui_steps::queue().push_back({std::move(ready), std::move(act)});
  }
  // As soon as the dialog of slot id exists.
  static void when_shown(DlgId id, std::function<void(GtkWidget*)> act) {
    then([id] { return dlg_slots[id] != nullptr; },
         [id, act] {
           if (dlg_slots[id]) act(static_cast<GtkWidget*>(dlg_slots[id]));
         });
  }

  // Every widget under root, internal children included.
  static void collect(GtkWidget* root, std::vector<GtkWidget*>& out) {
    out.push_back(root);
    if (!GTK_IS_CONTAINER(root)) return;
    gtk_container_forall(
        GTK_CONTAINER(root),
        [](GtkWidget* w, gpointer data) { collect(w, *static_cast<std::vector<GtkWidget*>*>(data)); }, &out);
  }
  static GtkWidget* find_button(GtkWidget* root, const std::string& label) {
    std::vector<GtkWidget*> all;
    collect(root, all);
    for (GtkWidget* w : all) {
      if (!GTK_IS_BUTTON(w)) continue;
      const char* l = gtk_button_get_label(GTK_BUTTON(w));
      if (l && label == l) return w;
    }
    return nullptr;
  }
  static std::string label_texts(GtkWidget* root) {
    std::vector<GtkWidget*> all;
    collect(root, all);
    std::string out;
    for (GtkWidget* w : all)
      if (GTK_IS_LABEL(w) && !GTK_IS_ACCEL_LABEL(w))
        out += std::string(gtk_label_get_text(GTK_LABEL(w))) + "|";
    return out;
  }
  // The shown top-level windows with this title.
  static std::vector<GtkWidget*> windows_titled(const std::string& title) {
    std::vector<GtkWidget*> out;
    GList* all = gtk_window_list_toplevels();
    for (GList* l = all; l; l = l->next) {
      auto w = GTK_WIDGET(l->data);
      const char* t = gtk_window_get_title(GTK_WINDOW(w));
      if (t && title == t && gtk_widget_get_visible(w)) out.push_back(w);
    }
    g_list_free(all);
    return out;
  }

 private:
  WaitBackend* previous_backend_ = nullptr;
  ShellPlatform previous_platform_;
  std::vector<DlgRow> saved_rows_;
  guint tick_ = 0, guard_ = 0;
};

// The whole program, as a person starts it: in a fresh copy of the staged
// installation, with an empty home folder.
class GuiProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // No desktop services under the virtual display.
    g_setenv("GSETTINGS_BACKEND", "memory", TRUE);
    g_setenv("NO_AT_BRIDGE", "1", TRUE);
    install_ = folder_ / "install";
    home_ = folder_ / "home";
    std::filesystem::copy(KAVRO_STAGE_DIR, install_, std::filesystem::copy_options::recursive);
    std::filesystem::create_directories(home_);
    const char* home = std::getenv("HOME");
    old_home_ = home ? home : "";
    setenv("HOME", home_.c_str(), 1);
    old_dir_ = std::filesystem::current_path();
    std::filesystem::current_path(install_);
    gui_steps::queue().clear();
    gui_steps::gave_up() = false;
  }

  void TearDown() override {
    std::filesystem::current_path(old_dir_);
    setenv("HOME", old_home_.c_str(), 1);
    gui_steps::queue().clear();
  }

  // A drawing of n vertical lines, written as the program writes drawings,
  // and the drawing in memory emptied again.
  static void write_lines_drawing(const std::filesystem::path& path, int n) {
    main_init_defaults();
    for (int i = 0; i < n; ++i) elem_new_line(0, 3, 0, i, 0, i, 5);
    EXPECT_EQ(kavfile_write_file(path.string(), kavfile_write_drawing, "open", "write"), 1);
    drawing_free();
    drawing_modified = 0;
  }

  // When ready() holds, act() runs on the program's main loop.
  static void then(std::function<bool()> ready, std::function<void()> act) {
    gui_steps::queue().push_back({std::move(ready), std::move(act)});
  }

  // Runs the program with these arguments through the queued steps; the
  // last step should quit it. Gives up after limit_ms. Returns the exit
  // status; what it printed goes to out. With install, the program is
  // started as its executable starts it from that folder.
  int run_program(std::vector<std::string> args, std::string* out, guint limit_ms = 60000,
                  const std::string& install = {}) {
    std::vector<char*> argv;
    args.insert(args.begin(), "kavro");
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    const guint tick = g_timeout_add(20, gui_steps::tick, nullptr);
    const guint guard = g_timeout_add(limit_ms, gui_steps::give_up_program, nullptr);
    testing::internal::CaptureStdout();
    const int status = kavro_main(static_cast<int>(args.size()), argv.data(), install);
    const std::string printed = testing::internal::GetCapturedStdout();
    if (out) *out = printed;
    g_source_remove(tick);
    if (gui_steps::quitting())
      g_source_remove(gui_steps::quitting());
    else
      g_source_remove(guard);
    gui_steps::quitting() = 0;
    EXPECT_FALSE(gui_steps::gave_up())
        << "the program was still waiting for a step after " << limit_ms << " ms; it printed:\n"
        << printed;
    EXPECT_TRUE(gui_steps::queue().empty()) << "steps left that never became ready";
    return status;
  }

  // The program waits for a function at its prompt.
  static bool idle() { return main_window && view_surface(0) && gui_steps::prompt() == "Select function:"; }
  // The about box shown at the start, and its Close button pressed.
  static bool about_shown() {
    GtkWidget* close = nullptr;
    return gui_steps::other_window("Close", &close) != nullptr;
  }
  static void close_about() {
    GtkWidget* close = nullptr;
    gui_steps::other_window("Close", &close);
    if (close) gtk_button_clicked(GTK_BUTTON(close));
  }

  // Activates the main window's menu item with this label.
  static void choose_menu(const char* label) {
    GtkWidget* item = gui_steps::find_menu_item(main_window, label);
    ASSERT_NE(item, nullptr) << label;
    gtk_menu_item_activate(GTK_MENU_ITEM(item));
  }
  // The item labelled label in the submenu of the item labelled menu
  // ("Import", "3DS").
  static void choose_submenu(const char* menu, const char* label) {
    GtkWidget* parent = gui_steps::find_menu_item(main_window, menu);
    ASSERT_NE(parent, nullptr) << menu;
    GtkWidget* item = gui_steps::find_menu_item(gtk_menu_item_get_submenu(GTK_MENU_ITEM(parent)), label);
    ASSERT_NE(item, nullptr) << menu << " > " << label;
    gtk_menu_item_activate(GTK_MENU_ITEM(item));
  }
  // Answers the question box that offers text by pressing it.
  static void answer(const char* text) {
    then(
        [text] {
          GtkWidget* b = nullptr;
          return gui_steps::other_window(text, &b) != nullptr;
        },
        [text] {
          GtkWidget* b = nullptr;
          gui_steps::other_window(text, &b);
          ASSERT_NE(b, nullptr) << text;
          gtk_button_clicked(GTK_BUTTON(b));
        });
  }

  // Clicks (x, y) of the drawing area once the prompt reads when.
  static void click_at(const char* when, int x, int y) {
    const std::string p = when;
    then([p] { return gui_steps::prompt() == p; }, [x, y] { gui_steps::click_view(x, y); });
  }

  static GtkFileChooser* chooser() { return GTK_FILE_CHOOSER(dlg_slots[DLG_FILESEL]); }
  // Presses the file chooser's OK.
  static void ok() {
    GtkWidget* ok = gui_steps::find_labelled_button(static_cast<GtkWidget*>(dlg_slots[DLG_FILESEL]), "OK");
    ASSERT_NE(ok, nullptr);
    gtk_button_clicked(GTK_BUTTON(ok));
  }
  // Once the file chooser is there it is sent to folder; act runs when it
  // shows that folder.
  static void in_folder(const std::filesystem::path& folder, std::function<void()> act) {
    then([] { return dlg_slots[DLG_FILESEL] != nullptr; },
         [folder] { gtk_file_chooser_set_current_folder(chooser(), folder.c_str()); });
    then(
        [folder] {
          if (!dlg_slots[DLG_FILESEL]) return false;
          gchar* f = gtk_file_chooser_get_current_folder(chooser());
          const bool there = f && std::filesystem::path(f) == folder;
          g_free(f);
          return there;
        },
        std::move(act));
  }
  // In the test's folder.
  void in_folder(std::function<void()> act) const { in_folder(folder_.path(), std::move(act)); }
  // Answers a save chooser with name in the test's folder; the next step
  // waits until idle() holds again, the chooser is gone and the file is
  // written.
  void save_file(const std::string& name, std::function<bool()> idle = GuiProgramTest::idle) const {
    in_folder([name] {
      gtk_file_chooser_set_current_name(chooser(), name.c_str());
      ok();
    });
    const std::filesystem::path file = folder_ / name;
    then([file, idle] { return idle() && !dlg_slots[DLG_FILESEL] && std::filesystem::exists(file); }, [] {});
  }
  // Presses OK once the chooser has held the file path for a few polls. A
  // selection made while the chooser still reads its folder can be
  // forgotten, also just after it was seen: the file is selected again until
  // the chooser keeps it.
  static void choose_file(const std::filesystem::path& path) {
    then(gui_steps::steadily(
             [path] {
               if (!dlg_slots[DLG_FILESEL]) return false;
               gchar* f = gtk_file_chooser_get_filename(chooser());
               const bool chosen = f && path == f;
               g_free(f);
               if (!chosen) gtk_file_chooser_select_filename(chooser(), path.c_str());
               return chosen;
             },
             5),
         ok);
  }
  // Answers an open chooser with the file path: sent to its folder, the
  // file selected there until the chooser holds it, then OK.
  static void open_file(const std::filesystem::path& path) {
    in_folder(path.parent_path(), [path] { gtk_file_chooser_select_filename(chooser(), path.c_str()); });
    choose_file(path);
  }

  // Saves through the menu's Save once idle() holds, answering the chooser
  // with name in the test's folder; the next step waits until the file is
  // written.
  void save_as(const std::string& name, std::function<bool()> idle = GuiProgramTest::idle) const {
    then(idle, [] { choose_menu("Save"); });
    save_file(name, std::move(idle));
  }

  // Runs an outside program (argv, no shell) to look at what the program
  // made; its exit status goes to status (-1 when it did not start) and
  // what it printed comes back.
  std::string tool(std::vector<std::string> argv, int* status) const {
    ProcessRequest r;
    r.argv = std::move(argv);
    r.stdout_path = (folder_ / "tool.out").string();
    r.stderr_path = (folder_ / "tool.err").string();
    const ProcessResult result = process_start(r);
    *status = result.started ? result.exit_status : -1;
    std::ostringstream s;
    s << std::ifstream(folder_ / "tool.out").rdbuf() << std::ifstream(folder_ / "tool.err").rdbuf();
    return s.str();
  }

  TempFolder folder_;
  std::filesystem::path install_, home_, old_dir_;
  std::string old_home_;
};
