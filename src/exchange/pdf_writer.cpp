#include "exchange/pdf_writer.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "display/draw.h"
#include "display/export_scope.h"
#include "display/font.h"
#include "display/outdev.h"
#include "display/outdev_breakdown.h"
#include "display/text_draw.h"
#include "display/text_layout.h"
#include "display/text_mode.h"
#include "exchange/export_check.h"
#include "exchange/glyph_key.h"
#include "exchange/out_text.h"
#include "model/geom.h"
#include "model/nls.h"

namespace {

// Content text is compressed in chunks of about 64 KB: each chunk is handed
// to deflate with a sync flush as soon as fewer than 256 of 65536 bytes are
// left, and what deflate makes goes straight on to the file. A piece
// longer than a chunk (a long text line) is simply a longer chunk.
// Compression takes most of an export's time, so deflate runs at its
// fastest level; at that level it still finds the strings that repeat in
// every stroke (" m\n", " l\nS\n" and the digits of nearby points), which
// halves the file against looking for repeated bytes only, in about half
// as much time again.
class DeflateOut final : public OutText {
 public:
  explicit DeflateOut(OutText& file) : OutText(65536 - 256), file_(file) {
    if (deflateInit2(&z_, Z_BEST_SPEED, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY) != Z_OK) ok_ = false;
  }
  ~DeflateOut() override {
    if (!ended_) deflateEnd(&z_);
  }

  // Compresses what is left, ends the stream and returns the number of
  // compressed bytes written.
  std::size_t finish() {
    flush();
    if (ok_ && !run(Z_FINISH)) {
      std::printf("deflate should report Z_STREAM_END\n");
      ok_ = false;
    }
    deflateEnd(&z_);
    ended_ = true;
    return compressed_;
  }

 private:
  void take(std::string_view chunk) override {
    if (!ok_) return;
    z_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(chunk.data()));
    z_.avail_in = static_cast<uInt>(chunk.size());
    if (!run(Z_SYNC_FLUSH)) {
      std::printf("deflate not greedy\n");
      ok_ = false;
    }
  }

  // Runs deflate until it has taken all input (and, finishing, ended the
  // stream), writing every filled output buffer on at once.
  bool run(int flush) {
    for (;;) {
      z_.next_out = out_.data();
      z_.avail_out = static_cast<uInt>(out_.size());
      const int rc = deflate(&z_, flush);
      if (rc == Z_STREAM_ERROR) return false;
      const std::size_t made = out_.size() - z_.avail_out;
      file_ << std::string_view(reinterpret_cast<const char*>(out_.data()), made);
      compressed_ += made;
      if (flush == Z_FINISH) {
        if (rc == Z_STREAM_END) return true;
        if (rc != Z_OK && rc != Z_BUF_ERROR) return false;
        if (made == 0 && rc == Z_BUF_ERROR) return false;
      } else if (z_.avail_out != 0) {
        return z_.avail_in == 0;
      }
    }
  }

  OutText& file_;
  z_stream z_{};
  std::array<Bytef, 8192> out_{};
  std::size_t compressed_ = 0;
  bool ended_ = false;
};

// Every arc, circle and ellipse as a polyline of about 10 degree steps, at
// least 12, each point put down by put(x, y). A negative sweep runs
// clockwise from the start, in as many steps as the same sweep the other
// way round.
template <class Put>
void arc_path(OutText& out, Put put, double cx, double cy, double rx, double ry, double sweep, double start,
              double rotation) {
  const double turns = 36.0 * std::fabs(sweep) / GEOM_TWO_PI;
  const int n = turns >= 3600.0 ? 3600 : static_cast<int>(turns);
  const int steps = n >= 12 ? n : 12;
  const double step = sweep / steps;
  const double cr = std::cos(rotation), sr = std::sin(rotation);
  auto point = [&](double t) {
    const double c = std::cos(t), s = std::sin(t);
    put(cx + rx * c * cr - ry * s * sr, cy + rx * c * sr + ry * s * cr);
  };
  point(start);
  out << " m\n";
  for (int i = 1; i < steps; ++i) {
    point(start + i * step);
    out << " l\n";
  }
  if (geom_eq(std::fabs(sweep), GEOM_TWO_PI)) {
    out << "s\n";
  } else {
    point(start + sweep);
    out << " l\nS\n";
  }
}

