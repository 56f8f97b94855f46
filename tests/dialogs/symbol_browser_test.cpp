// The symbol browser in its window: the shipped library listed folder by
// folder, a symbol drawn in the preview, a fixture library's rows and
// paths, and the angle from the slider and the entry.

#include <gtest/gtest.h>

#include <algorithm>
#include <numbers>
#include <string>
#include <vector>

#include "dialog_fixture.h"
#include "dialogs/dlg_symbol.h"
#include "display/pixels.h"
#include "display/preview.h"
#include "display/view.h"
#include "model/settings.h"
#include "shell/cmd_keys.h"
#include "shell/gtk/mainwin_bars.h"

namespace {

class SymbolBrowser : public DialogTest {
 protected:
  void SetUp() override {
    DialogTest::SetUp();
    symbol_angle = 0.0;
    symbol_angle_slider = 0.0;
  }

  // The library copied from the installation.
  std::string shipped() const {
    std::filesystem::copy(std::filesystem::path(KAVRO_STAGE_DIR) / "dat/sym", home / "sym",
                          std::filesystem::copy_options::recursive);
    return (home / "sym").string() + "/";
  }
  static GtkWidget* open_browser() { return key("z_d_symbol", DLG_SYMBOL); }

  static std::vector<std::string> sorted(std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
  }
  // Chooses the row reading text in a list, as a click does.
  static void choose(GtkWidget* view, const std::vector<std::string>& rows, const std::string& text) {
    const auto it = std::find(rows.begin(), rows.end(), text);
    ASSERT_NE(it, rows.end()) << text;
    GtkTreePath* path = gtk_tree_path_new_from_indices(static_cast<int>(it - rows.begin()), -1);
    gtk_tree_selection_select_path(gtk_tree_view_get_selection(GTK_TREE_VIEW(view)), path);
    gtk_tree_path_free(path);
    settle();
  }
  static void choose_folder(const std::string& row) {
    choose(dlg_symbol_widgets().folders, dlg_symbol_folder_rows(), row);
  }
  static void choose_file(const std::string& row) {
    choose(dlg_symbol_widgets().files, dlg_symbol_file_rows(), row);
  }
  // Pixels of the symbol preview that are not background.
  static int drawn_pixels() {
    if (!view_surface(PREVIEW_SYMBOL)) return -1;
    const std::vector<uint32_t> all = view_pixels(PREVIEW_SYMBOL);
    return static_cast<int>(all.size()) -
           view_count(PREVIEW_SYMBOL, view_palettes[PREVIEW_SYMBOL][PAL_BACKGROUND]);
  }
};

TEST_F(SymbolBrowser, ListsTheShippedLibraryAndPreviewsASymbol) {
  symbol_path = shipped();
  ASSERT_NE(open_browser(), nullptr);
  EXPECT_EQ(sorted(dlg_symbol_folder_rows()),
            (std::vector<std::string>{"", "/building", "/furniture", "/sanitary"}));
  ASSERT_EQ(dlg_symbol_folder_rows().front(), "");
  // The root holds folders only: no file, no symbol, only the insertion mark.
  EXPECT_TRUE(dlg_symbol_file_rows().empty());
  EXPECT_STREQ(symbol_file.c_str(), "");
  const int empty = drawn_pixels();
  ASSERT_GE(empty, 0) << "the preview has no store";
  EXPECT_LT(empty, 100);

  choose_folder("/furniture");
  const std::vector<std::string> files = dlg_symbol_file_rows();
  EXPECT_EQ(sorted(files), (std::vector<std::string>{"bed.sym", "chair.sym", "table.sym"}));
  EXPECT_EQ(std::string(symbol_file.c_str()),
            symbol_path.c_str() + std::string("/furniture/") + files.front());
  choose_file("table.sym");
  EXPECT_EQ(std::string(symbol_file.c_str()), symbol_path.c_str() + std::string("/furniture/table.sym"));
  EXPECT_GT(drawn_pixels(), empty + 200) << "the table is not drawn";
  EXPECT_TRUE(stdout_text().find("empty file") == std::string::npos);
}

TEST_F(SymbolBrowser, AFixtureLibrarysRowsAndPaths) {
  home.make_folder("lib/a/b");
  home.make_folder("lib/a/sub");
  home.write("lib/a/only.sym", "x");
  ASSERT_EQ(symlink("..", (home / "lib/a/loop").c_str()), 0);
  symbol_path = (home / "lib").string() + "/";
  ASSERT_NE(open_browser(), nullptr);
  const std::vector<std::string> rows = dlg_symbol_folder_rows();
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0], "");
  EXPECT_EQ(sorted({rows[1], rows[2], rows[3]}), (std::vector<std::string>{"/a", "/a/b", "/a/sub"}));
  choose_folder("/a");
  EXPECT_EQ(dlg_symbol_file_rows(), (std::vector<std::string>{"only.sym"}));
  EXPECT_EQ(std::string(symbol_file.c_str()), (home / "lib").string() + "//a/only.sym");
  // A folder without files leaves no symbol chosen.
  choose_folder("/a/b");
  EXPECT_TRUE(dlg_symbol_file_rows().empty());
  EXPECT_STREQ(symbol_file.c_str(), "");
}

