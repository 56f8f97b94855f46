// The windows that outlive their call (progress, text editor, gauge, about)
// and the ui table through which logic reaches every box.

#include <gtk/gtk.h>

#include <cstring>
#include <set>
#include <string>

#include "display/command_buffer.h"
#include "gui_steps.h"
#include "model/ui.h"
#include "shell/cmd_keys.h"
#include "shell/cmd_loop.h"
#include "shell/dlg_boxes.h"
#include "shell/fontchange.h"

namespace {

class DlgBoxesTest : public GuiBoxTest {
 protected:
  void SetUp() override {
    GuiBoxTest::SetUp();
    previous_ui_ = ui_install(UiTable{});
    dlg_install_ui();
    cmd_install_shell_hooks();
  }
  void TearDown() override {
    GuiBoxTest::TearDown();
    ui_install(previous_ui_);
  }
  static GtkWidget* slot(DlgId id) { return static_cast<GtkWidget*>(dlg_slots[id]); }
  template <typename T>
  static T* find(GtkWidget* root, GType type) {
    std::vector<GtkWidget*> all;
    collect(root, all);
    for (GtkWidget* w : all)
      if (G_TYPE_CHECK_INSTANCE_TYPE(w, type)) return reinterpret_cast<T*>(w);
    return nullptr;
  }
  UiTable previous_ui_;
};

TEST_F(DlgBoxesTest, LogicReachesTheBoxesThroughTheUiTable) {
  const char* labels[] = {"Yes", "Cancel"};
  when_shown(DLG_ASK, [](GtkWidget* box) { gtk_button_clicked(GTK_BUTTON(find_button(box, "Cancel"))); });
  EXPECT_EQ(ui().msgbox_ask("Really?", 2, labels), 2);

  when_shown(DLG_FILESEL, [](GtkWidget* w) { gtk_dialog_response(GTK_DIALOG(w), GTK_RESPONSE_CANCEL); });
  EXPECT_EQ(ui().filesel_choose("Load Drawing...", "", 0, ""), "cancel");

  ui().msgbox_error("Bad file");
  settle();
  ASSERT_EQ(windows_titled("Error").size(), 1u);
  EXPECT_EQ(label_texts(windows_titled("Error")[0]), "Bad file|Close|");
}

TEST_F(DlgBoxesTest, ProgressWindowFollowsItsUpdates) {
  ui().gui_progress_open("Import DXF...");
  ASSERT_NE(slot(DLG_PROGRESS), nullptr);
  EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(slot(DLG_PROGRESS))), "Import DXF...");
  auto* bar = find<GtkProgressBar>(slot(DLG_PROGRESS), GTK_TYPE_PROGRESS_BAR);
  ASSERT_NE(bar, nullptr);
  ui().gui_progress_update(0.25);
  EXPECT_DOUBLE_EQ(gtk_progress_bar_get_fraction(bar), 0.25);
  ui().gui_progress_update(7.0);
  EXPECT_DOUBLE_EQ(gtk_progress_bar_get_fraction(bar), 1.0);
  ui().gui_progress_close();
  EXPECT_EQ(slot(DLG_PROGRESS), nullptr);
  ui().gui_progress_update(0.5);  // nothing left to update
  ui().gui_progress_close();
}

