#include "exchange/hpgl_writer.h"

#include <array>
#include <cmath>
#include <string_view>

#include "display/draw.h"
#include "display/export_scope.h"
#include "display/outdev.h"
#include "display/outdev_breakdown.h"
#include "display/view.h"
#include "exchange/export_check.h"
#include "exchange/out_text.h"
#include "model/geom.h"
#include "model/layers.h"
#include "model/nls.h"
#include "model/ui.h"

namespace {

constexpr char ESC = '\x1b';
constexpr int PALETTE_SIZE = 256;

struct PaletteEntry {
  double width = 0.0;  // paper mm at the reference scale
  double r = 0.0, g = 0.0, b = 0.0;
};

struct HpglWriter {
  const HpglJob& job;
  OutText& out;
  std::array<PaletteEntry, PALETTE_SIZE> palette{};
  int last_line_type = -1;
  bool at_last = false;  // the pen stands where the last line left it
  HpglPoint last{};
};

HpglWriter& writer() { return *outdev_writer<HpglWriter>(); }

// Whether a stroke belongs to the running pen pass: a pen outside the table
// is plotted with pen 0, the guide pen never.
bool in_pass(uint8_t pen) {
  return pen != PEN_GUIDE && outdev_pen_in_pass(static_cast<uint8_t>(export_pen(pen)));
}

bool hpgl2(const HpglJob& j) { return j.type == 1 || j.type == 2; }

OutText& put_point(OutText& out, HpglPoint p, char between = ',') {
  out.integer(p.x) << between;
  return out.integer(p.y);
}

// The palette: pens 1 to 8, then every distinct colour of a filled pattern
// that is drawn (on a shown or the current layer), marked or not.
void build_palette(HpglWriter& w) {
  const bool black = w.job.type == 1 || view_options.all_black == 1;
  for (int i = 0; i < PEN_COUNT; ++i) {
    const PenDef& p = pens[i];
    w.palette[i + 1] = black ? PaletteEntry{p.width, 0, 0, 0} : PaletteEntry{p.width, p.r, p.g, p.b};
  }
  int n = PEN_COUNT + 1;
  for (const ElemHeader* e = elem_list_head; e && n < PALETTE_SIZE; e = e->next) {
    const auto* pattern = elem_as<PatternElem>(e);
    if (!pattern || pattern->type != PATTERN_FILLING) continue;
    if (e->layer != cur_layer && !layer_shown(e->layer)) continue;
    bool known = false;
    for (int j = 0; j < n && !known; ++j)
      known = w.palette[j].r == pattern->r && w.palette[j].g == pattern->g && w.palette[j].b == pattern->b;
    if (!known) w.palette[n++] = PaletteEntry{0.1, pattern->r, pattern->g, pattern->b};
  }
}

// The diagonal of the sheet in centimetres.
double diagonal(const HpglJob& j) { return std::sqrt(j.paper_w * j.paper_w + j.paper_h * j.paper_h); }

void write_header(HpglWriter& w) {
  const HpglJob& j = w.job;
  OutText& out = w.out;
  const double x2 = j.paper_w / j.resolution, y2 = j.paper_h / j.resolution;
  if (hpgl2(j))
    out << ESC << 'E' << ESC << "%0BIN;WU0;NP256;";
  else
    out << "IN;";
  out << "IP";
  if (j.centred) {
    out.fixed(-x2 / 2.0, 0) << ',';
    out.fixed(-y2 / 2.0, 0) << ',';
    out.fixed(x2 / 2.0, 0) << ',';
    out.fixed(y2 / 2.0, 0) << ";\n";
  } else {
    out << "0,0,";
    out.fixed(x2, 0) << ',';
    out.fixed(y2, 0) << ";\n";
  }
  if (!hpgl2(j)) return;
  const double width_factor = drawing_scale / j.scale;
  for (int i = 0; i < PALETTE_SIZE; ++i) {
    const PaletteEntry& e = w.palette[i];
    out << "PC";
    out.integer(i) << ',';
    if (j.type == 2) {
      out.fixed(e.r * 255.0, 0) << ',';
      out.fixed(e.g * 255.0, 0) << ',';
      out.fixed(e.b * 255.0, 0);
    } else {
      const double grey = (e.r + e.g + e.b) / 3.0 * 255.0;
      out.fixed(grey, 0) << ',';
      out.fixed(grey, 0) << ',';
      out.fixed(grey, 0);
    }
    out << ";PW";
    out.fixed(e.width * width_factor, 3) << ',';
    out.integer(i) << ";\n";
  }
  for (int i = 0; i < LINE_TYPE_COUNT; ++i) {
    const LineTypeDef& t = line_types[i];
    out << "UL";
    out.integer(i + 1);
    for (int k = 0; k < export_dash_pairs(t, width_factor); ++k) {
      out << ',';
      out.fixed(t.dash[k], 3) << ',';
      out.fixed(t.gap[k], 3);
    }
    out << ";\n";
  }
}

void select_line_type(HpglWriter& w, uint8_t lt) {
  const int t = export_line_type(lt);
  if (t == w.last_line_type) return;
  w.last_line_type = t;
  if (hpgl2(w.job)) {
    const LineTypeDef& d = line_types[t];
    const double paper_factor = drawing_scale / w.job.scale;
    // The pattern's length in percent of the sheet's diagonal, three
    // decimals: one that comes out as 0 the plotter ignores, keeping the
    // line type before, so the line is drawn solid.
    const double percent =
        export_dash_period(d, paper_factor) * paper_factor / (10.0 * diagonal(w.job)) * 100.0;
    if (export_dash_pairs(d, paper_factor) == 0 || !(percent >= 0.0005)) {
      w.out << "LT;\n";
      return;
    }
    w.out << "LT";
    w.out.integer(t + 1) << ',';
    w.out.fixed(percent, 3) << ";\n";
    return;
  }
  // The plotter's own line types, nearest to the program's.
  static constexpr std::string_view builtin[LINE_TYPE_COUNT] = {"LT;\n",       "LT 2,1.5;\n", "LT 2,2.0;\n",
                                                                "LT 4,2.0;\n", "LT 1,1.0;\n", "LT 6,2.0;\n",
                                                                "LT 6,3.0;\n", "LT 5,3.0;\n"};
  w.out << builtin[t];
}

void hpgl_out_line(uint8_t pen, uint8_t lt, double x1, double y1, double x2, double y2) {
  if (!in_pass(pen)) return;
  HpglWriter& w = writer();
  select_line_type(w, lt);
  const HpglPoint a = hpgl_to_plotter_units(w.job, x1, y1);
  const HpglPoint b = hpgl_to_plotter_units(w.job, x2, y2);
  auto same = [](HpglPoint p, HpglPoint q) { return p.x == q.x && p.y == q.y; };
  // A piece shorter than a plotter unit where the pen stands adds nothing;
  // elsewhere it is a dot, and is plotted as one.
  if (w.at_last && same(w.last, a) && same(a, b)) return;
  if (w.at_last && same(w.last, a)) {
    w.out << "PD ";
    put_point(w.out, b) << ";\n";
    w.last = b;
  } else if (w.at_last && same(w.last, b)) {
    // Drawn backwards from where the pen stands.
    w.out << "PD ";
    put_point(w.out, a) << ";\n";
    w.last = a;
  } else {
    w.out << "PU; PA ";
    put_point(w.out, a) << "; PD ";
    put_point(w.out, b) << ";\n";
    w.last = b;
  }
  w.at_last = true;
}

void hpgl_out_arc(uint8_t pen, uint8_t lt, double cx, double cy, double rx, double ry, double sweep,
                  double start, double rotation) {
  if (!in_pass(pen)) return;
  if (std::fabs(ry - rx) > 0.001) {
    // No ellipse command: chords through the line slot.
    outdev_screen_arc(pen, lt, cx, cy, rx, ry, sweep, start, rotation);
    return;
  }
  if (!std::isfinite(start + rotation)) return;
  HpglWriter& w = writer();
  select_line_type(w, lt);
  const HpglPoint c = hpgl_to_plotter_units(w.job, cx, cy);
  const int radius = out_trunc(export_coordinate(rx * 100.0 / w.job.resolution / w.job.scale));
  if (std::fabs(sweep - GEOM_TWO_PI) < 0.001) {
    w.out << "PU; PA ";
    put_point(w.out, c) << "; CI ";
    w.out.integer(radius) << ";\n";
  } else {
    double a = std::fmod(start + rotation, GEOM_TWO_PI);
    if (a < 0.0) a += GEOM_TWO_PI;
    const HpglPoint s = hpgl_to_plotter_units(w.job, cx + rx * std::cos(a), cy + rx * std::sin(a));
    w.out << "PU; PA ";
    put_point(w.out, s) << "; PD; AA ";
    put_point(w.out, c, ' ') << ' ';
    w.out.fixed(sweep * 180.0 / GEOM_PI, 4) << ";\n";
  }
  w.at_last = false;
}

// Filled polygons, HPGL/2 only, once in the first pass, with the palette
// pen of their colour.
void hpgl_out_fill(double r, double g, double b, int32_t n, const Point2* points) {
  HpglWriter& w = writer();
  if (!hpgl2(w.job) || outdev.context.pen_pass != 0 || n < 2) return;
  int pen = 0;
  for (int j = 0; j < PALETTE_SIZE; ++j)
    if (w.palette[j].r == r && w.palette[j].g == g && w.palette[j].b == b) {
      pen = j;
      break;
    }
  w.out << "PU;SP";
  w.out.integer(pen) << ";PA";
  put_point(w.out, hpgl_to_plotter_units(w.job, points[0].x, points[0].y)) << ";FT1;\nPM0;\n";
  bool after_end = false;
  bool closed = false;
  for (int32_t i = 1; i < n; ++i) {
    if (geom_is_end_marker(points[i].x, points[i].y)) {
      closed = i == n - 1;
      w.out << (closed ? "PM2;FP;\n" : "PM1;\n");
      after_end = true;
      continue;
    }
    w.out << (after_end ? "PU " : "PD ");
    put_point(w.out, hpgl_to_plotter_units(w.job, points[i].x, points[i].y)) << ";\n";
    after_end = false;
  }
  // A list that does not end with a contour's end would leave the plotter
  // in polygon mode for the rest of the plot.
  if (!closed) w.out << "PM2;FP;\n";
  w.out << "SP";
  w.out.integer(outdev.context.pen_pass + 1) << ";\n";
  w.at_last = false;
}

// The sheet centred at (px, py).
void draw_sheet(double px, double py) {
  const PlotSettings& p = plot_settings;
  const double k = p.scale / 100.0;
  double x1 = px - k * p.paper_width / 2.0, y1 = py - k * p.paper_height / 2.0;
  double x2 = px + k * p.paper_width / 2.0, y2 = py + k * p.paper_height / 2.0;
  if (p.orientation == 1) {
    geom_rotate_point(px, py, x1, y1, GEOM_PI / 2.0);
    x1 = geo_result.rot_x;
    y1 = geo_result.rot_y;
    geom_rotate_point(px, py, x2, y2, GEOM_PI / 2.0);
    x2 = geo_result.rot_x;
    y2 = geo_result.rot_y;
  }
  draw_xor_rect(x1, y1, x2, y2);
}

}  // namespace

