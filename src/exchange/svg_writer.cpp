#include "exchange/svg_writer.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "display/draw.h"
#include "display/export_scope.h"
#include "display/outdev.h"
#include "exchange/export_check.h"
#include "exchange/out_text.h"
#include "model/geom.h"
#include "model/nls.h"

namespace {

// Strokes of one pen and line type that follow each other go into one path
// element, every stroke a subpath of its own (so each has its caps and its
// dash pattern restarted as before), up to this many strokes a path; so do
// fillings of one colour, up to this many fillings a path. A large drawing
// thus stays far below the count of elements a reader takes in.
constexpr int RUN_STROKES = 1000;

// A box in hundredths of a pixel.
struct HundredthsBox {
  long long x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  bool overlaps(const HundredthsBox& o) const { return !(x1 < o.x0 || o.x1 < x0 || y1 < o.y0 || o.y1 < y0); }
  void add(const HundredthsBox& o) {
    x0 = std::min(x0, o.x0);
    y0 = std::min(y0, o.y0);
    x1 = std::max(x1, o.x1);
    y1 = std::max(y1, o.y1);
  }
};

struct SvgWriter {
  const ExtentsPage& page;
  OutText& out;
  double k;  // pixels per metre
  // The open path of a run of strokes: its style, strokes, and the current
  // point in hundredths of a pixel, from which the next coordinates are
  // written relative.
  int run_pen = -1, run_line_type = -1;
  int run_strokes = 0;
  long long cx = 0, cy = 0;
  // The path data written last: its command, and whether a number ended it.
  char command = 0;
  bool after_number = false;
  // The open path of a run of fillings: their colour, count and the box of
  // all of them.
  uint32_t fill_colour = 0;
  int run_fills = 0;
  HundredthsBox fill_box = {};
};

SvgWriter& writer() { return *outdev_writer<SvgWriter>(); }

double mm_to_px(double mm) { return export_mm_to_pt(mm) * SVG_PX_PER_PT; }

// A drawing point's pixels from the top left corner, in hundredths: every
// coordinate is written to a hundredth of a pixel (a quarter of a
// micrometre on paper at 90 pixels to the inch).
long long hundredths(double v) { return std::llround(std::clamp(v * 100.0, -9e15, 9e15)); }
long long hx(const SvgWriter& w, double x) { return hundredths(export_coordinate((x - w.page.xmin) * w.k)); }
long long hy(const SvgWriter& w, double y) { return hundredths(export_coordinate((w.page.ymax - y) * w.k)); }

OutText& put_x(SvgWriter& w, double x) { return w.out.hundredths(hx(w, x)); }
OutText& put_y(SvgWriter& w, double y) { return w.out.hundredths(hy(w, y)); }
// A point as "X,Y".
OutText& put_xy(SvgWriter& w, double x, double y) {
  put_x(w, x) << ',';
  return put_y(w, y);
}

// Path data of strokes is written short: a command letter only where the
// command changes (more pairs after a move are lines), numbers without the
// zero before their point ("-.5"), and a blank only between two numbers
// whose sign does not already part them. Most strokes are the short
// pieces of texts, a few pixels long.
void put_command(SvgWriter& w, char c) {
  const char goes_on = w.command == 'm' ? 'l' : w.command;
  if (c == goes_on && c != 'z') return;
  w.out << c;
  w.command = c;
  w.after_number = false;
}

// A number of hundredths of a pixel (a radius, an angle, a flag of 0 or
// 100 as 0 or 1) in its shortest form.
void put_number(SvgWriter& w, long long v) {
  if (w.after_number && v >= 0) w.out << ' ';
  w.out.hundredths(v, true);
  w.after_number = true;
}

void put_pair(SvgWriter& w, long long a, long long b) {
  put_number(w, a);
  put_number(w, b);
}

// A colour of parts in 0..1 as 0xRRGGBB, each part times 255, truncated.
uint32_t colour_of(double r, double g, double b) {
  auto part = [](double v) -> uint32_t {
    return v >= 1.0 ? 255 : v > 0.0 ? static_cast<uint32_t>(v * 255.0) : 0;
  };
  return part(r) << 16 | part(g) << 8 | part(b);
}

// A colour as # and six lower-case hexadecimal digits.
void put_colour(OutText& out, uint32_t colour) {
  const char* digits = "0123456789abcdef";
  out << '#';
  for (int shift = 20; shift >= 0; shift -= 4) out << digits[(colour >> shift) & 15];
}

// The stroke of a pen and the dashes of a line type: the rule of the
// class every stroked element of that pen and line type names.
void put_stroke_rule(OutText& out, int pen, int lt) {
  const PenDef& p = pens[pen];
  out << ".s";
  out.integer(pen);
  out.integer(lt) << "{fill:none;stroke:";
  if (view_options.all_black == 1)
    put_colour(out, 0);
  else
    put_colour(out, colour_of(p.r, p.g, p.b));
  out << ";stroke-width:";
  out.shortest(mm_to_px(p.width), 2) << ";stroke-linecap:round;stroke-linejoin:round;";
  const LineTypeDef& t = line_types[lt];
  if (export_dash_pairs(t) > 0) {
    out << "stroke-dasharray:";
    for (int i = 0; i < export_dash_pairs(t); ++i) {
      if (i > 0) out << ' ';
      out.shortest(mm_to_px(t.dash[i]), 2) << ' ';
      out.shortest(mm_to_px(t.gap[i]), 2);
    }
    out << ';';
  }
  out << "}\n";
}

// Names the class of a pen and line type, then the closing. A class in
// place of the style spares the same style text in every element.
void put_class_and_close(SvgWriter& w, uint8_t pen, uint8_t lt) {
  w.out << "\" class=\"s";
  w.out.integer(export_pen(pen));
  w.out.integer(export_line_type(lt)) << "\"/>\n";
}

// Ends the open path of a run of fillings, if there is one.
void end_fills(SvgWriter& w) {
  if (w.run_fills == 0) return;
  w.out << "\" style=\"stroke:none;fill:";
  put_colour(w.out, w.fill_colour);
  w.out << ";fill-rule:evenodd;\"/>\n";
  w.run_fills = 0;
}

// Ends the open path of a run of strokes or of fillings, if there is one.
void end_run(SvgWriter& w) {
  end_fills(w);
  if (w.run_strokes == 0) return;
  put_class_and_close(w, static_cast<uint8_t>(w.run_pen), static_cast<uint8_t>(w.run_line_type));
  w.run_strokes = 0;
}

// Starts a stroke at (x, y) in the run of its pen and line type, opening a
// new path when the style changes or the path is full. The first stroke
// of a path moves absolutely, the others from the end of the one before.
void begin_stroke(SvgWriter& w, uint8_t pen, uint8_t lt, double x, double y) {
  const int p = export_pen(pen), t = export_line_type(lt);
  end_fills(w);
  if (w.run_strokes > 0 && (p != w.run_pen || t != w.run_line_type || w.run_strokes >= RUN_STROKES))
    end_run(w);
  const long long px = hx(w, x), py = hy(w, y);
  if (w.run_strokes == 0) {
    w.run_pen = p;
    w.run_line_type = t;
    w.out << "<path d=\"";
    w.command = 0;
    put_command(w, 'M');
    put_pair(w, px, py);
  } else if (px != w.cx || py != w.cy || export_dash_pairs(export_line_type_def(lt)) > 0) {
    put_command(w, 'm');
    put_pair(w, px - w.cx, py - w.cy);
  }
  // A solid stroke that starts where the one before ended goes on from
  // there: its round join covers what the two round caps covered.
  ++w.run_strokes;
  w.cx = px;
  w.cy = py;
}

// A relative point of the stroke: the command letter, the control points
// and the end point, which becomes the current point.
void stroke_to(SvgWriter& w, char command, double x, double y) {
  const long long px = hx(w, x), py = hy(w, y);
  put_command(w, command);
  put_pair(w, px - w.cx, py - w.cy);
  w.cx = px;
  w.cy = py;
}

void svg_out_line(uint8_t pen, uint8_t lt, double x1, double y1, double x2, double y2) {
  if (pen == PEN_GUIDE) return;
  SvgWriter& w = writer();
  if (!w.page.window.segment_visible(x1, y1, x2, y2)) return;
  // A line of no length would show nothing; 0.01 point lets the round caps show a dot.
  if (x1 == x2 && y1 == y2) x2 += 0.01 * SVG_PX_PER_PT / w.k;
  begin_stroke(w, pen, lt, x1, y1);
  stroke_to(w, 'l', x2, y2);
}

void svg_out_bezier(uint8_t pen, uint8_t lt, double x0, double y0, double x1, double y1, double x2, double y2,
                    double x3, double y3) {
  if (pen == PEN_GUIDE) return;
  SvgWriter& w = writer();
  if (!w.page.window.bezier_visible(x0, y0, x1, y1, x2, y2, x3, y3)) return;
  begin_stroke(w, pen, lt, x0, y0);
  // The control points are relative to the curve's start.
  const long long sx = w.cx, sy = w.cy;
  put_command(w, 'c');
  put_pair(w, hx(w, x1) - sx, hy(w, y1) - sy);
  put_pair(w, hx(w, x2) - sx, hy(w, y2) - sy);
  w.cx = hx(w, x3);
  w.cy = hy(w, y3);
  put_pair(w, w.cx - sx, w.cy - sy);
}

void svg_out_arc(uint8_t pen, uint8_t lt, double cx, double cy, double rx, double ry, double sweep,
                 double start, double rotation) {
  if (pen == PEN_GUIDE) return;
  SvgWriter& w = writer();
  if (!w.page.window.arc_visible(cx, cy, rx, ry)) return;
  const double cr = std::cos(rotation), sr = std::sin(rotation);
  auto point_x = [&](double t) { return cx + rx * std::cos(t) * cr - ry * std::sin(t) * sr; };
  auto point_y = [&](double t) { return cy + rx * std::cos(t) * sr + ry * std::sin(t) * cr; };
  const double tilt = -rotation * 180.0 / GEOM_PI;
  // A whole turn, circle or ellipse, is a closed subpath of two halves in
  // the run; any other arc one of one piece, or of two when it comes so
  // near a whole turn that its ends would meet on one point, which
  // renderers skip. y runs down the page, so the drawing's
  // counter-clockwise is the sweep flag 0, a negative sweep's clockwise 1.
  const bool whole = geom_eq(std::fabs(sweep), GEOM_TWO_PI);
  const int pieces = whole || std::fabs(sweep) * 180.0 / GEOM_PI > 359.9 ? 2 : 1;
  const double piece = sweep / pieces;
  const long long large = std::fabs(piece) * 180.0 / GEOM_PI >= 180.0 ? 100 : 0;
  const long long clockwise = sweep < 0.0 ? 100 : 0;
  begin_stroke(w, pen, lt, point_x(start), point_y(start));
  const long long sx = w.cx, sy = w.cy;
  for (int i = 1; i <= pieces; ++i) {
    put_command(w, 'a');
    put_pair(w, hundredths(export_coordinate(rx * w.k)), hundredths(export_coordinate(ry * w.k)));
    put_number(w, hundredths(tilt));
    put_pair(w, large, clockwise);
    const double t = whole && i == pieces ? start : start + i * piece;
    const long long px = hx(w, point_x(t)), py = hy(w, point_y(t));
    put_pair(w, px - w.cx, py - w.cy);
    w.cx = px;
    w.cy = py;
  }
  if (whole) {
    // Closed where it began, with a join rather than two caps.
    put_command(w, 'z');
    w.cx = sx;
    w.cy = sy;
  }
}

void svg_out_fill(double r, double g, double b, int32_t n, const Point2* points) {
  SvgWriter& w = writer();
  if (n < 1 || !w.page.window.fill_visible(n, points)) return;
  HundredthsBox box;
  bool first = true;
  for (int32_t i = 0; i < n; ++i) {
    if (geom_is_end_marker(points[i].x, points[i].y)) continue;
    const long long px = hx(w, points[i].x), py = hy(w, points[i].y);
    const HundredthsBox p{px, py, px, py};
    if (first)
      box = p;
    else
      box.add(p);
    first = false;
  }
  const uint32_t colour = colour_of(r, g, b);
  // A filling joins the run of the fillings before it when it has their
  // colour and lies clear of all of them: filled by the even-odd rule, one
  // that overlapped another would cut a hole into it.
  if (w.run_fills > 0 && (colour != w.fill_colour || w.fill_box.overlaps(box) || w.run_fills >= RUN_STROKES))
    end_fills(w);
  if (w.run_fills == 0) {
    end_run(w);
    w.out << "<path d=\"";
    w.fill_colour = colour;
    w.fill_box = box;
  } else {
    w.fill_box.add(box);
  }
  ++w.run_fills;
  first = true;
  for (int32_t i = 0; i < n; ++i) {
    if (geom_is_end_marker(points[i].x, points[i].y)) {
      w.out << "z ";
      first = true;
      continue;
    }
    w.out << (first ? 'M' : 'L');
    put_xy(w, points[i].x, points[i].y) << ' ';
    first = false;
  }
}

}  // namespace

