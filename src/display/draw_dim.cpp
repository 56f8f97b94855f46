#include "display/draw_dim.h"

#include <cmath>

#include "display/outdev.h"
#include "display/outdev_breakdown.h"
#include "display/text_layout.h"
#include "display/view.h"
#include "model/geom.h"
#include "model/settings.h"
#include "model/units.h"

namespace {

// Wing angles of an arrowhead: 180 degrees minus and plus 7.5 degrees, and
// the 7.5 degrees alone.
constexpr double ARROW_WING_1 = 3.010692959690218;
constexpr double ARROW_WING_2 = 3.2724923474893677;
constexpr double ARROW_HALF_ANGLE = 0.1308996938995747;
constexpr char INCH_MARK = '"';

// The dimension being drawn, with the figure size in world units.
struct DimCall {
  uint8_t pen, lt, figure_pen, figure_lt;
  double direction, figure_size, figure_width, figure_space, chain_space, help_line_length;
  const char* font;
  uint8_t format, end_mark, kind;
  int32_t n;
  const DimPoint* points;
  double s;  // figure size in world units: figure height and size of marks and symbols
};

DimCall make_call(const DimElem& d) {
  return DimCall{d.pen,
                 d.line_type,
                 d.figure_pen,
                 d.figure_line_type,
                 d.direction,
                 d.figure_size,
                 d.figure_width,
                 d.figure_space,
                 d.chain_space,
                 d.help_line_length,
                 d.font.c_str(),
                 d.format,
                 d.end_mark,
                 d.dim_kind,
                 static_cast<int32_t>(d.points.size()),
                 d.points.data(),
                 d.figure_size * drawing_scale / 1000.0};
}

Point2 along(const Point2& p, double length, double angle) {
  return Point2{p.x + length * std::cos(angle), p.y + length * std::sin(angle), 0};
}

void line(uint8_t pen, uint8_t lt, const Point2& a, const Point2& b) {
  outdev.line(pen, lt, a.x, a.y, b.x, b.y);
}

// The fill of an arrowhead: its pen's colour, or black.
void fill_triangle(uint8_t pen, const Point2& a, const Point2& b, const Point2& c) {
  const Point2 pts[4] = {a, b, c, CONTOUR_END};
  if (view_options.all_black) {
    outdev.fill(0.0, 0.0, 0.0, 4, pts);
  } else {
    const PenDef& p = pen_def(pen);
    outdev.fill(p.r, p.g, p.b, 4, pts);
  }
}

double text_width(const DimCall& d, const std::string& text) {
  return font_text_width(d.figure_size, d.figure_width, d.figure_space, d.font, text.c_str(), TEXT_LEFT, 0.0);
}

// An edited figure carries a "*" on the screen; printed and exported
// figures never do.
void mark_edited(std::string& text) {
  if (!outdev.active) text.insert(0, "*");
}

std::string cut(const std::string& s, std::size_t count) {
  return s.size() > count ? s.substr(0, s.size() - count) : std::string();
}

std::string last(const std::string& s, std::size_t count) {
  return s.size() > count ? s.substr(s.size() - count) : s;
}

bool digit_rounds_to_five(const std::string& s) { return !s.empty() && s.back() >= '3' && s.back() <= '7'; }

// Metres from 1 m on, centimetres below, with the millimetres (and tenths)
// beyond the main figure as raised digits.
void format_architecture(double v, std::string& text, std::string& raised) {
  const int acc = dim_settings.accuracy_architecture;
  if (v >= 1.0) {
    switch (acc) {
      case 3: {
        const std::string s = draw_fixed(v, 4);
        raised = last(s, 2);
        draw_dim_strip_zero(raised);
        draw_dim_strip_zero(raised);
        text = cut(s, 2);
        break;
      }
      case 2: {
        const std::string s = draw_fixed(v, 3);
        raised = last(s, 1);
        draw_dim_strip_zero(raised);
        text = cut(s, 1);
        break;
      }
      case 1:
        if (digit_rounds_to_five(draw_fixed(v, 3))) raised = "5";
        text = draw_fixed(v - 0.0025, 2);
        break;
      case 0:
        text = draw_fixed(v, 2);
        break;
      default:
        break;
    }
    return;
  }
  const double c = v * 100.0;
  switch (acc) {
    case 3: {
      const std::string s = draw_fixed(c, 2);
      raised = last(s, 2);
      draw_dim_strip_zero(raised);
      draw_dim_strip_zero(raised);
      text = cut(s, 3);
      break;
    }
    case 2: {
      const std::string s = draw_fixed(c, 1);
      raised = last(s, 1);
      draw_dim_strip_zero(raised);
      text = cut(s, 2);
      break;
    }
    case 1:
      if (digit_rounds_to_five(draw_fixed(c, 1))) raised = "5";
      text = draw_fixed((v - 0.0025) * 100.0, 0);
      break;
    case 0:
      text = draw_fixed(c, 0);
      break;
    default:
      break;
  }
}

void format_decimal(uint8_t format, double v, std::string& text) {
  double n = v;
  if (format == 2) n = v * 100.0;
  if (format == 3) n = v * 1000.0;
  if (format == 4) n = v / 0.0254;
  if (format == 5) n = v / 0.3048;
  const int acc = dim_settings.accuracy;
  if (acc < 0 || acc > 4) return;
  text = draw_fixed(n, acc);
  for (int i = 1; i < acc; ++i) draw_dim_strip_zero(text);
}

// Feet, inches and a reduced fraction of an inch. A negative value is the
// figure of its magnitude with a minus sign in front.
void format_imperial(uint8_t format, double v, std::string& text) {
  static constexpr int denominators[7] = {2, 4, 8, 16, 32, 64, 1};
  int den = format >= 6 && format <= 12 ? denominators[format - 6] : 2;
  const double f = std::fabs(v) / 0.3048;
  double ft = std::trunc(f);
  const double inches = (f - ft) * 12.0;
  int i = static_cast<int>(std::trunc(inches));
  int num = static_cast<int>(std::trunc(den * (inches - i) + 0.5));
  while (num != 0 && num % 2 == 0) {
    num /= 2;
    den /= 2;
  }
  if (num == 1 && den == 1) {
    ++i;
    num = 0;
    den = 0;
  }
  if (i == 12) {
    ft += 1.0;
    i = 0;
  }
  const std::string sf = draw_fixed(ft, 0), si = std::to_string(i);
  const std::string frac = std::to_string(num) + "/" + std::to_string(den);
  // Each rule whose condition holds replaces what the earlier ones wrote.
  text = sf + "'-" + si + " " + frac;
  if (ft == 0.0) text = si + " " + frac;
  if (num == 0) text = sf + "'-" + si;
  if (i == 0) text = sf + "'-" + frac;
  if (i + num == 0) text = sf + "'-" + si;
  if (ft == 0.0 && i == 0) text = frac;
  if (ft == 0.0 && num == 0) text = si;
  text += INCH_MARK;
  if (v < 0.0 && text != "0\"") text.insert(0, "-");
}

// The figure of a radius or diameter: the override or the measured value,
// with the kind's prefix.
void prefixed_figure(const DimCall& d, const char* prefix, double override_value, double measured,
                     std::string& text, std::string& raised) {
  draw_dim_format_value(d.format, text, raised, override_value != 0.0 ? override_value : measured);
  if (override_value != 0.0) mark_edited(text);
  text.insert(0, prefix);
}

void second_figure(const DimCall& d, const char* prefix, double value, std::string& text,
                   std::string& raised) {
  if (value == 0.0) return;
  draw_dim_format_value(d.format, text, raised, value);
  text.insert(0, prefix);
}

void text_of(const DimCall& d, uint8_t mode, double angle, double chain_space, const std::string& text,
             const std::string& raised, const std::string& second, const std::string& second_raised,
             const Point2& anchor, double width, const DimPoint& figure) {
  draw_dim_text(mode, d.figure_pen, d.figure_lt, angle, d.figure_size, d.figure_width, d.figure_space,
                chain_space, d.font, text.c_str(), raised.c_str(), second.c_str(), second_raised.c_str(),
                anchor.x, anchor.y, width, figure.text_dx, figure.text_dy);
}

void draw_chain(const DimCall& d) {
  if (d.n < 1) return;
  double h = d.help_line_length;
  const bool full = std::fabs(h) < 1e-9;
  if (full) h = 0.4;
  const DimPoint* p = d.points;
  const Point2& p0 = p[0].line_point;
  const Point2& pn = p[d.n - 1].line_point;
  if (!outdev.active && !view_clip_line(p0.x, p0.y, pn.x, pn.y)) return;
  const double a = d.direction;
  line(d.pen, d.lt, p0, pn);
  const double hx = std::sin(a) * h * d.s, hy = std::cos(a) * h * d.s;
  // Marks stand where the stored segment lengths put them.
  draw_dim_terminator(d.end_mark, d.pen, d.lt, d.s, hx, hy, p0.x, p0.y, 0, 1, a);
  if (full) line(d.pen, d.lt, p0, p[0].measured);
  double sum = 0.0;
  for (int32_t k = 1; k < d.n; ++k) {
    sum += p[k].segment_length;
    const Point2 m = along(p0, sum, a);
    draw_dim_terminator(d.end_mark, d.pen, d.lt, d.s, hx, hy, m.x, m.y, 1, k != d.n - 1, a);
    if (full) line(d.pen, d.lt, p[k].line_point, p[k].measured);
  }
  double before = 0.0;
  for (int32_t k = 1; k < d.n; ++k) {
    const DimPoint& e = p[k];
    const double length = e.segment_length;
    std::string text, raised, second, second_raised;
    draw_dim_format_value(d.format, text, raised, e.override_value != 0.0 ? e.override_value : length);
    if (e.override_value != 0.0) mark_edited(text);
    second_figure(d, "", e.second_value, second, second_raised);
    double space = d.chain_space;
    if (dim_settings.move_figures && length < 0.4) space *= 2.0;
    const double w = text_width(d, text);
    const Point2 anchor = along(p0, before + length / 2.0 - w / 2.0, a);
    text_of(d, 0, a, space, text, raised, second, second_raised, anchor, w, e);
    before += length;
  }
}

void draw_radius(const DimCall& d) {
  if (d.n < 3) return;
  const Point2& c = d.points[0].line_point;
  const Point2& on = d.points[1].line_point;
  const Point2& t = d.points[2].line_point;
  const DimPoint& e = d.points[2];
  const double a = geom_angle(c.x, c.y, on.x, on.y);
  line(d.pen, d.lt, on, t);
  draw_dim_arrow(d.pen, d.lt, t.x, t.y, on.x, on.y, d.s);
  const double r = geom_dist(c.x, c.y, on.x, on.y);
  std::string text, raised, second, second_raised;
  prefixed_figure(d, "R ", e.override_value, r, text, raised);
  second_figure(d, "R ", e.second_value, second, second_raised);
  const double w = text_width(d, text);
  Point2 anchor = t;
  if (geom_dist(c.x, c.y, t.x, t.y) > r) anchor = along(t, -w, a);
  text_of(d, 0, a, d.chain_space, text, raised, second, second_raised, anchor, w, e);
}

void draw_diameter(const DimCall& d) {
  if (d.n < 3) return;
  const Point2& c = d.points[0].line_point;
  const Point2& e1 = d.points[1].line_point;
  const Point2& e2 = d.points[2].line_point;
  const DimPoint& e = d.points[2];
  const double a = geom_angle(e1.x, e1.y, e2.x, e2.y);
  line(d.pen, d.lt, e1, e2);
  draw_dim_arrow(d.pen, d.lt, e2.x, e2.y, e1.x, e1.y, d.s);
  draw_dim_arrow(d.pen, d.lt, e1.x, e1.y, e2.x, e2.y, d.s);
  const Point2 mid{(e1.x + e2.x) / 2.0, (e1.y + e2.y) / 2.0, 0};
  const double d0 = geom_dist(c.x, c.y, mid.x, mid.y);
  for (const Point2* end : {&e1, &e2})
    line(d.pen, d.lt, along(*end, d0, a - HALF_PI), along(*end, d.help_line_length * d.s, a + HALF_PI));
  std::string text, raised, second, second_raised;
  prefixed_figure(d, "D ", e.override_value, geom_dist(e1.x, e1.y, e2.x, e2.y), text, raised);
  second_figure(d, "D ", e.second_value, second, second_raised);
  const double w = text_width(d, text);
  text_of(d, 0, a, d.chain_space, text, raised, second, second_raised, along(mid, -w / 2.0, a), w, e);
}

void draw_level(const DimCall& d) {
  if (d.n < 3) return;
  const Point2& zero = d.points[1].line_point;
  const Point2& p2 = d.points[2].line_point;
  const DimPoint& e = d.points[2];
  const double a = d.direction;
  const Point2 top = along(p2, d.s, a + GEOM_PI / 6.0);
  const Point2 b = along(top, d.s, a - HALF_PI);
  line(d.pen, d.lt, b, p2);
  line(d.pen, d.lt, top, p2);
  line(d.pen, d.lt, top, along(top, 5.0 * d.s, a - HALF_PI));
  std::string text, raised;
  if (e.override_value != 0.0) {
    draw_dim_format_value(d.format, text, raised, std::fabs(e.override_value));
    text.insert(0, e.override_value > 0.0 ? "+ " : "- ");
    mark_edited(text);
  } else {
    const double dist = geom_dist(zero.x, zero.y, p2.x, p2.y);
    draw_dim_format_value(d.format, text, raised, dist);
    if (dist == 0.0) {
      text = "+/- 0.00";
      raised.clear();
    } else {
      const Point2 ahead = along(zero, 1.0, a);
      geom_project_on_segment(p2.x, p2.y, zero.x, zero.y, ahead.x, ahead.y);
      if (geo_result.proj_t > 0.0) text.insert(0, "+ ");
      if (geo_result.proj_t < 0.0) text.insert(0, "- ");
    }
  }
  text_of(d, 2, a - HALF_PI, d.chain_space, text, raised, "", "", top, text_width(d, text), e);
}

void draw_angle(const DimCall& d) {
  if (d.n < 3) return;
  const Point2& c = d.points[0].line_point;
  const Point2& p1 = d.points[1].line_point;
  const Point2& p2 = d.points[2].line_point;
  const DimPoint& e = d.points[2];
  const double r = geom_dist(c.x, c.y, p2.x, p2.y);
  const double a1 = geom_angle(c.x, c.y, p1.x, p1.y);
  double a2 = geom_angle(c.x, c.y, p2.x, p2.y);
  double sweep = a2 - a1;
  if (sweep < 0.0) sweep += GEOM_TWO_PI;
  const double hs = d.help_line_length * d.s;
  line(d.pen, d.lt, along(p1, hs, a1), along(p1, -hs, a1));
  line(d.pen, d.lt, along(p2, hs, a2), along(p2, -hs, a2));
  outdev.arc(d.pen, d.lt, c.x, c.y, r, r, sweep, a1, 0.0);
  const Point2 from1 = along(p1, 1.0, a1 + HALF_PI), from2 = along(p2, 1.0, a2 - HALF_PI);
  draw_dim_arrow(d.pen, d.lt, from1.x, from1.y, p1.x, p1.y, d.s);
  draw_dim_arrow(d.pen, d.lt, from2.x, from2.y, p2.x, p2.y, d.s);
  std::string text = draw_fixed(sweep * 180.0 / GEOM_PI, 2), second;
  if (e.override_value != 0.0) {
    text = draw_fixed(e.override_value, 2);
    mark_edited(text);
  }
  if (e.second_value != 0.0) second = draw_fixed(e.second_value, 2);
  if (a1 > a2) a2 += GEOM_TWO_PI;
  const double m = (a1 + a2) / 2.0;
  const double w = text_width(d, text);
  const Point2 anchor = along(along(c, r, m), -w / 2.0, m - HALF_PI);
  text_of(d, 1, m - HALF_PI, d.chain_space, text, "", second, "", anchor, w, e);
}

}  // namespace

