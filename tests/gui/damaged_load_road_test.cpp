// A drawing file cut short, loaded through Project > Load over an open
// drawing in the real window: the program says the file is damaged and the
// open drawing stays as it was, its elements, its name in the title and its
// modified flag, so that the next Save writes the drawing, not a fragment.

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "gui_steps.h"
#include "model/defaults.h"
#include "model/elem.h"
#include "model/files/kavfile.h"
#include "model/files/load_save.h"
#include "model/layers.h"
#include "shell/dlg_table.h"
#include "shell/gtk/mainwin.h"

namespace {

namespace fs = std::filesystem;

std::string bytes_of(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void put_bytes(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// The texts of the labels below w.
void label_texts(GtkWidget* w, std::string& out) {
  if (GTK_IS_LABEL(w)) out += gtk_label_get_text(GTK_LABEL(w));
  for (GtkWidget* c : gui_steps::children(w)) label_texts(c, out);
}

class DamagedLoadRoadTest : public GuiProgramTest {};

TEST_F(DamagedLoadRoadTest, ACutFileLeavesTheOpenDrawingAndItsName) {
  const fs::path plan = folder_ / "plan.kav";
  write_lines_drawing(plan, 5);
  const std::string original = bytes_of(plan);
  // A large drawing cut in the middle, and its first 3000 bytes.
  const fs::path large = folder_ / "large.kav";
  write_lines_drawing(large, 4000);
  const std::string whole = bytes_of(large);
  const fs::path halves = folder_ / "half.kav", head = folder_ / "head.kav";
  put_bytes(halves, whole.substr(0, whole.size() / 2));
  put_bytes(head, whole.substr(0, 3000));

  std::string title_before;
  std::vector<std::string> titles, errors;
  std::vector<int> counts, modified;
  then([] { return idle() && about_shown(); }, close_about);
  // The drawing as the program saves it before the damaged loads (start-up
  // sets the print and plot commands of this machine, so it is not the
  // file's bytes).
  save_as("before.kav", [] { return idle() && !about_shown(); });
  then(idle, [&title_before] { title_before = gtk_window_get_title(GTK_WINDOW(main_window)); });
  for (const fs::path& cut : {halves, head}) {
    then(idle, [] { choose_menu("Load"); });
    open_file(cut);
    then([] { return idle() && !dlg_slots[DLG_FILESEL] && dlg_slots[DLG_ERROR]; },
         [&] {
           std::string text;
           label_texts(static_cast<GtkWidget*>(dlg_slots[DLG_ERROR]), text);
           errors.push_back(text);
           titles.push_back(gtk_window_get_title(GTK_WINDOW(main_window)));
           counts.push_back(elem_count());
           modified.push_back(drawing_modified);
           dlg_destroy(DLG_ERROR);
         });
  }
  // Saved again, the drawing is what it was.
  save_as("after.kav");
  then(idle, [] { choose_menu("Quit"); });

  std::string out;
  EXPECT_EQ(run_program({plan.string()}, &out), 0) << out;
  EXPECT_NE(title_before.find("File: " + (folder_ / "before.kav").string() + " "), std::string::npos)
      << title_before;
  EXPECT_EQ(titles, std::vector<std::string>(2, title_before));
  EXPECT_EQ(counts, std::vector<int>(2, 5));
  EXPECT_EQ(modified, std::vector<int>(2, 0));
  ASSERT_EQ(errors.size(), 2u);
  for (const std::string& e : errors) EXPECT_NE(e.find("The file is damaged"), std::string::npos) << e;
  const std::string before = bytes_of(folder_ / "before.kav");
  // Its elements are the file's: five line chunks of 46 bytes at the end.
  ASSERT_GT(before.size(), 230u);
  EXPECT_TRUE(before.substr(before.size() - 230) == original.substr(original.size() - 230));
  EXPECT_TRUE(bytes_of(folder_ / "after.kav") == before)
      << "the drawing saved after the damaged loads differs";
}

}  // namespace
