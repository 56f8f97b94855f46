// How a selection ends: cancelled at any step (every mark gone, earlier ones
// too), the clearing modes, the attribute filter, and the view afterwards
// equal to a clean redraw.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "display/export_scope.h"
#include "select_fixture.h"

namespace {

using Strings = std::vector<std::string>;

// Something drawn into the view that no element accounts for: only a
// redraw of the whole view takes it away.
void scribble() { view_draw_pen_line(0, PAL_PEN_0 + 2, 10, 10, 20, 10); }
bool scribbled() { return view_pixel(0, 15, 10) != view_palettes[0][PAL_BACKGROUND]; }

TEST_F(SelectTest, CancelAtEveryStepTakesEveryMarkAway) {
  struct Case {
    const char* name;
    uint8_t arg;
    std::function<void()> steps;
    const char* last_prompt;
    const char* pending;
  } cases[] = {
      {"Escape at Element", 0, [] {}, "Element:", "p_nop"},
      {"Cancel button at Element", 0, [this] { script.key("s_deffi_cancel"); }, "Element:", "nop"},
      {"another tool at Element", 0, [] {}, "Element:", "b_line_line"},
      {"Escape at the first corner", 0, [this] { radio(select_type, 0); }, "1st Corner point:", "p_nop"},
      {"Escape at the second corner", 0,
       [this] {
         radio(select_type, 0);
         click(-20, -20);
       },
       "2nd Corner point:", "p_nop"},
      {"Escape at Group", 0, [this] { radio(select_type, 3); }, "Group:", "p_nop"},
      {"Escape at Opening", 2, [this] { radio(select_type, 2); }, "Opening:", "p_nop"},
      {"Escape at the second corner of Point", 2,
       [this] {
         radio(select_type, 4);
         click(-20, -20);
       },
       "2nd Corner point:", "p_nop"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    drawing_free();
    drawing_init();
    ElemHeader* before = line(-10, 0, 10, 0);
    ElemHeader* picked = line(-10, 5, 10, 5);
    auto* with_points = elem_as<LineElem>(line(-10, 10, 10, 10));
    before->mark = 1;
    with_points->p1.mark = 1;
    redraw();
    page_log().clear();
    // A click selects the second line first, then the case's steps and end.
    click(0, 5);
    c.steps();
    // The Cancel button's case ends by its steps, the others by a key.
    if (std::string(c.pending) != "nop") script.key(c.pending);
    pending_command = "nop";
    EXPECT_EQ(run_select(c.arg), 0);
    EXPECT_EQ(ui.last_prompt, c.last_prompt);
    EXPECT_TRUE(marked().empty());
    EXPECT_EQ(picked->mark, 0);
    EXPECT_EQ(with_points->p1.mark, c.arg == 2 ? 0 : 1) << "the move tool's cancel clears point marks";
    EXPECT_EQ(pending_command, c.pending);
    EXPECT_EQ(page_log(), (Strings{"enter " + std::to_string(c.arg), "leave"}));
    expect_clean_surface();
    // What stays in the selection colour is the third line's point marker.
    EXPECT_EQ(selected_pixels() > 0, c.arg != 2);
  }
}

TEST_F(SelectTest, ClearInModeZeroDrawsOnlyTheMarkedAndKeepsPointMarks) {
  ElemHeader* a = line(-10, 0, 10, 0);
  line(-10, 5, 10, 5);
  auto* b = elem_as<LineElem>(line(-10, 10, 10, 10));
  a->mark = 1;
  b->p2.mark = 1;
  redraw();
  select_points_marked = 1;
  scribble();
  {
    RecordingOutdev rec;
    select_clear(0);
    EXPECT_EQ(rec.of("line").size(), 2u + 2u) << "two lines, and the marker's two strokes";
  }
  EXPECT_TRUE(scribbled());
  EXPECT_EQ(a->mark, 0);
  EXPECT_EQ(b->p2.mark, 1);
}

TEST_F(SelectTest, ClearModesOneAndTwoAfterAPointSelectionRedrawTheView) {
  struct Case {
    uint8_t mode;
    int line_mark, wall_mark;
  } cases[] = {{1, 1, 0}, {2, 0, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.mode));
    drawing_free();
    drawing_init();
    auto* l = elem_as<LineElem>(line(-10, 0, 10, 0));
    l->mark = 1;
    WallElem* w = wall(0, 6, 5);
    w->segments[0].start.mark = 1;
    w->corner[5].mark = 1;
    WallOpening o;
    const double xs[4] = {1, 2, 2, 1}, ys[4] = {5, 5, 5.3, 5.3};
    for (int i = 0; i < 8; ++i) o.corner[i] = {xs[i % 4], ys[i % 4], i < 4 ? 0.9 : 2.1, 0};
    o.reserved = 1;
    w->openings.push_back(o);
    l->p1.mark = 1;
    redraw();
    scribble();
    select_points_marked = 1;
    select_clear(c.mode);
    EXPECT_FALSE(scribbled()) << "the whole view is drawn anew";
    EXPECT_EQ(l->mark, 0);
    EXPECT_EQ(l->p1.mark, c.line_mark);
    EXPECT_EQ(w->segments[0].start.mark, c.wall_mark);
    EXPECT_EQ(w->corner[5].mark, c.wall_mark);
    EXPECT_EQ(w->openings[0].reserved, 0);
    EXPECT_EQ(select_points_marked, 1) << "stays until the next selection";
    expect_clean_surface();
  }
}

// Unhighlighted elements of another shown layer come back dimmed, and a
// filling no longer covers the lines drawn over it.
TEST_F(SelectTest, ClearShowsEachElementInItsLayersColour) {
  layers[2].shown = 1;
  Point2 square[5] = {{-5, -5}, {5, -5}, {5, 5}, {-5, 5}, CONTOUR_END};
  elem_new_pattern(0, 0, 0, 0, 0, 0, 0.5, 0, 0, 0, 0, 0, 0.5, 5, square, 0.2, 0.6, 0.9, PATTERN_FILLING);
  ElemHeader* fill = elem_list_tail;
  line(-10, 0, 10, 0, 0, 3);
  ElemHeader* dimmed = line(-10, 8, 10, 8, 2);
  redraw();
  radio(select_all_layers, 1);
  radio(select_type, 0);
  window(-11, 7, 11, 9);
  ok();
  EXPECT_EQ(run_select(), 1);
  EXPECT_EQ(dimmed->mark, 1);
  expect_clean_surface();
  select_clear(0);
  expect_clean_surface();

  fill->mark = 1;
  redraw();
  select_clear(0);
  expect_clean_surface();
}

TEST_F(SelectTest, FilterMatchesByPenLineTypeOrTheKindTheListEntryStandsFor) {
  // The Object type list's order and the kinds behind it.
  const char* labels[] = {"Line",   "Circle",  "Text",      "Dimension", "Wall",  "Pattern",
                          "Spline", "3D Line", "3D Object", "Room",      "Light", "Camera"};
  const uint8_t kinds[] = {ELEM_LINE,   ELEM_ARC,    ELEM_TEXT, ELEM_DIM,  ELEM_WALL,  ELEM_PATTERN,
                           ELEM_SPLINE, ELEM_LINE3D, ELEM_MESH, ELEM_ROOM, ELEM_LIGHT, ELEM_CAMERA};
  for (int i = 0; i < SELECT_KIND_CHOICES; ++i) {
    EXPECT_STREQ(select_kind_choices[i].label, labels[i]);
    EXPECT_EQ(select_kind_choices[i].kind, kinds[i]) << labels[i];
  }
  LineElem l;
  l.pen = 2;
  l.line_type = 1;
  RoomElem room;
  room.pen = 2;
  room.line_type = 3;
  struct Case {
    SelectFilter f;
    const ElemHeader* e;
    int32_t want;
  } cases[] = {
      {{0, 3, 0, 0, 1}, &l, 1},      // off
      {{1, 0, 2, 0, 0}, &l, 1},      // pen
      {{1, 0, 3, 1, 0}, &l, 0},      // another pen
      {{1, 1, 0, 1, 0}, &l, 1},      // line type
      {{1, 2, 2, 1, 0}, &l, 1},      // both
      {{1, 2, 2, 3, 0}, &l, 0},      // the pen only
      {{1, 3, 0, 0, 0}, &l, 1},      // "Line"
      {{1, 3, 0, 0, 9}, &l, 0},      // "Room"
      {{1, 3, 0, 0, 9}, &room, 1},   // "Room" is kind 11, not 10
      {{1, 3, 0, 0, 11}, &room, 0},  // "Camera" is kind 10
      {{1, 3, 0, 0, 12}, &l, 0},     // beyond the list
      {{1, 3, 0, 0, -1}, &l, 0},     // before it
      {{1, 4, 2, 1, 0}, &l, 0},      // no such mode
  };
  for (const Case& c : cases) {
    select_filter = c.f;
    EXPECT_EQ(select_filter_match(c.e), c.want) << "mode " << c.f.mode << " pen " << c.f.pen << " lt "
                                                << c.f.line_type << " kind " << c.f.kind_choice;
  }
}

TEST_F(SelectTest, WithTheFilterOnLinesAloneCanBeSelected) {
  ElemHeader* a = line(-10, 0, 10, 0);
  ElemHeader* c = circle(0, 10, 3);
  ElemHeader* b = line(-10, -5, 10, -5, 0, 4);
  redraw();
  filter(3, 0, 0, 0);
  click(0, 13);  // the circle: filtered out
  click(0, 0);
  script.key("s_deffi_all");
  ok();
  EXPECT_EQ(run_select(), 1);
  EXPECT_EQ(a->mark, 1);
  EXPECT_EQ(b->mark, 1);
  EXPECT_EQ(c->mark, 0);
  expect_clean_surface();

  // By pen in a window.
  select_clear(0);
  radio(select_type, 0);
  filter(0, 4, 0, 0);
  window(-11, -11, 11, 11);
  ok();
  EXPECT_EQ(run_select(), 1);
  EXPECT_EQ(marked(), (std::vector<const ElemHeader*>{b}));
  select_clear(0);
  expect_clean_surface();
}

TEST_F(SelectTest, ExportScopeSelectObjectsRunsTheSelection) {
  ElemHeader* a = line(-10, 0, 10, 0);
  ElemHeader* b = line(-10, 5, 10, 5);
  redraw();
  ui.answers.push_back(3);
  click(0, 5);
  ok();
  EXPECT_EQ(msgbox_ask_export_scope("SVG"), 1);
  EXPECT_EQ(a->mark, 0);
  EXPECT_EQ(b->mark, 1);
  EXPECT_EQ(script.remaining(), 0u);

  ui.answers.push_back(3);
  script.key("p_nop");
  EXPECT_EQ(msgbox_ask_export_scope("SVG"), 0);
  EXPECT_EQ(b->mark, 0);
  expect_clean_surface();
}

}  // namespace
