// The whole program under the virtual display: started in a copy of the
// staged installation with an empty home folder and a drawing to open, as a
// person starts it. A driver on the program's own main loop looks at the
// screen, changes the drawing and quits through the menu, answering the
// question that the changed drawing raises.

#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <stdlib.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "building/solid/mesh_boolean.h"
#include "display/command_buffer.h"
#include "display/draw.h"
#include "display/view.h"
#include "gui_steps.h"
#include "model/defaults.h"
#include "model/elem.h"
#include "model/files/kavfile.h"
#include "model/files/load_save.h"
#include "model/layers.h"
#include "model/ui.h"
#include "shell/cmd_loop.h"
#include "shell/gtk/mainwin.h"
#include "shell/gtk/startup.h"
#include "support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

std::string read_file(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// What the driver saw and did.
struct DriverRun {
  int step = 0;
  int ticks = 0;
  std::string screenshot;
  std::string title;
  std::string prompt;
  int pen_pixels = 0;         // pixels of pen 3's colour inside the drawing area
  int background_pixels = 0;  // pixels of the background colour there
  int area_pixels = 0;
  std::vector<std::string> questions;
  bool answered = false;  // the question offered Quit, Cancel and Save
  bool about_closed = false;
  int settled = 0;
  double pointer_x = 0, pointer_y = 0;  // pointer_pixel when the screen was taken
  uint32_t redraws = 0;                 // of the drawing, until the screen was taken
  bool timed_out = false;
};
DriverRun run;

void screenshot() {
  GdkPixbuf* shot = gui_steps::screenshot("program_start.png", &run.screenshot);
  if (!shot) return;
  const int w = gdk_pixbuf_get_width(shot), h = gdk_pixbuf_get_height(shot);

  // Count the colours inside the drawing area, where it lies on the screen.
  GtkWidget* area =
      mainwin_widgets.view_frame ? gtk_bin_get_child(GTK_BIN(mainwin_widgets.view_frame)) : nullptr;
  GdkWindow* win = area ? gtk_widget_get_window(area) : nullptr;
  if (win) {
    int x0 = 0, y0 = 0;
    gdk_window_get_origin(win, &x0, &y0);
    const int aw = gtk_widget_get_allocated_width(area), ah = gtk_widget_get_allocated_height(area);
    const int n = gdk_pixbuf_get_n_channels(shot), stride = gdk_pixbuf_get_rowstride(shot);
    const guchar* px = gdk_pixbuf_get_pixels(shot);
    for (int y = y0; y < y0 + ah && y < h; ++y)
      for (int x = x0; x < x0 + aw && x < w; ++x) {
        const guchar* p = px + y * stride + x * n;
        ++run.area_pixels;
        if (p[0] == 15 && p[1] == 15 && p[2] == 204) ++run.pen_pixels;
        if (p[0] == 140 && p[1] == 153 && p[2] == 166) ++run.background_pixels;
      }
  }
  g_object_unref(shot);
}

// Steps on the program's own main loop, every 100 ms: wait for the idle
// prompt, close the about box as a person would, look at the screen, change
// the drawing, choose Quit in the menu, answer the question; give up after
// 30 s.
gboolean drive(gpointer) {
  GtkWidget* window = main_window;
  if (++run.ticks > 300) {
    run.timed_out = true;
    quit_requested = 1;
    cmd_put_key("p_nop");
    return G_SOURCE_REMOVE;
  }
  if (!window) return G_SOURCE_CONTINUE;
  switch (run.step) {
    case 0: {
      run.prompt = gtk_entry_get_text(GTK_ENTRY(mainwin_widgets.prompt));
      if (run.prompt != "Select function:" || !view_surface(0) || run.ticks < 5) return G_SOURCE_CONTINUE;
      GtkWidget* close = nullptr;
      if (gui_steps::other_window("Close", &close)) {
        gtk_button_clicked(GTK_BUTTON(close));
        run.about_closed = true;
        return G_SOURCE_CONTINUE;
      }
      if (run.settled == 0) {
        // The pointer goes over the drawing, as a person's hand would.
        GtkWidget* area = gtk_bin_get_child(GTK_BIN(mainwin_widgets.view_frame));
        int x = 0, y = 0;
        gdk_window_get_origin(gtk_widget_get_window(area), &x, &y);
        GdkDevice* pointer = gdk_seat_get_pointer(gdk_display_get_default_seat(gdk_display_get_default()));
        gdk_device_warp(pointer, gdk_screen_get_default(), x + 200, y + 150);
      }
      if (++run.settled < 5) return G_SOURCE_CONTINUE;
      run.pointer_x = pointer_pixel.x;
      run.pointer_y = pointer_pixel.y;
      run.redraws = draw_full_count;
      run.title = gtk_window_get_title(GTK_WINDOW(window));
      screenshot();
      elem_new_line(cur_layer, 3, 0, -1.0, -1.0, 1.0, 1.0);
      GtkWidget* quit = gui_steps::find_menu_item(window, "Quit");
      if (!quit) {
        run.timed_out = true;
        return G_SOURCE_CONTINUE;
      }
      gtk_menu_item_activate(GTK_MENU_ITEM(quit));
      run.step = 1;
      return G_SOURCE_CONTINUE;
    }
    case 1: {
      GtkWidget* quit = nullptr;
      if (GtkWidget* box = gui_steps::other_window("Quit", &quit)) {
        const char* title = gtk_window_get_title(GTK_WINDOW(box));
        run.questions.push_back(title ? title : "");
        run.answered =
            gui_steps::find_labelled_button(box, "Cancel") && gui_steps::find_labelled_button(box, "Save");
        gtk_button_clicked(GTK_BUTTON(quit));
        run.step = 2;
      }
      return G_SOURCE_CONTINUE;
    }
  }
  return G_SOURCE_CONTINUE;
}

class ProgramTest : public GuiProgramTest {
 protected:
  void SetUp() override {
    GuiProgramTest::SetUp();
    run = DriverRun{};
  }

  // A drawing of a square of pen 3 (blue) lines, 40 m wide, written as the
  // program writes drawings.
  std::string make_drawing() {
    main_init_defaults();
    for (int i = 0; i < 4; ++i) {
      const double a[4][2] = {{-20, -20}, {20, -20}, {20, 20}, {-20, 20}};
      const double* p = a[i];
      const double* q = a[(i + 1) % 4];
      elem_new_line(0, 3, 0, p[0], p[1], q[0], q[1]);
    }
    const std::string path = (folder_ / "plan.kav").string();
    EXPECT_EQ(kavfile_write_file(path, kavfile_write_drawing, "open", "write"), 1);
    drawing_free();
    drawing_modified = 0;
    return path;
  }
};

TEST_F(ProgramTest, StartsShowsTheDrawingAndQuitsThroughTheMenuAfterAskingAboutTheChange) {
  const std::string drawing = make_drawing();
  const std::string drawing_bytes = read_file(drawing);
  draw_full_count = 0;

  g_timeout_add(100, drive, nullptr);
  char arg0[] = "kavro";
  std::string arg1 = drawing;
  char* argv[] = {arg0, arg1.data(), nullptr};
  testing::internal::CaptureStdout();
  const int status = kavro_main(2, argv);
  const std::string out = testing::internal::GetCapturedStdout();

  EXPECT_EQ(status, 0);
  EXPECT_FALSE(run.timed_out) << "the program did not reach the end of the script (step " << run.step << ")";
  EXPECT_EQ(out.substr(0, out.find('\n')), drawing) << out;
  EXPECT_NE(out.find("setting locale to C.UTF-8\n"), std::string::npos) << out;

  // The window as a person sees it: the drawing's lines in their pen colour
  // on the background, the drawing's path and scale in the title.
  EXPECT_FALSE(run.screenshot.empty());
  EXPECT_GT(run.area_pixels, 300 * 300);
  EXPECT_GT(run.pen_pixels, 400) << "the drawing's lines are not on the screen: " << run.screenshot;
  EXPECT_GT(run.background_pixels, run.area_pixels / 2) << run.screenshot;
  EXPECT_EQ(run.title.rfind("KAVRO  File: " + drawing + "  Layer: ", 0), 0u) << run.title;
  EXPECT_NE(run.title.find("  Scale: 1:"), std::string::npos) << run.title;
  EXPECT_EQ(run.prompt, "Select function:");
  EXPECT_EQ(run.pointer_x, 200);
  EXPECT_EQ(run.pointer_y, 150);
  // Drawn once, when the view was fitted to it.
  EXPECT_EQ(run.redraws, 1u);

  // Quitting a changed drawing asked first; the drawing file is as it was.
  EXPECT_TRUE(run.about_closed) << "the about box did not show at the start";
  ASSERT_EQ(run.questions.size(), 1u);
  EXPECT_EQ(run.questions[0], "Option request");
  EXPECT_TRUE(run.answered);
  EXPECT_EQ(read_file(drawing), drawing_bytes);
  EXPECT_EQ(main_window, nullptr);

  // The first start set up the user's folders.
  EXPECT_TRUE(fs::exists(home_ / ".kavro3" / "kavro.version"));
  EXPECT_TRUE(fs::exists(home_ / ".kavro3" / "kavro.gtkrc"));
  EXPECT_TRUE(fs::is_directory(home_ / ".kavro3" / "tmp"));
  EXPECT_TRUE(fs::exists(home_ / "KAVRO3" / "prefs" / "default.prefs"));
}

// Started from the user's own folder, as "build/stage/kavro plan.kav" is: the
// drawing is the one in the user's folder, and the program works in its own
// folder, where it finds its files and the boolean tool.
TEST_F(ProgramTest, StartedFromAnotherFolderFindsItsFilesAndTheDrawingWhereTheUserIs) {
  const std::string drawing = make_drawing();
  fs::current_path(folder_.path());
  fs::path working;
  std::string tool;
  int lines = 0;
  then([] { return idle() && about_shown(); }, close_about);
  then(gui_steps::steadily([] { return idle() && !about_shown(); }), [&] {
    working = fs::current_path();
    tool = mesh_boolean_tool;
    for (ElemHeader* e = elem_list_head; e; e = e->next) lines += e->kind == ELEM_LINE;
    choose_menu("Quit");
  });
  std::string out;
  EXPECT_EQ(run_program({"plan.kav"}, &out, 60000, install_.string()), 0);
  EXPECT_EQ(out.substr(0, out.find('\n')), drawing) << out;
  EXPECT_EQ(lines, 4);
  EXPECT_EQ(working, install_);
  EXPECT_EQ(tool, (install_ / "gts_bso").string());
  EXPECT_TRUE(fs::exists(tool)) << tool;
}

// How much of the window w the screen shows as the window draws itself:
// the share of its pixels that are the same on the screen.
double share_on_top(GtkWidget* w) {
  GdkWindow* win = gtk_widget_get_window(w);
  if (!win) return 0;
  const int width = gtk_widget_get_allocated_width(w), height = gtk_widget_get_allocated_height(w);
  int x = 0, y = 0;
  gdk_window_get_origin(win, &x, &y);
  cairo_surface_t* own = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
  cairo_t* cr = cairo_create(own);
  gtk_widget_draw(w, cr);
  cairo_destroy(cr);
  cairo_surface_flush(own);
  GdkPixbuf* shot = gdk_pixbuf_get_from_window(gdk_get_default_root_window(), x, y, width, height);
  int same = 0;
  if (shot) {
    const int n = gdk_pixbuf_get_n_channels(shot), stride = gdk_pixbuf_get_rowstride(shot);
    const guchar* px = gdk_pixbuf_get_pixels(shot);
    const unsigned char* data = cairo_image_surface_get_data(own);
    const int own_stride = cairo_image_surface_get_stride(own);
    for (int j = 0; j < height; ++j)
      for (int i = 0; i < width; ++i) {
        const guchar* p = px + j * stride + i * n;
        const uint32_t q = *reinterpret_cast<const uint32_t*>(data + j * own_stride + 4 * i);
        same += p[0] == ((q >> 16) & 255) && p[1] == ((q >> 8) & 255) && p[2] == (q & 255);
      }
    g_object_unref(shot);
  }
  cairo_surface_destroy(own);
  return width * height > 0 ? static_cast<double>(same) / (width * height) : 0;
}

// The texts of the labels below w.
std::string labels_of(GtkWidget* w) {
  if (GTK_IS_LABEL(w)) return std::string(gtk_label_get_text(GTK_LABEL(w))) + "|";
  std::string out;
  for (GtkWidget* c : gui_steps::children(w)) out += labels_of(c);
  return out;
}

// A drawing that cannot be opened at the start: the error names it and
// shows above the start box, which comes up after it.
TEST_F(ProgramTest, AnErrorAtTheStartShowsAboveTheStartBox) {
  const std::string missing = (folder_ / "missing.kav").string();
  std::string said;
  double error_shown = 0, about_shown_share = 0;
  auto error_box = [] {
    auto* w = static_cast<GtkWidget*>(dlg_slots[DLG_ERROR]);
    return w && gtk_widget_get_visible(w) ? w : nullptr;
  };
  then(gui_steps::steadily([&] { return idle() && about_shown() && error_box(); }), [&] {
    gui_steps::screenshot("program_start_error.png");
    error_shown = share_on_top(error_box());
    GtkWidget* close = nullptr;
    about_shown_share = share_on_top(gui_steps::other_window("Readme", &close));
    said = labels_of(error_box());
    dlg_destroy(DLG_ERROR);
    close_about();
    choose_menu("Quit");
  });
  std::string out;
  EXPECT_EQ(run_program({missing}, &out), 0);
  EXPECT_GT(error_shown, 0.95) << "the error box is hidden";
  EXPECT_LT(about_shown_share, 0.95) << "the start box is not under the error box";
  EXPECT_NE(said.find(missing), std::string::npos) << said;
}

}  // namespace