// Texts of a stroke font are most of a plan's strokes, and the same few
// characters at the same height and angle come back thousands of times.
// Each such glyph is written once, as a form drawn about its origin, and
// every character is a move of the origin and the form's name: a quarter
// of the bytes or less. A form takes the pen, width and dash set before
// it, and strokes each line by itself just as the page does.
class GlyphForms {
 public:
  // No more forms than this; further glyphs are drawn in place.
  static constexpr std::size_t MAX_FORMS = 20000;

  struct Form {
    std::string content;                            // in points about the origin
    double x0 = 0.0, y0 = 0.0, x1 = 0.0, y1 = 0.0;  // its box in points
  };

  explicit GlyphForms(double k) : k_(k) {}

  // The form of a glyph, made at the first call; null when the glyph
  // cannot be a form (a fill would need the pen's colour inside) or the
  // forms are used up. Its index is the form's number.
  const Form* get(const FontSlot& font, uint8_t slot, unsigned char code, double h, double wf, double angle,
                  double sine, double cosine, int* index) {
    const GlyphKey key{slot, code, false, h, wf, angle};
    const auto found = index_.find(key);
    if (found != index_.end()) {
      *index = found->second;
      return found->second < 0 ? nullptr : &forms_[static_cast<std::size_t>(found->second)];
    }
    if (forms_.size() >= MAX_FORMS) return nullptr;
    Recorder r(k_);
    glyph_interpret(font, code, GlyphPlace{0.0, 0.0, angle, h, wf, sine, cosine, 0.0, 0.0}, true, r);
    int at = -1;
    if (!r.filled) {
      at = static_cast<int>(forms_.size());
      Form f;
      f.content = r.out.text();
      f.x0 = r.x0;
      f.y0 = r.y0;
      f.x1 = r.x1;
      f.y1 = r.y1;
      forms_.push_back(std::move(f));
    }
    index_.emplace(key, at);
    *index = at;
    return at < 0 ? nullptr : &forms_[static_cast<std::size_t>(at)];
  }
  const std::vector<Form>& forms() const { return forms_; }

 private:
  // Writes a glyph drawn about (0, 0) in points and keeps its box.
  class Recorder final : public GlyphSink {
   public:
    explicit Recorder(double k) : k_(k) {}
    void stroke(double x1, double y1, double x2, double y2) override {
      put(x1, y1);
      out << " m\n";
      put(x2, y2);
      out << " l\nS\n";
    }
    void arc(double cx, double cy, double rx, double ry, double sweep, double start,
             double rotation) override {
      if (!std::isfinite(sweep) || !std::isfinite(start) || !std::isfinite(rotation)) return;
      arc_path(
          out, [this](double x, double y) { put(x, y); }, cx, cy, rx, ry, sweep, start, rotation);
    }
    void fill(const Point2*, int) override { filled = true; }

    StringOut out;
    bool filled = false;
    double x0 = 0.0, y0 = 0.0, x1 = 0.0, y1 = 0.0;

   private:
    void put(double x, double y) {
      const double px = x * k_, py = y * k_;
      if (first_) {
        x0 = x1 = px;
        y0 = y1 = py;
        first_ = false;
      }
      x0 = std::min(x0, px);
      x1 = std::max(x1, px);
      y0 = std::min(y0, py);
      y1 = std::max(y1, py);
      out.shortest(px, 2) << ' ';
      out.shortest(py, 2);
    }
    double k_;
    bool first_ = true;
  };

  double k_;
  std::vector<Form> forms_;
  std::unordered_map<GlyphKey, int, GlyphKeyHash> index_;
};

struct PdfWriter {
  const PdfJob& job;
  OutText& out;
  double k;  // points per metre
  GlyphForms* forms = nullptr;
  int last_pen = -1;
  int last_line_type = -1;
  // Inside "q" while characters are placed by moving the origin: the
  // origin's place in hundredths of a point.
  bool placing = false;
  long long origin_x = 0, origin_y = 0;
};

PdfWriter& writer() { return *outdev_writer<PdfWriter>(); }

// Coordinates to a hundredth of a point, in their shortest form. Each
// stroke is stroked by itself: viewers fit a thin stroke to whole pixels
// when it is stroked alone but not as one subpath of many, where it comes
// out paler; its "S" costs next to nothing once compressed.
OutText& put_pt(PdfWriter& w, double x, double y) {
  w.out.shortest(export_coordinate((x - w.job.page.xmin) * w.k), 2) << ' ';
  return w.out.shortest(export_coordinate((y - w.job.page.ymin) * w.k), 2);
}

