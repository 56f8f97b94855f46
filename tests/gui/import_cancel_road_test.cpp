// Cancel in the progress window of a large import, through the real window:
// a GTS file of 400000 points is chosen from the Import menu, the window
// shows its bar and a Cancel button, and Cancel, or closing the window as
// the window manager does, leaves the drawing as it was without an error
// box.

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "gui_steps.h"
#include "model/elem.h"
#include "shell/dlg_table.h"
#include "shell/gtk/mainwin.h"

namespace {

namespace fs = std::filesystem;

class ImportCancelRoadTest : public GuiProgramTest {
 protected:
  // The progress window's Cancel button, once its bar has moved.
  static GtkWidget* cancel_button() {
    auto* w = static_cast<GtkWidget*>(dlg_slots[DLG_PROGRESS]);
    if (!w) return nullptr;
    auto* bar = static_cast<GtkWidget*>(g_object_get_data(G_OBJECT(w), "kavro-bar"));
    if (!bar || gtk_progress_bar_get_fraction(GTK_PROGRESS_BAR(bar)) < 0.05) return nullptr;
    return gui_steps::find_labelled_button(w, "Cancel");
  }

  // Imports a large GTS file and, once the bar has moved, stops it by
  // press(window, cancel button); what the drawing, the modified flag, the
  // boxes shown and standard output were afterwards.
  void import_and_stop(const std::function<void(GtkWidget*, GtkWidget*)>& press) {
    const fs::path file = folder_ / "large.gts";
    {
      std::ofstream out(file);
      out << "400000 3 1 GtsSurface GtsFace GtsEdge GtsVertex\n";
      const char* corners[3] = {"0.000000 0.000000 0.000000\n", "1.500000 0.000000 0.000000\n",
                                "0.000000 1.250000 0.000000\n"};
      for (int i = 0; i < 400000; ++i) out << corners[i % 3];
      out << "1 2\n2 3\n3 1\n1 2 3\n";
    }
    then([] { return idle() && about_shown(); }, close_about);
    then(gui_steps::steadily([] { return idle() && !about_shown(); }),
         [] { choose_submenu("Import", "GTS"); });
    open_file(file);
    then([] { return cancel_button() != nullptr; },
         [this, press] {
           gui_steps::screenshot("import_cancel_progress.png");
           if (GtkWidget* b = cancel_button()) {
             press(static_cast<GtkWidget*>(dlg_slots[DLG_PROGRESS]), b);
             ++pressed;
           }
         });
    then(gui_steps::steadily([] { return idle() && !dlg_slots[DLG_PROGRESS] && !dlg_slots[DLG_FILESEL]; }),
         [this] {
           gui_steps::screenshot("import_cancel_after.png");
           elements = 0;
           for (ElemHeader* e = elem_list_head; e; e = e->next) ++elements;
           modified = drawing_modified;
           // No error box: only the main window is shown.
           other_boxes = 0;
           GList* tops = gtk_window_list_toplevels();
           for (GList* l = tops; l; l = l->next)
             if (GTK_WIDGET(l->data) != main_window && gtk_widget_get_visible(GTK_WIDGET(l->data)))
               ++other_boxes;
           g_list_free(tops);
           choose_menu("Quit");
         });
    EXPECT_EQ(run_program({}, &out), 0);
  }
  int pressed = 0, elements = -1, modified = -1, other_boxes = -1;
  std::string out;
};

TEST_F(ImportCancelRoadTest, CancelInTheProgressWindowLeavesTheDrawing) {
  import_and_stop([](GtkWidget*, GtkWidget* cancel) { gtk_button_clicked(GTK_BUTTON(cancel)); });
  EXPECT_EQ(pressed, 1);
  EXPECT_EQ(elements, 0);
  EXPECT_EQ(modified, 0);
  EXPECT_EQ(other_boxes, 0);
  EXPECT_NE(out.find("Import cancelled."), std::string::npos) << out;
  EXPECT_EQ(out.find("STATS: ### translate_gts_kavro"), std::string::npos) << out;
}

// The window manager's close button sends the window a delete event.
TEST_F(ImportCancelRoadTest, ClosingTheProgressWindowCancelsToo) {
  import_and_stop([](GtkWidget* window, GtkWidget*) {
    GdkEvent* event = gdk_event_new(GDK_DELETE);
    event->any.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(window)));
    event->any.send_event = TRUE;
    gtk_main_do_event(event);
    gdk_event_free(event);
  });
  EXPECT_EQ(pressed, 1);
  EXPECT_EQ(elements, 0);
  EXPECT_EQ(modified, 0);
  EXPECT_EQ(other_boxes, 0);
  EXPECT_NE(out.find("Import cancelled."), std::string::npos) << out;
  EXPECT_EQ(out.find("STATS: ### translate_gts_kavro"), std::string::npos) << out;
}

}  // namespace
