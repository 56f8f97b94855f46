// The text tools run by scripts: texts typed in the prompt line and staged
// for the separate editor, continuation below an existing text, content
// changes in the prompt line and in the editor with their Apply and Cancel
// (also after another placement came in between), and the style, format and
// size of a selection; one undo step per text or change, and a view equal
// to a clean redraw afterwards.

#include "tools/text_tools.h"

#include <cmath>
#include <limits>
#include <string>

#include "display/command_buffer.h"
#include "display/key_state.h"
#include "line_tool_fixture.h"
#include "model/geom.h"
#include "model/presets.h"
#include "model/settings.h"

namespace {

class TextToolTest : public LineToolTest {
 protected:
  void SetUp() override {
    LineToolTest::SetUp();
    drawing_scale = 100;
    text_size = 2.5;
    text_preset.line_spacing = 1.5;
    text_format = TEXT_LEFT;
    for (int32_t& t : text_use_editor) t = 0;
  }
  void TearDown() override {
    text_edit_finish(nullptr);  // no staging left for the next test
    LineToolTest::TearDown();
  }

  static std::vector<TextElem*> texts() {
    std::vector<TextElem*> out;
    for (ElemHeader* e : elements())
      if (auto* t = elem_as<TextElem>(e)) out.push_back(t);
    return out;
  }
  // A text of 25 mm, 2.5 m high at 1:100: easy to pick.
  static TextElem* text_at(double x, double y, const char* content, int layer = 0) {
    elem_new_text(layer, 0, 0, x, y, 0, 25, 1, 0.1, 1.5, content, 0, "Simpel", TEXT_LEFT);
    return elem_as<TextElem>(elem_list_tail);
  }
  // A start point given and confirmed.
  void start(double x, double y) { script.click_world(1, x, y).key("z_enter"); }
};

void expect_at(const TextElem* t, double x, double y, const std::string& content) {
  ASSERT_NE(t, nullptr);
  EXPECT_NEAR(t->pos.x, x, 1e-12);
  EXPECT_NEAR(t->pos.y, y, 1e-12);
  EXPECT_EQ(t->text, content);
}

TEST_F(TextToolTest, PromptLineTextsStepDownOneLineEachAnEmptyOneAsksForANewStart) {
  cur_layer = 4;
  text_preset.pen = 3;
  text_preset.line_type = 2;
  text_preset.font = "Rund";
  text_preset.width = 0.8;
  text_preset.spacing = 0.2;
  text_format = TEXT_CENTRED;
  start(0, 0);
  script.value("A").value("B").value("C").value("");
  start(20, 5);
  script.value("D").key("p_nop");
  run_tool(tool_text_x);

  const auto t = texts();
  ASSERT_EQ(t.size(), 4u);
  expect_at(t[0], 0, 0, "A");
  expect_at(t[1], 0, -0.375, "B");
  expect_at(t[2], 0, -0.75, "C");
  expect_at(t[3], 20, 5, "D");
  for (const TextElem* e : t) {
    EXPECT_EQ(e->layer, 4);
    EXPECT_EQ(e->pen, 3);
    EXPECT_EQ(e->line_type, 2);
    EXPECT_EQ(e->font, "Rund");
    EXPECT_EQ(e->width_factor, 0.8);
    EXPECT_EQ(e->spacing, 0.2);
    EXPECT_EQ(e->line_spacing, 1.5);
    EXPECT_EQ(e->height, 2.5);
    EXPECT_EQ(e->alignment, TEXT_CENTRED);
    EXPECT_EQ(e->angle, 0.0);
    EXPECT_EQ(e->fit_length, 0.0);
  }
  // Every "Text:" opens the entry empty, not with the line typed before.
  EXPECT_EQ(ui.calls_starting("entry_open").size(), 6u);
  for (const std::string& c : ui.calls_starting("entry_open")) EXPECT_EQ(c, "entry_open ");
  EXPECT_EQ(ui.calls_starting("prompt Start point:").size(), 2u);
  expect_clean_surface();

  EXPECT_EQ(undo_used, 4);
  for (int left = 3; left >= 0; --left) {
    undo_step_back();
    EXPECT_EQ(texts().size(), static_cast<std::size_t>(left));
  }
}

TEST_F(TextToolTest, DirectionAndAngleGiveTheLineStep) {
  struct Case {
    const char* name;
    void (*tool)();
    const char* typed_angle;  // degrees, for b_text_text
    double angle;
  } cases[] = {
      {"y", tool_text_y, nullptr, GEOM_PI / 2},
      {"text", tool_text_text, "30", GEOM_PI / 6},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    undo_record(UNDO_CLEAR, 0);
    drawing_free();
    drawing_init();
    redraw();
    if (c.typed_angle) script.value(c.typed_angle);
    start(0, 0);
    script.value("one").value("two").key("p_nop");
    run_tool(c.tool);
    const auto t = texts();
    ASSERT_EQ(t.size(), 2u);
    EXPECT_NEAR(t[0]->angle, c.angle, 1e-12);
    expect_at(t[1], 0.375 * std::sin(c.angle), -0.375 * std::cos(c.angle), "two");
    expect_clean_surface();
  }
}

TEST_F(TextToolTest, AStartOnAnInsertionPointContinuesThatTextInItsStyle) {
  TextElem* ref = text_at(10, 5, "first");
  ref->font = "Freihand";
  ref->height = 5;
  ref->line_spacing = 2;
  ref->alignment = TEXT_RIGHT;
  ref->pen = 6;
  ref->group = 9;
  text_at(-10, 5, "other layer", 3);
  redraw();
  start(10, 5);
  script.value("second").value("third").value("");
  // The same point on another layer's text is no continuation.
  start(-10, 5);
  script.value("plain").key("p_nop");
  run_tool(tool_text_x);

  const auto t = texts();
  ASSERT_EQ(t.size(), 5u);
  expect_at(t[2], 10, 4, "second");  // 2 x 5 mm at 1:100
  expect_at(t[3], 10, 3, "third");
  for (const TextElem* e : {t[2], t[3]}) {
    EXPECT_EQ(e->font, "Freihand");
    EXPECT_EQ(e->height, 5);
    EXPECT_EQ(e->alignment, TEXT_RIGHT);
    EXPECT_EQ(e->pen, 6);
    EXPECT_EQ(e->group, 0);
    EXPECT_EQ(e->layer, 0);
  }
  expect_at(t[4], -10, 5, "plain");
  EXPECT_EQ(t[4]->font, "Simpel");
  EXPECT_EQ(t[4]->height, 2.5);
  expect_clean_surface();
}

TEST_F(TextToolTest, JustifiedTextsFitBetweenTheirTwoPointsAndSizeZeroMakesNone) {
  text_format = TEXT_JUSTIFIED;
  script.click_world(1, 0, 0).click_world(1, 12, 9).key("z_enter").value("fit").key("p_nop");
  run_tool(tool_text_x);
  ASSERT_EQ(texts().size(), 1u);
  EXPECT_EQ(texts()[0]->fit_length, 15);
  EXPECT_EQ(texts()[0]->alignment, TEXT_JUSTIFIED);

  text_size = 0;
  ui.calls.clear();
  run_tool(tool_text_x);
  EXPECT_TRUE(ui.calls_starting("prompt").empty());
}

// A text size no text can have stops every tool that makes or resizes
// texts before it asks anything, and says where the size is set.
TEST_F(TextToolTest, ATextSizeNotAboveZeroIsNamedBeforeAnyRequest) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (void (*tool)() : {tool_text_text, tool_text_x, tool_text_y, tool_text_alter_size}) {
    for (double size : {0.0, -2.5, nan}) {
      SCOPED_TRACE(size);
      text_size = size;
      ui.calls.clear();
      run_tool(tool);
      EXPECT_TRUE(ui.calls_starting("prompt").empty());
      EXPECT_EQ(
          ui.calls_starting("error"),
          std::vector<std::string>{"error A text needs a size above 0: set it with the text size button."});
      EXPECT_TRUE(texts().empty());
    }
  }
}