void set_pen(PdfWriter& w, uint8_t pen) {
  const int p = export_pen(pen);
  if (p == w.last_pen) return;
  w.last_pen = p;
  const PenDef& d = pens[p];
  if (view_options.all_black == 1) {
    w.out << "0 0 0 RG\n";
  } else {
    w.out.shortest(d.r, 2) << ' ';
    w.out.shortest(d.g, 2) << ' ';
    w.out.shortest(d.b, 2) << " RG\n";
  }
  w.out.shortest(export_mm_to_pt(d.width), 2) << " w\n";
}

void set_line_type(PdfWriter& w, uint8_t lt) {
  const int t = export_line_type(lt);
  if (t == w.last_line_type) return;
  w.last_line_type = t;
  const LineTypeDef& d = line_types[t];
  w.out << '[';
  for (int i = 0; i < export_dash_pairs(d); ++i) {
    if (i > 0) w.out << ' ';
    w.out.shortest(export_mm_to_pt(d.dash[i]), 2) << ' ';
    w.out.shortest(export_mm_to_pt(d.gap[i]), 2);
  }
  w.out << "] 0 d\n";
}

void pdf_out_line(uint8_t pen, uint8_t lt, double x1, double y1, double x2, double y2) {
  if (pen == PEN_GUIDE) return;
  PdfWriter& w = writer();
  if (!w.job.page.window.segment_visible(x1, y1, x2, y2)) return;
  set_pen(w, pen);
  set_line_type(w, lt);
  put_pt(w, x1, y1) << " m\n";
  put_pt(w, x2, y2) << " l\nS\n";
}

void pdf_out_bezier(uint8_t pen, uint8_t lt, double x0, double y0, double x1, double y1, double x2, double y2,
                    double x3, double y3) {
  if (pen == PEN_GUIDE) return;
  PdfWriter& w = writer();
  if (!w.job.page.window.bezier_visible(x0, y0, x1, y1, x2, y2, x3, y3)) return;
  set_pen(w, pen);
  set_line_type(w, lt);
  put_pt(w, x0, y0) << " m\n";
  put_pt(w, x1, y1) << ' ';
  put_pt(w, x2, y2) << ' ';
  put_pt(w, x3, y3) << " c\nS\n";
}

void pdf_out_arc(uint8_t pen, uint8_t lt, double cx, double cy, double rx, double ry, double sweep,
                 double start, double rotation) {
  if (pen == PEN_GUIDE) return;
  PdfWriter& w = writer();
  if (!w.job.page.window.arc_visible(cx, cy, rx, ry)) return;
  if (!std::isfinite(sweep) || !std::isfinite(start) || !std::isfinite(rotation)) return;
  set_pen(w, pen);
  set_line_type(w, lt);
  arc_path(
      w.out, [&w](double x, double y) { put_pt(w, x, y); }, cx, cy, rx, ry, sweep, start, rotation);
}

void pdf_out_fill(double r, double g, double b, int32_t n, const Point2* points) {
  PdfWriter& w = writer();
  if (n < 1 || !w.job.page.window.fill_visible(n, points)) return;
  w.out.shortest(r, 2) << ' ';
  w.out.shortest(g, 2) << ' ';
  w.out.shortest(b, 2) << " rg\n";
  bool first = true;
  for (int32_t i = 0; i < n; ++i) {
    if (geom_is_end_marker(points[i].x, points[i].y)) {
      first = true;
      continue;
    }
    put_pt(w, points[i].x, points[i].y) << (first ? " m\n" : " l\n");
    first = false;
  }
  w.out << "f*\n";
}

void pdf_out_text(const OutdevText& t) {
  if (t.pen == PEN_GUIDE) return;
  PdfWriter& w = writer();
  if (!w.job.page.window.written_text_visible(t)) return;
  set_pen(w, t.pen);
  set_line_type(w, t.lt);
  const PenDef& p = export_pen_def(t.pen);
  w.out.f2(p.r) << ' ';
  w.out.f2(p.g) << ' ';
  w.out.f2(p.b) << " rg\nBT\n/F1 ";
  w.out.f2(export_coordinate(export_mm_to_pt(text_mode_font_size_mm(t.height)))) << " Tf\n";
  const double c = std::cos(t.angle), s = std::sin(t.angle);
  for (const TextModeLine& line : text_mode_lines(t)) {
    w.out.f2(c) << ' ';
    w.out.f2(s) << ' ';
    w.out.f2(-s) << ' ';
    w.out.f2(c) << ' ';
    put_pt(w, line.x, line.y) << " Tm\n(";
    export_string_literal(w.out, line.text);
    w.out << ") Tj\n";
  }
  w.out << "ET\n";
}

