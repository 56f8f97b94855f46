#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>

#include "display/input.h"
#include "display/key_state.h"
#include "input_fixture.h"
#include "model/units.h"

namespace {

class InputEngineTest : public InputTest {};

void expect_point(const InputRequest& r, int k, double x, double y, double z) {
  EXPECT_NEAR(r.x[k], x, 1e-9) << "point " << k;
  EXPECT_NEAR(r.y[k], y, 1e-9) << "point " << k;
  EXPECT_NEAR(r.z[k], z, 1e-9) << "point " << k;
}

TEST_F(InputEngineTest, NoStepsIsDoneAtOnce) {
  InputRequest r;
  EXPECT_EQ(run(r), INPUT_DONE);
  EXPECT_EQ(active_request, nullptr);
}

TEST_F(InputEngineTest, LineRoadCollectsTwoPointsAndConfirms) {
  InputRequest r = line_request();
  script.click_world(1, 0, 0).click_world(1, 10, 0).click_world(1, 10, 3);
  EXPECT_EQ(run(r), INPUT_DONE);
  EXPECT_EQ(r.npoints, 2);
  EXPECT_EQ(r.step, 3);
  expect_point(r, 0, 0, 0, 0);
  expect_point(r, 1, 10, 0, 0);
  EXPECT_EQ(
      ui.calls_starting("prompt "),
      (std::vector<std::string>{"prompt Start point:", "prompt Move/End point:", "prompt Move/Confirm:"}));
  EXPECT_EQ(active_request, nullptr);
  EXPECT_TRUE(cmd_pending_empty());
  expect_clean_surface();
}

TEST_F(InputEngineTest, ClickSnapsToAnElementAndToTheRequestsOwnPoint) {
  elem_new_line(0, 0, 0, 0, 0, 10, 0);
  redraw();
  InputRequest r = line_request();
  script.click_world(1, 10 + 4 * PX, 2 * PX).click_world(1, 10 + PX, -PX).click_world(1, 0, 20);
  EXPECT_EQ(run(r), INPUT_DONE);
  expect_point(r, 0, 10, 0, 0);
  expect_point(r, 1, 10, 0, 0);
  EXPECT_EQ(r.snapped[0], 1);
  expect_clean_surface();
}

TEST_F(InputEngineTest, EnterRepeatsThePointAndAnAxisKeyMovesIt) {
  InputRequest r = line_request();
  script.key("z_abs").value("1;2;3").key("z_enter").key("z_cright").value("2").click_world(1, 30, 20);
  EXPECT_EQ(run(r), INPUT_DONE);
  EXPECT_EQ(r.npoints, 2);
  expect_point(r, 0, 1, 2, 3);
  expect_point(r, 1, 3, 2, 3);  // the copy keeps z
  EXPECT_EQ(
      ui.calls_starting("prompt "),
      (std::vector<std::string>{"prompt Start point:", "prompt Abs. X/Y/Z:", "prompt Move/End point:",
                                "prompt Move/Confirm:", "prompt Move to X+ :", "prompt Move/Confirm:"}));
  EXPECT_NE(std::find(ui.calls.begin(), ui.calls.end(), "coord_x X: 2.0000m"), ui.calls.end());
  expect_clean_surface();
}

TEST_F(InputEngineTest, AbsoluteCoordinatesReadTheLengthUnit) {
  length_unit = 1;  // cm
  InputRequest r;
  input_set_step(&r, 0, STEP_POINT, "Point:");
  script.key("z_abs").value("100;250");
  EXPECT_EQ(run(r), INPUT_DONE);
  expect_point(r, 0, 1, 2.5, 0);
  EXPECT_EQ(r.snapped[0], 0);
  expect_clean_surface();
}

TEST_F(InputEngineTest, EscapeCancelsAndStaysPending) {
  InputRequest r = line_request();
  script.click_world(1, 1, 1).key("p_nop");
  EXPECT_EQ(run(r), INPUT_CANCEL);
  EXPECT_EQ(pending_command, "p_nop");
  EXPECT_EQ(active_request, nullptr);
  EXPECT_EQ(r.npoints, 1);  // what was entered stays
  EXPECT_EQ(log(), (std::vector<std::string>{"release_f", "release_b"}));
  EXPECT_EQ(ui.calls_starting("entry_close").size(), 1u);
  expect_clean_surface();
}

TEST_F(InputEngineTest, AnotherToolsKeyCancelsThroughEveryEnclosingRequest) {
  // A transparent tool request runs a view command whose own request gets
  // the key of another tool.
  rows()["f_pan"] = [] {
    InputRequest inner;
    input_set_step(&inner, 0, STEP_CORNER_1, "From:");
    input_set_step(&inner, 1, STEP_CORNER_2, "To:");
    EXPECT_EQ(input_run_request(&inner), INPUT_CANCEL);
    EXPECT_EQ(active_request, nullptr);
  };
  InputRequest r = line_request();
  script.click_world(1, 2, 2).key("f_pan").click_world(1, 0, 0).key("b_line_line");
  EXPECT_EQ(run(r), INPUT_CANCEL);
  EXPECT_EQ(pending_command, "b_line_line");
  EXPECT_EQ(active_request, nullptr);
  // Let go by the inner request's end and again by the outer one's.
  EXPECT_EQ(log(), (std::vector<std::string>{"dispatch f_pan", "release_f", "release_f"}));
  EXPECT_EQ(cursor_style, CURSOR_POINT);
  expect_clean_surface();
}

TEST_F(InputEngineTest, ViewKeyInsideATransparentRequestAndOutsideOne) {
  int zooms = 0;
  rows()["f_zoom"] = [&] { ++zooms; };
  InputRequest r = line_request();
  script.click_world(1, 2, 2).key("f_zoom").click_world(1, 5, 5).click_world(1, 6, 6);
  EXPECT_EQ(run(r), INPUT_DONE);
  EXPECT_EQ(zooms, 1);
  expect_point(r, 1, 5, 5, 0);
  EXPECT_EQ(ui.calls_starting("prompt Move/End point:").size(), 2u);

  // Not transparent: the view command runs, then the request is cancelled
  // with the outer request active again and nothing pending.
  InputRequest outer;
  active_request = &outer;
  InputRequest q;
  input_set_step(&q, 0, STEP_POINT, "Point:");
  rows()["f_zoom"] = [&] {
    ++zooms;
    EXPECT_EQ(active_request, &outer);
  };
  script.key("f_zoom");
  EXPECT_EQ(run(q), INPUT_CANCEL);
  EXPECT_EQ(zooms, 2);
  EXPECT_EQ(active_request, &outer);
  EXPECT_TRUE(cmd_pending_empty());
  active_request = nullptr;

  // An s_ key outside a transparent request is not run: it goes to the
  // view-tool dispatcher, which knows no s_ key, and the view-tool button
  // is let go.
  log().clear();
  InputRequest s;
  input_set_step(&s, 0, STEP_POINT, "Point:");
  script.key("s_maplus");
  EXPECT_EQ(run(s), INPUT_CANCEL);
  EXPECT_EQ(log(), (std::vector<std::string>{"dispatch s_maplus", "release_f"}));
  expect_clean_surface();
}

TEST_F(InputEngineTest, ChoiceKeysAndToggles) {
  struct Case {
    uint16_t kind;
    const char* key;
    int result;
  };
  const Case cases[] = {
      {STEP_POINT, "s_deffi_ok", INPUT_OK},       {STEP_POINT, "s_deffi_all", INPUT_ALL},
      {STEP_CONFIRM, "s_deffi_last", INPUT_LAST}, {STEP_INTEGER, "s_deffi_cancel", INPUT_CANCEL},
      {STEP_PICK, "z_toggle", INPUT_TOGGLE},      {STEP_CORNER_2, "z_toggle", INPUT_TOGGLE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    InputRequest r;
    r.transparent = 1;
    input_set_step(&r, 0, c.kind, "Step:");
    script.key(c.key);
    EXPECT_EQ(run(r), c.result);
    EXPECT_EQ(r.step, 0);
  }
  // z_toggle at a point step is ignored; so are a posted "nop" and unknown keys.
  log().clear();
  InputRequest r;
  input_set_step(&r, 0, STEP_POINT, "Point:");
  script.key("z_toggle").key("nop").key("z_whatever").click_world(1, 1, 1);
  EXPECT_EQ(run(r), INPUT_DONE);
  EXPECT_EQ(r.npoints, 1);
  EXPECT_EQ(log(), (std::vector<std::string>{"dispatch z_toggle", "dispatch z_whatever", "release_f"}));
  expect_clean_surface();
}

TEST_F(InputEngineTest, TypedValuesByKind) {
  struct Case {
    uint16_t kind;
    const char* text;
    int result;
    int step;
    double length, angle;
    int integer;
  };
  const Case cases[] = {
      {STEP_INTEGER, "12abc", INPUT_DONE, 1, 0, 0, 12},
      {STEP_INTEGER, "x", INPUT_DONE, 1, 0, 0, 0},
      {STEP_INTEGER, "-7", INPUT_DONE, 1, 0, 0, -7},
      {STEP_LENGTH, "1,5", INPUT_DONE, 1, 1.5, 0, 0},
      {STEP_ANGLE, "90", INPUT_DONE, 1, 0, 3.141592653589793 / 2, 0},
      {STEP_NUMBER, "0.25", INPUT_DONE, 1, 0.25, 0, 0},
      {STEP_POINT_OR_LENGTH, "2.5", INPUT_VALUE, 0, 2.5, 0, 0},
      {STEP_POINT_OR_ANGLE, "180", INPUT_VALUE, 0, 0, 3.141592653589793, 0},
      {STEP_POINT_OR_NUMBER, "3", INPUT_VALUE, 0, 3, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.kind) + " " + c.text);
    InputRequest r;
    input_set_step(&r, 0, c.kind, "Value:");
    script.value(c.text);
    EXPECT_EQ(run(r), c.result);
    EXPECT_EQ(r.step, c.step);
    EXPECT_NEAR(r.length, c.length, 1e-12);
    EXPECT_NEAR(r.angle, c.angle, 1e-12);
    EXPECT_EQ(r.integer, c.integer);
    EXPECT_EQ(r.npoints, 0);
  }
  // Clicks at value steps are ignored.
  InputRequest r;
  input_set_step(&r, 0, STEP_LENGTH, "Length:");
  script.click_world(1, 1, 1).value("4");
  EXPECT_EQ(run(r), INPUT_DONE);
  EXPECT_EQ(r.npoints, 0);
  EXPECT_EQ(r.length, 4.0);
  expect_clean_surface();
}

TEST_F(InputEngineTest, TextStepStartsFromTheLastTextAndKeeps255Bytes) {
  input_text = "previous";
  InputRequest r;
  input_set_step(&r, 0, STEP_TEXT, "Text:");
  const std::string typed(300, 'a');
  script.value(typed.c_str());
  EXPECT_EQ(run(r), INPUT_DONE);
  EXPECT_EQ(r.text.view(), std::string(255, 'a'));
  EXPECT_EQ(ui.calls_starting("entry_open").front(), "entry_open previous");
}

TEST_F(InputEngineTest, PointOrLengthTakesAClickInstead) {
  InputRequest r;
  input_set_step(&r, 0, STEP_POINT_OR_LENGTH, "Point or length:");
  script.click_world(1, 4, 5);
  EXPECT_EQ(run(r), INPUT_DONE);
  EXPECT_EQ(r.npoints, 1);
  expect_point(r, 0, 4, 5, 0);
  // Opened for the step, closed by the click and by the end.
  EXPECT_EQ(ui.calls_starting("entry_open").size(), 1u);
  EXPECT_EQ(ui.calls_starting("entry_close").size(), 2u);
  expect_clean_surface();
}

TEST_F(InputEngineTest, Point3dGivesOffsetsAsValues) {
  InputRequest r;
  input_set_step(&r, 0, STEP_POINT_3D, "Point:");
  r.x[1] = r.y[1] = r.z[1] = 9;
  script.key("z_cz").value("1.5");
  EXPECT_EQ(run(r), INPUT_VALUE);
  expect_point(r, 1, 0, 0, 1.5);
  expect_point(r, 0, 0, 0, 0);

  InputRequest e;
  input_set_step(&e, 0, STEP_POINT_3D, "Point:");
  e.x[0] = 5;
  script.key("z_enter");
  EXPECT_EQ(run(e), INPUT_VALUE);
  expect_point(e, 0, 0, 0, 0);
  expect_clean_surface();
}

// The start of a vector also takes typed coordinates; the end point and the
// confirmation then follow as after a click.
TEST_F(InputEngineTest, Point3dTakesAbsoluteCoordinatesAsItsPoint) {
  InputRequest r;
  r.transparent = 1;
  input_set_step(&r, 0, STEP_POINT_3D, "Start point:");
  input_set_step(&r, 1, STEP_NEXT_POINT, "End point:");
  input_set_step(&r, 2, STEP_CONFIRM, "Confirm:");
  script.key("z_abs").value("1;2;3").key("z_enter").key("z_cy").value("4").key("z_enter");
  EXPECT_EQ(run(r), INPUT_DONE);
  EXPECT_EQ(r.npoints, 2);
  expect_point(r, 0, 1, 2, 3);
  expect_point(r, 1, 1, 6, 3);
  EXPECT_EQ(ui.calls_starting("prompt "),
            (std::vector<std::string>{"prompt Start point:", "prompt Abs. X/Y/Z:", "prompt End point:",
                                      "prompt Confirm:", "prompt Move to Y+ :", "prompt Confirm:"}));
  expect_clean_surface();
}

// Escape in the entry of a value prompt the engine asked for itself: the
// prompt ends, and the step that asked goes on with nothing entered or
// moved; the request ends as the next keys say.
TEST_F(InputEngineTest, EscapeInTheEntryOfAnEnginePromptGoesBackToTheStep) {
  struct Case {
    const char* name;
    std::function<void(ScriptedWait&)> before;  // up to the key that opens the prompt
    const char* prompt;                         // the prompt Escape leaves
    const char* back_at;                        // the prompt asked again
  } cases[] = {
      {"absolute point at the first step", [](ScriptedWait& s) { s.key("z_abs"); },
       "Abs. X/Y/Z:", "Start point:"},
      {"absolute point at the end point", [](ScriptedWait& s) { s.click_world(1, 1, 1).key("z_abs"); },
       "Abs. X/Y/Z:", "Move/End point:"},
      {"axis move at the confirmation",
       [](ScriptedWait& s) { s.click_world(1, 1, 1).click_world(1, 6, 1).key("z_cright"); },
       "Move to X+ :", "Move/Confirm:"},
      {"axis move at the end point", [](ScriptedWait& s) { s.click_world(1, 1, 1).key("z_cy"); },
       "Move to Y+ :", "Move/End point:"},
      {"count of the division snap",
       [](ScriptedWait& s) {
         s.key("z_snap_d").key("z_abs").value("0;0").key("z_abs").value("9;9").key("z_enter");
       },
       "Number of divisions:", "Start point:"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ui.calls.clear();
    InputRequest r = line_request();
    c.before(script);
    script.key("z_eesc");
    // What follows Escape is taken as at the step: the line from (1, 1) to
    // (6, 1) whatever the step was.
    const std::string back = c.back_at;
    if (back == "Start point:") script.click_world(1, 1, 1);
    if (back != "Move/Confirm:") script.click_world(1, 6, 1);
    script.key("z_enter");
    EXPECT_EQ(run(r), INPUT_DONE);
    EXPECT_EQ(r.npoints, 2);
    expect_point(r, 0, 1, 1, 0);
    expect_point(r, 1, 6, 1, 0);
    const auto prompts = ui.calls_starting("prompt ");
    const auto at = std::find(prompts.begin(), prompts.end(), std::string("prompt ") + c.prompt);
    ASSERT_NE(at, prompts.end());
    ASSERT_NE(at + 1, prompts.end());
    EXPECT_EQ(*(at + 1), std::string("prompt ") + c.back_at);
    EXPECT_EQ(value_entry_open, 0);
    EXPECT_EQ(active_request, nullptr);
    EXPECT_TRUE(cmd_pending_empty());
    expect_clean_surface();
  }
  // Escape in the entry, then Escape at the step: the request is cancelled
  // as at any prompt.
  InputRequest r = line_request();
  script.key("z_abs").key("z_eesc").key("p_nop");
  EXPECT_EQ(run(r), INPUT_CANCEL);
  EXPECT_EQ(r.npoints, 0);
  EXPECT_EQ(pending_command, "p_nop");
  expect_clean_surface();
}

// Escape in the entry of a value step of the caller: the entry goes and the
// step stays without it. Return brings the entry back, a click still enters
// a point where the step takes one, and a second Escape ends the request.
TEST_F(InputEngineTest, EscapeInTheEntryOfACallersStepKeepsTheStepWithoutTheEntry) {
  {
    SCOPED_TRACE("Escape twice at a length");
    InputRequest r;
    input_set_step(&r, 0, STEP_LENGTH, "Height:");
    r.length = 7;
    script.key("z_eesc").key("z_cx").key("p_nop");
    EXPECT_EQ(run(r), INPUT_CANCEL);
    EXPECT_EQ(r.step, 0);
    EXPECT_EQ(r.length, 7);
    EXPECT_EQ(pending_command, "p_nop");
    EXPECT_EQ(ui.calls_starting("prompt "),
              (std::vector<std::string>{"prompt Height:", "prompt Height:", "prompt Height:"}));
    EXPECT_EQ(ui.calls_starting("entry_open").size(), 1u) << "the entry came back by itself";
  }
  struct Case {
    const char* name;
    uint16_t kind;
    const char* typed;
  } typed_cases[] = {{"number", STEP_NUMBER, "1.5"},
                     {"length", STEP_LENGTH, "2.5"},
                     {"integer", STEP_INTEGER, "3"},
                     {"angle", STEP_ANGLE, "90"},
                     {"text", STEP_TEXT, "Kavro"}};
  for (const Case& c : typed_cases) {
    SCOPED_TRACE(std::string("Return brings the entry back: ") + c.name);
    pending_command = "nop";
    ui.calls.clear();
    input_text = "before";
    InputRequest r;
    input_set_step(&r, 0, c.kind, "Value:");
    script.key("z_eesc").key("z_enter").value(c.typed);
    EXPECT_EQ(run(r), INPUT_DONE);
    EXPECT_EQ(r.step, 1);
    EXPECT_EQ(ui.calls_starting("entry_open").size(), 2u);
    if (c.kind == STEP_TEXT) {
      EXPECT_EQ(r.text.view(), "Kavro");
      EXPECT_EQ(ui.calls_starting("entry_open").back(), "entry_open before");
    } else if (c.kind == STEP_INTEGER) {
      EXPECT_EQ(r.integer, 3);
    } else if (c.kind == STEP_ANGLE) {
      EXPECT_NEAR(r.angle, M_PI / 2, 1e-9);
    } else {
      EXPECT_DOUBLE_EQ(r.length, std::stod(c.typed));
    }
    expect_clean_surface();
  }
  {
    SCOPED_TRACE("a point or a length takes a click after Escape");
    ui.calls.clear();
    InputRequest r;
    input_set_step(&r, 0, STEP_POINT_OR_LENGTH, "Length/End point:");
    script.key("z_eesc").click_world(1, 4, 5);
    EXPECT_EQ(run(r), INPUT_DONE);
    EXPECT_EQ(r.npoints, 1);
    expect_point(r, 0, 4, 5, 0);
    EXPECT_EQ(ui.calls_starting("entry_open").size(), 1u);
    expect_clean_surface();
  }
}

TEST_F(InputEngineTest, AtMostFourPointsWhateverIsClicked) {
  InputRequest r;
  for (int k = 0; k < 6; ++k) input_set_step(&r, k, k == 0 ? STEP_POINT : STEP_NEXT_POINT, "Point:");
  script.click_world(1, 5, 0).click_world(1, 10, 0).click_world(1, 15, 0).click_world(1, 20, 0);
  script.click_world(1, 25, 0).key("z_enter").key("z_abs").key("z_snap_m").key("p_nop");
  EXPECT_EQ(run(r), INPUT_CANCEL);
  EXPECT_EQ(r.npoints, 4);
  EXPECT_EQ(r.step, 4);
  expect_point(r, 3, 20, 0, 0);
  expect_clean_surface();
}

TEST_F(InputEngineTest, OffViewCoordinateFollowsThePreviousPoint) {
  snap_on = 0;
  struct Case {
    int view;
    double x, y, z;  // the second point, after a first at (1, 2, 3)
  };
  // A click at view-plane (4, 5).
  const Case cases[] = {{VIEW_PLAN, 4, 5, 3},
                        {VIEW_FRONT, 4, 2, 5},
                        {VIEW_BACK, -4, 2, 5},
                        {VIEW_LEFT, 1, -4, 5},
                        {VIEW_RIGHT, 1, 4, 5}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.view);
    view_type = c.view;
    InputRequest r;
    input_set_step(&r, 0, STEP_POINT, "First:");
    input_set_step(&r, 1, STEP_NEXT_POINT, "Second:");
    script.key("z_abs").value("1;2;3").click_world(1, 4, 5);
    EXPECT_EQ(run(r), INPUT_DONE);
    expect_point(r, 1, c.x, c.y, c.z);
  }
  // The first point of a request takes 0.
  view_type = VIEW_FRONT;
  InputRequest r;
  input_set_step(&r, 0, STEP_POINT, "First:");
  script.click_world(1, 4, 5);
  EXPECT_EQ(run(r), INPUT_DONE);
  expect_point(r, 0, 4, 0, 5);
}

TEST_F(InputEngineTest, IsometricClickOnEmptySpaceIsIgnored) {
  view_type = VIEW_ISO_FRONT_LEFT;
  InputRequest r;
  input_set_step(&r, 0, STEP_POINT, "Point:");
  script.click_world(1, 4, 5).key("p_nop");
  EXPECT_EQ(run(r), INPUT_CANCEL);
  EXPECT_EQ(r.npoints, 0);
}

TEST_F(InputEngineTest, AxisLabelsByView) {
  struct Case {
    int view;
    const char *up, *down, *left, *right;
  };
  const Case cases[] = {
      {VIEW_PLAN, "Y+", "Y-", "X-", "X+"},        {VIEW_FRONT, "Z+", "Z-", "X-", "X+"},
      {VIEW_BACK, "Z+", "Z-", "X+", "X-"},        {VIEW_LEFT, "Z+", "Z-", "Y+", "Y-"},
      {VIEW_RIGHT, "Z+", "Z-", "Y-", "Y+"},       {VIEW_ISO_FRONT_LEFT, "Z+", "Z-", "X-", "X+"},
      {VIEW_PERSPECTIVE, "Z+", "Z-", "X-", "X+"},
  };
  char label[3];
  for (const Case& c : cases) {
    view_type = c.view;
    const char* keys[] = {"z_cup", "z_cdown", "z_cleft", "z_cright"};
    const char* want[] = {c.up, c.down, c.left, c.right};
    for (int i = 0; i < 4; ++i) {
      input_axis_key_label(keys[i], label);
      EXPECT_STREQ(label, want[i]) << c.view << " " << keys[i];
    }
    input_axis_key_label("z_cz", label);
    EXPECT_STREQ(label, "Z+");
  }
  input_axis_key_label("z_mb1", label);
  EXPECT_STREQ(label, "");
}

TEST_F(InputEngineTest, AxisMoveInAnElevation) {
  view_type = VIEW_FRONT;
  InputRequest r = line_request();
  script.key("z_abs").value("1;2;3").key("z_enter").key("z_cdown").value("0.5").key("z_enter");
  EXPECT_EQ(run(r), INPUT_DONE);
  expect_point(r, 1, 1, 2, 2.5);
  EXPECT_EQ(ui.calls_starting("prompt Move to").front(), "prompt Move to Z- :");
}

TEST_F(InputEngineTest, ZKeysGoToTheirDispatcherFirst) {
  rows()["z_space"] = [] { log().push_back("centre"); };
  InputRequest r;
  input_set_step(&r, 0, STEP_POINT, "Point:");
  script.key("z_space").click_world(1, 1, 1);
  EXPECT_EQ(run(r), INPUT_DONE);
  EXPECT_EQ(log().at(1), "centre");
}

TEST_F(InputEngineTest, CornersAndPicksAreRawClicks) {
  elem_new_line(0, 0, 0, 0, 0, 10, 0);
  redraw();
  InputRequest r;
  input_set_step(&r, 0, STEP_CORNER_1, "1st:");
  input_set_step(&r, 1, STEP_CORNER_2, "2nd:");
  input_set_step(&r, 2, STEP_PICK, "Pick:");
  input_set_step(&r, 3, STEP_RAW_POINT, "Raw:");
  script.click_world(1, 10.1, 0.1).click_world(1, 2, 3).click_world(1, 7, 8).click_world(1, 9.9, 0.2);
  EXPECT_EQ(run(r), INPUT_DONE);
  expect_point(r, 0, 9.9, 0.2, 0);
  expect_point(r, 1, 2, 3, 0);
  EXPECT_EQ(r.npoints, 1);
  EXPECT_EQ(cursor_style, CURSOR_POINT);
  expect_clean_surface();

  InputRequest n;
  n.x[0] = 5;
  n.y[0] = -1;
  n.x[1] = 1;
  n.y[1] = 3;
  input_normalize_corners(&n);
  expect_point(n, 0, 1, -1, 0);
  expect_point(n, 1, 5, 3, 0);
}

TEST_F(InputEngineTest, MidpointAndDivisionSnaps) {
  InputRequest r;
  input_set_step(&r, 0, STEP_POINT, "Point:");
  input_set_step(&r, 1, STEP_POINT, "Point:");
  script.key("z_snap_m").key("z_abs").value("0;0;0").key("z_abs").value("2;4;6").click_world(1, 20, 20);
  // Division: 0 divisions are asked again.
  script.key("z_snap_d").key("z_abs").value("0;0;0").key("z_abs").value("2;4;6").key("z_enter");
  script.value("0").value("4").value("1");
  EXPECT_EQ(run(r), INPUT_DONE);
  expect_point(r, 0, 1, 2, 3);
  expect_point(r, 1, 0.5, 1, 1.5);
  EXPECT_EQ(ui.calls_starting("prompt Number of divisions:").size(), 2u);
  expect_clean_surface();
}

TEST_F(InputEngineTest, CancelledSnapCancelsTheRequest) {
  InputRequest r = line_request();
  script.click_world(1, 1, 1).key("z_snap_m").click_world(1, 2, 2).key("p_nop");
  EXPECT_EQ(run(r), INPUT_CANCEL);
  EXPECT_EQ(r.npoints, 1);
  EXPECT_EQ(pending_command, "p_nop");
  EXPECT_EQ(active_request, nullptr);
  expect_clean_surface();
}

TEST_F(InputEngineTest, TangentSnap) {
  elem_new_arc(0, 0, 0, 0, 0, 5, 5, 2 * 3.141592653589793, 0, 0);
  elem_new_arc(0, 0, 0, 30, 0, 4, 2, 2 * 3.141592653589793, 0, 0);  // an ellipse: no tangent
  redraw();
  InputRequest r;
  input_set_step(&r, 0, STEP_POINT, "Point:");
  script.key("z_snap_t").key("z_abs").value("10;0").click_world(1, 40, 20);
  // Empty space, the ellipse and the circle again from inside are refused.
  script.click_world(1, 20, 20).click_world(1, 34.1, 0).click_world(1, 2, 5);
  EXPECT_EQ(run(r), INPUT_DONE);
  expect_point(r, 0, 2.5, std::sqrt(18.75), 0);
  EXPECT_EQ(ui.calls_starting("prompt Select Circle/Arc:").size(), 3u);
  expect_clean_surface();
}

TEST_F(InputEngineTest, IntersectionSnapBeyondTheSegments) {
  elem_new_line(0, 0, 0, 0, 0, 4, 0);
  elem_new_line(0, 0, 0, 10, 2, 10, 8);
  elem_new_line(0, 0, 0, 0, 5, 4, 5);  // parallel to the first
  redraw();
  InputRequest r;
  input_set_step(&r, 0, STEP_POINT, "Point:");
  // A miss and the same element again are refused; the parallel line is
  // asked again rather than entering (0, 0).
  script.key("z_snap_i").click_world(1, 2, 0.1);
  script.click_world(1, 30, 30).click_world(1, 2, 0.2).click_world(1, 2, 5.1).click_world(1, 10.1, 5);
  EXPECT_EQ(run(r), INPUT_DONE);
  expect_point(r, 0, 10, 0, 0);
  EXPECT_EQ(ui.calls_starting("prompt 2nd Element:").size(), 4u);
  EXPECT_EQ(elem_list_head->mark, 0);
  expect_clean_surface();
}

TEST_F(InputEngineTest, EscapeDuringTheSecondElementPutsTheMarkBack) {
  elem_new_line(0, 0, 0, 0, 0, 4, 0);
  redraw();
  InputRequest r = line_request();
  uint32_t seen = 0;
  rows()["z_look"] = [&] { seen = view_pixel(0, px(2), py(0)); };
  script.click_world(1, 20, 20).key("z_snap_i").click_world(1, 2, 0.1).key("z_look").key("p_nop");
  EXPECT_EQ(run(r), INPUT_CANCEL);
  EXPECT_EQ(seen, view_palettes[0][PAL_SELECTED]);  // the first element shows marked
  EXPECT_EQ(elem_list_head->mark, 0);
  EXPECT_EQ(pending_command, "p_nop");
  EXPECT_EQ(active_request, nullptr);
  EXPECT_EQ(r.npoints, 1);
  expect_clean_surface();
}

TEST_F(InputEngineTest, IntersectionOfArcsAndLines) {
  elem_new_arc(0, 0, 0, 0, 0, 5, 5, 2 * 3.141592653589793, 0, 0);
  elem_new_line(0, 0, 0, -10, 3, 10, 3);
  elem_new_arc(0, 0, 0, 6, 0, 5, 5, 2 * 3.141592653589793, 0, 0);
  redraw();
  struct Case {
    double x1, y1, x2, y2;  // pick points
    double x, y;            // the crossing
  };
  // The crossing nearer to the line through the two pick points.
  const Case cases[] = {{-5, 0.1, -8, 3.1, -4, 3}, {8, 3.1, 5, 0.1, 4, 3}, {-4.9, 0.5, 10.9, 0.5, 3, 4}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.x);
    InputRequest r;
    input_set_step(&r, 0, STEP_POINT, "Point:");
    script.key("z_snap_i").click_world(1, c.x1, c.y1).click_world(1, c.x2, c.y2);
    EXPECT_EQ(run(r), INPUT_DONE);
    EXPECT_NEAR(r.x[0], c.x, 1e-9);
    EXPECT_NEAR(r.y[0], c.y, 1e-9);
  }
}

