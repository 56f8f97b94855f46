#include <fcntl.h>
#include <gtest/gtest.h>
#include <limits.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <limits>

#include "model/elem.h"
#include "model/file_test_util.h"
#include "model/files/fio.h"
#include "platform/process.h"

namespace {

TEST(FilePrimitives, EncodingsAreBigEndianAndReadBack) {
  const double one = 1.0, neg = -2.5;
  const float fl = 1.0f;
  const int32_t i300 = 300, ineg = -2;
  const uint32_t ubig = 0xDEADBEEF;
  const int16_t s1007 = 1007, sneg = -1;
  const uint16_t u1007 = 1007;
  const int8_t c = -3;
  const uint8_t uc = 200;
  ByteVec out = written_by([&](std::FILE* f) {
    return fio_write_f64be(f, &one) && fio_write_f64be(f, &neg) && fio_write_f32be(f, &fl) &&
           fio_write_i32be(f, &i300) && fio_write_i32be(f, &ineg) && fio_write_u32be(f, &ubig) &&
           fio_write_i16be(f, &s1007) && fio_write_i16be(f, &sneg) && fio_write_u16be(f, &u1007) &&
           fio_write_i8(f, &c) && fio_write_u8(f, &uc) && fio_write_chunk_header(f, "LINE", 38);
  });
  EXPECT_EQ(hex(out), hex(Bytes()
                              .raw("\x3F\xF0\0\0\0\0\0\0", 8)
                              .raw("\xC0\x04\0\0\0\0\0\0", 8)
                              .raw("\x3F\x80\0\0", 4)
                              .raw("\0\0\x01\x2C", 4)
                              .raw("\xFF\xFF\xFF\xFE", 4)
                              .raw("\xDE\xAD\xBE\xEF", 4)
                              .raw("\x03\xEF", 2)
                              .raw("\xFF\xFF", 2)
                              .raw("\x03\xEF", 2)
                              .u8(0xFD)
                              .u8(200)
                              .raw("LINE\0\0\0\x26", 8)));

  std::FILE* f = stream_of(out);
  double d1 = 0, d2 = 0;
  unsigned char fbytes[4];
  int32_t a = 0, b = 0;
  uint32_t u = 0;
  int16_t s = 0, t = 0;
  uint16_t us = 0;
  int8_t sc = 0;
  uint8_t ucc = 0;
  char tag[4];
  uint32_t size = 0;
  ASSERT_TRUE(fio_read_f64be(f, &d1) && fio_read_f64be(f, &d2) && fio_read_block(f, fbytes, 4) &&
              fio_read_i32be(f, &a) && fio_read_i32be(f, &b) && fio_read_u32be(f, &u) &&
              fio_read_i16be(f, &s) && fio_read_i16be(f, &t) && fio_read_u16be(f, &us) &&
              fio_read_i8(f, &sc) && fio_read_u8(f, &ucc) && fio_read_block(f, tag, 4) &&
              fio_read_u32be(f, &size));
  EXPECT_EQ(d1, 1.0);
  EXPECT_EQ(d2, -2.5);
  EXPECT_EQ(a, 300);
  EXPECT_EQ(b, -2);
  EXPECT_EQ(u, 0xDEADBEEFu);
  EXPECT_EQ(s, 1007);
  EXPECT_EQ(t, -1);
  EXPECT_EQ(us, 1007);
  EXPECT_EQ(sc, -3);
  EXPECT_EQ(ucc, 200);
  EXPECT_EQ(std::string(tag, 4), "LINE");
  EXPECT_EQ(size, 38u);
  std::fclose(f);
}

TEST(FilePrimitives, SpecialDoublesKeepTheirBits) {
  const double values[] = {std::numeric_limits<double>::quiet_NaN(), -0.0,
                           std::numeric_limits<double>::infinity(),
                           std::numeric_limits<double>::denorm_min()};
  for (double v : values) {
    ByteVec out = written_by([&](std::FILE* f) { return fio_write_f64be(f, &v); });
    std::FILE* f = stream_of(out);
    double back = 1.0;
    ASSERT_TRUE(fio_read_f64be(f, &back));
    EXPECT_EQ(std::memcmp(&back, &v, 8), 0);
    std::fclose(f);
  }
}

TEST(FilePrimitives, ShortReadsFailAndLeaveTheDestination) {
  std::FILE* f = stream_of(ByteVec{1, 2, 3});
  int32_t i = 77;
  double d = 1.5;
  EXPECT_EQ(fio_read_i32be(f, &i), 0);
  EXPECT_EQ(i, 77);
  std::rewind(f);
  EXPECT_EQ(fio_read_f64be(f, &d), 0);
  EXPECT_EQ(d, 1.5);
  std::rewind(f);
  char buf[8] = {};
  EXPECT_EQ(fio_read_block(f, buf, 0), 1);  // nothing asked, nothing read
  EXPECT_EQ(fio_read_block(f, buf, 4), 0);
  std::fclose(f);
}

TEST(FilePrimitives, ElementHeadIsSixBytes) {
  LineElem e;
  e.layer = 1007;
  e.group = 258;
  e.pen = 99;
  e.line_type = 101;
  ByteVec out = written_by([&](std::FILE* f) { return kavfile_write_elem_header(f, &e); });
  EXPECT_EQ(hex(out), "03 EF 01 02 63 65");
}

// Each call of fio_read_line on the stream, as (result, text).
std::vector<std::pair<int, std::string>> lines_of(const std::string& text, int calls) {
  std::FILE* f = stream_of(text);
  std::vector<std::pair<int, std::string>> out;
  char buf[FIO_LINE_MAX];
  for (int i = 0; i < calls; ++i) {
    std::memset(buf, 'Z', sizeof buf);
    const int r = fio_read_line(f, buf);
    out.emplace_back(r, buf);
  }
  std::fclose(f);
  return out;
}

TEST(FilePrimitives, ReadLine) {
  using L = std::vector<std::pair<int, std::string>>;
  EXPECT_EQ(lines_of("abc\r\nde\n", 3), (L{{3, "abc"}, {2, "de"}, {-1, ""}}));
  // A lone carriage return ends its line; the character after it is kept.
  EXPECT_EQ(lines_of("ab\rxy\n", 3), (L{{2, "ab"}, {2, "xy"}, {-1, ""}}));
  EXPECT_EQ(lines_of("ab\r", 2), (L{{2, "ab"}, {-1, ""}}));
  // A last line without a line end is delivered.
  EXPECT_EQ(lines_of("one\nlast", 3), (L{{3, "one"}, {4, "last"}, {-1, ""}}));
  // Empty lines give 0, as a line that is not delivered whole does.
  EXPECT_EQ(lines_of("\n\r\nx\n", 3), (L{{0, ""}, {0, ""}, {1, "x"}}));
  EXPECT_EQ(lines_of("", 1), (L{{-1, ""}}));
  // A NUL inside a line ends the text (the length counts up to it).
  EXPECT_EQ(lines_of(std::string("ab\0cd\n", 6), 1), (L{{2, "ab"}}));

  const std::string long_line = std::string(300, 'q') + "\n";
  auto r = lines_of(long_line, 3);
  EXPECT_EQ(r[0].first, 0);
  EXPECT_EQ(r[0].second, std::string(255, 'q'));
  EXPECT_EQ(r[1].first, 45);
  EXPECT_EQ(r[1].second, std::string(45, 'q'));
  EXPECT_EQ(r[2].first, -1);
  // 254 characters still fit one line.
  EXPECT_EQ(lines_of(std::string(254, 'w') + "\n", 1)[0].first, 254);
}

TEST(FilePrimitives, ShellRmRemovesExactlyThatFile) {
  TempDir dir;
  const std::string odd = dir / "a file; rm -rf 'x' $(y).kav";
  const std::string other = dir / "a";
  put_file(odd, {1});
  put_file(other, {2});
  EXPECT_EQ(fio_shell_rm(odd.c_str()), 0);
  EXPECT_FALSE(std::filesystem::exists(odd));
  EXPECT_TRUE(std::filesystem::exists(other));
  EXPECT_NE(fio_shell_rm(odd.c_str()), 0);  // already gone
  std::filesystem::create_directory(dir / "folder");
  EXPECT_NE(fio_shell_rm((dir / "folder").c_str()), 0);  // folders are never removed
  EXPECT_TRUE(std::filesystem::exists(dir / "folder"));
}

TEST(FilePrimitives, SafeWriterReplacesOnlyOnCommit) {
  TempDir dir;
  const std::string target = dir / "plan.kav";
  put_file(target, {'o', 'l', 'd'});
  ::chmod(target.c_str(), 0640);
  {
    FioSafeWriter w(target);
    ASSERT_NE(w.stream(), nullptr);
    std::fputs("new", w.stream());
    EXPECT_EQ(file_bytes(target), (ByteVec{'o', 'l', 'd'}));  // not yet
    ASSERT_TRUE(w.commit());
  }
  EXPECT_EQ(file_bytes(target), (ByteVec{'n', 'e', 'w'}));
  struct stat st;
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);  // the target's permissions are kept
  {
    FioSafeWriter w(target);
    std::fputs("half", w.stream());
  }  // dropped without commit: the old file stays, nothing is left behind
  EXPECT_EQ(file_bytes(target), (ByteVec{'n', 'e', 'w'}));
  EXPECT_EQ(names_in(dir.path()), std::vector<std::string>{"plan.kav"});

