// PDF export: the content stream (compared inflated, since the compressed
// bytes differ between zlib versions), the file's objects and offsets, and
// what qpdf and poppler make of the files.

#include "exchange/pdf_writer.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "export_fixture.h"
#include "support/comma_locale.h"
#include "support/golden_file.h"

namespace {

namespace fs = std::filesystem;

class PdfExport : public ExportTest {
 protected:
  // PDF of all objects in the text mode (1 graphics, 2 text) into name;
  // returns the file's bytes.
  std::string pdf(const std::string& name, int text_mode = 1) {
    ui.answers = {1, text_mode};
    ui.paths = {file(name)};
    pdf_export();
    EXPECT_TRUE(nothing_marked());
    return read_file(file(name));
  }
  // qpdf's verdict on the file: its output when it found anything wrong.
  testing::AssertionResult qpdf_accepts(const std::string& name) {
    const ToolRun check = tool({"qpdf", "--check", file(name)});
    if (check.status == 0 && check.out.find("No syntax or stream encoding errors") != std::string::npos)
      return testing::AssertionSuccess();
    return testing::AssertionFailure() << check.out;
  }
};

// The value of the first "/Length" or object 6, the stream's bytes and the
// content inflated.
struct Stream {
  std::size_t length = 0;
  std::string bytes;
  std::string content;
  bool inflated = false;
};

Stream stream_of(const std::string& file) {
  Stream s;
  const std::size_t obj6 = file.find("\n6 0 obj\n");
  if (obj6 == std::string::npos) return s;
  s.length = std::strtoul(file.c_str() + obj6 + 9, nullptr, 10);
  const std::size_t start = file.find("stream\n") + 7;
  s.bytes = file.substr(start, s.length);
  z_stream z{};
  if (inflateInit(&z) != Z_OK) return s;
  z.next_in = reinterpret_cast<Bytef*>(s.bytes.data());
  z.avail_in = static_cast<uInt>(s.bytes.size());
  char buf[65536];
  int rc = Z_OK;
  while (rc == Z_OK) {
    z.next_out = reinterpret_cast<Bytef*>(buf);
    z.avail_out = sizeof buf;
    rc = inflate(&z, Z_NO_FLUSH);
    s.content.append(buf, sizeof buf - z.avail_out);
  }
  s.inflated = rc == Z_STREAM_END;
  inflateEnd(&z);
  return s;
}

TEST_F(PdfExport, TextModeContentAsWritten) {
  primitives_drawing();
  const Stream s = stream_of(pdf("primitives.pdf", 2));
  ASSERT_TRUE(s.inflated);
  EXPECT_TRUE(golden_text_matches(s.content, KAVRO_TEST_DATA_DIR "/pdf_text_mode_content.txt",
                                  KAVRO_TEST_OUTPUT_DIR));
  EXPECT_TRUE(qpdf_accepts("primitives.pdf"));
}

// The objects stand where the cross-reference table says, the stream's
// length is its compressed bytes and the line feed after them, and the
// page is the extents page in points: 1 m at 1:100 is 28.35 points, pen 0
// of 0.13 mm 0.37 points wide, and the page 2 points more on every side.
TEST_F(PdfExport, OffsetsLengthAndPageSize) {
  elem_new_line(0, 0, 0, 0, 0, 1, 0);
  const std::string bytes = pdf("line.pdf");
  const std::size_t xref = bytes.find("\nxref\n") + 1;
  EXPECT_EQ(std::strtoul(bytes.c_str() + bytes.find("startxref\n") + 10, nullptr, 10), xref);
  for (int i = 1; i <= 9; ++i) {
    const std::size_t entry = xref + 5 + 5 + 20 * i;
    const std::size_t at = std::strtoul(bytes.c_str() + entry, nullptr, 10);
    EXPECT_EQ(bytes.substr(entry + 10, 10), " 00000 n \n");
    EXPECT_EQ(bytes.compare(at, 8, std::to_string(i) + " 0 obj\n"), 0) << "object " << i << " at " << at;
  }
  const Stream s = stream_of(bytes);
  ASSERT_TRUE(s.inflated);
  EXPECT_EQ(s.bytes.back(), '\n');
  EXPECT_EQ(bytes.compare(bytes.find("stream\n") + 7 + s.length, 10, "endstream\n"), 0);
  EXPECT_NE(bytes.find("/MediaBox [0 0 32.71 4.37]\n"), std::string::npos);
  EXPECT_TRUE(qpdf_accepts("line.pdf"));
  const ToolRun info = tool({"pdfinfo", file("line.pdf")});
  EXPECT_NE(info.out.find("Page size:       32.71 x 4.37 pts\n"), std::string::npos) << info.out;
}

// The operators of a content text, one per line, as one text.
std::string operators(const std::string& content) {
  std::string ops;
  std::istringstream in(content);
  for (std::string line; std::getline(in, line);) {
    if (!ops.empty()) ops += ' ';
    ops += line.substr(line.rfind(' ') + 1);
  }
  return ops;
}

std::string repeated(const std::string& op, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += " " + op;
  return out;
}

TEST_F(PdfExport, PenColourWidthAndDashOnlyWhenTheyChange) {
  elem_new_line(0, 2, 1, 0, 0, 1, 0);
  elem_new_line(0, 2, 1, 0, 1, 1, 1);
  elem_new_line(0, 3, 1, 0, 2, 1, 2);
  elem_new_arc(0, 3, 1, 3, 1, 1, 1, GEOM_TWO_PI, 0, 0);
  elem_new_arc(0, 3, 1, 6, 1, 1, 1, GEOM_PI / 2, 0, 0);
  Point2 sq[5] = {{0, 4, 0}, {1, 4, 0}, {1, 5, 0}, {0, 5, 0}, CONTOUR_END};
  elem_new_pattern(0, 0, 0, 0, 4, 0, 1, 0, 0, 0, 4, 0, 1, 5, sq, 0.25, 0.5, 0.75, PATTERN_FILLING);
  const std::string c = stream_of(pdf("pens.pdf")).content;
  // Fillings come first; a full circle is 36 steps closed by s, a quarter
  // 12 steps ending on its end point.
  EXPECT_EQ(operators(c), "J j rg m l l l f* RG w d m l S m l S RG w m l S m" + repeated("l", 35) + " s m" +
                              repeated("l", 12) + " S");
  EXPECT_NE(c.find("0.25 0.5 0.75 rg\n"), std::string::npos);
  EXPECT_NE(c.find("0.53 0.06 0.06 RG\n"), std::string::npos);

  view_options.all_black = 1;
  const std::string black = stream_of(pdf("black.pdf")).content;
  EXPECT_EQ(lines_with(black, " RG"), (std::vector<std::string>{"0 0 0 RG", "0 0 0 RG"}));
  EXPECT_NE(black.find("0.25 0.5 0.75 rg\n"), std::string::npos);
}

// Every kind passes qpdf in both modes; in text mode poppler finds the
// texts (a two-line text as two lines, Latin-1 letters included), in
// graphics mode none. The rendered pages stay in the test output folder.
TEST_F(PdfExport, EveryKindPassesQpdfAndPopplerFindsTheTexts) {
  every_kind_drawing();
  for (int mode : {1, 2}) {
    const std::string name = "every_kind_pdf" + std::to_string(mode);
    pdf(name + ".pdf", mode);
    EXPECT_TRUE(qpdf_accepts(name + ".pdf"));
    const ToolRun png =
        tool({"pdftoppm", "-png", "-r", "72", "-singlefile", file(name + ".pdf"), output(name)});
    EXPECT_EQ(png.status, 0) << png.out;
    const ToolRun text = tool({"pdftotext", "-enc", "UTF-8", file(name + ".pdf"), "-"});
    EXPECT_EQ(text.status, 0) << text.out;
    if (mode == 2) {
      EXPECT_NE(text.out.find("Plan (A)\nKüche äöß"), std::string::npos) << text.out;
      EXPECT_NE(text.out.find("23.00 QM"), std::string::npos) << text.out;
      EXPECT_NE(text.out.find("2.00"), std::string::npos) << text.out;
    } else {
      EXPECT_EQ(text.out.find_first_not_of("\n\f "), std::string::npos) << text.out;
    }
  }
}

// A text line longer than the content buffer, and a drawing whose content
// runs through many buffers, both make a sound file.
TEST_F(PdfExport, LongTextsAndLargeDrawingsStayWhole) {
  std::string long_line(30000, 'x');
  long_line.replace(100, 3, "(\\)");
  elem_new_text(0, 0, 0, 0, 0, 0, 2.5, 1, 0.1, 1.5, long_line, 0, "Simpel", TEXT_LEFT);
  const Stream s = stream_of(pdf("long.pdf", 2));
  ASSERT_TRUE(s.inflated);
  EXPECT_NE(s.content.find("xxx\\(\\\\\\)xxx"), std::string::npos);
  EXPECT_TRUE(qpdf_accepts("long.pdf"));

  drawing_free();
  for (int i = 0; i < 20000; ++i) elem_new_line(0, i % 8, i % 4, i * 0.01, 0, i * 0.01 + 0.5, (i % 97) * 0.1);
  const Stream big = stream_of(pdf("big.pdf"));
  ASSERT_TRUE(big.inflated);
  EXPECT_EQ(count_of(big.content, "\nS\n"), 20000);
  // The strings every stroke repeats are found: the stream is under a
  // third of the content.
  EXPECT_LT(big.bytes.size() * 100, big.content.size() * 33)
      << big.bytes.size() << " of " << big.content.size();
  EXPECT_TRUE(qpdf_accepts("big.pdf"));
}

// Each character of a stroke font at one height and angle is drawn once, as
// a form, and every text places its forms: the content strokes nothing
// itself, and the file stays small however often the texts come back.
TEST_F(PdfExport, StrokeFontGlyphsAreDrawnOnceAndPlaced) {
  for (int i = 0; i < 300; ++i)
    elem_new_text(0, 1 + i % 2, 0, (i % 20) * 2.0, (i / 20) * 1.0, 0, 2.5, 1, 0.1, 1.5, "HALLO", 0, "Simpel",
                  TEXT_LEFT);
  elem_new_text(0, 1, 0, 50, 0, 0.5, 2.5, 1, 0.1, 1.5, "HALLO", 0, "Simpel", TEXT_CENTRED);
  const std::string bytes = pdf("glyphs.pdf");
  const Stream s = stream_of(bytes);
  ASSERT_TRUE(s.inflated);
  EXPECT_EQ(count_of(s.content, " Do\n"), 301 * 5);
  EXPECT_EQ(count_of(s.content, "S\n"), 0);
  // H, A, L, O upright and turned.
  EXPECT_EQ(count_of(bytes, "/Subtype /Form"), 8);
  // Each text restores the state it placed its characters in.
  EXPECT_EQ(count_of(s.content, "q\n"), 301);
  EXPECT_EQ(count_of(s.content, "Q\n"), 301);
  EXPECT_LT(bytes.size(), 12000u);
  EXPECT_TRUE(qpdf_accepts("glyphs.pdf"));
}

// Once the forms are used up, further characters are stroked in place
// between placed ones, and the file is still sound.
TEST_F(PdfExport, GlyphsPastTheLastFormAreStrokedInPlace) {
  for (int i = 0; i < 20001; ++i)
    elem_new_text(0, 1, 0, 0, 0, i * 1e-5, 2.5, 1, 0.1, 1.5, "L", 0, "Simpel", TEXT_LEFT);
  elem_new_text(0, 1, 0, 0, 0, 1.0, 2.5, 1, 0.1, 1.5, "LL", 0, "Simpel", TEXT_LEFT);
  const std::string bytes = pdf("many.pdf");
  const Stream s = stream_of(bytes);
  ASSERT_TRUE(s.inflated);
  EXPECT_EQ(count_of(bytes, "/Subtype /Form"), 20000);
  EXPECT_EQ(count_of(s.content, " Do\n"), 20000);
  // The letter L is two strokes.
  EXPECT_EQ(count_of(s.content, "S\n"), 2 * 3);
  EXPECT_EQ(count_of(s.content, "q\n"), count_of(s.content, "Q\n"));
  EXPECT_TRUE(qpdf_accepts("many.pdf"));
}

// Numbers come out with "." under a locale whose decimal point is a comma.
TEST_F(PdfExport, ADecimalCommaLocaleStillWritesPoints) {
  elem_new_line(0, 0, 0, 0, 0, 1.5, 0.25);
  DecimalCommaLocale comma;
  ASSERT_TRUE(comma.active()) << "no locale with a decimal comma could be had";
  const std::string bytes = pdf("comma.pdf");
  EXPECT_NE(bytes.find("/MediaBox [0 0 46.89 11.46]\n"), std::string::npos);
  EXPECT_NE(stream_of(bytes).content.find("2.18 2.18 m\n44.7 9.27 l\nS\n"), std::string::npos);
}

}  // namespace
