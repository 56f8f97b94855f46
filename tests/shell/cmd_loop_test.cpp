#include <cstring>
#include <functional>
#include <set>
#include <stdexcept>

#include "model/elem.h"
#include "model/files/load_save.h"
#include "model/layers.h"
#include "model/settings.h"
#include "shell/cmd_commands.h"
#include "shell/cmd_keys.h"
#include "shell/dlg_table.h"
#include "shell_fixture.h"

namespace {

using Lines = std::vector<std::string>;

// The lines of captured standard output.
Lines lines_of(const std::string& out) {
  Lines lines;
  std::size_t start = 0;
  while (start < out.size()) {
    std::size_t end = out.find('\n', start);
    if (end == std::string::npos) end = out.size();
    lines.push_back(out.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

TEST(CmdKeys, VocabularyIsWellFormedAndRowsUseIt) {
  std::set<std::string> all;
  for (char family : {'p', 'b', 'f', 's', 'z'}) {
    EXPECT_FALSE(cmd_keys(family).empty()) << family;
    for (const char* k : cmd_keys(family)) {
      EXPECT_EQ(k[0], family) << k;
      EXPECT_EQ(k[1], '_') << k;
      EXPECT_LE(std::strlen(k), std::size_t(CMD_KEY_MAX)) << k;
      EXPECT_TRUE(all.insert(k).second) << "listed twice: " << k;
      EXPECT_FALSE(cmd_key_only_ends_wait(k)) << k;
    }
    std::set<std::string> rows;
    for (const CmdRow& r : cmd_rows(family)) {
      EXPECT_TRUE(cmd_key_known(r.key)) << "row for a key no dispatcher knows: " << r.key;
      EXPECT_TRUE(rows.insert(r.key).second) << "two rows for " << r.key;
      EXPECT_TRUE(bool(r.run)) << r.key;
    }
  }
  for (const char* k : cmd_keys_wait_only()) {
    EXPECT_FALSE(cmd_key_known(k)) << k;
    EXPECT_TRUE(cmd_key_only_ends_wait(k)) << k;
    EXPECT_LE(std::strlen(k), std::size_t(CMD_KEY_MAX)) << k;
  }
  // The dialog keys: whole, unique, apart from the dispatchers' keys, and
  // every row of the dialog dispatch is one of them.
  std::set<std::string> dialog;
  for (const char* k : cmd_keys_dialog()) {
    EXPECT_TRUE(dialog.insert(k).second) << "listed twice: " << k;
    EXPECT_TRUE(std::strncmp(k, "z_d_", 4) == 0 || std::strncmp(k, "z_c_", 4) == 0 ||
                std::strcmp(k, "z_info_update") == 0)
        << k;
    EXPECT_LE(std::strlen(k), std::size_t(CMD_KEY_MAX)) << k;
    EXPECT_FALSE(cmd_key_known(k)) << k;
    EXPECT_TRUE(cmd_key_is_dialog(k)) << k;
    EXPECT_TRUE(cmd_key_only_ends_wait(k)) << k;
  }
  EXPECT_EQ(dialog.size(), 77u);
  for (const DlgRow& r : dlg_rows()) EXPECT_TRUE(cmd_key_is_dialog(r.key)) << r.key;

  EXPECT_TRUE(cmd_key_only_ends_wait("z_d_layer"));
  EXPECT_TRUE(cmd_key_only_ends_wait("z_c_textedit_apply"));
  EXPECT_TRUE(cmd_key_only_ends_wait("z_save_dim"));
  EXPECT_FALSE(cmd_key_only_ends_wait("z_save_settings"));  // a dispatcher's key
  EXPECT_FALSE(cmd_key_only_ends_wait("b_no_such_tool"));
  // A dialog key nobody knows is no longer taken for one.
  EXPECT_FALSE(cmd_key_only_ends_wait("z_d_no_such_dialog"));
  EXPECT_FALSE(cmd_key_is_dialog("z_d_no_such_dialog"));
}

TEST_F(ShellTest, EveryKeyWithARowRunsItsHandler) {
  Lines ran, expected;
  for (char f : families) {
    for (CmdRow& r : cmd_rows(f)) {
      std::string key = r.key;
      r.run = [&ran, key] {
        ran.push_back(key);
        if (key == "p_file_quit") quit_requested = 1;
      };
      if (key != "p_file_quit") {
        script.key(r.key);
        expected.push_back(key);
      }
    }
  }
  script.key("p_file_quit");
  expected.push_back("p_file_quit");

  testing::internal::CaptureStdout();
  run_loop();
  std::string out = testing::internal::GetCapturedStdout();

  EXPECT_EQ(ran, expected);
  EXPECT_EQ(out, "");
  EXPECT_EQ(script.remaining(), 0u);
}

TEST_F(ShellTest, KeysWithoutHandlerAreDroppedWithOneLineEach) {
  // A key of the vocabulary whose handler is not built yet, if there is one.
  std::string unbuilt;
  for (char f : families)
    for (const char* k : cmd_keys(f))
      if (!cmd_key_has_row(k) && unbuilt.empty()) unbuilt = k;
  struct Case {
    std::string key;
    bool reported;
  };
  std::vector<Case> cases = {
      {"x_unknown_family", true}, {"b_no_such_tool", true}, {"z_no_such_event", true},
      {"p_nop", false},           {"nop", false},           {"z_mb1", false},
      {"z_d_layer", false},       {"z_save_dim", false},    {"s_deffi_ok", false},
  };
  if (!unbuilt.empty()) cases.push_back({unbuilt, true});

  for (const Case& c : cases) {
    testing::internal::CaptureStdout();
    cmd_dispatch(c.key.c_str());
    Lines out = lines_of(testing::internal::GetCapturedStdout());
    if (c.reported) {
      ASSERT_EQ(out.size(), 1u) << c.key;
      EXPECT_NE(out[0].find(c.key), std::string::npos) << out[0];
    } else {
      EXPECT_TRUE(out.empty()) << c.key << ": " << out[0];
    }
  }

  // Through the loop: an unknown key ends the wait and the loop prompts again.
  script.key("b_no_such_tool").key("p_file_quit");
  testing::internal::CaptureStdout();
  run_loop();
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(ui.calls_starting("prompt"), (Lines{"prompt Select function:", "prompt Select function:"}));
  EXPECT_TRUE(quit_requested);
}

// A handler that throws must not unwind through the toolkit's frames: the
// error is shown and the loop prompts for the next command.
TEST_F(ShellTest, AHandlerThatThrowsIsReportedAndTheLoopGoesOn) {
  struct Case {
    const char* key;
    std::function<void()> run;
    std::string error;
  };
  const std::vector<Case> cases = {
      {"p_undo", [] { throw std::runtime_error("out of range"); },
       "error The command p_undo stopped with an unexpected error: out of range"},
      {"b_line_line", [] { throw 42; }, "error The command b_line_line stopped with an unexpected error: ?"},
  };
  for (const Case& c : cases) {
    std::vector<CmdRow>& rows = cmd_rows(c.key[0]);
    const std::vector<CmdRow> saved = rows;
    for (CmdRow& r : rows)
      if (std::string(r.key) == c.key) r.run = c.run;
    ui.calls.clear();
    script.key(c.key).key("p_file_quit");
    run_loop();
    rows = saved;
    EXPECT_EQ(ui.calls_starting("error"), (Lines{c.error})) << c.key;
    EXPECT_EQ(ui.calls_starting("prompt").size(), 2u) << c.key;
    EXPECT_TRUE(quit_requested);
    quit_requested = 0;
  }
}

// A dialog whose builder is not in yet: its button's key passes the dialog
// dispatch and the loop, and one line says it was dropped, as for an unbuilt
// tool. The menu's Scale and Settings, the Layers, snap and preset buttons,
// Render and Hidden and the start box's Change Font post such keys.
TEST_F(ShellTest, DialogKeysWithoutADialogSayTheyAreDroppedOnce) {
  auto has_dialog_row = [](const std::string& key) {
    for (const DlgRow& r : dlg_rows())
      if (key == r.key) return true;
    return false;
  };
  Lines expected;
  for (const char* k :
       {"z_d_scale", "z_d_settings", "z_d_dxf_in", "z_d_dxf_out", "z_d_printsetup", "z_d_plotsetup",
        "z_d_layer", "z_d_snap", "z_d_wall", "z_d_pov", "z_d_hlr", "z_d_font"}) {
    if (has_dialog_row(k)) continue;
    script.key(k);
    expected.push_back(std::string("command key ") + k + ": no handler, dropped");
  }
  ASSERT_FALSE(expected.empty());
  script.key("p_file_quit");

  testing::internal::CaptureStdout();
  run_loop();
  EXPECT_EQ(lines_of(testing::internal::GetCapturedStdout()), expected);
  EXPECT_TRUE(quit_requested);

  // A closing key of a dialog that is not built cannot be posted by its
  // window, but says so all the same; a key with a row says nothing.
  for (auto [key, said] : {std::pair{"z_c_scale", true}, std::pair{"z_c_about", false}}) {
    testing::internal::CaptureStdout();
    cmd_post_key(nullptr, key);
    cmd_dispatch(command_key.c_str());
    EXPECT_EQ(lines_of(testing::internal::GetCapturedStdout()).size(), said ? 1u : 0u) << key;
  }
}

TEST_F(ShellTest, PostKeyActsByFamily) {
  struct Step {
    void* widget;
    const char* key;
    const char* posted;  // command_key afterwards
    std::string b, f;    // the active buttons afterwards
    Lines toggles;       // toggle operations of this step
  };
  const Step steps[] = {
      {&button_line, "b_line_line", "b_line_line", "line", "none", {}},
      {&button_circle, "b_circle_circle", "b_circle_circle", "circle", "none", {"line off b_line_line"}},
      {&button_circle, "b_circle_circle", "b_circle_circle", "circle", "none", {"circle on b_circle_circle"}},
      {&button_zoom, "f_zoom", "f_zoom", "circle", "zoom", {}},
      {&button_pan, "f_pan", "f_pan", "circle", "pan", {"zoom off f_zoom"}},
      {nullptr, "z_def", "z_def", "circle", "pan", {}},
      {nullptr, "s_alles", "s_alles", "circle", "none", {"pan off f_pan"}},
      {nullptr, "p_undo", "p_undo", "none", "none", {"circle off b_circle_circle"}},
      {nullptr, "x_other", "p_undo", "none", "none", {}},
  };
  for (const Step& s : steps) {
    button_log().clear();
    cmd_post_key(s.widget, s.key);
    EXPECT_STREQ(command_key.c_str(), s.posted) << s.key;
    EXPECT_EQ(name_of(active_b_button.widget), s.b) << s.key;
    EXPECT_EQ(name_of(active_f_button.widget), s.f) << s.key;
    EXPECT_EQ(button_log(), s.toggles) << s.key;
  }
}

TEST_F(ShellTest, DestroyedButtonLeavesItsGroup) {
  cmd_post_key(&button_line, "b_line_line");
  cmd_post_key(&button_zoom, "f_zoom");
  mainwin_forget_button(&button_line);
  EXPECT_EQ(active_b_button.widget, nullptr);
  EXPECT_EQ(active_f_button.widget, &button_zoom);
  button_log().clear();
  mainwin_release_b_button();
  EXPECT_TRUE(button_log().empty());  // the destroyed widget is not touched
}

TEST_F(ShellTest, ProgramKeyWhileAToolWaitsEndsTheToolAndRunsNext) {
  Lines log;
  set_row("b_line_line", [&log] { fake_tool("Start point:", log); });
  set_row("s_alles", [&log] { log.push_back("extents"); });
  set_row("z_def", [&log] { log.push_back("remember view"); });
  elem_new_line(0, 0, 0, 0, 0, 1, 0);
  drawing_modified = 0;

  script.key("b_line_line", &button_line)
      .key("z_mb1")
      .key("s_alles")
      .key("z_def")
      .key("p_file_new")
      .key("p_file_quit");
  run_loop();

  EXPECT_EQ(
      log, (Lines{"Start point: point", "extents", "remember view", "Start point: cancelled by p_file_new"}));
  EXPECT_EQ(elem_count(), 0);  // the new-drawing command ran
  EXPECT_EQ(drawing_file, std::string(draw_path.view()) + "Unnamed.kav");
  EXPECT_EQ(button_log(), (Lines{"line off b_line_line"}));
  EXPECT_EQ(active_b_button.widget, nullptr);
  EXPECT_EQ(ui.calls_starting("prompt"),
            (Lines{"prompt Select function:", "prompt Start point:", "prompt Start point:",
                   "prompt Start point:", "prompt Start point:", "prompt Select function:"}));
  EXPECT_TRUE(quit_requested);
}

TEST_F(ShellTest, ToolKeyWhileAToolWaitsStartsTheNewToolWithoutPrompting) {
  Lines log;
  set_row("b_line_line", [&log] { fake_tool("Start point:", log); });
  set_row("b_circle_circle", [&log] { fake_tool("Center:", log); });

  script.key("b_line_line", &button_line)
      .key("b_circle_circle", &button_circle)
      .key("b_circle_circle", &button_circle)  // pressed again: restarts, stays pressed
      .key("p_nop")                            // Escape
      .key("p_file_quit");
  run_loop();

  EXPECT_EQ(ui.calls_starting("prompt"),
            (Lines{"prompt Select function:", "prompt Start point:", "prompt Center:", "prompt Center:",
                   "prompt Select function:"}));
  EXPECT_EQ(log, (Lines{"Start point: cancelled by b_circle_circle", "Center: cancelled by b_circle_circle",
                        "Center: cancelled by p_nop"}));
  EXPECT_EQ(button_log(),
            (Lines{"line off b_line_line", "circle on b_circle_circle", "circle off b_circle_circle"}));
  EXPECT_EQ(active_b_button.widget, nullptr);
}

TEST_F(ShellTest, EscapeCancelsNestedRequestsBackToTheLoop) {
  Lines log;
  // A tool whose first point starts a sub-request, as a snap or value prompt does.
  set_row("b_line_line", [&] {
    ::ui().mainwin_set_prompt("Start point:");
    std::string key = cmd_wait_key();
    if (key != "z_mb1") return;
    fake_tool("2nd Element:", log);
    log.push_back("outer request ends, pending " + std::string(pending_command.c_str()));
  });

  script.key("b_line_line", &button_line).key("z_mb1").key("p_nop").key("p_file_quit");
  testing::internal::CaptureStdout();
  run_loop();
  std::string out = testing::internal::GetCapturedStdout();

  EXPECT_EQ(log, (Lines{"2nd Element: cancelled by p_nop", "outer request ends, pending p_nop"}));
  EXPECT_EQ(ui.calls_starting("prompt").back(), "prompt Select function:");
  EXPECT_EQ(active_b_button.widget, nullptr);
  EXPECT_TRUE(cmd_pending_empty());
  EXPECT_EQ(out, "");  // "p_nop" is dropped silently
}

TEST_F(ShellTest, LoopStartsAtTheExtentsAndViewKeysStepTheScale) {
  script.key("s_maplus").key("z_scrollup").key("z_scrollup").key("s_komplett").key("p_file_quit");
  run_loop();
  EXPECT_EQ(ui.calls_starting("scale_label"),
            (Lines{"scale_label  1:500 ", "scale_label  1:500 ", "scale_label  1:1000 ",
                   "scale_label  1:500 ", "scale_label  1:333 ", "scale_label  1:500 "}));
}

TEST_F(ShellTest, ViewCommandReleasesTheViewToolButton) {
  Lines ran;
  set_row("s_maplus", [&ran] { ran.push_back("scale up"); });
  cmd_post_key(&button_zoom, "f_zoom");
  button_log().clear();
  cmd_dispatch_s("s_maplus");
  EXPECT_EQ(ran, Lines{"scale up"});
  EXPECT_EQ(button_log(), Lines{"zoom off f_zoom"});

  // The tool dispatcher keeps the button of a tool that ended by another tool.
  set_row("b_line_line", [] {});
  cmd_post_key(&button_line, "b_line_line");
  pending_command = "b_circle_circle";
  cmd_dispatch_b("b_line_line");
  EXPECT_EQ(active_b_button.widget, &button_line);
  pending_command = "p_undo";
  cmd_dispatch_b("b_line_line");
  EXPECT_EQ(active_b_button.widget, nullptr);
}

TEST_F(ShellTest, QuitAsksOnlyWhenModified) {
  struct Case {
    bool modified;
    std::vector<int> answers;  // 1 Quit, 2 Cancel, 3 Save, 0 closed
    std::size_t asks;          // questions before the loop ends
    int saves;
  };
  const Case cases[] = {
      {false, {}, 0, 0},    {true, {1}, 1, 0}, {true, {2, 1}, 2, 0},
      {true, {0, 1}, 2, 0}, {true, {3}, 1, 1},  // saved, so the second quit asks nothing
  };
  for (const Case& c : cases) {
    ui.calls.clear();
    ui.answers.assign(c.answers.begin(), c.answers.end());
    int saves = 0;
    set_row("p_file_save", [&saves] {
      ++saves;
      drawing_modified = 0;
    });
    drawing_modified = c.modified;
    script = ScriptedWait{};
    script.prompt_shown = [this] { return ui.last_prompt; };
    for (std::size_t i = 0; i < std::max<std::size_t>(c.answers.size(), 1); ++i) script.key("p_file_quit");
    if (c.saves) script.key("p_file_quit");

    run_loop();

    EXPECT_TRUE(quit_requested);
    EXPECT_EQ(script.remaining(), 0u);
    auto asks = ui.calls_starting("ask");
    ASSERT_EQ(asks.size(), c.asks);
    if (!asks.empty()) {
      EXPECT_EQ(asks[0],
                "ask Drawing is altered and not saved!\nReally quit without saving? [Quit] [Cancel] [Save]");
    }
    EXPECT_EQ(saves, c.saves);
  }
}

TEST_F(ShellTest, QuitAnsweredCancelKeepsTheLoopWaiting) {
  drawing_modified = 1;
  ui.answers = {2};
  script.key("p_file_quit");
  try {
    cmd_loop();
    FAIL() << "the loop must go on after Cancel";
  } catch (const WaitScriptDry& e) {
    EXPECT_NE(std::string(e.what()).find("Select function:"), std::string::npos) << e.what();
  }
  EXPECT_FALSE(quit_requested);
}

TEST_F(ShellTest, NewDrawing) {
  struct Case {
    bool modified;
    int answer;
    bool emptied;
  };
  const Case cases[] = {{false, 0, true}, {true, 1, true}, {true, 2, false}, {true, 0, false}};
  for (const Case& c : cases) {
    elem_free_all();
    elem_new_line(3, 0, 0, 0, 0, 1, 1);
    cur_layer = 3;
    group_counter = 7;
    drawing_file = "/home/u/KAVRO3/draw/house.kav";
    drawing_modified = c.modified;
    ui.calls.clear();
    ui.answers = {c.answer};

    cmd_p_file_new();

    EXPECT_EQ(ui.calls_starting("ask").size(), c.modified ? 1u : 0u);
    if (c.emptied) {
      EXPECT_EQ(elem_count(), 0);
      // A name the user can save under at once, as after the start.
      EXPECT_EQ(drawing_file, std::string(draw_path.view()) + "Unnamed.kav");
      EXPECT_EQ(drawing_modified, 0);
      EXPECT_EQ(group_counter, 0);
      EXPECT_EQ(layers[3].count, 0);
      EXPECT_EQ(ui.calls_starting("title").size(), 1u);
    } else {
      EXPECT_EQ(elem_count(), 1);
      EXPECT_EQ(drawing_file, "/home/u/KAVRO3/draw/house.kav");
      EXPECT_EQ(drawing_modified, 1);
      EXPECT_EQ(group_counter, 7);
      EXPECT_TRUE(ui.calls_starting("title").empty());
    }
  }
  ui.calls.clear();
  drawing_modified = 1;
  ui.answers = {2};
  cmd_p_file_new();
  EXPECT_EQ(ui.calls_starting("ask"),
            Lines{"ask Drawing is altered and not saved!\nReally delete all? [Yes] [Cancel]"});
}

TEST_F(ShellTest, PathChoosers) {
  struct Case {
    const char* key;
    std::string chooser;  // the chooser call
    std::string result;
    FixedText<PATH_LEN>* setting;
    std::string (*file)();  // the file name that follows the folder, or null
    const char* entry;
  };
  const Case cases[] = {
      {"p_path_draw", "choose Drawing path /home/u/KAVRO3/draw/ 2", "/data/plans/", &draw_path,
       [] { return drawing_file; }, "draw"},
      {"p_path_sym", "choose Symbol path ", "/data/sym/", &symbol_path,
       [] { return std::string(symbol_save_file.view()); }, "sym"},
      {"p_path_dxf", "choose DXF path ", "/data/dxf/", &import_path,
       [] { return std::string(import_file.view()); }, "dxf"},
      {"p_path_export", "choose Export path /home/u/KAVRO3/export/ 2", "/data/out/", &export_path,
       [] { return std::string(export_file.view()); }, "export"},
      {"p_path_dia", "choose Dialog path ", "/data/dia/", &dialog_path, nullptr, "dia"},
      {"p_pov_out", "choose Save Image  1", "/tmp/scene.png", &pov_settings.output_file, nullptr, "pov"},
      {"p_ray_out", "choose Save Image /home/u/KAVRO3/export/ 1", "/tmp/ray.pic", &rad_settings.output_file,
       nullptr, "ray"},
  };
  for (const Case& c : cases) {
    for (const std::string& result : {std::string("cancel"), c.result, std::string(300, 'x')}) {
      draw_path = "/home/u/KAVRO3/draw/";
      export_path = "/home/u/KAVRO3/export/";
      ui.calls.clear();
      ui.paths = {result};
      std::string setting_before = c.setting ? std::string(c.setting->view()) : "";
      std::string file_before = c.file ? c.file() : "";

      cmd_dispatch_p(c.key);

      auto chooser = ui.calls_starting("choose");
      ASSERT_EQ(chooser.size(), 1u) << c.key;
      EXPECT_EQ(chooser[0].substr(0, c.chooser.size()), c.chooser) << c.key;
      bool taken = result == c.result;
      if (c.setting) {
        EXPECT_EQ(c.setting->view(), taken ? result : setting_before) << c.key;
      }
      if (c.file) {
        EXPECT_EQ(c.file(), taken ? result : file_before) << c.key;
      }
      Lines expected_entry;
      if (taken) expected_entry.push_back("path_entry " + std::string(c.entry) + " " + result);
      EXPECT_EQ(ui.calls_starting("path_entry"), expected_entry) << c.key;
      EXPECT_EQ(ui.calls_starting("error").size(), result.size() >= PATH_LEN ? 1u : 0u) << c.key;
    }
  }
}

}  // namespace
