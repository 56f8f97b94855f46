// SVG export: the document as written, its canvas and y axis, the shapes of
// arcs and fills, and what xmllint and librsvg make of it.

#include "exchange/svg_writer.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "export_fixture.h"
#include "support/golden_file.h"

namespace {

class SvgExport : public ExportTest {
 protected:
  // SVG of all objects into name; returns the file's text.
  std::string svg(const std::string& name) {
    ui.answers = {1};
    ui.paths = {file(name)};
    svg_export();
    EXPECT_TRUE(nothing_marked());
    return read_file(file(name));
  }
  // The document checked by xmllint and drawn by librsvg, at 90 pixels to
  // the inch so that a pixel of the view box is one of the picture, into a
  // PNG in the test output folder, whose path it returns.
  std::string checked_and_drawn(const std::string& name) {
    const ToolRun lint = tool({"xmllint", "--noout", "--nonet", file(name)});
    EXPECT_EQ(lint.status, 0) << lint.out;
    EXPECT_EQ(lint.out, "");
    const std::string png = output(name + ".png");
    const ToolRun draw = tool({"rsvg-convert", "-d", "90", "-p", "90", "-b", "white", file(name), "-o", png});
    EXPECT_EQ(draw.status, 0) << draw.out;
    return png;
  }
};

// The colour of a pixel of a PNG as 0xRRGGBB.
uint32_t pixel(const std::string& png, int x, int y, int* w = nullptr, int* h = nullptr) {
  cairo_surface_t* s = cairo_image_surface_create_from_png(png.c_str());
  uint32_t v = 0xDEAD;
  if (cairo_surface_status(s) == CAIRO_STATUS_SUCCESS) {
    cairo_surface_flush(s);
    if (w) *w = cairo_image_surface_get_width(s);
    if (h) *h = cairo_image_surface_get_height(s);
    const unsigned char* data = cairo_image_surface_get_data(s);
    v = *reinterpret_cast<const uint32_t*>(data + y * cairo_image_surface_get_stride(s) + 4 * x) & 0xFFFFFF;
  }
  cairo_surface_destroy(s);
  return v;
}

// Whether any pixel in the box (ends included) is not white.
bool any_ink(const std::string& png, int x0, int y0, int x1, int y1) {
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x)
      if (pixel(png, x, y) != 0xFFFFFFu) return true;
  return false;
}

TEST_F(SvgExport, DocumentAsWritten) {
  primitives_drawing();
  EXPECT_TRUE(golden_text_matches(svg("primitives.svg"), KAVRO_TEST_DATA_DIR "/svg_primitives.txt",
                                  KAVRO_TEST_OUTPUT_DIR));
  checked_and_drawn("primitives.svg");
}

// A 1 m line at 1:100 is 35.43 pixels of 1/90 inch; half of pen 0's 0.46
// pixels and 2 pixels more lie on every side; the document's size is the
// same in millimetres. y runs down from the top, so the line at the lowest
// y stands 2.23 pixels above the bottom edge.
TEST_F(SvgExport, CanvasAndAxes) {
  elem_new_line(0, 0, 0, 0, 0, 1, 0);
  const std::string text = svg("line.svg");
  EXPECT_NE(text.find("<svg width=\"11.259mm\" height=\"1.259mm\" viewBox=\"0 0 39.89 4.46\"\n"),
            std::string::npos);
  EXPECT_NE(text.find("<path d=\"M2.23 2.23l35.43 0\" class=\"s00\"/>"), std::string::npos);
  int w = 0, h = 0;
  pixel(checked_and_drawn("line.svg"), 0, 0, &w, &h);
  EXPECT_NEAR(w, 39.89, 1.0);
  EXPECT_NEAR(h, 4.46, 1.0);

  drawing_free();
  elem_new_line(0, 0, 0, 0, 0, 2, 1);
  EXPECT_NE(svg("slope.svg").find("<path d=\"M2.23 37.66l70.87-35.43\""), std::string::npos);
}

