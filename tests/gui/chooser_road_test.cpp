// The drawing choosers in the real window, as a person uses them: a path
// typed key by key into the load chooser's location field loads that file,
// with nothing complaining on the way; after Project > New the save chooser
// offers "Unnamed.kav" in the drawing folder. Both choosers offer the
// drawings ("*.kav") and all files.

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <filesystem>
#include <string>
#include <vector>

#include "display/view.h"
#include "gui_steps.h"
#include "model/defaults.h"
#include "model/elem.h"
#include "model/files/kavfile.h"
#include "model/files/load_save.h"
#include "model/layers.h"
#include "shell/dlg_table.h"
#include "shell/gtk/mainwin.h"
#include "shell/gtk/startup.h"

namespace {

namespace fs = std::filesystem;
using gui_steps::prompt;

// Warnings and criticals of every log domain, as the program logs them.
std::vector<std::string> complaints;

void record_complaint(const gchar* domain, GLogLevelFlags level, const gchar* message, gpointer) {
  if (level & (G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_WARNING))
    complaints.push_back(std::string(domain ? domain : "") + ": " + (message ? message : ""));
}

GtkWidget* chooser_window() { return static_cast<GtkWidget*>(dlg_slots[DLG_FILESEL]); }
GtkFileChooser* chooser() { return GTK_FILE_CHOOSER(dlg_slots[DLG_FILESEL]); }

// The chooser is shown in folder.
bool chooser_in(const fs::path& folder) {
  if (!dlg_slots[DLG_FILESEL]) return false;
  gchar* f = gtk_file_chooser_get_current_folder(chooser());
  const bool there = f && fs::path(f) == folder;
  g_free(f);
  return there;
}

// The names of the chooser's filters and the name of the chosen one.
struct Filters {
  std::vector<std::string> names;
  std::string chosen;
};
Filters filters() {
  Filters out;
  GSList* list = gtk_file_chooser_list_filters(chooser());
  for (GSList* l = list; l; l = l->next) {
    const char* name = gtk_file_filter_get_name(GTK_FILE_FILTER(l->data));
    out.names.push_back(name ? name : "");
  }
  g_slist_free(list);
  if (GtkFileFilter* f = gtk_file_chooser_get_filter(chooser())) {
    const char* name = gtk_file_filter_get_name(f);
    out.chosen = name ? name : "";
  }
  return out;
}

class ChooserRoadTest : public GuiProgramTest {
 protected:
  void SetUp() override {
    GuiProgramTest::SetUp();
    complaints.clear();
    previous_handler_ = g_log_set_default_handler(record_complaint, nullptr);
  }
  void TearDown() override {
    g_log_set_default_handler(previous_handler_, nullptr);
    GuiProgramTest::TearDown();
  }

  GLogFunc previous_handler_ = nullptr;
};

TEST_F(ChooserRoadTest, APathTypedIntoTheLoadChoosersLocationFieldLoadsThatFile) {
  // Two drawings whose names share a beginning, so that the field has
  // something to complete at every folder on the way.
  const fs::path folder = folder_ / "ux";
  fs::create_directories(folder);
  write_lines_drawing(folder / "drawn1.kav", 1);
  write_lines_drawing(folder / "drawn2.kav", 3);
  const std::string path = (folder / "drawn2.kav").string();
  const fs::path draw_folder = home_ / "KAVRO3" / "draw";

  Filters offered;
  std::string typed;
  then([] { return idle() && about_shown(); }, close_about);
  then([] { return idle() && !about_shown(); }, [] { choose_menu("Load"); });
  then([draw_folder] { return chooser_in(draw_folder); }, [&offered] { offered = filters(); });
  // Key by key, one key a tick, as a quick typist types; "/" opens the field.
  for (char c : path)
    then([] { return dlg_slots[DLG_FILESEL] != nullptr; },
         [c] {
           gui_steps::press_key(gdk_unicode_to_keyval(static_cast<unsigned char>(c)), chooser_window());
         });
  then([] { return dlg_slots[DLG_FILESEL] != nullptr; },
       [&typed] {
         GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(chooser_window()));
         if (focus && GTK_IS_ENTRY(focus)) typed = gtk_entry_get_text(GTK_ENTRY(focus));
         gui_steps::press_key(GDK_KEY_Return, chooser_window());
       });
  then([] { return idle() && !dlg_slots[DLG_FILESEL]; }, [] {});
  std::string loaded;
  int elements = -1;
  then(idle, [&loaded, &elements] {
    loaded = drawing_file;
    elements = elem_count();
    choose_menu("Quit");
  });

  std::string out;
  EXPECT_EQ(run_program({}, &out), 0);
  EXPECT_EQ(typed, path) << "the location field";
  EXPECT_EQ(loaded, path) << out;
  EXPECT_EQ(elements, 3);
  EXPECT_TRUE(complaints.empty()) << complaints.size() << " complaints, the first: " << complaints.front();
  EXPECT_EQ(offered.names, (std::vector<std::string>{"*.kav", "All files"}));
  EXPECT_EQ(offered.chosen, "*.kav");
}

TEST_F(ChooserRoadTest, AfterNewTheSaveChooserOffersUnnamedInTheDrawingFolder) {
  const fs::path plan = folder_ / "plan.kav";
  write_lines_drawing(plan, 2);
  const fs::path draw_folder = home_ / "KAVRO3" / "draw";

  std::string title_loaded, title_new, name;
  Filters offered;
  then([] { return idle() && about_shown(); }, close_about);
  then([] { return idle() && !about_shown(); },
       [&title_loaded] {
         title_loaded = gtk_window_get_title(GTK_WINDOW(main_window));
         choose_menu("New");
       });
  then([] { return idle() && elem_count() == 0; },
       [&title_new] {
         title_new = gtk_window_get_title(GTK_WINDOW(main_window));
         choose_menu("Save");
       });
  then([draw_folder] { return chooser_in(draw_folder); },
       [&name, &offered] {
         gchar* n = gtk_file_chooser_get_current_name(chooser());
         name = n ? n : "";
         g_free(n);
         offered = filters();
         gtk_dialog_response(GTK_DIALOG(chooser_window()), GTK_RESPONSE_CANCEL);
       });
  then([] { return idle() && !dlg_slots[DLG_FILESEL]; }, [] { choose_menu("Quit"); });

  std::string out;
  EXPECT_EQ(run_program({plan.string()}, &out), 0);
  EXPECT_NE(title_loaded.find("File: " + plan.string() + " "), std::string::npos) << title_loaded;
  EXPECT_NE(title_new.find("File: " + (draw_folder / "Unnamed.kav").string() + " "), std::string::npos)
      << title_new;
  EXPECT_EQ(name, "Unnamed.kav");
  EXPECT_EQ(offered.names, (std::vector<std::string>{"*.kav", "All files"}));
  EXPECT_EQ(offered.chosen, "*.kav");
}

}  // namespace
