// The presets in the whole program, started as a new user starts it: the
// first start copies the installation's presets, loads every kind's
// "Default", lists them in the tool pages without complaint, and a dialog
// opened from its key shows them.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "dialogs/dlg_frame.h"
#include "display/preview.h"
#include "display/view.h"
#include "gui/gui_steps.h"
#include "model/files/preset_files.h"
#include "model/presets.h"
#include "shell/dlg_table.h"

namespace {

namespace fs = std::filesystem;

std::string read_file(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

using ProgramPresets = GuiProgramTest;

TEST_F(ProgramPresets, FirstStartLoadsTheInstalledPresets) {
  // An installation whose text preset differs from the built-in defaults.
  std::ofstream(install_ / "dat/dia/text/Default", std::ios::binary)
      << "Rund\n2.000000\n0.800000\n0.200000\n2\n0\n";

  struct Seen {
    std::string page_text, dialog_text, dialog_font;
    double line_spacing = 0, wall_thickness = 0;
    bool preview = false;
  } seen;
  then([] { return main_window && dlg_slots[DLG_ABOUT]; },
       [&] {
         dlg_destroy(DLG_ABOUT);
         seen.line_spacing = text_preset.line_spacing;
         seen.wall_thickness = wall_preset.thickness;
         seen.page_text =
             gtk_entry_get_text(GTK_ENTRY(gtk_bin_get_child(GTK_BIN(mainwin_widgets.combo_text))));
         cmd_post_key(nullptr, "z_d_text");
       });
  then([] { return dlg_slots[DLG_TEXT] && view_surface(PREVIEW_TEXT); },
       [&] {
         const DlgWidgets& w = dlg_widgets(PresetKind::TEXT);
         seen.dialog_text = gtk_entry_get_text(GTK_ENTRY(w.of(&text_preset.line_spacing)));
         seen.dialog_font =
             gtk_entry_get_text(GTK_ENTRY(gtk_bin_get_child(GTK_BIN(w.of(&text_preset.font)))));
         seen.preview = true;
         gtk_menu_item_activate(GTK_MENU_ITEM(gui_steps::find_menu_item(main_window, "Quit")));
       });
  std::string out;
  EXPECT_EQ(run_program({}, &out), 0);

  EXPECT_EQ(out.find("Error scanning DIR"), std::string::npos) << out;
  EXPECT_EQ(seen.line_spacing, 2.0);
  EXPECT_EQ(seen.wall_thickness, 0.365);
  EXPECT_EQ(seen.page_text, "Default");
  EXPECT_EQ(seen.dialog_text, "2.00");
  EXPECT_EQ(seen.dialog_font, "Rund");
  EXPECT_TRUE(seen.preview);
  for (PresetKind k : preset_kinds) {
    SCOPED_TRACE(preset_kind_name(k));
    const fs::path rel = fs::path("dia") / preset_kind_name(k) / "Default";
    EXPECT_EQ(read_file(home_ / "KAVRO3" / rel), read_file(install_ / "dat" / rel));
  }
  EXPECT_TRUE(fs::exists(home_ / "KAVRO3/dia/mat/Glas"));
}

}  // namespace