HpglJob hpgl_job(double fx, double fy) {
  const PlotSettings& p = plot_settings;
  HpglJob j;
  j.type = p.plotter_type;
  j.centred = p.origin_centred == 1;
  j.landscape = p.orientation == 1;
  j.paper_w = p.paper_width;
  j.paper_h = p.paper_height;
  j.scale = p.scale;
  j.resolution = p.resolution;
  j.frame_x = fx;
  j.frame_y = fy;
  j.start = p.start_sequence.c_str();
  j.end = p.end_sequence.c_str();
  return j;
}

HpglPoint hpgl_to_plotter_units(const HpglJob& j, double x, double y) {
  const double dx = x - j.frame_x, dy = y - j.frame_y;
  double u = j.landscape ? -dy : dx;
  double v = j.landscape ? dx : dy;
  if (!j.centred) {
    const double k = j.scale / 100.0;
    u += k * j.paper_w / 2.0;
    v += k * j.paper_h / 2.0;
  }
  return HpglPoint{out_trunc(export_coordinate(u * 100.0 / j.scale / j.resolution)),
                   out_trunc(export_coordinate(v * 100.0 / j.scale / j.resolution))};
}

bool hpgl_write(std::FILE* f, const HpglJob& job) {
  ExportCoordinates limits(EXPORT_HPGL_LIMIT, "HPGL");
  FileOut out(f);
  {
    HpglWriter w{job, out, {}, -1, false, {}};
    if (hpgl2(job)) build_palette(w);
    write_header(w);
    out << job.start << '\n';
    OutdevInstall guard(w);
    outdev.line = hpgl_out_line;
    outdev.arc = hpgl_out_arc;
    outdev.fill = hpgl_out_fill;
    outdev.active = 1;
    for (int32_t pass = 0; pass < PEN_COUNT; ++pass) {
      outdev.context.pen_pass = pass;
      out << "SP";
      out.integer(pass + 1) << ";\n";
      draw_scope(DRAW_PLAIN, DrawScope::MARKED);
      out << "PU;\n";
    }
  }
  out << job.end << '\n';
  if (hpgl2(job)) out << "SP0;PU0,0;PG;" << ESC << "%0A" << ESC << 'E';
  out.flush();
  return limits.ok() && out.ok() && std::fflush(f) == 0 && !std::ferror(f);
}

