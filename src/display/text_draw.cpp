#include "display/text_draw.h"

#include <cmath>
#include <string_view>

#include "display/font.h"
#include "display/outdev.h"
#include "display/outdev_breakdown.h"
#include "display/outdev_screen.h"
#include "display/text_layout.h"
#include "display/view.h"
#include "model/geom.h"
#include "model/settings.h"

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

}  // namespace

void outdev_screen_text(const OutdevText& t) {
  const uint8_t slot = font_find_or_load(t.font);
  if (slot == FONT_NONE) return;
  if (view_options.show_guide_points) draw_point_marker_small(t.x, t.y);
  GuidePointsOff guide_off;
  const double h = text_world_height(t.height);
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
