#include "exchange/ps_writer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "display/draw.h"
#include "display/export_scope.h"
#include "display/font.h"
#include "display/outdev.h"
#include "display/outdev_breakdown.h"
#include "display/text_draw.h"
#include "display/text_layout.h"
#include "display/text_mode.h"
#include "display/view.h"
#include "exchange/export_check.h"
#include "exchange/glyph_key.h"
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

// A circular arc's start and end angles in degrees, as the arc operator
// takes them, from its start angle and sweep in radians (a quarter turn on
// for a landscape page); both move by whole turns until the start lies in
// 0..360. False when they are no numbers. A negative sweep ends below the
// start and is drawn clockwise, by arc_operator.
bool arc_degrees(double start, double sweep, bool landscape, double* a1, double* a2) {
  double a = start;
  if (landscape) a += GEOM_PI / 2.0;
  *a1 = a * 180.0 / GEOM_PI;
  *a2 = (a + sweep) * 180.0 / GEOM_PI;
  if (!std::isfinite(*a1) || !std::isfinite(*a2)) return false;
  if (*a1 < 0.0) {
    const double turns = std::ceil(-*a1 / 360.0) * 360.0;
    *a1 += turns;
    *a2 += turns;
  }
  if (*a1 > 360.0) {
    const double turns = std::ceil((*a1 - 360.0) / 360.0) * 360.0;
    *a1 -= turns;
    *a2 -= turns;
  }
  return true;
}

// The operator that draws an arc of the sweep from the start angle to the
// end angle: counter-clockwise, or clockwise for a negative sweep.
const char* arc_operator(double sweep) { return sweep < 0.0 ? " arcn" : " a"; }

// Texts of a stroke font are most of a plan's strokes, and the same few
// characters at the same height and angle come back thousands of times.
// Each such glyph is defined once, as a procedure that draws its strokes
// from the current point as subpaths of the open path, and every character
// is a move to its first stroke and the procedure's name.
class GlyphProcs {
 public:
  // No more procedures than this; further glyphs are drawn in place.
  static constexpr std::size_t MAX_PROCS = 20000;

  struct Proc {
    std::string body;                                   // relative moves and lines, hundredths of a point
    long long x0 = 0, y0 = 0;                           // the first stroke's start from the origin
    long long x1 = 0, y1 = 0;                           // the last stroke's end from the origin
    int strokes = 0;                                    // subpaths it adds
    double bx0 = 0.0, by0 = 0.0, bx1 = 0.0, by1 = 0.0;  // its box in world units about the origin
    bool written = false;                               // defined in the file already
  };

  GlyphProcs(double pt_per_metre, bool landscape, bool dots)
      : k_(pt_per_metre), landscape_(landscape), dots_(dots) {}

  // The procedure of a glyph, made at the first call; null when the glyph
  // cannot be one (a fill would need the pen's colour inside) or the
  // procedures are used up. Its index is the procedure's number.
  Proc* get(const FontSlot& font, uint8_t slot, unsigned char code, double h, double wf, double angle,
            double sine, double cosine, bool dashed, int* index) {
    const GlyphKey key{slot, code, dashed, h, wf, angle};
    const auto found = index_.find(key);
    if (found != index_.end()) {
      *index = found->second;
      return found->second < 0 ? nullptr : &procs_[static_cast<std::size_t>(found->second)];
    }
    if (procs_.size() >= MAX_PROCS) return nullptr;
    Recorder r(*this, dashed);
    glyph_interpret(font, code, GlyphPlace{0.0, 0.0, angle, h, wf, sine, cosine, 0.0, 0.0}, true, r);
    int at = -1;
    if (!r.filled) {
      at = static_cast<int>(procs_.size());
      r.proc.body = r.out.text();
      procs_.push_back(std::move(r.proc));
    }
    index_.emplace(key, at);
    *index = at;
    return at < 0 ? nullptr : &procs_[static_cast<std::size_t>(at)];
  }

