// The page of the PDF, SVG and EPS exports holds everything printed, with
// the margin the page adds, as the formats' own renderers draw the files;
// what is not printed does not widen it.

#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "exchange/dxf_writer.h"
#include "exchange/out_text.h"
#include "exchange/pdf_writer.h"
#include "exchange/ps_writer.h"
#include "exchange/svg_writer.h"
#include "export_fixture.h"
#include "model/files/load_save.h"
#include "support/test_records.h"
#include "support/wall_fixture.h"

namespace {

DimPoint at(double x, double y, double mx, double my, double length) {
  DimPoint p;
  p.line_point = Point2{x, y, 0};
  p.measured = Point2{mx, my, 0};
  p.segment_length = length;
  return p;
}

// A 10 x 8 m outline with a dimension chain outside each side, whose
// figures and terminators are the outermost ink, and a radius figure above
// everything.
void plan_with_outer_chains() {
  const double outline[5][2] = {{0, 0}, {10, 0}, {10, 8}, {0, 8}, {0, 0}};
  for (int i = 0; i < 4; ++i)
    elem_new_line(0, 1, 0, outline[i][0], outline[i][1], outline[i + 1][0], outline[i + 1][1]);
  auto chain = [](double direction, std::vector<DimPoint> points) {
    elem_new_dim(0, 0, 0, 2, 0, direction, 2.5, 1, 0.1, 0.5, 1, "Simpel", 0, DIM_MARK_LINE, DIM_CHAIN,
                 static_cast<int>(points.size()), points.data());
  };
  const double up = GEOM_PI / 2;
  chain(0, {at(0, -1.5, 0, 0, 0), at(4, -1.5, 4, 0, 4), at(10, -1.5, 10, 0, 6)});
  chain(0, {at(0, 9.5, 0, 8, 0), at(6, 9.5, 6, 8, 6), at(10, 9.5, 10, 8, 4)});
  chain(up, {at(-1.5, 0, 0, 0, 0), at(-1.5, 3, 0, 3, 3), at(-1.5, 8, 0, 8, 5)});
  chain(up, {at(11.5, 0, 10, 0, 0), at(11.5, 5, 10, 5, 5), at(11.5, 8, 10, 8, 3)});
  elem_new_arc(0, 0, 0, 5, 4, 2, 2, GEOM_TWO_PI, 0, 0);
  DimPoint radius[3] = {at(5, 4, 0, 0, 0), at(5, 6, 0, 0, 0), at(5, 10.5, 0, 0, 0)};
  elem_new_dim(0, 0, 0, 1, 0, up, 2.5, 1, 0.1, 0.5, 1, "Simpel", 1, DIM_MARK_ARROW, DIM_RADIUS, 3, radius);
}

// The box of the pixels that are not white in a PNG, and its size.
struct Ink {
  int width = 0, height = 0;
  int x0 = -1, y0 = -1, x1 = -1, y1 = -1;
};
Ink ink_of(const std::string& png) {
  Ink ink;
  cairo_surface_t* s = cairo_image_surface_create_from_png(png.c_str());
  if (cairo_surface_status(s) == CAIRO_STATUS_SUCCESS) {
    cairo_surface_flush(s);
    ink.width = cairo_image_surface_get_width(s);
    ink.height = cairo_image_surface_get_height(s);
    const unsigned char* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < ink.height; ++y)
      for (int x = 0; x < ink.width; ++x) {
        const uint32_t v = *reinterpret_cast<const uint32_t*>(data + y * stride + 4 * x) & 0xFFFFFF;
        if (v == 0xFFFFFF) continue;
        if (ink.x0 < 0 || x < ink.x0) ink.x0 = x;
        if (ink.y0 < 0) ink.y0 = y;
        ink.x1 = std::max(ink.x1, x);
        ink.y1 = y;
      }
  }
  cairo_surface_destroy(s);
  return ink;
}

// What a format's renderer drew of a page, in points: the margin between
// the ink and each edge of the page, and the size of the ink.
struct PageInk {
  double margin[4] = {};  // left, right, top, bottom
  double width = 0.0, height = 0.0;
};

