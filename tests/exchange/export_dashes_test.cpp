// Dashed curves look dashed in every format: an ellipse, an ellipse arc and
// the rings of a text wider than high leave as much less ink than their
// solid selves in PostScript printing and EPS as in PDF and SVG, as the
// formats' own renderers draw them.

#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "exchange/pdf_writer.h"
#include "exchange/ps_writer.h"
#include "exchange/svg_writer.h"
#include "export_fixture.h"

namespace {

// The count of pixels that are not white in a PNG; -1 when it cannot be read.
long ink_pixels(const std::string& png) {
  cairo_surface_t* s = cairo_image_surface_create_from_png(png.c_str());
  long n = -1;
  if (cairo_surface_status(s) == CAIRO_STATUS_SUCCESS) {
    n = 0;
    cairo_surface_flush(s);
    const int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
    const int stride = cairo_image_surface_get_stride(s);
    const unsigned char* data = cairo_image_surface_get_data(s);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        if ((*reinterpret_cast<const uint32_t*>(data + y * stride + 4 * x) & 0xFFFFFF) != 0xFFFFFF) ++n;
  }
  cairo_surface_destroy(s);
  return n;
}

class ExportDashes : public ExportTest {
 protected:
  // The ink each format leaves of the drawing, in the order PostScript
  // printing, EPS, PDF, SVG, each drawn at 144 dots per inch.
  std::vector<long> ink_in_every_format(const std::string& name) {
    std::vector<long> ink;
    // Printing at the drawing's scale, the sheet's corner well below and
    // left of the drawing.
    print_settings.scale = drawing_scale;
    ui.answers = {2};
    ui.paths = {file(name + ".ps")};
    ps_print_at(-2, -2);
    ui.answers = {1, 1};
    ui.paths = {file(name + ".eps")};
    eps_export();
    ui.answers = {1, 1};
    ui.paths = {file(name + ".pdf")};
    pdf_export();
    ui.answers = {1};
    ui.paths = {file(name + ".svg")};
    svg_export();
    const std::vector<std::vector<std::string>> renders = {
        {"gs", "-q", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-r144", "-sDEVICE=png16m",
         "-sOutputFile=" + output(name + "_ps.png"), file(name + ".ps")},
        {"gs", "-q", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-dEPSCrop", "-r144", "-sDEVICE=png16m",
         "-sOutputFile=" + output(name + "_eps.png"), file(name + ".eps")},
        {"pdftoppm", "-r", "144", "-png", "-singlefile", file(name + ".pdf"), output(name + "_pdf")},
        {"rsvg-convert", "-d", "144", "-p", "144", "-b", "white", "-o", output(name + "_svg.png"),
         file(name + ".svg")},
    };
    for (const std::vector<std::string>& argv : renders) {
      const ToolRun run = tool(argv);
      EXPECT_EQ(run.status, 0) << run.out;
    }
    for (const char* format : {"ps", "eps", "pdf", "svg"})
      ink.push_back(ink_pixels(output(name + "_" + format + ".png")));
    return ink;
  }
};

TEST_F(ExportDashes, CurvesAreDashedAlikeInEveryFormat) {
  // 4 mm dashes and 2 mm gaps, longer than the chords of the curves: about
  // two thirds of the ink of the solid line.
  line_types[1].pairs = 1;
  line_types[1].dash[0] = 4.0;
  line_types[1].gap[0] = 2.0;
  struct Case {
    const char* name;
    void (*build)(uint8_t line_type);
  };
  const Case cases[] = {
      // An ellipse, an ellipse arc and one of negative sweep, side by side.
      {"ellipses",
       [](uint8_t lt) {
         elem_new_arc(0, 0, lt, 3, 2, 1.5, 0.8, GEOM_TWO_PI, 0, 0.3);
         elem_new_arc(0, 0, lt, 7, 2, 1.5, 0.8, 4.0, -0.5, -0.2);
         elem_new_arc(0, 0, lt, 11, 2, 1.5, 0.8, -4.0, 3.5, 0.1);
       }},
      // The copyright and registered signs are rings round a letter.
      {"rings",
       [](uint8_t lt) {
         elem_new_text(0, 0, lt, 0, 0, 0, 30, 1.3, 0.1, 1.5, "\xa9\xae", 0, "Simpel", TEXT_LEFT);
       }},
  };
  const char* formats[] = {"ps", "eps", "pdf", "svg"};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    drawing_reset();
    c.build(0);
    const std::vector<long> solid = ink_in_every_format(std::string(c.name) + "_solid");
    drawing_reset();
    c.build(1);
    const std::vector<long> dashed = ink_in_every_format(std::string(c.name) + "_dashed");
    ASSERT_EQ(solid.size(), 4u);
    ASSERT_EQ(dashed.size(), 4u);
    std::vector<double> share;
    for (std::size_t i = 0; i < 4; ++i) {
      ASSERT_GT(solid[i], 0) << formats[i];
      share.push_back(static_cast<double>(dashed[i]) / static_cast<double>(solid[i]));
    }
    for (std::size_t i = 0; i < 4; ++i) {
      SCOPED_TRACE(formats[i]);
      EXPECT_LT(share[i], 0.85);
      // PDF as the measure: every format leaves the same share of ink.
      EXPECT_NEAR(share[i], share[2], 0.06);
    }
  }
}

}  // namespace
