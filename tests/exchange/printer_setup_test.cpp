#include "exchange/printer_setup.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <sstream>

#include "model/settings.h"
#include "platform/process.h"
#include "support/model_fixture.h"
#include "support/temp_folder.h"

namespace {

std::vector<std::string> parse(const std::string& text) {
  std::istringstream in(text);
  return printer_parse_printcap(in);
}

TEST(Printcap, EntriesGiveTheirFirstNameOnly) {
  EXPECT_EQ(parse("# office\n\nlp|myalias:\\\n\t:sd=/var/spool/lpd:\\\n\t:mx#0:\n |x\n"),
            (std::vector<std::string>{"Default", "Custom", "lp"}));
  EXPECT_EQ(parse("a b c:\\\nplain\n"), (std::vector<std::string>{"Default", "Custom", "abc", "plain"}));
  EXPECT_EQ(parse(""), (std::vector<std::string>{"Default", "Custom"}));
}

TEST(Printcap, LongNamesAreCutAndTheListEndsAtTwenty) {
  EXPECT_EQ(parse("abcdefghijklmnopqrstuvwxy:\n")[2], "abcdefghijklmnopqr");
  std::string many;
  for (int i = 0; i < 30; ++i) many += "q" + std::to_string(i) + ":\n";
  const std::vector<std::string> names = parse(many);
  ASSERT_EQ(names.size(), 20u);
  EXPECT_EQ(names.back(), "q17");
  // A line far longer than any buffer stays one line, not several names.
  EXPECT_EQ(parse("wide|" + std::string(600, 'x') + "\n").size(), 3u);
}

TEST(Printcap, AnswersAndCommands) {
  EXPECT_TRUE(printer_answer_is_program("/usr/bin/lp"));
  EXPECT_TRUE(printer_answer_is_program("./lp"));
  EXPECT_FALSE(printer_answer_is_program(""));
  EXPECT_FALSE(printer_answer_is_program("which: no lp"));

  const std::vector<std::string> names = {"Default", "Custom", "lp", "Office 2"};
  struct Case {
    int index, lpr;
    const char* expected;
  } cases[] = {{0, 0, "lp"},       {0, 1, "lpr"}, {1, 0, "my -x"}, {2, 0, "lp -d lp"},
               {2, 1, "lpr -Plp"}, {9, 1, "lpr"}, {-1, 0, "lp"},   {3, 1, "lpr -P'Office 2'"}};
  for (const Case& c : cases)
    EXPECT_EQ(printer_derive_command(c.index, c.lpr, names, "my -x"), c.expected) << c.index << " " << c.lpr;
  // A queue with blanks stays one word for the program.
  EXPECT_EQ(process_split_command(printer_derive_command(3, 0, names, "")),
            (std::vector<std::string>{"lp", "-d", "Office 2"}));
}

class PrinterSetup : public ModelTest {
 protected:
  void SetUp() override {
    ModelTest::SetUp();
    const char* old = std::getenv("PATH");
    saved_path_ = old ? old : "";
    saved_printcap_ = printcap_path;
    printer_names.clear();
    printer_index = plotter_index = 0;
  }
  void TearDown() override {
    setenv("PATH", saved_path_.c_str(), 1);
    printcap_path = saved_printcap_;
    printer_names.clear();
    printer_index = plotter_index = 0;
    ModelTest::TearDown();
  }
  // PATH holds only a folder, with or without a fake lp in it.
  void path_with_lp(bool lp) {
    if (lp) {
      dir_.write("lp", "#!/bin/sh\n");
      ::chmod((dir_ / "lp").c_str(), 0700);
    }
    setenv("PATH", dir_.path().c_str(), 1);
  }
  TempFolder dir_;

 private:
  std::string saved_path_, saved_printcap_;
};

TEST_F(PrinterSetup, ChosenQueueGivesTheSpoolerCommand) {
  dir_.write("printcap", "lp|myalias:\\\n\t:sd=/x:\nplotter:\n");
  printcap_path = (dir_ / "printcap").string();
  path_with_lp(true);
  print_settings.printer_name.set("lp");
  plot_settings.plotter_name.set("plotter");
  printer_setup_init();
  EXPECT_EQ(printer_names, (std::vector<std::string>{"Default", "Custom", "lp", "plotter"}));
  EXPECT_EQ(printer_use_lpr, 0);
  EXPECT_EQ(printer_index, 2);
  EXPECT_EQ(plotter_index, 3);
  EXPECT_EQ(print_settings.command, "lp -d lp");
  EXPECT_EQ(plot_settings.command, "lp -d plotter");

  // Without lp on PATH the spooler is lpr; the list is not read again.
  path_with_lp(false);
  ::unlink((dir_ / "lp").c_str());
  printcap_path = "/nonexistent/printcap";
  printer_setup_init();
  EXPECT_EQ(printer_names.size(), 4u);
  EXPECT_EQ(print_settings.command, "lpr -Plp");

  // "Custom" keeps the typed command; an unknown name keeps the index.
  print_settings.printer_name.set("Custom");
  print_settings.command.set("cat > /tmp/out.ps");
  plot_settings.plotter_name.set("gone");
  printer_setup_init();
  EXPECT_EQ(print_settings.command, "cat > /tmp/out.ps");
  EXPECT_EQ(plotter_index, 3);
}

TEST_F(PrinterSetup, WithoutPrintersOnlyTheSpoolerRemains) {
  printcap_path = (dir_ / "none").string();
  path_with_lp(false);
  print_settings.printer_name.set("Default");
  printer_setup_init();
  EXPECT_EQ(printer_names, (std::vector<std::string>{"Default", "Custom"}));
  EXPECT_EQ(print_settings.command, "lpr");
}

TEST_F(PrinterSetup, ChosenPaperSetsTheSizeInCentimetres) {
  printcap_path = (dir_ / "none").string();
  print_settings.paper_index = 2;  // DIN - A3
  plot_settings.paper_index = 0;
  plot_settings.paper_width = 12.5;
  printer_setup_init();
  EXPECT_EQ(paper_sizes[2].display_name, "DIN - A3");
  EXPECT_NEAR(print_settings.paper_width, 29.70, 0.005);
  EXPECT_NEAR(print_settings.paper_height, 41.98, 0.005);
  EXPECT_DOUBLE_EQ(paper_sizes[2].width_cm, print_settings.paper_width);
  EXPECT_DOUBLE_EQ(plot_settings.paper_width, 12.5);  // custom paper keeps its size
}

}  // namespace
