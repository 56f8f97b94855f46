// The off-screen renderer draws a fixture drawing into a PNG: the picture is
// held pixel for pixel to a reference in data/ (support/reference_picture.h
// says where a mismatch is written and how to renew the references).

#include <cairo.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "support/reference_picture.h"

extern char** environ;

namespace {

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

struct Snapshot {
  const char* name;
  std::vector<std::string> args;
};

TEST(DrawRenderSnapshot, FixtureDrawingInPlanAndAxonometricViews) {
  const fs::path out_dir = KAVRO_TEST_OUTPUT_DIR;
  fs::create_directories(out_dir);
  const Snapshot snapshots[] = {
      {"render_basic_plan", {"@basic"}},
      {"render_basic_iso", {"--view", "1", "@basic"}},
      {"render_symbols_plan", {"@symbols"}},
  };
  for (const Snapshot& s : snapshots) {
    SCOPED_TRACE(s.name);
    const fs::path png = out_dir / (std::string(s.name) + ".png");
    std::vector<std::string> args{KAVRO_RENDER_TOOL};
    args.insert(args.end(), s.args.begin(), s.args.end());
    args.insert(args.end(), {png.string(), "800", "600"});
    ASSERT_EQ(run(args), 0);
    std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> picture(
        cairo_image_surface_create_from_png(png.c_str()), cairo_surface_destroy);
    ASSERT_EQ(cairo_surface_status(picture.get()), CAIRO_STATUS_SUCCESS) << png;
    EXPECT_TRUE(picture_matches_reference(
        picture.get(), fs::path(KAVRO_TEST_DATA_DIR) / (std::string(s.name) + ".png"), out_dir));
  }
}

TEST(DrawRenderSnapshot, RendererRefusesWhatItCannotDraw) {
  const fs::path png = fs::path(KAVRO_TEST_OUTPUT_DIR) / "refused.png";
  fs::create_directories(png.parent_path());
  EXPECT_EQ(run({KAVRO_RENDER_TOOL, "@no-such-fixture", png.string()}), 1);
  EXPECT_EQ(run({KAVRO_RENDER_TOOL, "@basic", png.string(), "0", "10"}), 2);
  EXPECT_EQ(run({KAVRO_RENDER_TOOL, "--view", "12", "@basic", png.string()}), 2);
  EXPECT_EQ(run({KAVRO_RENDER_TOOL, "@basic", "/nonexistent-folder/x.png"}), 1);
}

}  // namespace
