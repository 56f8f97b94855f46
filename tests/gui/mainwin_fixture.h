#pragma once

// The main window built in the test's process under a virtual display, in
// the staged installation folder (where its pictures are), with the built-in
// defaults and the main window's ui entries; the view fits it asks for are
// counted.

#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "display/command_buffer.h"
#include "display/gtk/wait_gtk.h"
#include "display/wait.h"
#include "model/ui.h"
#include "shell/cmd_buttons.h"
#include "shell/cmd_loop.h"
#include "shell/gtk/bind.h"
#include "shell/gtk/cmd_gtk.h"
#include "shell/gtk/mainwin.h"
#include "shell/gtk/mainwin_bars.h"
#include "shell/gtk/startup.h"
#include "support/model_fixture.h"

inline int& zoom_count() {
  static int n = 0;
  return n;
}

class MainwinTest : public ModelTest {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(gtk_init_check(nullptr, nullptr)) << "needs a display (run under xvfb-run)";
    gui_style_install_builtin();
    g_log_set_always_fatal(static_cast<GLogLevelFlags>(G_LOG_FATAL_MASK | G_LOG_LEVEL_CRITICAL));
  }

  void SetUp() override {
    ModelTest::SetUp();
    old_dir_ = std::filesystem::current_path();
    std::filesystem::current_path(KAVRO_STAGE_DIR);
    previous_ui_ = ui_install(UiTable{});
    previous_backend_ = wait_set_backend(wait_gtk_backend());
    cmd_install_shell_hooks();
    cmd_buttons_use_gtk();
    active_b_button = CmdButtonSlot{};
    active_f_button = CmdButtonSlot{};
    mainwin_install_ui();
    UiTable t = ui();
    t.view_zoom_to_extents = [](int) { ++zoom_count(); };
    ui_install(t);
    zoom_count() = 0;
    command_key = "nop";
    window = mainwin_build();
    gtk_widget_show(window);
    settle();
  }

  void TearDown() override {
    if (mainwin_widgets.window) gtk_widget_destroy(mainwin_widgets.window);
    settle();
    active_b_button = CmdButtonSlot{};
    active_f_button = CmdButtonSlot{};
    cmd_button_ops_install(CmdButtonOps{});
    wait_set_backend(previous_backend_);
    ui_install(previous_ui_);
    std::filesystem::current_path(old_dir_);
    ModelTest::TearDown();
  }

  static void settle() {
    while (gtk_events_pending()) gtk_main_iteration();
  }

  static bool has_command(GtkWidget* w) {
    return g_signal_handler_find(w, G_SIGNAL_MATCH_FUNC, 0, 0, nullptr,
                                 reinterpret_cast<gpointer>(cmd_post_key), nullptr) != 0;
  }

  static void children_of(GtkWidget* w, std::vector<GtkWidget*>& out) {
    gtk_container_forall(
        GTK_CONTAINER(w),
        [](GtkWidget* c, gpointer list) { static_cast<std::vector<GtkWidget*>*>(list)->push_back(c); }, &out);
  }

  // The widgets below w that post a command key, in the order a person reads
  // them: boxes in packing order, tables row by row, notebook pages in order,
  // menus with their submenus.
  static void command_widgets(GtkWidget* w, std::vector<GtkWidget*>& out) {
    if (has_command(w)) out.push_back(w);
    if (GTK_IS_MENU_ITEM(w)) {
      if (GtkWidget* sub = gtk_menu_item_get_submenu(GTK_MENU_ITEM(w))) command_widgets(sub, out);
      return;
    }
    if (!GTK_IS_CONTAINER(w)) return;
    std::vector<GtkWidget*> kids;
    if (GTK_IS_NOTEBOOK(w)) {
      for (int i = 0; i < gtk_notebook_get_n_pages(GTK_NOTEBOOK(w)); ++i)
        kids.push_back(gtk_notebook_get_nth_page(GTK_NOTEBOOK(w), i));
    } else {
      children_of(w, kids);
    }
    if (GTK_IS_GRID(w)) {
      auto cell = [w](GtkWidget* c) {
        int top = 0, left = 0;
        gtk_container_child_get(GTK_CONTAINER(w), c, "top-attach", &top, "left-attach", &left, nullptr);
        return std::pair(top, left);
      };
      std::stable_sort(kids.begin(), kids.end(),
                       [&](GtkWidget* a, GtkWidget* b) { return cell(a) < cell(b); });
    }
    for (GtkWidget* k : kids) command_widgets(k, out);
  }

  static std::vector<GtkWidget*> command_widgets(GtkWidget* w) {
    std::vector<GtkWidget*> out;
    if (w) command_widgets(w, out);
    return out;
  }

  // Activates a command widget as a click or menu choice does; returns the key posted.
  static std::string activate(GtkWidget* w) {
    command_key = "nop";
    if (GTK_IS_MENU_ITEM(w))
      gtk_menu_item_activate(GTK_MENU_ITEM(w));
    else
      gtk_button_clicked(GTK_BUTTON(w));
    return command_key.c_str();
  }

  static bool pressed(GtkWidget* w) { return w && gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(w)); }

  GtkWidget* window = nullptr;

 private:
  std::filesystem::path old_dir_;
  UiTable previous_ui_;
  WaitBackend* previous_backend_ = nullptr;
};
