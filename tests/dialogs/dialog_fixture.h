#pragma once

// The object-kind dialogs under a virtual display, as the program has them:
// the main window with its tool-page combos, the dialog keys in the dialog
// table, the previews drawn into the dialogs' own views, and a dialog
// folder of the test's own holding the installation's presets. Error boxes
// are recorded.

#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "dialogs/dialogs_install.h"
#include "dialogs/dlg_frame.h"
#include "display/command_buffer.h"
#include "display/display_init.h"
#include "display/display_state.h"
#include "display/gtk/view_gtk.h"
#include "display/gtk/wait_gtk.h"
#include "display/outdev.h"
#include "display/view.h"
#include "display/wait.h"
#include "model/settings.h"
#include "shell/cmd_loop.h"
#include "shell/dlg_boxes.h"
#include "shell/dlg_table.h"
#include "shell/gtk/bind.h"
#include "shell/gtk/mainwin.h"
#include "shell/gtk/startup.h"
#include "shell/shell_platform.h"
#include "support/model_fixture.h"
#include "support/recording_ui.h"
#include "support/temp_folder.h"

class DialogTest : public ModelTest {
 protected:
  static void SetUpTestSuite() {
    // No desktop services under the virtual display.
    g_setenv("GSETTINGS_BACKEND", "memory", TRUE);
    g_setenv("NO_AT_BRIDGE", "1", TRUE);
    ASSERT_TRUE(gtk_init_check(nullptr, nullptr)) << "needs a display (run under xvfb-run)";
    gui_style_install_builtin();
    g_log_set_always_fatal(static_cast<GLogLevelFlags>(G_LOG_FATAL_MASK | G_LOG_LEVEL_CRITICAL));
  }

  void SetUp() override {
    ModelTest::SetUp();
    display_state_reset();
    outdev_init_screen_slots();
    old_dir_ = std::filesystem::current_path();
    std::filesystem::current_path(KAVRO_STAGE_DIR);
    std::filesystem::copy(std::filesystem::path(KAVRO_STAGE_DIR) / "dat/dia", home / "dia",
                          std::filesystem::copy_options::recursive);
    home.make_folder("ttf");
    home.make_folder("tex");
    dialog_path = home.path().string() + "/dia/";
    base_dir = home.path().string() + "/";
    ui_ = std::make_unique<RecordingUi>();
    previous_platform_ = shell_platform_install(ShellPlatform{});
    previous_backend_ = wait_set_backend(wait_gtk_backend());
    cmd_install_shell_hooks();
    dlg_use_gtk();
    mainwin_install_ui();
    display_init();
    dialogs_install();
    command_key = "nop";
    testing::internal::CaptureStdout();
    main = mainwin_build();
    gtk_widget_show(main);
    settle();
  }

  void TearDown() override {
    for (int id = 0; id < DLG_COUNT; ++id) dlg_destroy(static_cast<DlgId>(id));
    if (mainwin_widgets.window) gtk_widget_destroy(mainwin_widgets.window);
    settle();
    testing::internal::GetCapturedStdout();
    view_free_all();
    wait_set_backend(previous_backend_);
    shell_platform_install(previous_platform_);
    ui_.reset();
    std::filesystem::current_path(old_dir_);
    ModelTest::TearDown();
  }

  static void settle() {
    while (gtk_events_pending()) gtk_main_iteration();
  }

  // What the program wrote to standard output since the last call.
  static std::string stdout_text() {
    std::string out = testing::internal::GetCapturedStdout();
    testing::internal::CaptureStdout();
    return out;
  }

  // Posts an opening or closing key as a button does, and lets the windows settle.
  static GtkWidget* key(const char* k, DlgId slot) {
    cmd_post_key(nullptr, k);
    settle();
    return static_cast<GtkWidget*>(dlg_slots[slot]);
  }
  static GtkWidget* open(const PresetDialog& d) { return key(d.open_key, d.slot); }

  static GtkWidget* entry_of(GtkWidget* combo) { return gtk_bin_get_child(GTK_BIN(combo)); }
  static std::string text_of(GtkWidget* entry) { return gtk_entry_get_text(GTK_ENTRY(entry)); }
  static void type_and_enter(GtkWidget* entry, const char* utf8) {
    gtk_entry_set_text(GTK_ENTRY(entry), utf8);
    gtk_widget_activate(entry);
    settle();
  }
  // Types a name into a preset combo, as a person does, character by character.
  static void type_name(GtkWidget* combo, const std::string& name) {
    GtkWidget* e = entry_of(combo);
    gtk_entry_set_text(GTK_ENTRY(e), "");
    for (std::size_t i = 1; i <= name.size(); ++i)
      gtk_entry_set_text(GTK_ENTRY(e), name.substr(0, i).c_str());
    settle();
  }
  static void click(GtkWidget* button) {
    gtk_button_clicked(GTK_BUTTON(button));
    settle();
  }
  // The names a combo lists, in order.
  static std::vector<std::string> listed(GtkWidget* combo) {
    std::vector<std::string> out;
    GtkTreeModel* model = gtk_combo_box_get_model(GTK_COMBO_BOX(combo));
    GtkTreeIter it;
    for (bool ok = gtk_tree_model_get_iter_first(model, &it); ok; ok = gtk_tree_model_iter_next(model, &it)) {
      gchar* s = nullptr;
      gtk_tree_model_get(model, &it, 0, &s, -1);
      out.emplace_back(s ? s : "");
      g_free(s);
    }
    return out;
  }

  std::string preset_file(PresetKind kind, const std::string& name) const {
    std::ifstream in(home / ("dia/" + std::string(preset_kind_name(kind)) + "/" + name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  void put_preset(PresetKind kind, const std::string& name, const std::string& bytes) const {
    home.write("dia/" + std::string(preset_kind_name(kind)) + "/" + name, bytes);
  }

  RecordingUi& ui() { return *ui_; }

  // Appends w and every widget inside it that is of type, in window order.
  static void collect(GtkWidget* w, GType type, std::vector<GtkWidget*>& out) {
    if (G_TYPE_CHECK_INSTANCE_TYPE(w, type)) out.push_back(w);
    if (!GTK_IS_CONTAINER(w)) return;
    GList* children = gtk_container_get_children(GTK_CONTAINER(w));
    for (GList* c = children; c; c = c->next) collect(GTK_WIDGET(c->data), type, out);
    g_list_free(children);
  }

  TempFolder home;
  GtkWidget* main = nullptr;

 private:
  std::filesystem::path old_dir_;
  std::unique_ptr<RecordingUi> ui_;
  ShellPlatform previous_platform_;
  WaitBackend* previous_backend_ = nullptr;
};
