// The geometric entities: LINE, POINT, 3DLINE, CIRCLE, ARC, ELLIPSE, SPLINE,
// HATCH fills and patterns, 3DFACE and SOLID, and unsupported entities.

#include <gtest/gtest.h>

#include <cmath>

#include "dxf_test_util.h"
#include "model/geom.h"

namespace {

using DxfEntities = ModelTest;

constexpr double PI = 3.141592653589793;
double deg(double d) { return d / 180.0 * PI; }

TEST_F(DxfEntities, ArcSweepIsNormalised) {
  struct Case {
    const char* from;
    const char* to;
    bool made;
    double start, sweep;
  } cases[] = {
      {"350", "10", true, deg(350), deg(20)},
      {"10", "10", false, 0, 0},
      {"0", "360", true, 0, 2 * PI},
      {"90", "0", true, deg(90), deg(270)},
      {"-30", "30", true, deg(330), deg(60)},
      {"0", "720.5", true, 0, deg(0.5)},
      // Angles far beyond a turn come into one, the start too.
      {"1e300", "-1e300", true, std::fmod(deg(1e300), 2 * PI), std::fmod(deg(-2e300), 2 * PI) + 2 * PI},
      {"-1e300", "1e300", true, std::fmod(deg(-1e300), 2 * PI) + 2 * PI, std::fmod(deg(2e300), 2 * PI)},
  };
  for (const Case& c : cases) {
    DxfImport r =
        dxf_read_text(dxf_entities(std::string("0 ARC|10 1|20 2|40 3|50 ") + c.from + "|51 " + c.to));
    auto arcs = dxf_of<ArcElem>(r);
    ASSERT_EQ(arcs.size(), c.made ? 1u : 0u) << c.from << " " << c.to;
    EXPECT_EQ(r.stats.arc, c.made ? 1 : 0);
    if (!c.made) continue;
    EXPECT_NEAR(arcs[0]->sweep, c.sweep, 1e-9) << c.from << " " << c.to;
    EXPECT_NEAR(arcs[0]->start, c.start, 1e-9) << c.from << " " << c.to;
    EXPECT_EQ(arcs[0]->radius_x, 3.0);
    EXPECT_EQ(arcs[0]->centre.y, 2.0);
  }
}

TEST_F(DxfEntities, PlainKinds) {
  DxfImportOptions three_d;
  three_d.line_mode = 1;
  DxfImport r = dxf_read_text(dxf_entities("0 LINE|10 1|20 2|30 3|11 4|21 5|31 6|0 POINT|10 5|20 5|"
                                           "0 3DLINE|10 0|20 0|30 0|11 0|21 0|31 1|0 CIRCLE|10 1|20 1|40 2"),
                              three_d);
  EXPECT_EQ(r.stats.line, 0);
  EXPECT_EQ(r.stats.line3d, 2);
  EXPECT_EQ(r.stats.point, 1);
  EXPECT_EQ(r.stats.circle, 1);
  auto l3 = dxf_of<Line3dElem>(r);
  ASSERT_EQ(l3.size(), 2u);
  EXPECT_EQ(l3[0]->p2.z, 6.0);
  auto points = dxf_of<LineElem>(r);
  ASSERT_EQ(points.size(), 1u);
  EXPECT_EQ(points[0]->p1.x, 5.0);
  EXPECT_EQ(points[0]->p2.x, 5.0);
  auto circles = dxf_of<ArcElem>(r);
  ASSERT_EQ(circles.size(), 1u);
  EXPECT_EQ(circles[0]->sweep, 2 * PI);
  EXPECT_EQ(circles[0]->radius_y, 2.0);
}

// Coordinates and sizes that would not stay finite in the drawing (an area,
// a radius squared, a length in millimetres) make nothing and are counted:
// whatever the kind, whether the file gives them or they follow from it.
TEST_F(DxfEntities, OverflowingSizesMakeNothing) {
  DxfImport r =
      dxf_read_text(dxf_entities("0 ELLIPSE|10 0|20 0|11 1.5e308|21 1.5e308|40 0.5|41 0|42 1|"
                                 "0 CIRCLE|10 1e308|20 0|40 1|0 TEXT|10 0|20 0|40 1e308|1 x|"
                                 "0 ELLIPSE|10 0|20 0|11 1|21 0|40 1e300|41 0|42 1|"
                                 "0 ARC|10 0|20 0|40 1e308|50 0|51 90|0 LINE|10 -1e200|20 0|11 0|21 0|"
                                 "0 3DFACE|10 0|20 0|30 1e150|11 1|21 0|12 1|22 1|13 0|23 1|"
                                 "0 CIRCLE|10 1e99|20 -1e99|40 1e99"));
  ASSERT_EQ(r.elements.size(), 1u);
  EXPECT_EQ(r.elements[0]->kind, ELEM_ARC);
  EXPECT_EQ(dxf_left_out_text(r),
            "2 ELLIPSE beyond the numbers' range, 1 CIRCLE beyond the numbers' range, 1 TEXT beyond the "
            "numbers' range, 1 ARC beyond the numbers' range, 1 LINE beyond the numbers' range, 1 3DFACE "
            "beyond the numbers' range not imported");
  EXPECT_EQ(r.stats.circle, 2);  // entities read, as the statistics count them
}

// Whatever the kind and however the value is not a finite number (nan, inf,
// beyond the range, no number at all), the entity is left out and counted;
// so is one with a count it cannot have. Its neighbours come in.
TEST_F(DxfEntities, EntitiesWithoutUsableNumbersAreLeftOutAndCounted) {
  struct Case {
    std::string groups;
    const char* left_out;
  } cases[] = {
      {"0 POINT|10 NaN|20 0", "1 POINT with values that are no numbers"},
      {"0 ARC|10 0|20 0|40 1|50 inf|51 90", "1 ARC with values that are no numbers"},
      {"0 TEXT|10 0|20 0|40 1e999|1 x", "1 TEXT with values that are no numbers"},
      {"0 3DFACE|10 abc|20 0|11 1|21 0|12 1|22 1|13 0|23 1", "1 3DFACE with values that are no numbers"},
      {"0 ELLIPSE|10 0|20 0|11 1|21 0|40 -nan|41 0|42 1", "1 ELLIPSE with values that are no numbers"},
      {"0 HATCH|70 1|91 1|92 2|72 0|73 1|93 -2|10 0|20 0|10 1|20 0|10 1|20 1|75 0",
       "1 HATCH with impossible counts"},
      {"0 SPLINE|70 8|71 3|72 0|73 -3", "1 SPLINE with impossible counts"},
      {"0 LWPOLYLINE|90 0|10 0|20 0|10 1|20 0", "1 LWPOLYLINE with impossible counts"},
      {"0 LWPOLYLINE|90 -2147483648|10 0|20 0|10 1|20 0", "1 LWPOLYLINE with impossible counts"},
      {"0 LWPOLYLINE|90 2147483648|10 0|20 0|10 1|20 0", "1 LWPOLYLINE with impossible counts"},
      {"0 HATCH|70 1|91 1|92 0|93 2147483648|72 1|10 0|20 0|11 1|21 0|72 1|10 1|20 0|11 1|21 1|"
       "72 1|10 1|20 1|11 0|21 0|75 0",
       "1 HATCH with impossible counts"},
      {"0 HATCH|70 1|91 1|92 2|72 0|73 1|93 99999999|10 0|20 0|10 1|20 0|10 1|20 1|75 0",
       "1 HATCH with impossible counts"},
      {"0 HATCH|70 0|91 1|92 2|72 0|73 1|93 3|10 0|20 0|10 1|20 0|10 1|20 1|75 0|78 0",
       "1 HATCH without pattern lines"},
      {"0 HATCH|70 1|91 1|92 2|72 0|73 1|93 2|10 0|20 0|10 1|20 0|75 0", "1 HATCH without a boundary"},
      {"0 TEXT|10 0|20 0|40 1e308|1 x", "1 TEXT beyond the numbers' range"},
  };
  for (const Case& c : cases) {
    DxfImport r =
        dxf_read_text(dxf_entities("0 LINE|10 0|20 0|11 1|21 0|" + c.groups + "|0 LINE|10 5|20 0|11 6|21 0"));
    ASSERT_EQ(r.error, DxfError::NONE) << c.groups;
    EXPECT_EQ(r.elements.size(), 2u) << c.groups;
    EXPECT_EQ(dxf_of<LineElem>(r).size(), 2u) << c.groups;
    EXPECT_EQ(dxf_left_out_text(r), std::string(c.left_out) + " not imported") << c.groups;
  }
  // A hatch path of fewer edges than it says still ends its contour.
  {
    DxfImport h = dxf_read_text(
        dxf_entities("0 HATCH|70 1|91 1|92 0|93 4|72 1|10 0|20 0|11 1|21 0|72 1|10 1|20 0|11 1|21 1|"
                     "72 1|10 1|20 1|11 0|21 0|75 0"));
    const auto hatches = dxf_of<PatternElem>(h);
    ASSERT_EQ(hatches.size(), 1u);
    ASSERT_EQ(hatches[0]->points.size(), 7u);
    EXPECT_TRUE(geom_is_end_marker(hatches[0]->points.back().x, hatches[0]->points.back().y));
  }
  // A polyline's vertex without numbers: the polyline runs on without it.
  DxfImport r =
      dxf_read_text(dxf_entities("0 POLYLINE|66 1|70 0|0 VERTEX|10 0|20 0|0 VERTEX|10 nan|20 9|"
                                 "0 VERTEX|10 2|20 0|0 SEQEND"));
  auto lines = dxf_of<LineElem>(r);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0]->p2.x, 2.0);
  EXPECT_EQ(dxf_left_out_text(r), "1 VERTEX with values that are no numbers not imported");
  // An insert with a scale that is no number makes no copy.
  r = dxf_read_text(
      dxf_groups("0 SECTION|2 BLOCKS|0 BLOCK|2 B|10 0|20 0|0 LINE|10 0|20 0|11 1|21 0|0 ENDBLK|0 ENDSEC") +
      dxf_entities("0 INSERT|2 B|10 0|20 0|41 nan|0 INSERT|2 B|10 3|20 0"));
  ASSERT_EQ(dxf_of<LineElem>(r).size(), 1u);
  EXPECT_EQ(dxf_of<LineElem>(r)[0]->p1.x, 3.0);
  EXPECT_EQ(dxf_left_out_text(r), "1 INSERT with values that are no numbers not imported");
}

