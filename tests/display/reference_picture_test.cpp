// Pictures against their reference PNG: what passes, what fails, and what a
// failure leaves behind to look at.

#include "support/reference_picture.h"

#include <cairo.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include "support/temp_folder.h"

namespace {

namespace fs = std::filesystem;
using Surface = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;

constexpr uint32_t kWhite = 0xFFFFFF, kBlack = 0x000000, kRed = 0xFF0000, kFadedBlack = 0xC0C0C0;

// A w x h white picture with a black L near its left edge: the mirror image
// (the L in the right half) has exactly the same colours and counts.
Surface picture(int w, int h, bool mirrored = false) {
  Surface s(cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h), cairo_surface_destroy);
  uint8_t* data = cairo_image_surface_get_data(s.get());
  const int stride = cairo_image_surface_get_stride(s.get());
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const int lx = mirrored ? w - 1 - x : x;
      const uint32_t v = (lx == 1 && y >= 1 && y <= 4) || (y == 4 && lx >= 1 && lx <= 5) ? kBlack : kWhite;
      std::memcpy(data + y * stride + x * 4, &v, 4);
    }
  cairo_surface_mark_dirty(s.get());
  return s;
}

uint32_t pixel(const fs::path& png, int x, int y) {
  Surface s(cairo_image_surface_create_from_png(png.c_str()), cairo_surface_destroy);
  uint32_t v;
  std::memcpy(&v, cairo_image_surface_get_data(s.get()) + y * cairo_image_surface_get_stride(s.get()) + x * 4,
              4);
  return v & 0xFFFFFF;
}

// The tests compare, whatever the environment says; a run that renews the
// real references gets its setting back afterwards.
class ReferencePicture : public testing::Test {
 protected:
  void SetUp() override {
    if (const char* v = std::getenv("KAVRO_UPDATE_REFERENCES")) saved_update_ = v;
    unsetenv("KAVRO_UPDATE_REFERENCES");
    ASSERT_EQ(cairo_surface_write_to_png(picture(10, 6).get(), reference.c_str()), CAIRO_STATUS_SUCCESS);
  }
  void TearDown() override {
    if (saved_update_) setenv("KAVRO_UPDATE_REFERENCES", saved_update_->c_str(), 1);
  }

  TempFolder tmp;
  const fs::path reference = tmp / "figure.png";
  const fs::path out_dir = tmp / "out";
  const fs::path out_png = out_dir / "figure.out.png";
  const fs::path diff_png = out_dir / "figure.diff.png";

 private:
  std::optional<std::string> saved_update_;
};

TEST_F(ReferencePicture, AMirroredFigureFailsAndLeavesThePictureAndADiff) {
  testing::AssertionResult r = picture_matches_reference(picture(10, 6, true).get(), reference, out_dir);
  ASSERT_FALSE(r);
  const std::string message = r.message();
  EXPECT_NE(message.find(out_png.string()), std::string::npos) << message;
  EXPECT_NE(message.find(diff_png.string()), std::string::npos) << message;
  EXPECT_NE(message.find("in 12 pixels"), std::string::npos) << message;
  // The picture as drawn, and a diff: red where the two differ, the rest faded.
  EXPECT_EQ(pixel(out_png, 8, 1), kBlack);
  EXPECT_EQ(pixel(out_png, 1, 1), kWhite);
  EXPECT_EQ(pixel(diff_png, 1, 1), kRed);
  EXPECT_EQ(pixel(diff_png, 8, 1), kRed);
  EXPECT_EQ(pixel(diff_png, 0, 0), kWhite);
  EXPECT_EQ(pixel(diff_png, 4, 4), kFadedBlack);  // the L's foot both pictures share
}

TEST_F(ReferencePicture, TheSamePicturePassesAndClearsAnEarlierFailure) {
  ASSERT_FALSE(picture_matches_reference(picture(10, 6, true).get(), reference, out_dir));
  ASSERT_TRUE(fs::exists(out_png));
  EXPECT_TRUE(picture_matches_reference(picture(10, 6).get(), reference, out_dir));
  EXPECT_FALSE(fs::exists(out_png));
  EXPECT_FALSE(fs::exists(diff_png));
}

TEST_F(ReferencePicture, AnotherSizeOrNoReferenceFails) {
  testing::AssertionResult r = picture_matches_reference(picture(10, 7).get(), reference, out_dir);
  ASSERT_FALSE(r);
  EXPECT_NE(std::string(r.message()).find("10 x 7, the reference 10 x 6"), std::string::npos) << r.message();
  EXPECT_EQ(pixel(diff_png, 5, 6), kRed);  // the row the reference lacks

  r = picture_matches_reference(picture(10, 6).get(), tmp / "missing.png", out_dir);
  ASSERT_FALSE(r);
  EXPECT_NE(std::string(r.message()).find("KAVRO_UPDATE_REFERENCES=1"), std::string::npos) << r.message();
  EXPECT_TRUE(fs::exists(out_dir / "missing.out.png"));
}

TEST_F(ReferencePicture, UpdatingWritesTheReferenceInsteadOfComparing) {
  const fs::path fresh = tmp / "data" / "fresh.png";
  setenv("KAVRO_UPDATE_REFERENCES", "1", 1);
  const bool written = picture_matches_reference(picture(10, 6, true).get(), fresh, out_dir) &&
                       picture_matches_reference(picture(10, 6, true).get(), reference, out_dir);
  unsetenv("KAVRO_UPDATE_REFERENCES");
  EXPECT_TRUE(written);
  EXPECT_TRUE(picture_matches_reference(picture(10, 6, true).get(), fresh, out_dir));
  EXPECT_TRUE(picture_matches_reference(picture(10, 6, true).get(), reference, out_dir));
  EXPECT_FALSE(picture_matches_reference(picture(10, 6).get(), reference, out_dir));
}

}  // namespace
