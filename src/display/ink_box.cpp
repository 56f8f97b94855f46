#include "display/ink_box.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>
#include <vector>

#include "display/draw.h"
#include "display/draw_dim.h"
#include "display/font.h"
#include "display/outdev_breakdown.h"
#include "display/text_layout.h"
#include "display/text_mode.h"
#include "model/geom.h"
#include "model/settings.h"
#include "model/view_rec.h"

void InkBox::add(double x, double y) {
  if (!std::isfinite(x) || !std::isfinite(y)) return;
  if (!started) {
    xmin = xmax = x;
    ymin = ymax = y;
    started = true;
    return;
  }
  xmin = std::min(xmin, x);
  xmax = std::max(xmax, x);
  ymin = std::min(ymin, y);
  ymax = std::max(ymax, y);
}

void InkBox::add(const InkBox& other) {
  if (!other.started) return;
  add(other.xmin, other.ymin);
  add(other.xmax, other.ymax);
}

// The end points and the points between them where x or y turns.
void ink_add_ellipse_arc(InkBox& box, double cx, double cy, double rx, double ry, double sweep, double start,
                         double rotation) {
  if (rx == ry && std::fabs(sweep) >= GEOM_TWO_PI - 1e-9) {  // a circle
    const double r = std::fabs(rx);
    box.add(cx - r, cy - r);
    box.add(cx + r, cy + r);
    return;
  }
  const double cr = std::cos(rotation), sr = std::sin(rotation);
  auto add_at = [&](double t) {
    const double ct = std::cos(t), st = std::sin(t);
    box.add(cx + rx * ct * cr - ry * st * sr, cy + rx * ct * sr + ry * st * cr);
  };
  if (sweep < 0.0) {
    start += sweep;
    sweep = -sweep;
  }
  const bool whole = sweep >= GEOM_TWO_PI - 1e-9;
  if (!whole) {
    add_at(start);
    add_at(start + sweep);
  }
  const double turns[2] = {std::atan2(-ry * sr, rx * cr), std::atan2(ry * cr, rx * sr)};
  for (const double turn : turns) {
    for (const double t : {turn, turn + GEOM_PI}) {
      const double into = std::fmod(std::fmod(t - start, GEOM_TWO_PI) + GEOM_TWO_PI, GEOM_TWO_PI);
      if (whole || into <= sweep) add_at(t);
    }
  }
}

void ink_add_bezier(InkBox& box, double x0, double y0, double x1, double y1, double x2, double y2, double x3,
                    double y3) {
  box.add(x0, y0);
  box.add(x3, y3);
  // Where one coordinate turns: the roots in (0, 1) of the derivative
  // a t^2 + b t + c of that coordinate.
  auto turns = [&](double p0, double p1, double p2, double p3) {
    const double a = -p0 + 3.0 * p1 - 3.0 * p2 + p3;
    const double b = 2.0 * (p0 - 2.0 * p1 + p2);
    const double c = p1 - p0;
    auto at = [&](double t) {
      if (t > 0.0 && t < 1.0) {
        const Point2 p = outdev_bezier_point(t, x0, y0, x1, y1, x2, y2, x3, y3);
        box.add(p.x, p.y);
      }
    };
    const double scale = std::max({std::fabs(a), std::fabs(b), std::fabs(c)});
    if (!(scale > 0.0)) return;
    if (std::fabs(a) <= 1e-12 * scale) {
      if (b != 0.0) at(-c / b);
      return;
    }
    const double d = b * b - 4.0 * a * c;
    if (d < 0.0) return;
    const double r = std::sqrt(d);
    at((-b + r) / (2.0 * a));
    at((-b - r) / (2.0 * a));
  };
  turns(x0, x1, x2, x3);
  turns(y0, y1, y2, y3);
}