// Circles and arcs seen from below lie mirrored in x.
TEST_F(DxfEntities, ExtrusionDownMirrorsCirclesAndArcs) {
  DxfImport r = dxf_read_text(dxf_entities(
      "0 CIRCLE|10 2|20 1|40 1|210 0|220 0|230 -1|0 ARC|10 2|20 1|40 1|50 0|51 90|210 0|220 0|230 -1"));
  auto arcs = dxf_of<ArcElem>(r);
  ASSERT_EQ(arcs.size(), 2u);
  EXPECT_EQ(arcs[0]->centre.x, -2.0);
  EXPECT_EQ(arcs[1]->centre.x, -2.0);
  // The quarter from 0 to 90 degrees becomes the one from 90 to 180.
  EXPECT_NEAR(arcs[1]->start, deg(90), 1e-12);
  EXPECT_NEAR(arcs[1]->sweep, deg(90), 1e-12);
}

TEST_F(DxfEntities, Ellipses) {
  struct Case {
    const char* groups;
    double rx, ry, rotation, start, sweep;
  } cases[] = {
      {"10 0|20 0|11 2|21 0|40 0.5|41 0|42 6.283185307179586", 2, 1, 0, 0, 2 * PI},
      {"10 0|20 0|11 0|21 2|40 0.5|41 0|42 6.283185307179586", 2, 1, PI / 2, 0, 2 * PI},
      {"10 0|20 0|11 2|21 0|40 0.5|41 1.5707963267948966|42 3.141592653589793|230 -1", 2, 1, 0, PI, PI / 2},
      {"10 0|20 0|11 2|21 0|40 0.5|41 3|42 1", 2, 1, 0, 3, 1 + 2 * PI - 3},
  };
  for (const Case& c : cases) {
    DxfImport r = dxf_read_text(dxf_entities(std::string("0 ELLIPSE|") + c.groups));
    auto arcs = dxf_of<ArcElem>(r);
    ASSERT_EQ(arcs.size(), 1u) << c.groups;
    EXPECT_NEAR(arcs[0]->radius_x, c.rx, 1e-12) << c.groups;
    EXPECT_NEAR(arcs[0]->radius_y, c.ry, 1e-12) << c.groups;
    EXPECT_NEAR(arcs[0]->rotation, c.rotation, 1e-12) << c.groups;
    EXPECT_NEAR(arcs[0]->start, c.start, 1e-12) << c.groups;
    EXPECT_NEAR(arcs[0]->sweep, c.sweep, 1e-12) << c.groups;
    EXPECT_EQ(r.stats.ellipse, 1);
  }
  // In a millimetre file a small turn of the axis stays.
  DxfImportOptions mm;
  mm.unit = 2;
  DxfImport r = dxf_read_text(dxf_entities("0 ELLIPSE|10 0|20 0|11 1000|21 0.005|40 0.5|41 0|42 1"), mm);
  auto arcs = dxf_of<ArcElem>(r);
  ASSERT_EQ(arcs.size(), 1u);
  EXPECT_NEAR(arcs[0]->rotation, 5e-6, 1e-12);
}

