#include "exchange/ps_writer.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "display/draw.h"
#include "display/export_scope.h"
#include "display/outdev.h"
#include "display/outdev_breakdown.h"
#include "display/text_layout.h"
#include "display/view.h"
#include "exchange/out_text.h"
#include "model/geom.h"
#include "model/nls.h"
#include "model/ui.h"

namespace {

// Strokes of one pen and line type that follow each other are stroked
// together: one path, each stroke a subpath of its own (with its own caps
// and its dash pattern restarted), up to this many strokes a path, which
// keeps a path within what small printers hold.
constexpr int RUN_STROKES = 500;

// The writer's state, reached by its slots through the output device.
struct PsWriter {
  const PsJob& job;
  OutText& out;
  int last_pen = -1;  // pen and line type selected last, -1 none
  int last_line_type = -1;
  int path_strokes = 0;      // strokes of the open path, not yet stroked
  long long cx = 0, cy = 0;  // its current point, hundredths of a point
};

PsWriter& writer() { return *outdev_writer<PsWriter>(); }

// A drawing point in points on the page.
Point2 to_pt(const PsJob& j, double x, double y) {
  if (j.landscape) {
    const double dx = x - j.frame_x, dy = y - j.frame_y;
    x = j.frame_x - dy;
    y = j.frame_y + dx;
  }
  return Point2{(x - j.origin_x) * j.pt_per_metre, (y - j.origin_y) * j.pt_per_metre, 0};
}

// Points to a hundredth, in their shortest form.
OutText& put_pt(OutText& out, const Point2& p) {
  out.shortest(p.x, 2) << ' ';
  return out.shortest(p.y, 2);
}

// Strokes the open path, if there is one.
void end_path(PsWriter& w) {
  if (w.path_strokes == 0) return;
  w.out << "s\n";
  w.path_strokes = 0;
}

void select_pen(PsWriter& w, uint8_t pen) {
  const int p = export_pen(pen);
  if (p == w.last_pen) return;
  end_path(w);
  w.last_pen = p;
  w.out << "sp";
  w.out.integer(p + 1) << '\n';
}

void select_line_type(PsWriter& w, uint8_t lt) {
  const int t = export_line_type(lt);
  if (t == w.last_line_type) return;
  end_path(w);
  w.last_line_type = t;
  w.out << "lt";
  w.out.integer(t + 1) << '\n';
}

long long hundredths(double v) { return std::llround(std::clamp(v * 100.0, -9e15, 9e15)); }

// Selects the pen and line type of a stroke that starts at p, counts it
// into the open path and moves there. A solid stroke that starts where the
// one before ended goes on from there: its round join covers what the two
// round caps covered.
void begin_stroke(PsWriter& w, uint8_t pen, uint8_t lt, const Point2& p) {
  select_pen(w, pen);
  select_line_type(w, lt);
  if (w.path_strokes >= RUN_STROKES) end_path(w);
  const long long x = hundredths(p.x), y = hundredths(p.y);
  if (w.path_strokes == 0) {
    w.out.hundredths(x) << ' ';
    w.out.hundredths(y) << " m ";
  } else if (x != w.cx || y != w.cy || export_line_type_def(lt).pairs > 0) {
    // Within a path, moves and lines go from the current point: shorter
    // numbers.
    w.out.hundredths(x - w.cx) << ' ';
    w.out.hundredths(y - w.cy) << " v ";
  }
  ++w.path_strokes;
  w.cx = x;
  w.cy = y;
}

// The end of a stroke, which becomes the current point.
OutText& put_end(PsWriter& w, const Point2& p) {
  w.cx = hundredths(p.x);
  w.cy = hundredths(p.y);
  w.out.hundredths(w.cx) << ' ';
  return w.out.hundredths(w.cy);
}

void ps_out_line(uint8_t pen, uint8_t lt, double x1, double y1, double x2, double y2) {
  if (pen == PEN_GUIDE) return;
  PsWriter& w = writer();
  const PsJob& j = w.job;
  if (!j.page.segment_visible(x1, y1, x2, y2)) return;
  // A line of no length would print nothing; 0.01 point lets the round caps show a dot.
  if (j.kind == PsKind::EPS && x1 == x2 && y1 == y2) x2 += 0.01 / j.pt_per_metre;
  begin_stroke(w, pen, lt, to_pt(j, x1, y1));
  const Point2 end = to_pt(j, x2, y2);
  const long long ex = hundredths(end.x), ey = hundredths(end.y);
  w.out.hundredths(ex - w.cx) << ' ';
  w.out.hundredths(ey - w.cy) << " r\n";
  w.cx = ex;
  w.cy = ey;
}

void ps_out_bezier(uint8_t pen, uint8_t lt, double x0, double y0, double x1, double y1, double x2, double y2,
                   double x3, double y3) {
  if (pen == PEN_GUIDE) return;
  PsWriter& w = writer();
  const PsJob& j = w.job;
  if (!j.page.bezier_visible(x0, y0, x1, y1, x2, y2, x3, y3)) return;
  begin_stroke(w, pen, lt, to_pt(j, x0, y0));
  put_pt(w.out, to_pt(j, x1, y1)) << ' ';
  put_pt(w.out, to_pt(j, x2, y2)) << ' ';
  put_end(w, to_pt(j, x3, y3)) << " c\n";
}

void ps_out_arc(uint8_t pen, uint8_t lt, double cx, double cy, double rx, double ry, double sweep,
                double start, double rotation) {
  if (pen == PEN_GUIDE) return;
  PsWriter& w = writer();
  const PsJob& j = w.job;
  if (!j.page.arc_visible(cx, cy, rx, ry)) return;
  if (!geom_eq(rx, ry)) {
    // PostScript has no ellipse arc: chords through the line slot.
    outdev_screen_arc(pen, lt, cx, cy, rx, ry, sweep, start, rotation);
    return;
  }
  double a = start + rotation;
  if (j.landscape) a += GEOM_PI / 2.0;
  double a1 = a * 180.0 / GEOM_PI;
  double a2 = (a + sweep) * 180.0 / GEOM_PI;
  if (!std::isfinite(a1) || !std::isfinite(a2)) return;
  // Both angles move by whole turns until the start lies in 0..360.
  if (a1 < 0.0) {
    const double turns = std::ceil(-a1 / 360.0) * 360.0;
    a1 += turns;
    a2 += turns;
  }
  if (a1 > 360.0) {
    const double turns = std::ceil((a1 - 360.0) / 360.0) * 360.0;
    a1 -= turns;
    a2 -= turns;
  }
  // An arc joins its start to the current point: it is stroked alone.
  select_pen(w, pen);
  select_line_type(w, lt);
  end_path(w);
  put_pt(w.out, to_pt(j, cx, cy)) << ' ';
  w.out.shortest(rx * j.pt_per_metre, 2) << ' ';
  w.out.shortest(a1, 2) << ' ';
  w.out.shortest(a2, 2) << " a s\n";
}

void ps_out_fill(double r, double g, double b, int32_t n, const Point2* points) {
  PsWriter& w = writer();
  const PsJob& j = w.job;
  if (n < 1 || !j.page.fill_visible(n, points)) return;
  if (j.grey_fills) r = g = b = (r + g + b) / 3.0;
  end_path(w);
  // The filling's colour replaces the pen's.
  w.last_pen = -1;
  w.out.shortest(r, 2) << ' ';
  w.out.shortest(g, 2) << ' ';
  w.out.shortest(b, 2) << " rgb\n";
  bool first = true;
  for (int32_t i = 0; i < n; ++i) {
    if (geom_is_end_marker(points[i].x, points[i].y)) {
      w.out << "e\n";
      first = true;
      continue;
    }
    put_pt(w.out, to_pt(j, points[i].x, points[i].y)) << (first ? " m\n" : " l\n");
    first = false;
  }
  w.out << "f\n";
}

// The font of EPS texts: Helvetica with the Latin-1 letters in place.
constexpr std::string_view TEXT_FONT = "/Helvetica-ISOLatin1";

void eps_out_text(const OutdevText& t) {
  if (t.pen == PEN_GUIDE) return;
  PsWriter& w = writer();
  const PsJob& j = w.job;
  if (!j.page.point_visible(t.x, t.y)) return;
  const char* text = t.text ? t.text : "";
  const double c = std::cos(t.angle), s = std::sin(t.angle);
  double x = t.x, y = t.y;
  if (t.alignment == TEXT_RIGHT || t.alignment == TEXT_CENTRED) {
    double width =
        font_text_width(t.height, t.width_factor, t.spacing, t.font ? t.font : "", text, t.alignment, 0.0);
    if (t.alignment == TEXT_CENTRED) width /= 2.0;
    x -= c * width;
    y -= s * width;
  }
  // The text shows in its own pen's colour, not in the one left by the
  // element before it.
  select_pen(w, t.pen);
  end_path(w);
  w.out << TEXT_FONT << " findfont\n";
  w.out.f2(export_mm_to_pt(t.height)) << " scalefont\nsetfont\n";
  const double pitch = t.height * t.line_spacing * drawing_scale / 1000.0;
  for (std::string_view line : text_split_lines(text)) {
    w.out << "gsave\n";
    put_pt(w.out, to_pt(j, x, y)) << " translate\n";
    w.out.f2(t.angle * 180.0 / GEOM_PI) << " rotate\n0 0 moveto\n(";
    export_string_literal(w.out, line);
    w.out << ") show\ngrestore\n";
    x += s * pitch;
    y -= c * pitch;
  }
}

// A size in points rounded up to a whole point; what lies a millionth of a
// point over a whole one is rounding noise of the conversion, not ink.
int box_up(double pt) {
  const double up = std::ceil(pt - 1e-6);
  return up <= 0.0 ? 0 : up >= 2e9 ? 2000000000 : static_cast<int>(up);
}

// A text of one line for a DSC comment.
std::string comment_text(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (static_cast<unsigned char>(c) < 32) c = '?';
  return out;
}

void write_header(OutText& out, const PsJob& j) {
  const bool eps = j.kind == PsKind::EPS;
  out << (eps ? "%!PS-Adobe-3.0 EPSF-2.0\n" : "%!PS-Adobe-3.0\n");
  out << "%%Creator: KAVRO\n";
  out << "%%Title: " << (eps ? comment_text(j.title) : std::string("print.ps")) << '\n';
  out << "%%Orientation: Portrait\n%%Pages: 1\n%%BoundingBox: 0 0 ";
  if (eps) {
    // The box of an EPS file is where a program that places it clips it:
    // rounded outward, so nothing of the drawing is cut off.
    out.integer(box_up(j.box_w)) << ' ';
    out.integer(box_up(j.box_h)) << '\n';
  } else {
    out.integer(out_trunc(j.box_w)) << ' ';
    out.integer(out_trunc(j.box_h)) << '\n';
  }
  out << "%%DocumentFonts:\n%%EndComments\n\n"
         "%%BeginProlog\n%%BeginResource: procset KAVRO-Prolog 1.0 0\n"
         "/bdef {bind def} bind def\n/ldef {load def} bdef\n"
         "/m /moveto  ldef\n/l /lineto  ldef\n/v /rmoveto ldef\n/r /rlineto ldef\n/c /curveto ldef\n/a /arc  "
         "   ldef\n/s /stroke  ldef\n"
         "/f {eofill} bdef\n/e {closepath} bdef\n/rgb {setrgbcolor} bdef\n";
  for (int i = 0; i < LINE_TYPE_COUNT; ++i) {
    const LineTypeDef& t = line_types[i];
    out << "/lt";
    out.integer(i + 1) << " {[";
    for (int k = 0; k < t.pairs && k < 3; ++k) {
      out.f2(export_mm_to_pt(t.dash[k] * j.paper_factor)) << ' ';
      out.f2(export_mm_to_pt(t.gap[k] * j.paper_factor)) << ' ';
    }
    out << "] 0 setdash} bdef\n";
  }
  for (int i = 0; i < PEN_COUNT; ++i) {
    const PenDef& p = pens[i];
    out << "/sp";
    out.integer(i + 1) << " {";
    out.f2(export_mm_to_pt(p.width * j.paper_factor)) << " setlinewidth ";
    if (j.colour_pens) {
      out.f2(p.r) << ' ';
      out.f2(p.g) << ' ';
      out.f2(p.b) << " rgb} bdef\n";
    } else {
      out << "0.0 0.0 0.0 rgb} bdef\n";
    }
  }
  if (eps && j.text_mode) {
    // Helvetica in its standard encoding lacks the Latin-1 letters the
    // texts hold: a copy of it with the Latin-1 encoding.
    out << "/Helvetica findfont dup length dict begin\n"
           "{1 index /FID ne {def} {pop pop} ifelse} forall\n"
           "/Encoding ISOLatin1Encoding def\ncurrentdict end\n"
        << TEXT_FONT << " exch definefont pop\n";
  }
  out << "%%EndResource\n%%EndProlog\n\n%%BeginSetup\n%%EndSetup\n\n%%Page: 1 1\n\n%%BeginPageSetup\n";
  if (!eps) {
    out << "<< /PageSize [";
    out.integer(out_trunc(j.box_w)) << ' ';
    out.integer(out_trunc(j.box_h)) << "] >> setpagedevice\n";
  }
  out << "%%EndPageSetup\n\ngsave\n\n0 setgray\n1 setlinecap\n1 setlinejoin\n\nnewpath\n\n";
}

// The print frame at (px, py): the sheet and its printable area.
void draw_print_frame(double px, double py) {
  const PrintSettings& p = print_settings;
  const double k = p.scale / 100.0;
  const double w = p.paper_width, h = p.paper_height;
  if (p.orientation == 1) {
    draw_xor_rect(px, py, px + k * h, py + k * w);
    const double x = px + k * p.margin_bottom, y = py + k * p.margin_right;
    draw_xor_rect(x, y, x + k * (h - p.margin_top - p.margin_bottom),
                  y + k * (w - p.margin_left - p.margin_right));
  } else {
    draw_xor_rect(px, py, px + k * w, py + k * h);
    const double x = px + k * p.margin_left, y = py + k * p.margin_bottom;
    draw_xor_rect(x, y, x + k * (w - p.margin_left - p.margin_right),
                  y + k * (h - p.margin_top - p.margin_bottom));
  }
}

}  // namespace

