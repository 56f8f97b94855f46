#include "exchange/dxf_writer.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "building/solid/wall_mesh.h"
#include "display/draw.h"
#include "display/export_name.h"
#include "display/export_scope.h"
#include "display/outdev.h"
#include "display/outdev_breakdown.h"
#include "display/text_layout.h"
#include "display/view_commands.h"
#include "exchange/dxf_common.h"
#include "exchange/export_2d.h"
#include "exchange/export_check.h"
#include "exchange/out_text.h"
#include "model/files/fio.h"
#include "model/geom.h"
#include "model/layers.h"
#include "model/nls.h"
#include "model/presets.h"
#include "model/settings.h"
#include "model/triangulate.h"
#include "model/ui.h"

namespace {

// At most this many material layers in the 3D tables.
constexpr int MAX_MATERIAL_LAYERS = 50;

bool symbol_byte(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
         c == '$';
}

// A name fit for a symbol table: unsafe bytes become "_", an empty name the
// fallback.
std::string safe_symbol(std::string_view name, const std::string& fallback) {
  if (name.empty()) return fallback;
  std::string s(name);
  for (char& c : s)
    if (!symbol_byte(c)) c = '_';
  return s;
}

bool same_dashes(const LineTypeDef& a, const LineTypeDef& b) {
  if (a.pairs != b.pairs || a.period != b.period) return false;
  for (int i = 0; i < a.pairs && i < 3; ++i)
    if (a.dash[i] != b.dash[i] || a.gap[i] != b.gap[i]) return false;
  return true;
}

// A code line and its value line.
void group(OutText& out, std::string_view code, std::string_view value) {
  out << code << '\n' << value << '\n';
}
void group_int(OutText& out, std::string_view code, long long value) {
  out << code << '\n';
  out.integer(value) << '\n';
}
// Beyond this the six decimals are noise of the double: such a value is
// written in the shortest form that reads back as the same double.
constexpr double DXF_FIXED_MOST = 1e12;

void group_real(OutText& out, std::string_view code, double value, int decimals = 6) {
  out << code << '\n';
  const double v = export_coordinate(value);
  if (std::fabs(v) < DXF_FIXED_MOST) {
    out.fixed(v, decimals) << '\n';
    return;
  }
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  out << std::string_view(buf, static_cast<std::size_t>(r.ptr - buf)) << '\n';
}

// The unit factor on standard output after every TEXT, with "." whatever
// the locale.
void print_factor() {
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf - 1, dxf_unit_factor, std::chars_format::fixed, 6);
  *r.ptr = '\0';
  std::printf("dxf f: %s\n", buf);
}

struct DxfWriter {
  OutText* out = nullptr;  // where entities go: the section, or a dimension's block
  DxfLineTypeNames names;
  // The anonymous blocks of the dimensions, and the number of the next.
  OutText* blocks = nullptr;
  int next_block = 1;
  // While a dimension's block is drawn: its figure as the texts give it.
  bool in_block = false;
  bool has_figure = false;
  std::string figure;
  double figure_height = 0.0;
  Point2 figure_centre;
  // Solid fillings that have no entity here and are left out.
  int fills_left_out = 0;
  // The box of everything written, blocks included.
  DxfBox box;
};

DxfWriter& writer() { return *outdev_writer<DxfWriter>(); }

// The pen an entity is written with: pens outside the table take pen 0.
// Guide elements never get here: like the printed exports, the file leaves
// them out.
int entity_pen(uint8_t pen) { return export_pen(pen); }

const std::string& line_type_name(DxfWriter& w, uint8_t lt) { return w.names.name[export_line_type(lt)]; }

// Layer, line type and colour, as LINE, CIRCLE, ARC and TEXT carry them.
void common_head(DxfWriter& w, uint8_t pen, uint8_t lt) {
  const int p = entity_pen(pen);
  group_int(*w.out, "8", p + 101);
  group(*w.out, "6", line_type_name(w, lt));
  group_int(*w.out, "62", p + 7);
}

// A point written as the pair of codes, and counted in the box.
void xy(DxfWriter& w, OutText& o, const char* cx, const char* cy, double x, double y) {
  const double f = dxf_unit_factor;
  group_real(o, cx, x * f);
  group_real(o, cy, y * f);
  w.box.add(x, y, 0.0);
}

void dxf_out_line(uint8_t pen, uint8_t lt, double x1, double y1, double x2, double y2) {
  if (pen == PEN_GUIDE) return;
  DxfWriter& w = writer();
  if (x1 == x2 && y1 == y2) {
    // A dot (of a point hatch, or a line drawn as a point) is a POINT: a
    // LINE of no length is a fault to CAD programs.
    group(*w.out, "0", "POINT");
    common_head(w, pen, lt);
    xy(w, *w.out, "10", "20", x1, y1);
    return;
  }
  group(*w.out, "0", "LINE");
  common_head(w, pen, lt);
  xy(w, *w.out, "10", "20", x1, y1);
  xy(w, *w.out, "11", "21", x2, y2);
}

