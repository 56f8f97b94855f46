#include "display/text_draw.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string_view>

#include "display/font.h"
#include "display/outdev.h"
#include "display/outdev_breakdown.h"
#include "display/outdev_screen.h"
#include "display/text_layout.h"
#include "display/view.h"
#include "model/geom.h"
#include "model/settings.h"
#include "model/view_rec.h"

namespace {

// Where a glyph's strokes, arcs and fills go for one text.
class SlotSink : public GlyphSink {
 public:
  SlotSink(uint8_t pen, uint8_t lt, bool outline) : pen_(pen), lt_(lt), outline_(outline) {}

  void stroke(double x1, double y1, double x2, double y2) override {
    if (!outline_)
      outdev.line(pen_, lt_, x1, y1, x2, y2);
    else if (!outdev.active)
      draw_clipped_line(pen_, x1, y1, x2, y2);
  }
  void arc(double cx, double cy, double rx, double ry, double sweep, double start, double rotation) override {
    outdev.arc(pen_, lt_, cx, cy, rx, ry, sweep, start, rotation);
  }
  void fill(const Point2* points, int count) override {
    if (view_options.all_black) {
      outdev.fill(0.0, 0.0, 0.0, count, points);
    } else {
      const PenDef& p = pen_def(pen_);
      outdev.fill(p.r, p.g, p.b, count, points);
    }
  }

 private:
  uint8_t pen_, lt_;
  bool outline_;
};

// How far a font's glyphs reach from their origin, in thousandths of the
// height (across before the width factor, and up or down), and its widest
// advance in hundredths; found once per font as loaded.
struct FontReach {
  const int16_t* codes = nullptr;
  std::size_t size = 0;
  double across = 0.0, up = 0.0, advance = 0.0;
};
// One per thread: the screen is drawn by several.
thread_local constinit FontReach font_reach[FONT_SLOT_COUNT];

const FontReach& reach_of(uint8_t slot) {
  const FontSlot& font = font_slots[slot];
  FontReach& r = font_reach[slot];
  if (r.codes == font.codes.data() && r.size == font.codes.size()) return r;
  r = FontReach{font.codes.data(), font.codes.size()};
  auto point = [&r](double x, double y, double radius) {
    r.across = std::max(r.across, std::fabs(x) + radius);
    r.up = std::max(r.up, std::fabs(y) + radius);
  };
  for (int code = 0; code < 256; ++code) {
    r.advance = std::max(r.advance, std::fabs(static_cast<double>(font.advance[code])));
    const int16_t* at = font.glyph_codes(code);
    if (!at) continue;
    const int16_t* end = font.codes.data() + font.codes.size();
    auto word = [&]() -> int16_t { return at < end ? *at++ : int16_t{GLYPH_END}; };
    for (bool more = at < end; more;) {
      const int16_t command = word();
      switch (command) {
        case GLYPH_MOVE:
        case GLYPH_LINE: {
          const int16_t x = word(), y = word();
          point(x, y, 0);
          break;
        }
        case GLYPH_ARC: {
          const int16_t x = word(), y = word(), radius = word();
          word();
          word();
          point(x, y, std::abs(radius));
          break;
        }
        case GLYPH_CUBIC:
        case GLYPH_QUAD: {
          // A curve stays within its control points.
          const int n = command == GLYPH_CUBIC ? 3 : 2;
          for (int k = 0; k < n; ++k) {
            const int16_t x = word(), y = word();
            point(x, y, 0);
          }
          break;
        }
        case GLYPH_FILL:
        case GLYPH_CLOSE:
          break;
        default:  // GLYPH_END or a word no glyph holds
          more = false;
          break;
      }
      more = more && at < end;
    }
  }
  return r;
}

// Whether any pixel of a text can lie in the view. Every character's origin
// lies along its line within the text's widest possible advance (or its
// fit length) of the line's origin, the lines one pitch apart from the
// insertion point, and every stroke, arc and fill of a glyph within the
// font's reach of the origin; a wide pen adds half its width.
bool can_show(const OutdevText& t, uint8_t slot, double h) {
  const FontReach& f = reach_of(slot);
  const std::string_view text(t.text ? t.text : "");
  double chars = 0.0, lines = 1.0;
  for (char c : text) (c == '\n' ? lines : chars) += 1.0;
  const double ah = std::fabs(h), wf = std::fabs(t.width_factor);
  const double along =
      std::max(std::fabs(t.fit_length), chars * ah * (std::fabs(t.spacing) + wf * f.advance / 100.0));
  const ViewRec& v = view_current();
  const double pixel = std::max(std::fabs(v.xscale), std::fabs(v.yscale));
  const double reach = along + ah * (wf * f.across + f.up) / 1000.0 + ah +
                       ah * std::fabs(t.line_spacing) * (lines - 1.0) +
                       pixel * (outdev_pen_width_px(t.pen) / 2.0 + 2.0);
  const double dx = std::max({v.xmin - t.x, t.x - v.xmax, 0.0});
  const double dy = std::max({v.ymin - t.y, t.y - v.ymax, 0.0});
  return !(dx > reach || dy > reach);
}

}  // namespace

