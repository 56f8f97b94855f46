// The off-screen renderer draws a drawing file through the program's own
// loader: a saved drawing gives the same picture as the drawing it was
// saved from.

#include <cairo.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "model/file_test_util.h"
#include "model/files/kavfile.h"
#include "support/model_fixture.h"
#include "support/render_fixture.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

// The exit status of the renderer, its standard error in err (kept in dir).
int render(const TempDir& dir, const std::vector<std::string>& args, std::string* err = nullptr) {
  const std::string err_file = dir / "render.err";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 2, err_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  std::vector<char*> argv{const_cast<char*>(KAVRO_RENDER_TOOL)};
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid;
  int status = -1;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0 &&
      waitpid(pid, &status, 0) == pid)
    status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  posix_spawn_file_actions_destroy(&actions);
  if (err) {
    const ByteVec bytes = file_bytes(err_file);
    err->assign(bytes.begin(), bytes.end());
  }
  return status;
}

// The pixels of a PNG, row by row; empty when it cannot be read.
std::vector<unsigned char> pixels(const fs::path& png) {
  cairo_surface_t* s = cairo_image_surface_create_from_png(png.c_str());
  std::vector<unsigned char> out;
  if (cairo_surface_status(s) == CAIRO_STATUS_SUCCESS) {
    const unsigned char* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s), width = cairo_image_surface_get_width(s);
    for (int y = 0; y < cairo_image_surface_get_height(s); ++y)
      for (int x = 0; x < width; ++x)
        out.insert(out.end(), data + y * stride + 4 * x, data + y * stride + 4 * x + 3);
  }
  cairo_surface_destroy(s);
  return out;
}

using RenderFile = ModelTest;

TEST_F(RenderFile, SavedDrawingLooksLikeTheDrawingItWasSavedFrom) {
  TempDir dir;
  ASSERT_TRUE(render_fixture_build("symbols"));
  const std::string file = dir / "symbols.kav";
  put_file(file, written_by(kavfile_write_drawing));
  for (const char* view : {"0", "1"}) {
    SCOPED_TRACE(view);
    const std::string from_code = dir / "code.png", from_file = dir / "file.png";
    ASSERT_EQ(render(dir, {"--view", view, "@symbols", from_code, "400", "300"}), 0);
    std::string err;
    ASSERT_EQ(render(dir, {"--view", view, file, from_file, "400", "300"}, &err), 0) << err;
    EXPECT_EQ(err, "");
    const std::vector<unsigned char> code_pixels = pixels(from_code), file_pixels = pixels(from_file);
    ASSERT_EQ(code_pixels.size(), 400u * 300u * 3u);
    EXPECT_TRUE(code_pixels == file_pixels) << "the pictures differ: " << from_code << ", " << from_file;
  }
}

TEST_F(RenderFile, FilesThatCannotBeLoadedAreRefusedWithTheLoadersMessage) {
  TempDir dir;
  put_file(dir / "notes.txt", {'h', 'i', '\n'});
  struct Case {
    std::string path;
    std::string message;
  } cases[] = {{dir / "missing.kav",
                "kav-render: Cannot open file\n" + (dir / "missing.kav") + "\nThe file does not exist.\n"},
               {dir / "notes.txt", "kav-render: This is not a Kavro file!\n"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    std::string err;
    EXPECT_EQ(render(dir, {c.path, dir / "out.png"}, &err), 1);
    EXPECT_EQ(err, c.message);
    EXPECT_FALSE(fs::exists(dir / "out.png"));
  }
}

}  // namespace