PsJob ps_print_job(double fx, double fy) {
  const PrintSettings& p = print_settings;
  const double k = p.scale / 100.0;
  PsJob j;
  j.kind = PsKind::PRINT;
  j.title = "print.ps";
  j.landscape = p.orientation == 1;
  j.frame_x = fx;
  j.frame_y = fy;
  if (j.landscape) {
    j.page = ExportPage{fx, fy, k * p.paper_height, k * p.paper_width};
    j.origin_x = fx - k * p.paper_width;
  } else {
    j.page = ExportPage{fx, fy, k * p.paper_width, k * p.paper_height};
    j.origin_x = fx;
  }
  j.origin_y = fy;
  j.box_w = export_cm_to_pt(p.paper_width);
  j.box_h = export_cm_to_pt(p.paper_height);
  j.pt_per_metre = export_pt_per_metre(p.scale);
  j.paper_factor = drawing_scale / p.scale;
  j.colour_pens = p.colour == 1 && view_options.all_black == 0;
  j.grey_fills = p.colour != 1;
  return j;
}

PsJob eps_job(const std::string& title, bool text_mode) {
  const double per_metre = export_pt_per_metre(drawing_scale);
  const ExtentsPage e = export_extents_page(per_metre);
  PsJob j;
  j.kind = PsKind::EPS;
  j.title = title;
  j.text_mode = text_mode;
  j.page = e.window;
  j.origin_x = e.xmin;
  j.origin_y = e.ymin;
  j.box_w = e.width;
  j.box_h = e.height;
  j.pt_per_metre = per_metre;
  j.colour_pens = view_options.all_black == 0;
  return j;
}