class ExportPage : public ExportTest {
 protected:
  // Exports every element to PDF and EPS (and, outside the text mode, SVG)
  // as name.pdf, ..., draws each page with the format's own renderer and
  // checks that the ink stands the page's margin from every edge: nothing
  // cut, nothing else on the page. Returns what each renderer drew, PDF
  // first, then EPS, then SVG.
  std::vector<PageInk> expect_page_fits_ink(const std::string& name, bool text_mode = false) {
    const int texts = text_mode ? 2 : 1;
    // PDF and EPS at 144 dpi: 2 pixels a point.
    ui.answers = {1, texts};
    ui.paths = {file(name + ".pdf")};
    pdf_export();
    ui.answers = {1, texts};
    ui.paths = {file(name + ".eps")};
    eps_export();
    const ToolRun pdf =
        tool({"pdftoppm", "-r", "144", "-png", "-singlefile", file(name + ".pdf"), output(name + "_pdf")});
    EXPECT_EQ(pdf.status, 0) << pdf.out;
    const ToolRun eps =
        tool({"gs", "-q", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-dEPSCrop", "-r144", "-sDEVICE=png16m",
              "-sOutputFile=" + output(name + "_eps.png"), file(name + ".eps")});
    EXPECT_EQ(eps.status, 0) << eps.out;
    const Ink on_pdf = ink_of(output(name + "_pdf.png"));
    if (on_pdf.width <= 0) {
      ADD_FAILURE() << "no PDF page";
      return {};
    }
    struct Case {
      const char* what;
      Ink ink;
      double px_per_pt;
    };
    std::vector<Case> cases = {
        {"pdf", on_pdf, 2.0},
        {"eps", ink_of(output(name + "_eps.png")), 2.0},
    };
    if (!text_mode) {
      ui.answers = {1};
      ui.paths = {file(name + ".svg")};
      svg_export();
      const ToolRun svg =
          tool({"rsvg-convert", "-b", "white", "-o", output(name + "_svg.png"), file(name + ".svg")});
      EXPECT_EQ(svg.status, 0) << svg.out;
      // SVG: pixels a point from the widths of the same page.
      const Ink on_svg = ink_of(output(name + "_svg.png"));
      cases.push_back({"svg", on_svg, 2.0 * on_svg.width / on_pdf.width});
    }
    std::vector<PageInk> drawn;
    for (const Case& c : cases) {
      SCOPED_TRACE(c.what);
      PageInk& d = drawn.emplace_back();
      if (c.ink.x0 < 0) {
        ADD_FAILURE() << "no ink";
        continue;
      }
      // Each margin is the 2 points (SVG: 2 pixels, 1.6 points) the page
      // adds beyond the reach of the pens, less a pixel of smoothing; the EPS
      // box is whole points, rounded outward, so its right and top margins
      // may be up to a point wider. Renderers place the glyphs of a text font
      // to a pixel: one more.
      const double least = text_mode || std::string(c.what) == "svg" ? 0.75 : 1.25;
      const double most = std::string(c.what) == "eps" || text_mode ? 3.0 : 2.5;
      const double margins[4] = {c.ink.x0 / c.px_per_pt, (c.ink.width - 1 - c.ink.x1) / c.px_per_pt,
                                 c.ink.y0 / c.px_per_pt, (c.ink.height - 1 - c.ink.y1) / c.px_per_pt};
      const char* sides[4] = {"left", "right", "top", "bottom"};
      for (int i = 0; i < 4; ++i) {
        d.margin[i] = margins[i];
        EXPECT_GE(margins[i], least) << sides[i];
        EXPECT_LE(margins[i], most) << sides[i];
      }
      d.width = (c.ink.x1 - c.ink.x0 + 1) / c.px_per_pt;
      d.height = (c.ink.y1 - c.ink.y0 + 1) / c.px_per_pt;
    }
    return drawn;
  }
};

TEST_F(ExportPage, NothingIsCutAtThePageEdge) {
  plan_with_outer_chains();
  expect_page_fits_ink("plan");
}