TEST_F(SvgExport, StrokeColoursAndDashes) {
  pens[1].r = 1;
  pens[1].g = 0.5;
  pens[1].b = 0;
  line_types[2].pairs = 2;
  line_types[2].dash[0] = 2;
  line_types[2].gap[0] = 1;
  line_types[2].dash[1] = 0.5;
  line_types[2].gap[1] = 1;
  elem_new_line(0, 1, 0, 0, 0, 1, 0);
  elem_new_line(0, 1, 2, 0, 1, 1, 1);
  Point2 sq[5] = {{0, 2, 0}, {1, 2, 0}, {1, 3, 0}, {0, 3, 0}, CONTOUR_END};
  elem_new_pattern(0, 0, 0, 0, 2, 0, 1, 0, 0, 0, 2, 0, 1, 5, sq, 0.2, 0.4, 1, PATTERN_FILLING);
  const std::string text = svg("colours.svg");
  // Every pen and line type has its rule; the two lines name theirs.
  EXPECT_EQ(lines_with(text, "stroke:#ff7f00;stroke-width:").size(), 8u);
  const auto solid = lines_with(text, ".s10{");
  ASSERT_EQ(solid.size(), 1u);
  EXPECT_EQ(solid[0].find("stroke-dasharray"), std::string::npos);
  const auto dashed = lines_with(text, ".s12{");
  ASSERT_EQ(dashed.size(), 1u);
  EXPECT_EQ(dashed[0].rfind(".s12{fill:none;stroke:#ff7f00;stroke-width:", 0), 0u);
  EXPECT_TRUE(dashed[0].ends_with("stroke-linejoin:round;stroke-dasharray:7.09 3.54 1.77 3.54;}"));
  EXPECT_EQ(lines_with(text, "class=\"s10\"/>").size(), 1u);
  EXPECT_EQ(lines_with(text, "class=\"s12\"/>").size(), 1u);
  EXPECT_NE(text.find("fill:#3366ff;fill-rule:evenodd;"), std::string::npos);
  view_options.all_black = 1;
  const std::string black = svg("black.svg");
  EXPECT_EQ(lines_with(black, "stroke:#000000;").size(),
            static_cast<std::size_t>(PEN_COUNT * LINE_TYPE_COUNT));
  EXPECT_NE(black.find("fill:#3366ff;"), std::string::npos);
}

// Arcs of one pen follow each other in one path, each a subpath moved to
// from the end of the one before (the letter of an arc that follows an arc
// left out, as a number's zero before its point): a whole circle or ellipse, turned or not,
// two halves closed where they began; a half circle with the large-arc
// flag, a quarter without. Just short of a whole turn: two halves, so the
// ends do not meet and the arc shows.
TEST_F(SvgExport, ArcsCirclesAndEllipsesShareAPath) {
  elem_new_arc(0, 0, 0, 0, 0, 1, 1, GEOM_TWO_PI, 0, 0);
  elem_new_arc(0, 0, 0, 3, 0, 1, 0.5, GEOM_TWO_PI, 0, 0);
  elem_new_arc(0, 0, 0, 6, 0, 1, 0.5, GEOM_TWO_PI, 0, 0.5);
  elem_new_arc(0, 0, 0, 0, 3, 1, 1, GEOM_PI, 0, 0);
  elem_new_arc(0, 0, 0, 3, 3, 1, 1, GEOM_PI / 2, 0, 0);
  elem_new_arc(0, 0, 0, 6, 3, 1, 0.5, GEOM_PI / 2, 0.2, 0.5);
  elem_new_arc(0, 0, 0, 9, 3, 1, 1, GEOM_TWO_PI - 1e-4, 0, 0);
  const std::string text = svg("arcs.svg");
  EXPECT_EQ(text.find("<circle"), std::string::npos);
  EXPECT_EQ(text.find("<ellipse"), std::string::npos);
  const auto shapes = lines_with(text, " class=\"s00\"/>");
  ASSERT_EQ(shapes.size(), 1u);
  // The page's left edge lies at x = -1 less half of pen 0 (6.5 mm) and 2
  // pixels, its top at y = 4 and as much more, 35.43 pixels to the metre:
  // the circle starts at (1, 0), 73.1 and 143.96 pixels in; the turned
  // ellipse at (6 + cos 0.5, sin 0.5), its half way point the opposite one.
  EXPECT_EQ(shapes[0].substr(0, shapes[0].find(" class")),
            "<path d=\"M73.1 143.96a35.43 35.43 0 1 0-70.87 0 35.43 35.43 0 1 0 70.87 0z"
            "m106.3 0a35.43 17.72 0 1 0-70.87 0 35.43 17.72 0 1 0 70.87 0z"
            "m101.96-16.98a35.43 17.72-28.65 1 0-62.19 33.97 35.43 17.72-28.65 1 0 62.19-33.97z"
            "m-208.26-89.32a35.43 35.43 0 1 0-70.87 0m177.17 0a35.43 35.43 0 0 0-35.44-35.43"
            "m135.09 15.7a35.43 17.72-28.65 0 0-43.29 7.87"
            "m156.23 11.86a35.43 35.43 0 0 0-70.86 0 35.43 35.43 0 0 0 70.86 .01\"");
  const std::string png = checked_and_drawn("arcs.svg");
  EXPECT_TRUE(any_ink(png, 353, 0, 360, 5));
  EXPECT_TRUE(any_ink(png, 353, 70, 360, 75));
}