 private:
  // Writes the strokes of a glyph drawn about (0, 0) as the page draws
  // them: a line from its start, which a stroke of a solid line type that
  // starts where the one before ended goes on from, else after a move;
  // circles and circular arcs as arcs, about a centre taken from the current
  // point; other arcs as the chords the page draws of them.
  class Recorder final : public GlyphSink {
   public:
    explicit Recorder(const GlyphProcs& p, bool dashed) : p_(p), dashed_(dashed) {}
    void stroke(double x1, double y1, double x2, double y2) override {
      // A line of no length would print nothing; 0.01 point lets the round caps show a dot.
      if (p_.dots_ && x1 == x2 && y1 == y2) x2 += 0.01 / p_.k_;
      begin(x1, y1);
      line_to(x2, y2);
    }
    void arc(double cx, double cy, double rx, double ry, double sweep, double start,
             double rotation) override {
      if (!std::isfinite(sweep) || !std::isfinite(start) || !std::isfinite(rotation)) return;
      if (!geom_eq(rx, ry)) {
        // The chords the page draws of an ellipse (a ring of a text wider or
        // narrower than high), as one subpath of its own, so that a dash
        // runs on along it as along a circle.
        const int n = outdev_arc_chord_count(rx, ry, sweep);
        EllipseWalk walk(cx, cy, rx, ry, start, sweep / n, rotation);
        force_move_ = true;
        const Point2 first = walk.point();
        begin(first.x, first.y);
        for (int i = 0; i < n; ++i) {
          walk.next();
          const Point2 p = walk.point();
          line_to(p.x, p.y);
        }
        return;
      }
      double a1, a2;
      if (!arc_degrees(start + rotation, sweep, p_.landscape_, &a1, &a2)) return;
      const double s0 = start + rotation, s1 = start + rotation + sweep;
      const double x0 = cx + rx * std::cos(s0), y0 = cy + rx * std::sin(s0);
      const double x1 = cx + rx * std::cos(s1), y1 = cy + rx * std::sin(s1);
      // An arc joins its start to the current point: it starts a subpath
      // of its own, as when it was stroked alone.
      force_move_ = true;
      begin(x0, y0);
      grow(cx - rx, cy - rx);
      grow(cx + rx, cy + rx);
      long long hx, hy, ex, ey;
      at(cx, cy, &hx, &hy);
      at(x1, y1, &ex, &ey);
      out << "currentpoint exch ";
      out.hundredths(hx - proc.x1) << " add exch ";
      out.hundredths(hy - proc.y1) << " add ";
      out.shortest(export_coordinate(rx * p_.k_), 2) << ' ';
      out.shortest(a1, 2) << ' ';
      out.shortest(a2, 2) << arc_operator(sweep) << '\n';
      proc.x1 = ex;
      proc.y1 = ey;
      force_move_ = true;
    }
    void fill(const Point2*, int) override { filled = true; }

    StringOut out;
    Proc proc;
    bool filled = false;

   private:
    // A line from the current point, which it moves to its end.
    void line_to(double x, double y) {
      long long bx, by;
      at(x, y, &bx, &by);
      grow(x, y);
      out.hundredths(bx - proc.x1) << ' ';
      out.hundredths(by - proc.y1) << " r\n";
      proc.x1 = bx;
      proc.y1 = by;
    }
    // Moves to the start of a stroke when it does not go on from the end of
    // the one before.
    void begin(double x, double y) {
      long long hx, hy;
      at(x, y, &hx, &hy);
      if (proc.strokes == 0) {
        proc.x0 = hx;
        proc.y0 = hy;
        proc.bx0 = proc.bx1 = x;
        proc.by0 = proc.by1 = y;
      } else if (force_move_ || dashed_ || hx != proc.x1 || hy != proc.y1) {
        out.hundredths(hx - proc.x1) << ' ';
        out.hundredths(hy - proc.y1) << " v ";
      }
      force_move_ = false;
      grow(x, y);
      proc.x1 = hx;
      proc.y1 = hy;
      ++proc.strokes;
    }
    void grow(double x, double y) {
      proc.bx0 = std::min(proc.bx0, x);
      proc.bx1 = std::max(proc.bx1, x);
      proc.by0 = std::min(proc.by0, y);
      proc.by1 = std::max(proc.by1, y);
    }
    // A point about the origin in hundredths of a point on the page, turned
    // with the drawing when it lies in landscape.
    void at(double x, double y, long long* hx, long long* hy) const {
      if (p_.landscape_) {
        const double t = x;
        x = -y;
        y = t;
      }
      *hx = std::llround(std::clamp(export_coordinate(x * p_.k_) * 100.0, -9e15, 9e15));
      *hy = std::llround(std::clamp(export_coordinate(y * p_.k_) * 100.0, -9e15, 9e15));
    }
    const GlyphProcs& p_;
    bool dashed_;
    bool force_move_ = false;
  };

  double k_;
  bool landscape_, dots_;
  std::vector<Proc> procs_;
  std::unordered_map<GlyphKey, int, GlyphKeyHash> index_;
};