std::string spline(int degree, const std::vector<std::pair<double, double>>& points,
                   const std::string& extra = "") {
  std::string s = "0 SPLINE|70 8|71 " + std::to_string(degree) + "|72 0|73 " + std::to_string(points.size());
  s += extra;
  for (const auto& [x, y] : points) s += "|10 " + std::to_string(x) + "|20 " + std::to_string(y) + "|30 0";
  return s;
}

TEST_F(DxfEntities, SplinesAreSampledIntoLines) {
  DxfImport r = dxf_read_text(dxf_entities(spline(3, {{0, 0}, {1, 2}, {3, 2}, {4, 0}})));
  auto lines = dxf_of<LineElem>(r);
  ASSERT_EQ(lines.size(), 29u);
  EXPECT_EQ(r.stats.line, 29);
  EXPECT_EQ(lines.front()->p1.x, 0.0);
  EXPECT_EQ(lines.front()->p1.y, 0.0);
  EXPECT_EQ(lines.back()->p2.x, 4.0);
  EXPECT_EQ(lines.back()->p2.y, 0.0);
  for (std::size_t i = 1; i < lines.size(); ++i) EXPECT_EQ(lines[i]->p1.x, lines[i - 1]->p2.x);
  EXPECT_NE(r.log.find("DXF Spline: flag:8 k:3 s:0 n:4\n"), std::string::npos);

  // Degree 1: every sample on the control polygon.
  r = dxf_read_text(dxf_entities(spline(1, {{0, 0}, {2, 0}, {2, 2}})));
  lines = dxf_of<LineElem>(r);
  ASSERT_EQ(lines.size(), 19u);
  for (const LineElem* l : lines) {
    const double x = l->p1.x, y = l->p1.y;
    EXPECT_TRUE((std::fabs(y) < 1e-12 && x <= 2 + 1e-12) || std::fabs(x - 2) < 1e-12) << x << " " << y;
  }
}