// With Cancel the window answers while the work runs: a press is seen at
// the next update. Its end with a last line keeps it open until Close.
TEST_F(DlgBoxesTest, ProgressWindowCancelsAndShowsItsLastLine) {
  ui().gui_progress_open_cancel("Import DXF...");
  ASSERT_NE(slot(DLG_PROGRESS), nullptr);
  EXPECT_TRUE(gtk_window_get_modal(GTK_WINDOW(slot(DLG_PROGRESS))));
  EXPECT_FALSE(ui().gui_progress_cancelled());
  GtkWidget* cancel = find_button(slot(DLG_PROGRESS), "Cancel");
  ASSERT_NE(cancel, nullptr);
  gtk_button_clicked(GTK_BUTTON(cancel));
  ui().gui_progress_update(0.5);
  EXPECT_TRUE(ui().gui_progress_cancelled());
  ui().gui_progress_finish("");
  EXPECT_EQ(slot(DLG_PROGRESS), nullptr);
  EXPECT_FALSE(ui().gui_progress_cancelled());

  ui().gui_progress_open_cancel("Import DXF...");
  ui().gui_progress_update(1.0);
  ui().gui_progress_finish("3 IMAGE, 12 paper-space entities not imported");
  ASSERT_NE(slot(DLG_PROGRESS), nullptr);
  EXPECT_FALSE(gtk_window_get_modal(GTK_WINDOW(slot(DLG_PROGRESS))));
  settle();
  EXPECT_EQ(label_texts(slot(DLG_PROGRESS)), "3 IMAGE, 12 paper-space entities not imported|Close|");
  gtk_button_clicked(GTK_BUTTON(find_button(slot(DLG_PROGRESS), "Close")));
  EXPECT_EQ(slot(DLG_PROGRESS), nullptr);

  // Without Cancel (work that cannot stop) a last line brings a Close button.
  ui().gui_progress_open("Hidden line rendering:");
  EXPECT_EQ(find_button(slot(DLG_PROGRESS), "Cancel"), nullptr);
  ui().gui_progress_finish("done");
  ASSERT_NE(find_button(slot(DLG_PROGRESS), "Close"), nullptr);
  ui().gui_progress_close();
}

TEST_F(DlgBoxesTest, TextEditorKeepsItsTextAndGivesItBackInTheProgramsEncoding) {
  ui().gui_text_editor_show(
      "Stra\xdf"
      "e\nzwei");  // ISO-8859-1
  GtkWidget* editor = slot(DLG_TEXTEDIT);
  ASSERT_NE(editor, nullptr);
  EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(editor)), "Edit Text:");
  auto* view = find<GtkTextView>(editor, GTK_TYPE_TEXT_VIEW);
  ASSERT_NE(view, nullptr);
  GtkTextBuffer* buffer = gtk_text_view_get_buffer(view);
  GtkTextIter end, cursor;
  gtk_text_buffer_get_end_iter(buffer, &end);
  gtk_text_buffer_get_iter_at_mark(buffer, &cursor, gtk_text_buffer_get_insert(buffer));
  EXPECT_TRUE(gtk_text_iter_equal(&cursor, &end));

  // Shown again: the same editor, with the text typed so far.
  gtk_text_buffer_insert(buffer, &end, " \xe2\x82\xac", -1);  // a euro sign has no ISO-8859-1 byte
  ui().gui_text_editor_show("other");
  EXPECT_EQ(slot(DLG_TEXTEDIT), editor);
  EXPECT_EQ(gui_text_editor_get(),
            "Stra\xdf"
            "e\nzwei ?");

  // Apply refuses a text the drawing cannot hold: the error box says so and
  // the editor stays with the text to correct.
  gtk_button_clicked(GTK_BUTTON(find_button(editor, "Apply")));
  EXPECT_EQ(slot(DLG_TEXTEDIT), editor);
  settle();
  EXPECT_EQ(windows_titled("Error").size(), 1u);

  // Corrected, Apply closes it; so does Cancel.
  gtk_text_buffer_set_text(buffer,
                           "Stra\xc3\x9f"
                           "e",
                           -1);
  gtk_button_clicked(GTK_BUTTON(find_button(editor, "Apply")));
  EXPECT_EQ(slot(DLG_TEXTEDIT), nullptr);
  EXPECT_EQ(gui_text_editor_get(), "");
  ui().gui_text_editor_show("");
  ASSERT_NE(slot(DLG_TEXTEDIT), nullptr);
  gtk_button_clicked(GTK_BUTTON(find_button(slot(DLG_TEXTEDIT), "Cancel")));
  EXPECT_EQ(slot(DLG_TEXTEDIT), nullptr);
}

