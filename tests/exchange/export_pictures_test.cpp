// What the outside tools draw of the 2D exports, held to reference pictures:
// however compactly a writer puts the drawing down, the picture on paper
// stays the same. Where strokes of one colour overlap, a renderer that
// smooths edges may shade an edge pixel a little differently when they
// come in one path rather than one by one; a stroke that moved, vanished or
// changed colour changes pixels by far more than the tolerance.

#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "exchange/pdf_writer.h"
#include "exchange/ps_writer.h"
#include "exchange/svg_writer.h"
#include "export_fixture.h"
#include "support/reference_picture.h"

namespace {

// Every channel of an edge pixel may differ by this much. Every tool smooths
// edges (Ghostscript when asked), so a stroke that moved by a hundredth of
// a point shades an edge pixel a little, where without smoothing the pixel
// would flip.
constexpr int EDGE_TOLERANCE = 100;

using Surface = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;

class ExportPictures : public ExportTest {
 protected:
  // Exports all objects in graphics mode with the command, renders the file
  // with the format's tool at 72 dots per inch and compares the picture.
  void check(void (*command)(), bool asks_text_mode, const std::string& name,
             const std::vector<std::string>& render) {
    ui.answers = asks_text_mode ? std::deque<int>{1, 1} : std::deque<int>{1};
    ui.paths = {file(name)};
    command();
    const std::string png = output(name + ".png");
    std::filesystem::copy_file(file(name), output(name), std::filesystem::copy_options::overwrite_existing);
    std::vector<std::string> argv = render;
    for (std::string& a : argv) {
      if (a == "IN") a = file(name);
      if (a == "OUT") a = png;
      if (a == "OUT_STEM") a = png.substr(0, png.size() - 4);
    }
    const ToolRun run = tool(argv);
    ASSERT_EQ(run.status, 0) << run.out;
    Surface picture(cairo_image_surface_create_from_png(png.c_str()), cairo_surface_destroy);
    ASSERT_EQ(cairo_surface_status(picture.get()), CAIRO_STATUS_SUCCESS) << png;
    const std::string reference = KAVRO_TEST_DATA_DIR "/picture_" + name + ".png";
    // Outside the tolerance, the exact comparison fails and leaves the
    // picture and the diff to be looked at.
    if (!within_tolerance(picture.get(), reference)) {
      EXPECT_TRUE(picture_matches_reference(picture.get(), reference, KAVRO_TEST_OUTPUT_DIR));
    }
  }
  static bool within_tolerance(cairo_surface_t* picture, const std::string& reference) {
    if (std::getenv("KAVRO_UPDATE_REFERENCES")) return false;
    Surface ref(cairo_image_surface_create_from_png(reference.c_str()), cairo_surface_destroy);
    if (cairo_surface_status(ref.get()) != CAIRO_STATUS_SUCCESS) return false;
    const int w = cairo_image_surface_get_width(picture), h = cairo_image_surface_get_height(picture);
    if (w != cairo_image_surface_get_width(ref.get()) || h != cairo_image_surface_get_height(ref.get()))
      return false;
    cairo_surface_flush(picture);
    cairo_surface_flush(ref.get());
    for (int y = 0; y < h; ++y) {
      const unsigned char* a =
          cairo_image_surface_get_data(picture) + y * cairo_image_surface_get_stride(picture);
      const unsigned char* b =
          cairo_image_surface_get_data(ref.get()) + y * cairo_image_surface_get_stride(ref.get());
      for (int x = 0; x < 4 * w; ++x)
        if (x % 4 != 3 && std::abs(a[x] - b[x]) > EDGE_TOLERANCE) return false;
    }
    return true;
  }
  void all_formats(const std::string& stem) {
    check(pdf_export, true, stem + ".pdf", {"pdftoppm", "-png", "-r", "72", "-singlefile", "IN", "OUT_STEM"});
    check(eps_export, true, stem + ".eps",
          {"gs", "-q", "-dBATCH", "-dNOPAUSE", "-dSAFER", "-dEPSCrop", "-sDEVICE=png16m", "-r72",
           "-dGraphicsAlphaBits=4", "-o", "OUT", "IN"});
    check(svg_export, false, stem + ".svg",
          {"rsvg-convert", "-d", "90", "-p", "90", "-b", "white", "IN", "-o", "OUT"});
  }
};

TEST_F(ExportPictures, EveryKindDrawsAsBefore) {
  every_kind_drawing();
  all_formats("every_kind");
}

// Texts of a stroke font, which the writers draw glyph by glyph: several
// heights, angles, alignments and pens, lines of several characters that
// come back, a dot, Latin-1 letters, a dashed pen, and a dimension's
// figures.
TEST_F(ExportPictures, TextsDrawAsBefore) {
  elem_new_text(0, 1, 0, 0, 0, 0, 3.5, 1, 0.1, 1.5,
                "Grundriss 1.OG\nK\xFC"
                "che 12,5 m\xB2",
                0, "Simpel", TEXT_LEFT);
  elem_new_text(0, 2, 0, 6, 1, 0.5236, 2.5, 0.8, 0.2, 1.5, "ABBA abba 0.123", 0, "Simpel", TEXT_CENTRED);
  elem_new_text(0, 3, 2, 8, -1, 1.5708, 5, 1.2, 0.1, 1.2, "W-i.l", 0, "Simpel", TEXT_RIGHT);
  elem_new_text(0, 4, 0, 0, -2, -0.3, 1.8, 1, 0.1, 1.5, "( ) [ ] / \\ % . , ; :", 0, "Simpel", TEXT_LEFT);
  DimPoint d[3];
  const double xs[3] = {0, 3.25, 7.5};
  for (int i = 0; i < 3; ++i) {
    d[i].line_point = Point2{xs[i], -4, 0};
    d[i].measured = Point2{xs[i], -3, 0};
    d[i].segment_length = i > 0 ? xs[i] - xs[i - 1] : 0.0;
  }
  elem_new_dim(0, 2, 0, 1, 0, 0, 2.5, 1, 0.1, 0.5, 1, "Simpel", 1, DIM_MARK_ARROW, DIM_CHAIN, 3, d);
  all_formats("texts");
}

TEST_F(ExportPictures, PrimitivesDrawAsBefore) {
  primitives_drawing();
  all_formats("primitives");
}

}  // namespace
