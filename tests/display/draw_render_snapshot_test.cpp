// The off-screen renderer draws a fixture drawing into a PNG: the picture is
// held to a snapshot of its pixel count per colour. On a mismatch the test
// keeps the picture as NAME.out.png and the counts as NAME.out in the test
// output folder. KAVRO_UPDATE_GOLDEN=1 writes the snapshots anew.

#include <cairo.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

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

// "RRGGBB count" per colour, in colour order.
std::string colour_counts(const fs::path& png) {
  cairo_surface_t* s = cairo_image_surface_create_from_png(png.c_str());
  if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(s);
    return "unreadable";
  }
  const uint8_t* data = cairo_image_surface_get_data(s);
  const int stride = cairo_image_surface_get_stride(s);
  std::map<uint32_t, int> counts;
  for (int y = 0; y < cairo_image_surface_get_height(s); ++y)
    for (int x = 0; x < cairo_image_surface_get_width(s); ++x) {
      uint32_t v;
      std::memcpy(&v, data + y * stride + x * 4, 4);
      ++counts[v & 0xFFFFFF];
    }
  cairo_surface_destroy(s);
  std::ostringstream out;
  for (const auto& [colour, n] : counts) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "%06X", colour);
    out << hex << ' ' << n << '\n';
  }
  return out.str();
}

std::string read_file(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
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
    const std::string counts = colour_counts(png);
    const fs::path golden = fs::path(KAVRO_TEST_DATA_DIR) / (std::string(s.name) + ".counts");
    const char* update = std::getenv("KAVRO_UPDATE_GOLDEN");
    if (update && std::strcmp(update, "1") == 0) {
      std::ofstream(golden, std::ios::binary) << counts;
      continue;
    }
    if (counts == read_file(golden)) continue;
    const fs::path out_png = out_dir / (std::string(s.name) + ".out.png");
    const fs::path out_counts = out_dir / (std::string(s.name) + ".out");
    fs::copy_file(png, out_png, fs::copy_options::overwrite_existing);
    std::ofstream(out_counts, std::ios::binary) << counts;
    ADD_FAILURE() << "the picture differs from its snapshot " << golden << ": see " << out_png << " and "
                  << out_counts;
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