TEST_F(DlgBoxesTest, GaugeShowsFiveTextsInOneBox) {
  ui().gui_show_gauge(3.0, 4.0, 0.0, 5.0, 0.5);
  GtkWidget* gauge = slot(DLG_GAUGE);
  ASSERT_NE(gauge, nullptr);
  auto* grid = find<GtkGrid>(gauge, GTK_TYPE_GRID);
  ASSERT_NE(grid, nullptr);
  // Row by row: the value, then its caption.
  auto rows = [grid] {
    std::string out;
    for (int i = 0; i < 5; ++i) {
      out += gtk_entry_get_text(GTK_ENTRY(gtk_grid_get_child_at(grid, 0, i)));
      out += std::string(" ") + gtk_label_get_text(GTK_LABEL(gtk_grid_get_child_at(grid, 1, i))) + "|";
    }
    return out;
  };
  auto expected = [] {
    const char* captions[] = {"X-Distance", "Y-Distance", "Z-Distance", "Length", "Angle"};
    std::string out;
    for (int i = 0; i < 5; ++i) out += gauge_texts[i] + " " + captions[i] + "|";
    return out;
  };
  std::string first = rows();
  EXPECT_EQ(first, expected());
  EXPECT_EQ(gauge_texts[3].substr(0, 3), "5.0");

  ui().gui_show_gauge(1.0, 0.0, 0.0, 1.0, 0.0);
  EXPECT_EQ(slot(DLG_GAUGE), gauge);
  EXPECT_NE(rows(), first);
  EXPECT_EQ(rows(), expected());

  gtk_button_clicked(GTK_BUTTON(find_button(gauge, "Close")));
  EXPECT_FALSE(gtk_widget_get_visible(gauge));
  EXPECT_EQ(slot(DLG_GAUGE), gauge);
}

TEST_F(DlgBoxesTest, AboutBoxIsBuiltOnce) {
  ui().gui_show_about();
  GtkWidget* about = slot(DLG_ABOUT);
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(std::string(gtk_window_get_title(GTK_WINDOW(about))).substr(0, 5), "KAVRO");
  EXPECT_NE(find_button(about, "Change Font"), nullptr);
  EXPECT_NE(find_button(about, "Readme"), nullptr);
  gtk_button_clicked(GTK_BUTTON(find_button(about, "Close")));
  EXPECT_FALSE(gtk_widget_get_visible(about));
  ui().gui_show_about();
  EXPECT_EQ(slot(DLG_ABOUT), about);
  EXPECT_TRUE(gtk_widget_get_visible(about));
}

// The rows the boxes and the font change add to the dialog table keep its
// rules: one row per key, keys that only end a wait, work in every RUN row.
// The text editor adds its rows whenever it is built.
TEST_F(DlgBoxesTest, RowsAddedByTheirOwnersKeepTheTablesRules) {
  gui_font_add_rows();
  ui().gui_text_editor_show("");
  gtk_button_clicked(GTK_BUTTON(find_button(slot(DLG_TEXTEDIT), "Cancel")));
  ui().gui_text_editor_show("");
  std::multiset<std::string> keys;
  for (const DlgRow& r : dlg_rows()) {
    keys.insert(r.key);
    EXPECT_TRUE(cmd_key_only_ends_wait(r.key)) << r.key << " would also be dispatched";
    if (r.action == DlgAct::RUN) {
      EXPECT_TRUE(bool(r.then)) << r.key;
    }
  }
  for (const char* key : {"z_c_font", "z_c_textedit_apply", "z_c_textedit_cancel"})
    EXPECT_EQ(keys.count(key), 1u) << key;
}

// Escape, pressed on the box, closes it as its Close button does: hidden and
// its closing key posted. Other keys leave it.
TEST_F(DlgBoxesTest, EscapeClosesTheAboutBoxAsItsCloseButtonDoes) {
  ui().gui_show_about();
  GtkWidget* about = slot(DLG_ABOUT);
  ASSERT_NE(about, nullptr);
  settle();
  command_key = "nop";
  gui_steps::press_key(GDK_KEY_a, about);
  settle();
  EXPECT_TRUE(gtk_widget_get_visible(about));
  EXPECT_STREQ(command_key.c_str(), "nop");

  gui_steps::press_key(GDK_KEY_Escape, about);
  settle();
  EXPECT_FALSE(gtk_widget_get_visible(about));
  EXPECT_STREQ(command_key.c_str(), "z_c_about");

  // Shown again, it closes again.
  command_key = "nop";
  ui().gui_show_about();
  settle();
  gui_steps::press_key(GDK_KEY_Escape, about);
  settle();
  EXPECT_FALSE(gtk_widget_get_visible(about));
  EXPECT_STREQ(command_key.c_str(), "z_c_about");
}

}  // namespace