// One POLYLINE through the points, carrying the line type: its dashes run
// on over the vertices (flag 128) instead of starting anew on each piece.
// Closed, the last point is the first again and is not repeated.
void write_polyline(DxfWriter& w, uint8_t pen, uint8_t lt, const std::vector<Point2>& pts, bool closed) {
  OutText& o = *w.out;
  const int p = entity_pen(pen);
  auto layer_and_colour = [&] {
    group_int(o, "8", p + 101);
    group(o, "6", line_type_name(w, lt));
    group_int(o, "62", p + 7);
  };
  group(o, "0", "POLYLINE");
  layer_and_colour();
  group(o, "66", "1");
  group(o, "10", "0.0");
  group(o, "20", "0.0");
  group(o, "30", "0.0");
  group_int(o, "70", closed ? 129 : 128);
  const std::size_t n = closed && pts.size() > 1 ? pts.size() - 1 : pts.size();
  for (std::size_t i = 0; i < n; ++i) {
    group(o, "0", "VERTEX");
    layer_and_colour();
    xy(w, o, "10", "20", pts[i].x, pts[i].y);
    group_real(o, "30", 0.0);
  }
  group(o, "0", "SEQEND");
  layer_and_colour();
}

// A curve's points as one polyline; when they all coincide, one dot.
void write_curve(DxfWriter& w, uint8_t pen, uint8_t lt, const std::vector<Point2>& pts, bool closed) {
  bool moves = false;
  for (const Point2& q : pts) moves = moves || q.x != pts[0].x || q.y != pts[0].y;
  if (!moves) {
    if (!pts.empty()) dxf_out_line(pen, lt, pts[0].x, pts[0].y, pts[0].x, pts[0].y);
    return;
  }
  write_polyline(w, pen, lt, pts, closed);
}

// The box of a circular arc: its ends and the quadrant points it passes.
void add_arc_box(DxfBox& box, double cx, double cy, double r, double a0, double sweep) {
  box.add(cx + r * std::cos(a0), cy + r * std::sin(a0), 0.0);
  box.add(cx + r * std::cos(a0 + sweep), cy + r * std::sin(a0 + sweep), 0.0);
  const double first = std::ceil(a0 / (GEOM_PI / 2));
  for (int k = 0; k < 4; ++k) {
    const double a = (first + k) * (GEOM_PI / 2);
    if (a > a0 + sweep) break;
    box.add(cx + r * std::cos(a), cy + r * std::sin(a), 0.0);
  }
}

void dxf_out_arc(uint8_t pen, uint8_t lt, double cx, double cy, double rx, double ry, double sweep,
                 double start, double rotation) {
  if (pen == PEN_GUIDE) return;
  if (!std::isfinite(cx) || !std::isfinite(cy) || !std::isfinite(rx) || !std::isfinite(ry) ||
      !std::isfinite(sweep) || !std::isfinite(start) || !std::isfinite(rotation))
    return;
  // A negative sweep runs clockwise from the start: the same curve runs
  // counter-clockwise from its other end, as DXF arcs do.
  if (sweep < 0.0) {
    start += sweep;
    sweep = -sweep;
  }
  const bool full = sweep >= GEOM_TWO_PI || geom_eq(sweep, GEOM_TWO_PI);
  if (full) sweep = GEOM_TWO_PI;
  DxfWriter& w = writer();
  if (std::fabs(rx - ry) > 0.001) {
    // An ellipse has no entity in this version: one polyline along it.
    const int n = outdev_arc_chord_count(rx, ry, sweep);
    EllipseWalk walk(cx, cy, rx, ry, start, sweep / n, rotation);
    std::vector<Point2> pts;
    pts.reserve(static_cast<std::size_t>(n) + 1);
    for (int i = 0; i <= n; ++i, walk.next()) pts.push_back(walk.point());
    write_curve(w, pen, lt, pts, full);
    return;
  }
  if (rx == 0.0) {
    dxf_out_line(pen, lt, cx, cy, cx, cy);
    return;
  }
  const double f = dxf_unit_factor;
  group(*w.out, "0", full ? "CIRCLE" : "ARC");
  common_head(w, pen, lt);
  group_real(*w.out, "10", cx * f);
  group_real(*w.out, "20", cy * f);
  group_real(*w.out, "40", std::fabs(rx) * f);
  if (full) {
    w.box.add(cx - std::fabs(rx), cy - std::fabs(rx), 0.0);
    w.box.add(cx + std::fabs(rx), cy + std::fabs(rx), 0.0);
    return;
  }
  add_arc_box(w.box, cx, cy, std::fabs(rx), rotation + start, sweep);
  group_real(*w.out, "50", (rotation + start) / GEOM_PI * 180.0);
  group_real(*w.out, "51", (rotation + start + sweep) / GEOM_PI * 180.0);
}

// A Bezier curve (a spline) as one polyline through the points the screen
// draws its chords to.
void dxf_out_bezier(uint8_t pen, uint8_t lt, double x0, double y0, double x1, double y1, double x2, double y2,
                    double x3, double y3) {
  if (pen == PEN_GUIDE) return;
  const int n = outdev_bezier_chord_count(x0, y0, x1, y1, x2, y2, x3, y3);
  std::vector<Point2> pts{{x0, y0, 0}};
  for (int i = 1; i < n; ++i)
    pts.push_back(outdev_bezier_point(static_cast<double>(i) / n, x0, y0, x1, y1, x2, y2, x3, y3));
  pts.push_back({x3, y3, 0});
  write_curve(writer(), pen, lt, pts, false);
}