std::string draw_fixed(double value, int decimals) {
  if (!std::isfinite(value)) return std::string();
  std::string s = units_fixed(value, decimals);
  if (s.size() > 1 && s[0] == '-' && s.find_first_not_of("0.", 1) == std::string::npos) s.erase(0, 1);
  return s;
}

void draw_dim_strip_zero(std::string& text) {
  if (!text.empty() && (text.back() == '0' || text.back() == '.')) text.pop_back();
}

void draw_dim_format_value(uint8_t format, std::string& text, std::string& raised, double value) {
  text.clear();
  raised.clear();
  if (!std::isfinite(value)) return;
  if (format == DIM_FORMAT_ARCHITECTURE)
    format_architecture(value, text, raised);
  else if (format <= 5)
    format_decimal(format, value, text);
  else
    format_imperial(format, value, text);
}

void draw_dim_arrow(uint8_t pen, uint8_t lt, double from_x, double from_y, double tip_x, double tip_y,
                    double length) {
  const double t = geom_angle(from_x, from_y, tip_x, tip_y);
  const Point2 tip{tip_x, tip_y, 0};
  const Point2 w1 = along(tip, length, t + ARROW_WING_1);
  const Point2 w2 = along(tip, length, t + ARROW_WING_2);
  fill_triangle(pen, tip, w1, w2);
  line(pen, lt, tip, w1);
  line(pen, lt, w1, w2);
  line(pen, lt, w2, tip);
}