TEST_F(TextToolTest, EditorPlacementAppliesTheLastStartPointAfterTheToolEnded) {
  text_use_editor[1] = 1;
  start(0, 0);
  start(10, -5);
  script.key("p_nop");
  run_tool(tool_text_x);
  EXPECT_EQ(ui.calls_starting("text_editor"), (std::vector<std::string>{"text_editor ", "text_editor "}));
  EXPECT_TRUE(texts().empty());

  text_edit_finish("Zeile 1\nZeile \xfc");
  const auto t = texts();
  ASSERT_EQ(t.size(), 1u);
  expect_at(t[0], 10, -5, "Zeile 1\nZeile \xfc");
  EXPECT_EQ(undo_used, 1);
  expect_clean_surface();
  // The staging is used up: a second Apply makes nothing.
  text_edit_finish("again");
  EXPECT_EQ(texts().size(), 1u);
}

TEST_F(TextToolTest, EditorPlacementWithAnEmptyTextOrCancelMakesNothing) {
  text_use_editor[2] = 1;
  start(0, 0);
  script.key("p_nop");
  run_tool(tool_text_y);
  text_edit_finish("");
  start(0, 0);
  script.key("p_nop");
  run_tool(tool_text_y);
  text_edit_finish(nullptr);
  EXPECT_TRUE(texts().empty());
  EXPECT_EQ(undo_used, 0);
}

