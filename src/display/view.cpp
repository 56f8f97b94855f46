#include "display/view.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "model/geom.h"

double view_scale = 500.0;
cairo_surface_t* view_pixmaps[VIEW_COUNT] = {};
cairo_t* view_gcs[VIEW_COUNT] = {};
uint32_t view_palettes[VIEW_COUNT][VIEW_PALETTE_SIZE] = {};
Rgb palette_rgb[VIEW_PALETTE_SIZE];
thread_local constinit ClipResult clip_result;
PixelPoint pointer_pixel;
Point2 cursor_world;
Point2 pointer_world;
DirtyRect view_dirty;
DisplayHooks display_hooks;
uint8_t draw_refresh_now = 1;

namespace {

// What the direct pixel writes need to know of a store, and whether cairo
// and the direct writes are in step: one-pixel lines are written straight
// into the surface's memory (far cheaper than a cairo stroke each), wide
// lines and inverting figures go through cairo.
struct Store {
  uint8_t* data = nullptr;
  int stride = 0;
  int width = 0;
  int height = 0;
  bool direct_unseen = false;  // pixels written directly since cairo last looked
  bool cairo_unflushed = false;
};
Store stores[VIEW_COUNT];

bool valid_view(int k) { return k >= 0 && k < VIEW_COUNT; }

int current_index() { return valid_view(cur_view) ? cur_view : 0; }

// The current view's store, null when it has none.
Store* current_store() {
  int k = current_index();
  return view_gcs[k] ? &stores[k] : nullptr;
}

void before_direct(int k) {
  if (stores[k].cairo_unflushed) {
    cairo_surface_flush(view_pixmaps[k]);
    stores[k].cairo_unflushed = false;
  }
  stores[k].direct_unseen = true;
}

void before_cairo(int k) {
  if (stores[k].direct_unseen) {
    cairo_surface_mark_dirty(view_pixmaps[k]);
    stores[k].direct_unseen = false;
  }
  stores[k].cairo_unflushed = true;
}

uint32_t* row(const Store& s, int y) {
  return reinterpret_cast<uint32_t*>(s.data + std::ptrdiff_t{y} * s.stride);
}

// A one-pixel line from (x0, y0) to (x1, y1), both end pixels included;
// only the pixels of rows ylo to yhi - 1 are written.
void raster_line(const Store& s, int x0, int y0, int x1, int y1, uint32_t pixel, int ylo, int yhi) {
  const int dx = std::abs(x1 - x0);
  const int dy = -std::abs(y1 - y0);
  const int sx = x0 < x1 ? 1 : -1;
  const int sy = y0 < y1 ? 1 : -1;
  const bool inside = std::min(x0, x1) >= 0 && std::max(x0, x1) < s.width && std::min(y0, y1) >= ylo &&
                      std::max(y0, y1) < yhi;
  if (!inside && (std::max(x0, x1) < 0 || std::min(x0, x1) >= s.width || std::max(y0, y1) < ylo ||
                  std::min(y0, y1) >= yhi))
    return;
  int err = dx + dy;
  for (;;) {
    if (inside || (x0 >= 0 && x0 < s.width && y0 >= ylo && y0 < yhi)) row(s, y0)[x0] = pixel;
    if (x0 == x1 && y0 == y1) return;
    const int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x0 += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y0 += sy;
    }
  }
}

void set_source_pixel(cairo_t* cr, uint32_t pixel) {
  cairo_set_source_rgb(cr, ((pixel >> 16) & 0xFF) / 255.0, ((pixel >> 8) & 0xFF) / 255.0,
                       (pixel & 0xFF) / 255.0);
}

void fill_store(int k, uint32_t pixel) {
  before_direct(k);
  const Store& s = stores[k];
  for (int y = 0; y < s.height; ++y) std::fill_n(row(s, y), s.width, pixel);
}

void present(int x, int y, int w, int h) {
  if (display_hooks.present) display_hooks.present(current_index(), x, y, w, h);
}

// The palette entry a colour index draws with: "Show all colored black"
// draws every pen as pen 1 and every dimmed pen as dimmed pen 1.
uint32_t palette_pixel(uint8_t colour) {
  if (colour >= VIEW_PALETTE_SIZE) colour = PAL_BACKGROUND;
  if (view_options.all_black) {
    if (colour >= PAL_PEN_0 && colour < PAL_DIMMED_PEN_0) colour = PAL_PEN_0;
    if (colour >= PAL_DIMMED_PEN_0) colour = PAL_DIMMED_PEN_0;
  }
  return view_palettes[current_index()][colour];
}

