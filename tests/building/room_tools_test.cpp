// The room tools run by scripts: which way round new and added contours
// run and where the label goes, the inscription questions and their cancel
// paths, added areas and holes with the point limit, the edits of a picked
// room, and one undo step for each room made or changed.

#include "building/room_tools.h"

#include <string>
#include <vector>

#include "../display/input_fixture.h"
#include "display/command_buffer.h"
#include "display/draw_room.h"
#include "model/geom.h"
#include "model/presets.h"
#include "model/settings.h"
#include "model/undo.h"

namespace {

using Strings = std::vector<std::string>;

class RoomToolTest : public InputTest {
 protected:
  void SetUp() override {
    InputTest::SetUp();
    snap_on = 0;
    room_units.area_unit = room_units.volume_unit = 0;
    room_units.area_text = "m2";
    room_units.volume_text = "m3";
    switches(0, 0, 0, 0);
    room_preset.base = 0;
    room_preset.height = 2.75;
    room_preset.factor = 1;
  }
  void TearDown() override {
    guide_mode = 0;
    room_add_area[0] = room_add_area[1] = 0;
    InputTest::TearDown();
  }

  // Runs the tool to its end; a script that runs dry or is not used up
  // fails the test.
  void run_tool(void (*tool)()) {
    try {
      tool();
    } catch (const WaitScriptDry& e) {
      ADD_FAILURE() << e.what();
    }
    EXPECT_EQ(script.remaining(), 0u) << "events left unused";
    EXPECT_EQ(active_request, nullptr);
  }

  static void switches(int area, int volume, int description, int number) {
    room_preset.show_area = area;
    room_preset.show_volume = volume;
    room_preset.show_description = description;
    room_preset.show_number = number;
  }

  static std::vector<RoomElem*> rooms() {
    std::vector<RoomElem*> out;
    for (ElemHeader* e : elements())
      if (auto* r = elem_as<RoomElem>(e)) out.push_back(r);
    return out;
  }
  static RoomElem* only_room() {
    const std::vector<RoomElem*> all = rooms();
    EXPECT_EQ(all.size(), 1u);
    return all.empty() ? nullptr : all.front();
  }

  // A room of the contour list from the preset, in the drawing, drawn.
  static RoomElem* room(std::vector<Point2> pts) {
    elem_append(room_from_preset(static_cast<int>(pts.size()), pts.data()));
    redraw();
    return static_cast<RoomElem*>(elem_list_tail);
  }
  // The rectangle (x0, y0), (x1, y0), (x1, y1), (x0, y1) as one contour.
  static std::vector<Point2> box(double x0, double y0, double x1, double y1) {
    return {{x0, y0, 0}, {x1, y0, 0}, {x1, y1, 0}, {x0, y1, 0}, CONTOUR_END};
  }
  // A contour list of n entries: a polygon of n - 1 corners on a circle.
  static std::vector<Point2> ring(int n) {
    std::vector<Point2> pts;
    for (int k = 0; k + 1 < n; ++k) {
      const double a = 2 * GEOM_PI * k / (n - 1);
      pts.push_back({5 * std::cos(a), 5 * std::sin(a), 0});
    }
    pts.push_back(CONTOUR_END);
    return pts;
  }

  // What the drawing shows as the room's area and volume.
  static std::string area_of(const RoomElem& r) {
    return room_area_text(static_cast<int32_t>(r.points.size()), r.points.data(), r.area_factor);
  }
  static std::string volume_of(const RoomElem& r) {
    return room_volume_text(static_cast<int32_t>(r.points.size()), r.points.data(), r.area_factor, r.base_z,
                            r.top_z);
  }

  // A rectangle by its corners as b_room_range asks them.
  void range(double x0, double y0, double x1, double y1) {
    script.click_world(1, x0, y0).click_world(1, x1, y1).key("z_enter");
  }
  void polygon_point(double x, double y) { script.click_world(1, x, y).key("z_enter"); }