  EXPECT_EQ(FioSafeWriter(dir / "missing/folder/x.kav").stream(), nullptr);
  EXPECT_EQ(FioSafeWriter("").stream(), nullptr);
}

TEST(FilePrimitives, SafeWriterLeavesTheUsersFilesBesideTheTargetAlone) {
  TempDir dir;
  const std::string target = dir / "plan.kav";
  // A user's own file and link with the names a temporary file might take.
  put_file(target + ".tmp", {'m', 'i', 'n', 'e'});
  const std::string victim = dir / "victim";
  put_file(victim, {'v'});
  std::filesystem::create_symlink(victim, target + ".new");
  // Two writers of one target at once do not share a temporary file.
  FioSafeWriter first(target);
  FioSafeWriter second(target);
  ASSERT_TRUE(first.stream() && second.stream());
  std::fputs("first", first.stream());
  std::fputs("second", second.stream());
  ASSERT_TRUE(first.commit());
  EXPECT_EQ(file_bytes(target), (ByteVec{'f', 'i', 'r', 's', 't'}));
  ASSERT_TRUE(second.commit());
  EXPECT_EQ(file_bytes(target), (ByteVec{'s', 'e', 'c', 'o', 'n', 'd'}));
  EXPECT_EQ(file_bytes(target + ".tmp"), (ByteVec{'m', 'i', 'n', 'e'}));
  EXPECT_TRUE(std::filesystem::is_symlink(target + ".new"));
  EXPECT_EQ(file_bytes(victim), ByteVec{'v'});
  EXPECT_EQ(names_in(dir.path()),
            (std::vector<std::string>{"plan.kav", "plan.kav.new", "plan.kav.tmp", "victim"}));
}