// Strokes of one pen and line type share a path: a solid stroke that starts
// where the one before ended goes on from there, a dashed one starts its
// own subpath so its dash pattern starts afresh; another pen starts a new
// path. A line after a line, or after a move, needs no letter of its own. Pen 2 on the top edge, 0.89 pixels
// wide, sets the page: 2.44 pixels round the lines, which then stand 35.44 apart in hundredths.
TEST_F(SvgExport, StrokesOfOneStyleShareAPath) {
  line_types[1].pairs = 1;
  line_types[1].dash[0] = 2;
  line_types[1].gap[0] = 1;
  elem_new_line(0, 0, 0, 0, 0, 1, 0);
  elem_new_line(0, 0, 0, 1, 0, 1, 1);
  elem_new_line(0, 0, 0, 0, 1, 0, 0.5);
  elem_new_line(0, 0, 1, 0, 0, 1, 0);
  elem_new_line(0, 0, 1, 1, 0, 1, 1);
  elem_new_line(0, 2, 1, 1, 1, 0, 1);
  const auto paths = lines_with(svg("runs.svg"), "<path ");
  ASSERT_EQ(paths.size(), 3u);
  EXPECT_EQ(paths[0].substr(0, paths[0].find(" class")),
            "<path d=\"M2.44 37.88l35.44 0 0-35.44m-35.44 0 0 17.72\"");
  EXPECT_EQ(paths[1].substr(0, paths[1].find(" class")), "<path d=\"M2.44 37.88l35.44 0m0 0 0-35.44\"");
  EXPECT_EQ(paths[2].substr(0, paths[2].find(" class")), "<path d=\"M37.88 2.44l-35.44 0\"");
  checked_and_drawn("runs.svg");
}

