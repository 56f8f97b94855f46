// Test-only helper: lays every listed picture out on one PNG, each at its
// own size on a normal and on a pressed button colour and enlarged four
// times, so that the set can be looked at as a whole.
//
//   graphics_sheet NAMES GRAPHICS_DIR OUT.png

#include <cairo.h>
#include <gdk-pixbuf/gdk-pixbuf.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "make_graphics/names.h"

namespace {

struct Entry {
  std::string name;
  GdkPixbuf* pixbuf;
};

// A cairo surface holding the picture, alpha premultiplied.
cairo_surface_t* surface_of(GdkPixbuf* pb) {
  int w = gdk_pixbuf_get_width(pb), h = gdk_pixbuf_get_height(pb);
  int n = gdk_pixbuf_get_n_channels(pb), stride = gdk_pixbuf_get_rowstride(pb);
  const guchar* src = gdk_pixbuf_read_pixels(pb);
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
  cairo_surface_flush(s);
  unsigned char* dst = cairo_image_surface_get_data(s);
  int dstride = cairo_image_surface_get_stride(s);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const guchar* p = src + y * stride + x * n;
      unsigned a = n == 4 ? p[3] : 255;
      auto* q = reinterpret_cast<uint32_t*>(dst + y * dstride) + x;
      *q = (a << 24) | ((p[0] * a / 255) << 16) | ((p[1] * a / 255) << 8) | (p[2] * a / 255);
    }
  cairo_surface_mark_dirty(s);
  return s;
}

void place(cairo_t* cr, GdkPixbuf* pb, double x, double y, int zoom, double r, double g, double b) {
  int w = gdk_pixbuf_get_width(pb), h = gdk_pixbuf_get_height(pb);
  cairo_set_source_rgb(cr, r, g, b);
  cairo_rectangle(cr, x - 2, y - 2, w * zoom + 4, h * zoom + 4);
  cairo_fill(cr);
  cairo_surface_t* s = surface_of(pb);
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_scale(cr, zoom, zoom);
  cairo_set_source_surface(cr, s, 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
  cairo_paint(cr);
  cairo_restore(cr);
  cairo_surface_destroy(s);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: graphics_sheet NAMES GRAPHICS_DIR OUT.png\n");
    return 2;
  }
  std::vector<PictureName> names;
  std::string error;
  if (!read_picture_names(argv[1], names, error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  std::vector<Entry> small, large;
  for (const PictureName& n : names) {
    const std::string& name = n.name;
    std::string path = std::string(argv[2]) + "/" + name + ".xpm";
    GError* err = nullptr;
    GdkPixbuf* pb = gdk_pixbuf_new_from_file(path.c_str(), &err);
    if (!pb) {
      std::fprintf(stderr, "%s: %s\n", path.c_str(), err->message);
      g_error_free(err);
      return 1;
    }
    (gdk_pixbuf_get_width(pb) > 48 ? large : small).push_back({name, pb});
  }

  const int cell_w = 260, cell_h = 160, cols = 6;
  int rows = (static_cast<int>(small.size()) + cols - 1) / cols;
  int large_w = 20, large_h = 0;
  for (const Entry& e : large) {
    large_w += gdk_pixbuf_get_width(e.pixbuf) + 30;
    large_h = std::max(large_h, gdk_pixbuf_get_height(e.pixbuf));
  }
  int width = std::max(cols * cell_w, large_w), height = rows * cell_h + large_h + 60;
  cairo_surface_t* sheet = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
  cairo_t* cr = cairo_create(sheet);
  cairo_set_source_rgb(cr, 0.965, 0.961, 0.957);
  cairo_paint(cr);
  cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, 12);

  for (std::size_t i = 0; i < small.size(); ++i) {
    double x = static_cast<double>(i % cols) * cell_w + 10, y = static_cast<double>(i / cols) * cell_h + 10;
    GdkPixbuf* pb = small[i].pixbuf;
    char label[96];
    std::snprintf(label, sizeof label, "%s  %dx%d", small[i].name.c_str(), gdk_pixbuf_get_width(pb),
                  gdk_pixbuf_get_height(pb));
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_move_to(cr, x, y + 10);
    cairo_show_text(cr, label);
    place(cr, pb, x + 2, y + 22, 1, 0.98, 0.98, 0.98);
    place(cr, pb, x + 2, y + 22 + gdk_pixbuf_get_height(pb) + 8, 1, 0.80, 0.78, 0.76);
    place(cr, pb, x + 60, y + 22, 4, 1, 1, 1);
  }
  double x = 10, y = rows * cell_h + 30;
  for (const Entry& e : large) {
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_move_to(cr, x, y - 6);
    cairo_show_text(cr, e.name.c_str());
    place(cr, e.pixbuf, x, y, 1, 0.965, 0.961, 0.957);
    x += gdk_pixbuf_get_width(e.pixbuf) + 30;
  }
  cairo_destroy(cr);
  cairo_status_t st = cairo_surface_write_to_png(sheet, argv[3]);
  cairo_surface_destroy(sheet);
  for (const Entry& e : small) g_object_unref(e.pixbuf);
  for (const Entry& e : large) g_object_unref(e.pixbuf);
  if (st != CAIRO_STATUS_SUCCESS) {
    std::fprintf(stderr, "cannot write %s\n", argv[3]);
    return 1;
  }
  return 0;
}
