// Combos under the toolkit: preset, font and texture combos and their lists.
// Their text is the one thing the program sets with the handlers running: the
// buffer follows it and a tool page's preset loader runs after the store.

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "bind_fixture.h"
#include "display/font.h"
#include "display/font_fixture.h"
#include "model/consts.h"
#include "support/recording_ui.h"
#include "support/temp_folder.h"

namespace {

using Trace = std::vector<std::string>;

const char* const dejavu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

class BindComboTest : public BindGtkTest {
 protected:
  void SetUp() override {
    BindGtkTest::SetUp();
    saved_fonts_ = font_stroke_dir;
    dialog_path = (dir / "dia/").string();
    base_dir = (dir / "base").string();
    font_stroke_dir = (dir / "fonts").string();
  }
  void TearDown() override {
    font_stroke_dir = saved_fonts_;
    BindGtkTest::TearDown();
  }

  static std::vector<std::string> listed(GtkWidget* combo) {
    std::vector<std::string> out;
    GtkTreeModel* model = gtk_combo_box_get_model(GTK_COMBO_BOX(combo));
    GtkTreeIter it;
    for (gboolean ok = gtk_tree_model_get_iter_first(model, &it); ok;
         ok = gtk_tree_model_iter_next(model, &it)) {
      gchar* text = nullptr;
      gtk_tree_model_get(model, &it, 0, &text, -1);
      out.push_back(text ? text : "");
      g_free(text);
    }
    return out;
  }
  static GtkWidget* entry_of(GtkWidget* combo) { return gtk_bin_get_child(GTK_BIN(combo)); }