thread_local PixelRecording* recording = nullptr;

int16_t op_coordinate(int v) { return static_cast<int16_t>(std::clamp(v, -32768, 32767)); }

// Puts a one-pixel line into the list of every band it reaches. A line
// that draws nothing is left out, and so is a one-pixel dot on the pixel
// the band's last line ended on in the same colour: that pixel holds the
// colour already, since nothing else drew in the band since.
void record_line(const Store& s, int x1, int y1, int x2, int y2, uint32_t pixel) {
  if (std::max(x1, x2) < 0 || std::min(x1, x2) >= s.width || std::max(y1, y2) < 0 ||
      std::min(y1, y2) >= s.height)
    return;
  const PixelOp op{op_coordinate(x1), op_coordinate(y1), op_coordinate(x2), op_coordinate(y2), pixel};
  const bool dot = x1 == x2 && y1 == y2;
  const int first = std::max(std::min(y1, y2), 0) / recording->band_rows;
  const int last =
      std::min(std::min(std::max(y1, y2), s.height - 1) / recording->band_rows, recording->band_count - 1);
  for (int b = first; b <= last; ++b) {
    std::vector<PixelOp>& ops = recording->bands[b];
    if (dot && !ops.empty()) {
      const PixelOp& before = ops.back();
      if (before.x2 == op.x1 && before.y2 == op.y1 && before.pixel == pixel) continue;
    }
    ops.push_back(op);
  }
}

void draw_line_pixel(uint8_t width, uint32_t pixel, double x1, double y1, double x2, double y2) {
  Store* s = current_store();
  if (!s) return;
  const int k = current_index();
  const int ix1 = static_cast<int>(x1), iy1 = static_cast<int>(y1);
  const int ix2 = static_cast<int>(x2), iy2 = static_cast<int>(y2);
  if (recording) {
    if (width <= 1)
      record_line(*s, ix1, iy1, ix2, iy2, pixel);
    else
      ++recording->wide;
    return;
  }
  if (width <= 1) {
    before_direct(k);
    raster_line(*s, ix1, iy1, ix2, iy2, pixel, 0, s->height);
  } else {
    before_cairo(k);
    cairo_t* cr = view_gcs[k];
    // Odd widths straddle the pixel centre, even widths its corner, so that
    // the band's edges never fall on pixel centres.
    const double off = width % 2 ? 0.5 : 0.0;
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    set_source_pixel(cr, pixel);
    cairo_set_line_width(cr, width);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_move_to(cr, ix1 + off, iy1 + off);
    cairo_line_to(cr, ix2 + off, iy2 + off);
    cairo_stroke(cr);
  }
}

// An inverting path: difference with white turns every pixel into its
// complement, so the same figure drawn again restores it.
void begin_xor(cairo_t* cr) {
  cairo_set_operator(cr, CAIRO_OPERATOR_DIFFERENCE);
  cairo_set_source_rgb(cr, 1.0, 1.0, 1.0);
  cairo_set_line_width(cr, 1.0);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
}

void end_xor(cairo_t* cr) {
  cairo_stroke(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
}

// The point where the segment crosses the horizontal y0 (or, swapped, the
// vertical x0); the caller knows the ends lie on different sides.
double crossing(double level, double a1, double b1, double a2, double b2) {
  const double t = (b2 - level) / (b2 - b1);
  return a1 * t + a2 * (1.0 - t);
}

int outcode(const ViewRec& v, double x, double y) {
  int code = 0;
  if (x < v.xmin)
    code = 1;
  else if (x > v.xmax)
    code = 2;
  if (y < v.ymin)
    code += 4;
  else if (y > v.ymax)
    code += 8;
  return code;
}

// view_wx_to_sx and view_wy_to_sy (model/geom.h) for a view already looked
// up: the clipping runs for every chord of every curve, so it saves the two
// calls per end. Same rounding: + 0.5, truncated, held to 16 bits.
int16_t hold_pixel(double v) {
  if (std::isnan(v)) return 0;
  return static_cast<int16_t>(std::clamp(v, -32767.0, 32767.0));
}
double pixels_of(double len, double scale) {
  if (!(std::fabs(scale) > 0.0)) return 0.0;
  const double v = len / scale;
  return std::isnan(v) ? 0.0 : std::trunc(v + 0.5);
}
int16_t screen_x(const ViewRec& v, double x) { return hold_pixel(v.left + pixels_of(x - v.xmin, v.xscale)); }
int16_t screen_y(const ViewRec& v, double y) {
  return hold_pixel(v.bottom - pixels_of(y - v.ymin, v.yscale));
}

}  // namespace

