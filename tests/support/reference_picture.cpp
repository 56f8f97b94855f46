#include "support/reference_picture.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Surface = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;

struct Pixels {
  int width = 0, height = 0;
  std::vector<uint32_t> rgb;  // 0x00RRGGBB, row after row
};

Pixels pixels_of(cairo_surface_t* s) {
  cairo_surface_flush(s);
  Pixels p;
  p.width = cairo_image_surface_get_width(s);
  p.height = cairo_image_surface_get_height(s);
  const uint8_t* data = cairo_image_surface_get_data(s);
  const int stride = cairo_image_surface_get_stride(s);
  p.rgb.reserve(std::size_t(p.width) * p.height);
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) {
      uint32_t v;
      std::memcpy(&v, data + y * stride + x * 4, 4);
      p.rgb.push_back(v & 0xFFFFFF);
    }
  return p;
}

bool updating() {
  const char* v = std::getenv("KAVRO_UPDATE_REFERENCES");
  return v && std::strcmp(v, "1") == 0;
}

bool write_png(cairo_surface_t* s, const fs::path& path) {
  return cairo_surface_write_to_png(s, path.c_str()) == CAIRO_STATUS_SUCCESS;
}

// Matching pixels a quarter of their strength over white, so the figure
// stays recognisable; differing pixels and pixels only one picture has red.
Surface diff_image(const Pixels& got, const Pixels& want, long* differing) {
  const int w = std::max(got.width, want.width), h = std::max(got.height, want.height);
  Surface out(cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h), cairo_surface_destroy);
  uint8_t* data = cairo_image_surface_get_data(out.get());
  const int stride = cairo_image_surface_get_stride(out.get());
  *differing = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const bool in_got = x < got.width && y < got.height, in_want = x < want.width && y < want.height;
      uint32_t v = 0xFF0000;
      if (in_got && in_want &&
          got.rgb[std::size_t(y) * got.width + x] == want.rgb[std::size_t(y) * want.width + x]) {
        const uint32_t c = got.rgb[std::size_t(y) * got.width + x];
        auto fade = [](uint32_t channel) { return 255 - (255 - channel) / 4; };
        v = fade(c >> 16 & 0xFF) << 16 | fade(c >> 8 & 0xFF) << 8 | fade(c & 0xFF);
      } else {
        ++*differing;
      }
      std::memcpy(data + y * stride + x * 4, &v, 4);
    }
  cairo_surface_mark_dirty(out.get());
  return out;
}

}  // namespace

testing::AssertionResult picture_matches_reference(cairo_surface_t* picture, const fs::path& reference,
                                                   const fs::path& out_dir) {
  const std::string name = reference.stem().string();
  const fs::path out_png = out_dir / (name + ".out.png");
  const fs::path diff_png = out_dir / (name + ".diff.png");
  std::error_code ec;
  fs::create_directories(out_dir, ec);
  // What an earlier failing run left would be mistaken for this run's.
  fs::remove(out_png, ec);
  fs::remove(diff_png, ec);

  if (updating()) {
    fs::create_directories(reference.parent_path(), ec);
    if (!write_png(picture, reference)) return testing::AssertionFailure() << "cannot write " << reference;
    return testing::AssertionSuccess() << "wrote " << reference;
  }

  const Pixels got = pixels_of(picture);
  Surface ref(cairo_image_surface_create_from_png(reference.c_str()), cairo_surface_destroy);
  if (cairo_surface_status(ref.get()) != CAIRO_STATUS_SUCCESS) {
    write_png(picture, out_png);
    return testing::AssertionFailure() << "no readable reference picture " << reference << "; the picture is "
                                       << out_png << " (KAVRO_UPDATE_REFERENCES=1 writes the reference)";
  }
  const Pixels want = pixels_of(ref.get());
  if (got.width == want.width && got.height == want.height && got.rgb == want.rgb)
    return testing::AssertionSuccess();

  long differing = 0;
  Surface diff = diff_image(got, want, &differing);
  write_png(picture, out_png);
  write_png(diff.get(), diff_png);
  testing::AssertionResult failure = testing::AssertionFailure();
  failure << "the picture differs from " << reference << " in " << differing << " pixels";
  if (got.width != want.width || got.height != want.height)
    failure << " (it is " << got.width << " x " << got.height << ", the reference " << want.width << " x "
            << want.height << ")";
  return failure << "; see " << out_png << " and " << diff_png;
}