// A writer killed before its rename leaves its temporary file behind. The
// next write into that folder removes those whose process is gone, and
// nothing else: not a running writer's, not another machine's, not a
// user's file or link that only looks alike.
TEST(FilePrimitives, SafeWriterRemovesWhatKilledWritersLeft) {
  TempDir dir;
  char host_buf[HOST_NAME_MAX + 1] = {};
  ASSERT_EQ(::gethostname(host_buf, sizeof host_buf - 1), 0);
  const std::string host = host_buf[0] ? host_buf : "localhost";
  const pid_t gone = ::fork();  // a process that has ended and was collected
  if (gone == 0) ::_exit(0);
  ASSERT_GT(gone, 0);
  ASSERT_EQ(::waitpid(gone, nullptr, 0), gone);
  const std::string me = std::to_string(::getpid());
  const std::string my_start = std::to_string(process_start_ticks(::getpid()));
  const std::string mark = ".kavro-tmp." + host + ".";
  struct Case {
    std::string name;
    bool stays;
  };
  const Case cases[] = {
      {"plan.kav" + mark + std::to_string(gone) + ".4242.a1B2c3", false},  // its writer is gone
      {"road.dxf" + mark + std::to_string(gone) + ".0.zZ9y8X", false},     // any target in the folder
      {"plan.kav" + mark + me + "." + my_start + ".q1w2e3", true},         // its writer runs (this test)
      {"plan.kav" + mark + me + ".1" + my_start + ".r1t2y3", false},       // the id now names another process
      {"plan.kav.123456", true},                                           // a user's own
      {"plan.kav.kavro-tmp.elsewhere." + std::to_string(gone) + ".1.a1b2c3", true},  // another machine's
      {"plan.kav" + mark + std::to_string(gone) + ".1.a1b2c", true},                 // not quite the pattern
      {"plan.kav" + mark + "x" + std::to_string(gone) + ".1.a1b2c3", true},
  };
  for (const Case& c : cases) put_file(dir / c.name, {'t'});
  const std::string folder_name = "plan.kav" + mark + std::to_string(gone) + ".1.f0lder";
  std::filesystem::create_directory(dir / folder_name);
  const std::string victim = dir / "victim";
  put_file(victim, {'v'});
  const std::string link_name = "plan.kav" + mark + std::to_string(gone) + ".1.l1nk00";
  std::filesystem::create_symlink(victim, dir / link_name);

  std::vector<std::string> expected = {folder_name, link_name, "plan.kav", "victim"};
  for (const Case& c : cases)
    if (c.stays) expected.push_back(c.name);
  std::sort(expected.begin(), expected.end());
  {
    FioSafeWriter w(dir / "plan.kav");
    ASSERT_NE(w.stream(), nullptr);
    // Its own temporary file names this process.
    const std::string own_prefix = "plan.kav" + mark + me + "." + my_start + ".";
    int own = 0;
    for (const std::string& name : names_in(dir.path()))
      if (name.rfind(own_prefix, 0) == 0 && name != cases[2].name) ++own;
    EXPECT_EQ(own, 1);
    ASSERT_TRUE(w.commit());
  }
  EXPECT_EQ(names_in(dir.path()), expected);
  EXPECT_EQ(file_bytes(victim), ByteVec{'v'});

  // The longest name a folder takes is still written: its temporary name is cut.
  const std::string longest = dir / std::string(NAME_MAX, 'n');
  FioSafeWriter w(longest);
  ASSERT_NE(w.stream(), nullptr);
  EXPECT_TRUE(w.commit());
  EXPECT_TRUE(std::filesystem::exists(longest));
}

TEST(FilePrimitives, SafeWriterGivesANewFileTheUsualPermissions) {
  TempDir dir;
  const mode_t before = ::umask(027);
  {
    FioSafeWriter w(dir / "new.kav");
    ASSERT_NE(w.stream(), nullptr);
    EXPECT_TRUE(w.commit());
  }
  ::umask(before);
  struct stat st;
  ASSERT_EQ(::stat((dir / "new.kav").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);  // 0666 under the mask, not a temporary file's 0600
}

TEST(FilePrimitives, FileGuardClosesOnEveryWayOut) {
  TempDir dir;
  const std::string path = dir / "f";
  put_file(path, {'x'});
  int fd = -1;
  {
    FioFile f(path.c_str(), "rb");
    ASSERT_TRUE(f);
    fd = fileno(f.get());
    FioFile moved = std::move(f);
    EXPECT_FALSE(f);
    EXPECT_EQ(std::fgetc(moved.get()), 'x');
  }
  EXPECT_EQ(::fcntl(fd, F_GETFD), -1);  // closed by the guard that held it last
  FioFile none((dir / "missing").c_str(), "rb");
  EXPECT_FALSE(none);
  EXPECT_TRUE(none.close());
}

}  // namespace