// Counts from the file are checked before they are used.
TEST_F(DxfEntities, MalformedSplinesMakeNothingOrTheirBest) {
  // Degree not below the point count: the highest degree the points allow.
  DxfImport r = dxf_read_text(dxf_entities(spline(7, {{0, 0}, {1, 1}, {2, 0}})));
  EXPECT_EQ(dxf_of<LineElem>(r).size(), 19u);
  // Fewer points than announced: the ones given.
  r = dxf_read_text(dxf_entities("0 SPLINE|71 3|73 1000|10 0|20 0|10 1|20 1"));
  EXPECT_EQ(dxf_of<LineElem>(r).size(), 9u);
  for (const char* count : {"0", "1", "-5", "2000000000"}) {
    r = dxf_read_text(
        dxf_entities(std::string("0 SPLINE|71 3|73 ") + count + "|10 0|20 0|10 1|20 1|10 2|20 0"));
    EXPECT_TRUE(r.elements.empty()) << count;
  }
  r = dxf_read_text(dxf_entities("0 SPLINE|71 0|73 2|10 0|20 0|10 1|20 1"));
  EXPECT_EQ(dxf_of<LineElem>(r).size(), 9u);
}

// A quarter circle as a rational quadratic spline with the file's knots and
// weights: every sample on the circle.
TEST_F(DxfEntities, SplineKnotsAndWeightsFromTheFile) {
  const std::string extra = "|40 0|40 0|40 0|40 1|40 1|40 1";
  std::string s = spline(2, {}, extra);
  s.replace(s.find("|73 0"), 5, "|73 3");
  s += "|10 1|20 0|41 1|10 1|20 1|41 0.7071067811865476|10 0|20 1|41 1";
  DxfImport r = dxf_read_text(dxf_entities(s));
  auto lines = dxf_of<LineElem>(r);
  ASSERT_EQ(lines.size(), 19u);
  for (const LineElem* l : lines) EXPECT_NEAR(std::hypot(l->p1.x, l->p1.y), 1.0, 1e-12);
  EXPECT_NEAR(lines.back()->p2.x, 0.0, 1e-12);
  EXPECT_NEAR(lines.back()->p2.y, 1.0, 1e-12);

  // Only fit points: a curve through them.
  r = dxf_read_text(dxf_entities("0 SPLINE|71 3|73 0|74 3|11 0|21 0|11 1|21 1|11 2|21 0"));
  lines = dxf_of<LineElem>(r);
  ASSERT_EQ(lines.size(), 20u);
  EXPECT_EQ(lines[10]->p1.x, 1.0);
  EXPECT_EQ(lines[10]->p1.y, 1.0);
  EXPECT_EQ(lines.back()->p2.x, 2.0);
}

