#include "display/wait.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "display/command_buffer.h"
#include "display/shell_hooks.h"
#include "display/wait_script.h"

namespace {

std::vector<std::string> trace;

// A button handler as the shell installs one: records and posts.
void post(void*, const char* key) {
  trace.push_back("post " + std::string(key) + " at " + std::to_string(wait_depth()));
  cmd_put_key(key);
}

// A click that starts a nested wait, as a handler that runs a request does.
void click_nests(int, double, double, bool) {
  std::string key = cmd_wait_key();
  trace.push_back("inner got " + key + " at " + std::to_string(wait_depth()));
}

void answer_ends(int) { wait_end(); }

class WaitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    trace.clear();
    previous_backend_ = wait_set_backend(&script_);
    ShellHooks h;
    h.cmd_post_key = post;
    previous_hooks_ = shell_hooks_install(h);
    previous_targets_ = script_targets_install(ScriptTargets{});
    command_key = "nop";
  }
  void TearDown() override {
    wait_set_backend(previous_backend_);
    shell_hooks_install(previous_hooks_);
    script_targets_install(previous_targets_);
  }
  ScriptedWait script_;
  WaitBackend* previous_backend_ = nullptr;
  ShellHooks previous_hooks_;
  ScriptTargets previous_targets_;
};

TEST_F(WaitTest, PostEndsOnlyTheInnermostOfThreeNestedWaits) {
  ScriptTargets t;
  t.click = click_nests;
  script_targets_install(t);
  script_.click(1, 0, 0).click(1, 0, 0).key("k3").key("k2").key("k1");

  std::string outer = cmd_wait_key();

  EXPECT_EQ(outer, "k1");
  EXPECT_EQ(wait_depth(), 0);
  EXPECT_EQ(trace, (std::vector<std::string>{"post k3 at 3", "inner got k3 at 2", "post k2 at 2",
                                             "inner got k2 at 1", "post k1 at 1"}));
}

TEST_F(WaitTest, SecondPostBeforeTheLevelReturnsLeavesOuterLevelsWaiting) {
  ScriptTargets t;
  t.click = [](int, double, double, bool) {
    std::string inner = cmd_wait_key();
    trace.push_back("inner got " + inner);
  };
  t.value = [](const char* text) {
    cmd_put_key("first");
    cmd_put_key(text);  // the same level again: only the key changes
  };
  script_targets_install(t);
  script_.click(1, 0, 0).value("second").key("outer");

  EXPECT_EQ(std::string(cmd_wait_key()), "outer");
  EXPECT_EQ(trace, (std::vector<std::string>{"inner got second", "post outer at 1"}));
}

TEST_F(WaitTest, WaitEndedWithoutKeyReturnsNopNotThePreviousKey) {
  ScriptTargets t;
  t.box_answer = answer_ends;
  script_targets_install(t);
  command_key = "b_line_line";
  script_.answer(1);
  EXPECT_EQ(std::string(cmd_wait_key()), "nop");
}

TEST_F(WaitTest, PostWithNoWaitRunningOnlyWritesTheKey) {
  cmd_put_key("z_def");
  EXPECT_EQ(std::string(command_key.c_str()), "z_def");
  EXPECT_EQ(wait_depth(), 0);
  wait_end();
  EXPECT_EQ(wait_depth(), 0);
}

TEST_F(WaitTest, OverlongKeyIsCutToTheBuffer) {
  std::string longkey(200, 'z');
  cmd_put_key(longkey.c_str());
  EXPECT_EQ(std::string(command_key.c_str()), longkey.substr(0, CMD_KEY_LEN - 1));
}

TEST_F(WaitTest, DryScriptFailsNamingThePromptAndUnwindsEveryLevel) {
  ScriptTargets t;
  t.click = click_nests;
  script_targets_install(t);
  script_.prompt_shown = [] { return std::string("Start point:"); };
  script_.click(1, 0, 0);
  try {
    cmd_wait_key();
    FAIL() << "a dry script must not return";
  } catch (const WaitScriptDry& e) {
    std::string what = e.what();
    EXPECT_NE(what.find("Start point:"), std::string::npos) << what;
    EXPECT_NE(what.find("depth 2"), std::string::npos) << what;
  }
  EXPECT_EQ(wait_depth(), 0);
}

TEST_F(WaitTest, EventsReachTheirTargetsWithTheirData) {
  static std::vector<std::string> got;
  got.clear();
  ScriptTargets t;
  t.click = [](int b, double x, double y, bool world) {
    got.push_back("click " + std::to_string(b) + " " + std::to_string(int(x)) + "," + std::to_string(int(y)) +
                  (world ? " world" : " pixel"));
  };
  t.value = [](const char* text) { got.push_back(std::string("value ") + text); };
  t.key_press = [](const char* name) { got.push_back(std::string("press ") + name); };
  t.box_answer = [](int n) { got.push_back("answer " + std::to_string(n)); };
  script_targets_install(t);
  script_.click(1, 10, 20).click_world(3, 2, 5).value("1.5").press("Escape").answer(2).key("end");

  EXPECT_EQ(std::string(cmd_wait_key()), "end");
  EXPECT_EQ(got, (std::vector<std::string>{"click 1 10,20 pixel", "click 3 2,5 world", "value 1.5",
                                           "press Escape", "answer 2"}));
  EXPECT_EQ(script_.remaining(), 0u);
}

TEST_F(WaitTest, EventThatNothingTakesFailsWithAMessage) {
  script_.press("F9");
  try {
    cmd_wait_key();
    FAIL() << "an event nothing takes must fail the script";
  } catch (const WaitScriptDry& e) {
    EXPECT_NE(std::string(e.what()).find("key press"), std::string::npos) << e.what();
  }
  EXPECT_EQ(wait_depth(), 0);
}

// A box ends its own level while a request runs inside it: the request
// keeps waiting, and the box's level returns right after it, without taking
// another event.
TEST_F(WaitTest, EndingAnOuterLevelLetsTheInnerOneFinishFirst) {
  ScriptTargets t;
  t.click = click_nests;
  t.box_answer = [](int depth) {
    wait_end_level(depth);
    trace.push_back("ended level " + std::to_string(depth) + ", depth " + std::to_string(wait_depth()));
  };
  script_targets_install(t);
  script_.click(1, 0, 0).answer(1).answer(1).key("inner").key("unused");

  cmd_wait_key();
  EXPECT_EQ(trace, (std::vector<std::string>{"ended level 1, depth 2", "ended level 1, depth 2",
                                             "post inner at 2", "inner got inner at 1"}));
  EXPECT_EQ(script_.remaining(), 1u);
  EXPECT_EQ(wait_depth(), 0);
  wait_end_level(1);  // no level runs: nothing happens
}

TEST_F(WaitTest, WaitWithoutBackendIsRefused) {
  wait_set_backend(nullptr);
  EXPECT_THROW(wait_run(), std::logic_error);
  EXPECT_EQ(wait_depth(), 0);
}

}  // namespace
