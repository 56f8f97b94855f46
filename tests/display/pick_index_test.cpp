// On a drawing of every kind, picks through the grid of element boxes give
// what a walk over the list gives: for every filter code, for the edge
// finders, after appending, after changes in place, at another zoom and
// at another drawing scale (which changes how far texts reach).

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "display/text_layout.h"
#include "pick_fixture.h"

namespace {

constexpr double PI = 3.141592653589793;

class PickIndexTest : public DisplayTest, protected PickBuilders {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    views[0] = ViewRec{0, 0, 600, 400, -50.0, -200.0 / 6.0, 50.0, 200.0 / 6.0, PICK_PX, PICK_PX};
    view_type = VIEW_PLAN;
    cur_layer = 0;
    select_all_layers = 0;
    elem_grid_reset();
  }
  void TearDown() override {
    select_all_layers = 0;
    pick_search_reset();
    elem_grid_reset();
    DisplayTest::TearDown();
  }

  std::mt19937 rng{20};
  double uniform(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); }
  int pick_int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
  Point2 near(double x, double y, double r) { return {x + uniform(-r, r), y + uniform(-r, r), 0}; }

  std::string random_text() {
    std::string s;
    const int n = pick_int(1, 40);
    for (int i = 0; i < n; ++i) s += static_cast<char>(pick_int(33, 126));
    return s;
  }

  // count elements of every kind over 400 m square, a third of them in a
  // patch of 40 m; a few on other layers, shown or not.
  void add_elements(int count) {
    for (int i = 0; i < count; ++i) {
      const bool dense = i % 3 == 0;
      const Point2 c = dense ? near(0, 0, 20) : near(0, 0, 200);
      cur_layer = i % 17 == 0 ? 2 : i % 19 == 0 ? 3 : 0;
      switch (i % 16) {
        case 0:
        case 1: {
          const Point2 d = near(0, 0, 5);
          line(c.x, c.y, c.x + d.x, c.y + d.y);
          break;
        }
        case 2:
          arc(c.x, c.y, uniform(0.2, 4), uniform(0.2, 4), uniform(-7, 7), uniform(0.5, 2 * PI),
              uniform(0, PI));
          break;
        case 3:
        case 4:
        case 14:
        case 15: {
          TextElem* t =
              text(c.x, c.y, uniform(0, 2 * PI), static_cast<uint8_t>(pick_int(0, 3)), "", uniform(0.5, 30));
          t->text = random_text();
          t->height = uniform(1, 20);
          break;
        }
        case 5: {
          const uint8_t kind = static_cast<uint8_t>(pick_int(DIM_CHAIN, DIM_ANGLE));
          std::vector<Point2> pts = {c, near(c.x, c.y, 6), near(c.x, c.y, kind == DIM_ANGLE ? 60 : 6)};
          if (kind == DIM_CHAIN) pts.push_back(near(c.x, c.y, 6));
          dim(kind, pts);
          break;
        }
        case 6: {
          const double w = uniform(1, 6), h = uniform(0.2, 0.5);
          WallElem* wl = wall({{c.x, c.y, 0}, {c.x + w, c.y, 0}, {c.x + w, c.y + h, 0}, {c.x, c.y + h, 0}});
          wl->openings.push_back(opening(c.x + w / 4, c.y, 1, c.x + w / 2, c.y + h, 2));
          break;
        }
        case 7: {
          const double s = uniform(1, 8);
          pattern(square(c.x, c.y, c.x + s, c.y + s));
          break;
        }
        case 8: {
          const double s = uniform(1, 8);
          room(near(c.x + s / 2, c.y + s / 2, s), square(c.x, c.y, c.x + s, c.y + s));
          break;
        }
        case 9:
          spline(c, near(c.x, c.y, 3), near(c.x, c.y, 3), near(c.x, c.y, 3));
          break;
        case 10: {
          const Point2 d = near(0, 0, 4);
          line3d({c.x, c.y, uniform(-2, 2), 0}, {c.x + d.x, c.y + d.y, uniform(-2, 2), 0});
          break;
        }
        case 11:
          mesh({{c.x, c.y, 0, 0}, {c.x + 2, c.y, 1, 0}, {c.x + 2, c.y + 2, 1, 0}, {c.x, c.y + 1.5, 0, 0}});
          break;
        case 12:
          light(c.x, c.y, uniform(0, 3));
          break;
        default:
          camera(c.x, c.y, uniform(0, 3));
          break;
      }
    }
    cur_layer = 0;
  }

  std::vector<Point2> clicks(int n) {
    std::vector<Point2> out;
    for (int i = 0; i < n; ++i) out.push_back(i % 2 ? near(0, 0, 25) : near(0, 0, 220));
    return out;
  }

  // What every pick gives at each click, searching as given.
  struct Outcome {
    std::vector<const ElemHeader*> found;
    std::vector<double> edges;
  };
  static Outcome picks(PickSearch search, const std::vector<Point2>& at) {
    pick_search_use(search);
    Outcome o;
    for (const Point2& p : at) {
      for (uint8_t code = PICK_ANY; code <= PICK_SOLID; ++code)
        o.found.push_back(pick_nearest_element(p.x, p.y, code));
      picked_edge = PickedEdge{};
      const ElemHeader* e = pick_snap_edge(p.x, p.y);
      o.found.push_back(e);
      o.edges.insert(o.edges.end(), {picked_edge.x1, picked_edge.y1, picked_edge.x2, picked_edge.y2});
      e = pick_line_edge(p.x, p.y);
      o.found.push_back(e);
      o.edges.insert(o.edges.end(), {picked_edge.x1, picked_edge.y1, picked_edge.x2, picked_edge.y2,
                                     double(picked_edge.found)});
    }
    return o;
  }

  void expect_same(const std::vector<Point2>& at, const char* when) {
    const Outcome walked = picks(PickSearch::WALK, at);
    int hits = 0;
    for (const ElemHeader* e : walked.found) hits += e != nullptr;
    EXPECT_GT(hits, static_cast<int>(walked.found.size() / 4)) << when << ": too few hits to tell";
    for (PickSearch search : {PickSearch::KIND_LISTS, PickSearch::AREA}) {
      const Outcome other = picks(search, at);
      int differ = 0;
      for (std::size_t i = 0; i < walked.found.size(); ++i) differ += walked.found[i] != other.found[i];
      EXPECT_EQ(differ, 0) << when << (search == PickSearch::AREA ? ", by area" : ", by kind lists");
      EXPECT_EQ(walked.edges, other.edges) << when;
    }
  }
};