TEST_F(DxfEntities, FacesAndSolids) {
  DxfImport r = dxf_read_text(
      dxf_entities("0 3DFACE|8 Roof|10 0|20 0|30 0|11 1|21 0|31 0|12 1|22 1|32 1|13 0|23 0|33 0|"
                   "0 3DFACE|10 0|20 0|30 0|11 1|21 0|31 0|12 1|22 1|32 1|13 1|23 1|33 1|"
                   "0 3DFACE|10 0|20 0|30 0|11 1|21 0|31 0|12 1|22 1|32 1|13 0|23 1|33 1"));
  auto meshes = dxf_of<MeshElem>(r);
  ASSERT_EQ(meshes.size(), 3u);
  EXPECT_EQ(meshes[0]->vertex_count(), 3);
  EXPECT_EQ(meshes[0]->material.view(), "Roof");
  EXPECT_EQ(meshes[0]->flag, 1);
  EXPECT_EQ(meshes[1]->vertex_count(), 3);  // the third corner repeated
  EXPECT_EQ(meshes[2]->vertex_count(), 4);
  EXPECT_EQ(meshes[2]->indices, (std::vector<int32_t>{0, 1, 2, 3}));
  EXPECT_EQ(r.stats.face3d, 3);

  r =
      dxf_read_text(dxf_entities("0 SOLID|62 1|10 0|20 0|11 1|21 0|12 0|22 1|13 1|23 1|"
                                 "0 SOLID|10 0|20 0|11 1|21 0|12 0|22 1|13 0|23 1|"
                                 "0 SOLID|10 1|20 0|11 2|21 0|12 1|22 1|13 2|23 1|230 -1"));
  auto fills = dxf_of<PatternElem>(r);
  ASSERT_EQ(fills.size(), 3u);
  auto xy = [](const PatternElem* p) {
    std::vector<std::pair<double, double>> out;
    for (const Point2& q : p->points) out.emplace_back(q.x, q.y);
    return out;
  };
  const std::vector<std::pair<double, double>> square = {{0, 0}, {1, 0}, {1, 1}, {0, 1}, {999, 999}};
  EXPECT_EQ(xy(fills[0]), square);
  EXPECT_EQ(fills[0]->type, PATTERN_FILLING);
  EXPECT_EQ(fills[0]->r, 1.0);
  EXPECT_EQ(fills[0]->g, 0.0);
  const std::vector<std::pair<double, double>> triangle = {{0, 0}, {1, 0}, {0, 1}, {999, 999}};
  EXPECT_EQ(xy(fills[1]), triangle);
  EXPECT_EQ(xy(fills[2])[1], (std::pair<double, double>(-2, 0)));
  EXPECT_EQ(r.stats.solid, 3);
}

std::string square_path() {
  return "|91 1|92 1|93 4|72 1|10 0|20 0|11 1|21 0|72 1|10 1|20 0|11 1|21 1|72 1|10 1|20 1|11 0|21 1|"
         "72 1|10 0|20 1|11 0|21 0|97 0|75 0";
}

// An angle far beyond a turn comes into one, whatever entity gives it.
TEST_F(DxfEntities, AnglesFarBeyondATurnComeIntoOne) {
  const std::string file =
      dxf_groups("0 SECTION|2 BLOCKS|0 BLOCK|2 B|10 0|20 0|0 TEXT|10 0|20 0|40 1|1 b|0 ENDBLK|0 ENDSEC") +
      dxf_entities(
          "0 TEXT|10 0|20 0|40 1|50 1e300|1 t|0 MTEXT|10 0|20 0|40 1|50 -1e300|1 m|"
          "0 DIMENSION|70 0|10 0|20 2|13 0|23 0|14 4|24 1|50 1e300|"
          "0 HATCH|70 0" +
          square_path() +
          "|78 1|53 -1e300|43 0|44 0|45 0|46 1|79 0|"
          "0 INSERT|2 B|10 0|20 0|50 1e300");
  DxfImport r = dxf_read_text(file);
  ASSERT_EQ(r.error, DxfError::NONE);
  std::vector<double> angles;
  for (const TextElem* t : dxf_of<TextElem>(r)) angles.push_back(t->angle);
  for (const DimElem* d : dxf_of<DimElem>(r)) angles.push_back(d->direction);
  for (const PatternElem* p : dxf_of<PatternElem>(r)) angles.insert(angles.end(), {p->angle1, p->angle2});
  ASSERT_EQ(angles.size(), 3u + 1u + 2u);
  for (double a : angles) {
    EXPECT_GE(a, 0.0);
    EXPECT_LT(a, 2 * PI);
  }
}

