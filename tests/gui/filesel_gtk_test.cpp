// The file chooser on a real display: its results, its question before an
// existing file is overwritten, and its folder buttons.

#include <gtk/gtk.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "display/command_buffer.h"
#include "gui_steps.h"
#include "model/settings.h"
#include "shell/cmd_loop.h"
#include "shell/dlg_boxes.h"

namespace {

namespace fs = std::filesystem;

class FileselTest : public GuiBoxTest {
 protected:
  void SetUp() override {
    GuiBoxTest::SetUp();
    char tmpl[] = "/tmp/kavro-filesel-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    fs::create_directories(dir_ / "plans");
    std::ofstream(dir_ / "old.kav") << "old drawing";
    cmd_install_shell_hooks();
  }
  void TearDown() override {
    GuiBoxTest::TearDown();
    fs::remove_all(dir_);
  }

  static GtkFileChooser* chooser() { return GTK_FILE_CHOOSER(dlg_slots[DLG_FILESEL]); }
  // The chooser has settled on a file name.
  static bool named() {
    if (!dlg_slots[DLG_FILESEL]) return false;
    gchar* name = gtk_file_chooser_get_filename(chooser());
    bool ok = name != nullptr;
    g_free(name);
    return ok;
  }
  static bool in_folder(const fs::path& folder) {
    if (!dlg_slots[DLG_FILESEL]) return false;
    gchar* f = gtk_file_chooser_get_current_folder(chooser());
    bool ok = f && fs::path(f) == folder;
    g_free(f);
    return ok;
  }
  static void respond(int response) { gtk_dialog_response(GTK_DIALOG(dlg_slots[DLG_FILESEL]), response); }
  static void click_ok() {
    GtkWidget* ok = find_button(static_cast<GtkWidget*>(dlg_slots[DLG_FILESEL]), "OK");
    ASSERT_NE(ok, nullptr);
    gtk_button_clicked(GTK_BUTTON(ok));
  }
  // The error box shows text, or there is none when text is empty.
  static std::string error_shown() {
    settle();
    auto errors = windows_titled("Error");
    return errors.empty() ? "" : label_texts(errors[0]);
  }

