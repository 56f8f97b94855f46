#pragma once

// Runs the command loop without a display: the scripted wait backend, the
// recording ui table, and button groups whose toggle operations are recorded.
// Dispatch tables changed by a test are put back after it.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "display/command_buffer.h"
#include "display/display_state.h"
#include "display/input.h"
#include "display/outdev.h"
#include "display/shell_hooks.h"
#include "display/view.h"
#include "display/wait.h"
#include "display/wait_script.h"
#include "model/view_rec.h"
#include "shell/cmd_buttons.h"
#include "shell/cmd_dispatch.h"
#include "shell/cmd_loop.h"
#include "shell/shell_platform.h"
#include "support/model_fixture.h"
#include "support/recording_ui.h"

// Stand-ins for button widgets: only their addresses are used.
inline int button_line, button_circle, button_zoom, button_pan;

class ShellTest : public ModelTest {
 protected:
  void SetUp() override {
    ModelTest::SetUp();
    display_state_reset();
    for (char f : families) saved_rows_[f] = cmd_rows(f);
    previous_backend_ = wait_set_backend(&script);
    script.prompt_shown = [this] { return ui.last_prompt; };
    previous_hooks_ = shell_hooks_install(ShellHooks{});
    cmd_install_shell_hooks();
    button_log().clear();
    ShellPlatform p;
    p.button_set_active = [](void* w, const char* key, bool on) {
      button_log().push_back(name_of(w) + (on ? " on " : " off ") + key);
    };
    previous_platform_ = shell_platform_install(p);
    active_b_button = CmdButtonSlot{};
    active_f_button = CmdButtonSlot{};
    quit_requested = 0;
  }

  void TearDown() override {
    for (char f : families) cmd_rows(f) = saved_rows_[f];
    wait_set_backend(previous_backend_);
    shell_hooks_install(previous_hooks_);
    shell_platform_install(previous_platform_);
    active_b_button = CmdButtonSlot{};
    active_f_button = CmdButtonSlot{};
    ModelTest::TearDown();
  }

  // Runs the command loop until it quits; a script that runs dry fails the test.
  void run_loop() {
    try {
      cmd_loop();
    } catch (const WaitScriptDry& e) {
      ADD_FAILURE() << e.what();
    }
  }

  // Puts a handler into the table of the key's family (replacing its row).
  static void set_row(const char* key, std::function<void()> fn) {
    for (CmdRow& r : cmd_rows(key[0])) {
      if (std::string(r.key) == key) {
        r.run = std::move(fn);
        return;
      }
    }
    cmd_rows(key[0]).push_back({key, std::move(fn)});
  }

  static std::vector<std::string>& button_log() {
    static std::vector<std::string> log;
    return log;
  }

  static std::string name_of(const void* w) {
    if (w == &button_line) return "line";
    if (w == &button_circle) return "circle";
    if (w == &button_zoom) return "zoom";
    if (w == &button_pan) return "pan";
    return w ? "?" : "none";
  }

  static constexpr char families[] = {'p', 'b', 'f', 's', 'z'};

  RecordingUi ui;
  ScriptedWait script;

 private:
  std::map<char, std::vector<CmdRow>> saved_rows_;
  WaitBackend* previous_backend_ = nullptr;
  ShellHooks previous_hooks_;
  ShellPlatform previous_platform_;
};

// The command loop with the main view drawn off screen (600 x 400) and the
// input engine taking the script's clicks and typed values.
class LoopWithViewTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    view_free_all();
    cur_view = 0;
    view_init(0);
    ASSERT_TRUE(view_offscreen(0, 600, 400));
    previous_targets_ = script_targets_install(ScriptTargets{});
    input_install_script_targets();
  }
  void TearDown() override {
    script_targets_install(previous_targets_);
    view_free_all();
    ShellTest::TearDown();
  }

 private:
  ScriptTargets previous_targets_;
};

// A drawing tool as the input engine runs it: it shows its prompt and waits
// for keys. z_ keys go to their dispatcher first; f_ and s_ keys run inside
// the request; "z_mb1" enters a point; a p_ or b_ key cancels the request and
// stays pending for the command loop. Returns the number of points entered.
inline int fake_tool(const char* prompt, std::vector<std::string>& log) {
  int points = 0;
  for (;;) {
    ui().mainwin_set_prompt(prompt);
    std::string key = cmd_wait_key();
    if (key == "nop") continue;
    if (key[0] == 'z') shell_hooks().cmd_dispatch_z(key.c_str());
    if (key[0] == 'f') shell_hooks().cmd_dispatch_f(key.c_str());
    if (key[0] == 's') shell_hooks().cmd_dispatch_s(key.c_str());
    if (key[0] == 'p' || key[0] == 'b') {
      pending_command = key;
      shell_hooks().mainwin_release_f_button();
      if (key[0] == 'p') shell_hooks().mainwin_release_b_button();
      log.push_back(std::string(prompt) + " cancelled by " + key);
      return points;
    }
    if (key == "z_mb1") {
      ++points;
      log.push_back(std::string(prompt) + " point");
    }
  }
}
