#include "display/snap.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <random>
#include <string>

#include "display/input.h"
#include "input_fixture.h"
#include "model/xform.h"
#include "support/test_records.h"

namespace {

class SnapTest : public PlanViewTest {};

void expect_point(double x, double y, double z) {
  EXPECT_NEAR(snap_point.x, x, 1e-9);
  EXPECT_NEAR(snap_point.y, y, 1e-9);
  EXPECT_NEAR(snap_point.z, z, 1e-9);
}

template <class T>
T* adopt(std::unique_ptr<T> e) {
  T* raw = e.get();
  elem_adopt(std::move(e));
  return raw;
}

TEST_F(SnapTest, FirstCandidateInOrderWinsOverANearerLaterOne) {
  line(0, 0, 10, 0);
  line(10.4, 0.3, 20, 5);  // its start lies nearer to the click
  ASSERT_EQ(snap_find_point(nullptr, 10.45, 0.35), SNAP_CAUGHT);
  expect_point(10, 0, 0);
  // The catch window is +-7 pixels: 8 pixels away nothing is caught.
  ASSERT_EQ(snap_find_point(nullptr, 10 + 8 * PX, 40 * PX), SNAP_FREE);
  expect_point(10 + 8 * PX, 40 * PX, 0);
}

TEST_F(SnapTest, CatchWindowBordersAreIncluded) {
  line(0, 0, 10, 0);
  EXPECT_EQ(snap_find_point(nullptr, 10 + 7 * PX, 7 * PX), SNAP_CAUGHT);
  EXPECT_EQ(snap_find_point(nullptr, 10 + 8 * PX, 0), SNAP_FREE);
}

// One element of each kind; a click 2 pixels off its characteristic point
// catches exactly that point.
struct KindCase {
  const char* name;
  std::function<void()> make;
  double x, y;  // the point expected
};

TEST_F(SnapTest, EachKindOffersItsPoints) {
  const double pi = 3.141592653589793;
  const KindCase cases[] = {
      {"line end", [] { elem_new_line(0, 0, 0, 1, 1, 4, 1); }, 4, 1},
      {"arc centre", [&] { elem_new_arc(0, 0, 0, 0, 0, 5, 5, pi / 2, 0, 0); }, 0, 0},
      {"arc start", [&] { elem_new_arc(0, 0, 0, 0, 0, 5, 5, pi / 2, 0, 0); }, 5, 0},
      {"arc end", [&] { elem_new_arc(0, 0, 0, 0, 0, 5, 5, pi / 2, 0, 0); }, 0, 5},
      {"rotated ellipse arc end", [&] { elem_new_arc(0, 0, 0, 0, 0, 6, 3, pi / 2, 0, pi / 2); }, -3, 0},
      {"circle quadrant, unrotated", [&] { elem_new_arc(0, 0, 0, 0, 0, 6, 3, 2 * pi, 0, 1.0); }, 0, -3},
      {"text insertion point",
       [] {
         TextElem t = test_text(3, 4, "A");
         t.font = "Standard";
         t.height = 3;
         t.spacing = 0;
         t.line_spacing = 0;
         elem_append(t);
       },
       3, 4},
      {"dimension line point",
       [] {
         DimElem d = test_dim({test_dim_point(1, 2, 1, 0, 0), test_dim_point(7, 2, 7, 0, 0)});
         d.font = "Standard";
         d.figure_size = 3;
         d.figure_space = 1;
         elem_append(d);
       },
       7, 2},
      {"wall outline end",
       [this] {
         wall({{0, 0}, {6, 0}, {6, 3}, {0, 3}});
       },
       6, 3},
      {"pattern outline point",
       [] {
         PatternElem p = test_pattern(PATTERN_ONE_LINE, {{0, 0, 0}, {4, 0, 0}, {4, 4, 0}, CONTOUR_END});
         p.spacing1 = p.spacing2 = 1;
         elem_append(p);
       },
       4, 4},
      {"Bezier control point", [] { elem_new_spline(0, 0, 0, 0, 0, 1, 3, 5, 3, 6, 0); }, 5, 3},
      {"3D line end, z dropped", [] { elem_new_line3d(0, 0, 0, 1, 1, 5, 2, 2, 9); }, 2, 2},
      {"camera target", [] { elem_new_camera(0, 0, 0, 0, -10, 2, 3, 3, 2, 60, 0); }, 3, 3},
      {"light position",
       [] {
         LightElem l;
         l.angle = 30;
         l.position = Point3{2, -2, 3, 0};
         elem_append(l);
       },
       2, -2},
      {"mesh vertex",
       [] {
         Point3 v[] = {{0, 0, 1, 0}, {3, 0, 1, 0}, {3, 3, 1, 0}};
         int32_t sizes[] = {3}, idx[] = {0, 1, 2};
         elem_new_mesh(0, 0, 0, 3, 1, sizes, v, idx, "", 0);
       },
       3, 3},
      {"room label",
       [] {
         RoomElem r = test_room(4, 4, {{0, 0, 0}, {8, 0, 0}, {8, 8, 0}, {0, 8, 0}, CONTOUR_END});
         r.font = "Standard";
         r.height = 3;
         r.spacing = 0;
         r.line_spacing = 0;
         elem_append(r);
       },
       4, 4},
  };
  for (const KindCase& c : cases) {
    SCOPED_TRACE(c.name);
    drawing_free();
    drawing_init();
    cur_layer = 0;
    c.make();
    ASSERT_EQ(snap_find_point(nullptr, c.x + 2 * PX, c.y - 2 * PX), SNAP_CAUGHT);
    expect_point(c.x, c.y, 0);
  }
}

TEST_F(SnapTest, PatternEndMarkerIsNoPoint) {
  PatternElem p = test_pattern(PATTERN_ONE_LINE, {{0, 0, 0}, {4, 0, 0}, {4, 4, 0}, CONTOUR_END});
  p.spacing1 = p.spacing2 = 1;
  elem_append(p);
  views[0].xmin = 950;
  views[0].xmax = 1050;
  views[0].ymin = 950;
  views[0].ymax = 1050;
  EXPECT_EQ(snap_find_point(nullptr, 999, 999), SNAP_FREE);
}

TEST_F(SnapTest, SwitchesTurnKindsOff) {
  line(0, 0, 10, 0);
  snap_use_end_points = 0;
  snap_use_center_points = 0;
  EXPECT_EQ(snap_find_point(nullptr, 10.1, 0.1), SNAP_FREE);
  snap_use_center_points = 1;
  ASSERT_EQ(snap_find_point(nullptr, 5.2, 0.3), SNAP_CAUGHT);
  expect_point(5, 0, 0);
}

TEST_F(SnapTest, LineCrossingCaughtButNotOnAnExtension) {
  snap_use_end_points = 0;
  snap_use_center_points = 0;
  line(-10, -10, 10, 10);
  line(-10, 4, 10, 4);
  ASSERT_EQ(snap_find_point(nullptr, 4 + 3 * PX, 4 - 2 * PX), SNAP_CAUGHT);
  expect_point(4, 4, 0);

  // A short line whose extension would meet the long one at (0, 0).
  line(-10, 0, -2, 0);
  ASSERT_EQ(snap_find_point(nullptr, 0.2, -0.1), SNAP_FREE);
  expect_point(0.2, -0.1, 0);
}

TEST_F(SnapTest, CrossingsWithWallSegmentsAndMeshEdges) {
  snap_use_end_points = 0;
  snap_use_center_points = 0;
  wall({{0, 0}, {10, 0}, {10, 3}, {0, 3}});
  line(5, -5, 5, 5);
  ASSERT_EQ(snap_find_point(nullptr, 5.2, 2.9), SNAP_CAUGHT);
  expect_point(5, 3, 0);

  Point3 v[] = {{20, 0, 0, 0}, {30, 0, 0, 0}, {30, 10, 0, 0}};
  int32_t sizes[] = {3}, idx[] = {0, 1, 2};
  elem_new_mesh(0, 0, 0, 3, 1, sizes, v, idx, "", 0);
  line(25, -5, 25, 20);
  ASSERT_EQ(snap_find_point(nullptr, 25.1, 5.2), SNAP_CAUGHT);  // the closing edge 30,10 -> 20,0
  expect_point(25, 5, 0);
}

TEST_F(SnapTest, CircleCrossings) {
  circle(0, 0, 5);
  circle(6, 0, 5);
  ASSERT_EQ(snap_find_point(nullptr, 3.2, 4.1), SNAP_CAUGHT);
  expect_point(3, 4, 0);

  snap_use_circle_intersections = 0;
  EXPECT_EQ(snap_find_point(nullptr, 3.2, 4.1), SNAP_FREE);
  snap_use_circle_intersections = 1;

  // An ellipse crossing a circle gives no circle crossing.
  drawing_free();
  drawing_init();
  elem_new_arc(0, 0, 0, 0, 0, 5, 4, 2 * 3.141592653589793, 0, 0);
  circle(6, 0, 5);
  EXPECT_EQ(snap_find_point(nullptr, 3.0, 3.6), SNAP_FREE);

  // A line across a circle: the crossing on the segment.
  drawing_free();
  drawing_init();
  circle(0, 0, 5);
  line(-20, 3, 20, 3);
  ASSERT_EQ(snap_find_point(nullptr, 4.1, 3.1), SNAP_CAUGHT);
  expect_point(4, 3, 0);
}

TEST_F(SnapTest, RequestPointsComeFirst) {
  line(2.3, 2, 9, 9);
  InputRequest r;
  r.npoints = 1;
  r.x[0] = 2;
  r.y[0] = 2;
  r.z[0] = 5;
  ASSERT_EQ(snap_find_point(&r, 2.2, 2.1), SNAP_CAUGHT);
  expect_point(2, 2, 0);
}

TEST_F(SnapTest, LayersDecideVisibility) {
  line(0, 0, 10, 0, 3);
  layers[3].shown = 0;
  EXPECT_EQ(snap_find_point(nullptr, 10.1, 0), SNAP_FREE);
  layers[3].shown = 1;
  EXPECT_EQ(snap_find_point(nullptr, 10.1, 0), SNAP_CAUGHT);
  layers[3].shown = 0;
  cur_layer = 3;
  EXPECT_EQ(snap_find_point(nullptr, 10.1, 0), SNAP_CAUGHT);

  // The temporary symbol layer counts only while it is current.
  cur_layer = 0;
  line(20, 0, 30, 0, LAYER_TEMP_SYMBOL);
  EXPECT_EQ(snap_find_point(nullptr, 30.1, 0), SNAP_FREE);
  cur_layer = LAYER_TEMP_SYMBOL;
  EXPECT_EQ(snap_find_point(nullptr, 30.1, 0), SNAP_CAUGHT);
}

TEST_F(SnapTest, FreePointByViewType) {
  snap_on = 0;
  line(0, 0, 1, 0);
  struct Case {
    int view;
    int result;
    double x, y, z;
  };
  const Case cases[] = {
      {VIEW_PLAN, SNAP_FREE, 1, 2, 0},          {VIEW_FRONT, SNAP_FREE, 1, 0, 2},
      {VIEW_BACK, SNAP_FREE, -1, 0, 2},         {VIEW_LEFT, SNAP_FREE, 0, -1, 2},
      {VIEW_RIGHT, SNAP_FREE, 0, 1, 2},         {VIEW_ISO_FRONT_LEFT, SNAP_IGNORE, 0, 0, 0},
      {VIEW_PERSPECTIVE, SNAP_IGNORE, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.view);
    view_type = c.view;
    ASSERT_EQ(snap_find_point(nullptr, 1, 2), c.result);
    if (c.result == SNAP_FREE) expect_point(c.x, c.y, c.z);
  }
  // With snap on, an isometric click on empty space is still ignored.
  snap_on = 1;
  view_type = VIEW_ISO_FRONT_LEFT;
  EXPECT_EQ(snap_find_point(nullptr, 30, 20), SNAP_IGNORE);
}

TEST_F(SnapTest, OtherViewsCatchProjected3dPointsOnly) {
  view_type = VIEW_FRONT;  // u = x, v = z
  line(4, 0, 8, 0);        // a plan line: never in an elevation
  wall({{0, 0}, {6, 0}, {6, 1}, {0, 1}});
  ASSERT_EQ(snap_find_point(nullptr, 6.1, 2.9), SNAP_CAUGHT);
  expect_point(6, 0, 3);  // the first corner over (6, *) at the top
  EXPECT_EQ(snap_find_point(nullptr, 8.0, 0.0), SNAP_FREE);

  // A room's outline at both heights; the base comes first.
  RoomElem room = test_room(22, 1, {{20, 0, 0}, {24, 0, 0}, {24, 4, 0}, CONTOUR_END});
  room.font = "Standard";
  room.height = 3;
  room.spacing = 0;
  room.line_spacing = 0;
  room.base_z = 0.5;
  elem_append(room);
  ASSERT_EQ(snap_find_point(nullptr, 24.1, 2.4), SNAP_CAUGHT);
  expect_point(24, 0, 2.5);
}

TEST_F(SnapTest, HoverCodes) {
  ElemHeader* a = line(0, 0, 10, 0);
  ElemHeader* b = line(2, -3, 2, 7);
  ElemHeader* c = circle(30, 0, 5);
  auto px = [](double x) { return 300.0 + x * 6.0; };
  auto py = [](double y) { return 200.0 - y * 6.0; };
  EXPECT_EQ(snap_hover_test(px(10.1), py(0.1), a), HOVER_POINT);
  EXPECT_EQ(snap_hover_test(px(7.0), py(0.2), a), HOVER_NONE);
  EXPECT_EQ(snap_hover_test(px(5.1), py(0.1), a), HOVER_MIDPOINT);
  EXPECT_EQ(snap_hover_test(px(2.1), py(0.2), a), HOVER_INTERSECTION);
  expect_point(2, 0, 0);
  // The crossing belongs to the earlier line; the later one finds it not.
  EXPECT_EQ(snap_hover_test(px(2.1), py(0.2), b), HOVER_NONE);
  EXPECT_EQ(snap_hover_test(px(35.1), py(0.0), c), HOVER_MIDPOINT);
  EXPECT_EQ(snap_hover_test(px(30.1), py(0.1), c), HOVER_POINT);
}

// The grid of element boxes must give what walking the list gives, also
// after elements are appended, moved and removed.
TEST_F(SnapTest, GridAgreesWithTheListWalk) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> pos(-40, 40), len(-3, 3);
  for (int i = 0; i < 3000; ++i) {
    const double x = pos(rng), y = pos(rng) * 0.7;
    switch (i % 4) {
      case 0:
      case 1:
        line(x, y, x + len(rng), y + len(rng));
        break;
      case 2:
        circle(x, y, std::fabs(len(rng)) + 0.5);
        break;
      default:
        wall({{x, y}, {x + 2, y}, {x + 2, y + 0.3}, {x, y + 0.3}});
        break;
    }
  }
  std::vector<std::pair<double, double>> clicks;
  for (int i = 0; i < 400; ++i) clicks.emplace_back(pos(rng), pos(rng) * 0.7);

