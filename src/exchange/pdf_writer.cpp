#include "exchange/pdf_writer.h"

#include <zlib.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <string>
#include <string_view>

#include "display/draw.h"
#include "display/export_scope.h"
#include "display/outdev.h"
#include "display/text_layout.h"
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

struct PdfWriter {
  const PdfJob& job;
  OutText& out;
  double k;  // points per metre
  int last_pen = -1;
  int last_line_type = -1;
};

PdfWriter& writer() { return *outdev_writer<PdfWriter>(); }

// Coordinates to a hundredth of a point, in their shortest form. Each
// stroke is stroked by itself: viewers fit a thin stroke to whole pixels
// when it is stroked alone but not as one subpath of many, where it comes
// out paler; its "S" costs next to nothing once compressed.
OutText& put_pt(PdfWriter& w, double x, double y) {
  w.out.shortest((x - w.job.page.xmin) * w.k, 2) << ' ';
  return w.out.shortest((y - w.job.page.ymin) * w.k, 2);
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
  for (int i = 0; i < d.pairs && i < 3; ++i) {
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

// Every arc, circle and ellipse as a polyline of about 10 degree steps, at
// least 12.
void pdf_out_arc(uint8_t pen, uint8_t lt, double cx, double cy, double rx, double ry, double sweep,
                 double start, double rotation) {
  if (pen == PEN_GUIDE) return;
  PdfWriter& w = writer();
  if (!w.job.page.window.arc_visible(cx, cy, rx, ry)) return;
  if (!std::isfinite(sweep) || !std::isfinite(start) || !std::isfinite(rotation)) return;
  const double turns = 36.0 * sweep / GEOM_TWO_PI;
  const int n = turns >= 3600.0 ? 3600 : static_cast<int>(turns);
  const int steps = n >= 12 ? n : 12;
  const double step = sweep / steps;
  const double cr = std::cos(rotation), sr = std::sin(rotation);
  auto point = [&](double t) {
    const double c = std::cos(t), s = std::sin(t);
    put_pt(w, cx + rx * c * cr - ry * s * sr, cy + rx * c * sr + ry * s * cr);
  };
  set_pen(w, pen);
  set_line_type(w, lt);
  point(start);
  w.out << " m\n";
  for (int i = 1; i < steps; ++i) {
    point(start + i * step);
    w.out << " l\n";
  }
  if (geom_eq(sweep, GEOM_TWO_PI)) {
    w.out << "s\n";
  } else {
    point(start + sweep);
    w.out << " l\nS\n";
  }
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
  if (!w.job.page.window.point_visible(t.x, t.y)) return;
  set_pen(w, t.pen);
  set_line_type(w, t.lt);
  const PenDef& p = export_pen_def(t.pen);
  w.out.f2(p.r) << ' ';
  w.out.f2(p.g) << ' ';
  w.out.f2(p.b) << " rg\nBT\n/F1 ";
  w.out.f2(export_mm_to_pt(t.height * 1.25)) << " Tf\n";
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
  const double pitch = t.height * t.line_spacing * drawing_scale / 1000.0;
  for (std::string_view line : text_split_lines(text)) {
    w.out.f2(c) << ' ';
    w.out.f2(s) << ' ';
    w.out.f2(-s) << ' ';
    w.out.f2(c) << ' ';
    put_pt(w, x, y) << " Tm\n(";
    export_string_literal(w.out, line);
    w.out << ") Tj\n";
    x += s * pitch;
    y -= c * pitch;
  }
  w.out << "ET\n";
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
  j.page = export_extents_page(export_pt_per_metre(drawing_scale));
  return j;
}

bool pdf_write(std::FILE* f, const PdfJob& job) {
  FileOut out(f);
  std::array<std::size_t, 10> offset{};
  out << "%PDF-1.3\n";
  object(out, &offset[1], "1 0 obj\n<<\n/Type /Catalog\n/Outlines 2 0 R\n/Pages 3 0 R\n>>\nendobj\n");
  object(out, &offset[2], "2 0 obj\n<<\n/Type /Outlines\n/Count 0\n>>\nendobj\n");
  object(out, &offset[3], "3 0 obj\n<<\n/Type /Pages\n/Kids [4 0 R]\n/Count 1\n>>\nendobj\n");
  object(out, &offset[4], "4 0 obj\n<<\n/Type /Page\n/Parent 3 0 R\n/MediaBox [0 0 ");
  out.f2(job.page.width) << ' ';
  out.f2(job.page.height)
      << "]\n/Contents 5 0 R\n/Resources << /ProcSet 7 0 R /Font << /F1 8 0 R >> >>\n>>\nendobj\n";
  object(out, &offset[5], "5 0 obj\n<<\n/Length 6 0 R\n/Filter /FlateDecode\n>>\nstream\n");

  std::size_t compressed = 0;
  bool content_ok = true;
  {
    DeflateOut content(out);
    content << "1 J\n1 j\n";
    {
      PdfWriter w{job, content, export_pt_per_metre(drawing_scale)};
      OutdevInstall guard(w);
      outdev.line = pdf_out_line;
      outdev.bezier = pdf_out_bezier;
      outdev.arc = pdf_out_arc;
      outdev.fill = pdf_out_fill;
      if (job.text_mode) outdev.text = pdf_out_text;
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
  const std::size_t xref = out.position();
  out << "xref\n0 10\n0000000000 65535 f \n";
  for (int i = 1; i <= 9; ++i) {
    char entry[24];
    std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", offset[i]);
    out << entry;
  }
  out << "trailer\n<<\n/Size 10\n/Root 1 0 R\n/Info 9 0 R\n>>\nstartxref\n";
  out.integer(static_cast<long long>(xref)) << "\n%%EOF\n";
  out.flush();
  return content_ok && out.ok() && std::fflush(f) == 0 && !std::ferror(f);
}

void pdf_export() {
  if (!msgbox_ask_export_scope("PDF")) return;
  ExportMarks marks;
  const int mode = export_ask_text_mode();
  if (mode == 0) return;
  const PdfJob job = pdf_job(mode == 2);
  const std::string path = export_choose_file(nls_translate("Export PDF..."), ".pdf");
  if (path.empty()) return;
  export_write_file(path, [&job](std::FILE* f) { return pdf_write(f, job); });
}