TEST_F(SymbolBrowser, NamesShowAsTheFileSystemSpellsThem) {
  home.write("lib/St\xC3\xBChle.sym", "x");  // UTF-8
  home.write("lib/B\xE4nke.sym", "x");       // Latin-1
  symbol_path = (home / "lib").string() + "/";
  ASSERT_NE(open_browser(), nullptr);
  EXPECT_EQ(sorted(dlg_symbol_file_rows()),
            (std::vector<std::string>{"B\xC3\xA4nke.sym", "St\xC3\xBChle.sym"}));
  choose_file("B\xC3\xA4nke.sym");
  EXPECT_EQ(std::string(symbol_file.c_str()), (home / "lib").string() + "//B\xE4nke.sym");
}

TEST_F(SymbolBrowser, TheSliderRoundsDownToFifteenDegreesAndTheEntryKeepsWhatIsTyped) {
  angle_unit = 1;
  symbol_path = shipped();
  ASSERT_NE(open_browser(), nullptr);
  const DlgSymbolWidgets& w = dlg_symbol_widgets();
  gtk_range_set_value(GTK_RANGE(w.slider), 44.0);
  settle();
  EXPECT_DOUBLE_EQ(symbol_angle_slider, 44.0);
  EXPECT_NEAR(symbol_angle, 30.0 * std::numbers::pi / 180.0, 1e-12);
  EXPECT_EQ(text_of(w.angle).rfind("30", 0), 0u) << text_of(w.angle);
  type_and_enter(w.angle, "44");
  EXPECT_NEAR(symbol_angle, 44.0 * std::numbers::pi / 180.0, 1e-9);
}

TEST_F(SymbolBrowser, TheAngleTurnsThePreview) {
  symbol_path = shipped();
  ASSERT_NE(open_browser(), nullptr);
  choose_folder("/furniture");
  choose_file("table.sym");
  const std::vector<uint32_t> straight = view_pixels(PREVIEW_SYMBOL);
  gtk_range_set_value(GTK_RANGE(dlg_symbol_widgets().slider), 45.0);
  settle();
  EXPECT_NE(view_pixels(PREVIEW_SYMBOL), straight);
}

TEST_F(SymbolBrowser, CloseHidesTheBrowserWhichKeepsItsChoice) {
  symbol_path = shipped();
  GtkWidget* window = open_browser();
  ASSERT_NE(window, nullptr);
  choose_folder("/sanitary");
  const std::string chosen(symbol_file.c_str());
  ASSERT_FALSE(chosen.empty());
  click(dlg_symbol_widgets().close);
  EXPECT_FALSE(gtk_widget_get_visible(window));
  EXPECT_EQ(open_browser(), window);
  EXPECT_TRUE(gtk_widget_get_visible(window));
  EXPECT_EQ(std::string(symbol_file.c_str()), chosen);
  EXPECT_TRUE(stdout_text().find("no handler") == std::string::npos);
}

TEST_F(SymbolBrowser, TheLibraryIsScannedWhenTheBrowserIsBuilt) {
  symbol_path = shipped();
  ASSERT_NE(open_browser(), nullptr);
  home.make_folder("sym/garden");
  home.write("sym/garden/tree.sym", "x");
  key("z_c_symbol", DLG_SYMBOL);
  ASSERT_NE(open_browser(), nullptr);
  EXPECT_EQ(dlg_symbol_folder_rows().size(), 4u);
  // Reading a settings file destroys it; the next opening scans again and
  // its preview draws into the new window.
  gui_reset_dialogs_after_settings();
  settle();
  EXPECT_EQ(dlg_slots[DLG_SYMBOL], nullptr);
  ASSERT_NE(open_browser(), nullptr);
  EXPECT_EQ(dlg_symbol_folder_rows().size(), 5u);
  choose_folder("/furniture");
  choose_file("bed.sym");
  EXPECT_GT(drawn_pixels(), 200);
}

}  // namespace