void draw_dim_terminator(uint8_t style, uint8_t pen, uint8_t lt, double size, double half_x, double half_y,
                         double x, double y, uint8_t before, uint8_t after, double angle) {
  const Point2 p{x, y, 0};
  switch (style) {
    case DIM_MARK_CIRCLE:
      outdev.arc(pen, lt, x, y, size / 7.5, size / 7.5, GEOM_TWO_PI, 0.0, 0.0);
      break;
    case DIM_MARK_LINE: {
      const Point2 a = geom_rotated(x, y, x - half_x / 2.0, y + half_y / 2.0, -GEOM_PI / 4.0);
      const Point2 b = geom_rotated(x, y, x + half_x / 2.0, y - half_y / 2.0, -GEOM_PI / 4.0);
      line(pen, lt, a, b);
      break;
    }
    case DIM_MARK_ARROW:
      for (int side = 0; side < 2; ++side) {
        if (side == 0 ? after != 1 : before != 1) continue;
        const double l = side == 0 ? size / 2.0 : -size / 2.0;
        const Point2 w1 = along(p, l, angle + ARROW_HALF_ANGLE);
        const Point2 w2 = along(p, l, angle - ARROW_HALF_ANGLE);
        line(pen, lt, w1, p);
        line(pen, lt, w2, p);
        line(pen, lt, w1, w2);
        fill_triangle(pen, p, w1, w2);
      }
      break;
    default:
      break;
  }
  outdev.line(pen, lt, x - half_x, y + half_y, x + half_x, y - half_y);
}

