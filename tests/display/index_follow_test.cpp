// The grid of element boxes and what the picks know of the list follow the
// drawing through its changes instead of being built again: after random
// edits (appends, moves, rotations, scalings, mirrors, stretched points,
// deletions, texts changed in place, elements taken out, undos and redos)
// the snap, the hover sign and every pick give what a fresh build gives.

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "display/input.h"
#include "display/text_layout.h"
#include "model/undo.h"
#include "model/xform.h"
#include "pick_fixture.h"

namespace {

constexpr double PI = 3.141592653589793;

class IndexFollowTest : public DisplayTest, protected PickBuilders {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    views[0] = ViewRec{0, 0, 600, 400, -50.0, -200.0 / 6.0, 50.0, 200.0 / 6.0, PICK_PX, PICK_PX};
    view_type = VIEW_PLAN;
    cur_layer = 0;
    layers[2].shown = 1;
    snap_on = 1;
    snap_preview_on = 1;
    pick_search_use(PickSearch::AREA);
    elem_grid_reset();
  }
  void TearDown() override {
    pick_search_reset();
    elem_grid_reset();
    DisplayTest::TearDown();
  }

  std::mt19937 rng{7};
  double uniform(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); }
  int pick_int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
  Point2 near(double x, double y, double r) { return {x + uniform(-r, r), y + uniform(-r, r), 0}; }

  // count elements of every kind, most of them in the 80 m the view shows.
  void add_elements(int count) {
    for (int i = 0; i < count; ++i) {
      const Point2 c = i % 4 ? near(0, 0, 40) : near(0, 0, 200);
      cur_layer = i % 13 == 0 ? 2 : i % 17 == 0 ? 3 : 0;
      switch (pick_int(0, 13)) {
        case 0:
        case 1: {
          const Point2 d = near(0, 0, 5);
          line(c.x, c.y, c.x + d.x, c.y + d.y);
          break;
        }
        case 2: {
          const double r = uniform(0.2, 4);
          arc(c.x, c.y, r, i % 3 ? r : uniform(0.2, 4), uniform(-7, 7), i % 2 ? 2 * PI : uniform(0.5, 6), 0);
          break;
        }
        case 3: {
          TextElem* t = text(c.x, c.y, uniform(0, 2 * PI), static_cast<uint8_t>(pick_int(0, 3)), "", 0);
          t->text = std::string(static_cast<std::size_t>(pick_int(1, 20)), 'x');
          t->height = uniform(1, 10);
          break;
        }
        case 4: {
          const uint8_t kind = static_cast<uint8_t>(pick_int(DIM_CHAIN, DIM_ANGLE));
          dim(kind, {c, near(c.x, c.y, 6), near(c.x, c.y, 6)});
          break;
        }
        case 5: {
          const double w = uniform(1, 6), h = uniform(0.2, 0.5);
          WallElem* wl = wall({{c.x, c.y, 0}, {c.x + w, c.y, 0}, {c.x + w, c.y + h, 0}, {c.x, c.y + h, 0}});
          wl->openings.push_back(opening(c.x + w / 4, c.y, 1, c.x + w / 2, c.y + h, 2));
          break;
        }
        case 6: {
          const double s = uniform(1, 8);
          pattern(square(c.x, c.y, c.x + s, c.y + s));
          break;
        }
        case 7: {
          const double s = uniform(1, 8);
          room(near(c.x + s / 2, c.y + s / 2, s), square(c.x, c.y, c.x + s, c.y + s));
          break;
        }
        case 8:
          spline(c, near(c.x, c.y, 3), near(c.x, c.y, 3), near(c.x, c.y, 3));
          break;
        case 9:
          line3d({c.x, c.y, uniform(-2, 2), 0}, {c.x + 2, c.y + 1, uniform(-2, 2), 0});
          break;
        case 10:
          mesh({{c.x, c.y, 0, 0}, {c.x + 2, c.y, 1, 0}, {c.x + 2, c.y + 2, 1, 0}, {c.x, c.y + 1.5, 0, 0}});
          break;
        case 11:
          light(c.x, c.y, uniform(0, 3));
          break;
        case 12:
          camera(c.x, c.y, uniform(0, 3));
          break;
        default:
          dim(DIM_CHAIN, {});  // no points: no box
          break;
      }
    }
    cur_layer = 0;
  }

  std::vector<ElemHeader*> some(double share) {
    std::vector<ElemHeader*> out;
    for (ElemHeader* e : elements())
      if (uniform(0, 1) < share) out.push_back(e);
    return out;
  }
  void mark_some(double share) {
    for (ElemHeader* e : some(share)) e->mark = 1;
  }
  static void unmark_all() {
    for (ElemHeader* e : elements()) {
      e->mark = 0;
      elem_clear_point_marks(e);
    }
  }

  // One random change of the drawing, as the tools and commands make them.
  void edit() {
    switch (pick_int(0, 10)) {
      case 0:
        add_elements(pick_int(1, 20));
        undo_record(UNDO_CREATED, 1);
        break;
      case 1:
        mark_some(0.02);
        undo_record(UNDO_CHANGE, 0);
        xform_move_marked(uniform(-10, 10), uniform(-10, 10), 0);
        break;
      case 2:
        mark_some(0.02);
        undo_record(UNDO_CHANGE, 0);
        xform_rotate_marked(uniform(-20, 20), uniform(-20, 20), uniform(-PI, PI));
        break;
      case 3:
        mark_some(0.02);
        undo_record(UNDO_CHANGE, 0);
        xform_scale_marked(uniform(-20, 20), uniform(-20, 20), 0, uniform(0.5, 2), uniform(0.5, 2), 1, 0);
        break;
      case 4:
        mark_some(0.02);
        undo_record(UNDO_CHANGE, 0);
        xform_mirror_marked(uniform(-20, 20), uniform(-20, 20), uniform(-20, 20), uniform(-20, 20));
        break;
      case 5:
        // Single vertices dragged, as a stretch does.
        for (ElemHeader* e : some(0.03)) {
          if (auto* l = elem_as<LineElem>(e)) l->p1.mark = 1;
          if (auto* w = elem_as<WallElem>(e)) w->corner[0].mark = 1;
          if (auto* p = elem_as<PatternElem>(e)) p->points[0].mark = 1;
        }
        undo_record(UNDO_CHANGE_POINTS, 0);
        xform_move_marked(uniform(-5, 5), uniform(-5, 5), 0);
        break;
      case 6:
        mark_some(0.03);
        undo_record(UNDO_DELETE, 0);
        elem_purge_marked();
        break;
      case 7:
        if (undo_undone < undo_used) undo_step_back();
        break;
      case 8:
        if (undo_undone > 0) undo_step_forward();
        break;
      case 9:
        for (ElemHeader* e : some(0.02)) {
          if (auto* t = elem_as<TextElem>(e)) {
            t->text += t->text;
            t->pos.x += 3;
            elem_touch(t);
          }
        }
        break;
      default:
        for (ElemHeader* e : some(0.005)) {
          elem_unlink(e);
          elem_destroy(e);
        }
        break;
    }
    unmark_all();
  }

  // The grid's answer for a window, and what a walk over the list gives.
  static void expect_grid_answers(double xmin, double ymin, double xmax, double ymax) {
    std::vector<const ElemHeader*> grid, walk;
    elem_grid_query(xmin, ymin, xmax, ymax, 0, grid);
    PlanBox b;
    for (const ElemHeader* e : elements())
      if (elem_plan_box(e, &b) && b.xmin <= xmax && b.xmax >= xmin && b.ymin <= ymax && b.ymax >= ymin)
        walk.push_back(e);
    EXPECT_EQ(grid, walk);
  }

  // What the snap, the hover sign and the picks give at the positions.
  struct Outcome {
    std::vector<const ElemHeader*> picked;
    std::vector<double> numbers;  // snap codes and points, hover codes, picked edges
    bool operator==(const Outcome&) const = default;
  };
  static Outcome outcome(const std::vector<Point2>& at) {
    Outcome o;
    for (const Point2& p : at) {
      o.numbers.push_back(snap_find_point(nullptr, p.x, p.y));
      o.numbers.insert(o.numbers.end(), {snap_point.x, snap_point.y, snap_point.z});
      cursor_pos = {view_wx_to_sx(p.x) + 0.0, view_wy_to_sy(p.y) + 0.0};
      input_hover_timer();
      for (int i = 0; i < 100000 && input_hover_scan_running(); ++i) input_hover_timer();
      o.numbers.push_back(hover_code);
      for (uint8_t code = PICK_ANY; code <= PICK_SOLID; ++code)
        o.picked.push_back(pick_nearest_element(p.x, p.y, code));
      picked_edge = PickedEdge{};
      o.picked.push_back(pick_snap_edge(p.x, p.y));
      o.picked.push_back(pick_line_edge(p.x, p.y));
      o.numbers.insert(o.numbers.end(), {picked_edge.x1, picked_edge.y1, picked_edge.x2, picked_edge.y2});
    }
    return o;
  }

  std::vector<Point2> positions(int n) {
    std::vector<Point2> out;
    for (int i = 0; i < n; ++i) out.push_back(near(0, 0, 30));
    return out;
  }
};