// Elements whose points, hull or frame reach beyond their ink, each alone:
// the page is the ink's and the margin's, not the control points', the
// unprinted outline's or an empty text's frame.
TEST_F(ExportPage, ThePageIsTheInkOfEachKind) {
  struct Case {
    const char* name;
    void (*build)();
  };
  const Case cases[] = {
      {"spline", [] { elem_new_spline(0, 0, 0, 0, 0, 1, 10, 3, -10, 4, 0); }},
      {"spline_loop", [] { elem_new_spline(0, 2, 0, 0, 0, -3, 2, 7, 2, 4, 0); }},
      {"room",
       [] {
         RoomElem room = test_room(2, 3, {{0, 0, 0}, {8, 0, 0}, {8, 6, 0}, {0, 6, 0}, CONTOUR_END});
         room.show_number = room.show_area = 1;
         room.number = "1.01";
         elem_append(room);
       }},
      {"empty_text",
       [] {
         elem_new_line(0, 0, 0, 0, 0, 3, 0.5);
         elem_new_text(0, 0, 0, 20, 20, 0.5, 5, 1, 0.1, 1.5, "", 0, "Simpel", TEXT_LEFT);
         elem_new_text(0, 0, 0, -20, -20, 0, 5, 1, 0.1, 1.5, "  ", 0, "Simpel", TEXT_RIGHT);
       }},
      {"turned_text",
       [] {
         elem_new_text(0, 0, 0, 1, 1, 0.6, 5, 0.8, 0.1, 1.5, "Turned (gjy)\nsecond line", 0, "Simpel",
                       TEXT_CENTRED);
       }},
      {"ellipse", [] { elem_new_arc(0, 0, 0, 1, 1, 3, 1, 4.0, 0.5, 0.3); }},
      {"radius",
       [] {
         elem_new_arc(0, 0, 0, 5, 4, 2, 2, GEOM_TWO_PI, 0, 0);
         DimPoint radius[3] = {at(5, 4, 0, 0, 0), at(5 + 1.2, 4 + 1.6, 0, 0, 0), at(8, 8, 0, 0, 0)};
         elem_new_dim(0, 0, 0, 1, 0, 0, 2.5, 1, 0.1, 0.5, 1, "Simpel", 1, DIM_MARK_ARROW, DIM_RADIUS, 3,
                      radius);
       }},
      {"door",
       [] {
         WallElem* w = new_axis_wall(0, 0, 5, 0, 0.12, "brick");
         cut_axis_opening(w, OPENING_DOOR, 1.5, 2.5, 0, 2);
       }},
      {"negative_sweeps",
       [] {
         elem_new_arc(0, 0, 0, 0, 0, 1, 1, -4.0, 0.3, 0);
         elem_new_arc(0, 0, 0, 4, 0, 2, 1, -2.5, -1.0, 0.4);
         elem_new_arc(0, 0, 0, 0, -4, 1, 1, -GEOM_TWO_PI, 0, 0);
       }},
      // Wide pens: the hatch lines, a circle and a curve reach half their
      // pen beyond their lines; a thin line beside them does not.
      {"wide_pens",
       [] {
         pens[4].width = 1.5;
         pens[5].width = 1.0;
         Point2 p[6] = {{0, 0, 0}, {4, 0, 0}, {4, 3, 0}, {0, 3, 0}, {0, 0, 0}, CONTOUR_END};
         elem_new_pattern(0, 4, 0, 0, 0, 0.785, 0.25, 4, 0, 0, 0, 2.356, 0.25, 6, p, 0, 0, 0,
                          PATTERN_TWO_LINES);
         elem_new_arc(0, 5, 0, 6, 1.5, 1, 1, GEOM_TWO_PI, 0, 0);
         elem_new_spline(0, 4, 0, 7.5, 0, 8, 4, 9, -1, 9.5, 3);
         elem_new_line(0, 0, 0, -0.1, 3.2, 9.6, 3.2);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    drawing_reset();
    c.build();
    expect_page_fits_ink(c.name);
  }
}

// The count of pixels that differ between two pictures of one size by more
// than the smoothing of an edge drawn the other way round does; -1 when they
// cannot be compared.
int differing_pixels(const std::string& a, const std::string& b) {
  cairo_surface_t* sa = cairo_image_surface_create_from_png(a.c_str());
  cairo_surface_t* sb = cairo_image_surface_create_from_png(b.c_str());
  int n = -1;
  if (cairo_surface_status(sa) == CAIRO_STATUS_SUCCESS && cairo_surface_status(sb) == CAIRO_STATUS_SUCCESS &&
      cairo_image_surface_get_width(sa) == cairo_image_surface_get_width(sb) &&
      cairo_image_surface_get_height(sa) == cairo_image_surface_get_height(sb)) {
    n = 0;
    const int w = cairo_image_surface_get_width(sa), h = cairo_image_surface_get_height(sa);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const auto at = [&](cairo_surface_t* s) {
          return *reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(s) +
                                                    y * cairo_image_surface_get_stride(s) + 4 * x) &
                 0xFFFFFF;
        };
        const uint32_t pa = at(sa), pb = at(sb);
        for (int shift = 0; shift < 24; shift += 8)
          if (std::abs(static_cast<int>((pa >> shift) & 255) - static_cast<int>((pb >> shift) & 255)) > 64) {
            ++n;
            break;
          }
      }
  }
  cairo_surface_destroy(sa);
  cairo_surface_destroy(sb);
  return n;
}

