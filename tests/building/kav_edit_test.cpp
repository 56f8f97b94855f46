// The edit runner: a drawing saved here, a script of the user's events run
// on it by kav-edit, and the drawing it saved read back. Its selections,
// typed values, pages' toggles, undo and question boxes reach the program
// as a person's would; a script that cannot go on fails with its line.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "model/files/load_save.h"
#include "platform/process.h"
#include "support/model_fixture.h"
#include "support/recording_ui.h"
#include "support/temp_folder.h"
#include "support/wall_fixture.h"

namespace {

struct EditRun {
  int status = -1;
  std::string out, err;
};

std::string read_text(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// A line as (x1, y1, x2, y2), ends in the order of the record.
using Seg = std::vector<double>;

class KavEditTest : public ModelTest {
 protected:
  // Saves the drawing as it is here as IN.
  std::string save_in() {
    const std::string path = (dir / "in.kav").string();
    ui.paths = {path};
    EXPECT_EQ(kavfile_save_drawing(0), 1);
    drawing_free();
    return path;
  }

  // kav-edit IN SCRIPT OUT with the script's lines.
  EditRun edit(const std::string& in, const std::string& script, const std::string& out = "") {
    dir.write("script.txt", script);
    ProcessRequest r;
    r.argv = {KAVRO_EDIT_TOOL, in, (dir / "script.txt").string(), out.empty() ? out_path() : out};
    r.stdout_path = (dir / "run.out").string();
    r.stderr_path = (dir / "run.err").string();
    const ProcessResult result = process_start(r);
    EditRun run;
    run.status = result.started ? result.exit_status : -1;
    run.out = read_text(dir / "run.out");
    run.err = read_text(dir / "run.err");
    return run;
  }
  std::string out_path() const { return (dir / "out.kav").string(); }

  // The lines of a saved drawing, sorted.
  std::vector<Seg> lines_of(const std::string& path) {
    drawing_free();
    EXPECT_EQ(kavfile_load_drawing(1, path.c_str()), 1) << path;
    std::vector<Seg> out;
    for (ElemHeader* e : elements())
      if (const auto* l = elem_as<LineElem>(e)) {
        auto r = [](double v) { return std::round(v * 1e6) / 1e6 + 0.0; };
        out.push_back({r(l->p1.x), r(l->p1.y), r(l->p2.x), r(l->p2.y)});
      }
    std::sort(out.begin(), out.end());
    return out;
  }
  int count_of(const std::string& path, int kind) {
    drawing_free();
    EXPECT_EQ(kavfile_load_drawing(1, path.c_str()), 1) << path;
    int n = 0;
    for (ElemHeader* e : elements()) n += e->kind == kind;
    return n;
  }

  RecordingUi ui;
  TempFolder dir;
};

// Two lines far apart: A from (0, 0) to (4, 0), B from (0, 10) to (4, 10).
// Every way of giving the program input, each from a fresh IN.
TEST_F(KavEditTest, EventsReachTheToolsAsAPersonsWould) {
  struct Case {
    const char* name;
    const char* script;
    std::vector<Seg> lines;
  } cases[] = {
      {"all moved by an axis key and a typed distance, the script ending in the tool",
       "key b_edit_move\nkey s_deffi_all\nkey s_deffi_ok\npress x\nvalue 2\n",
       {{2, 0, 6, 0}, {2, 10, 6, 10}}},
      {"one picked and moved by two clicks, Tab ending the selection, Return confirming",
       "# B only\nkey b_edit_move\nclick 1 2 10\npress Tab\n\nclick 1 1 5\nclick 1 1 2\npress Return\n"
       "press Escape\n",
       {{0, 0, 4, 0}, {0, 7, 4, 7}}},
      {"a move taken back by the undo key",
       "key b_edit_move\nkey s_deffi_all\nkey s_deffi_ok\npress y\nvalue 5\npress Escape\nkey p_undo\n",
       {{0, 0, 4, 0}, {0, 10, 4, 10}}},
      {"a range window on the Select page, then Delete",
       "key b_edit_delete\nset select_type 0\nclick 1 -1 -1\nclick 1 5 1\nkey s_deffi_ok\n",
       {{0, 10, 4, 10}}},
      {"the copy toggle of Rotate: A turned a quarter about (0, 0), the original kept",
       "set rotate_copy 1\nkey b_edit_rotate\nclick 1 2 0\nkey s_deffi_ok\nkey z_abs\nvalue 0;0\n"
       "press Return\nvalue 90\n",
       {{0, 0, 0, 4}, {0, 0, 4, 0}, {0, 10, 4, 10}}},
      {"the copy toggle of Mirror: A mirrored about x = 10",
       "set mirror_copy 1\nkey b_edit_mirror\nclick 1 2 0\nkey s_deffi_ok\nkey z_abs\nvalue 10;-5\n"
       "key z_abs\nvalue 10;-6\npress Return\n",
       {{0, 0, 4, 0}, {0, 10, 4, 10}, {20, 0, 16, 0}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    drawing_free();
    elem_new_line(0, 0, 0, 0, 0, 4, 0);
    elem_new_line(0, 0, 0, 0, 10, 4, 10);
    const std::string in = save_in();
    std::filesystem::remove(out_path());
    const EditRun run = edit(in, c.script);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(lines_of(out_path()), c.lines);
  }
}

// A question box prints its text and takes the script's answer: Yes
// dissolves the spline picked beside it into lines, Cancel keeps it; a script that ends
// while the box waits closes it as Escape does.
TEST_F(KavEditTest, AQuestionIsPrintedAndAnswered) {
  struct Case {
    const char* answer;
    int splines;
  } cases[] = {{"answer 1\n", 0}, {"answer 2\n", 1}, {"", 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer);
    drawing_free();
    elem_new_spline(0, 0, 0, 0, 0, 1, 2, 3, 2, 4, 0);
    const std::string in = save_in();
    const EditRun run = edit(in, std::string("key b_circle_splinedissolve\nclick 1 2.2 1.5\n") + c.answer);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Really dissolve the spline into single lines?\n");
    EXPECT_EQ(count_of(out_path(), ELEM_SPLINE), c.splines);
    if (c.splines == 0) {
      EXPECT_GT(count_of(out_path(), ELEM_LINE), 10);
    }
  }
}

// Walls along x at y = 0 and y = 6, 0.3 thick, and a wall between them at
// x = 5, joined by the program's Connect -All; a window from 2 to 3 in the
// first. Edit > Move with the Opening type moves the window: onto the other
// wall it goes into that wall; across the T joint it stays, and the error
// box's text is printed.
TEST_F(KavEditTest, AnOpeningMovedByTheProgramLandsInAWallOrStays) {
  struct Case {
    const char* move;
    std::vector<std::size_t> openings;  // of the walls at y = 0 and y = 6
    const char* said;
  } cases[] = {
      {"press y\nvalue 6\n", {0, 1}, ""},
      {"press x\nvalue 2.5\n",
       {1, 0},
       "The opening was not moved: where it would go, it would reach across a joint of walls, another "
       "opening or the end of the wall.\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.move);
    drawing_free();
    cut_axis_opening(new_axis_wall(0, 0, 10, 0, 0.15, "brick"), OPENING_WINDOW, 2, 3, 1, 1.2);
    new_axis_wall(0, 6, 10, 6, 0.15, "brick");
    new_axis_wall(5, 0.15, 5, 5.85, 0.1, "brick");
    const std::string in = save_in();
    const EditRun run = edit(in, std::string("key b_wall_connect_all\nkey b_edit_move\nset select_type 2\n"
                                             "click 1 2.5 0\nkey s_deffi_ok\n") +
                                     c.move);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, c.said);
    drawing_free();
    ASSERT_EQ(kavfile_load_drawing(1, out_path().c_str()), 1);
    // The openings of the walls along x, by the y of their middle.
    std::map<long, std::size_t> openings;
    for (ElemHeader* e : elements())
      if (const auto* w = elem_as<WallElem>(e))
        if (w->corner[0].x == 0) openings[std::lround(w->corner[0].y + w->corner[3].y)] = w->openings.size();
    EXPECT_EQ(openings, (std::map<long, std::size_t>{{0, c.openings[0]}, {12, c.openings[1]}}));
  }
}

// A script that cannot be run as written stops with the line and the
// reason, exit status 1, and writes no OUT.
TEST_F(KavEditTest, AScriptThatCannotGoOnNamesItsLine) {
  elem_new_line(0, 0, 0, 0, 0, 4, 0);
  elem_new_spline(0, 0, 0, 0, 0, 1, 2, 3, 2, 4, 0);
  const std::string in = save_in();
  struct Case {
    const char* script;
    const char* reason;
  } cases[] = {
      {"key b_edit_move\nwiggle 3\n", "line 2: not an event: wiggle 3"},
      {"key b_edit_move\nclick 1 two 3\n", "line 2: click takes"},
      {"# nothing asks\n\nkey b_edit_copy\nanswer 1\n", "line 4: an answer, but no question box is open"},
      {"key b_edit_copy\nset select_type 2\n",
       "line 2: the Opening button of the Select page is not enabled"},
      {"key b_edit_move\nset select_size 1\n", "line 2: no radio or toggle is bound to select_size"},
      {"key b_edit_move\nset select_type 7\n", "line 2: select_type takes 0..4"},
      {"key p_file_quit\nkey b_edit_move\n", "line 1: the program quit before the end of the script"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.script);
    std::filesystem::remove(out_path());
    const EditRun run = edit(in, c.script);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(std::string("kav-edit: ") + c.reason), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(out_path()));
  }
  const EditRun missing = edit((dir / "none.kav").string(), "key b_edit_move\n");
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("cannot load"), std::string::npos) << missing.err;
}

TEST_F(KavEditTest, HelpNamesTheVariablesItSets) {
  ProcessRequest r;
  r.argv = {KAVRO_EDIT_TOOL, "--help"};
  r.stdout_path = (dir / "help.out").string();
  ASSERT_EQ(process_start(r).exit_status, 0);
  const std::string help = read_text(dir / "help.out");
  for (const char* name : {"select_mode", "select_all_layers", "select_type", "rotate_copy", "mirror_copy"})
    EXPECT_NE(help.find(std::string("\n      ") + name + " "), std::string::npos) << name;
}

}  // namespace
