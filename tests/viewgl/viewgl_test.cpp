// The 3D viewer: faces of any shape become the right triangles, a hand-off
// file is drawn into a snapshot that shows its meshes shaded in their pens'
// colours, and a broken file is refused with a message.

#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "model/defaults.h"
#include "model/elem.h"
#include "model/files/kavfile.h"
#include "model/layers.h"
#include "platform/process.h"
#include "support/model_fixture.h"
#include "support/temp_folder.h"
#include "viewgl/viewgl_scene.h"

namespace {

namespace fs = std::filesystem;

// The summed area of the scene's triangles.
double area_of(const ViewScene& s) {
  double area = 0;
  const std::vector<float>& v = s.vertices;
  for (std::size_t t = 0; t < s.triangle_count(); ++t) {
    const float* a = &v[(3 * t) * VIEW_FLOATS_PER_VERTEX];
    const float* b = a + VIEW_FLOATS_PER_VERTEX;
    const float* c = b + VIEW_FLOATS_PER_VERTEX;
    const double u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
    const double w[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
    const double n[3] = {u[1] * w[2] - u[2] * w[1], u[2] * w[0] - u[0] * w[2], u[0] * w[1] - u[1] * w[0]};
    area += std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]) / 2;
  }
  return area;
}

MeshElem* add_mesh(int pen, std::vector<Point3> v, std::vector<int32_t> sizes, std::vector<int32_t> idx) {
  elem_new_mesh(0, pen, 0, static_cast<int>(v.size()), static_cast<int>(sizes.size()), sizes.data(), v.data(),
                idx.data(), "Default", 0);
  return elem_as<MeshElem>(elem_list_tail);
}

// A box from (x0, y0, 0) to (x1, y1, h), six quads.
MeshElem* add_box(int pen, double x0, double y0, double x1, double y1, double h) {
  std::vector<Point3> v;
  for (int i = 0; i < 8; ++i) v.push_back({i & 1 ? x1 : x0, i & 2 ? y1 : y0, i & 4 ? h : 0.0});
  return add_mesh(pen, v, {4, 4, 4, 4, 4, 4},
                  {0, 1, 3, 2, 4, 6, 7, 5, 0, 4, 5, 1, 2, 3, 7, 6, 0, 2, 6, 4, 1, 5, 7, 3});
}

class ViewerTest : public ModelTest {
 protected:
  void SetUp() override {
    ModelTest::SetUp();
    main_init_defaults();
  }

  // Writes the drawing's elements as the program writes a hand-off file.
  fs::path write_handoff(const std::string& name) {
    const fs::path p = tmp_ / name;
    std::FILE* f = std::fopen(p.c_str(), "wb");
    EXPECT_TRUE(f && kavfile_write_header(f) && kavfile_write_elements(f, 0));
    if (f) std::fclose(f);
    return p;
  }

  // Runs the staged viewer; its standard error goes to err.
  int run_viewer(const std::vector<std::string>& args, std::string& err) {
    const fs::path err_path = tmp_ / "stderr.txt";
    ProcessRequest request;
    request.argv = {std::string(KAVRO_STAGE_DIR) + "/viewgl"};
    request.argv.insert(request.argv.end(), args.begin(), args.end());
    request.stderr_path = err_path.string();
    const ProcessResult result = process_start_real(request);
    std::ifstream in(err_path);
    err.assign(std::istreambuf_iterator<char>(in), {});
    return result.started ? result.exit_status : -1;
  }

  TempFolder tmp_;
};

TEST_F(ViewerTest, FacesOfAnyShapeCoverTheirArea) {
  struct Case {
    const char* what;
    std::vector<Point3> v;
    std::vector<int32_t> sizes, idx;
    double area;
  };
  const std::vector<Case> cases = {
      {"triangle", {{0, 0, 0}, {2, 0, 0}, {0, 2, 0}}, {3}, {0, 1, 2}, 2.0},
      {"concave L in a wall plane",
       {{0, 0, 0}, {3, 0, 0}, {3, 0, 1}, {1, 0, 1}, {1, 0, 3}, {0, 0, 3}},
       {6},
       {0, 1, 2, 3, 4, 5},
       5.0},
      // A 4 x 4 square with a 2 x 2 hole, joined by a bridge walked both ways.
      {"bridged hole",
       {{0, 0, 0}, {4, 0, 0}, {4, 4, 0}, {0, 4, 0}, {1, 1, 0}, {1, 3, 0}, {3, 3, 0}, {3, 1, 0}},
       {10},
       {0, 1, 2, 3, 0, 4, 5, 6, 7, 4},
       12.0},
      {"two faces",
       {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 1}},
       {3, 3},
       {0, 1, 2, 0, 2, 3},
       0.5 + std::sqrt(3) / 2},
  };
  for (const Case& c : cases) {
    ViewScene scene;
    view_scene_add_mesh(scene, *add_mesh(1, c.v, c.sizes, c.idx));
    EXPECT_NEAR(area_of(scene), c.area, 1e-9) << c.what;
  }
}