int hpgl_ask_scope() {
  const char* labels[] = {nls_translate("All objects"), nls_translate("All visible objects"),
                          nls_translate("Select objects"), nls_translate("Cancel")};
  // The question names the format and stays as it is.
  switch (ui().msgbox_ask("Plot HPGL:", 4, labels)) {
    case 1:
      for (ElemHeader* e = elem_list_head; e; e = e->next) e->mark = 1;
      return 1;
    case 2:
      for (ElemHeader* e = elem_list_head; e; e = e->next)
        if (e->layer == cur_layer || layer_shown(e->layer)) e->mark = 1;
      return 1;
    case 3:
      return export_scope_select(0) == 1 ? 1 : 0;
    default:
      return 0;
  }
}

void preview_hpgl_frame(InputRequest*, double x, double y) { draw_sheet(x, y); }

void preview_hpgl_frame_confirm(InputRequest* request, double, double) {
  draw_sheet(request->x[0], request->y[0]);
}

void hpgl_plot() {
  if (!hpgl_ask_scope()) return;
  ExportMarks marks;
  double fx = 0.0, fy = 0.0;
  if (!export_frame_request(preview_hpgl_frame, preview_hpgl_frame_confirm, &fx, &fy)) return;
  hpgl_plot_at(fx, fy);
}

void hpgl_plot_at(double fx, double fy) {
  const PlotSettings& p = plot_settings;
  if (!export_settings_ok({p.scale, drawing_scale}) || !export_sheet_ok(p.paper_width, p.paper_height) ||
      !export_plot_resolution_ok(p.resolution))
    return;
  const int method = export_ask_output_method(nls_mark("To Plotter"));
  std::string path;
  if (method == 1) {
    path = export_spool_path("plot.hpgl");
    if (path.empty()) {
      ui().msgbox_error(nls_translate("Cannot open file"));
      return;
    }
  } else if (method == 2) {
    path = export_choose_file(nls_translate("Plot to file..."), ".plt");
    if (path.empty()) return;
  } else {
    return;
  }
  const HpglJob job = hpgl_job(fx, fy);
  if (!export_write_file(path, [&job](std::FILE* f) { return hpgl_write(f, job); })) return;
  if (method == 1)
    export_spool(plot_settings.command.c_str(), path, nls_mark("Cannot start the plot command"));
}