  Strings prompts() const { return ui.calls_starting("prompt "); }
};

void expect_points(const std::vector<Point2>& got, const std::vector<Point2>& want) {
  ASSERT_EQ(got.size(), want.size());
  for (std::size_t k = 0; k < got.size(); ++k) {
    EXPECT_EQ(got[k].x, want[k].x) << "point " << k;
    EXPECT_EQ(got[k].y, want[k].y) << "point " << k;
    EXPECT_EQ(got[k].mark, 0) << "point " << k;
  }
}

TEST_F(RoomToolTest, RangeRunsCounterClockwiseFromTheFirstCornerOfThatList) {
  struct Case {
    const char* what;
    Point2 a, b;
    std::vector<Point2> want;
  } cases[] = {
      {"top right to bottom left",
       {4, 5, 0},
       {0, 0, 0},
       {{4, 5, 0}, {0, 5, 0}, {0, 0, 0}, {4, 0, 0}, CONTOUR_END}},
      {"bottom left to top right",
       {0, 0, 0},
       {4, 5, 0},
       {{0, 0, 0}, {4, 0, 0}, {4, 5, 0}, {0, 5, 0}, CONTOUR_END}},
      // Entered clockwise: turned round, the label on the last corner.
      {"top left to bottom right",
       {0, 5, 0},
       {4, 0, 0},
       {{0, 0, 0}, {4, 0, 0}, {4, 5, 0}, {0, 5, 0}, CONTOUR_END}},
      {"bottom right to top left",
       {4, 0, 0},
       {0, 5, 0},
       {{4, 5, 0}, {0, 5, 0}, {0, 0, 0}, {4, 0, 0}, CONTOUR_END}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    range(c.a.x, c.a.y, c.b.x, c.b.y);
    script.key("p_nop");
    run_tool(tool_room_range);
    RoomElem* r = rooms().back();
    expect_points(r->points, c.want);
    EXPECT_EQ(r->label.x, c.want[0].x);
    EXPECT_EQ(r->label.y, c.want[0].y);
    EXPECT_EQ(area_of(*r), "20.00 m2");
    EXPECT_EQ(volume_of(*r), "55.00 m3");
    EXPECT_EQ(r->mark, 0);
  }
  // No switch on: nothing asked but the corners.
  EXPECT_EQ(prompts().size(), 4u * 3 + 4);
  EXPECT_EQ(undo_used, 4);
  expect_clean_surface();
  undo_step_back();
  EXPECT_EQ(rooms().size(), 3u);
}

TEST_F(RoomToolTest, APolygonEnteredClockwiseIsStoredCounterClockwiseWithThePresetAndTextSettings) {
  room_preset.pen = 3;
  room_preset.line_type = 2;
  room_preset.base = 1;
  room_preset.height = 2.5;
  room_preset.factor = 0.8;
  text_preset.font = "Simpel";
  text_preset.width = 0.9;
  text_preset.spacing = 0.2;
  text_preset.line_spacing = 1.7;
  text_size = 3.5;
  for (int guide : {0, 1}) {
    SCOPED_TRACE(guide);
    guide_mode = guide;
    cur_layer = 4 + guide;
    polygon_point(0, 0);
    polygon_point(0, 3);
    polygon_point(4, 3);
    polygon_point(4, 0);
    polygon_point(0, 0);
    script.key("p_nop");
    run_tool(tool_room_poly);
    const RoomElem* r = rooms().back();
    expect_points(r->points, {{4, 0, 0}, {4, 3, 0}, {0, 3, 0}, {0, 0, 0}, CONTOUR_END});
    EXPECT_EQ(r->label.x, 4);
    EXPECT_EQ(r->label.y, 0);
    EXPECT_EQ(r->layer, 4 + guide);
    EXPECT_EQ(r->pen, guide ? PEN_GUIDE : 3);
    EXPECT_EQ(r->line_type, 2);
    EXPECT_EQ(r->font, "Simpel");
    EXPECT_EQ(r->angle, 0);
    EXPECT_EQ(r->height, 3.5);
    EXPECT_EQ(r->width_factor, 0.9);
    EXPECT_EQ(r->spacing, 0.2);
    EXPECT_EQ(r->line_spacing, 1.7);
    EXPECT_EQ(r->area_factor, 0.8);
    EXPECT_EQ(r->base_z, 1);
    EXPECT_EQ(r->top_z, 3.5);
    EXPECT_TRUE(r->description.empty());
    EXPECT_TRUE(r->number.empty());
    EXPECT_EQ(elem_count(), 1 + guide) << "no guide line left";
  }
  EXPECT_EQ(undo_used, 2);
  expect_clean_surface();
}

TEST_F(RoomToolTest, TheTextQuestionsFollowTheSwitchesAndTheirCancels) {
  struct Case {
    const char* what;
    int area, volume, description, number;
    // After the corners: a click for the text point (or a key), then the
    // answers to the text questions ("" for none, "ESC" for Escape).
    const char* at_point;
    const char* at_description;
    const char* at_number;
    Strings asked;
    bool label_moved;
    const char* description_after;
    const char* number_after;
  } cases[] = {
      {"all on, all answered",
       1,
       1,
       1,
       1,
       "click",
       "Kitchen",
       "1.01",
       {"Text start point:", "Move/Confirm:", "Room description:", "Room number:"},
       true,
       "Kitchen",
       "1.01"},
      {"cancel at the text point asks nothing more",
       1,
       1,
       1,
       1,
       "ESC",
       "",
       "",
       {"Text start point:"},
       false,
       "",
       ""},
      {"cancel at the description still asks the number",
       0,
       0,
       1,
       1,
       "click",
       "ESC",
       "7",
       {"Text start point:", "Move/Confirm:", "Room description:", "Room number:"},
       true,
       "",
       "7"},
      {"cancel at the number keeps the description",
       0,
       0,
       1,
       1,
       "click",
       "Bath",
       "ESC",
       {"Text start point:", "Move/Confirm:", "Room description:", "Room number:"},
       true,
       "Bath",
       ""},
      {"the area alone asks only the point",
       1,
       0,
       0,
       0,
       "click",
       "",
       "",
       {"Text start point:", "Move/Confirm:"},
       true,
       "",
       ""},
      {"the number alone",
       0,
       0,
       0,
       1,
       "click",
       "",
       "12",
       {"Text start point:", "Move/Confirm:", "Room number:"},
       true,
       "",
       "12"},
      {"all off asks nothing", 0, 0, 0, 0, "", "", "", {}, false, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    switches(c.area, c.volume, c.description, c.number);
    ui.calls.clear();
    range(0, 0, 5, 4);
    const std::string at_point = c.at_point;
    if (at_point == "click") script.click_world(1, 2, 3).key("z_enter");
    if (at_point == "ESC") script.key("p_nop");
    for (const char* answer : {c.at_description, c.at_number}) {
      const std::string a = answer;
      if (a == "ESC")
        script.key("p_nop");
      else if (!a.empty())
        script.value(answer);
    }
    script.key("p_nop");
    run_tool(tool_room_range);

    Strings want = {"prompt 1st Corner point:", "prompt Move/2nd Corner point:", "prompt Move/Confirm:"};
    for (const std::string& p : c.asked) want.push_back("prompt " + p);
    want.push_back("prompt 1st Corner point:");
    EXPECT_EQ(prompts(), want);
    // A new room's entry opens empty.
    for (const std::string& e : ui.calls_starting("entry_open")) EXPECT_EQ(e, "entry_open ");
    RoomElem* r = rooms().back();
    EXPECT_EQ(r->label.x, c.label_moved ? 2 : 0);
    EXPECT_EQ(r->label.y, c.label_moved ? 3 : 0);
    EXPECT_EQ(r->description, c.description_after);
    EXPECT_EQ(r->number, c.number_after);
    EXPECT_EQ(r->mark, 0);
    EXPECT_EQ(elem_count_marked(), 0);
    expect_clean_surface();
    // The answers belong to the room's one step.
    const int rooms_before = static_cast<int>(rooms().size());
    undo_step_back();
    EXPECT_EQ(static_cast<int>(rooms().size()), rooms_before - 1);
    undo_step_forward();
    EXPECT_EQ(rooms().back()->number, c.number_after);
  }
}

TEST_F(RoomToolTest, AnotherToolEndsTheQuestionsAndRunsNext) {
  switches(1, 1, 1, 1);
  range(0, 0, 5, 4);
  script.click_world(1, 2, 3).key("z_enter").key("b_line_line");
  run_tool(tool_room_range);
  EXPECT_EQ(prompts().back(), "prompt Room description:");
  EXPECT_EQ(pending_command, "b_line_line");
  const RoomElem* r = only_room();
  EXPECT_EQ(r->label.x, 2);
  EXPECT_EQ(r->mark, 0);
  expect_clean_surface();
}

TEST_F(RoomToolTest, AnAddedSquareAddsAreaOrCutsAHoleByTheToolsToggle) {
  struct Case {
    const char* what;
    void (*tool)();
    int poly_toggle, range_toggle;
    const char* area;
    const char* volume;
  } cases[] = {
      {"rectangle, toggle off: a hole", tool_room_add_range, 1, 0, "19.00 m2", "52.25 m3"},
      {"rectangle, toggle on: more area", tool_room_add_range, 0, 1, "21.00 m2", "57.75 m3"},
      {"polygon, toggle off: a hole", tool_room_add_poly, 0, 1, "19.00 m2", "52.25 m3"},
      {"polygon, toggle on: more area", tool_room_add_poly, 1, 0, "21.00 m2", "57.75 m3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    drawing_free();
    drawing_init();
    undo_record(UNDO_CLEAR, 0);
    room_add_area[0] = c.poly_toggle;
    room_add_area[1] = c.range_toggle;
    RoomElem* old = room(box(0, 0, 5, 4));
    old->description = "Hall";
    old->number = "3";
    old->label = {1, 3, 0};
    old->area_factor = 1;
    old->show_area = 1;
    redraw();
    script.click_world(1, 4, 3);
    if (c.tool == tool_room_add_range) {
      script.click_world(1, 2, 2).click_world(1, 1, 1).key("z_enter");
    } else {
      // Two points only: asked again. Then the square, entered clockwise
      // either way.
      for (Point2 p : {Point2{1, 1, 0}, Point2{2, 2, 0}, Point2{1, 1, 0}}) polygon_point(p.x, p.y);
      for (Point2 p : {Point2{1, 1, 0}, Point2{1, 2, 0}, Point2{2, 2, 0}, Point2{2, 1, 0}, Point2{1, 1, 0}})
        polygon_point(p.x, p.y);
    }
    script.key("p_nop");
    run_tool(c.tool);
    RoomElem* r = only_room();
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->points.size(), 10u);
    EXPECT_EQ(area_of(*r), c.area);
    EXPECT_EQ(volume_of(*r), c.volume);
    // Every field of the old room comes along.
    EXPECT_EQ(r->description, "Hall");
    EXPECT_EQ(r->number, "3");
    EXPECT_EQ(r->label.x, 1);
    EXPECT_EQ(r->show_area, 1);
    EXPECT_EQ(r->top_z, 2.75);
    EXPECT_EQ(r->mark, 0);
    EXPECT_EQ(undo_used, 1);
    expect_clean_surface();
    undo_step_back();
    ASSERT_EQ(rooms().size(), 1u);
    EXPECT_EQ(rooms()[0]->points.size(), 5u);
    EXPECT_EQ(area_of(*rooms()[0]), "20.00 m2");
  }
}

TEST_F(RoomToolTest, MoreThanTheLimitIsRefusedWithTheRoomUnchanged) {
  for (int n : {495, 494}) {
    SCOPED_TRACE(n);
    drawing_free();
    drawing_init();
    undo_record(UNDO_CLEAR, 0);
    ui.calls.clear();
    RoomElem* r = room(ring(n));
    const std::vector<Point2> before = r->points;
    script.click_world(1, 0, 0).click_world(1, -1, -1).click_world(1, 1, 1).key("z_enter").key("p_nop");
    run_tool(tool_room_add_range);
    const bool refused = n == 495;
    EXPECT_EQ(ui.calls_starting("error "), refused ? Strings{"error To many points in polygon!"} : Strings{});
    EXPECT_EQ(undo_used, refused ? 0 : 1);
    const RoomElem* now = only_room();
    ASSERT_NE(now, nullptr);
    EXPECT_EQ(now->points.size(), refused ? 495u : 499u);
    if (refused) {
      EXPECT_EQ(now, r);
      expect_points(now->points, before);
    }
    EXPECT_EQ(now->mark, 0);
    expect_clean_surface();
  }
}

TEST_F(RoomToolTest, EachEditIsOneUndoStep) {
  room_preset.show_area = 1;
  room_preset.show_volume = 1;
  RoomElem* first = room(box(0, 0, 5, 4));
  first->show_area = first->show_volume = first->show_description = first->show_number = 1;
  first->description = "Living";
  first->number = "0.1";
  redraw();
  using Check = bool (*)(const RoomElem&);
  struct Case {
    const char* what;
    void (*tool)();
    const char* prompt;
    const char* typed;  // null: a point is clicked at (3, 1)
    Check changed;
  } cases[] = {
      {"position", tool_room_position, "Text start point:", nullptr,
       [](const RoomElem& r) { return r.label.x == 3 && r.label.y == 1; }},
      {"description", tool_room_alter_description, "Room description:", "Dining",
       [](const RoomElem& r) { return r.description == "Dining"; }},
      {"number", tool_room_alter_number, "Room number:", "0.2",
       [](const RoomElem& r) { return r.number == "0.2"; }},
      {"factor", tool_room_alter_factor, "Factor:", "0.5",
       [](const RoomElem& r) {
         return r.area_factor == 0.5 && area_of(r) == "10.00 m2" && volume_of(r) == "27.50 m3";
       }},
      {"inscription", tool_room_alter_inscription, nullptr, nullptr,
       [](const RoomElem& r) {
         return r.show_area == 1 && r.show_volume == 1 && r.show_description == 0 && r.show_number == 0;
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RoomElem* r = only_room();
    ASSERT_NE(r, nullptr);
    const RoomElem before = *r;
    ui.calls.clear();
    script.click_world(1, 1, 1);
    if (c.prompt && c.typed) script.value(c.typed);
    if (c.prompt && !c.typed) script.click_world(1, 3, 1).key("z_enter");
    script.key("p_nop");
    run_tool(c.tool);
    EXPECT_TRUE(c.changed(*r));
    EXPECT_EQ(r->mark, 0);
    Strings want = {"prompt Select Room:"};
    if (c.prompt) want.push_back(std::string("prompt ") + c.prompt);
    if (c.prompt && !c.typed) want.push_back("prompt Move/Confirm:");
    want.push_back("prompt Select Room:");
    EXPECT_EQ(prompts(), want);
    expect_clean_surface();
    undo_step_back();
    const RoomElem* back = only_room();
    ASSERT_NE(back, nullptr);
    EXPECT_FALSE(c.changed(*back));
    EXPECT_EQ(back->label.x, before.label.x);
    EXPECT_EQ(back->description, before.description);
    EXPECT_EQ(back->number, before.number);
    EXPECT_EQ(back->area_factor, before.area_factor);
    EXPECT_EQ(back->show_description, before.show_description);
    undo_step_forward();
    EXPECT_TRUE(c.changed(*only_room()));
  }
  EXPECT_EQ(undo_used, 5);
}

TEST_F(RoomToolTest, TextEditsStartFromTheRoomsTextAndAreCutToTheirFields) {
  RoomElem* r = room(box(0, 0, 5, 4));
  r->description = "Living";
  r->number = "0.1";
  // Longer than both fields, with characters outside ASCII.
  std::string typed;
  for (int i = 0; i < 50; ++i)
    typed +=
        "\xe4\xdf"
        "a";
  script.click_world(1, 1, 1).value(typed.c_str()).key("p_nop");
  run_tool(tool_room_alter_description);
  script.click_world(1, 1, 1).value(typed.c_str()).key("p_nop");
  run_tool(tool_room_alter_number);
  EXPECT_EQ(ui.calls_starting("entry_open"), (Strings{"entry_open Living", "entry_open 0.1"}));
  EXPECT_EQ(r->description.view(), typed.substr(0, 127));
  EXPECT_EQ(r->number.view(), typed.substr(0, 39));
  expect_clean_surface();
}

TEST_F(RoomToolTest, HeightTakesBaseAndHeightAndACancelAtEitherChangesNothing) {
  RoomElem* r = room(box(0, 0, 5, 4));
  script.click_world(1, 1, 1).value("1").value("2.5").key("p_nop");
  run_tool(tool_room_alter_height);
  EXPECT_EQ(r->base_z, 1);
  EXPECT_EQ(r->top_z, 3.5);
  EXPECT_EQ(prompts(),
            (Strings{"prompt Select Room:", "prompt Base:", "prompt Height:", "prompt Select Room:"}));
  EXPECT_EQ(undo_used, 1);

  // The same values as a new room with room Base 1 and Height 2.5 gets.
  room_preset.base = 1;
  room_preset.height = 2.5;
  const RoomElem fresh = room_from_preset(5, box(0, 0, 1, 1).data());
  EXPECT_EQ(fresh.base_z, r->base_z);
  EXPECT_EQ(fresh.top_z, r->top_z);

  script.click_world(1, 1, 1).key("p_nop");
  run_tool(tool_room_alter_height);
  script.click_world(1, 1, 1).value("0").key("p_nop");
  run_tool(tool_room_alter_height);
  EXPECT_EQ(r->base_z, 1);
  EXPECT_EQ(r->top_z, 3.5);
  EXPECT_EQ(r->mark, 0);
  EXPECT_EQ(undo_used, 1);
  expect_clean_surface();

  undo_step_back();
  EXPECT_EQ(only_room()->base_z, 0);
  EXPECT_EQ(only_room()->top_z, 2.75);
}

TEST_F(RoomToolTest, ACancelledEditLeavesTheRoomUnmarkedAndEndsTheTool) {
  RoomElem* r = room(box(0, 0, 5, 4));
  r->description = "Living";
  redraw();
  for (void (*tool)() :
       {tool_room_position, tool_room_alter_description, tool_room_alter_number, tool_room_alter_factor}) {
    script.click_world(1, 1, 1).key("p_nop");
    run_tool(tool);
    EXPECT_EQ(r->mark, 0);
    expect_clean_surface();
  }
  // A click outside every room asks again; Escape at the pick ends.
  script.click_world(1, 20, 20).key("p_nop");
  run_tool(tool_room_alter_inscription);
  EXPECT_EQ(undo_used, 0);
  EXPECT_EQ(r->description, "Living");
  EXPECT_EQ(r->label.x, 0);
}

}  // namespace