// Ends the placing of characters by their forms.
void end_placing(PdfWriter& w) {
  if (!w.placing) return;
  w.out << "Q\n";
  w.placing = false;
}

// The text slot in graphics mode: a stroke font's characters through their
// forms, anything else (outline fonts, glyphs with fills, glyphs past the
// last form) as the other slots draw it.
void pdf_out_glyph_text(const OutdevText& t) {
  if (t.pen == PEN_GUIDE) return;
  const uint8_t slot = font_find_or_load(t.font);
  if (slot == FONT_NONE) return;
  const FontSlot& font = font_slots[slot];
  if (font.outline != 0) {
    outdev_screen_text(t);
    return;
  }
  PdfWriter& w = writer();
  const double h = text_world_height(t.height);
  const std::string_view text(t.text ? t.text : "");
  const double s = std::sin(t.angle), c = std::cos(t.angle);
  const double pitch = h * t.line_spacing;
  for (const TextPlacement& tp :
       text_place(font, text, h, t.width_factor, t.spacing, t.fit_length, t.alignment)) {
    const Point2 o = text_line_origin(t.x, t.y, t.angle, pitch, tp.line);
    const double gx = o.x + tp.offset, gy = o.y;
    int index = -1;
    const GlyphForms::Form* f = w.forms->get(font, slot, tp.code, h, t.width_factor, t.angle, s, c, &index);
    if (!f) {
      end_placing(w);
      text_draw_glyph(t.pen, t.lt, slot, gx, gy, t.angle, tp.code, h, t.width_factor, s, c, o.x, o.y);
      continue;
    }
    if (f->content.empty()) continue;
    // Where the glyph's origin lands once the line is turned.
    const Point2 at = t.angle == 0.0 ? Point2{gx, gy, 0} : text_draw_rotate_point(o.x, o.y, gx, gy, s, c);
    if (!w.job.page.window.segment_visible(at.x + f->x0 / w.k, at.y + f->y0 / w.k, at.x + f->x1 / w.k,
                                           at.y + f->y1 / w.k))
      continue;
    if (!w.placing) {
      set_pen(w, t.pen);
      set_line_type(w, t.lt);
      w.out << "q\n";
      w.placing = true;
      w.origin_x = w.origin_y = 0;
    }
    const long long x = std::llround(export_coordinate((at.x - w.job.page.xmin) * w.k) * 100.0);
    const long long y = std::llround(export_coordinate((at.y - w.job.page.ymin) * w.k) * 100.0);
    w.out << "1 0 0 1 ";
    w.out.hundredths(x - w.origin_x) << ' ';
    w.out.hundredths(y - w.origin_y) << " cm /G";
    w.out.integer(index) << " Do\n";
    w.origin_x = x;
    w.origin_y = y;
  }
  end_placing(w);
}

// Writes the lines of an object, recording its offset first.
void object(OutText& out, std::size_t* offset, std::string_view lines) {
  *offset = out.position();
  out << lines;
}

}  // namespace

PdfJob pdf_job(bool text_mode) {
  PdfJob j;
  j.text_mode = text_mode;
  j.page = export_extents_page(export_pt_per_metre(drawing_scale), text_mode);
  return j;
}

