// The export-scope question marks the elements an export takes.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "display/export_scope.h"
#include "model/elem.h"
#include "model/layers.h"
#include "support/model_fixture.h"
#include "support/recording_ui.h"

namespace {

class ExportScopeTest : public ModelTest {
 protected:
  void SetUp() override {
    ModelTest::SetUp();
    previous_select_ = export_scope_select;
    // Layer 3 is current, layer 5 shown, layers 7 and 9 hidden.
    cur_layer = 3;
    layers[5].shown = 1;
    for (int layer : {3, 5, 7, 9}) elem_new_line(layer, 0, 0, 0, 0, 1, 1);
    // An earlier mark on a hidden layer.
    elements()[3]->mark = 1;
  }
  void TearDown() override {
    export_scope_select = previous_select_;
    ModelTest::TearDown();
  }
  static std::string marks() {
    std::string m;
    for (ElemHeader* e : elements()) m += e->mark ? '1' : '0';
    return m;
  }
  int (*previous_select_)(int) = nullptr;
};

TEST_F(ExportScopeTest, AnswersMarkTheirElements) {
  struct Case {
    int answer;
    int selection;  // what the interactive selection answers
    int result;
    const char* marks;
  };
  static int selection;
  export_scope_select = [](int mode) {
    EXPECT_EQ(mode, 0);
    return selection;
  };
  const Case cases[] = {
      {1, 0, 1, "1111"},  // all objects
      {2, 0, 1, "1101"},  // current and shown layers; the hidden one's old mark stays
      {3, 1, 1, "0001"},  // the selection confirmed (it marks, here nothing more)
      {3, 0, 0, "0001"},  // the selection cancelled
      {4, 0, 0, "0001"},  // Cancel
      {0, 0, 0, "0001"},  // closed
  };
  for (const Case& c : cases) {
    for (ElemHeader* e : elements()) e->mark = 0;
    elements()[3]->mark = 1;
    selection = c.selection;
    RecordingUi ui;
    ui.answers = {c.answer};
    EXPECT_EQ(msgbox_ask_export_scope("SVG"), c.result) << c.answer;
    EXPECT_EQ(marks(), c.marks) << c.answer;
    EXPECT_EQ(ui.calls, std::vector<std::string>{
                            "ask Export SVG: [All objects] [All visible objects] [Select objects] [Cancel]"});
  }
}

TEST_F(ExportScopeTest, NameIsFilledInAsItStands) {
  RecordingUi ui;
  msgbox_ask_export_scope("%s%n 100%");
  ASSERT_EQ(ui.calls.size(), 1u);
  EXPECT_EQ(ui.calls[0].substr(0, 22), "ask Export %s%n 100%: ");
}

}  // namespace
