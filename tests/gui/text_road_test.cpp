// A text with umlauts on its whole road in the real window: the program
// started as a person starts it, the text tool's button pressed, a start
// point clicked and confirmed, the text typed key by key into the value
// entry and taken with Enter; a character the drawing cannot hold refused
// with a message and corrected in the entry; Escape; the drawing saved
// through the menu and its bytes read back.

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "display/view.h"
#include "gui_steps.h"
#include "model/elem.h"
#include "saved_chunks.h"
#include "shell/dlg_table.h"
#include "shell/gtk/keymap_gtk.h"
#include "shell/gtk/mainwin.h"
#include "shell/gtk/startup.h"

namespace {

namespace fs = std::filesystem;
using gui_steps::prompt;

std::string file_bytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), {});
}

// The button "-0 degree" (horizontal texts) of the Text tool page.
GtkWidget* text_button() {
  GtkWidget* page = gtk_notebook_get_nth_page(GTK_NOTEBOOK(mainwin_widgets.notebook), 6);
  return page ? gui_steps::find_labelled_button(page, "-0 degree") : nullptr;
}

GtkEntry* entry() {
  GtkWidget* w = mainwin_value_entry_widget();
  return w ? GTK_ENTRY(w) : nullptr;
}

std::string entry_text() { return entry() ? gtk_entry_get_text(entry()) : ""; }

// Types UTF-8 text key by key into the focused widget.
void type_utf8(const char* text) {
  for (const char* p = text; *p; p = g_utf8_next_char(p))
    gui_steps::press_key(gdk_unicode_to_keyval(g_utf8_get_char(p)), mainwin_value_entry_widget());
}

bool error_shown() {
  auto* box = static_cast<GtkWidget*>(dlg_slots[DLG_ERROR]);
  return box && gtk_widget_get_visible(box);
}

class TextRoadTest : public GuiProgramTest {
 protected:
};

TEST_F(TextRoadTest, UmlautsTypedIntoTheValueEntryReachTheFileByteForByte) {
  std::string refused_entry;
  bool error_seen = false;
  then([] { return idle() && about_shown(); }, close_about);
  then(gui_steps::steadily([] { return idle() && !about_shown(); }), [] {
    GtkWidget* b = text_button();
    ASSERT_NE(b, nullptr);
    gtk_button_clicked(GTK_BUTTON(b));
  });
  then([] { return prompt() == "Start point:"; }, [] { gui_steps::click_view(150, 120); });
  then([] { return prompt() == "Move/Confirm:"; }, [] { gui_steps::press_key(GDK_KEY_Return); });
  then([] { return prompt() == "Text:" && entry(); },
       [] {
         type_utf8(
             "Gr\xc3\xbc\xc3\x9f"
             "e \xc3\x96lbaum");
         gui_steps::press_key(GDK_KEY_Return, mainwin_value_entry_widget());
       });
  // The next line: a euro sign has no byte in the drawing.
  then([] { return prompt() == "Text:" && entry() && elem_count() == 1; },
       [] {
         type_utf8("5 \xe2\x82\xac");
         gui_steps::press_key(GDK_KEY_Return, mainwin_value_entry_widget());
       });
  then(gui_steps::steadily(error_shown), [&] {
    error_seen = true;
    refused_entry = entry_text();
    GtkWidget* close =
        gui_steps::find_labelled_button(static_cast<GtkWidget*>(dlg_slots[DLG_ERROR]), "Close");
    ASSERT_NE(close, nullptr);
    gtk_button_clicked(GTK_BUTTON(close));
  });
  // The user puts the price in words instead.
  then(gui_steps::steadily([] { return !error_shown() && entry(); }), [] {
    // Back in the entry, as a click into it puts the user there.
    gtk_widget_grab_focus(mainwin_value_entry_widget());
    gtk_entry_set_text(entry(), "5 Euro f\xc3\xbcr Ma\xc3\x9f");
    gui_steps::press_key(GDK_KEY_Return, mainwin_value_entry_widget());
  });
  // An empty line asks for a new start point, where Escape ends the tool
  // (the keys go to the entry while it is open).
  then([] { return prompt() == "Text:" && entry() && entry_text().empty() && elem_count() == 2; },
       [] { gui_steps::press_key(GDK_KEY_Return, mainwin_value_entry_widget()); });
  then([] { return prompt() == "Start point:"; }, [] { gui_steps::press_key(GDK_KEY_Escape); });
  save_as("umlauts.kav", idle);
  then(idle, [] { choose_menu("Quit"); });

  std::string out;
  EXPECT_EQ(run_program({}, &out), 0);
  EXPECT_TRUE(error_seen) << "no message for the euro sign";
  EXPECT_EQ(refused_entry, "5 \xe2\x82\xac") << "the refused text did not stay in the entry";

  const fs::path file = folder_ / "umlauts.kav";
  const std::string bytes = file_bytes(file);
  EXPECT_NE(bytes.find("Gr\xfc\xdf"
                       "e \xd6lbaum"),
            std::string::npos)
      << out;
  EXPECT_NE(bytes.find("5 Euro f\xfcr Ma\xdf"), std::string::npos);
  const auto texts = saved_chunks(file, "TEX2");
  ASSERT_EQ(texts.size(), 2u) << out;
  EXPECT_NE(texts[0].find("\"Gr\\xfc\\xdfe \\xd6lbaum\""), std::string::npos) << texts[0];
  EXPECT_NE(texts[1].find("\"5 Euro f\\xfcr Ma\\xdf\""), std::string::npos) << texts[1];
}

}  // namespace