TEST_F(IndexFollowTest, AfterEditsUndosAndRedosTheAnswersAreAFreshBuilds) {
  add_elements(1500);
  const std::vector<Point2> at = positions(25);
  outcome(at);  // builds the grid and the picks' knowledge of the list
  for (int round = 0; round < 10; ++round) {
    SCOPED_TRACE(round);
    for (int step = 0; step < 8; ++step) {
      edit();
      // Each change is taken in as it comes.
      const Point2 c = near(0, 0, 30);
      expect_grid_answers(c.x - 3, c.y - 3, c.x + 3, c.y + 3);
      pick_nearest_element(c.x, c.y, PICK_ANY);
    }
    if (round == 4) {
      // Far more at once than is worth taking in one by one.
      add_elements(5000);
      expect_grid_answers(-10, -10, 10, 10);
      mark_some(1.0);
      undo_record(UNDO_CHANGE, 0);
      xform_move_marked(1, 1, 0);
      unmark_all();
      expect_grid_answers(-10, -10, 10, 10);
    }
    const Outcome followed = outcome(at);
    std::vector<const ElemHeader*> boxless_followed, boxless_fresh;
    elem_grid_query_boxless(0, boxless_followed);
    // A change nobody names makes both start over.
    elem_touch();
    EXPECT_TRUE(outcome(at) == followed) << "the snap, the hover or a pick differs from a fresh build";
    elem_grid_query_boxless(0, boxless_fresh);
    EXPECT_EQ(boxless_followed, boxless_fresh);
  }
}

