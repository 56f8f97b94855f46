#include "model/files/fio_read.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "support/temp_folder.h"

namespace {

// Tests run as any user, root among them, for whom no file lacks read
// permission; the system's answer is therefore given by its number.
TEST(FioRead, TheSystemsAnswerBecomesAMessage) {
  const struct {
    int err;
    const char* text;
  } cases[] = {
      {EACCES, "You have no permission to read this file."},
      {EPERM, "You have no permission to read this file."},
      {ENOENT, "The file does not exist."},
      {ENOTDIR, "The file does not exist."},
      {EISDIR, "This is a folder, not a file."},
      {EIO, "The file cannot be read."},
  };
  for (const auto& c : cases) EXPECT_STREQ(fio_read_error_text(fio_read_error_of(c.err)), c.text) << c.err;
  EXPECT_STREQ(fio_read_error_text(FioReadError::NONE), "");
}

TEST(FioRead, RestIsReadInPiecesUpToItsLimit) {
  TempFolder dir;
  const std::string text(FIO_READ_PIECE * 2 + 5, 'x');
  dir.write("f", text);
  dir.write("empty", "");
  FioReadError e = FioReadError::NONE;
  const std::string path = (dir.path() / "f").string();
  std::string bytes;
  {
    FioFile f = fio_open_read(path, e);
    ASSERT_TRUE(f);
    EXPECT_EQ(fio_read_rest(f.get(), text.size(), nullptr, bytes), FioReadError::NONE);
    EXPECT_EQ(bytes, text);
  }
  {
    FioFile f = fio_open_read(path, e);
    EXPECT_EQ(fio_read_rest(f.get(), text.size() - 1, nullptr, bytes), FioReadError::TOO_LARGE);
    EXPECT_TRUE(bytes.empty());
    EXPECT_EQ(std::ftell(f.get()), 0) << "nothing is read of a file that is too large";
  }
  {
    FioFile f = fio_open_read(path, e);
    EXPECT_EQ(fio_read_bytes(f.get(), text.size() + 1, nullptr, bytes), FioReadError::CUT_SHORT);
    EXPECT_EQ(bytes, text);
  }
  {
    FioFile f = fio_open_read((dir.path() / "empty").string(), e);
    EXPECT_EQ(fio_read_rest(f.get(), 100, nullptr, bytes), FioReadError::EMPTY);
  }
  // A pipe has no size: read to its end.
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  ASSERT_EQ(::write(fds[1], "abc", 3), 3);
  ::close(fds[1]);
  FioFile pipe(::fdopen(fds[0], "rb"));
  EXPECT_EQ(fio_read_rest(pipe.get(), 100, nullptr, bytes), FioReadError::NONE);
  EXPECT_EQ(bytes, "abc");

  FioFile none = fio_open_read((dir.path() / "none").string(), e);
  EXPECT_FALSE(none);
  EXPECT_EQ(e, FioReadError::MISSING);
  FioFile folder = fio_open_read(dir.path().string(), e);
  EXPECT_FALSE(folder);
  EXPECT_EQ(e, FioReadError::FOLDER);
}

}  // namespace
