#include "shell/penline_sample.h"

#include <algorithm>

namespace {

constexpr double PIXELS_PER_MM = 3.0;
constexpr double SAMPLE_LENGTH = 100.0;
constexpr double SAMPLE_END = 99.0;
// A period so short that more rounds would be asked for than the picture can
// show still ends.
constexpr int MAX_ROUNDS = 100;

// x cut to a whole pixel; values far outside the picture stay far outside.
int cut(double x) {
  if (!(x > -1e6)) return -1000000;
  if (x > 1e6) return 1000000;
  return static_cast<int>(x);
}

}  // namespace

std::vector<PenlineSegment> penline_linetype_segments(const LineTypeDef& type) {
  const int last = static_cast<int>(SAMPLE_END);
  int pairs = std::min<int>(type.pairs, 3);
  if (pairs <= 0) return {{0, last}};
  double dash[3], gap[3];
  for (int j = 0; j < pairs; ++j) {
    dash[j] = type.dash[j] * PIXELS_PER_MM;
    gap[j] = type.gap[j] * PIXELS_PER_MM;
  }
  double length = type.period * PIXELS_PER_MM;
  int rounds = -1;  // no round at all
  if (length > 0.0) {
    double r = SAMPLE_LENGTH / length;
    rounds = r >= MAX_ROUNDS ? MAX_ROUNDS : static_cast<int>(r);
  }
  std::vector<PenlineSegment> out;
  double x = 0.0;
  for (int r = 0; r <= rounds; ++r) {
    for (int j = 0; j < pairs; ++j) {
      if (!(x + dash[j] < SAMPLE_END)) break;
      out.push_back({cut(x), cut(x + dash[j])});
      x += dash[j] + gap[j];
    }
  }
  out.push_back({cut(x), last});
  return out;
}

Rgb penline_pen_rgb(int pen) {
  const PenDef& p = pens[pen >= 0 && pen < PEN_COUNT ? pen : 0];
  return Rgb{p.r, p.g, p.b};
}

void penline_draw_linetype_sample(unsigned char line_type, cairo_t* cr) {
  if (!cr || line_type >= LINE_TYPE_COUNT) return;
  for (const PenlineSegment& s : penline_linetype_segments(line_types[line_type])) {
    int lo = std::max(std::min(s.x0, s.x1), 0);
    int hi = std::min(std::max(s.x0, s.x1), PENLINE_PICTURE_WIDTH - 1);
    if (lo > hi) continue;
    cairo_rectangle(cr, lo, PENLINE_SAMPLE_Y, hi - lo + 1, 1);
  }
  cairo_fill(cr);
}

cairo_surface_t* penline_picture_render(int n) {
  if (n < 0 || n >= PENLINE_PICTURES) return nullptr;
  cairo_surface_t* surface =
      cairo_image_surface_create(CAIRO_FORMAT_RGB24, PENLINE_PICTURE_WIDTH, PENLINE_PICTURE_HEIGHT);
  cairo_t* cr = cairo_create(surface);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  if (n < PEN_COUNT) {
    Rgb c = penline_pen_rgb(n);
    cairo_set_source_rgb(cr, c.r, c.g, c.b);
    cairo_paint(cr);
  } else {
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_set_source_rgb(cr, 0, 0, 0);
    penline_draw_linetype_sample(static_cast<unsigned char>(n - PEN_COUNT), cr);
  }
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  return surface;
}