// The figure of a dimension: its first text, with a smaller raised part
// following it; the centre of the first text.
void capture_figure(DxfWriter& w, const OutdevText& t) {
  if (!t.text || !*t.text) return;
  if (w.has_figure) {
    if (t.height < w.figure_height) w.figure += t.text;
    return;
  }
  const char* font = t.font ? t.font : "";
  const double width =
      font_text_width(t.height, t.width_factor, t.spacing, font, t.text, TEXT_LEFT, t.fit_length);
  const double h = t.height * drawing_scale / 1000.0;
  const double ca = std::cos(t.angle), sa = std::sin(t.angle);
  double along = width / 2.0;
  if (t.alignment == TEXT_RIGHT) along = -width / 2.0;
  if (t.alignment == TEXT_CENTRED) along = 0.0;
  w.figure_centre = {t.x + along * ca - h / 2.0 * sa, t.y + along * sa + h / 2.0 * ca, 0};
  w.figure = t.text;
  w.figure_height = t.height;
  w.has_figure = true;
}

void dxf_out_text(const OutdevText& t) {
  if (t.pen == PEN_GUIDE) return;
  DxfWriter& w = writer();
  if (w.in_block) capture_figure(w, t);
  const double f = dxf_unit_factor;
  const double h = t.height * drawing_scale / 1000.0;
  const double pitch = t.line_spacing * t.height * drawing_scale / 1000.0;
  const double ca = std::cos(t.angle), sa = std::sin(t.angle);
  const char* font = t.font ? t.font : "";
  double x = t.x, y = t.y;
  std::string_view rest(t.text ? t.text : "");
  for (;;) {
    const std::size_t nl = rest.find('\n');
    const std::string line(rest.substr(0, nl));
    group(*w.out, "0", "TEXT");
    common_head(w, t.pen, t.lt);
    // Where the line starts and how long it runs, for the box.
    double sx = x, sy = y, length = 0.0;
    if (t.alignment == TEXT_RIGHT || t.alignment == TEXT_CENTRED) {
      double width =
          font_text_width(t.height, t.width_factor, t.spacing, font, line.c_str(), t.alignment, t.fit_length);
      length = width;
      if (t.alignment == TEXT_CENTRED) width /= 2.0;
      sx = x - width * ca;
      sy = y - width * sa;
      group(*w.out, "72", t.alignment == TEXT_RIGHT ? "2" : "1");
      group_real(*w.out, "10", sx * f);
      group_real(*w.out, "20", sy * f);
      group_real(*w.out, "11", x * f);
      group_real(*w.out, "21", y * f);
    } else if (t.alignment == TEXT_JUSTIFIED) {
      length = t.fit_length;
      group(*w.out, "72", "5");
      group_real(*w.out, "10", x * f);
      group_real(*w.out, "20", y * f);
      group_real(*w.out, "11", (x + t.fit_length * ca) * f);
      group_real(*w.out, "21", (y + t.fit_length * sa) * f);
    } else {
      length = font_text_width(t.height, t.width_factor, t.spacing, font, line.c_str(), TEXT_LEFT, 0.0);
      group_real(*w.out, "10", x * f);
      group_real(*w.out, "20", y * f);
    }
    // The line's box: from its start along the baseline, one height up.
    for (const double along : {0.0, length})
      for (const double up : {0.0, h}) w.box.add(sx + along * ca - up * sa, sy + along * sa + up * ca, 0.0);
    group_real(*w.out, "40", h * f);
    group(*w.out, "1", dxf_text_value(line));
    group_real(*w.out, "50", t.angle / GEOM_TWO_PI * 360.0);
    group_real(*w.out, "41", t.width_factor);
    print_factor();
    if (nl == std::string_view::npos) break;
    rest.remove_prefix(nl + 1);
    x += sa * pitch;
    y -= ca * pitch;
  }
}

// Holds "Show room borders" off while the screen writer draws a room's
// inscriptions, and puts it back however the call ends.
class RoomBordersOff {
 public:
  RoomBordersOff() : saved_(view_options.show_room_borders) { view_options.show_room_borders = 0; }
  ~RoomBordersOff() { view_options.show_room_borders = saved_; }
  RoomBordersOff(const RoomBordersOff&) = delete;
  RoomBordersOff& operator=(const RoomBordersOff&) = delete;

 private:
  int32_t saved_;
};