TEST_F(ViewerTest, FitShowsTheWholeSceneAndTheCameraStaysShortOfThePoles) {
  ViewScene scene;
  view_scene_add_mesh(scene, *add_box(1, 10, 20, 14, 23, 3));
  OrbitCamera cam;
  view_camera_fit(scene, cam);
  EXPECT_DOUBLE_EQ(cam.target[0], 12);
  EXPECT_DOUBLE_EQ(cam.target[1], 21.5);
  EXPECT_DOUBLE_EQ(cam.target[2], 1.5);
  // Every corner of the box lies inside the clip volume.
  float rot[9], mvp[16];
  view_camera_matrices(cam, 640, 480, rot, mvp);
  for (std::size_t i = 0; i < scene.vertices.size(); i += VIEW_FLOATS_PER_VERTEX) {
    const float* p = &scene.vertices[i];
    float clip[4];
    for (int r = 0; r < 4; ++r) clip[r] = mvp[r] * p[0] + mvp[4 + r] * p[1] + mvp[8 + r] * p[2] + mvp[12 + r];
    for (int k = 0; k < 3; ++k) EXPECT_LE(std::fabs(clip[k]), clip[3]) << "corner " << i / 9 << " axis " << k;
  }
  view_camera_orbit(cam, 0, 100000);
  EXPECT_LT(cam.pitch, 1.5707);
  const double before = cam.distance;
  view_camera_zoom(cam, 1);
  EXPECT_LT(cam.distance, before);
}

struct Pixel {
  int r, g, b;
};

TEST_F(ViewerTest, SnapshotShowsTheMeshesShadedInTheirPenColours) {
  // Pen 1 and pen 2 differ in colour; a box of each side by side.
  add_box(1, 0, 0, 4, 4, 3);
  add_box(2, 6, 0, 10, 4, 3);
  const fs::path file = write_handoff("gl.kav");
  const fs::path png = tmp_ / "shot.png";
  std::string err;
  ASSERT_EQ(run_viewer({"--snapshot", png.string(), file.string()}, err), 0) << err;

  fs::create_directories(KAVRO_TEST_OUTPUT_DIR);
  fs::copy_file(png, fs::path(KAVRO_TEST_OUTPUT_DIR) / "two_boxes.png", fs::copy_options::overwrite_existing);
  cairo_surface_t* img = cairo_image_surface_create_from_png(png.c_str());
  ASSERT_EQ(cairo_surface_status(img), CAIRO_STATUS_SUCCESS);
  const int w = cairo_image_surface_get_width(img), h = cairo_image_surface_get_height(img);
  const unsigned char* data = cairo_image_surface_get_data(img);
  const int stride = cairo_image_surface_get_stride(img);
  auto at = [&](int x, int y) {
    const uint32_t p = *reinterpret_cast<const uint32_t*>(data + y * stride + 4 * x);
    return Pixel{int(p >> 16 & 255), int(p >> 8 & 255), int(p & 255)};
  };
  const Pixel background = at(0, 0);
  // Count the pixels that are not background, and the distinct shades.
  int covered = 0;
  std::vector<uint32_t> shades;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const Pixel p = at(x, y);
      if (p.r == background.r && p.g == background.g && p.b == background.b) continue;
      ++covered;
      const uint32_t key = p.r << 16 | p.g << 8 | p.b;
      if (shades.size() < 64 && std::find(shades.begin(), shades.end(), key) == shades.end())
        shades.push_back(key);
    }
  cairo_surface_destroy(img);
  // The fitted boxes fill a good part of the picture but not all of it.
  EXPECT_GT(covered, w * h / 10);
  EXPECT_LT(covered, w * h * 9 / 10);
  // Flat shading: each visible face of each box its own shade, at least
  // three faces of two boxes.
  EXPECT_GE(shades.size(), 6u);
}

TEST_F(ViewerTest, BrokenFilesFailWithAMessageAndUnknownChunksAreSkipped) {
  add_box(1, 0, 0, 1, 1, 1);
  const fs::path good = write_handoff("good.kav");
  std::string bytes;
  {
    std::ifstream in(good, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), {});
  }
  struct Case {
    const char* what;
    std::string content;
  };
  const std::vector<Case> cases = {
      {"not a chunk file", "hello, world\n"},
      {"empty", ""},
      {"cut in the mesh", bytes.substr(0, bytes.size() - 20)},
      // The mesh's vertex count made enormous.
      {"huge count",
       [&] {
         std::string b = bytes;
         const std::size_t at = b.find("OBJ3") + 8 + 46;
         b[at] = '\x7f';
         return b;
       }()},
  };
  for (const Case& c : cases) {
    const fs::path p = tmp_ / "bad.kav";
    std::ofstream(p, std::ios::binary) << c.content;
    std::string err;
    EXPECT_EQ(run_viewer({"--snapshot", (tmp_ / "bad.png").string(), p.string()}, err), 1) << c.what;
    EXPECT_NE(err.find("viewgl: "), std::string::npos) << c.what << ": " << err;
  }
  std::string err;
  EXPECT_EQ(run_viewer({"--snapshot", (tmp_ / "none.png").string(), (tmp_ / "missing.kav").string()}, err),
            1);
  EXPECT_NE(err.find("cannot open"), std::string::npos) << err;

  // A chunk the viewer does not know, before the mesh, is stepped over.
  const std::string unknown = bytes.substr(0, 12) +
                              std::string(
                                  "ZZZZ\0\0\0\x03"
                                  "abc",
                                  11) +
                              bytes.substr(12);
  std::ofstream(tmp_ / "unknown.kav", std::ios::binary) << unknown;
  EXPECT_EQ(run_viewer({"--snapshot", (tmp_ / "unknown.png").string(), (tmp_ / "unknown.kav").string()}, err),
            0)
      << err;
}

}  // namespace