// The writer's state, reached by its slots through the output device.
struct PsWriter {
  const PsJob& job;
  OutText& out;
  GlyphProcs* glyphs = nullptr;
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
  return Point2{export_coordinate((x - j.origin_x) * j.pt_per_metre),
                export_coordinate((y - j.origin_y) * j.pt_per_metre), 0};
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
  } else if (x != w.cx || y != w.cy || export_dash_pairs(export_line_type_def(lt), w.job.paper_factor) > 0) {
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

// A line from the current point of the open path to p, which becomes the
// current point.
void line_to(PsWriter& w, const Point2& p) {
  const long long ex = hundredths(p.x), ey = hundredths(p.y);
  w.out.hundredths(ex - w.cx) << ' ';
  w.out.hundredths(ey - w.cy) << " r\n";
  w.cx = ex;
  w.cy = ey;
}

void ps_out_line(uint8_t pen, uint8_t lt, double x1, double y1, double x2, double y2) {
  if (pen == PEN_GUIDE) return;
  PsWriter& w = writer();
  const PsJob& j = w.job;
  if (!j.page.segment_visible(x1, y1, x2, y2)) return;
  // A line of no length would print nothing; 0.01 point lets the round caps show a dot.
  if (j.kind == PsKind::EPS && x1 == x2 && y1 == y2) x2 += 0.01 / j.pt_per_metre;
  begin_stroke(w, pen, lt, to_pt(j, x1, y1));
  line_to(w, to_pt(j, x2, y2));
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
    // PostScript has no ellipse arc: the chords the break-down draws of it,
    // as one subpath of its own, so that a dash runs on along it as along a
    // circle rather than starting afresh on every short chord.
    if (!std::isfinite(cx) || !std::isfinite(cy) || !std::isfinite(rx) || !std::isfinite(ry) ||
        !std::isfinite(sweep) || !std::isfinite(start) || !std::isfinite(rotation))
      return;
    const int n = outdev_arc_chord_count(rx, ry, sweep);
    EllipseWalk walk(cx, cy, rx, ry, start, sweep / n, rotation);
    const Point2 first = walk.point();
    begin_stroke(w, pen, lt, to_pt(j, first.x, first.y));
    for (int i = 0; i < n; ++i) {
      walk.next();
      const Point2 p = walk.point();
      line_to(w, to_pt(j, p.x, p.y));
    }
    return;
  }
  double a1, a2;
  if (!arc_degrees(start + rotation, sweep, j.landscape, &a1, &a2)) return;
  // An arc joins its start to the current point: it is stroked alone.
  select_pen(w, pen);
  select_line_type(w, lt);
  end_path(w);
  put_pt(w.out, to_pt(j, cx, cy)) << ' ';
  w.out.shortest(export_coordinate(rx * j.pt_per_metre), 2) << ' ';
  w.out.shortest(a1, 2) << ' ';
  w.out.shortest(a2, 2) << arc_operator(sweep) << " s\n";
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

// The text slot outside the EPS text mode: a stroke font's characters
// through their procedures, anything else (outline fonts, glyphs with
// fills, glyphs past the last procedure) as the other slots draw it.
void ps_out_glyph_text(const OutdevText& t) {
  if (t.pen == PEN_GUIDE) return;
  const uint8_t slot = font_find_or_load(t.font);
  if (slot == FONT_NONE) return;
  const FontSlot& font = font_slots[slot];
  if (font.outline != 0) {
    outdev_screen_text(t);
    return;
  }
  PsWriter& w = writer();
  const PsJob& j = w.job;
  const double h = text_world_height(t.height);
  const std::string_view text(t.text ? t.text : "");
  const double s = std::sin(t.angle), c = std::cos(t.angle);
  const double pitch = h * t.line_spacing;
  for (const TextPlacement& tp :
       text_place(font, text, h, t.width_factor, t.spacing, t.fit_length, t.alignment)) {
    const Point2 o = text_line_origin(t.x, t.y, t.angle, pitch, tp.line);
    const double gx = o.x + tp.offset, gy = o.y;
    int index = -1;
    const bool dashed = export_dash_pairs(export_line_type_def(t.lt), j.paper_factor) > 0;
    GlyphProcs::Proc* g =
        w.glyphs->get(font, slot, tp.code, h, t.width_factor, t.angle, s, c, dashed, &index);
    if (!g) {
      text_draw_glyph(t.pen, t.lt, slot, gx, gy, t.angle, tp.code, h, t.width_factor, s, c, o.x, o.y);
      continue;
    }
    if (g->strokes == 0) continue;
    // Where the glyph's origin lands once the line is turned.
    const Point2 at = t.angle == 0.0 ? Point2{gx, gy, 0} : text_draw_rotate_point(o.x, o.y, gx, gy, s, c);
    if (!j.page.segment_visible(at.x + g->bx0, at.y + g->by0, at.x + g->bx1, at.y + g->by1)) continue;
    select_pen(w, t.pen);
    select_line_type(w, t.lt);
    if (w.path_strokes > 0 && w.path_strokes + g->strokes > RUN_STROKES) end_path(w);
    if (!g->written) {
      // Defined where it is first used; a definition leaves the path alone.
      w.out << "/G";
      w.out.integer(index) << " {";
      w.out << std::string_view(g->body).substr(0, g->body.empty() ? 0 : g->body.size() - 1) << "} bdef\n";
      g->written = true;
    }
    const Point2 origin = to_pt(j, at.x, at.y);
    const long long ox = hundredths(origin.x), oy = hundredths(origin.y);
    const long long x = ox + g->x0, y = oy + g->y0;
    if (w.path_strokes == 0) {
      w.out.hundredths(x) << ' ';
      w.out.hundredths(y) << " m G";
    } else if (x != w.cx || y != w.cy || dashed || g->body.rfind("currentpoint", 0) == 0) {
      w.out.hundredths(x - w.cx) << ' ';
      w.out.hundredths(y - w.cy) << " v G";
    } else {
      w.out << 'G';
    }
    w.out.integer(index) << '\n';
    w.path_strokes += g->strokes;
    w.cx = ox + g->x1;
    w.cy = oy + g->y1;
  }
}

// The font of EPS texts: Helvetica with the Latin-1 letters in place.
constexpr std::string_view TEXT_FONT = "/Helvetica-ISOLatin1";

void eps_out_text(const OutdevText& t) {
  if (t.pen == PEN_GUIDE) return;
  PsWriter& w = writer();
  const PsJob& j = w.job;
  if (!j.page.written_text_visible(t)) return;
  // The text shows in its own pen's colour, not in the one left by the
  // element before it.
  select_pen(w, t.pen);
  end_path(w);
  w.out << TEXT_FONT << " findfont\n";
  // The same size as the PDF's.
  w.out.f2(export_coordinate(export_mm_to_pt(text_mode_font_size_mm(t.height)))) << " scalefont\nsetfont\n";
  for (const TextModeLine& line : text_mode_lines(t)) {
    w.out << "gsave\n";
    put_pt(w.out, to_pt(j, line.x, line.y)) << " translate\n";
    w.out.f2(t.angle * 180.0 / GEOM_PI) << " rotate\n0 0 moveto\n(";
    export_string_literal(w.out, line.text);
    w.out << ") show\ngrestore\n";
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
         "/m /moveto  ldef\n/l /lineto  ldef\n/v /rmoveto ldef\n/r /rlineto ldef\n/c /curveto ldef\n/a "
         "/arc  "
         "   ldef\n/s /stroke  ldef\n"
         "/f {eofill} bdef\n/e {closepath} bdef\n/rgb {setrgbcolor} bdef\n";
  for (int i = 0; i < LINE_TYPE_COUNT; ++i) {
    const LineTypeDef& t = line_types[i];
    out << "/lt";
    out.integer(i + 1) << " {[";
    for (int k = 0; k < export_dash_pairs(t, j.paper_factor); ++k) {
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
    // texts hold: a copy of it with the Latin-1 encoding, whose apostrophe,
    // hyphen and grave accent are the plain characters a text holds (not
    // quotes and a minus), as in the PDF's.
    out << "/Helvetica findfont dup length dict begin\n"
           "{1 index /FID ne {def} {pop pop} ifelse} forall\n"
           "/Encoding ISOLatin1Encoding 256 array copy\n"
           "dup 39 /quotesingle put dup 45 /hyphen put dup 96 /grave put def\n"
           "currentdict end\n"
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
  const ExtentsPage e = export_extents_page(per_metre, text_mode);
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
  ExportCoordinates limits(EXPORT_PS_LIMIT, "PostScript");
  FileOut out(f);
  write_header(out, job);
  {
    GlyphProcs glyphs(job.pt_per_metre, job.landscape, job.kind == PsKind::EPS);
    PsWriter w{job, out, &glyphs};
    OutdevInstall guard(w);
    outdev.line = ps_out_line;
    outdev.bezier = ps_out_bezier;
    outdev.arc = ps_out_arc;
    outdev.fill = ps_out_fill;
    outdev.text = job.kind == PsKind::EPS && job.text_mode ? eps_out_text : ps_out_glyph_text;
    outdev.active = 1;
    draw_scope(DRAW_PLAIN, job.kind == PsKind::PRINT ? DrawScope::ALL : DrawScope::MARKED);
    end_path(w);
  }
  if (job.kind == PsKind::PRINT)
    out << "\nshowpage\n\ngrestore\n\n%%Trailer\n%%EOF\n";
  else
    out << "\ngrestore\n\n%%Trailer\n%%EOF\n";
  out.flush();
  return limits.ok() && out.ok() && std::fflush(f) == 0 && !std::ferror(f);
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
  if (!export_settings_ok({print_settings.scale, drawing_scale}) ||
      !export_sheet_ok(print_settings.paper_width, print_settings.paper_height))
    return;
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
  if (!export_settings_ok({drawing_scale})) return;
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
