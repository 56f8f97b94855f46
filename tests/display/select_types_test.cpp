// Each selection type end to end through a script of clicks and the Select
// page's buttons: what gets marked, what shows highlighted, and a view that
// equals a clean redraw at the end.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "display/snap.h"
#include "model/undo.h"
#include "select_fixture.h"

namespace {

using Strings = std::vector<std::string>;

TEST_F(SelectTest, EveryStartShowsElementActiveActiveLayerAndNoFilterAndOkKeepsEarlierMarks) {
  ElemHeader* a = line(-10, 5, 10, 5);
  a->mark = 1;
  redraw();
  select_type = 0;
  select_mode = 2;
  select_all_layers = 1;
  select_filter = SelectFilter{1, 3, 0, 0, 4};
  int idle_while_asking = -1;
  rows()["z_look"] = [&] { idle_while_asking = select_idle; };
  script.key("z_look");
  ok();
  EXPECT_EQ(run_select(2), 1);

  EXPECT_EQ(idle_while_asking, 0);
  EXPECT_EQ(select_type, 1);
  EXPECT_EQ(select_mode, 0);
  EXPECT_EQ(select_all_layers, 0);
  EXPECT_EQ(select_filter.on, 0);
  EXPECT_EQ(select_filter.kind_choice, 4) << "only the toggle is reset";
  EXPECT_EQ(page_log(), (Strings{"enter 2", "leave"}));
  EXPECT_EQ(prompts(), (Strings{"prompt Element:", "prompt Element:"}));
  EXPECT_EQ(a->mark, 1);
  expect_clean_surface();
}

TEST_F(SelectTest, RangeNeedsBothLineEndsButOnlyACirclesCentre) {
  ElemHeader* l = line(0, 0, 20, 0);
  ElemHeader* c = circle(5, 10, 8);
  redraw();
  radio(select_type, 0);
  window(10, 12, -2, -2);  // upper right first: the corners are ordered
  ok();
  EXPECT_EQ(run_select(), 1);

  EXPECT_EQ(marked(), (std::vector<const ElemHeader*>{c}));
  EXPECT_EQ(l->mark, 0);
  EXPECT_EQ(prompts(), (Strings{"prompt Element:", "prompt 1st Corner point:", "prompt 2nd Corner point:",
                                "prompt 1st Corner point:"}));
  EXPECT_DOUBLE_EQ(select_window.x1, -2);
  EXPECT_DOUBLE_EQ(select_window.x2, 10);
  EXPECT_DOUBLE_EQ(select_window.y1, -2);
  EXPECT_DOUBLE_EQ(select_window.y2, 12);
  // Highlighted, and nothing of the rubber band or the cursor left.
  expect_clean_surface();
  EXPECT_EQ(view_pixel(0, px(13), py(10)), view_palettes[0][PAL_SELECTED]);
  EXPECT_NE(view_pixel(0, px(15), py(0)), view_palettes[0][PAL_SELECTED]);

  select_clear(0);
  EXPECT_TRUE(marked().empty());
  EXPECT_EQ(selected_pixels(), 0);
  expect_clean_surface();
}

DimPoint dim_point(double x, double y, double mx, double my) {
  DimPoint p;
  p.line_point = Point2{x, y, 0};
  p.measured = Point2{mx, my, 0};
  return p;
}

void dim(int kind, std::vector<DimPoint> points) {
  elem_new_dim(0, 0, 0, 0, 0, 0, 2.5, 1, 0.1, 0.5, 1, "Simpel", 1, DIM_MARK_LINE, kind,
               static_cast<int>(points.size()), points.data());
}

void pattern(std::vector<Point2> points) {
  elem_new_pattern(0, 0, 0, 0, 0, 0, 0.5, 0, 0, 0, 0, 0, 0.5, static_cast<int>(points.size()), points.data(),
                   0, 0, 0, PATTERN_ONE_LINE);
}

void mesh(std::vector<Point3> v) {
  const int32_t sizes[1] = {static_cast<int32_t>(v.size())};
  std::vector<int32_t> idx;
  for (std::size_t i = 0; i < v.size(); ++i) idx.push_back(static_cast<int32_t>(i));
  elem_new_mesh(0, 0, 0, static_cast<int>(v.size()), v.empty() ? 0 : 1, sizes, v.data(), idx.data(),
                "Default", 0);
}

// The window (0, 0) - (10, 10) against one element of each kind: one that
// has the points that count inside, and a neighbour with just one of them
// outside. Each is selected in a drawing of its own.
TEST_F(SelectTest, RangeWindowRuleOfEveryKindInThePlan) {
  static constexpr Point2 E = CONTOUR_END;
  struct Case {
    const char* name;
    std::function<void()> build;
    int want;
  } cases[] = {
      {"line", [] { line(1, 1, 9, 9); }, 1},
      {"line with an end outside", [] { line(1, 1, 11, 9); }, 0},
      {"Bezier by its ends", [] { elem_new_spline(0, 0, 0, 1, 1, -5, 20, 20, -5, 9, 9); }, 1},
      {"Bezier with its end outside", [] { elem_new_spline(0, 0, 0, 1, 1, 2, 2, 3, 3, 9, 12); }, 0},
      {"circle by its centre", [] { circle(5, 5, 30); }, 1},
      {"circle with its centre outside", [] { circle(11, 5, 1); }, 0},
      {"text by its insertion point",
       [] { elem_new_text(0, 0, 0, 9, 9, 0, 2.5, 1, 0.1, 1.5, "Far beyond", 0, "Simpel", 0); }, 1},
      {"text with its insertion point outside",
       [] { elem_new_text(0, 0, 0, 9, 11, 0, 2.5, 1, 0.1, 1.5, "T", 0, "Simpel", 0); }, 0},
      {"chain by its line points",
       [] {
         dim(DIM_CHAIN, {dim_point(1, 9, 1, -5), dim_point(9, 9, 9, -5)});
       },
       1},
      {"chain with a line point outside",
       [] {
         dim(DIM_CHAIN, {dim_point(1, 9, 1, 5), dim_point(12, 9, 9, 5)});
       },
       0},
      {"chain without points", [] { dim(DIM_CHAIN, {}); }, 1},
      {"level by its third point",
       [] {
         dim(DIM_LEVEL, {dim_point(-5, -5, 0, 0), dim_point(-5, 20, 0, 0), dim_point(5, 5, 0, 0)});
       },
       1},
      {"level with its third point outside",
       [] {
         dim(DIM_LEVEL, {dim_point(5, 5, 0, 0), dim_point(5, 5, 0, 0), dim_point(5, 15, 0, 0)});
       },
       0},
      {"radius by its second and third points",
       [] {
         dim(DIM_RADIUS, {dim_point(-5, -5, 0, 0), dim_point(2, 2, 0, 0), dim_point(8, 8, 0, 0)});
       },
       1},
      {"radius with its second point outside",
       [] {
         dim(DIM_RADIUS, {dim_point(5, 5, 0, 0), dim_point(-1, 2, 0, 0), dim_point(8, 8, 0, 0)});
       },
       0},
      {"angle by its second and third points",
       [] {
         dim(DIM_ANGLE, {dim_point(-5, -5, 0, 0), dim_point(2, 2, 0, 0), dim_point(8, 8, 0, 0)});
       },
       1},
      {"angle with its third point outside",
       [] {
         dim(DIM_ANGLE, {dim_point(5, 5, 0, 0), dim_point(2, 2, 0, 0), dim_point(8, 18, 0, 0)});
       },
       0},
      {"pattern by every contour point",
       [] {
         pattern({{1, 1}, {9, 1}, {9, 9}, E, {2, 2}, {3, 2}, {3, 3}, E});
       },
       1},
      {"pattern with a hole's point outside",
       [] {
         pattern({{1, 1}, {9, 1}, {9, 9}, E, {2, 2}, {3, 2}, {3, 13}, E});
       },
       0},
      {"pattern without points", [] { pattern({E}); }, 1},
      {"room by its contour, not its label",
       [] {
         Point2 p[4] = {{1, 1}, {9, 1}, {9, 9}, E};
         elem_new_room(0, 0, 0, 40, 40, "Simpel", 0, 2.5, 1, 0.1, 1.5, "R", "1", 1, 0, 2.5, 1, 1, 1, 1, 4, p);
       },
       1},
      {"room with a contour point outside",
       [] {
         Point2 p[4] = {{1, 1}, {9, 1}, {9, 19}, E};
         elem_new_room(0, 0, 0, 5, 5, "Simpel", 0, 2.5, 1, 0.1, 1.5, "R", "1", 1, 0, 2.5, 1, 1, 1, 1, 4, p);
       },
       0},
      {"wall by its corners", [] { wall(1, 9, 1); }, 1},
      {"wall with corners outside", [] { wall(1, 12, 1); }, 0},
      {"mesh by every vertex",
       [] {
         mesh({{1, 1, 0}, {9, 1, 5}, {9, 9, -5}});
       },
       1},
      {"mesh with a vertex outside",
       [] {
         mesh({{1, 1, 0}, {9, 1, 5}, {9, 11, -5}});
       },
       0},
      {"mesh without vertices", [] { mesh({}); }, 1},
      {"3D line", [] { elem_new_line3d(0, 0, 0, 1, 1, 0, 9, 9, 30); }, 1},
      {"3D line with an end outside", [] { elem_new_line3d(0, 0, 0, 1, 1, 0, 19, 9, 0); }, 0},
      {"light by its position",
       [] { elem_new_light(0, 0, 0, LIGHT_SPOT, 0, 1, 20, 0, 5, 5, 3, 30, 30, 0, 1, 1, 1); }, 1},
      {"light with its position outside",
       [] { elem_new_light(0, 0, 0, LIGHT_SPOT, 0, 1, 20, 0, 15, 5, 3, 5, 5, 0, 1, 1, 1); }, 0},
      {"camera by its eye", [] { elem_new_camera(0, 0, 0, 5, 5, 1.5, 30, 30, 1.5, 60, 0); }, 1},
      {"camera with its eye outside", [] { elem_new_camera(0, 0, 0, 5, -5, 1.5, 5, 5, 1.5, 60, 0); }, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    drawing_free();
    drawing_init();
    c.build();
    ElemHeader* e = elem_list_tail;
    redraw();
    radio(select_type, 0);
    window(0, 0, 10, 10);
    ok();
    EXPECT_EQ(run_select(), 1);
    EXPECT_EQ(e->mark, c.want);
    expect_clean_surface();
    select_clear(0);
    expect_clean_surface();
  }
}

// In an elevation the plan kinds never count; the 3D kinds count by their
// projection (the front view shows x and z).
TEST_F(SelectTest, RangeInAnElevationTakesOnlyProjected3dKinds) {
  view_type = VIEW_FRONT;
  ElemHeader* l = line(1, 1, 5, 1);
  WallElem* w = wall(1, 5, 0);
  elem_new_line3d(0, 0, 0, 9, 0, 1, 9, 0, 9);
  ElemHeader* high = elem_list_tail;
  elem_new_line3d(0, 0, 0, 7, -40, 1, 8, 40, 2);
  ElemHeader* deep = elem_list_tail;
  redraw();
  radio(select_type, 0);
  window(0, -1, 10, 4);
  ok();
  EXPECT_EQ(run_select(), 1);
  EXPECT_EQ(l->mark, 0);
  EXPECT_EQ(w->mark, 1);
  EXPECT_EQ(high->mark, 0) << "its top at z 9 lies above the window";
  EXPECT_EQ(deep->mark, 1) << "y does not show in the front view";
  expect_clean_surface();
  select_clear(0);
  expect_clean_surface();
}

TEST_F(SelectTest, ModesOnAPickedElementAndOnAWindow) {
  ElemHeader* a = line(-10, 0, 10, 0);
  ElemHeader* b = line(-10, 5, 10, 5);
  ElemHeader* c = line(-10, 10, 10, 10);
  a->mark = 1;
  redraw();
  // Switch: the selected line goes plain, the plain one shows selected.
  radio(select_mode, 2);
  click(0, 0);
  click(0, 5);
  // Passive over a window holding all three: everything plain.
  radio(select_mode, 1);
  radio(select_type, 0);
  window(-11, -1, 11, 11);
  // Active: the click on an element selects it, a click on nothing changes nothing.
  radio(select_mode, 0);
  radio(select_type, 1);
  int between = -1;
  rows()["z_look"] = [&] { between = static_cast<int>(marked().size()); };
  script.key("z_look");
  click(0, 10);
  click(30, 20);
  ok();
  EXPECT_EQ(run_select(), 1);
  EXPECT_EQ(between, 0);
  EXPECT_EQ(a->mark, 0);
  EXPECT_EQ(b->mark, 0);
  EXPECT_EQ(c->mark, 1);
  expect_clean_surface();
  select_clear(0);
  expect_clean_surface();
}

TEST_F(SelectTest, SwitchOnASelectedElementDrawsItPlain) {
  ElemHeader* a = line(-10, 0, 10, 0);
  a->mark = 1;
  redraw();
  ASSERT_GT(selected_pixels(), 0);
  radio(select_mode, 2);
  click(0, 0);
  ok();
  EXPECT_EQ(run_select(), 1);
  EXPECT_EQ(a->mark, 0);
  expect_clean_surface();
  EXPECT_EQ(selected_pixels(), 0);
}

TEST_F(SelectTest, AllAndLastOnTheActiveOrTheVisibleLayers) {
  layers[2].shown = 1;
  layers[3].shown = 0;
  ElemHeader* old = line(-10, 0, 10, 0);
  undo_record(UNDO_CREATED, 1);
  ElemHeader* cur = line(-10, 2, 10, 2);
  ElemHeader* shown = line(-10, 4, 10, 4, 2);
  ElemHeader* hidden = line(-10, 6, 10, 6, 3);
  ElemHeader* temp = line(-10, 8, 10, 8, LAYER_TEMP_3D);
  undo_record(UNDO_CREATED, 4);
  redraw();
  struct Case {
    int layers;
    bool last;
    std::vector<const ElemHeader*> want;
  } cases[] = {
      {0, false, {old, cur}}, {1, false, {old, cur, shown}}, {0, true, {cur}}, {1, true, {cur, shown}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.last ? "Last" : "All") + (c.layers ? " visible layers" : " active layer"));
    select_clear_flags();
    redraw();
    radio(select_all_layers, c.layers);
    script.key(c.last ? "s_deffi_last" : "s_deffi_all");
    ok();
    EXPECT_EQ(run_select(), 1);
    EXPECT_EQ(marked(), c.want);
    EXPECT_EQ(hidden->mark, 0);
    EXPECT_EQ(temp->mark, 0);
    expect_clean_surface();
  }
  select_clear(0);
  expect_clean_surface();
}

TEST_F(SelectTest, GroupSelectsTheGroupsMembersOnTheCurrentLayerOnly) {
  layers[2].shown = 1;
  ElemHeader* a = line(-10, 0, 10, 0);
  ElemHeader* b = circle(20, 20, 2);
  ElemHeader* other_layer = line(-10, 4, 10, 4, 2);
  ElemHeader* other_group = line(-10, 8, 10, 8);
  ElemHeader* loose = line(-10, 12, 10, 12);
  a->group = b->group = other_layer->group = 7;
  other_group->group = 8;
  redraw();
  radio(select_type, 3);
  click(0, 12);  // an element without a group: nothing
  click(0, 0);
  ok();
  EXPECT_EQ(run_select(), 1);
  EXPECT_EQ(marked(), (std::vector<const ElemHeader*>{a, b}));
  EXPECT_EQ(loose->mark, 0);
  EXPECT_EQ(prompts().at(1), "prompt Group:");
  expect_clean_surface();

  // With the filter, only the group's lines.
  select_clear(0);
  radio(select_type, 3);
  filter(3, 0, 0, 0);
  click(0, 0);
  ok();
  EXPECT_EQ(run_select(), 1);
  EXPECT_EQ(marked(), (std::vector<const ElemHeader*>{a}));
  select_clear(0);
  expect_clean_surface();
}

// A wall along y = 0 from 0 to 6, 0.3 thick, with a door from x 1 to 2
// (stop width 0.05, depth 0.1) cut into its outline.
WallElem* wall_with_door(double stop_width) {
  const double c[24] = {0, 0, 0,    6, 0, 0,    6, 0.3, 0,    0, 0.3, 0,
                        0, 0, 2.75, 6, 0, 2.75, 6, 0.3, 2.75, 0, 0.3, 2.75};
  WallSegment quad[4];
  wall_outline_quad(0, 0, 6, 0, 6, 0.3, 0, 0.3, quad);
  elem_new_wall(0, 1, 0, c, 4, quad, 0, nullptr, "Default", 0, 0, 0, 0, 0, 0, 0);
  WallElem* w = elem_as<WallElem>(elem_list_tail);
  Point3 box[8];
  const double xs[4] = {1, 2, 2, 1}, ys[4] = {0, 0, 0.3, 0.3};
  for (int i = 0; i < 4; ++i) {
    box[i] = {xs[i], ys[i], 0.9, 0};
    box[i + 4] = {xs[i], ys[i], 2.1, 0};
  }
  WallElem* cut = opening_cut_wall(box, OPENING_DOOR, 1, 0.9, 1.2, stop_width, 0.1, 0, w);
  elem_unlink(w);
  elem_destroy(w);
  return cut;
}

// The outline ends the door's selection marks, as (x, y) of each marked end.
std::vector<std::pair<double, double>> marked_ends(const WallElem* w) {
  std::vector<std::pair<double, double>> out;
  for (const WallSegment& s : w->segments)
    for (const Point2* p : {&s.start, &s.end})
      if (p->mark == 1) out.emplace_back(std::round(p->x * 100) / 100, std::round(p->y * 100) / 100);
  std::sort(out.begin(), out.end());
  out.erase(std::unique(out.begin(), out.end()), out.end());
  return out;
}

TEST_F(SelectTest, OpeningMarksItsCornersAndTheOutlineEndsOfItsOwnWall) {
  // Walls before and after with ends on the door's points.
  WallElem* before = wall(1, 2, -0.3);
  WallElem* w = wall_with_door(0.05);
  WallElem* after = wall(0.95, 2.05, 0.3);
  redraw();
  radio(select_type, 2);
  click(1.5, 3);     // farther than 1 from the door: nothing
  click(1.5, 0.15);  // on the line through its corners 0 and 2
  ok();
  EXPECT_EQ(run_select(2), 1);

  EXPECT_EQ(select_points_marked, 1);
  for (const Point3& c : w->openings.at(0).corner) EXPECT_EQ(c.mark, 1);
  using P = std::pair<double, double>;
  EXPECT_EQ(marked_ends(w),
            (std::vector<P>{
                {0.95, 0.1}, {0.95, 0.3}, {1, 0}, {1, 0.1}, {2, 0}, {2, 0.1}, {2.05, 0.1}, {2.05, 0.3}}));
  for (const WallElem* o : {before, after}) {
    EXPECT_TRUE(marked_ends(o).empty());
    EXPECT_FALSE(elem_has_marked_point(o));
  }
  EXPECT_EQ(w->mark, 0);
  EXPECT_EQ(prompts().at(1), "prompt Opening:");
  select_clear(2);
  EXPECT_FALSE(elem_has_marked_point(w));
  expect_clean_surface();
}

// With no stop width the reveal points fall on the stop and inner corners:
// Switch then meets those ends twice and leaves them as they were.
TEST_F(SelectTest, SwitchOnAnOpeningTogglesAnEndOnceForEveryPointOnIt) {
  WallElem* w = wall_with_door(0.0);
  redraw();
  radio(select_mode, 2);
  radio(select_type, 2);
  click(1.5, 0.15);
  ok();
  EXPECT_EQ(run_select(2), 1);
  using P = std::pair<double, double>;
  EXPECT_EQ(marked_ends(w), (std::vector<P>{{1, 0}, {2, 0}}));
  select_clear(2);
  expect_clean_surface();
}

TEST_F(SelectTest, OpeningAndPointCannotBeChosenForPlainSelections) {
  ElemHeader* a = line(-10, 0, 10, 0);
  redraw();
  // A type the page does not offer falls back to Element.
  radio(select_type, 2);
  click(0, 0);
  ok();
  EXPECT_EQ(run_select(0), 1);
  EXPECT_EQ(a->mark, 1);
  EXPECT_EQ(page_log(), (Strings{"enter 0", "leave"}));
  EXPECT_EQ(prompts(), (Strings{"prompt Element:", "prompt Element:", "prompt Element:"}));
  select_clear(0);
}

TEST_F(SelectTest, PointSelectionMarksTheVerticesInTheWindow) {
  ElemHeader* l = line(0, 0, 20, 0);
  ElemHeader* arc = circle(5, 5, 3);
  dim(DIM_CHAIN, {dim_point(-10, 8, -10, 1), dim_point(-20, 8, -20, 1)});
  DimElem* d = elem_as<DimElem>(elem_list_tail);
  Point2 sq[5] = {{-4, -4}, {4, -4}, {4, -8}, {-4, -8}, CONTOUR_END};
  elem_new_pattern(0, 0, 0, 0, 0, 0, 0.5, 0, 0, 0, 0, 0, 0.5, 5, sq, 0, 0, 0, PATTERN_ONE_LINE);
  auto* pat = elem_as<PatternElem>(elem_list_tail);
  redraw();
  radio(select_type, 4);
  // Holds the line's start, the circle's centre, the pattern's two upper
  // corners and the first dimension point's measured point.
  window(-12, -5, 6, 6);
  ok();
  EXPECT_EQ(run_select(2), 1);

  EXPECT_EQ(select_points_marked, 1);
  EXPECT_TRUE(marked().empty()) << "a point selection marks no whole element";
  const auto* line_rec = elem_as<LineElem>(l);
  EXPECT_EQ(line_rec->p1.mark, 1);
  EXPECT_EQ(line_rec->p2.mark, 0);
  EXPECT_EQ(elem_as<ArcElem>(arc)->centre.mark, 1);
  EXPECT_EQ(d->points[0].line_point.mark, 1) << "the pair goes together";
  EXPECT_EQ(d->points[0].measured.mark, 1);
  EXPECT_EQ(d->points[1].line_point.mark, 0);
  EXPECT_EQ(pat->points[0].mark, 1);
  EXPECT_EQ(pat->points[1].mark, 1);
  EXPECT_EQ(pat->points[2].mark, 0);
  EXPECT_EQ(pat->points[4].mark, 0) << "the contour end is no vertex";
  // The markers show in the selection colour.
  EXPECT_EQ(view_pixel(0, px(0), py(0) + 2), view_palettes[0][PAL_SELECTED]);

  select_clear(2);
  for (ElemHeader* e : elements()) EXPECT_FALSE(elem_has_marked_point(e));
  expect_clean_surface();
}

TEST_F(SelectTest, PassivePointSelectionClearsMarksAndDrawsTheElementAgain) {
  ElemHeader* l = line(0, 0, 20, 0);
  auto* rec = elem_as<LineElem>(l);
  rec->p1.mark = 1;
  rec->p2.mark = 1;
  redraw();
  radio(select_type, 4);
  radio(select_mode, 1);
  window(-1, -1, 1, 1);
  ok();
  EXPECT_EQ(run_select(2), 1);
  EXPECT_EQ(rec->p1.mark, 0);
  EXPECT_EQ(rec->p2.mark, 1);
  // Erasing the marker left no gap in the line.
  expect_clean_surface();
  select_clear(2);
  expect_clean_surface();
}

// In an elevation a Point selection takes the projected 3D points: a wall's
// corners but not its plan outline, the ends of 3D lines; no plan kind.
TEST_F(SelectTest, PointSelectionInAnElevationAndUnmarkingAnElement) {
  view_type = VIEW_FRONT;  // shows x and z
  WallElem* w = wall(1, 5, 0);
  elem_new_line3d(0, 0, 0, 1.2, 5, 3.5, 1.2, 5, 10);
  auto* l3 = elem_as<Line3dElem>(elem_list_tail);
  auto* flat = elem_as<LineElem>(line(1, 0, 1, 5));
  redraw();
  radio(select_type, 4);
  window(0.5, -1, 1.5, 4);
  ok();
  EXPECT_EQ(run_select(2), 1);
  for (int i : {0, 3, 4, 7}) EXPECT_EQ(w->corner[i].mark, 1) << i;
  for (int i : {1, 2, 5, 6}) EXPECT_EQ(w->corner[i].mark, 0) << i;
  for (const WallSegment& s : w->segments) EXPECT_EQ(s.start.mark + s.end.mark, 0);
  EXPECT_EQ(l3->p1.mark, 1);
  EXPECT_EQ(l3->p2.mark, 0);
  EXPECT_EQ(flat->p1.mark + flat->p2.mark, 0);
  expect_clean_surface();

  // The wall loses its marks and shows without markers.
  display_hooks.cursor_toggle();
  select_unmark_element(w);
  display_hooks.cursor_toggle();
  EXPECT_FALSE(elem_has_marked_point(w));
  EXPECT_EQ(l3->p1.mark, 1);
  expect_clean_surface();
  select_clear(2);
  expect_clean_surface();
}

// With a grid in use from the first element on: what the grid finds is what
// the window holds, elements appended after the grid was made included.
TEST_F(SelectTest, RangeThroughTheSnapGridFindsWhatTheWindowHolds) {
  snap_index_threshold = 1;
  std::vector<ElemHeader*> in, out;
  for (int i = 0; i < 40; ++i) {
    const double x = -40 + 2 * i;
    (x >= -10 && x + 0.5 <= 10 ? in : out).push_back(line(x, -1, x + 0.5, 1));
  }
  out.push_back(line(-45, 3, 45, 3));  // across the window
  mesh({});
  in.push_back(elem_list_tail);
  redraw();
  radio(select_type, 0);
  window(-10, -5, 10, 5);
  ok();
  EXPECT_EQ(run_select(), 1);
  for (const ElemHeader* e : in) EXPECT_EQ(e->mark, 1);
  for (const ElemHeader* e : out) EXPECT_EQ(e->mark, 0);
  expect_clean_surface();

  select_clear(0);
  ElemHeader* late = line(1, 2, 2, 3);
  ElemHeader* late_out = line(11, 2, 12, 3);
  redraw();
  radio(select_type, 0);
  window(-10, -5, 10, 5);
  ok();
  EXPECT_EQ(run_select(), 1);
  EXPECT_EQ(late->mark, 1);
  EXPECT_EQ(late_out->mark, 0);
  EXPECT_EQ(marked().size(), in.size() + 1);
  select_clear(0);
  expect_clean_surface();
}

TEST_F(SelectTest, WindowTestsIncludeTheBordersAndProjectIn3d) {
  select_window = SelectWindow{1, 3, -2, 2};
  struct Case {
    double x, y;
    int32_t want;
  } cases[] = {{1, -2, 1}, {3, 2, 1}, {2, 0, 1}, {0.999, 0, 0}, {2, 2.001, 0}, {std::nan(""), 0, 0}};
  for (const Case& c : cases) EXPECT_EQ(select_window_contains(c.x, c.y), c.want) << c.x << " " << c.y;
  view_type = VIEW_FRONT;  // shows x and z
  EXPECT_EQ(select_window_contains_3d(2, 100, 1), 1);
  EXPECT_EQ(select_window_contains_3d(2, 0, 3), 0);
  view_type = VIEW_PLAN;
  EXPECT_EQ(select_window_contains_3d(2, 0, 300), 1);
}

}  // namespace