uint32_t view_rgb_pixel(double r, double g, double b) {
  auto channel = [](double c) -> uint32_t {
    if (!(c > 0.0)) return 0;
    if (c >= 1.0) return 0xFF;
    return static_cast<uint32_t>(c * 65535.0) >> 8;
  };
  return channel(r) << 16 | channel(g) << 8 | channel(b);
}

void view_init(int k) {
  if (!valid_view(k)) return;
  cur_view = k;
  view_scale = 500.0;
  ViewRec& v = views[k];
  v.xmin = -10.0;
  v.ymin = -10.0;
  v.xmax = 10.0;
  v.ymax = 10.0;
}

void view_apply_scale(int k) {
  if (!valid_view(k)) return;
  ViewRec& v = views[k];
  const double pw = std::abs(v.right - v.left);
  const double ph = std::abs(v.bottom - v.top);
  if (pw <= 0.0 || ph <= 0.0) return;
  const double width = view_scale * (screen_aspect.width / 100.0 / 300.0) * pw;
  const double height = view_scale * (screen_aspect.height / 100.0 / 300.0) * ph;
  const double cx = (v.xmin + v.xmax) / 2.0;
  const double cy = (v.ymin + v.ymax) / 2.0;
  v.xmin = cx - width / 2.0;
  v.xmax = cx + width / 2.0;
  v.ymin = cy - height / 2.0;
  v.ymax = cy + height / 2.0;
  v.xscale = width / pw;
  v.yscale = height / ph;
}

bool view_offscreen(int k, int w, int h) {
  if (!valid_view(k)) return false;
  view_release(k);
  if (w < 1 || h < 1 || w > 32767 || h > 32767) return false;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return false;
  }
  cairo_t* cr = cairo_create(surface);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  view_pixmaps[k] = surface;
  view_gcs[k] = cr;
  Store& s = stores[k];
  s = Store{};
  cairo_surface_flush(surface);
  s.data = cairo_image_surface_get_data(surface);
  s.stride = cairo_image_surface_get_stride(surface);
  s.width = w;
  s.height = h;
  fill_store(k, 0xFFFFFF);
  ViewRec& v = views[k];
  v.left = 0;
  v.top = 0;
  v.right = static_cast<int16_t>(w);
  v.bottom = static_cast<int16_t>(h);
  view_apply_scale(k);
  view_alloc_palette(k);
  return true;
}

void view_release(int k) {
  if (!valid_view(k)) return;
  if (view_gcs[k]) cairo_destroy(view_gcs[k]);
  if (view_pixmaps[k]) cairo_surface_destroy(view_pixmaps[k]);
  view_gcs[k] = nullptr;
  view_pixmaps[k] = nullptr;
  stores[k] = Store{};
}

void view_free_all() {
  for (int k = 0; k < VIEW_COUNT; ++k) view_release(k);
}

void view_alloc_palette(int k) {
  if (!valid_view(k)) return;
  const Rgb bg = display_colors.background;
  palette_rgb[PAL_BACKGROUND] = bg;
  palette_rgb[PAL_SELECTED] = display_colors.active;
  palette_rgb[PAL_GUIDE] = display_colors.guide;
  for (int i = 0; i < PEN_COUNT; ++i) {
    const PenDef& p = pens[i];
    palette_rgb[PAL_PEN_0 + i] = Rgb{p.r, p.g, p.b};
    palette_rgb[PAL_DIMMED_PEN_0 + i] =
        Rgb{(2 * p.r + 3 * bg.r) / 5, (2 * p.g + 3 * bg.g) / 5, (2 * p.b + 3 * bg.b) / 5};
  }
  for (int i = 0; i < VIEW_PALETTE_SIZE; ++i) {
    const Rgb& c = palette_rgb[i];
    view_palettes[k][i] = view_rgb_pixel(c.r, c.g, c.b);
  }
}