TEST_F(InputEngineTest, MarkersAreCrossesThatShrinkWithTheIndex) {
  InputRequest r;
  for (int k = 0; k < 4; ++k) input_set_step(&r, k, k ? STEP_NEXT_POINT : STEP_POINT, "Point:");
  input_set_step(&r, 4, STEP_CONFIRM, "Confirm:");
  snap_on = 0;
  const double xs[] = {-30, -10, 10, 30};
  for (double x : xs) script.click_world(1, x, 0);
  // Look at the markers while the confirm step waits.
  std::vector<uint32_t> seen;
  rows()["z_look"] = [&] {
    input_cursor_toggle(active_request);  // the cursor out of the way
    seen = view_pixels(0);
    input_cursor_toggle(active_request);
  };
  script.key("z_look").key("z_enter");
  const uint32_t bg = view_pixel(0, 5, 5);
  EXPECT_EQ(run(r), INPUT_DONE);
  ASSERT_FALSE(seen.empty());
  for (int k = 0; k < 4; ++k) {
    const int cx = px(xs[k]), cy = py(0), arm = 10 - k;
    EXPECT_NE(seen[cy * 600 + cx + arm], bg) << "point " << k;
    EXPECT_EQ(seen[cy * 600 + cx + arm + 1], bg) << "point " << k;
    EXPECT_NE(seen[(cy - arm) * 600 + cx], bg) << "point " << k;
    EXPECT_EQ(seen[(cy - arm - 1) * 600 + cx], bg) << "point " << k;
  }
  expect_clean_surface();

  // A snapped point also gets a square of +-3 pixels.
  elem_new_line(0, 0, 0, 0, 0, 10, 0);
  redraw();
  snap_on = 1;
  InputRequest s;
  input_set_step(&s, 0, STEP_POINT, "Point:");
  input_set_step(&s, 1, STEP_CONFIRM, "Confirm:");
  script.click_world(1, 10.1, 0.1).key("z_look").key("z_enter");
  EXPECT_EQ(run(s), INPUT_DONE);
  EXPECT_EQ(s.snapped[0], 1);
  EXPECT_NE(seen[(py(0) + 3) * 600 + px(10) + 1], view_pixel(0, px(10) + 1, py(0) + 3));
  expect_clean_surface();
}

}  // namespace
