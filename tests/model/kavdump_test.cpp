// The test tool kavdump: broken files it must survive.

#include "tools/kavdump.h"

#include <gtest/gtest.h>

#include "model/file_test_util.h"
#include "support/model_fixture.h"

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

}  // namespace
