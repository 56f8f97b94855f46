// The rows of the element information window and the project counts,
// without a window.

#include "shell/element_info.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "model/settings.h"
#include "model/units.h"
#include "support/model_fixture.h"

namespace {

using Rows = std::vector<std::pair<std::string, std::string>>;

// The rows that hold something, in order.
Rows filled(const ElementInfo& info) {
  Rows out;
  for (const InfoRow& r : info)
    if (!r.label.empty() || !r.value.empty()) out.emplace_back(r.label, r.value);
  return out;
}

class ElementInfoTest : public ModelTest {};

// A wall along x from 0 to 5 (base 0.5, top 3.0) with a door from 1 to 2
// (sill 0.1 above the base, 2.1 high) and a window from 3 to 4.
std::unique_ptr<ElemHeader> wall_with_openings() {
  auto w = std::make_unique<WallElem>();
  w->layer = 3;
  w->pen = 2;
  w->line_type = 1;
  const double xs[4] = {0, 5, 5, 0}, ys[4] = {0, 0, 0.3, 0.3};
  for (int i = 0; i < 8; ++i) w->corner[i] = {xs[i % 4], ys[i % 4], i < 4 ? 0.5 : 3.0};
  w->material.set("Brick");
  auto opening = [](uint8_t kind, double x0, double x1, double z0, double z1) {
    WallOpening o;
    o.kind = kind;
    const double oxs[4] = {x0, x1, x1, x0}, oys[4] = {0, 0, 0.3, 0.3};
    for (int i = 0; i < 8; ++i) o.corner[i] = {oxs[i % 4], oys[i % 4], i < 4 ? z0 : z1};
    return o;
  };
  w->openings.push_back(opening(OPENING_DOOR, 1, 2, 0.6, 2.7));
  w->openings.push_back(opening(OPENING_WINDOW, 3, 4, 1.4, 2.6));
  return w;
}

TEST_F(ElementInfoTest, RowsOfEachKind) {
  struct Case {
    const char* what;
    std::function<std::unique_ptr<ElemHeader>()> make;
    Point2 click;
    Rows rows;
  };
  auto arc = [](double rx, double ry, double sweep) {
    auto a = std::make_unique<ArcElem>();
    a->radius_x = rx;
    a->radius_y = ry;
    a->sweep = sweep;
    a->start = UNITS_PI / 2;
    a->rotation = UNITS_PI / 4;
    return a;
  };
  const Case cases[] = {
      {"circle: the sweep is within 1e-5 of a full turn",
       [&] { return arc(2, 2, 6.28318); },
       {},
       {{"Element type:", "Circle"}, {"Layer:", "0"}, {"Pen:", "0"}, {"Line:", "0"}, {"Radius:", "2.0000m"}}},
      {"arc: a sweep just short of a full turn has a length",
       [&] { return arc(2, 2, 6.28); },
       {},
       {{"Element type:", "Arc"},
        {"Layer:", "0"},
        {"Pen:", "0"},
        {"Line:", "0"},
        {"Radius:", "2.0000m"},
        {"Start angle:", "90.000"},
        {"Angle:", "359.817"},
        {"Length:", "12.5600m"}}},
      {"ellipse",
       [&] { return arc(2, 1, 6.28318); },
       {},
       {{"Element type:", "Ellipse"},
        {"Layer:", "0"},
        {"Pen:", "0"},
        {"Line:", "0"},
        {"Radius 1:", "2.0000m"},
        {"Radius 2:", "1.0000m"},
        {"Angle:", "45.000"}}},
      {"line",
       [] {
         auto l = std::make_unique<LineElem>();
         l->p1 = {1, 1};
         l->p2 = {1, 4};
         l->pen = 5;
         return l;
       },
       {},
       {{"Element type:", "Line"},
        {"Layer:", "0"},
        {"Pen:", "5"},
        {"Line:", "0"},
        {"Length:", "3.0000m"},
        {"Angle:", "90.000"}}},
      {"door clicked over: layer and pen hidden, sill above the wall base",
       wall_with_openings,
       {1.5, 0.2},
       {{"Element type:", "Door"},
        {"Layer:", "---"},
        {"Pen:", "---"},
        {"Line:", "1"},
        {"Size:", "1.0000m"},
        {"Base:", "0.1000m"},
        {"Height:", "2.1000m"}}},
      {"window clicked over: the second opening",
       wall_with_openings,
       {3.25, 0.0},
       {{"Element type:", "Window"},
        {"Layer:", "---"},
        {"Pen:", "---"},
        {"Line:", "1"},
        {"Size:", "1.0000m"},
        {"Base:", "0.9000m"},
        {"Height:", "1.2000m"}}},
      {"wall clicked beside its openings",
       wall_with_openings,
       {2.5, 0.1},
       {{"Element type:", "Wall"},
        {"Layer:", "3"},
        {"Pen:", "2"},
        {"Line:", "1"},
        {"Length:", "5.0000m"},
        {"Base:", "0.5000m"},
        {"Height:", "2.5000m"},
        {"Angle:", "0.000"},
        {"Material:", "Brick"}}},
      {"filling: red, green and blue replace pen and line type",
       [] {
         auto p = std::make_unique<PatternElem>();
         p->type = PATTERN_FILLING;
         p->r = 0.5;
         p->g = 1.0;
         p->b = 0.0;
         return p;
       },
       {},
       {{"Element type:", "Filling"},
        {"Layer:", "0"},
        {"R:", "0.500  [127]"},
        {"G:", "1.000  [255]"},
        {"B:", "0.000  [0]"}}},
      {"hatch pattern",
       [] { return std::make_unique<PatternElem>(); },
       {},
       {{"Element type:", "Pattern"}, {"Layer:", "0"}, {"Pen:", "0"}, {"Line:", "0"}}},
      {"spot light",
       [] {
         auto l = std::make_unique<LightElem>();
         l->type = LIGHT_SPOT;
         l->shadow = 1;
         l->shadow_intensity = 0.25;
         l->light_size = 4;
         l->r = 1.0;
         l->g = 0.5;
         l->b = 0.25;
         l->angle = 30;
         return l;
       },
       {},
       {{"Element type:", "Spotlight"},
        {"Layer:", "0"},
        {"Pen:", "0"},
        {"Line:", "0"},
        {"Size:", "4.0000m"},
        {"Shadow:", "1 (0.25)"},
        {"R:", "1.000000"},
        {"G:", "0.500000"},
        {"B:", "0.250000"},
        {"Angle:", "30.000"}}},
      {"3D object: z range, material and counts",
       [] {
         auto m = std::make_unique<MeshElem>();
         m->vertices = {{0, 0, 1.5}, {1, 0, -0.5}, {1, 1, 2.0}, {0, 1, 0.0}};
         m->face_sizes = {3, 4};
         m->indices = {0, 1, 2, 0, 1, 2, 3};
         m->material.set("Glass");
         return m;
       },
       {},
       {{"Element type:", "3D Object"},
        {"Layer:", "0"},
        {"Pen:", "0"},
        {"Line:", "0"},
        {"Base:", "-0.5000m"},
        {"Height:", "2.5000m"},
        {"Material:", "Glass"},
        {"NF:", "2"},
        {"NP:", "4"},
        {"NI:", "7"}}},
      {"camera: the view angle is a plain number",
       [] {
         auto c = std::make_unique<CameraElem>();
         c->view_angle = 45;
         c->eye = {0, -10, 1.7};
         return c;
       },
       {},
       {{"Element type:", "Camera"},
        {"Layer:", "0"},
        {"Pen:", "0"},
        {"Line:", "0"},
        {"Angle:", "45.00"},
        {"Height:", "1.7000m"}}},
      {"level dimension",
       [] {
         auto d = std::make_unique<DimElem>();
         d->dim_kind = DIM_LEVEL;
         d->figure_size = 3.5;
         d->font.set("Standard");
         return d;
       },
       {},
       {{"Element type:", "Dimension - Height"},
        {"Layer:", "0"},
        {"Pen:", "0"},
        {"Line:", "0"},
        {"Size:", "3.50mm"},
        {"Angle:", "0.000"},
        {"Font:", "Standard"}}},
  };
  for (const Case& c : cases) {
    const std::unique_ptr<ElemHeader> e = c.make();
    EXPECT_EQ(filled(element_info_rows(*e, c.click)), c.rows) << c.what;
  }
}

// A font name longer than any fixed row buffer comes out whole.
TEST_F(ElementInfoTest, LongValuesAreNotCut) {
  TextElem t;
  const std::string font(FONT_NAME_LEN - 1, 'F');
  t.font.set(font);
  length_unit = 3;  // inch: long length texts
  LineElem l;
  l.p2 = {1e12, 0};
  EXPECT_EQ(element_info_rows(t, {})[6].value, font);
  EXPECT_EQ(element_info_rows(l, {})[4].value, units_format_length(1e12));
  EXPECT_GT(element_info_rows(l, {})[4].value.size(), 15u);
}

TEST_F(ElementInfoTest, ProjectCountsFollowTheCaptionsAndLeaveCamerasOut) {
  elem_new_camera(0, 0, 0, 0, -10, 2, 0, 0, 2, 60, 1);
  elem_new_camera(0, 0, 0, 5, -10, 2, 0, 0, 2, 60, 0);
  EXPECT_EQ(project_counts(), (std::array<int, PROJECT_COUNT_ROWS>{}));

  elem_new_line(0, 0, 0, 0, 0, 1, 1);
  elem_new_line(1, 0, 0, 0, 0, 2, 1);
  elem_new_arc(0, 0, 0, 0, 0, 1, 1, 6.283185307179586, 0, 0);
  elem_new_arc(0, 0, 0, 0, 0, 1, 1, 1.0, 0, 0);
  elem_new_spline(0, 0, 0, 0, 0, 1, 1, 2, 1, 3, 0);
  Point2 square[] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}, CONTOUR_END};
  elem_new_pattern(0, 0, 0, 0, 0, 0, 0.1, 0, 0, 0, 0, 0, 0, 5, square, 0, 0, 0, 0);
  elem_new_line3d(0, 0, 0, 0, 0, 0, 1, 1, 1);
  elem_new_light(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 1, 1, 1);
  // Lines, circles, texts, dimensions, walls, splines, patterns, 3D lines,
  // 3D objects, rooms, lights.
  EXPECT_EQ(project_counts(), (std::array<int, PROJECT_COUNT_ROWS>{2, 2, 0, 0, 0, 1, 1, 1, 0, 0, 1}));
}

}  // namespace
