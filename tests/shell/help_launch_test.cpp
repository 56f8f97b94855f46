// The help keys start a browser found on PATH with the page's file URL as
// an argument vector; fake browsers in a private folder stand first on PATH
// and write their arguments into a log.

#include "shell/help_launch.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "model/settings.h"
#include "platform/process.h"
#include "shell/nls_table.h"
#include "shell_fixture.h"
#include "support/temp_folder.h"

namespace {

// Starts the fake browser as the real starter does, but waits for it, so its
// log is complete when the command returns.
ProcessResult start_and_wait(const ProcessRequest& request) {
  ProcessRequest waited = request;
  waited.wait = true;
  waited.stdout_path = "/dev/null";
  return process_start_real(waited);
}

class HelpLaunchTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    const char* path = getenv("PATH");
    saved_path_ = path ? path : "";
    bin_ = tmp_ / "bin";
    std::filesystem::create_directories(bin_);
    // Only the fake browsers and the shell the scripts need.
    setenv("PATH", (bin_.string() + ":/bin:/usr/bin").c_str(), 1);
    previous_starter_ = process_starter_install(start_and_wait);
    help_browser = "";
    char cwd[4096];
    ASSERT_TRUE(getcwd(cwd, sizeof cwd));
    cwd_ = cwd;
  }
  void TearDown() override {
    process_starter_install(previous_starter_);
    setenv("PATH", saved_path_.c_str(), 1);
    help_browser = "";
    ShellTest::TearDown();
  }

  // A program on PATH that writes its name and arguments, one a line, into
  // the log named after it.
  void fake_browser(const std::string& name) {
    const std::filesystem::path program = bin_ / name;
    std::ofstream(program) << "#!/bin/sh\nprintf '%s\\n' \"$(basename \"$0\")\" \"$@\" > '"
                           << (tmp_ / (name + ".log")).string() << "'\n";
    chmod(program.c_str(), 0755);
  }
  std::vector<std::string> log_of(const std::string& name) {
    std::ifstream in(tmp_ / (name + ".log"));
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  std::string page(const std::string& name) { return "file://" + cwd_ + "/doc/" + name; }

  TempFolder tmp_;
  std::filesystem::path bin_;
  std::string cwd_;

 private:
  std::string saved_path_;
  ProcessStartFn previous_starter_ = nullptr;
};

TEST_F(HelpLaunchTest, HelpKeysOpenTheirPagesInTheFirstBrowserFound) {
  fake_browser("firefox");
  fake_browser("opera");
  struct Case {
    const char* key;
    std::string url;
  };
  for (const Case& c :
       {Case{"z_help_guide", page("index.html")}, Case{"z_help_tutorial", page("tut.html")},
        Case{"z_help_readme", page("readme.html")}, Case{"z_help_shortcut", page("8.html") + "#8-2"}}) {
    std::filesystem::remove(tmp_ / "firefox.log");
    cmd_dispatch(c.key);
    EXPECT_EQ(log_of("firefox"), (std::vector<std::string>{"firefox", c.url})) << c.key;
  }
  EXPECT_EQ(std::string(help_browser.c_str()), "firefox");
  EXPECT_FALSE(std::filesystem::exists(tmp_ / "opera.log"));
  EXPECT_TRUE(ui.calls_starting("error").empty());
}

TEST_F(HelpLaunchTest, ConfiguredCommandKeepsItsArgumentsAndOldHelperBecomesMozilla) {
  fake_browser("firefox");
  fake_browser("mozilla");
  help_browser = "mozilla --new-window 'two words'";
  cmd_dispatch("z_help_guide");
  EXPECT_EQ(log_of("mozilla"),
            (std::vector<std::string>{"mozilla", "--new-window", "two words", page("index.html")}));

  std::filesystem::remove(tmp_ / "mozilla.log");
  help_browser = "./nshelp";
  cmd_dispatch("z_help_guide");
  EXPECT_EQ(log_of("mozilla"), (std::vector<std::string>{"mozilla", page("index.html")}));
  EXPECT_FALSE(std::filesystem::exists(tmp_ / "firefox.log"));
}

