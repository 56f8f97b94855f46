// The distance by which pick_nearest_element ranks each kind of element,
// which filter codes and layers let it be found, and the rules of the
// other views; the segment a dimension pick changes.

#include <cmath>
#include <functional>
#include <string>

#include "display/text_layout.h"
#include "pick_fixture.h"

namespace {

constexpr double PI = 3.141592653589793;
const double NO = std::nan("");  // the element does not count there

struct Click {
  double x, y;
  double distance;  // NO: not found
  const char* why;
};

// Checks the ranked distance of e at each click.
void expect_distances(const ElemHeader* e, std::initializer_list<Click> clicks,
                      double (*measure)(const ElemHeader*, double, double)) {
  for (const Click& c : clicks) {
    const double d = measure(e, c.x, c.y);
    if (std::isnan(c.distance))
      EXPECT_TRUE(std::isnan(d)) << c.why << ": found at " << d;
    else
      EXPECT_NEAR(d, c.distance, 1e-9) << c.why;
  }
}

TEST_P(PickRulesTest, LinesCountOnlyWhereTheFootFallsStrictlyInside) {
  const LineElem* l = line(0, 0, 10, 0);
  expect_distances(l,
                   {{5, 1, 1, "above the middle"},
                    {2, -2.5, 2.5, "below"},
                    {12, 0.5, NO, "beyond the end, off the extension"},
                    {-0.1, 0, NO, "on the extension before the start"},
                    {0, 3, NO, "the foot on the start point itself"},
                    {10, 1, NO, "the foot on the end point itself"},
                    {5, 99.5, 99.5, "just inside the start distance"},
                    {5, 100, NO, "at the start distance"}},
                   pick_distance_of);
  // A 3D line is picked by its plan shadow, z left out.
  drawing_free();
  const Line3dElem* l3 = line3d({0, 0, 5, 0}, {10, 0, -3, 0});
  expect_distances(l3, {{5, 1, 1, "plan shadow"}, {11, 0, NO, "beyond"}}, pick_distance_of);
}

TEST_P(PickRulesTest, ArcsByTheAngleOnTheUnrotatedEllipse) {
  const ArcElem* upper = arc(0, 0, 5, 5, 0, PI);
  expect_distances(upper,
                   {{0, 5.5, 0.5, "outside the top"},
                    {0, 4, 1, "inside the top"},
                    {3.6, 4.8, 1, "a radius of 6 at 53 degrees"},
                    {0, -5.5, NO, "below, outside the sweep"},
                    {5.5, 0, NO, "on the start ray: not strictly inside"}},
                   pick_distance_of);
  // A start below 0 is taken into [0, 2 pi] first; the sweep then passes 2 pi.
  for (double start : {-PI / 2, 7 * PI / 2}) {
    drawing_free();
    const ArcElem* right = arc(0, 0, 5, 5, start, PI);
    expect_distances(right,
                     {{5.5, 0, 0.5, "at 2 pi"},
                      {3.6, 3.6, std::hypot(3.6, 3.6) - 5, "past 2 pi"},
                      {3.6, -3.6, std::hypot(3.6, 3.6) - 5, "before 2 pi"},
                      {-0.01, 5.5, NO, "just past the end"},
                      {-5.5, 0, NO, "the left half"}},
                     pick_distance_of);
  }
  // An ellipse turned by 90 degrees: its long axis is upright.
  drawing_free();
  const ArcElem* turned = arc(0, 0, 4, 2, 0, 2 * PI, PI / 2);
  expect_distances(
      turned, {{0.0, -4.5, 0.5, "beyond the long axis' end"}, {-2.5, 0.0, 0.5, "beyond the short axis' end"}},
      pick_distance_of);
  // Off the axes the ellipse point is the one at the angle of (u, v rx/ry),
  // not the nearest: outward from the point at parameter 60 degrees, the
  // distance is measured to that point.
  drawing_free();
  const ArcElem* flat = arc(0, 0, 4, 2, 0, 2 * PI);
  const double px = 4 * std::cos(PI / 3), py = 2 * std::sin(PI / 3);
  expect_distances(flat, {{1.1 * px, 1.1 * py, 0.1 * std::hypot(px, py), "parameter point"}},
                   pick_distance_of);
}

TEST_P(PickRulesTest, TextsAlongTheirBaselineByAlignment) {
  const double h = 5.0;
  const double width = font_text_width(h, 1.0, 0.0, "Simpel", "Pick me", TEXT_LEFT, 0.0);
  ASSERT_GT(width, 1.0);
  struct Case {
    uint8_t align;
    double angle, fit;
    std::vector<Click> clicks;
  } cases[] = {
      {TEXT_LEFT, 0, 0, {{width / 2, 0.3, 0.3, "left: over"}, {width + 0.2, 0.1, NO, "left: past the end"}}},
      {TEXT_LEFT,
       PI / 2,
       0,
       {{-0.3, width / 2, 0.3, "left, upright"}, {-0.3, -0.5, NO, "left, upright: below"}}},
      {TEXT_RIGHT,
       0,
       0,
       {{-width / 2, 0.3, 0.3, "right: over"}, {width / 2, 0.3, NO, "right: the other side"}}},
      {TEXT_CENTRED,
       0,
       0,
       {{width / 4, -0.3, 0.3, "centred: right half"},
        {-width / 4, 0.3, 0.3, "centred: left half"},
        {0.6 * width, 0.1, NO, "centred: past the end"}}},
      {TEXT_JUSTIFIED,
       0,
       7.0,
       {{6.5, 0.3, 0.3, "fitted: by the fit length"}, {7.2, 0.1, NO, "fitted: past it"}}},
  };
  for (const Case& c : cases) {
    drawing_free();
    const TextElem* t = text(0, 0, c.angle, c.align, "Pick me", c.fit);
    for (const Click& k : c.clicks) expect_distances(t, {k}, pick_distance_of);
  }
}

TEST_P(PickRulesTest, DimensionsByKind) {
  const DimElem* chain = dim(DIM_CHAIN, {{0, 0, 0}, {3, 0, 0}, {7, 0, 0}, {10, 0, 0}});
  expect_distances(chain,
                   {{5, 0.4, 0.4, "chain: first to last"}, {11, 0.1, NO, "chain: past the last point"}},
                   pick_distance_of);
  for (uint8_t kind : {DIM_RADIUS, DIM_DIAMETER}) {
    drawing_free();
    const DimElem* r = dim(kind, {{-4, 0, 0}, {0, 0, 0}, {4, 0, 0}});
    expect_distances(r, {{2, 0.5, 0.5, "radius: points 1 to 2"}, {-2, 0.5, NO, "radius: not points 0 to 1"}},
                     pick_distance_of);
  }
  drawing_free();
  const DimElem* level = dim(DIM_LEVEL, {{0, 0, 0}, {5, 0, 0}, {5, 5, 0}});
  expect_distances(level, {{5, 7, 2 - PICK_BONUS, "level: from point 2, less 5 pixels"}}, pick_distance_of);
  drawing_free();
  const DimElem* angle = dim(DIM_ANGLE, {{0, 0, 0}, {5, 0, 0}, {0, 5, 0}});
  expect_distances(angle,
                   {{3.6, 4.8, 1 - PICK_BONUS, "angle: off the arc of radius 5, less 5 pixels"},
                    {2.4, 3.2, 1 - PICK_BONUS, "angle: inside the arc"},
                    {0, -6, NO, "angle: outside the angle"}},
                   pick_distance_of);
  // The second angle below the first: the span runs through 0.
  drawing_free();
  const DimElem* wrap = dim(DIM_ANGLE, {{0, 0, 0}, {5, -5, 0}, {5, 5, 0}});
  const double r = std::hypot(5, 5);
  expect_distances(wrap,
                   {{r + 1, 0, 1 - PICK_BONUS, "angle through 0"}, {-r - 1, 0, NO, "angle: the far side"}},
                   pick_distance_of);
}

TEST_P(PickRulesTest, WallsByOutlineAndBaseEdges) {
  // The outline leaves a gap from x 4 to 6 on the lower side; the base edge
  // below it still counts.
  const WallElem* w = wall({{0, 5, 0}, {10, 5, 0}, {10, 6, 0}, {0, 6, 0}}, {{{0, 5, 0}, {4, 5, 0}},
                                                                            {{4, 5, 0}, {4, 5.5, 0}},
                                                                            {{6, 5.5, 0}, {6, 5, 0}},
                                                                            {{6, 5, 0}, {10, 5, 0}},
                                                                            {{10, 5, 0}, {10, 6, 0}},
                                                                            {{10, 6, 0}, {0, 6, 0}},
                                                                            {{0, 6, 0}, {0, 5, 0}}});
  expect_distances(w,
                   {{2, 4.8, 0.2, "outline"},
                    {5, 4.7, 0.3, "base edge under the gap"},
                    {4.1, 5.3, 0.1, "the gap's side"},
                    {11, 4, NO, "beyond every segment"}},
                   pick_distance_of);
}

TEST_P(PickRulesTest, PatternsAndRoomsByContainment) {
  std::vector<Point2> pts = square(20, 0, 30, 10);
  const std::vector<Point2> hole = {{24, 4, 0}, {24, 6, 0}, {26, 6, 0}, {26, 4, 0}, CONTOUR_END};
  pts.insert(pts.end(), hole.begin(), hole.end());
  const PatternElem* p = pattern(pts);
  expect_distances(p,
                   {{21, 1, 14 * PICK_PX, "inside: twice the snap size"},
                    {29.9, 9.9, 14 * PICK_PX, "inside, beside the border"},
                    {25, 5, NO, "in the hole"},
                    {31, 5, NO, "outside"}},
                   pick_distance_of);
  drawing_free();
  const RoomElem* r = room({45, 5, 0}, square(40, 0, 50, 10));
  expect_distances(r,
                   {{42, 2, 21 * PICK_PX, "inside: three times the snap size"},
                    {45, 5.5, 0.5, "inside, near the label"},
                    {51, 5, NO, "outside, though near the label"}},
                   pick_distance_of);
  snap_size = 3;
  expect_distances(r, {{42, 2, 9 * PICK_PX, "the snap size set"}}, pick_distance_of);
}

TEST_P(PickRulesTest, BezierCurvesByEightChords) {
  // Straight: the chords lie on the axis.
  const SplineElem* straight = spline({0, 0, 0}, {3, 0, 0}, {6, 0, 0}, {9, 0, 0});
  expect_distances(straight, {{4, 0.7, 0.7, "over a chord"}, {9.5, 0.1, NO, "past the end"}},
                   pick_distance_of);
  // Curved: the middle of a chord is at distance 0, although the curve
  // bows away from it.
  drawing_free();
  const SplineElem* bow = spline({0, 0, 0}, {0, 4, 0}, {10, 4, 0}, {10, 0, 0});
  auto at = [](double t) {
    const double u = 1 - t;
    return Point2{3 * u * t * t * 10 + t * t * t * 10, 3 * u * u * t * 4 + 3 * u * t * t * 4, 0};
  };
  const Point2 a = at(3.0 / 8), b = at(4.0 / 8);
  expect_distances(bow, {{(a.x + b.x) / 2, (a.y + b.y) / 2, 0, "on the chord from 3/8 to 4/8"}},
                   pick_distance_of);
}

TEST_P(PickRulesTest, LightsCamerasAndMeshes) {
  const LightElem* l = light(5, 5, 3);
  expect_distances(l, {{5, 7, 2 - PICK_BONUS, "light"}, {8, 9, 5 - PICK_BONUS, "light, 5 m"}},
                   pick_distance_of);
  drawing_free();
  const CameraElem* c = camera(20, 20, 1.6);
  expect_distances(c, {{23, 24, 5 - PICK_BONUS, "camera eye"}}, pick_distance_of);
  drawing_free();
  const MeshElem* m = mesh({{0, 0, 1, 0}, {4, 0, 1, 0}, {4, 4, 1, 0}, {0, 4, 1, 0}});
  expect_distances(m,
                   {{2, -0.3, 0.3, "first edge"},
                    {-0.3, 2, 0.3, "closing edge"},
                    {2, 2.5, 1.5, "inside: the nearest edge"},
                    {5, 5, NO, "beyond every edge"}},
                   pick_distance_of);
}

// Within 5 pixels a point-like element wins over any edge, and the first
// of equally near elements wins.
TEST_P(PickRulesTest, NegativeDistancesAndTies) {
  ElemHeader* a = line(0, 0, 10, 0);
  ElemHeader* b = line(0, 2, 10, 2);
  EXPECT_EQ(pick_nearest_element(5, 1, PICK_ANY), a);
  EXPECT_EQ(pick_nearest_element(5, 1.5, PICK_ANY), b);
  ElemHeader* l = light(5, 0.5, 3);
  EXPECT_EQ(pick_nearest_element(5, 0.5 - 3 * PICK_PX, PICK_ANY), l);  // 3 px from it, 1 from the line
  EXPECT_EQ(pick_nearest_element(5, 0.5 - 3 * PICK_PX, PICK_LINE), a);
  // A line inside a pattern and nearer than twice the snap size wins.
  ElemHeader* p = pattern(square(20, 0, 30, 10));
  ElemHeader* inner = line(22, 5, 28, 5);
  EXPECT_EQ(pick_nearest_element(25, 5 + 13 * PICK_PX, PICK_ANY), inner);
  EXPECT_EQ(pick_nearest_element(25, 5 + 15 * PICK_PX, PICK_ANY), p);
  EXPECT_EQ(pick_nearest_element(25, 5 + 13 * PICK_PX, PICK_PATTERN), p);

  // Ties between a text and a line, in both orders.
  drawing_free();
  const double width = font_text_width(5.0, 1.0, 0.0, "Simpel", "Tie", TEXT_LEFT, 0.0);
  ElemHeader* t = text(0, 0, 0, TEXT_LEFT, "Tie");
  line(0, 2, width, 2);
  EXPECT_EQ(pick_nearest_element(width / 2, 1, PICK_ANY), t);
  drawing_free();
  ElemHeader* before = line(0, 2, width, 2);
  text(0, 0, 0, TEXT_LEFT, "Tie");
  EXPECT_EQ(pick_nearest_element(width / 2, 1, PICK_ANY), before);

  // A mesh and a wall taken by one code: the one created first wins a tie.
  for (bool mesh_first : {true, false}) {
    drawing_free();
    ElemHeader* first = nullptr;
    if (mesh_first) first = mesh({{0, 0, 0, 0}, {10, 0, 0, 0}, {10, 5, 0, 0}});
    ElemHeader* w = wall({{0, 2, 0}, {10, 2, 0}, {10, 3, 0}, {0, 3, 0}});
    if (!mesh_first) {
      first = w;
      mesh({{0, 0, 0, 0}, {10, 0, 0, 0}, {10, 5, 0, 0}});
    }
    EXPECT_EQ(pick_nearest_element(5, 1, PICK_SOLID), first) << (mesh_first ? "mesh first" : "wall first");
  }
}

// Which codes find which kinds: every kind apart from the others, a click
// beside each, every code.
TEST_P(PickRulesTest, FilterCodesChooseTheKinds) {
  struct Kind {
    const char* name;
    ElemHeader* e;
    double x, y;
    std::vector<uint8_t> codes;  // besides PICK_ANY and PICK_ANY_VISIBLE
  };
  std::vector<Kind> kinds = {
      {"line", line(0, 0, 10, 0), 5, 0.2, {PICK_LINE}},
      {"arc", arc(20, 0, 5, 5, 0.1, PI), 20, 5.2, {PICK_ARC}},
      {"text", text(40, 0, 0, TEXT_LEFT, "Text"), 40.5, 0.1, {PICK_TEXT}},
      {"dimension", dim(DIM_CHAIN, {{60, 0, 0}, {70, 0, 0}}), 65, 0.2, {PICK_DIM}},
      {"wall", wall({{0, 20, 0}, {10, 20, 0}, {10, 21, 0}, {0, 21, 0}}), 5, 19.8, {PICK_WALL, PICK_SOLID}},
      {"pattern", pattern(square(20, 20, 30, 30)), 25, 25, {PICK_PATTERN}},
      {"spline", spline({40, 20, 0}, {43, 20, 0}, {46, 20, 0}, {49, 20, 0}), 44, 20.2, {PICK_BEZIER}},
      {"3D line", line3d({60, 20, 0, 0}, {70, 20, 2, 0}), 65, 20.2, {}},
      {"mesh", mesh({{0, 40, 0, 0}, {5, 40, 0, 0}, {5, 45, 0, 0}}), 2, 39.8, {PICK_MESH, PICK_SOLID}},
      {"camera", camera(20, 40, 1), 20, 40.2, {PICK_CAMERA}},
      {"room", room({45, 45, 0}, square(40, 40, 50, 50)), 41, 41, {}},
      {"light", light(60, 40, 2), 60, 40.2, {PICK_LIGHT}},
  };
  for (const Kind& k : kinds) {
    for (uint8_t code = 0; code <= 13; ++code) {
      bool expected = code == PICK_ANY || code == PICK_ANY_VISIBLE;
      for (uint8_t c : k.codes) expected = expected || c == code;
      // Another code may find another element farther away.
      EXPECT_EQ(pick_nearest_element(k.x, k.y, code) == k.e, expected)
          << k.name << " with code " << int(code);
    }
  }
}

TEST_P(PickRulesTest, LayersSearched) {
  cur_layer = 3;
  ElemHeader* other_wall = wall({{0, 0, 0}, {10, 0, 0}, {10, 1, 0}, {0, 1, 0}});
  ElemHeader* other_camera = camera(200, 0, 1);
  ElemHeader* high = line(300, 0, 310, 0);
  high->layer = 999;
  cur_layer = 0;
  struct Case {
    int shown;       // of layers 3 and 999
    int all_layers;  // select_all_layers
    double x, y;
    uint8_t code;
    ElemHeader* expected;
  } cases[] = {
      {0, 0, 5, -0.2, PICK_ANY_VISIBLE, nullptr},  // a hidden layer never
      {1, 0, 5, -0.2, PICK_ANY, nullptr},          // the current layer only
      {1, 0, 5, -0.2, PICK_ANY_VISIBLE, other_wall},
      {1, 0, 5, -0.2, PICK_WALL, nullptr},
      {1, 1, 5, -0.2, PICK_WALL, other_wall},       // Visible layers on the Select page
      {1, 1, 200, 0.2, PICK_WALL, nullptr},         // still only walls
      {0, 1, 5, -0.2, PICK_WALL, nullptr},          // and only shown ones
      {1, 0, 200, 0.2, PICK_CAMERA, other_camera},  // cameras on shown layers always
      {0, 0, 200, 0.2, PICK_CAMERA, nullptr},
      {1, 0, 305, 0.2, PICK_ANY_VISIBLE, high},
      {0, 0, 305, 0.2, PICK_ANY_VISIBLE, nullptr},
  };
  for (const Case& c : cases) {
    layers[3].shown = static_cast<uint8_t>(c.shown);
    layers[999].shown = static_cast<uint8_t>(c.shown);
    select_all_layers = c.all_layers;
    EXPECT_EQ(pick_nearest_element(c.x, c.y, c.code), c.expected)
        << "shown " << c.shown << ", all layers " << c.all_layers << ", code " << int(c.code) << " at "
        << c.x;
  }
  // The temporary layers are never searched, whatever is chosen.
  ElemHeader* temp = line(0, 50, 10, 50);
  temp->layer = LAYER_TEMP_3D;
  select_all_layers = 1;
  EXPECT_EQ(pick_nearest_element(5, 50.2, PICK_ANY_VISIBLE), nullptr);
}

TEST_P(PickRulesTest, OtherViewsPickTheProjected3dKindsOnly) {
  ElemHeader* l = light(5, 0.5, 3);
  ElemHeader* c = camera(10, 7, 2);
  ElemHeader* upright = line3d({0, 3, 0, 0}, {0, 3, 4, 0});
  ElemHeader* m = mesh({{20, 0, 0, 0}, {24, 0, 0, 0}, {24, 0, 4, 0}, {20, 0, 4, 0}});
  WallElem* w = wall({{30, 0, 0}, {34, 0, 0}, {34, 0.3, 0}, {30, 0.3, 0}});
  WallElem* gabled = wall({{40, 0, 0}, {44, 0, 0}, {44, 0.3, 0}, {40, 0.3, 0}});
  gabled->gable = 1;
  gabled->gable_a = {42, 0, 5, 0};
  gabled->gable_b = {42, 0.3, 5, 0};
  w->openings.push_back(opening(31, 0, 1, 33, 0.3, 2.5));
  view_type = VIEW_FRONT;  // (x, z) seen from the front
  struct Case {
    double x, y;
    const ElemHeader* e;
    double distance;
    const char* why;
  } cases[] = {
      {5, 3.5, l, 0.5 - PICK_BONUS, "light"},
      {10, 2.3, c, 0.3 - PICK_BONUS, "camera"},
      {0.2, 2, upright, 0.2, "3D line"},
      {22, -0.3, m, 0.3, "mesh"},
      {32, 3.2, w, 0.2, "wall: top edge"},
      {30.5, 1.5, w, 0.5, "wall: the post at its corner"},
      {32, 2.6, w, 0.1, "wall: the opening's top"},
      {41, 4.5, gabled, 0.5 / std::sqrt(2.0), "wall: up to the gable point"},
  };
  for (const Case& k : cases) EXPECT_NEAR(pick_distance_of(k.e, k.x, k.y), k.distance, 1e-9) << k.why;

  // The plan kinds are never found outside the plan view.
  drawing_free();
  line(0, 0, 10, 0);
  arc(20, 0, 5, 5, 0, 2 * PI);
  text(40, 0, 0, TEXT_LEFT, "Text");
  dim(DIM_CHAIN, {{60, 0, 0}, {70, 0, 0}});
  pattern(square(0, -10, 10, 10));
  room({25, 5, 0}, square(20, -10, 30, 10));
  spline({40, 0, 0}, {43, 0, 0}, {46, 0, 0}, {49, 0, 0});
  for (double x : {0.5, 5.0, 20.0, 25.0, 40.5, 44.0, 65.0})
    for (double y : {0.0, 0.1, 1.0})
      EXPECT_EQ(pick_nearest_element(x, y, PICK_ANY), nullptr) << x << " " << y;
}

TEST_P(PickRulesTest, BoxDistanceCountsOnlyFeetInsideTheProjectedEdges) {
  const Point3 box[8] = {{0, 0, 0, 0}, {4, 0, 0, 0}, {4, 2, 0, 0}, {0, 2, 0, 0},
                         {0, 0, 3, 0}, {4, 0, 3, 0}, {4, 2, 3, 0}, {0, 2, 3, 0}};
  view_type = VIEW_FRONT;
  EXPECT_DOUBLE_EQ(pick_box3d_distance(2, 3.5, box), 0.5);
  EXPECT_DOUBLE_EQ(pick_box3d_distance(2, 1, box), 1.0);
  // Seen askew no edge collapses to a point, and far away no foot falls
  // inside any of them.
  view_type = VIEW_ISO_FRONT_LEFT;
  EXPECT_EQ(pick_box3d_distance(1000, 1000, box), 100000.0);
}

TEST_P(PickRulesTest, DimensionSegmentUnderThePoint) {
  DimElem* chain = dim(DIM_CHAIN, {{0, 0, 0}, {3, 0, 0}, {7, 0, 0}, {10, 0, 0}});
  struct Case {
    double x, y;
    int entry;  // -1: none
  } cases[] = {{1, 2, 1}, {5, 0.5, 2}, {9, -3, 3}, {3, 1, 1}, {7, 0, 2}, {-1, 0, -1}, {10.5, 0, -1}};
  for (const Case& c : cases) {
    DimPoint* p = pick_dim_segment(*chain, c.x, c.y);
    if (c.entry < 0)
      EXPECT_EQ(p, nullptr) << c.x;
    else
      EXPECT_EQ(p, &chain->points[c.entry]) << c.x;
  }
  // Every other kind changes its third entry, wherever the point is.
  DimElem* radius = dim(DIM_RADIUS, {{0, 0, 0}, {0, 0, 0}, {4, 0, 0}});
  EXPECT_EQ(pick_dim_segment(*radius, 2, 0.1), &radius->points[2]);
  EXPECT_EQ(pick_dim_segment(*radius, -50, 80), &radius->points[2]);
  DimElem* level = dim(DIM_LEVEL, {{0, 0, 0}, {5, 0, 0}, {5, 5, 0}});
  EXPECT_EQ(pick_dim_segment(*level, 100, 100), &level->points[2]);
  DimElem* short_one = dim(DIM_ANGLE, {{0, 0, 0}, {5, 0, 0}});
  EXPECT_EQ(pick_dim_segment(*short_one, 1, 0), nullptr);
  DimElem* single = dim(DIM_CHAIN, {{0, 0, 0}});
  EXPECT_EQ(pick_dim_segment(*single, 0, 0), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Searches, PickRulesTest, pick_searches, pick_search_name);

}  // namespace
