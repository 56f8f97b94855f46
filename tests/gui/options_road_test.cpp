// The DXF exchange and the information windows through the real window, as
// a user reaches them: Project > Export > DXF opens the export options, whose
// Export writes the file in the unit chosen there; Project > Import > DXF
// reads it back in that unit; a right click shows the element under it and
// Project > Info the counts. The dialogs are photographed to look at.

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "display/view.h"
#include "gui_steps.h"
#include "model/defaults.h"
#include "model/elem.h"
#include "model/files/kavfile.h"
#include "model/files/load_save.h"
#include "model/geom.h"
#include "model/layers.h"
#include "model/settings.h"
#include "shell/dlg_table.h"
#include "shell/gtk/mainwin.h"
#include "shell/gtk/startup.h"

namespace {

namespace fs = std::filesystem;
using gui_steps::prompt;

class OptionsRoadTest : public GuiProgramTest {
 protected:
  static GtkWidget* slot(DlgId id) { return static_cast<GtkWidget*>(dlg_slots[id]); }
  static bool shown(DlgId id) { return slot(id) && gtk_widget_get_visible(slot(id)); }

  // Chooses item i of the option menu in the frame titled title.
  static void choose_option(GtkWidget* w, const char* title, int i) {
    for (GtkWidget* c : gui_steps::children(w)) {
      if (GTK_IS_FRAME(c) && gtk_frame_get_label(GTK_FRAME(c)) &&
          std::string(gtk_frame_get_label(GTK_FRAME(c))) == title) {
        GtkWidget* menu = gtk_bin_get_child(GTK_BIN(c));
        ASSERT_TRUE(GTK_IS_COMBO_BOX(menu)) << title;
        gtk_combo_box_set_active(GTK_COMBO_BOX(menu), i);
        return;
      }
      choose_option(c, title, i);
    }
  }
  static void press(GtkWidget* w, const char* label) {
    GtkWidget* b = gui_steps::find_labelled_button(w, label);
    ASSERT_NE(b, nullptr) << label;
    gtk_button_clicked(GTK_BUTTON(b));
  }
  static void photograph(const char* name) {
    if (GdkPixbuf* shot = gui_steps::screenshot(name)) g_object_unref(shot);
  }

  std::string make_drawing() {
    main_init_defaults();
    elem_new_line(0, 0, 0, 1, 2, 3, 2);
    const std::string path = (folder_ / "line.kav").string();
    EXPECT_EQ(kavfile_write_file(path, kavfile_write_drawing, "open", "write"), 1);
    drawing_free();
    drawing_modified = 0;
    return path;
  }
};

TEST_F(OptionsRoadTest, DxfThroughItsDialogsAndTheInformationWindows) {
  const std::string drawing = make_drawing();
  const fs::path dxf = folder_ / "line.dxf";
  then([] { return idle() && shown(DLG_ABOUT); }, [] { press(slot(DLG_ABOUT), "Close"); });

  then(gui_steps::steadily([] { return idle() && !shown(DLG_ABOUT); }),
       [] { choose_submenu("Export", "DXF"); });
  then(gui_steps::steadily([] { return shown(DLG_DXF_OUT); }), [] {
    choose_option(slot(DLG_DXF_OUT), "Objects", 2);
    choose_option(slot(DLG_DXF_OUT), "Scale", 3);
    photograph("options_road_dxf_out.png");
    press(slot(DLG_DXF_OUT), "Export");
  });
  save_file("line.dxf");
  then([dxf] { return idle() && !dlg_slots[DLG_FILESEL] && fs::exists(dxf); },
       [] { press(slot(DLG_DXF_OUT), "Close"); });

  // Read back in inches: a second line on the first.
  then([] { return idle() && !shown(DLG_DXF_OUT); }, [] { choose_submenu("Import", "DXF"); });
  then(gui_steps::steadily([] { return shown(DLG_DXF_IN); }), [] {
    choose_option(slot(DLG_DXF_IN), "Scale", 3);
    photograph("options_road_dxf_in.png");
    press(slot(DLG_DXF_IN), "Import");
  });
  open_file(folder_ / "line.dxf");
  LineElem first, second;
  then([] { return idle() && !dlg_slots[DLG_FILESEL] && elem_count() == 2; },
       [&first, &second] {
         const auto* a = elem_as<LineElem>(elem_list_head);
         const auto* b = elem_as<LineElem>(elem_list_head->next);
         ASSERT_TRUE(a && b);
         first = *a;
         second = *b;
         press(slot(DLG_DXF_IN), "Close");
       });

  // A right click on the line's middle.
  then([] { return idle() && !shown(DLG_DXF_IN); },
       [] { gui_steps::click_view(view_wx_to_sx(2.0), view_wy_to_sy(2.0), 3); });
  then(gui_steps::steadily([] { return shown(DLG_OINFO); }), [] {
    photograph("options_road_oinfo.png");
    press(slot(DLG_OINFO), "Close");
  });
  then([] { return idle() && !shown(DLG_OINFO); }, [] { choose_submenu("Project", "Info"); });
  then(gui_steps::steadily([] { return shown(DLG_INFO); }), [] {
    photograph("options_road_info.png");
    press(slot(DLG_INFO), "Close");
  });
  then([] { return idle() && !shown(DLG_INFO); }, [] { choose_submenu("Project", "Quit"); });
  then(
      [] {
        GtkWidget* quit = nullptr;
        return gui_steps::other_window("Quit", &quit) != nullptr;
      },
      [] {
        GtkWidget* quit = nullptr;
        gui_steps::other_window("Quit", &quit);
        gtk_button_clicked(GTK_BUTTON(quit));
      });

  std::string out;
  EXPECT_EQ(run_program({drawing}, &out), 0);
  EXPECT_EQ(out.find("no handler"), std::string::npos) << out;

  // The file holds inches; read back in inches, the second line lies on the
  // first.
  std::ifstream in(dxf);
  std::string text((std::istreambuf_iterator<char>(in)), {});
  EXPECT_NE(text.find("39.37"), std::string::npos) << text.substr(0, 400);
  EXPECT_NEAR(second.p1.x, first.p1.x, 1e-6);
  EXPECT_NEAR(second.p2.y, first.p2.y, 1e-6);
  EXPECT_NEAR(second.p2.x, 3.0, 1e-6);
}

}  // namespace