TEST_F(TextToolTest, ContentChangedInThePromptLineIsOneUndoStep) {
  TextElem* old = text_at(0, 0, "Alt");
  old->group = 5;
  old->layer = 0;
  old->font = "Rund";
  redraw();
  // Empty space, then the text: the entry holds its content.
  script.click_world(1, 30, -20).click_world(1, 1, 0.2).value("Neu").key("p_nop");
  run_tool(tool_text_alter_content);

  EXPECT_EQ(ui.calls_starting("entry_open"), (std::vector<std::string>{"entry_open Alt"}));
  auto t = texts();
  ASSERT_EQ(t.size(), 1u);
  expect_at(t[0], 0, 0, "Neu");
  EXPECT_EQ(t[0]->font, "Rund");
  EXPECT_EQ(t[0]->group, 0);
  EXPECT_TRUE(nothing_marked());
  EXPECT_EQ(undo_used, 1);
  expect_clean_surface();
  undo_step_back();
  t = texts();
  ASSERT_EQ(t.size(), 1u);
  expect_at(t[0], 0, 0, "Alt");
  EXPECT_EQ(t[0]->group, 5);
}

TEST_F(TextToolTest, EscapeAtTheContentEndsTheToolAnEmptyContentAsksForAnotherText) {
  text_at(0, 0, "Alt");
  redraw();
  script.click_world(1, 1, 0.2).value("").click_world(1, 1, 0.2).key("p_nop");
  run_tool(tool_text_alter_content);
  EXPECT_EQ(ui.calls_starting("prompt Select text line:").size(), 2u);
  EXPECT_EQ(ui.last_prompt, "Text:");
  EXPECT_EQ(pending_command, "p_nop");
  ASSERT_EQ(texts().size(), 1u);
  EXPECT_EQ(texts()[0]->text, "Alt");
  EXPECT_TRUE(nothing_marked());
  EXPECT_EQ(undo_used, 0);
  expect_clean_surface();
}