TEST_F(PickIndexTest, GridPicksEqualTheWalk) {
  layers[2].shown = 1;
  add_elements(1300);
  const std::vector<Point2> at = clicks(40);
  expect_same(at, "as built");

  select_all_layers = 1;
  expect_same(at, "with Visible layers");
  select_all_layers = 0;

  add_elements(400);
  expect_same(at, "after appending");

  // Texts grow in place.
  for (ElemHeader* e = elem_list_head; e; e = e->next)
    if (auto* t = elem_as<TextElem>(e)) t->text += t->text;
  elem_touch();
  expect_same(at, "texts changed in place");

  // A larger scale makes every text longer; nothing in the list changes.
  drawing_scale = 400.0;
  expect_same(at, "at 1:400");

  // Zoomed out, the pixel allowances grow.
  views[0].xscale = views[0].yscale = 1.0;
  expect_same(at, "zoomed out");

  // Seen from the front (the clicks are x and z now).
  view_type = VIEW_FRONT;
  expect_same(at, "from the front");
}

}  // namespace

// Texts and angle dimensions reach far beyond their boxes in the grid. With
// more of them than are looked at one by one, the window widens by their
// reach: a text whose insertion point is 10 m from the click and an angle
// dimension whose arc bulges 6 m out of its points' box still win over
// elements 1 m away.
TEST_F(PickIndexTest, ElementsReachingBeyondTheirBoxes) {
  for (int i = 0; i < 400; ++i) {
    TextElem* t = text(-150 + (i % 20) * 15, 100 + (i / 20) * 3, 0, TEXT_LEFT, "xxxxxxxxxxxx");
    t->height = 20.0;
  }
  const double long_reach = font_text_width(20.0, 1.0, 0.0, "Simpel", "xxxxxxxxxxxx", TEXT_LEFT, 0.0);
  ASSERT_GT(long_reach, 12.0);

  // The arc of radius 10 from 0 to 90 degrees about the origin; the click
  // is 0.18 m outside it at 45 degrees.
  ElemHeader* angle = dim(DIM_ANGLE, {{0, 0, 0}, {1, 0, 0}, {0, 10, 0}});
  dim(DIM_CHAIN, {{6.5, 8.2, 0}, {8.5, 8.2, 0}});
  line(6.5, 8.2, 8.5, 8.2);

  const double w = font_text_width(5.0, 1.0, 0.0, "Simpel", "Tenmetresaway", TEXT_LEFT, 0.0);
  ASSERT_GT(w, 0.0);
  TextElem* far_end = text(30, -40, 0, TEXT_LEFT, "Tenmetresaway");
  far_end->height = 5.0 * 10.0 / w;  // ten metres long
  text(38, -39, 0, TEXT_LEFT, "x");
  line(38, -39, 42, -39);

  for (PickSearch search : {PickSearch::WALK, PickSearch::KIND_LISTS, PickSearch::AREA}) {
    pick_search_use(search);
    EXPECT_EQ(pick_nearest_element(7.2, 7.2, PICK_ANY), angle);
    EXPECT_EQ(pick_nearest_element(7.2, 7.2, PICK_DIM), angle);
    EXPECT_EQ(pick_nearest_element(39.8, -39.9, PICK_ANY), far_end);
    EXPECT_EQ(pick_nearest_element(39.8, -39.9, PICK_TEXT), far_end);
  }
}