  TempFolder dir;
  std::string saved_fonts_;
};

// Stands for a tool page's preset loader: connected after the combo's own
// handlers, it sees the name already stored.
FixedText<NAME_LEN>* loader_name = nullptr;
void loader(GtkEntry*, gpointer) { bind_trace().push_back(std::string("load ") + loader_name->c_str()); }

TEST_F(BindComboTest, APresetComboListsItsFolderAndLoadsWhatIsChosen) {
  for (const char* n : {"Wood", "Brick", "Concrete"}) dir.write(std::string("dia/door/") + n, "1\n");
  FixedText<NAME_LEN> name("Concrete");
  loader_name = &name;
  GtkWidget* c = add(bind_preset_combo_new(name, "door"));
  EXPECT_EQ(listed(c), (Trace{"Brick", "Concrete", "Wood"}));
  EXPECT_EQ(text_of(entry_of(c)), "Concrete");
  EXPECT_EQ(taken(), (Trace{"draw 6"})) << "the text set once more while it is made";
  EXPECT_EQ(gtk_entry_get_max_length(GTK_ENTRY(entry_of(c))), 39);
  g_signal_connect(entry_of(c), "changed", G_CALLBACK(loader), nullptr);

  gtk_combo_box_set_active(GTK_COMBO_BOX(c), 0);
  EXPECT_EQ(name.view(), "Brick");
  EXPECT_EQ(taken(), (Trace{"draw 6", "load Brick"}));

  // A refill with the name shown runs the handlers all the same.
  bind_combo_fill_from_folder(c, "door", "Brick");
  EXPECT_EQ(taken(), (Trace{"draw 6", "load Brick"}));

  // Setting the text from the program stores it: the loader needs the name.
  bind_set_combo_text(c, "Wood");
  EXPECT_EQ(name.view(), "Wood");
  EXPECT_EQ(taken(), (Trace{"draw 6", "load Wood"}));
}

TEST_F(BindComboTest, AnEmptyOrMissingFolderKeepsTheList) {
  for (const char* n : {"a", "b"}) dir.write(std::string("dia/wall/") + n);
  FixedText<NAME_LEN> name("a");
  GtkWidget* c = add(bind_preset_combo_new(name, "wall"));
  dir.make_folder("dia/empty");
  bind_combo_fill_from_folder(c, "empty", "Fresh");
  EXPECT_EQ(listed(c), (Trace{"a", "b"}));
  EXPECT_EQ(text_of(entry_of(c)), "Fresh");
  EXPECT_EQ(name.view(), "Fresh");

  testing::internal::CaptureStdout();
  bind_combo_fill_from_folder(c, "nowhere", "Other");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Error scanning DIR\n");
  EXPECT_EQ(listed(c), (Trace{"a", "b"}));
  EXPECT_EQ(text_of(entry_of(c)), "Fresh");
}

TEST_F(BindComboTest, AFullFolderIsListedWhole) {
  for (int i = 0; i < 250; ++i) dir.write("dia/room/r" + std::to_string(1000 + i));
  FixedText<NAME_LEN> name("r1000");
  GtkWidget* c = add(bind_preset_combo_new(name, "room"));
  Trace names = listed(c);
  ASSERT_EQ(names.size(), 250u);
  EXPECT_EQ(names.front(), "r1000");
  EXPECT_EQ(names.back(), "r1249");
}

TEST_F(BindComboTest, NamesInSlotsAreSortedAndAnEmptyListChangesNothing) {
  FixedText<40> name;
  GtkWidget* c = add(bind_preset_combo_new(name, "none"));
  char slots[3 * 40] = {};
  std::strcpy(slots, "b");
  std::strcpy(slots + 40, "\xC4pfel");
  std::strcpy(slots + 80, "A");
  bind_combo_set_names(c, slots, 3);
  EXPECT_EQ(listed(c), (Trace{"A", "b", "\xC3\x84pfel"}));
  bind_combo_set_names(c, slots, 0);
  EXPECT_EQ(listed(c), (Trace{"A", "b", "\xC3\x84pfel"}));
  gtk_combo_box_set_active(GTK_COMBO_BOX(c), 2);
  EXPECT_EQ(name.view(), "\xC4pfel");
}

TEST_F(BindComboTest, TheFontComboShowsAnyNameButTakesNoTyping) {
  for (const char* f : {"Simpel", "Roman"}) dir.write(std::string("fonts/") + f, stroke_font_text());
  dir.make_folder("base/ttf");
  std::filesystem::copy_file(dejavu, dir / "base/ttf/serif.ttf");
  FixedText<FONT_NAME_LEN> font("Roman");
  testing::internal::CaptureStdout();
  GtkWidget* c = add(bind_font_combo_new(font, "text"));
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(listed(c), (Trace{"Roman", "Simpel", "serif.ttf"}));
  EXPECT_EQ(text_of(entry_of(c)), "Roman");
  EXPECT_EQ(taken(), Trace{}) << "nothing runs while it is made";
  EXPECT_FALSE(gtk_editable_get_editable(GTK_EDITABLE(entry_of(c))));
  EXPECT_FALSE(gtk_widget_get_can_focus(entry_of(c)));
  EXPECT_EQ(gtk_entry_get_max_length(GTK_ENTRY(entry_of(c))), FONT_NAME_LEN - 1);

  gtk_combo_box_set_active(GTK_COMBO_BOX(c), 2);
  EXPECT_EQ(font.view(), "serif.ttf");
  EXPECT_EQ(taken(), (Trace{"draw 1"}));

  bind_set_combo_text(c, "Not in the list at all");
  EXPECT_EQ(text_of(entry_of(c)), "Not in the list at a");
  EXPECT_EQ(font.view(), "Not in the list at a");
}

// A font that does not load is refused when chosen: a message names it, the
// buffer keeps the font it had and nothing is redrawn or printed.
TEST_F(BindComboTest, AFontThatDoesNotLoadIsRefused) {
  font_slots_clear();
  RecordingUi ui;
  dir.write("fonts/Roman", stroke_font_text());
  dir.write("base/ttf/broken.ttf", "not a font");
  dir.write("base/ttf/serif.ttf", "");
  std::filesystem::copy_file(dejavu, dir / "base/ttf/sans.ttf");
  FixedText<FONT_NAME_LEN> font("Roman");
  GtkWidget* c = add(bind_font_combo_new(font, "text"));
  ASSERT_EQ(listed(c), (Trace{"Roman", "broken.ttf", "sans.ttf", "serif.ttf"}));

  for (int bad : {1, 3}) {
    testing::internal::CaptureStdout();
    gtk_combo_box_set_active(GTK_COMBO_BOX(c), bad);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(font.view(), "Roman");
    EXPECT_EQ(text_of(entry_of(c)), "Roman");
    EXPECT_EQ(taken(), Trace{});
  }
  EXPECT_EQ(ui.calls_starting("error"), (std::vector<std::string>{"error Not a font file: broken.ttf",
                                                                  "error Not a font file: serif.ttf"}));

  gtk_combo_box_set_active(GTK_COMBO_BOX(c), 2);
  EXPECT_EQ(font.view(), "sans.ttf");
  EXPECT_EQ(taken(), (Trace{"draw 1"}));
  EXPECT_EQ(ui.calls_starting("error").size(), 2u);
  font_slots_clear();
}

TEST_F(BindComboTest, TheTextureComboListsTheTexFolder) {
  dir.write("base/tex/wood.png");
  dir.write("base/tex/brick.png");
  FixedText<PATH_LEN> image("brick.png");
  GtkWidget* c = add(bind_texture_combo_new(image, "mat"));
  EXPECT_EQ(listed(c), (Trace{"brick.png", "wood.png"}));
  gtk_combo_box_set_active(GTK_COMBO_BOX(c), 1);
  EXPECT_EQ(image.view(), "wood.png");
  EXPECT_EQ(taken(), Trace{});  // "mat" redraws nothing
}

}  // namespace
