// What the file chooser's raw choice becomes.

#include <gtest/gtest.h>

#include <string>

#include "model/consts.h"
#include "shell/filesel.h"

namespace {

TEST(FileselCheck, ResultsByChoiceModeAndExistingFile) {
  struct Case {
    std::string chosen;
    int mode;
    bool exists;
    std::string path;
    bool error, ask;
    const char* why = nullptr;
  };
  const char* folder = "This is a folder, not a file.";
  const std::string longest(PATH_LEN - 1, 'a');
  const std::string too_long = "/" + std::string(PATH_LEN - 1, 'a');
  const Case cases[] = {
      {"cancel", 0, false, "cancel", false, false},
      {"cancel", 1, true, "cancel", false, false},
      {"", 0, false, "cancel", true, false},
      {"", 2, false, "cancel", true, false},
      {"/data/plans/", 0, false, "cancel", true, false, folder},
      {"/data/plans/", 1, true, "cancel", true, false, folder},
      {"/data/plans/", 2, false, "/data/plans/", false, false},
      {"/data/a.kav", 0, true, "/data/a.kav", false, false},
      {"/data/a.kav", 1, false, "/data/a.kav", false, false},
      {"/data/a.kav", 1, true, "/data/a.kav", false, true},
      {longest, 1, false, longest, false, false},
      // Never cut: a cut path could name another file.
      {too_long, 0, true, "cancel", true, false},
      {too_long, 1, true, "cancel", true, false},
      {too_long + "/", 2, false, "cancel", true, false},
  };
  for (const Case& c : cases) {
    std::string asked;
    FileselCheck r = filesel_check(c.chosen, c.mode, [&](const std::string& p) {
      asked = p;
      return c.exists;
    });
    std::string what = "\"" + c.chosen.substr(0, 20) + "\" mode " + std::to_string(c.mode);
    EXPECT_EQ(r.path, c.path) << what;
    EXPECT_EQ(r.error, c.error) << what;
    EXPECT_EQ(r.ask_overwrite, c.ask) << what;
    EXPECT_STREQ(r.why, c.why) << what;
    if (c.ask) {
      EXPECT_EQ(asked, c.chosen) << what;
    }
    if (c.mode != 1) {
      EXPECT_EQ(asked, "") << "only a save asks whether the file exists: " << what;
    }
  }
}

}  // namespace