bool pdf_write(std::FILE* f, const PdfJob& job) {
  ExportCoordinates limits(EXPORT_PDF_LIMIT, "PDF");
  FileOut out(f);
  const double k = export_pt_per_metre(drawing_scale);
  GlyphForms forms(k);
  std::vector<std::size_t> offset(11);
  out << "%PDF-1.3\n";
  object(out, &offset[1], "1 0 obj\n<<\n/Type /Catalog\n/Outlines 2 0 R\n/Pages 3 0 R\n>>\nendobj\n");
  object(out, &offset[2], "2 0 obj\n<<\n/Type /Outlines\n/Count 0\n>>\nendobj\n");
  object(out, &offset[3], "3 0 obj\n<<\n/Type /Pages\n/Kids [4 0 R]\n/Count 1\n>>\nendobj\n");
  object(out, &offset[4], "4 0 obj\n<<\n/Type /Page\n/Parent 3 0 R\n/MediaBox [0 0 ");
  out.f2(job.page.width) << ' ';
  out.f2(job.page.height) << "]\n/Contents 5 0 R\n/Resources << /ProcSet 7 0 R /Font << /F1 8 0 R >> "
                             "/XObject 10 0 R >>\n>>\nendobj\n";
  object(out, &offset[5], "5 0 obj\n<<\n/Length 6 0 R\n/Filter /FlateDecode\n>>\nstream\n");

  std::size_t compressed = 0;
  bool content_ok = true;
  {
    DeflateOut content(out);
    content << "1 J\n1 j\n";
    {
      PdfWriter w{job, content, k, &forms};
      OutdevInstall guard(w);
      outdev.line = pdf_out_line;
      outdev.bezier = pdf_out_bezier;
      outdev.arc = pdf_out_arc;
      outdev.fill = pdf_out_fill;
      outdev.text = job.text_mode ? pdf_out_text : pdf_out_glyph_text;
      outdev.active = 1;
      draw_scope(DRAW_PLAIN, DrawScope::MARKED);
    }
    compressed = content.finish();
    content_ok = content.ok();
  }
  // The length counts the line feed before "endstream" as well.
  out << "\nendstream\nendobj\n";
  object(out, &offset[6], "6 0 obj\n");
  out.integer(static_cast<long long>(compressed + 1)) << "\nendobj\n";
  object(out, &offset[7], "7 0 obj\n[/PDF /Text]\nendobj\n");
  object(out, &offset[8],
         "8 0 obj\n<<\n/Type /Font\n/Subtype /Type1\n/BaseFont /Helvetica\n/Encoding /WinAnsiEncoding\n>>\n"
         "endobj\n");
  object(out, &offset[9],
         "9 0 obj\n<<\n/Title (KAVRO PDF Export)\n/Creator (KAVRO CAD for Architecs)\n>>\nendobj\n");
  // The glyph forms, named G0, G1, ... after their place in the list. A
  // form reaches as far as the widest pen can stroke its lines.
  object(out, &offset[10], "10 0 obj\n<<");
  double reach = 1.0;
  for (const PenDef& p : pens) reach = std::max(reach, export_mm_to_pt(p.width) / 2.0 + 1.0);
  const std::vector<GlyphForms::Form>& list = forms.forms();
  for (std::size_t i = 0; i < list.size(); ++i) {
    out << (i % 8 == 0 ? "\n" : " ") << "/G";
    out.integer(static_cast<long long>(i)) << ' ';
    out.integer(static_cast<long long>(11 + i)) << " 0 R";
  }
  out << "\n>>\nendobj\n";
  std::vector<Bytef> packed;
  for (std::size_t i = 0; i < list.size(); ++i) {
    const GlyphForms::Form& g = list[i];
    uLongf size = compressBound(static_cast<uLong>(g.content.size()));
    packed.resize(size);
    if (compress2(packed.data(), &size, reinterpret_cast<const Bytef*>(g.content.data()),
                  static_cast<uLong>(g.content.size()), Z_BEST_COMPRESSION) != Z_OK)
      content_ok = false;
    offset.push_back(out.position());
    out.integer(static_cast<long long>(11 + i)) << " 0 obj\n<<\n/Type /XObject\n/Subtype /Form\n/BBox [";
    out.shortest(g.x0 - reach, 2) << ' ';
    out.shortest(g.y0 - reach, 2) << ' ';
    out.shortest(g.x1 + reach, 2) << ' ';
    out.shortest(g.y1 + reach, 2) << "]\n/Length ";
    out.integer(static_cast<long long>(size))
        << "\n/Filter /FlateDecode\n>>\nstream\n"
        << std::string_view(reinterpret_cast<const char*>(packed.data()), size) << "\nendstream\nendobj\n";
  }
  const std::size_t xref = out.position();
  out << "xref\n0 ";
  out.integer(static_cast<long long>(offset.size())) << "\n0000000000 65535 f \n";
  for (std::size_t i = 1; i < offset.size(); ++i) {
    char entry[24];
    std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", offset[i]);
    out << entry;
  }
  out << "trailer\n<<\n/Size ";
  out.integer(static_cast<long long>(offset.size())) << "\n/Root 1 0 R\n/Info 9 0 R\n>>\nstartxref\n";
  out.integer(static_cast<long long>(xref)) << "\n%%EOF\n";
  out.flush();
  return limits.ok() && content_ok && out.ok() && std::fflush(f) == 0 && !std::ferror(f);
}

void pdf_export() {
  if (!export_settings_ok({drawing_scale})) return;
  if (!msgbox_ask_export_scope("PDF")) return;
  ExportMarks marks;
  const int mode = export_ask_text_mode();
  if (mode == 0) return;
  const PdfJob job = pdf_job(mode == 2);
  const std::string path = export_choose_file(nls_translate("Export PDF..."), ".pdf");
  if (path.empty()) return;
  export_write_file(path, [&job](std::FILE* f) { return pdf_write(f, job); });
}