// A journal that no longer holds every change since the grid looked makes
// it start over.
TEST_F(IndexFollowTest, MoreChangesThanTheJournalHoldsStartOver) {
  add_elements(300);
  expect_grid_answers(-20, -20, 20, 20);
  auto* l = line(0, 0, 1, 1);
  expect_grid_answers(-20, -20, 20, 20);
  l->p2 = {30, 30, 0};
  for (uint64_t i = 0; i <= ELEM_JOURNAL_SIZE; ++i) elem_touch(l);
  expect_grid_answers(25, 25, 35, 35);
  expect_grid_answers(-20, -20, 20, 20);
}

// A text that grows in place past how far the others reach is picked where
// its baseline now runs, as a walk over the list picks it.
TEST_F(IndexFollowTest, ATextGrownInPlaceIsPickedWhereItNowReaches) {
  for (int i = 0; i < 400; ++i) text(-150 + (i % 20) * 15, 100 + (i / 20) * 3, 0, TEXT_LEFT, "xx");
  line(20, 5, 30, 5);
  TextElem* grows = text(0, 0, 0, TEXT_LEFT, "x");
  EXPECT_NE(pick_nearest_element(25, 0.2, PICK_ANY), grows);
  grows->text = std::string(40, 'x');
  grows->height = 20.0;
  ASSERT_GT(font_text_width(20.0, 1.0, 0.0, "Simpel", grows->text.c_str(), TEXT_LEFT, 0.0), 30.0);
  elem_touch(grows);
  EXPECT_EQ(pick_nearest_element(25, 0.2, PICK_ANY), grows);
  EXPECT_EQ(pick_nearest_element(25, 0.2, PICK_TEXT), grows);
  pick_search_use(PickSearch::WALK);
  EXPECT_EQ(pick_nearest_element(25, 0.2, PICK_ANY), grows);
}

}  // namespace