// An arc whose sweep is negative runs clockwise from its start: every
// format draws it as the arc from its end the other way round, circles,
// ellipse arcs, more than half a turn and a whole turn alike.
TEST_F(ExportPage, NegativeSweepsDrawAsTheirTwins) {
  struct Arc {
    double cx, cy, rx, ry, sweep, start, rotation;
  };
  const Arc arcs[] = {
      {0, 0, 1, 1, -4.0, 0.3, 0},        {4, 0, 2, 1, -2.5, -1.0, 0.4},
      {0, -4, 1, 1, -GEOM_TWO_PI, 0, 0}, {4, -4, 1.5, 0.8, -GEOM_TWO_PI, 1, 0.3},
      {8, 0, 1, 1, -0.5, -7.0, 0},       {8, -4, 1, 0.5, -1.2, 2.0, -0.2},
  };
  for (const bool twin : {false, true}) {
    drawing_reset();
    for (const Arc& a : arcs)
      if (twin)
        elem_new_arc(0, 0, 0, a.cx, a.cy, a.rx, a.ry, -a.sweep, a.start + a.sweep, a.rotation);
      else
        elem_new_arc(0, 0, 0, a.cx, a.cy, a.rx, a.ry, a.sweep, a.start, a.rotation);
    expect_page_fits_ink(twin ? "sweep_twin" : "sweep_negative");
  }
  for (const char* format : {"pdf", "eps", "svg"}) {
    SCOPED_TRACE(format);
    const std::string name = std::string("_") + format + ".png";
    EXPECT_EQ(differing_pixels(output("sweep_negative" + name), output("sweep_twin" + name)), 0);
  }
}