void draw_dim_text(uint8_t mode, uint8_t figure_pen, uint8_t figure_lt, double angle, double figure_size,
                   double figure_width, double figure_space, double chain_space, const char* font,
                   const char* figure, const char* raised, const char* second, const char* second_raised,
                   double x, double y, double text_width, double dx, double dy) {
  const double h = figure_size * drawing_scale / 1000.0;
  const double w = text_width;
  const std::string main_text = figure ? figure : "", raised_text = raised ? raised : "";
  const std::string second_text = second ? second : "",
                    second_raised_text = second_raised ? second_raised : "";
  double normal = angle;
  geom_norm_angle(&normal);
  // Figures read upright: one that would stand on its head is turned half
  // round about the middle of the main figure on the line.
  const bool turn = mode != 2 && normal > HALF_PI && normal <= 3.0 * HALF_PI;
  const double drawn = turn ? angle + GEOM_PI : angle;
  const double ca = std::cos(angle), sa = std::sin(angle);
  const Point2 middle{x + w / 2.0 * ca, y + w / 2.0 * sa, 0};
  // (x, y) plus p along the line and q across it, turned if need be.
  auto at = [&](double p, double q) {
    const Point2 r{x + p * ca - q * sa, y + p * sa + q * ca, 0};
    return turn ? Point2{2.0 * middle.x - r.x, 2.0 * middle.y - r.y, 0} : r;
  };
  auto put = [&](const std::string& s, const Point2& pos, double size) {
    if (s.empty()) return;
    outdev.text(OutdevText{.pen = figure_pen,
                           .lt = figure_lt,
                           .x = pos.x,
                           .y = pos.y,
                           .angle = drawn,
                           .height = size,
                           .width_factor = figure_width,
                           .spacing = figure_space,
                           .text = s.c_str(),
                           .font = font});
  };
  auto degree_mark = [&](const Point2& pos, double width) {
    const Point2 c = along(along(pos, width + 4.0 * figure_space * h, drawn), h, drawn + HALF_PI);
    outdev.arc(figure_pen, figure_lt, c.x, c.y, h / 4.0, h / 4.0, GEOM_TWO_PI, 0.0, 0.0);
  };
  const double up = h * chain_space + dy;
  const Point2 main_at = at(dx, up);
  put(main_text, main_at, figure_size);
  put(raised_text, at(dx + w + h * figure_space, up + h / 2.0), 0.7 * figure_size);
  if (mode == 1) degree_mark(main_at, w);
  if (second_text.empty()) return;
  const double w2 =
      font_text_width(figure_size, figure_width, figure_space, font, second_text.c_str(), TEXT_LEFT, 0.0);
  const double sx = (w - w2) / 2.0 + dx, sy = -(h * chain_space) - h + dy;
  const Point2 second_at = at(sx, sy);
  put(second_text, second_at, figure_size);
  put(second_raised_text, at(sx + w2 + h * figure_space, sy + h / 2.0), 0.7 * figure_size);
  if (mode == 1) degree_mark(second_at, w2);
}

void draw_dim_radius(const DimElem& dim) { draw_radius(make_call(dim)); }

void draw_dim_diameter(const DimElem& dim) { draw_diameter(make_call(dim)); }

void draw_dim_level(const DimElem& dim) { draw_level(make_call(dim)); }

void draw_dim_angle(const DimElem& dim) { draw_angle(make_call(dim)); }

void outdev_screen_dimension(const DimElem& dim) {
  GuidePointsOff guide_off;
  const DimCall d = make_call(dim);
  switch (d.kind) {
    case DIM_RADIUS:
      draw_radius(d);
      break;
    case DIM_DIAMETER:
      draw_diameter(d);
      break;
    case DIM_LEVEL:
      draw_level(d);
      break;
    case DIM_ANGLE:
      draw_angle(d);
      break;
    default:
      draw_chain(d);
      break;
  }
}