void dxf_out_room(const RoomElem& room) {
  if (room.pen == PEN_GUIDE) return;
  DxfWriter& w = writer();
  if (view_options.show_room_borders && !room.points.empty()) {
    const int p = entity_pen(room.pen);
    const std::string& lt = line_type_name(w, room.line_type);
    auto layer_and_colour = [&] {
      group_int(*w.out, "8", p + 101);
      group(*w.out, "6", lt);
      group_int(*w.out, "62", p + 7);
    };
    auto head = [&] {
      group(*w.out, "0", "POLYLINE");
      layer_and_colour();
      group(*w.out, "66", "1");
      group(*w.out, "10", "0.0");
      group(*w.out, "20", "0.0");
      group(*w.out, "30", "0.0");
      group(*w.out, "70", "1");
    };
    head();
    bool open = true;
    for (std::size_t i = 0; i < room.points.size(); ++i) {
      const Point2& q = room.points[i];
      if (geom_is_end_marker(q.x, q.y)) {
        group(*w.out, "0", "SEQEND");
        layer_and_colour();
        open = false;
        if (i + 1 < room.points.size()) {
          head();
          open = true;
        }
        continue;
      }
      group(*w.out, "0", "VERTEX");
      layer_and_colour();
      xy(w, *w.out, "10", "20", q.x, q.y);
      group_real(*w.out, "30", 0.0);
    }
    // An outline whose last contour lacks its end marker still gets its
    // SEQEND: a POLYLINE left open swallows every entity after it.
    if (open) {
      group(*w.out, "0", "SEQEND");
      layer_and_colour();
    }
  }
  RoomBordersOff off;
  outdev_screen_room(room);
}

// One DIMENSION entity with its own anonymous block, which holds what the
// program draws for it, so that readers show the program's figures.
struct DimEntity {
  int type = 0;  // 0 rotated, 3 diameter, 4 radius, 5 angular by three points
  double rotation = 0.0;
  Point2 p10, p11, p13, p14, p15;
  // The text point the program's reader takes the figure's place from;
  // else the figure's centre.
  bool has11 = false, has13 = false, has14 = false, has15 = false;
};

void write_dimension(DxfWriter& w, const DimElem& drawn, const DimEntity& d) {
  const std::string name = "*D" + std::to_string(w.next_block++);
  OutText& b = *w.blocks;
  group(b, "0", "BLOCK");
  group(b, "8", "0");
  group(b, "2", name);
  group(b, "70", "1");
  group(b, "10", "0.0");
  group(b, "20", "0.0");
  group(b, "30", "0.0");
  group(b, "3", name);
  OutText* entities = w.out;
  w.out = &b;
  w.in_block = true;
  w.has_figure = false;
  w.figure.clear();
  outdev_screen_dimension(drawn);
  w.in_block = false;
  w.out = entities;
  group(b, "0", "ENDBLK");
  group(b, "8", "0");

  OutText& o = *w.out;
  const int p = entity_pen(drawn.pen);
  // Its points count in the box like every other point written.
  auto point = [&](const char* x, const char* y, const char* z, const Point2& q) {
    xy(w, o, x, y, q.x, q.y);
    group_real(o, z, 0.0);
  };
  group(o, "0", "DIMENSION");
  group_int(o, "8", p + 101);
  group(o, "6", line_type_name(w, drawn.line_type));
  group_int(o, "62", p + 7);
  group(o, "2", name);
  point("10", "20", "30", d.p10);
  point("11", "21", "31", d.has11 ? d.p11 : w.has_figure ? w.figure_centre : d.p10);
  // Bit 32: the block belongs to this dimension alone.
  group_int(o, "70", d.type + 32);
  if (w.has_figure) group(o, "1", w.figure);
  if (d.has13) point("13", "23", "33", d.p13);
  if (d.has14) point("14", "24", "34", d.p14);
  if (d.has15) point("15", "25", "35", d.p15);
  if (d.type == 0) group_real(o, "50", d.rotation / GEOM_PI * 180.0);
  group(o, "3", "STANDARD");
}

void dxf_out_dimension(const DimElem& dim) {
  if (dim.pen == PEN_GUIDE) return;
  DxfWriter& w = writer();
  const std::size_t n = dim.points.size();
  if (!w.blocks || dim.dim_kind == DIM_LEVEL || (dim.dim_kind == DIM_CHAIN ? n < 2 : n < 3)) {
    // No dimension kind of the format fits: what the program draws.
    outdev_screen_dimension(dim);
    return;
  }
  const DimPoint* e = dim.points.data();
  DimEntity d;
  switch (dim.dim_kind) {
    case DIM_RADIUS:
      d.type = 4;
      d.p10 = e[0].line_point;
      d.p15 = e[1].line_point, d.has15 = true;
      d.p11 = e[2].line_point, d.has11 = true;
      write_dimension(w, dim, d);
      return;
    case DIM_DIAMETER: {
      // The ends on the circle, through the centre; the figure shows where
      // the program's dimension line runs.
      d.type = 3;
      const Point2 m{(e[1].line_point.x + e[2].line_point.x) / 2, (e[1].line_point.y + e[2].line_point.y) / 2,
                     0};
      const double dx = e[0].line_point.x - m.x, dy = e[0].line_point.y - m.y;
      d.p10 = {e[2].line_point.x + dx, e[2].line_point.y + dy, 0};
      d.p15 = {e[1].line_point.x + dx, e[1].line_point.y + dy, 0}, d.has15 = true;
      d.p11 = m, d.has11 = true;
      write_dimension(w, dim, d);
      return;
    }
    case DIM_ANGLE: {
      // The arc's place halfway round from the first leg to the second,
      // counter-clockwise: readers measure the side it lies on.
      d.type = 5;
      const Point2 c = e[0].line_point;
      d.p15 = c, d.has15 = true;
      d.p14 = e[1].line_point, d.has14 = true;
      d.p13 = e[2].line_point, d.has13 = true;
      const double a1 = std::atan2(e[1].line_point.y - c.y, e[1].line_point.x - c.x);
      double sweep = std::atan2(e[2].line_point.y - c.y, e[2].line_point.x - c.x) - a1;
      if (sweep < 0.0) sweep += GEOM_TWO_PI;
      const double r = std::hypot(e[2].line_point.x - c.x, e[2].line_point.y - c.y);
      d.p10 = {c.x + r * std::cos(a1 + sweep / 2), c.y + r * std::sin(a1 + sweep / 2), 0};
      write_dimension(w, dim, d);
      return;
    }
    default:
      break;
  }
  // A chain: one dimension per segment, each drawn as a chain of its two
  // entries.
  const double c = std::cos(dim.direction), s = std::sin(dim.direction);
  // The measured point where it lies square to the line point, else the
  // line point: a reader finds the line point again as its foot.
  auto origin = [&](const DimPoint& q) {
    const double dx = q.measured.x - q.line_point.x, dy = q.measured.y - q.line_point.y;
    const double along = dx * c + dy * s, length = std::hypot(dx, dy);
    return std::fabs(along) <= 1e-9 * std::max(1.0, length) ? q.measured : q.line_point;
  };
  for (std::size_t i = 0; i + 1 < n; ++i) {
    DimElem part(dim);
    part.points = {e[i], e[i + 1]};
    d.type = 0;
    d.rotation = dim.direction;
    d.p10 = e[i + 1].line_point;
    d.p13 = origin(e[i]), d.has13 = true;
    d.p14 = origin(e[i + 1]), d.has14 = true;
    write_dimension(w, part, d);
  }
}