// In the text mode the PDF and the EPS write texts in the standard font: the
// page holds the text as written, whatever its size, angle, alignment,
// lines, letters and own font, and both formats draw it at one size.
TEST_F(ExportPage, TextModePageIsTheWrittenText) {
  struct Case {
    const char* name;
    double height, angle, width_factor;
    const char* text;
    const char* font;
    uint8_t alignment;
  };
  const Case cases[] = {
      {"wide_letters", 5, 0, 1, "MMMMWWWW mmww", "Simpel", TEXT_LEFT},
      {"large", 50, 0, 1, "MMMMWWWW mmww", "Simpel", TEXT_LEFT},
      {"small_right", 1.8, 0, 1, "Jqy(1)", "Rund", TEXT_RIGHT},
      {"turned_centred", 5, 0.6, 1.3, "Turned (gjy)\nsecond line", "Freihand", TEXT_CENTRED},
      {"upside_down", 3.5, GEOM_PI, 0.8, "K\xfc\x63he \xe4\xf6\xdf 'a-b'", "SimpelProp", TEXT_LEFT},
      {"upright_fitted", 4, GEOM_PI / 2, 1, "fit\ttab\n  blanks  ", "Simpel", TEXT_JUSTIFIED},
      {"no_such_font", 5, -0.3, 1, "Apf", "Nowhere", TEXT_RIGHT},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    drawing_reset();
    elem_new_text(0, 0, 0, 1, 2, c.angle, c.height, c.width_factor, 0.1, 1.5, c.text, 6, c.font, c.alignment);
    const std::vector<PageInk> drawn = expect_page_fits_ink(std::string("text_") + c.name, true);
    ASSERT_EQ(drawn.size(), 2u);
    // A pixel of smoothing at each end, and the EPS box's rounding.
    EXPECT_NEAR(drawn[1].width, drawn[0].width, 1.0);
    EXPECT_NEAR(drawn[1].height, drawn[0].height, 1.0);
  }
  // Dimension figures and room labels are texts too.
  drawing_reset();
  every_kind_drawing();
  expect_page_fits_ink("text_every_kind", true);
}

// The DXF header's box is that of the entities written: the spline's
// curve, not the guide line or the camera, which are not written.
TEST_F(ExportPage, DxfExtentsAreThoseOfTheEntities) {
  elem_new_line(0, 0, 0, 0, 0, 4, 1);
  elem_new_line(0, PEN_GUIDE, 0, -2, -3.5, 5, -3.5);
  elem_new_spline(0, 1, 0, 0, 0, 1, 10, 3, -10, 4, 0);
  elem_new_camera(0, 0, 0, 0, -12, 2, 0, 0, 2, 50, 0);
  mark_all();
  StringOut header, entities;
  DxfBox box;
  dxf_write_entities_2d(entities, nullptr, nullptr, &box);
  dxf_write_header(header, box);
  std::istringstream in(entities.text());
  double lo[2] = {1e9, 1e9}, hi[2] = {-1e9, -1e9};
  int lines = 0;
  for (std::string code, value; std::getline(in, code) && std::getline(in, value);) {
    const int axis = code == "10" || code == "11" ? 0 : code == "20" || code == "21" ? 1 : -1;
    if (axis < 0) continue;
    lo[axis] = std::min(lo[axis], std::stod(value));
    hi[axis] = std::max(hi[axis], std::stod(value));
    ++lines;
  }
  ASSERT_GT(lines, 8);
  const std::string& text = header.text();
  double ext[4] = {};
  const std::size_t min_at = text.find("$EXTMIN"), max_at = text.find("$EXTMAX");
  ASSERT_NE(min_at, std::string::npos);
  ASSERT_NE(max_at, std::string::npos);
  ASSERT_EQ(std::sscanf(text.c_str() + min_at, "$EXTMIN\n 10\n%lf\n 20\n%lf", &ext[0], &ext[1]), 2);
  ASSERT_EQ(std::sscanf(text.c_str() + max_at, "$EXTMAX\n 10\n%lf\n 20\n%lf", &ext[2], &ext[3]), 2);
  // Exactly the box of what is written: the spline's polyline, no guide
  // line at -3.5, no eye at -12.
  EXPECT_NEAR(ext[0], lo[0], 1e-5);
  EXPECT_NEAR(ext[1], lo[1], 1e-5);
  EXPECT_NEAR(ext[2], hi[0], 1e-5);
  EXPECT_NEAR(ext[3], hi[1], 1e-5);
  EXPECT_GT(ext[1], -2.9);
}

