// The test tool kavdump: broken files it must survive, and resaving a
// drawing through the program's loader and saver.

#include "programs/kavdump.h"

#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>
#include <string>
#include <vector>

#include "model/file_test_util.h"
#include "support/model_fixture.h"

extern char** environ;

namespace {

using Kavdump = ModelTest;

TEST_F(Kavdump, BrokenFilesAreDescribedNotCrashedOn) {
  struct Case {
    const char* what;
    ByteVec file;
    const char* dump;
  } cases[] = {
      {"20 bytes whose header size runs past the end",
       Bytes().chunk("KAVW", 0xFFFF0000).i32(300).chunk("LINE", 38).bytes(),
       "KAVW 4294901760 version=300\nLINE 38 cut\n"},
      {"old header whose size runs past the end", Bytes().chunk16("KAVV", 900).i32(240).raw("PD", 2).bytes(),
       "KAVV 900 version=240\n2 stray bytes\n"},
      {"unknown chunk longer than the file",
       Bytes().chunk("KAVW", 4).i32(300).chunk("ZZZZ", 99).u8(1).bytes(),
       "KAVW 4 version=300\nZZZZ 99 unknown\ncut\n"},
      {"header cut in its version", Bytes().chunk("KAVW", 4).u16(1).bytes(), "cut header\n"},
      {"empty file", ByteVec{}, "not a chunk file\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(kavdump(c.file.data(), c.file.size()), c.dump);
  }
}

namespace fs = std::filesystem;

int run(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid;
  if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(Kavdump, ResaveRoundTripsACurrentDrawingByteForByte) {
  TempDir dir;
  const std::string in = (fs::path(KAVRO_TEST_DATA_DIR) / "every_kind.kav").string();
  const std::string out = dir / "out.kav";
  ASSERT_EQ(run({KAVRO_KAVDUMP_TOOL, "--resave", in, out}), 0);
  const ByteVec original = file_bytes(in), resaved = file_bytes(out);
  EXPECT_EQ(resaved, original) << first_difference(resaved, original);
  EXPECT_EQ(names_in(dir.path()), std::vector<std::string>{"out.kav"});
}

TEST_F(Kavdump, ResaveWritesAnOlderFileInTheCurrentFormat) {
  TempDir dir;
  const std::string in = (fs::path(KAVRO_TEST_DATA_DIR) / "older_format.kav").string();
  const std::string once = dir / "once.kav", twice = dir / "twice.kav";
  ASSERT_EQ(kavdump_resave(in.c_str(), once.c_str()), 0);
  ASSERT_EQ(kavdump_resave(once.c_str(), twice.c_str()), 0);
  const ByteVec first = file_bytes(once), second = file_bytes(twice);
  EXPECT_EQ(hex(first, 0, 4), "4B 41 56 57");  // KAVW
  EXPECT_EQ(second, first) << first_difference(second, first);
  const std::string dump = kavdump(first.data(), first.size());
  for (const char* tag : {"\nTEX2 ", "\nDIM3 ", "\nPAT2 ", "\nROO2 ", "\nLIG2 "})
    EXPECT_NE(dump.find(tag), std::string::npos) << tag;
}

TEST_F(Kavdump, ResaveSaysWhenTheDrawingIsNotWhole) {
  TempDir dir;
  ByteVec cut = file_bytes(fs::path(KAVRO_TEST_DATA_DIR) / "every_kind.kav");
  cut.resize(cut.size() - 50);  // into the last element
  put_file(dir / "cut.kav", cut);
  testing::internal::CaptureStderr();
  EXPECT_EQ(kavdump_resave((dir / "cut.kav").c_str(), (dir / "out.kav").c_str()), 1);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("damaged"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir / "out.kav"));  // a damaged drawing is not loaded, so nothing is saved

  testing::internal::CaptureStderr();
  EXPECT_EQ(kavdump_resave((dir / "missing.kav").c_str(), (dir / "none.kav").c_str()), 1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "kavdump: Cannot open file\n" + (dir / "missing.kav") + "\nThe file does not exist.\n");
  EXPECT_FALSE(fs::exists(dir / "none.kav"));
  EXPECT_EQ(run({KAVRO_KAVDUMP_TOOL, "--resave", dir / "cut.kav"}), 2);  // OUT is missing
}

}  // namespace