// Fillings have no entity here; the screen's fill would paint the view.
// Only the arrowheads of a dimension's block become SOLIDs.
void dxf_out_fill(double, double, double, int32_t count, const Point2* pts) {
  DxfWriter& w = writer();
  if (!w.in_block) {
    if (count > 0) ++w.fills_left_out;
    return;
  }
  if (count < 3 || count > 5) return;
  int corners = 0;
  while (corners < count && corners < 4 && !geom_is_end_marker(pts[corners].x, pts[corners].y)) ++corners;
  if (corners < 3) return;
  OutText& o = *w.out;
  group(o, "0", "SOLID");
  group(o, "8", "0");
  group(o, "62", "0");  // the dimension's colour
  // The fourth corner of a triangle repeats the third; the third and fourth
  // of a quadrilateral go crosswise.
  const int order[4] = {0, 1, corners == 4 ? 3 : 2, 2};
  const char* codes[4][2] = {{"10", "20"}, {"11", "21"}, {"12", "22"}, {"13", "23"}};
  for (int k = 0; k < 4; ++k) xy(w, o, codes[k][0], codes[k][1], pts[order[k]].x, pts[order[k]].y);
}

// The dimension variables from the drawing's dimension settings: sizes in
// paper millimetres, scaled to the drawing's units by DIMSCALE.
struct DimVars {
  double scale, text, arrow, tick, ext_offset, ext_beyond, gap;
  int decimals;
};

DimVars dim_vars() {
  DimVars v{};
  const double size = dim_preset.figure_size > 0.0 ? dim_preset.figure_size : 2.5;
  v.scale = drawing_scale / 1000.0 * dxf_unit_factor;
  v.text = size;
  v.arrow = size / 2.0;
  // Oblique strokes where the program draws strokes.
  v.tick = dim_preset.end_mark == DIM_MARK_LINE ? size / 2.0 : 0.0;
  // Extension lines from the measured points, or marks of the set length.
  v.ext_offset = 0.0;
  v.ext_beyond = dim_preset.help_line_length > 0.0 ? dim_preset.help_line_length * size : 0.4 * size;
  v.gap = dim_preset.chain_space * size;
  v.decimals = std::clamp<int>(dim_settings.accuracy, 0, 8);
  return v;
}

// The meshes the 3D entities hold, in list order.
std::vector<const MeshElem*> meshes_3d() {
  std::vector<const MeshElem*> out;
  ElemHeader* e;
  for (elem_first(&e); e; elem_next(&e))
    if (const MeshElem* m = elem_as<MeshElem>(e); m && (e->mark || e->layer == LAYER_TEMP_3D))
      out.push_back(m);
  return out;
}

struct FaceListFree {
  void operator()(FaceList* l) const { tri_faces_free(l); }
};

}  // namespace

DxfLineTypeNames dxf_line_type_names() {
  DxfLineTypeNames r;
  std::array<std::string, 8> base;
  for (int i = 0; i < LINE_TYPE_COUNT && i < 8; ++i) {
    base[i] = safe_symbol(line_types[i].name.c_str(), "LT" + std::to_string(i));
    r.first[i] = true;
    r.name[i] = base[i];
    bool clash = false;
    for (int j = 0; j < i; ++j) {
      if (base[j] != base[i]) continue;
      if (same_dashes(line_types[i], line_types[j])) {
        r.name[i] = r.name[j];
        r.first[i] = false;
        break;
      }
      clash = true;
    }
    if (!r.first[i] || !clash) continue;
    // A name of its own: the lowest free suffix.
    for (int k = 2;; ++k) {
      const std::string candidate = base[i] + "_" + std::to_string(k);
      bool taken = false;
      for (int m = 0; m < 8; ++m) taken = taken || (m < i ? r.name[m] : base[m]) == candidate;
      if (!taken) {
        r.name[i] = candidate;
        break;
      }
    }
  }
  return r;
}