TEST_F(HelpLaunchTest, ShellCharactersInTheConfiguredCommandStartNothingElse) {
  fake_browser("firefox");
  const std::filesystem::path planted = tmp_ / "pwned";
  // Its first word is no program, so the search goes on to the list.
  help_browser = "pwn; touch " + planted.string() + "; firefox";
  cmd_dispatch("z_help_guide");
  EXPECT_EQ(log_of("firefox"), (std::vector<std::string>{"firefox", page("index.html")}));
  // A first word that is a program runs alone, with the rest as its words.
  help_browser = "echo x > " + planted.string() + " && touch " + planted.string();
  cmd_dispatch("z_help_guide");
  EXPECT_FALSE(std::filesystem::exists(planted));
}

TEST_F(HelpLaunchTest, NoBrowserSaysSoAndStartsNothing) {
  help_browser = "no-such-browser";
  setenv("PATH", bin_.c_str(), 1);
  cmd_dispatch("z_help_readme");
  EXPECT_EQ(ui.calls_starting("error"),
            (std::vector<std::string>{"error Cannot start no-such-browser\nThe manual is here:\n" + cwd_ +
                                      "/doc/readme.html"}));
}

// A desktop opener starts, finds no browser and ends with a failure: the
// user learns where the manual is, whether the opener is waited for or
// watched on the main loop.
TEST_F(HelpLaunchTest, AnOpenerThatFindsNoBrowserNamesTheManual) {
  const std::filesystem::path opener = bin_ / "xdg-open";
  std::ofstream(opener) << "#!/bin/sh\nexit 3\n";
  chmod(opener.c_str(), 0755);
  const std::string said = "error Cannot start xdg-open\nThe manual is here:\n" + cwd_ + "/doc/index.html";
  cmd_dispatch("z_help_guide");
  EXPECT_EQ(ui.calls_starting("error"), std::vector<std::string>{said});

  ui.calls.clear();
  const ProcessStartFn waited = process_starter_install(process_start_real);
  cmd_dispatch("z_help_guide");
  EXPECT_TRUE(help_browser_check(true));
  process_starter_install(waited);
  EXPECT_EQ(ui.calls_starting("error"), std::vector<std::string>{said});

  // One that ends well says nothing.
  ui.calls.clear();
  std::ofstream(opener) << "#!/bin/sh\nexit 0\n";
  cmd_dispatch("z_help_guide");
  EXPECT_TRUE(help_browser_check(true));
  EXPECT_TRUE(ui.calls_starting("error").empty());
}

TEST(HelpPageUrl, BlanksAndOtherCharactersInTheFolderAreEncoded) {
  EXPECT_EQ(help_page_url("/opt/kavro", "index.html"), "file:///opt/kavro/doc/index.html");
  EXPECT_EQ(help_page_url("/home/a b/K#1%", "8.html", "8-2"), "file:///home/a%20b/K%231%25/doc/8.html#8-2");
  EXPECT_EQ(help_page_url("/h/\xe4", "tut.html"), "file:///h/%E4/doc/tut.html");
}

TEST(HelpPageLanguage, GermanInterfaceGetsTheGermanPageWhereOneExists) {
  const std::vector<std::string> saved_languages = languages;
  const int saved_text_language = nls_text_language;
  languages = {"english", "german"};
  const std::string stage = KAVRO_STAGE_DIR;
  nls_text_language = 1;
  EXPECT_EQ(help_page_in_language(stage, "tut.html"), "de/tut.html");
  EXPECT_EQ(help_page_in_language(stage, "no-such-page.html"), "no-such-page.html");
  nls_text_language = 0;
  EXPECT_EQ(help_page_in_language(stage, "tut.html"), "tut.html");
  languages = saved_languages;
  nls_text_language = saved_text_language;
}

}  // namespace