cairo_surface_t* view_surface(int k) {
  if (!valid_view(k) || !view_pixmaps[k]) return nullptr;
  if (stores[k].cairo_unflushed) cairo_surface_flush(view_pixmaps[k]);
  if (stores[k].direct_unseen) cairo_surface_mark_dirty(view_pixmaps[k]);
  stores[k].cairo_unflushed = stores[k].direct_unseen = false;
  return view_pixmaps[k];
}

bool view_write_png(int k, const char* path) {
  cairo_surface_t* s = view_surface(k);
  return s && path && cairo_surface_write_to_png(s, path) == CAIRO_STATUS_SUCCESS;
}

void view_clear() {
  Store* s = current_store();
  if (!s) return;
  fill_store(current_index(), view_palettes[current_index()][PAL_BACKGROUND]);
  view_add_dirty(0, 0, s->width, s->height);
}

void view_clear_and_refresh() {
  Store* s = current_store();
  if (!s) return;
  fill_store(current_index(), view_palettes[current_index()][PAL_BACKGROUND]);
  present(0, 0, s->width, s->height);
}

void view_add_dirty(double x1, double y1, double x2, double y2) {
  Store* s = current_store();
  const double w = s ? s->width : 0;
  const double h = s ? s->height : 0;
  if (x2 < 0 || y2 < 0 || x1 > w || y1 > h) return;
  DirtyRect& d = view_dirty;
  if (d.dirty) {
    d.xmin = std::min(d.xmin, x1);
    d.ymin = std::min(d.ymin, y1);
    d.xmax = std::max(d.xmax, x2);
    d.ymax = std::max(d.ymax, y2);
  } else {
    d = DirtyRect{x1, y1, x2, y2, true};
  }
}

void view_add_dirty_all() {
  if (const Store* s = current_store()) view_add_dirty(0, 0, s->width, s->height);
}

void view_flush_dirty() {
  Store* s = current_store();
  if (!s || !view_dirty.dirty) return;
  const DirtyRect& d = view_dirty;
  const int x = std::max(0, static_cast<int>(std::clamp(d.xmin, -32767.0, 32767.0)));
  const int y = std::max(0, static_cast<int>(std::clamp(d.ymin, -32767.0, 32767.0)));
  const int w = std::min(s->width, static_cast<int>(std::clamp(d.xmax - d.xmin, 0.0, 32767.0)));
  const int h = std::min(s->height, static_cast<int>(std::clamp(d.ymax - d.ymin, 0.0, 32767.0)));
  view_dirty.dirty = false;
  present(x, y, w, h);
}

void view_draw_pen_line(uint8_t width, uint8_t colour, double x1, double y1, double x2, double y2) {
  if (!current_store()) return;
  draw_line_pixel(width, palette_pixel(colour), x1, y1, x2, y2);
  if (recording) return;
  const double grow = width + 1.0;
  view_add_dirty(std::min(x1, x2) - grow, std::min(y1, y2) - grow, std::max(x1, x2) + grow,
                 std::max(y1, y2) + grow);
}

void view_draw_rgb_line(double r, double g, double b, double x1, double y1, double x2, double y2) {
  if (!current_store()) return;
  draw_line_pixel(0, view_rgb_pixel(r, g, b), x1, y1, x2, y2);
  if (recording) return;
  view_add_dirty(std::min(x1, x2) - 1, std::min(y1, y2) - 1, std::max(x1, x2) + 1, std::max(y1, y2) + 1);
}

void view_xor_line_px(double x1, double y1, double x2, double y2) {
  if (!current_store()) return;
  const int k = current_index();
  const int ix1 = static_cast<int>(x1), iy1 = static_cast<int>(y1);
  const int ix2 = static_cast<int>(x2), iy2 = static_cast<int>(y2);
  before_cairo(k);
  cairo_t* cr = view_gcs[k];
  begin_xor(cr);
  cairo_move_to(cr, ix1 + 0.5, iy1 + 0.5);
  cairo_line_to(cr, ix2 + 0.5, iy2 + 0.5);
  end_xor(cr);
  present(std::min(ix1, ix2) - 2, std::min(iy1, iy2) - 2, std::abs(ix2 - ix1) + 4, std::abs(iy2 - iy1) + 4);
}

