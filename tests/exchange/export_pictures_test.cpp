// What the outside tools draw of the 2D exports, held to reference pictures
// pixel for pixel: however compactly a writer puts the drawing down, the
// picture on paper stays the same.

#include <cairo.h>
#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "exchange/pdf_writer.h"
#include "exchange/ps_writer.h"
#include "exchange/svg_writer.h"
#include "export_fixture.h"
#include "support/reference_picture.h"

namespace {

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
    EXPECT_TRUE(picture_matches_reference(picture.get(), KAVRO_TEST_DATA_DIR "/picture_" + name + ".png",
                                          KAVRO_TEST_OUTPUT_DIR));
  }
  void all_formats(const std::string& stem) {
    check(pdf_export, true, stem + ".pdf", {"pdftoppm", "-png", "-r", "72", "-singlefile", "IN", "OUT_STEM"});
    check(eps_export, true, stem + ".eps",
          {"gs", "-q", "-dBATCH", "-dNOPAUSE", "-dSAFER", "-dEPSCrop", "-sDEVICE=png16m", "-r72", "-o", "OUT",
           "IN"});
    check(svg_export, false, stem + ".svg",
          {"rsvg-convert", "-d", "90", "-p", "90", "-b", "white", "IN", "-o", "OUT"});
  }
};

TEST_F(ExportPictures, EveryKindDrawsAsBefore) {
  every_kind_drawing();
  all_formats("every_kind");
}

TEST_F(ExportPictures, PrimitivesDrawAsBefore) {
  primitives_drawing();
  all_formats("primitives");
}

}  // namespace
