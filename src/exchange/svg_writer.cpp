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
// dash pattern restarted as before), up to this many strokes a path.
constexpr int RUN_STROKES = 1000;

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
};

SvgWriter& writer() { return *outdev_writer<SvgWriter>(); }

double mm_to_px(double mm) { return export_mm_to_pt(mm) * SVG_PX_PER_PT; }

// A drawing point's pixels from the top left corner, in hundredths: every
// coordinate is written to a hundredth of a pixel (a quarter of a
// micrometre on paper at 90 pixels to the inch).
long long hx(const SvgWriter& w, double x) {
  return std::llround(export_coordinate((x - w.page.xmin) * w.k) * 100.0);
}
long long hy(const SvgWriter& w, double y) {
  return std::llround(export_coordinate((w.page.ymax - y) * w.k) * 100.0);
}

OutText& put_x(SvgWriter& w, double x) { return w.out.hundredths(hx(w, x)); }
OutText& put_y(SvgWriter& w, double y) { return w.out.hundredths(hy(w, y)); }
// A point as "X,Y".
OutText& put_xy(SvgWriter& w, double x, double y) {
  put_x(w, x) << ',';
  return put_y(w, y);
}

// Two numbers of a path in hundredths, the second written without a
// separator where its sign already separates them.
void put_pair(OutText& out, long long a, long long b) {
  out.hundredths(a);
  if (b >= 0) out << ' ';
  out.hundredths(b);
}

// Two lower-case hexadecimal digits of a colour part in 0..1.
void put_hex(OutText& out, double part) {
  const int v = part >= 1.0 ? 255 : part > 0.0 ? static_cast<int>(part * 255.0) : 0;
  const char* digits = "0123456789abcdef";
  out << digits[v >> 4] << digits[v & 15];
}

void put_colour(OutText& out, double r, double g, double b) {
  out << '#';
  put_hex(out, r);
  put_hex(out, g);
  put_hex(out, b);
}

// The stroke of a pen and the dashes of a line type: the rule of the
// class every stroked element of that pen and line type names.
void put_stroke_rule(OutText& out, int pen, int lt) {
  const PenDef& p = pens[pen];
  out << ".s";
  out.integer(pen);
  out.integer(lt) << "{fill:none;stroke:";
  if (view_options.all_black == 1)
    put_colour(out, 0, 0, 0);
  else
    put_colour(out, p.r, p.g, p.b);
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

// Ends the open path of a run of strokes, if there is one.
void end_run(SvgWriter& w) {
  if (w.run_strokes == 0) return;
  put_class_and_close(w, static_cast<uint8_t>(w.run_pen), static_cast<uint8_t>(w.run_line_type));
  w.run_strokes = 0;
}

// Starts a stroke at (x, y) in the run of its pen and line type, opening a
// new path when the style changes or the path is full. The first stroke
// of a path moves absolutely, the others from the end of the one before.
void begin_stroke(SvgWriter& w, uint8_t pen, uint8_t lt, double x, double y) {
  const int p = export_pen(pen), t = export_line_type(lt);
  if (w.run_strokes > 0 && (p != w.run_pen || t != w.run_line_type || w.run_strokes >= RUN_STROKES))
    end_run(w);
  const long long px = hx(w, x), py = hy(w, y);
  if (w.run_strokes == 0) {
    w.run_pen = p;
    w.run_line_type = t;
    w.out << "<path d=\"M";
    put_pair(w.out, px, py);
  } else if (px != w.cx || py != w.cy || export_dash_pairs(export_line_type_def(lt)) > 0) {
    w.out << 'm';
    put_pair(w.out, px - w.cx, py - w.cy);
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
  w.out << command;
  put_pair(w.out, px - w.cx, py - w.cy);
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
  w.out << 'c';
  put_pair(w.out, hx(w, x1) - sx, hy(w, y1) - sy);
  w.out << ' ';
  put_pair(w.out, hx(w, x2) - sx, hy(w, y2) - sy);
  w.out << ' ';
  w.cx = hx(w, x3);
  w.cy = hy(w, y3);
  put_pair(w.out, w.cx - sx, w.cy - sy);
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
  if (geom_eq(sweep, GEOM_TWO_PI)) {
    end_run(w);
    if (geom_eq(rx, ry)) {
      w.out << "<circle cx=\"";
      put_x(w, cx) << "\" cy=\"";
      put_y(w, cy) << "\" r=\"";
      w.out.shortest(rx * w.k, 2);
    } else {
      if (geom_eq(rotation, 0.0)) {
        w.out << "<ellipse cx=\"";
        put_x(w, cx) << "\" cy=\"";
        put_y(w, cy) << "\" rx=\"";
      } else {
        w.out << "<ellipse transform=\"translate(";
        put_xy(w, cx, cy) << ") rotate(";
        w.out.shortest(tilt, 2) << ")\" rx=\"";
      }
      w.out.shortest(rx * w.k, 2) << "\" ry=\"";
      w.out.shortest(ry * w.k, 2);
    }
    put_class_and_close(w, pen, lt);
    return;
  }
  // An arc of (almost) a whole turn would have its ends on one point, which
  // renderers skip: two halves then.
  const int pieces = sweep * 180.0 / GEOM_PI > 359.9 ? 2 : 1;
  const double piece = sweep / pieces;
  begin_stroke(w, pen, lt, point_x(start), point_y(start));
  for (int i = 1; i <= pieces; ++i) {
    w.out << 'a';
    w.out.shortest(rx * w.k, 2) << ' ';
    w.out.shortest(ry * w.k, 2) << ' ';
    w.out.shortest(tilt, 2) << ' ';
    w.out << (piece * 180.0 / GEOM_PI >= 180.0 ? '1' : '0') << " 0 ";
    const double t = start + i * piece;
    const long long px = hx(w, point_x(t)), py = hy(w, point_y(t));
    put_pair(w.out, px - w.cx, py - w.cy);
    w.cx = px;
    w.cy = py;
  }
}

void svg_out_fill(double r, double g, double b, int32_t n, const Point2* points) {
  SvgWriter& w = writer();
  if (n < 1 || !w.page.window.fill_visible(n, points)) return;
  end_run(w);
  w.out << "<path d=\"";
  bool first = true;
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
  w.out << "\" style=\"stroke:none;fill:";
  put_colour(w.out, r, g, b);
  w.out << ";fill-rule:evenodd;\"/>\n";
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
    SvgWriter w{page, out, export_pt_per_metre(drawing_scale) * SVG_PX_PER_PT};
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