void view_xor_rect_px(double x1, double y1, double x2, double y2) {
  if (!current_store()) return;
  const int k = current_index();
  const int ax = static_cast<int>(std::min(x1, x2)), ay = static_cast<int>(std::min(y1, y2));
  const int bx = static_cast<int>(std::max(x1, x2)), by = static_cast<int>(std::max(y1, y2));
  before_cairo(k);
  cairo_t* cr = view_gcs[k];
  begin_xor(cr);
  cairo_rectangle(cr, ax + 0.5, ay + 0.5, bx - ax, by - ay);
  end_xor(cr);
  present(ax, ay, bx - ax + 1, by - ay + 1);
}

void view_record_into(PixelRecording* r) { recording = r; }

int view_band_rows(int bands) {
  const Store* s = current_store();
  if (!s || bands <= 0) return 0;
  return std::max(1, (s->height + bands - 1) / bands);
}

void view_play_band(const std::vector<PixelOp>& ops, int band, int band_rows) {
  const Store* s = current_store();
  if (!s) return;
  const int ylo = band * band_rows, yhi = std::min(s->height, ylo + band_rows);
  for (const PixelOp& op : ops) raster_line(*s, op.x1, op.y1, op.x2, op.y2, op.pixel, ylo, yhi);
}

void view_prepare_direct() {
  if (current_store()) before_direct(current_index());
}

int view_clip_outcode(double x, double y) { return outcode(view_current(), x, y); }

int view_clip_line(double x1, double y1, double x2, double y2) {
  if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2)) return 0;
  const ViewRec& v = view_current();
  // Most segments lie wholly inside: with a scale, their pixels are the
  // rounded distances from the window's corner, which no clamp can change.
  if (x1 >= v.xmin && x1 <= v.xmax && x2 >= v.xmin && x2 <= v.xmax && y1 >= v.ymin && y1 <= v.ymax &&
      y2 >= v.ymin && y2 <= v.ymax && v.xscale > 0.0 && v.yscale > 0.0) {
    clip_result.x1 = x1;
    clip_result.y1 = y1;
    clip_result.x2 = x2;
    clip_result.y2 = y2;
    // The distances are at most the window's pixels, so a plain conversion
    // truncates them as std::trunc does.
    auto px = [](double len, double scale) { return static_cast<int>(len / scale + 0.5); };
    clip_result.sx1 = static_cast<int16_t>(v.left + px(x1 - v.xmin, v.xscale));
    clip_result.sy1 = static_cast<int16_t>(v.bottom - px(y1 - v.ymin, v.yscale));
    clip_result.sx2 = static_cast<int16_t>(v.left + px(x2 - v.xmin, v.xscale));
    clip_result.sy2 = static_cast<int16_t>(v.bottom - px(y2 - v.ymin, v.yscale));
    return 1;
  }
  // Each round moves one end onto a border it lay beyond, so four rounds
  // settle every segment; the limit only guards against rounding loops.
  for (int round = 0; round < 8; ++round) {
    const int c1 = outcode(v, x1, y1);
    const int c2 = outcode(v, x2, y2);
    if (c1 & c2) return 0;
    if (c1 == 0 && c2 == 0) {
      clip_result.x1 = x1;
      clip_result.y1 = y1;
      clip_result.x2 = x2;
      clip_result.y2 = y2;
      clip_result.sx1 = screen_x(v, x1);
      clip_result.sy1 = screen_y(v, y1);
      clip_result.sx2 = screen_x(v, x2);
      clip_result.sy2 = screen_y(v, y2);
      return 1;
    }
    const bool first = c1 != 0;
    const int c = first ? c1 : c2;
    double x, y;
    if (c & 8) {
      y = v.ymax;
      x = crossing(y, x1, y1, x2, y2);
    } else if (c & 4) {
      y = v.ymin;
      x = crossing(y, x1, y1, x2, y2);
    } else if (c & 2) {
      x = v.xmax;
      y = crossing(x, y1, x1, y2, x2);
    } else {
      x = v.xmin;
      y = crossing(x, y1, x1, y2, x2);
    }
    if (first) {
      x1 = x;
      y1 = y;
    } else {
      x2 = x;
      y2 = y;
    }
  }
  return 0;
}

void draw_xor_line(double x1, double y1, double x2, double y2) {
  if (!view_clip_line(x1, y1, x2, y2)) return;
  view_xor_line_px(clip_result.sx1, clip_result.sy1, clip_result.sx2, clip_result.sy2);
}

void draw_xor_rect(double x1, double y1, double x2, double y2) {
  view_xor_rect_px(view_wx_to_sx(x1), view_wy_to_sy(y1), view_wx_to_sx(x2), view_wy_to_sy(y2));
}
