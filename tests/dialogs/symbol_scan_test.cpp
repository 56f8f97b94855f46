// The symbol library as the browser lists it, without a display: folders
// depth first with their row texts, the regular files of a folder, links
// that lead back up, and the angle the slider gives.

#include "dialogs/symbol_scan.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace {

// root/a/b with files in a; root ends in a slash as the setting does.
class SymbolScan : public ::testing::Test {
 protected:
  void SetUp() override {
    dir.make_folder("root/a/b");
    dir.write("root/a/one.sym", "1");
    dir.write("root/a/two.sym", "2");
    root = (dir / "root").string() + "/";
  }
  std::vector<std::string> rows() const {
    std::vector<std::string> folders, out;
    symbol_scan_folders(root, folders);
    for (const std::string& f : folders) out.push_back(symbol_folder_row(f, root));
    return out;
  }
  TempFolder dir;
  std::string root;
};

TEST_F(SymbolScan, FoldersComeDepthFirstAndShowWithoutTheRoot) {
  EXPECT_EQ(rows(), (std::vector<std::string>{"", "/a", "/a/b"}));
  std::vector<std::string> folders;
  symbol_scan_folders(root, folders);
  ASSERT_EQ(folders.size(), 3u);
  EXPECT_EQ(folders[1], root + "/a");
  EXPECT_EQ(root + symbol_folder_row(folders[2], root), folders[2]);
}

TEST_F(SymbolScan, EachFolderPrecedesItsOwnChildren) {
  dir.make_folder("root/c/d");
  dir.make_folder("root/a/b/e");
  std::vector<std::string> folders;
  symbol_scan_folders(root, folders);
  ASSERT_EQ(folders.size(), 6u);
  auto at = [&](const std::string& row) {
    return std::find(folders.begin(), folders.end(), root + row) - folders.begin();
  };
  EXPECT_EQ(at(""), 0);
  EXPECT_EQ(at("/a/b"), at("/a") + 1);
  EXPECT_EQ(at("/a/b/e"), at("/a/b") + 1);
  EXPECT_EQ(at("/c/d"), at("/c") + 1);
}

TEST_F(SymbolScan, LinksBackUpAreNotFollowedAgain) {
  ASSERT_EQ(symlink("..", (dir / "root/a/loop").c_str()), 0);
  ASSERT_EQ(symlink("../..", (dir / "root/a/b/up").c_str()), 0);
  EXPECT_EQ(rows(), (std::vector<std::string>{"", "/a", "/a/b"}));
}

TEST_F(SymbolScan, OnlyRegularFilesAreSymbols) {
  ASSERT_EQ(symlink("two.sym", (dir / "root/a/link.sym").c_str()), 0);
  ASSERT_EQ(symlink("b", (dir / "root/a/folder-link").c_str()), 0);
  ASSERT_EQ(symlink("missing", (dir / "root/a/dangling").c_str()), 0);
  ASSERT_EQ(mkfifo((dir / "root/a/pipe").c_str(), 0600), 0);
  std::vector<std::string> files = symbol_scan_files(root + "/a");
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files, (std::vector<std::string>{"link.sym", "one.sym", "two.sym"}));
  EXPECT_TRUE(symbol_scan_files(root + "/a/b").empty());
}

TEST_F(SymbolScan, AFolderThatCannotBeReadIsReportedAndGivesNothing) {
  const std::string missing = root + "missing";
  testing::internal::CaptureStdout();
  std::vector<std::string> folders;
  symbol_scan_folders(missing, folders);
  const std::vector<std::string> files = symbol_scan_files(missing);
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_TRUE(folders.empty());
  EXPECT_TRUE(files.empty());
  EXPECT_EQ(out, "Error scanning dir " + missing + "\nError scanning dir " + missing + "\n");
}

TEST(SymbolSliderAngle, RoundsDownToFifteenDegrees) {
  struct Case {
    double slider, degrees;
  };
  const Case cases[] = {{0, 0}, {14.9, 0}, {15, 15}, {44, 30}, {45, 45}, {90, 90}, {359, 345}, {360, 360}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.slider);
    EXPECT_NEAR(symbol_slider_angle(c.slider), c.degrees * std::numbers::pi / 180.0, 1e-12);
  }
}

}  // namespace