bool ps_write(std::FILE* f, const PsJob& job) {
  FileOut out(f);
  write_header(out, job);
  {
    PsWriter w{job, out};
    OutdevInstall guard(w);
    outdev.line = ps_out_line;
    outdev.bezier = ps_out_bezier;
    outdev.arc = ps_out_arc;
    outdev.fill = ps_out_fill;
    if (job.kind == PsKind::EPS && job.text_mode) outdev.text = eps_out_text;
    outdev.active = 1;
    draw_scope(DRAW_PLAIN, job.kind == PsKind::PRINT ? DrawScope::ALL : DrawScope::MARKED);
    end_path(w);
  }
  if (job.kind == PsKind::PRINT)
    out << "\nshowpage\n\ngrestore\n\n%%Trailer\n%%EOF\n";
  else
    out << "\ngrestore\n\n%%Trailer\n%%EOF\n";
  out.flush();
  return out.ok() && std::fflush(f) == 0 && !std::ferror(f);
}

void preview_print_frame(InputRequest*, double x, double y) { draw_print_frame(x, y); }

void preview_print_frame_confirm(InputRequest* request, double, double) {
  draw_print_frame(request->x[0], request->y[0]);
}

void ps_print() {
  double fx = 0.0, fy = 0.0;
  if (!export_frame_request(preview_print_frame, preview_print_frame_confirm, &fx, &fy)) return;
  ps_print_at(fx, fy);
}

void ps_print_at(double fx, double fy) {
  const int method = export_ask_output_method(nls_mark("To Printer"));
  std::string path;
  if (method == 1) {
    path = export_spool_path("print.ps");
    if (path.empty()) {
      ui().msgbox_error(nls_translate("Cannot open file"));
      return;
    }
  } else if (method == 2) {
    path = export_choose_file(nls_translate("Print to file..."), ".ps");
    if (path.empty()) return;
  } else {
    return;
  }
  const PsJob job = ps_print_job(fx, fy);
  if (!export_write_file(path, [&job](std::FILE* f) { return ps_write(f, job); })) return;
  if (method == 1)
    export_spool(print_settings.command.c_str(), path, nls_mark("Cannot start the print command"));
}

void eps_export() {
  if (!msgbox_ask_export_scope("EPS")) return;
  ExportMarks marks;
  const int mode = export_ask_text_mode();
  if (mode == 0) return;
  PsJob job = eps_job("", mode == 2);
  const std::string path = export_choose_file(nls_translate("Export EPS..."), ".eps");
  if (path.empty()) return;
  job.title = path;
  export_write_file(path, [&job](std::FILE* f) { return ps_write(f, job); });
}