TEST_F(DxfEntities, HatchFillsAndPatterns) {
  struct Case {
    const char* what;
    std::string groups;
    bool made;
    uint8_t type;
    double r, g, b, angle1, angle2, spacing1, spacing2;
  } cases[] = {
      {"solid colour 1", "62 1|70 1" + square_path(), true, PATTERN_FILLING, 1, 0, 0, 0, 0, 0.01, 0},
      {"solid colour 8", "62 8|70 1" + square_path(), true, PATTERN_FILLING, 65 / 255.0, 65 / 255.0,
       65 / 255.0, 0, 0, 0.01, 0},
      {"solid by layer 7", "70 1" + square_path(), true, PATTERN_FILLING, 0, 0, 0, 0, 0, 0.01, 0},
      // The spacing is the offset's part across the lines, turned or not.
      {"one line", "70 0" + square_path() + "|76 1|52 45|41 1|77 0|78 1|53 45|43 0|44 0|45 -0.1|46 0.1|79 0",
       true, PATTERN_ONE_LINE, 0, 0, 0, deg(45), deg(45), 0.1 * std::sqrt(2.0), 0.1 * std::sqrt(2.0)},
      {"one line twice", "70 0" + square_path() + "|77 1|78 1|53 45|43 0|44 0|45 0|46 0.25|79 0", true,
       PATTERN_TWO_LINES, 0, 0, 0, deg(45), deg(135), 0.25 / std::sqrt(2.0), 0.25 / std::sqrt(2.0)},
      {"ANSI31 at scale 0.5",
       "70 0" + square_path() +
           "|52 0|41 0.5|77 0|78 1|53 45|43 0|44 0|45 -1.122532015133644|"
           "46 1.1225320151336442|79 0",
       true, PATTERN_ONE_LINE, 0, 0, 0, deg(45), deg(45), 1.5875, 1.5875},
      {"NET at 15 degrees",
       "70 0" + square_path() +
           "|52 15|41 0.5|78 2|53 15|43 0|44 0|45 -0.4108752341002517|"
           "46 1.533407249233896|79 0|53 105|43 0|44 0|45 -1.533407249233896|"
           "46 -0.41087523410025184|79 0",
       true, PATTERN_TWO_LINES, 0, 0, 0, deg(105), deg(15), 1.5875, 1.5875},
      {"two lines",
       "70 0" + square_path() + "|78 2|53 0|43 0|44 0|45 0|46 0.5|79 0|53 90|43 0|44 0|45 0.3|46 0|79 0",
       true, PATTERN_TWO_LINES, 0, 0, 0, deg(90), 0, 0.3, 0.5},
      // Offsets with a part along the lines (staggered courses), worked out
      // from the offset in the line's own frame: only the part across counts.
      {"shifted line at 30 degrees, (0.2, 0.7) in its frame",
       "70 0" + square_path() + "|78 1|53 30|43 0|44 0|45 -0.17679491924311216|46 0.7062177826491071|79 0",
       true, PATTERN_ONE_LINE, 0, 0, 0, deg(30), deg(30), 0.7, 0.7},
      {"the same a turn further, at 390 degrees",
       "70 0" + square_path() + "|78 1|53 390|43 0|44 0|45 -0.17679491924311216|46 0.7062177826491071|79 0",
       true, PATTERN_ONE_LINE, 0, 0, 0, deg(30), deg(30), 0.7, 0.7},
      {"line at -60 degrees, (0.3, -0.4) in its frame",
       "70 0" + square_path() + "|78 1|53 -60|43 0|44 0|45 -0.19641016151377544|46 -0.45980762113533163|79 0",
       true, PATTERN_ONE_LINE, 0, 0, 0, deg(300), deg(300), 0.4, 0.4},
      {"vertical lines, (0.2, 0.6) in their frame",
       "70 0" + square_path() + "|78 1|53 90|43 0|44 0|45 -0.6|46 0.20000000000000004|79 0", true,
       PATTERN_ONE_LINE, 0, 0, 0, deg(90), deg(90), 0.6, 0.6},
      {"ANSI37 at 30 degrees and scale 2",
       "70 0" + square_path() +
           "|52 30|41 2|78 2|53 75|43 0|44 0|45 -6.133628996935584|46 1.6435009364010067|79 0|"
           "53 165|43 0|44 0|45 -1.6435009364010085|46 -6.133628996935583|79 0",
       true, PATTERN_TWO_LINES, 0, 0, 0, deg(165), deg(75), 6.35, 6.35},
      {"two shifted lines, (0.25, 0.5) at 0 and (1, 0.3) at 60 degrees",
       "70 0" + square_path() +
           "|78 2|53 0|43 0|44 0|45 0.25|46 0.5|79 0|53 60|43 0|44 0|45 0.24019237886466854|"
           "46 1.0160254037844387|79 0",
       true, PATTERN_TWO_LINES, 0, 0, 0, deg(60), 0, 0.3, 0.5},
      {"five lines", "70 0" + square_path() + "|78 5|53 0|53 10|53 20|53 30|53 40", true, PATTERN_FILLING,
       0.75, 0.75, 0.75, 0, 0, 0.01, 0},
      {"no lines", "70 0" + square_path(), false, 0, 0, 0, 0, 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    DxfImport r = dxf_read_text(dxf_entities("0 HATCH|2 X|" + c.groups));
    auto p = dxf_of<PatternElem>(r);
    ASSERT_EQ(p.size(), c.made ? 1u : 0u) << c.what;
    EXPECT_EQ(r.stats.hatch, c.made ? 1 : 0) << c.what;
    if (!c.made) continue;
    EXPECT_EQ(p[0]->type, c.type) << c.what;
    EXPECT_NEAR(p[0]->r, c.r, 1e-12) << c.what;
    EXPECT_NEAR(p[0]->g, c.g, 1e-12) << c.what;
    EXPECT_NEAR(p[0]->b, c.b, 1e-12) << c.what;
    EXPECT_NEAR(p[0]->angle1, c.angle1, 1e-12) << c.what;
    EXPECT_NEAR(p[0]->angle2, c.angle2, 1e-12) << c.what;
    EXPECT_NEAR(p[0]->spacing1, c.spacing1, 1e-12) << c.what;
    EXPECT_NEAR(p[0]->spacing2, c.spacing2, 1e-12) << c.what;
    EXPECT_EQ(p[0]->points.size(), 9u) << c.what;
  }
}

// A spline without the points for a curve, and hatch boundary edges of a
// type the reader does not know, are said in the end-of-import line; the
// rest of the hatch comes in.
TEST_F(DxfEntities, SplinesWithoutACurveAndUnknownHatchEdgesAreSaid) {
  const std::string square_edges =
      "|72 1|10 0|20 0|11 1|21 0|72 1|10 1|20 0|11 1|21 1|72 1|10 1|20 1|11 0|21 1|72 1|10 0|20 1|11 0|21 0";
  struct Case {
    const char* what;
    std::string groups;
    std::size_t made;
    const char* said;
  } cases[] = {
      {"one control point", "0 SPLINE|70 8|71 3|72 0|73 1|10 0|20 0", 0,
       "1 SPLINE that makes no curve not imported"},
      {"no points at all", "0 SPLINE|70 8|71 3|72 0|73 0|74 0", 0,
       "1 SPLINE that makes no curve not imported"},
      {"one fit point", "0 SPLINE|70 8|71 3|72 0|73 0|74 1|11 0|21 0", 0,
       "1 SPLINE that makes no curve not imported"},
      {"three fit points", "0 SPLINE|70 8|71 3|72 0|73 0|74 3|11 0|21 0|11 1|21 1|11 2|21 0", 20, ""},
      {"a hatch edge of type 9",
       "0 HATCH|70 1|91 1|92 1|93 5|72 9|10 5|20 5|11 6|21 6" + square_edges + "|97 0|75 0", 1,
       "1 HATCH edges of unknown type not imported"},
      {"hatch edges of types 0 and 5",
       "0 HATCH|70 1|91 1|92 1|93 6" + square_edges + "|72 0|10 5|20 5|72 5|10 6|20 6|97 0|75 0", 1,
       "2 HATCH edges of unknown type not imported"},
      {"a hatch of known edges", "0 HATCH|70 1|91 1|92 1|93 4" + square_edges + "|97 0|75 0", 1, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    DxfImport r = dxf_read_text(dxf_entities(c.groups));
    EXPECT_EQ(r.elements.size(), c.made);
    EXPECT_EQ(dxf_left_out_text(r), c.said);
  }
}

// A family of pattern lines whose offset runs along the lines (or is none)
// has every line on the first: no spacing to draw by. It is said to be left
// out; a hatch with nothing else to draw is not made.
TEST_F(DxfEntities, PatternLinesWithoutSpacingAreSaid) {
  struct Case {
    const char* what;
    std::string lines;
    bool made;
    double spacing1, spacing2;
    const char* said;
  } cases[] = {
      {"along a line at 0 degrees", "|78 1|53 0|43 0|44 0|45 1|46 0|79 0", false, 0, 0,
       "1 HATCH pattern lines of no spacing not imported"},
      {"along a line at 45 degrees", "|78 1|53 45|43 0|44 0|45 1|46 1|79 0", false, 0, 0,
       "1 HATCH pattern lines of no spacing not imported"},
      {"no offset, doubled", "|77 1|78 1|53 30|43 0|44 0|45 0|46 0|79 0", false, 0, 0,
       "1 HATCH pattern lines of no spacing not imported"},
      {"the second of two along its lines",
       "|78 2|53 0|43 0|44 0|45 0|46 0.5|79 0|53 90|43 0|44 0|45 0|46 0.3|79 0", true, 0, 0.5,
       "1 HATCH pattern lines of no spacing not imported"},
      {"both of two", "|78 2|53 0|43 0|44 0|45 2|46 0|79 0|53 90|43 0|44 0|45 0|46 0.3|79 0", false, 0, 0,
       "2 HATCH pattern lines of no spacing not imported"},
      {"a hair across", "|78 1|53 0|43 0|44 0|45 1|46 1e-6|79 0", true, 1e-6, 1e-6, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    DxfImport r = dxf_read_text(dxf_entities("0 HATCH|2 X|70 0" + square_path() + c.lines));
    const auto p = dxf_of<PatternElem>(r);
    ASSERT_EQ(p.size(), c.made ? 1u : 0u);
    EXPECT_EQ(dxf_left_out_text(r), c.said);
    if (!c.made) continue;
    EXPECT_NEAR(p[0]->spacing1, c.spacing1, 1e-15);
    EXPECT_NEAR(p[0]->spacing2, c.spacing2, 1e-15);
  }
}

// A pattern of more line families than a pattern element holds comes in
// as a grey filling; its lines are said, in every copy of a block.
TEST_F(DxfEntities, PatternsOfMoreThanTwoLinesFilledGreyAreSaid) {
  const std::string three = "0 HATCH|2 X|70 0" + square_path() +
                            "|78 3|53 0|43 0|44 0|45 0|46 1|79 0|53 60|43 0|44 0|45 0|46 1|79 0|"
                            "53 120|43 0|44 0|45 0|46 1|79 0";
  DxfImport r = dxf_read_text(dxf_entities(three));
  const auto p = dxf_of<PatternElem>(r);
  ASSERT_EQ(p.size(), 1u);
  EXPECT_EQ(p[0]->type, PATTERN_FILLING);
  EXPECT_EQ(dxf_left_out_text(r), "3 HATCH pattern lines (the hatch filled grey) not imported");
  r = dxf_read_text(dxf_groups("0 SECTION|2 BLOCKS|0 BLOCK|2 H|70 0|10 0|20 0|30 0|") + dxf_groups(three) +
                    dxf_groups("0 ENDBLK|0 ENDSEC") +
                    dxf_entities("0 INSERT|2 H|10 0|20 0|0 INSERT|2 H|10 5|20 0"));
  EXPECT_EQ(dxf_of<PatternElem>(r).size(), 2u);
  EXPECT_EQ(dxf_left_out_text(r), "6 HATCH pattern lines (the hatch filled grey) not imported");
}

TEST_F(DxfEntities, UnsupportedEntitiesAreReportedOncePerChange) {
  DxfImport r =
      dxf_read_text(dxf_entities("0 VIEWPORT|10 0|0 VIEWPORT|10 0|0 VIEWPORT|10 0|0 IMAGE|10 0|0 IMAGE|10 0|"
                                 "0 LINE|10 0|20 0|11 1|21 1"));
  EXPECT_EQ(r.log, "Problem: Unsupported ENTITY(s): VIEWPORT\nProblem: Unsupported ENTITY(s): IMAGE\n");
  EXPECT_EQ(r.elements.size(), 1u);
}

}  // namespace
