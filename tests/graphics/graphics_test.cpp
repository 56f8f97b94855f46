// The installation's pictures: every listed one is staged, loads as an XPM
// at the size the windows are laid out for and shows something; the
// sources name no picture that is not listed.

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "make_graphics/names.h"

// Test names and messages show the picture, not the struct's bytes.
void PrintTo(const PictureName& p, std::ostream* os) { *os << p.name; }

namespace {

const std::string names_file = KAVRO_SOURCE_DIR "/tools/make_graphics/NAMES";

std::vector<PictureName> listed_pictures() {
  std::vector<PictureName> names;
  std::string error;
  if (!read_picture_names(names_file, names, error)) ADD_FAILURE() << error;
  return names;
}

// Pictures shown as an empty mark: wholly transparent on purpose.
bool is_blank_mark(const std::string& name) { return name == "loff"; }

class StagedPicture : public testing::TestWithParam<PictureName> {};

TEST_P(StagedPicture, LoadsAtItsSizeAndShowsSomething) {
  const PictureName& p = GetParam();
  std::filesystem::path path = std::filesystem::path(KAVRO_STAGE_DIR) / "graphics" / (p.name + ".xpm");
  ASSERT_TRUE(std::filesystem::is_regular_file(path)) << path << " is not staged";

  GError* err = nullptr;
  GdkPixbuf* pb = gdk_pixbuf_new_from_file(path.c_str(), &err);
  ASSERT_NE(pb, nullptr) << path << ": " << (err ? err->message : "no reason given");
  EXPECT_EQ(gdk_pixbuf_get_width(pb), p.width) << p.name;
  EXPECT_EQ(gdk_pixbuf_get_height(pb), p.height) << p.name;

  int opaque = 0;
  const int n = gdk_pixbuf_get_n_channels(pb), stride = gdk_pixbuf_get_rowstride(pb);
  const guchar* px = gdk_pixbuf_read_pixels(pb);
  for (int y = 0; y < gdk_pixbuf_get_height(pb); ++y)
    for (int x = 0; x < gdk_pixbuf_get_width(pb); ++x)
      if (n < 4 || px[y * stride + x * n + 3] != 0) ++opaque;
  if (is_blank_mark(p.name))
    EXPECT_EQ(opaque, 0) << p.name << " is the blank mark";
  else
    EXPECT_GT(opaque, 0) << p.name << " draws nothing";
  g_object_unref(pb);
  if (err) g_error_free(err);
}

std::string picture_test_name(const testing::TestParamInfo<PictureName>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(Graphics, StagedPicture, testing::ValuesIn(listed_pictures()), picture_test_name);

TEST(Graphics, ListHoldsEveryPictureTheSourcesLoad) {
  std::set<std::string> listed;
  for (const PictureName& p : listed_pictures()) listed.insert(p.name);
  ASSERT_FALSE(listed.empty());

  const std::regex ref(R"(graphics/([A-Za-z0-9_]+)\.xpm)");
  std::filesystem::path src = std::filesystem::path(KAVRO_SOURCE_DIR) / "src";
  for (const auto& entry : std::filesystem::recursive_directory_iterator(src)) {
    std::string ext = entry.path().extension().string();
    if (!entry.is_regular_file() || (ext != ".cpp" && ext != ".h")) continue;
    std::ifstream in(entry.path());
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (std::sregex_iterator it(text.begin(), text.end(), ref), end; it != end; ++it)
      EXPECT_TRUE(listed.count((*it)[1].str()))
          << entry.path() << " loads " << (*it)[0].str() << ", which " << names_file << " does not list";
  }
}

}  // namespace