// In 3D the entities are the faces alone: the header's box is theirs, not
// that of a line, a text or a camera beside them.
TEST_F(ExportPage, DxfExtentsIn3dAreThoseOfTheFaces) {
  Point3 v[4] = {{1, 2, 0, 0}, {4, 2, 0, 0}, {4, 5, 3, 0}, {1, 5, 3, 0}};
  const int32_t sizes[1] = {4};
  const int32_t idx[4] = {0, 1, 2, 3};
  elem_new_mesh(0, 0, 0, 4, 1, sizes, v, idx, "Default", 0);
  elem_new_line(0, 0, 0, -20, -20, 30, 30);
  elem_new_text(0, 0, 0, 40, 40, 0, 5, 1, 0.1, 1.5, "beside", 0, "Simpel", TEXT_LEFT);
  elem_new_camera(0, 0, 0, 0, -12, 2, 0, 0, 2, 50, 0);
  mark_all();
  StringOut header, entities;
  DxfBox box;
  dxf_write_entities_3d(entities, &box);
  dxf_write_header(header, box, true);
  const std::string& text = header.text();
  double ext[4] = {};
  const std::size_t min_at = text.find("$EXTMIN"), max_at = text.find("$EXTMAX");
  ASSERT_NE(min_at, std::string::npos);
  ASSERT_NE(max_at, std::string::npos);
  ASSERT_EQ(std::sscanf(text.c_str() + min_at, "$EXTMIN\n 10\n%lf\n 20\n%lf", &ext[0], &ext[1]), 2);
  ASSERT_EQ(std::sscanf(text.c_str() + max_at, "$EXTMAX\n 10\n%lf\n 20\n%lf", &ext[2], &ext[3]), 2);
  EXPECT_EQ(ext[0], 1);
  EXPECT_EQ(ext[1], 2);
  EXPECT_EQ(ext[2], 4);
  EXPECT_EQ(ext[3], 5);
}

// The DXF header's extents reach over the figures of the chain left of
// the plan and the terminators below it, not only its dimension line.
TEST_F(ExportPage, DxfExtentsHoldTheFigures) {
  plan_with_outer_chains();
  ui.paths = {file("plan.kav")};
  ASSERT_EQ(kavfile_save_drawing(0), 1);
  const ToolRun run = tool({KAVRO_CONVERT_TOOL, file("plan.kav"), file("plan.dxf")});
  ASSERT_EQ(run.status, 0) << run.out;
  const std::string dxf = read_file(file("plan.dxf"));
  double x = 0, y = 0;
  const std::size_t at = dxf.find("$EXTMIN");
  ASSERT_NE(at, std::string::npos);
  ASSERT_EQ(std::sscanf(dxf.c_str() + at, "$EXTMIN\n 10\n%lf\n 20\n%lf", &x, &y), 2) << dxf.substr(at, 60);
  EXPECT_LT(x, -1.5 - 0.2);  // the figures stand left of the dimension line at -1.5
  EXPECT_LT(y, -1.5);        // the terminators cross the line at -1.5
}

// Cameras, lights and guide lines are not printed: the EPS box is that of
// the one printed line, as Ghostscript measures the ink.
TEST_F(ExportPage, EpsBoxHoldsOnlyWhatIsPrinted) {
  elem_new_line(0, 0, 0, 0, 0, 1, 0);
  elem_new_camera(0, 0, 0, 20, 20, 2, 15, 15, 2, 50, 0);
  elem_new_light(0, 0, 0, 0, 0, 1, 30, 0.5, -20, -20, 3, -15, -15, 0, 1, 1, 1);
  elem_new_line(0, PEN_GUIDE, 0, -30, 5, 30, 5);
  ui.answers = {1, 1};
  ui.paths = {file("line.eps")};
  eps_export();
  const std::string text = read_file(file("line.eps"));
  // 1 m at 1:100 is 28.35 points, pen 0 of 0.13 mm 0.37 points wide, and
  // the page 2 points more on every side: 32.72 by 4.37, rounded up.
  EXPECT_NE(text.find("\n%%BoundingBox: 0 0 33 5\n"), std::string::npos) << text.substr(0, 300);
  const GsBox bbox = ghostscript_box("line.eps");
  EXPECT_EQ(bbox.run.status, 0) << bbox.run.out;
  ASSERT_EQ(bbox.found, 4) << bbox.run.out;
  EXPECT_NEAR(bbox.x0, 2.0, 0.5);
  EXPECT_NEAR(bbox.x1, 30.72, 0.5);
}

}  // namespace