TEST_F(TextToolTest, TextsOfSeveralLinesOrTooLongForThePromptGoToTheEditorAndCancelPutsThemBack) {
  const std::string long_line(300, 'x');
  struct Case {
    const char* name;
    std::string content;
    int toggle;
  } cases[] = {
      {"two lines", "eins\nzwei", 0},
      {"too long", long_line, 0},
      {"toggle on", "kurz", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    undo_record(UNDO_CLEAR, 0);
    drawing_free();
    drawing_init();
    ui.calls.clear();
    text_use_editor[3] = c.toggle;
    TextElem* old = text_at(5, 5, c.content.c_str());
    old->group = 7;
    redraw();
    script.click_world(1, 6, 5.2).key("p_nop");
    run_tool(tool_text_alter_content);
    EXPECT_EQ(ui.calls_starting("text_editor "), (std::vector<std::string>{"text_editor " + c.content}));
    EXPECT_TRUE(ui.calls_starting("entry_open").empty());
    EXPECT_TRUE(texts().empty());
    EXPECT_TRUE(text_alteration_pending());
    expect_clean_surface();

    text_edit_finish(nullptr);
    auto t = texts();
    ASSERT_EQ(t.size(), 1u);
    expect_at(t[0], 5, 5, c.content);
    EXPECT_EQ(t[0]->group, 7);
    EXPECT_FALSE(text_alteration_pending());
    EXPECT_EQ(undo_used, 2);
  }
}

TEST_F(TextToolTest, ApplyOfAContentChangeMakesTheNewTextInTheOldPlaceWithoutGroup) {
  TextElem* old = text_at(5, 5, "eins\nzwei");
  old->group = 7;
  old->angle = 0.5;
  redraw();
  script.click_world(1, 6, 5.5).key("p_nop");
  run_tool(tool_text_alter_content);
  text_edit_finish("drei");
  auto t = texts();
  ASSERT_EQ(t.size(), 1u);
  expect_at(t[0], 5, 5, "drei");
  EXPECT_EQ(t[0]->angle, 0.5);
  EXPECT_EQ(t[0]->group, 0);
  // Taking it out and making the new one: two steps back to the old text.
  undo_step_back();
  undo_step_back();
  t = texts();
  ASSERT_EQ(t.size(), 1u);
  EXPECT_EQ(t[0]->text, "eins\nzwei");
  EXPECT_EQ(t[0]->group, 7);
}

TEST_F(TextToolTest, APlacementBetweenAContentChangeAndItsCancelPutsTheOldTextBackInItsOwnPlace) {
  TextElem* old = text_at(5, 5, "eins\nzwei");
  old->group = 7;
  old->height = 4;
  redraw();
  script.click_world(1, 6, 5.5).key("p_nop");
  run_tool(tool_text_alter_content);

  // Another text placed through the editor before the first one is done.
  text_use_editor[1] = 1;
  ui.calls.clear();
  start(-20, -10);
  script.key("p_nop");
  run_tool(tool_text_x);
  EXPECT_EQ(ui.calls_starting("text_editor"),
            (std::vector<std::string>{"text_editor_close", "text_editor "}));
  auto t = texts();
  ASSERT_EQ(t.size(), 1u);
  expect_at(t[0], 5, 5, "eins\nzwei");
  EXPECT_EQ(t[0]->group, 7);
  EXPECT_EQ(t[0]->height, 4);

  // The Cancel that follows puts nothing anywhere.
  text_edit_finish(nullptr);
  EXPECT_EQ(texts().size(), 1u);
  expect_clean_surface();

  // Apply after such a placement makes the new text at its own point.
  script.click_world(1, 6, 5.5).key("p_nop");
  run_tool(tool_text_alter_content);
  start(-20, -10);
  script.key("p_nop");
  run_tool(tool_text_x);
  text_edit_finish("neu");
  t = texts();
  ASSERT_EQ(t.size(), 2u);
  expect_at(t[0], 5, 5, "eins\nzwei");
  expect_at(t[1], -20, -10, "neu");
  EXPECT_EQ(t[1]->height, 2.5);
}

TEST_F(TextToolTest, ASecondContentChangePutsTheFirstTextBack) {
  text_at(5, 5, "eins\nzwei")->group = 3;
  text_at(-15, 5, "drei\nvier");
  redraw();
  script.click_world(1, 6, 5.5).click_world(1, -14, 5.5).key("p_nop");
  run_tool(tool_text_alter_content);
  auto t = texts();
  ASSERT_EQ(t.size(), 1u);
  expect_at(t[0], 5, 5, "eins\nzwei");
  EXPECT_EQ(t[0]->group, 3);
  EXPECT_EQ(ui.calls_starting("text_editor "),
            (std::vector<std::string>{"text_editor eins\nzwei", "text_editor drei\nvier"}));
  text_edit_finish("fuenf");
  t = texts();
  ASSERT_EQ(t.size(), 2u);
  expect_at(t[1], -15, 5, "fuenf");
  expect_clean_surface();
}

class TextSelectionTest : public TextToolTest {
 protected:
  void SetUp() override {
    TextToolTest::SetUp();
    text = text_at(0, 0, "Text");
    text->mark = 1;
    Point2 square[4] = {{10, 0, 0}, {20, 0, 0}, {20, 10, 0}, {10, 10, 0}};
    elem_new_room(0, 1, 1, 15, 5, "Simpel", 0, 2.5, 1, 0.1, 1.5, "Bad", "1", 1, 0, 2.5, 1, 1, 1, 1, 4,
                  square);
    room = elem_as<RoomElem>(elem_list_tail);
    room->mark = 1;
    other = text_at(0, -10, "unmarked");
    redraw();
  }
  TextElem* text = nullptr;
  RoomElem* room = nullptr;
  TextElem* other = nullptr;
};

TEST_F(TextSelectionTest, StyleGoesToTextsAndRoomsAsOneUndoStep) {
  text_preset.font = "Rund";
  text_preset.width = 0.7;
  text_preset.spacing = 0.3;
  text_preset.line_spacing = 2;
  text_preset.pen = 5;
  text_preset.line_type = 4;
  script.key("s_deffi_ok");
  run_tool(tool_text_alter_style);
  for (ElemHeader* e : {static_cast<ElemHeader*>(text), static_cast<ElemHeader*>(room)}) {
    EXPECT_EQ(e->pen, 5);
    EXPECT_EQ(e->line_type, 4);
  }
  EXPECT_EQ(text->font, "Rund");
  EXPECT_EQ(text->width_factor, 0.7);
  EXPECT_EQ(text->spacing, 0.3);
  EXPECT_EQ(text->line_spacing, 2);
  EXPECT_EQ(room->font, "Rund");
  EXPECT_EQ(room->width_factor, 0.7);
  EXPECT_EQ(room->line_spacing, 2);
  EXPECT_EQ(other->font, "Simpel");
  EXPECT_EQ(other->pen, 0);
  EXPECT_TRUE(nothing_marked());
  EXPECT_EQ(drawing_modified, 1);
  expect_clean_surface();
  EXPECT_EQ(undo_used, 1);
  undo_step_back();
  for (TextElem* t : texts()) EXPECT_EQ(t->font, "Simpel");
}

TEST_F(TextSelectionTest, JustifiedFormatAsksTheWidthUntilItIsAboveZero) {
  text_format = TEXT_JUSTIFIED;
  script.key("s_deffi_ok").value("0").value("-1").value("4");
  run_tool(tool_text_alter_format);
  EXPECT_EQ(ui.calls_starting("prompt Width:").size(), 3u);
  EXPECT_EQ(text->alignment, TEXT_JUSTIFIED);
  EXPECT_EQ(text->fit_length, 4);
  EXPECT_EQ(other->alignment, TEXT_LEFT);
  EXPECT_EQ(undo_used, 1);
  expect_clean_surface();

  // Another format clears the fit; a cancelled width changes nothing.
  text->mark = 1;
  text_format = TEXT_RIGHT;
  script.key("s_deffi_ok");
  run_tool(tool_text_alter_format);
  EXPECT_EQ(text->alignment, TEXT_RIGHT);
  EXPECT_EQ(text->fit_length, 0);
  text->mark = 1;
  text_format = TEXT_JUSTIFIED;
  script.key("s_deffi_ok").key("p_nop");
  run_tool(tool_text_alter_format);
  EXPECT_EQ(text->alignment, TEXT_RIGHT);
  EXPECT_TRUE(nothing_marked());
  EXPECT_EQ(undo_used, 2);
}

TEST_F(TextSelectionTest, SizeGoesToTextsAndRoomsAndASizeOfZeroChangesNothing) {
  text_size = 7;
  script.key("s_deffi_ok");
  run_tool(tool_text_alter_size);
  EXPECT_EQ(text->height, 7);
  EXPECT_EQ(room->height, 7);
  EXPECT_EQ(other->height, 25);
  EXPECT_EQ(undo_used, 1);
  expect_clean_surface();

  text->mark = 1;
  text_size = 0;
  run_tool(tool_text_alter_size);
  EXPECT_EQ(text->height, 7);
  EXPECT_EQ(undo_used, 1);
}

}  // namespace