namespace {

// The convex hull of one glyph's ink in glyph units (thousandths of the
// height, across before the width factor), as the glyph interpreter draws
// it for output other than the screen: the ends of its strokes and chords,
// the corners of its fills, and for an arc a polygon drawn round it.
struct GlyphHull {
  std::vector<Point2> points;
  double xmin = 0.0, xmax = 0.0, ymin = 0.0, ymax = 0.0;
};

class HullSink : public GlyphSink {
 public:
  std::vector<Point2> points;
  void stroke(double x1, double y1, double x2, double y2) override {
    points.push_back(Point2{x1, y1, 0});
    points.push_back(Point2{x2, y2, 0});
  }
  // Sixteen pieces a half turn, each covered by the triangle of its ends
  // and the crossing of their tangents; rx and ry are equal here.
  void arc(double cx, double cy, double rx, double, double sweep, double start, double) override {
    sweep = std::clamp(sweep, -GEOM_TWO_PI, GEOM_TWO_PI);
    const int n = std::max(1, static_cast<int>(std::ceil(std::fabs(sweep) / (GEOM_PI / 16.0))));
    const double step = sweep / n, out = std::fabs(rx) / std::cos(step / 2.0);
    const double r = std::fabs(rx);
    for (const double t : {start, start + sweep})
      points.push_back(Point2{cx + r * std::cos(t), cy + r * std::sin(t), 0});
    for (int k = 0; k < n; ++k) {
      const double t = start + (k + 0.5) * step;
      points.push_back(Point2{cx + out * std::cos(t), cy + out * std::sin(t), 0});
    }
  }
  void fill(const Point2* p, int count) override {
    for (int i = 0; i < count; ++i)
      if (!geom_is_end_marker(p[i].x, p[i].y)) points.push_back(p[i]);
  }
};

double cross(const Point2& o, const Point2& a, const Point2& b) {
  return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

GlyphHull hull_of(std::vector<Point2> p) {
  GlyphHull h;
  if (p.empty()) return h;
  std::sort(p.begin(), p.end(),
            [](const Point2& a, const Point2& b) { return a.x < b.x || (a.x == b.x && a.y < b.y); });
  h.xmin = p.front().x;
  h.xmax = p.back().x;
  h.ymin = h.ymax = p.front().y;
  for (const Point2& q : p) {
    h.ymin = std::min(h.ymin, q.y);
    h.ymax = std::max(h.ymax, q.y);
  }
  // Andrew's monotone chain.
  std::vector<Point2> out(2 * p.size());
  std::size_t k = 0;
  for (const Point2& q : p) {
    while (k >= 2 && cross(out[k - 2], out[k - 1], q) <= 0.0) --k;
    out[k++] = q;
  }
  for (std::size_t i = p.size() - 1, low = k + 1; i-- > 0;) {
    while (k >= low && cross(out[k - 2], out[k - 1], p[i]) <= 0.0) --k;
    out[k++] = p[i];
  }
  out.resize(k > 1 ? k - 1 : k);
  h.points = std::move(out);
  return h;
}

// The hulls of every code of a font, found once per font as loaded. One
// per thread: the screen is drawn by several.
struct FontHulls {
  const int16_t* codes = nullptr;
  std::size_t size = 0;
  std::array<GlyphHull, 256> glyph;
};
thread_local FontHulls font_hulls[FONT_SLOT_COUNT];

const FontHulls& hulls_of(uint8_t slot) {
  const FontSlot& font = font_slots[slot];
  FontHulls& f = font_hulls[slot];
  if (f.codes == font.codes.data() && f.size == font.codes.size()) return f;
  f.codes = font.codes.data();
  f.size = font.codes.size();
  const GlyphPlace origin{0.0, 0.0, 0.0, 1000.0, 1.0, 0.0, 1.0, 0.0, 0.0};
  for (int code = 0; code < 256; ++code) {
    HullSink sink;
    glyph_interpret(font, static_cast<unsigned char>(code), origin, true, sink);
    f.glyph[code] = hull_of(std::move(sink.points));
  }
  return f;
}

// The extremes of one glyph's hull turned by a text's angle and scaled by
// its width factor, for the text being measured: found at the first of its
// characters with that code.
struct TurnedReach {
  uint32_t text = 0;
  double amin = 0.0, amax = 0.0, bmin = 0.0, bmax = 0.0;
};
thread_local std::array<TurnedReach, 256> turned_reach;
thread_local uint32_t texts_measured = 0;
thread_local std::vector<TextPlacement> placements;

}  // namespace

void ink_add_text(InkBox& box, const OutdevText& t) {
  const std::string_view text(t.text ? t.text : "");
  if (text.empty()) return;
  const uint8_t slot = font_find_or_load(t.font);
  if (slot == FONT_NONE) return;
  const FontSlot& font = font_slots[slot];
  const FontHulls& hulls = hulls_of(slot);
  const double h = text_world_height(t.height);
  const double wf = t.width_factor;
  const double k = h / 1000.0;
  const bool turned = t.angle != 0.0;
  const double s = turned ? std::sin(t.angle) : 0.0, c = turned ? std::cos(t.angle) : 1.0;
  const double pitch = h * t.line_spacing;
  if (++texts_measured == 0) {
    turned_reach.fill(TurnedReach{});
    texts_measured = 1;
  }
  text_place_into(placements, font, text, h, wf, t.spacing, t.fit_length, t.alignment);
  for (const TextPlacement& tp : placements) {
    const GlyphHull& g = hulls.glyph[tp.code];
    if (g.points.empty()) continue;
    // The line's origin as text_line_origin finds it.
    const Point2 o{t.x + tp.line * pitch * s, t.y - tp.line * pitch * c, 0};
    const double px = o.x + tp.offset;
    if (!turned) {
      // As the interpreter maps a glyph point, at the extremes.
      box.add(px + h * wf * g.xmin / 1000.0, o.y + h * g.ymin / 1000.0);
      box.add(px + h * wf * g.xmax / 1000.0, o.y + h * g.ymax / 1000.0);
      continue;
    }
    TurnedReach& r = turned_reach[tp.code];
    if (r.text != texts_measured) {
      r.text = texts_measured;
      r.amin = r.bmin = INFINITY;
      r.amax = r.bmax = -INFINITY;
      for (const Point2& q : g.points) {
        const double a = c * wf * q.x - s * q.y, b = s * wf * q.x + c * q.y;
        r.amin = std::min(r.amin, a);
        r.amax = std::max(r.amax, a);
        r.bmin = std::min(r.bmin, b);
        r.bmax = std::max(r.bmax, b);
      }
    }
    const double ox = o.x + c * tp.offset, oy = o.y + s * tp.offset;
    box.add(ox + k * r.amin, oy + k * r.bmin);
    box.add(ox + k * r.amax, oy + k * r.bmax);
  }
}

// The slots of a pass, reached through the writer context.
struct InkPass::Slots {
  InkBox* box;
  InkScope scope;
  InkTexts texts;
};

namespace {

InkPass::Slots& pass() { return *outdev_writer<InkPass::Slots>(); }

bool counts(uint8_t pen) { return pen != PEN_GUIDE || pass().scope != InkScope::PRINTED; }

// What a stroke adds to the box: on paper a round-capped stroke reaches half
// its pen's width beyond its line on every side, which a page must hold.
// Pens outside the table print with pen 0's width.
void add_stroke(const InkBox& line, uint8_t pen) {
  InkBox& b = *pass().box;
  if (!line.started) return;
  if (pass().scope != InkScope::PRINTED) {
    b.add(line);
    return;
  }
  const double half = pens[pen < PEN_COUNT ? pen : 0].width * drawing_scale / 1000.0 / 2.0;
  b.add(line.xmin - half, line.ymin - half);
  b.add(line.xmax + half, line.ymax + half);
}

void ink_line(uint8_t pen, uint8_t, double x1, double y1, double x2, double y2) {
  if (!counts(pen)) return;
  InkBox line;
  line.add(x1, y1);
  line.add(x2, y2);
  add_stroke(line, pen);
}
void ink_arc(uint8_t pen, uint8_t, double cx, double cy, double rx, double ry, double sweep, double start,
             double rotation) {
  if (!counts(pen)) return;
  InkBox arc;
  ink_add_ellipse_arc(arc, cx, cy, rx, ry, sweep, start, rotation);
  add_stroke(arc, pen);
}
void ink_bezier(uint8_t pen, uint8_t, double x0, double y0, double x1, double y1, double x2, double y2,
                double x3, double y3) {
  if (!counts(pen)) return;
  InkBox curve;
  ink_add_bezier(curve, x0, y0, x1, y1, x2, y2, x3, y3);
  add_stroke(curve, pen);
}
// The glyphs' strokes take the text's pen; what a glyph fills reaches less
// far, so the box may be a little wider there. A text written as text is
// filled in the standard font and has no stroke.
void ink_text(const OutdevText& t) {
  if (!counts(t.pen)) return;
  if (pass().texts == InkTexts::WRITTEN) {
    ink_add_text_mode(*pass().box, t);
    return;
  }
  InkBox text;
  ink_add_text(text, t);
  add_stroke(text, t.pen);
}
// A filling has no pen: it is printed whatever pen its element has.
void ink_fill(double, double, double, int32_t n, const Point2* points) {
  InkBox& b = *pass().box;
  for (int32_t i = 0; i < n; ++i)
    if (!geom_is_end_marker(points[i].x, points[i].y)) b.add(points[i].x, points[i].y);
}

// The guard that installs the slots for as long as the pass lives. Nothing
// here flushes or shows a marker, since the output is not the screen's.
struct Installed {
  OutdevInstall install;
  GuidePointsOff no_guide_points;
  explicit Installed(InkPass::Slots& slots) : install(slots) {
    // Also inside a writer's pass (a file header asking for the extents)
    // the composite kinds are broken down here, never handed to the writer.
    outdev.text = ink_text;
    outdev.dimension = outdev_screen_dimension;
    outdev.room = outdev_screen_room;
    outdev.line = ink_line;
    outdev.arc = ink_arc;
    outdev.bezier = ink_bezier;
    outdev.fill = ink_fill;
    outdev.active = 1;
  }
};

}  // namespace

struct InkPass::Impl {
  Slots slots;
  Installed installed{slots};
};

InkPass::InkPass(InkBox& box, InkScope scope, InkTexts texts) : impl_(new Impl{Slots{&box, scope, texts}}) {}

InkPass::~InkPass() { delete impl_; }

void InkPass::add(ElemHeader* e) {
  const InkScope scope = impl_->slots.scope;
  if (scope != InkScope::SHOWN && e->kind == ELEM_CAMERA) return;
  if (scope == InkScope::PRINTED && e->kind == ELEM_LIGHT) return;
  draw_element_any_layer(e);
}