void outdev_screen_text(const OutdevText& t) {
  const uint8_t slot = font_find_or_load(t.font);
  if (slot == FONT_NONE) return;
  if (guide_points_shown()) draw_point_marker_small(t.x, t.y);
  GuidePointsOff guide_off;
  const double h = text_world_height(t.height);
  // A text far off the view is left out before it is laid out.
  if (!outdev.active && !can_show(t, slot, h)) return;
  if (view_len_to_px(h) <= 4 && !outdev.active) {
    text_draw_layout_frame(t.x, t.y, t.angle, t.height, t.width_factor, t.spacing, t.line_spacing, t.text,
                           t.fit_length, t.font, t.alignment);
    text_draw_frame(t.pen, t.lt);
    return;
  }
  const std::string_view text(t.text ? t.text : "");
  const double s = std::sin(t.angle), c = std::cos(t.angle);
  const double pitch = h * t.line_spacing;
  for (const TextPlacement& tp :
       text_place(font_slots[slot], text, h, t.width_factor, t.spacing, t.fit_length, t.alignment)) {
    const Point2 o = text_line_origin(t.x, t.y, t.angle, pitch, tp.line);
    text_draw_glyph(t.pen, t.lt, slot, o.x + tp.offset, o.y, t.angle, tp.code, h, t.width_factor, s, c, o.x,
                    o.y);
  }
}

void text_draw_glyph(uint8_t pen, uint8_t lt, uint8_t slot, double x, double y, double angle, uint8_t code,
                     double h, double width_factor, double sine, double cosine, double cx, double cy) {
  if (slot >= FONT_SLOT_COUNT || !font_slots[slot].in_use()) return;
  const FontSlot& font = font_slots[slot];
  SlotSink sink(pen, lt, font.outline != 0);
  const GlyphPlace place{x, y, angle, h, width_factor, sine, cosine, cx, cy};
  glyph_interpret(font, code, place, outdev.active != 0, sink);
}

void text_draw_frame(uint8_t pen, uint8_t lt) {
  for (int i = 0; i < 4; ++i) {
    const Point2& a = text_frame[i];
    const Point2& b = text_frame[(i + 1) % 4];
    outdev.line(pen, lt, a.x, a.y, b.x, b.y);
  }
}

void text_draw_xor_frame(double x, double y, double angle, double height, double width_factor, double spacing,
                         double line_spacing, const char* text, double fit_length, const char* font,
                         int alignment) {
  text_draw_layout_frame(x, y, angle, height, width_factor, spacing, line_spacing, text, fit_length, font,
                         alignment);
  for (int i = 0; i < 4; ++i) {
    const Point2& a = text_frame[i];
    const Point2& b = text_frame[(i + 1) % 4];
    draw_xor_line(a.x, a.y, b.x, b.y);
  }
}