// Every reader shows the drawing at its scale: a 10 m line at 1:100,
// rendered at 254 dots per inch (10 to the millimetre), is 100 mm long;
// its round caps add half the pen's width at each end, which the line's
// thickness measures.
TEST_F(SvgExport, TrueScaleInEveryReader) {
  drawing_scale = 100;
  elem_new_line(0, 0, 0, 0, 0, 10, 0);
  svg("scale.svg");
  const std::string png = output("scale.svg.png");
  const ToolRun draw =
      tool({"rsvg-convert", "-d", "254", "-p", "254", "-b", "white", file("scale.svg"), "-o", png});
  ASSERT_EQ(draw.status, 0) << draw.out;
  int w = 0, h = 0;
  pixel(png, 0, 0, &w, &h);
  int left = w, right = -1, top = h, bottom = -1;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (pixel(png, x, y) != 0xFFFFFFu) {
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
  ASSERT_GE(right, left) << "no ink";
  EXPECT_NEAR((right - left + 1) - (bottom - top + 1), 1000, 2);
}

// A filling with a hole is one path of two subpaths filled even-odd: the
// hole stays white.
TEST_F(SvgExport, AFillingWithAHole) {
  Point2 holed[10] = {{0, 0, 0},     {2, 0, 0},     {2, 2, 0},     {0, 2, 0},     CONTOUR_END,
                      {0.5, 0.5, 0}, {0.5, 1.5, 0}, {1.5, 1.5, 0}, {1.5, 0.5, 0}, CONTOUR_END};
  elem_new_pattern(0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 10, holed, 1, 0, 0, PATTERN_FILLING);
  const std::string text = svg("hole.svg");
  const auto paths = lines_with(text, "<path");
  ASSERT_EQ(paths.size(), 1u);
  EXPECT_EQ(paths[0],
            "<path d=\"M2,72.87 L72.87,72.87 L72.87,2 L2,2 z M19.72,55.15 L19.72,19.72 L55.15,19.72 "
            "L55.15,55.15 z \" style=\"stroke:none;fill:#ff0000;fill-rule:evenodd;\"/>");
  const std::string png = checked_and_drawn("hole.svg");
  EXPECT_EQ(pixel(png, 37, 37), 0xFFFFFFu);
  EXPECT_EQ(pixel(png, 10, 37), 0xFF0000u);
}

// Fillings of one colour that follow each other share a path while each
// lies clear of those before it; one that overlaps them starts a new path,
// since the even-odd rule would cut the overlap out; so do another colour
// and what comes after it.
TEST_F(SvgExport, FillingsOfOneColourApartShareAPath) {
  auto square = [](double x, double y, double r, double g, double b) {
    Point2 p[5] = {{x, y, 0}, {x + 1, y, 0}, {x + 1, y + 1, 0}, {x, y + 1, 0}, CONTOUR_END};
    elem_new_pattern(0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 5, p, r, g, b, PATTERN_FILLING);
  };
  square(0, 0, 1, 0, 0);
  square(2, 0, 1, 0, 0);
  square(4, 0, 1, 0, 0);
  square(0.5, 0.5, 1, 0, 0);
  square(6, 0, 0, 0, 1);
  square(8, 0, 1, 0, 0);
  const std::string text = svg("fills.svg");
  const auto paths = lines_with(text, "<path");
  ASSERT_EQ(paths.size(), 4u);
  EXPECT_EQ(count_of(paths[0], "M"), 3);
  EXPECT_NE(paths[0].find("fill:#ff0000;"), std::string::npos);
  EXPECT_EQ(count_of(paths[1], "M"), 1);
  EXPECT_NE(paths[2].find("fill:#0000ff;"), std::string::npos);
  EXPECT_EQ(count_of(paths[3], "M"), 1);
  // Where the first two squares overlap, (0.75, 0.75), 28 pixels in from
  // the left and from the top, both fill.
  const std::string png = checked_and_drawn("fills.svg");
  EXPECT_EQ(pixel(png, 28, 28), 0xFF0000u);
  EXPECT_EQ(pixel(png, 90, 40), 0xFF0000u);  // the second square
}

// The drawing of every kind is a well-formed document librsvg draws; the
// picture stays in the test output folder to be looked at.
TEST_F(SvgExport, EveryKindIsWellFormedAndDrawn) {
  every_kind_drawing();
  const std::string text = svg("every_kind.svg");
  EXPECT_GT(count_of(text, "<path "), 20);
  int w = 0, h = 0;
  pixel(checked_and_drawn("every_kind.svg"), 0, 0, &w, &h);
  EXPECT_GT(w, 500);
  EXPECT_GT(h, 400);
}

}  // namespace