  fs::path dir_;
};

TEST_F(FileselTest, NothingChosenIsCancelWithAMessage) {
  then([] { return dlg_slots[DLG_FILESEL] != nullptr; }, click_ok);
  EXPECT_EQ(filesel_choose("Load Drawing...", "", 0, ""), "cancel");
  EXPECT_EQ(error_shown(), "Cannot open file|Close|");
  EXPECT_EQ(dlg_slots[DLG_FILESEL], nullptr);
}

TEST_F(FileselTest, CancelAndClosingAreCancelWithoutAMessage) {
  then([] { return dlg_slots[DLG_FILESEL] != nullptr; }, [] { respond(GTK_RESPONSE_CANCEL); });
  EXPECT_EQ(filesel_choose("Load Drawing...", (dir_ / "old.kav").c_str(), 0, ""), "cancel");
  when_shown(DLG_FILESEL, [](GtkWidget* w) { gtk_window_close(GTK_WINDOW(w)); });
  EXPECT_EQ(filesel_choose("Load Drawing...", (dir_ / "old.kav").c_str(), 0, ""), "cancel");
  EXPECT_EQ(error_shown(), "");
}

TEST_F(FileselTest, OpenModeReturnsTheChosenFile) {
  std::string start = (dir_ / "old.kav").string();
  then(named, click_ok);
  EXPECT_EQ(filesel_choose("Load Drawing...", start.c_str(), 0, ""), start);
}

TEST_F(FileselTest, AFolderOutsideFolderModeIsCancelWithAMessage) {
  std::string folder = (dir_ / "plans").string();
  then([] { return dlg_slots[DLG_FILESEL] != nullptr; },
       [folder] { gtk_file_chooser_select_filename(chooser(), folder.c_str()); });
  then(named, click_ok);
  EXPECT_EQ(filesel_choose("Load Drawing...", (dir_.string() + "/").c_str(), 0, ""), "cancel");
  EXPECT_EQ(error_shown(), "Cannot open file\nThis is a folder, not a file.|Close|");
}

TEST_F(FileselTest, FolderModeReturnsTheFolderWithItsSlash) {
  std::string folder = (dir_ / "plans").string();
  then([folder] { return in_folder(folder); }, click_ok);
  EXPECT_EQ(filesel_choose("Drawing path", (folder + "/").c_str(), 2, ""), folder + "/");
  EXPECT_EQ(error_shown(), "");
}

TEST_F(FileselTest, SavingOverAnExistingFileAsksFirst) {
  std::string existing = (dir_ / "old.kav").string();
  struct Case {
    const char* answer;  // the question's button, or "" to close it
    std::string result;
  };
  const Case cases[] = {{"Overwrite", existing}, {"Cancel", "cancel"}, {"", "cancel"}};
  for (const Case& c : cases) {
    std::string question;
    then(named, click_ok);
    when_shown(DLG_ASK, [&question, &c](GtkWidget* box) {
      question = label_texts(box);
      if (*c.answer)
        gtk_button_clicked(GTK_BUTTON(find_button(box, c.answer)));
      else
        gtk_window_close(GTK_WINDOW(box));
    });
    EXPECT_EQ(filesel_choose("Save Drawing...", existing.c_str(), 1, ""), c.result) << c.answer;
    EXPECT_EQ(question, "File already exists. OK to overwrite it?|Overwrite|Cancel|") << c.answer;
  }
  std::ifstream in(existing);
  std::string content;
  std::getline(in, content);
  EXPECT_EQ(content, "old drawing");

  // A new name is taken without a question.
  std::string fresh = (dir_ / "new.kav").string();
  then(named, click_ok);
  EXPECT_EQ(filesel_choose("Save Drawing...", fresh.c_str(), 1, ""), fresh);
  EXPECT_EQ(dlg_slots[DLG_ASK], nullptr);
}

TEST_F(FileselTest, HomeAndPathButtonsMoveTheChooserWithoutEndingIt) {
  fs::create_directories(dir_ / "home");
  base_dir = (dir_ / "home").string() + "/";
  fs::path path_folder = dir_ / "plans";
  then([] { return dlg_slots[DLG_FILESEL] != nullptr; },
       [] {
         GtkWidget* home = find_button(static_cast<GtkWidget*>(dlg_slots[DLG_FILESEL]), "> Kavro Home");
         ASSERT_NE(home, nullptr);
         gtk_button_clicked(GTK_BUTTON(home));
       });
  then([this] { return in_folder(dir_ / "home"); },
       [] {
         GtkWidget* path = find_button(static_cast<GtkWidget*>(dlg_slots[DLG_FILESEL]), "> Kavro Path");
         ASSERT_NE(path, nullptr);
         gtk_button_clicked(GTK_BUTTON(path));
       });
  then([path_folder] { return in_folder(path_folder); }, [] { respond(GTK_RESPONSE_CANCEL); });
  EXPECT_EQ(filesel_choose("Load Symbol...", (dir_ / "old.kav").c_str(), 0, path_folder.c_str()), "cancel");
  base_dir = "";
}

TEST_F(FileselTest, ATooLongPathIsRefusedNotCut) {
  fs::path deep = dir_;
  while (deep.string().size() < 200) deep /= "a_rather_long_folder_name";
  fs::create_directories(deep);
  std::string name(80, 'n');
  then([deep] { return in_folder(deep); },
       [name] {
         gtk_file_chooser_set_current_name(chooser(), name.c_str());
         click_ok();
       });
  EXPECT_EQ(filesel_choose("Export SVG...", (deep.string() + "/").c_str(), 1, ""), "cancel");
  EXPECT_EQ(error_shown(), "Cannot open file|Close|");
}

TEST_F(FileselTest, AKeyPostedWhileTheChooserWaitsIsCancel) {
  then([] { return dlg_slots[DLG_FILESEL] != nullptr; }, [] { cmd_post_key(nullptr, "b_line_line"); });
  EXPECT_EQ(filesel_choose("Load Drawing...", (dir_ / "old.kav").c_str(), 0, ""), "cancel");
  EXPECT_STREQ(command_key.c_str(), "nop");
  EXPECT_EQ(error_shown(), "");
}

}  // namespace