  auto run_all = [&](int threshold) {
    snap_index_threshold = threshold;
    std::vector<std::string> out;
    for (auto [x, y] : clicks) {
      const int r = snap_find_point(nullptr, x, y);
      out.push_back(std::to_string(r) + " " + std::to_string(snap_point.x) + " " +
                    std::to_string(snap_point.y));
    }
    return out;
  };
  auto compare = [&](const char* when) {
    SCOPED_TRACE(when);
    const auto plain = run_all(1 << 30);
    const auto grid = run_all(0);
    ASSERT_EQ(plain.size(), grid.size());
    int caught = 0;
    for (std::size_t i = 0; i < plain.size(); ++i) {
      EXPECT_EQ(plain[i], grid[i]) << "click " << i;
      caught += plain[i][0] == '2';
    }
    EXPECT_GT(caught, 50);
  };
  compare("fresh");

  snap_index_threshold = 0;
  snap_find_point(nullptr, 0, 0);  // builds the grid
  for (int i = 0; i < 200; ++i) line(pos(rng), pos(rng) * 0.7, pos(rng), pos(rng) * 0.7);
  compare("appended");

  int k = 0;
  for (ElemHeader* e = elem_list_head; e; e = e->next) e->mark = (k++ % 3 == 0) ? 1 : 0;
  snap_index_threshold = 0;
  snap_find_point(nullptr, 0, 0);
  xform_move_marked(1.7, -2.3, 0);
  compare("moved");

  elem_purge_marked();
  compare("removed");
}

}  // namespace

namespace {

// Built a slice at a time with a deadline already passed, the grid is
// finished over many calls and answers as the list walk does.
TEST_F(SnapTest, GridBuiltInSlicesAnswersTheSame) {
  std::mt19937 rng(3);
  std::uniform_real_distribution<double> pos(-40, 40), len(-3, 3);
  for (int i = 0; i < 5000; ++i) {
    const double x = pos(rng), y = pos(rng) * 0.7;
    line(x, y, x + len(rng), y + len(rng));
  }
  int calls = 0;
  while (!elem_grid_prepare(0, std::chrono::steady_clock::now() - std::chrono::seconds(1))) ++calls;
  EXPECT_GT(calls, 10);

  std::vector<const ElemHeader*> grid, walk;
  for (int i = 0; i < 50; ++i) {
    const double x = pos(rng), y = pos(rng) * 0.7;
    elem_grid_query(x - 2, y - 2, x + 2, y + 2, 0, grid);
    elem_grid_query(x - 2, y - 2, x + 2, y + 2, 1 << 30, walk);
    EXPECT_EQ(grid, walk);
  }
}

}  // namespace
