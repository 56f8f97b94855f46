#include "exchange/svg_writer.h"

#include <cmath>
#include <string>

#include "display/draw.h"
#include "display/export_scope.h"
#include "display/outdev.h"
#include "exchange/out_text.h"
#include "model/geom.h"
#include "model/nls.h"

namespace {

struct SvgWriter {
  const ExtentsPage& page;
  OutText& out;
  double k;  // pixels per metre
};

SvgWriter& writer() { return *outdev_writer<SvgWriter>(); }

double mm_to_px(double mm) { return export_mm_to_pt(mm) * SVG_PX_PER_PT; }

// A drawing point's pixels from the top left corner.
OutText& put_x(SvgWriter& w, double x) { return w.out.f2((x - w.page.xmin) * w.k); }
OutText& put_y(SvgWriter& w, double y) { return w.out.f2((w.page.ymax - y) * w.k); }
// A point as "X,Y".
OutText& put_xy(SvgWriter& w, double x, double y) {
  put_x(w, x) << ',';
  return put_y(w, y);
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

// The stroke of a pen and the dashes of a line type, then the closing.
void put_style_and_close(SvgWriter& w, uint8_t pen, uint8_t lt) {
  const PenDef& p = export_pen_def(pen);
  w.out << "stroke:";
  if (view_options.all_black == 1)
    put_colour(w.out, 0, 0, 0);
  else
    put_colour(w.out, p.r, p.g, p.b);
  w.out << ";stroke-width:";
  w.out.f2(mm_to_px(p.width)) << ";stroke-linecap:round;stroke-linejoin:round;";
  const LineTypeDef& t = export_line_type_def(lt);
  if (t.pairs > 0) {
    w.out << "stroke-dasharray:";
    for (int i = 0; i < t.pairs && i < 3; ++i) {
      w.out.f2(mm_to_px(t.dash[i])) << ' ';
      w.out.f2(mm_to_px(t.gap[i])) << ' ';
    }
    w.out << ';';
  }
  w.out << "\"/>\n";
}

void svg_out_line(uint8_t pen, uint8_t lt, double x1, double y1, double x2, double y2) {
  if (pen == PEN_GUIDE) return;
  SvgWriter& w = writer();
  if (!w.page.window.segment_visible(x1, y1, x2, y2)) return;
  // A line of no length would show nothing; 0.01 point lets the round caps show a dot.
  if (x1 == x2 && y1 == y2) x2 += 0.01 * SVG_PX_PER_PT / w.k;
  w.out << "<line x1=\"";
  put_x(w, x1) << "\" y1=\"";
  put_y(w, y1) << "\" x2=\"";
  put_x(w, x2) << "\" y2=\"";
  put_y(w, y2) << "\" style=\"";
  put_style_and_close(w, pen, lt);
}

void svg_out_bezier(uint8_t pen, uint8_t lt, double x0, double y0, double x1, double y1, double x2, double y2,
                    double x3, double y3) {
  if (pen == PEN_GUIDE) return;
  SvgWriter& w = writer();
  if (!w.page.window.bezier_visible(x0, y0, x1, y1, x2, y2, x3, y3)) return;
  w.out << "<path d=\"M";
  put_xy(w, x0, y0) << " C";
  put_xy(w, x1, y1) << ' ';
  put_xy(w, x2, y2) << ' ';
  put_xy(w, x3, y3) << "\" style=\"fill:none;";
  put_style_and_close(w, pen, lt);
}

void svg_out_arc(uint8_t pen, uint8_t lt, double cx, double cy, double rx, double ry, double sweep,
                 double start, double rotation) {
  if (pen == PEN_GUIDE) return;
  SvgWriter& w = writer();
  if (!w.page.window.arc_visible(cx, cy, rx, ry)) return;
  const double cr = std::cos(rotation), sr = std::sin(rotation);
  auto point = [&](double t) {
    const double c = std::cos(t), s = std::sin(t);
    put_xy(w, cx + rx * c * cr - ry * s * sr, cy + rx * c * sr + ry * s * cr);
  };
  const double tilt = -rotation * 180.0 / GEOM_PI;
  if (geom_eq(sweep, GEOM_TWO_PI)) {
    if (geom_eq(rx, ry)) {
      w.out << "<circle cx=\"";
      put_x(w, cx) << "\" cy=\"";
      put_y(w, cy) << "\" r=\"";
      w.out.f2(rx * w.k);
    } else {
      if (geom_eq(rotation, 0.0)) {
        w.out << "<ellipse cx=\"";
        put_x(w, cx) << "\" cy=\"";
        put_y(w, cy) << "\" rx=\"";
      } else {
        w.out << "<ellipse transform=\"translate(";
        put_xy(w, cx, cy) << ") rotate(";
        w.out.f2(tilt) << ")\" rx=\"";
      }
      w.out.f2(rx * w.k) << "\" ry=\"";
      w.out.f2(ry * w.k);
    }
    w.out << "\" style=\"fill:none;";
    put_style_and_close(w, pen, lt);
    return;
  }
  // An arc of (almost) a whole turn would have its ends on one point, which
  // renderers skip: two halves then.
  const int pieces = sweep * 180.0 / GEOM_PI > 359.9 ? 2 : 1;
  const double piece = sweep / pieces;
  w.out << "<path d=\"M";
  point(start);
  for (int i = 1; i <= pieces; ++i) {
    w.out << " A";
    w.out.f2(rx * w.k) << ',';
    w.out.f2(ry * w.k) << ' ';
    w.out.f2(tilt) << ' ';
    w.out << (piece * 180.0 / GEOM_PI >= 180.0 ? '1' : '0') << ",0 ";
    point(start + i * piece);
  }
  w.out << "\" style=\"fill:none;";
  put_style_and_close(w, pen, lt);
}

void svg_out_fill(double r, double g, double b, int32_t n, const Point2* points) {
  SvgWriter& w = writer();
  if (n < 1 || !w.page.window.fill_visible(n, points)) return;
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
  FileOut out(f);
  out << "<?xml version=\"1.0\" standalone=\"no\"?>\n"
         "<!DOCTYPE svg PUBLIC \"-//W3C//DTD SVG 20010904//EN\" \n"
         "\"http://www.w3.org/TR/2001/REC-SVG-20010904/DTD/svg10.dtd\">\n"
         "<svg width=\"";
  out.f2(page.width) << "\" height=\"";
  out.f2(page.height) << "\"\n"
                         "xmlns=\"http://www.w3.org/2000/svg\">\n"
                         "<desc>SVG file written by KAVRO</desc>\n";
  {
    SvgWriter w{page, out, export_pt_per_metre(drawing_scale) * SVG_PX_PER_PT};
    OutdevInstall guard(w);
    outdev.line = svg_out_line;
    outdev.bezier = svg_out_bezier;
    outdev.arc = svg_out_arc;
    outdev.fill = svg_out_fill;
    outdev.active = 1;
    draw_scope(DRAW_PLAIN, DrawScope::MARKED);
  }
  out << "</svg>\n";
  out.flush();
  return out.ok() && std::fflush(f) == 0 && !std::ferror(f);
}

void svg_export() {
  if (!msgbox_ask_export_scope("SVG")) return;
  ExportMarks marks;
  const ExtentsPage page = svg_job();
  const std::string path = export_choose_file(nls_translate("Export SVG..."), ".svg");
  if (path.empty()) return;
  export_write_file(path, [&page](std::FILE* f) { return svg_write(f, page); });
}