ExtentsPage svg_job() { return export_extents_page(export_pt_per_metre(drawing_scale) * SVG_PX_PER_PT); }

bool svg_write(std::FILE* f, const ExtentsPage& page) {
  ExportCoordinates limits(EXPORT_SVG_LIMIT, "SVG");
  FileOut out(f);
  out << "<?xml version=\"1.0\" standalone=\"no\"?>\n"
         "<!DOCTYPE svg PUBLIC \"-//W3C//DTD SVG 20010904//EN\" \n"
         "\"http://www.w3.org/TR/2001/REC-SVG-20010904/DTD/svg10.dtd\">\n"
         "<svg width=\"";
  // The size on paper in millimetres over a view box in pixels of 1/90
  // inch: every reader then shows the drawing at its scale, whatever
  // pixels it counts to the inch.
  const double mm_per_px = 25.4 / 72.0 / SVG_PX_PER_PT;
  out.shortest(page.width * mm_per_px, 3) << "mm\" height=\"";
  out.shortest(page.height * mm_per_px, 3) << "mm\" viewBox=\"0 0 ";
  out.shortest(page.width, 2) << ' ';
  out.shortest(page.height, 2) << "\"\n"
                                  "xmlns=\"http://www.w3.org/2000/svg\">\n"
                                  "<desc>SVG file written by KAVRO</desc>\n"
                                  "<style type=\"text/css\">\n";
  for (int pen = 0; pen < PEN_COUNT; ++pen)
    for (int lt = 0; lt < LINE_TYPE_COUNT; ++lt) put_stroke_rule(out, pen, lt);
  out << "</style>\n";
  {
    SvgWriter w{.page = page, .out = out, .k = export_pt_per_metre(drawing_scale) * SVG_PX_PER_PT};
    OutdevInstall guard(w);
    outdev.line = svg_out_line;
    outdev.bezier = svg_out_bezier;
    outdev.arc = svg_out_arc;
    outdev.fill = svg_out_fill;
    outdev.active = 1;
    draw_scope(DRAW_PLAIN, DrawScope::MARKED);
    end_run(w);
  }
  out << "</svg>\n";
  out.flush();
  return limits.ok() && out.ok() && std::fflush(f) == 0 && !std::ferror(f);
}

void svg_export() {
  if (!export_settings_ok({drawing_scale})) return;
  if (!msgbox_ask_export_scope("SVG")) return;
  ExportMarks marks;
  const ExtentsPage page = svg_job();
  const std::string path = export_choose_file(nls_translate("Export SVG..."), ".svg");
  if (path.empty()) return;
  export_write_file(path, [&page](std::FILE* f) { return svg_write(f, page); });
}
