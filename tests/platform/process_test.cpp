// Starting programs from argument vectors, finding them on PATH, and the
// private temporary folder.

#include "platform/process.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "platform/temp_folder.h"
#include "support/recording_process.h"
#include "support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

std::string read_all(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(Process, ExitStatusOfProgramsThatRunAndMinusOneForOnesThatCannotStart) {
  EXPECT_EQ(process_run({"true"}), 0);
  EXPECT_EQ(process_run({"false"}), 1);
  EXPECT_EQ(process_run({"sh", "-c", "exit 7"}), 7);
  EXPECT_EQ(process_run({"kavro-no-such-program"}), -1);
  EXPECT_EQ(process_run({}), -1);
  ProcessRequest missing;
  missing.argv = {"/nonexistent/prog"};
  EXPECT_FALSE(process_start(missing).started);
}

// A file name full of shell syntax reaches the program as one argument and
// is never interpreted.
TEST(Process, ArgumentsReachTheProgramUnchangedAndOutputGoesToItsFile) {
  TempFolder dir;
  const std::string hostile = "a b;touch " + (dir / "pwned").string() + " $(id) `x` 'q\" *";
  ProcessRequest r;
  r.argv = {"printf", "%s|", hostile, "second"};
  r.stdout_path = (dir / "out.txt").string();
  ProcessResult result = process_start(r);
  ASSERT_TRUE(result.started);
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_EQ(read_all(dir / "out.txt"), hostile + "|second|");
  EXPECT_FALSE(fs::exists(dir / "pwned"));
}

// The program starts in the folder asked for, its output path taken from
// there; a folder that does not exist starts nothing.
TEST(Process, StartsInTheWorkingFolder) {
  TempFolder dir;
  ProcessRequest r;
  r.argv = {"pwd"};
  r.working_dir = dir.path().string();
  r.stdout_path = "where.txt";
  ProcessResult result = process_start(r);
  ASSERT_TRUE(result.started);
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_EQ(read_all(dir / "where.txt"), fs::canonical(dir.path()).string() + "\n");

  r.working_dir = (dir / "missing").string();
  r.stdout_path.clear();
  EXPECT_FALSE(process_start(r).started);
}

TEST(Process, BackgroundStartReturnsAtOnce) {
  ProcessRequest r;
  r.argv = {"true"};
  r.wait = false;
  ProcessResult result = process_start(r);
  EXPECT_TRUE(result.started);
  EXPECT_EQ(result.exit_status, -1);
  ASSERT_GT(result.pid, 0);

  // Once it has ended it is collected and its status kept.
  EXPECT_EQ(process_background_wait(result.pid), 0);
  EXPECT_EQ(process_background_count(), 0u);
  EXPECT_EQ(::waitpid(result.pid, nullptr, WNOHANG), -1);  // already collected
  EXPECT_EQ(process_background_wait(::getpid()), -1);      // no background program of ours
}

// A background program that ends is collected at once, with nothing else
// started or asked afterwards: no zombie stays under the program, whether
// it ran alone or as a chain.
TEST(Process, EndedBackgroundProgramsLeaveNoZombie) {
  for (const bool chain : {false, true}) {
    ProcessRequest r;
    r.argv = {"true"};
    r.wait = false;
    if (chain) r.then.push_back(r);
    const ProcessResult result = process_start(r);
    ASSERT_TRUE(result.started);
    // Waits for the end without collecting it (unless it is collected already).
    siginfo_t info{};
    const int waited = ::waitid(P_PID, static_cast<id_t>(result.pid), &info, WEXITED | WNOWAIT);
    ASSERT_TRUE(waited == 0 || errno == ECHILD);
    // Its entry in the process table goes once it is collected; the limit
    // only ends a test that fails.
    const std::string entry = "/proc/" + std::to_string(result.pid);
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (fs::exists(entry) && std::chrono::steady_clock::now() < limit) std::this_thread::yield();
    EXPECT_FALSE(fs::exists(entry)) << (chain ? "chain" : "single") << " left as a zombie";
  }
}

// A program runs in its folder, reads its input from a file and adds its
// output to the end of another, both named relative to that folder.
TEST(Process, WorkingFolderInputFileAndAppendedOutput) {
  TempFolder dir;
  dir.write("in.txt", "from the file\n");
  dir.write("out.txt", "before\n");
  ProcessRequest r;
  r.argv = {"sh", "-c", "pwd; cat"};
  r.working_dir = dir.path().string();
  r.stdin_path = "in.txt";
  r.stdout_path = "out.txt";
  r.stdout_append = true;
  const ProcessResult result = process_start(r);
  ASSERT_TRUE(result.started);
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_EQ(read_all(dir / "out.txt"), "before\n" + dir.path().string() + "\nfrom the file\n");

  r.stdout_append = false;
  ASSERT_EQ(process_start(r).exit_status, 0);
  EXPECT_EQ(read_all(dir / "out.txt"), dir.path().string() + "\nfrom the file\n");

  r.working_dir = (dir / "missing").string();
  EXPECT_FALSE(process_start(r).started);
}

// A chain runs its programs in order and stops at the first that fails,
// waited for or in one background process whose status tells how it ended.
TEST(Process, AChainRunsInOrderAndStopsAtTheFirstFailure) {
  struct Case {
    std::vector<const char*> scripts;
    int status;
    const char* log;
  };
  const Case cases[] = {
      {{"echo one >> log", "echo two >> log", "echo three >> log"}, 0, "one\ntwo\nthree\n"},
      {{"echo one >> log", "exit 4", "echo three >> log"}, 4, "one\n"},
      {{"exit 2", "echo two >> log"}, 2, ""},
  };
  for (const bool wait : {true, false}) {
    for (const Case& c : cases) {
      TempFolder dir;
      dir.write("log");
      ProcessRequest first;
      for (const char* script : c.scripts) {
        ProcessRequest step;
        step.argv = {"sh", "-c", script};
        step.working_dir = dir.path().string();
        if (first.argv.empty())
          first = step;
        else
          first.then.push_back(step);
      }
      first.wait = wait;
      const ProcessResult result = process_start(first);
      ASSERT_TRUE(result.started);
      int status = result.exit_status;
      if (!wait) status = process_background_wait(result.pid);
      EXPECT_EQ(status, c.status) << c.scripts[0] << (wait ? " waited" : " background");
      EXPECT_EQ(read_all(dir / "log"), c.log) << c.scripts[0] << (wait ? " waited" : " background");
    }
  }

  // A program of a background chain that is not there: nothing starts.
  ProcessRequest chain;
  chain.argv = {"true"};
  chain.wait = false;
  chain.then.push_back(ProcessRequest{});
  chain.then.back().argv = {"kavro-no-such-program"};
  EXPECT_FALSE(process_start(chain).started);
}

TEST(Process, FindsProgramsOnPathOnlyWhenExecutable) {
  TempFolder dir;
  dir.write("runme", "#!/bin/sh\n");
  dir.write("plain", "text\n");
  ::chmod((dir / "runme").c_str(), 0700);
  dir.make_folder("folder");
  ::chmod((dir / "folder").c_str(), 0700);

  const char* old = std::getenv("PATH");
  const std::string saved = old ? old : "";
  setenv("PATH", ("/nonexistent:" + dir.path().string()).c_str(), 1);
  EXPECT_EQ(process_find_program("runme"), (dir / "runme").string());
  EXPECT_EQ(process_find_program("plain"), "");
  EXPECT_EQ(process_find_program("folder"), "");
  EXPECT_EQ(process_find_program("kavro-no-such-program"), "");
  EXPECT_EQ(process_find_program(""), "");
  setenv("PATH", saved.c_str(), 1);

  EXPECT_EQ(process_find_program((dir / "runme").string()), (dir / "runme").string());
  EXPECT_EQ(process_find_program((dir / "plain").string()), "");
}

TEST(Process, ARecorderTakesThePlaceOfTheStarterAndGivesItBack) {
  {
    RecordingProcess recorder;
    recorder.answer(true, 3);
    EXPECT_EQ(process_run({"povray", "+Ia b.pov"}), 3);
    recorder.answer(false);
    EXPECT_EQ(process_run({"lpr", "-P", "queue"}), -1);
    ASSERT_EQ(recorder.requests().size(), 2u);
    EXPECT_EQ(recorder.requests()[0].argv, (std::vector<std::string>{"povray", "+Ia b.pov"}));
    EXPECT_EQ(recorder.requests()[1].argv, (std::vector<std::string>{"lpr", "-P", "queue"}));
  }
  EXPECT_EQ(process_run({"false"}), 1);
}

// A configured command is split into words as a shell would, but nothing in
// it is expanded or run.
TEST(Process, ACommandFromTheSettingsSplitsIntoWordsWithoutExpansion) {
  using Words = std::vector<std::string>;
  struct Case {
    const char* command;
    Words words;
  };
  const Case cases[] = {
      {"lpr", {"lpr"}},
      {"  lp   -d  office\t", {"lp", "-d", "office"}},
      {"lpr -P'Office 2'", {"lpr", "-POffice 2"}},
      {"lpr \"-o media=A4\" -#2", {"lpr", "-o media=A4", "-#2"}},
      {"a\\ b c", {"a b", "c"}},
      {"x \"q\\\"uote \\$HOME \\n\"", {"x", "q\"uote $HOME \\n"}},
      {"cat $(id) `x` ;rm *", {"cat", "$(id)", "`x`", ";rm", "*"}},
      {"''", {""}},
      {"", {}},
  };
  for (const Case& c : cases) {
    const auto words = process_split_command(c.command);
    ASSERT_TRUE(words.has_value()) << c.command;
    EXPECT_EQ(*words, c.words) << c.command;
  }
  for (const char* broken : {"lpr 'open", "lpr \"open", "lpr \\"})
    EXPECT_FALSE(process_split_command(broken).has_value()) << broken;
}

TEST(TempFolderOfTheRun, IsPrivateStaysTheSameAndGoesWithItsContents) {
  const std::string dir = temp_folder();
  ASSERT_FALSE(dir.empty());
  EXPECT_EQ(temp_folder(), dir);
  struct stat st {};
  ASSERT_EQ(::stat(dir.c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  std::ofstream(dir + "/handoff.kav") << "x";
  temp_folder_remove();
  EXPECT_FALSE(fs::exists(dir));
  const std::string next = temp_folder();
  EXPECT_FALSE(next.empty());
  EXPECT_NE(next, dir);
  temp_folder_remove();
}

}  // namespace