void DxfBox::add(double x, double y, double z) {
  if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z)) return;
  lo[0] = std::min(lo[0], x), hi[0] = std::max(hi[0], x);
  lo[1] = std::min(lo[1], y), hi[1] = std::max(hi[1], y);
  lo[2] = std::min(lo[2], z), hi[2] = std::max(hi[2], z);
}

namespace {

// Whether the bytes read as UTF-8 holding a multi-byte character, as
// readers take such a text whatever the file's code page says.
bool reads_as_utf8(std::string_view s) {
  bool multibyte = false;
  for (std::size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    const std::size_t len = c < 0x80             ? 1
                            : (c & 0xE0) == 0xC0 ? 2
                            : (c & 0xF0) == 0xE0 ? 3
                            : (c & 0xF8) == 0xF0 ? 4
                                                 : 0;
    if (len == 0 || i + len > s.size()) return false;
    uint32_t cp = len == 1 ? c : len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
    for (std::size_t k = 1; k < len; ++k) {
      const auto d = static_cast<unsigned char>(s[i + k]);
      if ((d & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (d & 0x3F);
    }
    if ((len == 2 && cp < 0x80) || (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000)) return false;
    multibyte = multibyte || len > 1;
    i += len;
  }
  return multibyte;
}

}  // namespace

std::string dxf_text_value(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 8);
  // Latin-1 letters that happen to read as UTF-8 ("\xC3\xA4") go as the
  // codes of their characters, so that they are not taken for one.
  const bool coded = reads_as_utf8(text);
  auto hex_digits = [&](std::size_t from, std::size_t count) {
    if (from + count > text.size()) return false;
    for (std::size_t k = from; k < from + count; ++k)
      if (!std::isxdigit(static_cast<unsigned char>(text[k]))) return false;
    return true;
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == '^') {
      out += "^ ";  // a caret would start a control character
    } else if (c < 0x20 || c == 0x7F) {
      out += '^';
      out += static_cast<char>(c == 0x7F ? '?' : c + 64);
    } else if (c == '%' && i + 1 < text.size() && text[i + 1] == '%') {
      out += "%%%";  // two percent signs would start a special character
    } else if (c == '\\' && i + 2 < text.size() && text[i + 2] == '+' &&
               ((text[i + 1] == 'U' && hex_digits(i + 3, 4)) ||
                (text[i + 1] == 'M' && hex_digits(i + 3, 5)))) {
      out += "\\U+005C";  // a backslash that would start a character code
    } else if (coded && c >= 0x80) {
      static constexpr char hex[] = "0123456789ABCDEF";
      out += "\\U+00";
      out += hex[c >> 4];
      out += hex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

void dxf_write_header(OutText& out, const DxfBox& box, bool three_d) {
  const bool empty = box.empty();
  const double f = dxf_unit_factor;
  auto corner = [&](const char* name, const char* code, const double* v) {
    group(out, code, name);
    group_real(out, " 10", empty ? 0.0 : v[0] * f, 5);
    group_real(out, " 20", empty ? 0.0 : v[1] * f, 5);
    if (three_d)
      group_real(out, " 30", empty ? 0.0 : v[2] * f, 5);
    else
      group(out, " 30", "0.0");
  };
  group(out, " 0", "SECTION");
  group(out, " 2", "HEADER");
  group(out, " 9", "$ACADVER");
  group(out, " 1", "AC1009");
  group(out, " 9", "$INSBASE");
  group(out, " 10", "0.0");
  group(out, " 20", "0.0");
  group(out, " 30", "0.0");
  corner("$EXTMIN", " 9", box.lo);
  corner("$EXTMAX", "  9", box.hi);
  // The dimension settings, for readers that draw dimensions themselves.
  const DimVars v = dim_vars();
  auto real = [&out](const char* name, double value) {
    group(out, "  9", name);
    group_real(out, " 40", value);
  };
  auto integer = [&out](const char* name, int value) {
    group(out, "  9", name);
    group_int(out, " 70", value);
  };
  real("$DIMSCALE", v.scale);
  real("$DIMTXT", v.text);
  real("$DIMASZ", v.arrow);
  real("$DIMTSZ", v.tick);
  real("$DIMEXO", v.ext_offset);
  real("$DIMEXE", v.ext_beyond);
  real("$DIMGAP", v.gap);
  real("$DIMCEN", 0.0);
  real("$DIMLFAC", 1.0);
  integer("$DIMTAD", 1);
  integer("$DIMTIH", 0);
  integer("$DIMTOH", 0);
  integer("$DIMZIN", 8);
  integer("$DIMDEC", v.decimals);
  group(out, "  9", "$DIMSTYLE");
  group(out, "  2", "STANDARD");
  group(out, "0", "ENDSEC");
}

void dxf_write_tables(OutText& out) {
  const double f = dxf_unit_factor;
  const DxfLineTypeNames names = dxf_line_type_names();
  int entries = 0;
  for (bool b : names.first) entries += b ? 1 : 0;
  group(out, "0", "SECTION");
  group(out, "2", "TABLES");
  group(out, "0", "TABLE");
  group(out, "2", "LTYPE");
  group_int(out, "70", entries);
  for (int i = 0; i < 8; ++i) {
    if (!names.first[i]) continue;
    const LineTypeDef& t = line_types[i];
    const int pairs = export_dash_pairs(t);
    group(out, "0", "LTYPE");
    group(out, "2", names.name[i]);
    group(out, "70", "64");
    group(out, "3", names.name[i]);
    group(out, "72", "65");
    group_int(out, "73", 2 * pairs);
    group_real(out, "40", export_dash_period(t) / 10.0 * f);
    for (int k = 0; k < pairs; ++k) {
      group_real(out, "49", t.dash[k] / 10.0 * f);
      group_real(out, "49", -(t.gap[k] / 10.0) * f);
    }
  }
  group(out, "0", "ENDTAB");
  group(out, "0", "TABLE");
  group(out, "2", "LAYER");
  group(out, "70", "9");
  // Layer 0 holds the blocks and their arrowheads; the pens' layers the rest.
  group(out, "0", "LAYER");
  group(out, "2", "0");
  group(out, "70", "0");
  group(out, "62", "7");
  group(out, "6", "CONTINUOUS");
  for (int n = 101; n <= 108; ++n) {
    group(out, "0", "LAYER");
    group_int(out, "2", n);
    group(out, "70", "64");
    group_int(out, "62", n - 94);
    group(out, "6", "CONTINUOUS");
  }
  group(out, "0", "ENDTAB");
  // The one dimension style, as the header gives it.
  const DimVars v = dim_vars();
  group(out, "  0", "TABLE");
  group(out, "  2", "DIMSTYLE");
  group(out, " 70", "     1");
  group(out, "  0", "DIMSTYLE");
  group(out, "  2", "STANDARD");
  group(out, " 70", "     0");
  for (const char* code : {"  3", "  4", "  5", "  6", "  7"}) group(out, code, "");
  group_real(out, " 40", v.scale);
  group_real(out, " 41", v.arrow);
  group_real(out, " 42", v.ext_offset);
  group_real(out, " 43", 0.0);
  group_real(out, " 44", v.ext_beyond);
  group_real(out, " 45", 0.0);
  group_real(out, " 46", 0.0);
  group_real(out, " 47", 0.0);
  group_real(out, " 48", 0.0);
  group_real(out, "140", v.text);
  group_real(out, "141", 0.0);
  group_real(out, "142", v.tick);
  group_real(out, "143", 25.4);
  group_real(out, "144", 1.0);
  group_real(out, "145", 0.0);
  group_real(out, "146", 1.0);
  group_real(out, "147", v.gap);
  out << " 71\n     0\n 72\n     0\n 73\n     0\n 74\n     0\n"
         " 75\n     0\n 76\n     0\n 77\n     1\n 78\n     8\n170\n     0\n"
         "171\n     2\n172\n     0\n173\n     0\n174\n     0\n175\n     0\n176\n     0\n177\n     0\n"
         "178\n     0\n"
         "  0\nENDTAB\n"
         "0\nENDSEC\n";
}

void dxf_write_tables_3d(OutText& out) {
  std::vector<std::string> names;
  for (const MeshElem* m : meshes_3d()) {
    if (static_cast<int>(names.size()) >= MAX_MATERIAL_LAYERS) break;
    std::string name = safe_symbol(m->material.c_str(), "Default");
    bool known = false;
    for (const std::string& n : names) known = known || n == name;
    if (!known) names.push_back(std::move(name));
  }
  // Every face lies on "Default", whatever its material.
  if (std::find(names.begin(), names.end(), "Default") == names.end() && !meshes_3d().empty())
    names.emplace_back("Default");
  group(out, "0", "SECTION");
  group(out, "2", "TABLES");
  group(out, "0", "TABLE");
  group(out, "2", "LAYER");
  group_int(out, "70", static_cast<long long>(names.size()));
  for (const std::string& n : names) {
    group(out, "0", "LAYER");
    group(out, "2", n);
    group(out, "70", "64");
    group(out, "62", "0");
    group(out, "6", "CONTINUOUS");
  }
  group(out, "0", "ENDTAB");
  group(out, "0", "ENDSEC");
}

void dxf_write_blocks(OutText& out, std::string_view dimension_blocks) {
  out << " 0\nSECTION\n 2\nBLOCKS\n";
  out << dimension_blocks;
  out << " 0\nENDSEC\n";
}

void dxf_write_entities_2d(OutText& out, OutText* dimension_blocks, int* fills_left_out, DxfBox* box) {
  group(out, "0", "SECTION");
  group(out, "2", "ENTITIES");
  {
    DxfWriter w;
    w.out = &out;
    w.names = dxf_line_type_names();
    w.blocks = dimension_blocks;
    OutdevInstall guard(w);
    outdev.line = dxf_out_line;
    outdev.arc = dxf_out_arc;
    outdev.bezier = dxf_out_bezier;
    outdev.text = dxf_out_text;
    outdev.room = dxf_out_room;
    outdev.dimension = dxf_out_dimension;
    outdev.fill = dxf_out_fill;
    outdev.active = 1;
    draw_scope(DRAW_PLAIN, DrawScope::MARKED);
    if (fills_left_out) *fills_left_out = w.fills_left_out;
    if (box) *box = w.box;
  }
  group(out, "0", "ENDSEC");
  group(out, "0", "EOF");
}

void dxf_write_3dfaces(OutText& out, const FaceList& faces, DxfBox* box) {
  const double f = dxf_unit_factor;
  auto corner = [&](const char* cx, const char* cy, const char* cz, int32_t v) {
    const Point3 p = v >= 0 && v < static_cast<int32_t>(faces.vertices.size()) ? faces.vertices[v] : Point3{};
    group_real(out, cx, p.x * f);
    group_real(out, cy, p.y * f);
    group_real(out, cz, p.z * f);
    if (box) box->add(p.x, p.y, p.z);
  };
  for (int32_t k = 0; k < faces.triangle_count; ++k) {
    group(out, "0", "3DFACE");
    group(out, "8", "Default");
    corner("10", "20", "30", faces.t0[k]);
    corner("11", "21", "31", faces.t1[k]);
    corner("12", "22", "32", faces.t2[k]);
    corner("13", "23", "33", faces.t2[k]);
  }
}

void dxf_write_entities_3d(OutText& out, DxfBox* box) {
  group(out, "0", "SECTION");
  group(out, "2", "ENTITIES");
  for (const MeshElem* m : meshes_3d()) {
    std::unique_ptr<FaceList, FaceListFree> faces(tri_faces_new(m));
    tri_triangulate_faces(faces.get(), 0);
    dxf_write_3dfaces(out, *faces, box);
  }
  group(out, "0", "ENDSEC");
  group(out, "0", "EOF");
}

bool dxf_write(std::FILE* f, int mode, int* fills_left_out) {
  if (fills_left_out) *fills_left_out = 0;
  ExportCoordinates limits(EXPORT_DXF_LIMIT, "DXF");
  FileOut out(f);
  const bool three_d = mode == DXF_OUT_3D || mode == DXF_OUT_3D_ENTITIES;
  // The entities first: the header's box is that of what they hold.
  StringOut entities, blocks;
  DxfBox box;
  if (three_d)
    dxf_write_entities_3d(entities, &box);
  else
    dxf_write_entities_2d(entities, &blocks, fills_left_out, &box);
  dxf_write_header(out, box, three_d);
  if (mode == DXF_OUT_2D) dxf_write_tables(out);
  if (mode == DXF_OUT_3D) dxf_write_tables_3d(out);
  // The dimensions' blocks come before the entities that use them.
  dxf_write_blocks(out, blocks.text());
  out << entities.text();
  out.flush();
  std::fflush(stdout);
  return limits.ok() && out.ok() && std::fflush(f) == 0 && !std::ferror(f);
}

void dxf_export() {
  if (!export_settings_ok({})) return;
  ExportMarks marks;
  ElemHeader* e;
  switch (dxf_settings.export_scope) {
    case DXF_OBJECTS_VISIBLE:
      for (elem_first(&e); e; elem_next(&e))
        if (e->layer == cur_layer || layer_shown(e->layer)) e->mark = 1;
      break;
    case DXF_OBJECTS_ALL:
      for (elem_first(&e); e; elem_next(&e)) e->mark = 1;
      break;
    default:
      if (export_scope_select(0) != 1) return;
      break;
  }
  dxf_set_unit(dxf_settings.export_unit);
  const std::string path = export_name_choose(nls_translate("Export DXF..."), std::string(import_file.view()),
                                              import_path.c_str(), ".dxf");
  if (path == "cancel") return;

  const int mode = dxf_settings.export_mode;
  const bool three_d = mode == DXF_OUT_3D || mode == DXF_OUT_3D_ENTITIES;
  FioSafeWriter file(path);
  if (!file.stream()) {
    ui().msgbox_error(nls_translate("Cannot open file"));
    return;
  }
  if (path.size() < import_file.capacity) import_file = path;
  bool written;
  int fills_left_out = 0;
  export_refused_clear();
  if (three_d) {
    WallTempMeshes meshes;
    written = dxf_write(file.stream(), mode) && file.commit();
  } else {
    written = dxf_write(file.stream(), mode, &fills_left_out) && file.commit();
  }
  if (!written) {
    ui().msgbox_error(export_refused().empty() ? nls_translate("Cannot write file")
                                               : export_refused().c_str());
    return;
  }
  if (fills_left_out > 0) {
    std::string text = nls_translate(
        fills_left_out == 1
            ? nls_mark("%d filling was left out of the DXF file, which has no entity for filled areas.")
            : nls_mark("%d fillings were left out of the DXF file, which has no entity for filled areas."));
    if (const std::size_t at = text.find("%d"); at != std::string::npos)
      text.replace(at, 2, std::to_string(fills_left_out));
    ui().msgbox_message(nls_translate("Message"), text.c_str());
  }
}
