// Openings turned, mirrored and copied with their wall keep their sides: the
// outer face (box corners 0 and 1) stays on the face of the wall it was on,
// the rebate with it; a mirror moves only a door's hinge to the other end.
// The boxes expected are the old ones mapped by hand.

#include <string>
#include <vector>

#include "display/command_buffer.h"
#include "model/settings.h"
#include "support/wall_fixture.h"
#include "tools/edit_tools.h"
#include "wall_tool_fixture.h"

namespace {

struct Xy {
  double x, y;
};
using Box = std::vector<Xy>;  // plan corners 0..3

class OpeningMirrorTest : public WallToolTest {
 protected:
  // A wall along x from 0 to 10, 0.3 thick (y -0.15 to 0.15), with a door
  // from x 2 to 3 on its face y = -0.15 (a stop 0.05 wide, 0.1 deep, the
  // hinge at the x = 3 end on the outer side: quadrant 3) and a window from
  // 7.5 to 6.5 on its face y = 0.15.
  void SetUp() override {
    WallToolTest::SetUp();
    WallElem* w = with_opening(axis_wall(0, 0, 10, 0, 0.3), 2, 3, 0.05, 0.1);
    w->openings[0].kind = OPENING_DOOR;
    w->openings[0].symbol_style = 1;
    w->openings[0].leaf_quadrant = 3;
    const Xy window[4] = {{7.5, 0.15}, {6.5, 0.15}, {6.5, -0.15}, {7.5, -0.15}};
    Point3 box[8];
    for (int i = 0; i < 4; ++i) {
      box[i] = {window[i].x, window[i].y, 1, 0};
      box[i + 4] = {window[i].x, window[i].y, 2.2, 0};
    }
    WallElem* cut = opening_cut_wall(box, OPENING_WINDOW, 1, 1, 1.2, 0, 0, 0, w);
    ASSERT_NE(cut, w);
    w->mark = 1;
    elem_purge_marked();
    outline_before_ = cut->segments;
    undo_record(UNDO_CLEAR, 0);
    redraw();
  }

  static void expect_box(const WallOpening& o, const Box& b) {
    for (int k = 0; k < 8; ++k) {
      EXPECT_NEAR(o.corner[k].x, b[k % 4].x, 1e-9) << "corner " << k;
      EXPECT_NEAR(o.corner[k].y, b[k % 4].y, 1e-9) << "corner " << k;
    }
    // The sill and the head stay at their heights.
    EXPECT_DOUBLE_EQ(o.corner[0].z, o.corner[1].z);
    EXPECT_GT(o.corner[4].z, o.corner[0].z);
  }

  std::vector<WallSegment> outline_before_;
};

// Each edit as a plan map of points, and the boxes and door quadrant that
// the edited wall must hold.
struct Case {
  const char* name;
  void (*tool)();
  std::vector<const char*> script;  // after the selection
  Xy (*map)(Xy);
  Box door, window;
  int quadrant;
  bool copy;
};

TEST_F(OpeningMirrorTest, OpeningsKeepTheirSidesUnderMirrorsTurnsAndCopies) {
  const Case cases[] = {
      {"mirrored about x = 6",
       tool_edit_mirror,
       {"abs 6;0", "abs 6;9", "enter"},
       [](Xy p) {
         return Xy{12 - p.x, p.y};
       },
       {{9, -0.15}, {10, -0.15}, {10, 0.15}, {9, 0.15}},
       {{5.5, 0.15}, {4.5, 0.15}, {4.5, -0.15}, {5.5, -0.15}},
       2,
       false},
      {"mirrored about its own axis",
       tool_edit_mirror,
       {"abs 0;0", "abs 1;0", "enter"},
       [](Xy p) {
         return Xy{p.x, -p.y};
       },
       {{3, 0.15}, {2, 0.15}, {2, -0.15}, {3, -0.15}},
       {{6.5, -0.15}, {7.5, -0.15}, {7.5, 0.15}, {6.5, 0.15}},
       2,
       false},
      {"mirrored about the diagonal y = x",
       tool_edit_mirror,
       {"abs 0;0", "abs 1;1", "enter"},
       [](Xy p) {
         return Xy{p.y, p.x};
       },
       {{-0.15, 3}, {-0.15, 2}, {0.15, 2}, {0.15, 3}},
       {{0.15, 6.5}, {0.15, 7.5}, {-0.15, 7.5}, {-0.15, 6.5}},
       2,
       false},
      {"copied by a mirror about x = 6",
       tool_edit_mirror,
       {"copy", "abs 6;0", "abs 6;9", "enter"},
       [](Xy p) {
         return Xy{12 - p.x, p.y};
       },
       {{9, -0.15}, {10, -0.15}, {10, 0.15}, {9, 0.15}},
       {{5.5, 0.15}, {4.5, 0.15}, {4.5, -0.15}, {5.5, -0.15}},
       2,
       true},
      {"turned a quarter about the origin",
       tool_edit_rotate,
       {"abs 0;0", "enter", "value 90", "nop"},
       [](Xy p) {
         return Xy{-p.y, p.x};
       },
       {{0.15, 2}, {0.15, 3}, {-0.15, 3}, {-0.15, 2}},
       {{-0.15, 7.5}, {-0.15, 6.5}, {0.15, 6.5}, {0.15, 7.5}},
       3,
       false},
      {"copied by a polar series of two about the origin",
       tool_edit_pseries,
       {"value 2", "abs 0;0", "enter", "value 180", "value 0"},
       [](Xy p) {
         return Xy{-p.y, p.x};
       },
       {{0.15, 2}, {0.15, 3}, {-0.15, 3}, {-0.15, 2}},
       {{-0.15, 7.5}, {-0.15, 6.5}, {0.15, 6.5}, {0.15, 7.5}},
       3,
       true},
  };
  const auto before = drawing_state();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    pending_command = "nop";
    mirror_copy = 0;
    script.key("s_deffi_all").key("s_deffi_ok");
    for (const char* text : c.script) {
      const std::string step = text;
      if (step == "copy") {
        mirror_copy = 1;
      } else if (step.rfind("abs ", 0) == 0) {
        script.key("z_abs").value(step.substr(4).c_str());
      } else if (step.rfind("value ", 0) == 0) {
        script.value(step.substr(6).c_str());
      } else if (step == "enter") {
        script.key("z_enter");
      } else {
        script.key("p_nop");
      }
    }
    run_tool(c.tool);
    mirror_copy = 0;
    ASSERT_EQ(walls().size(), c.copy ? 2u : 1u);
    WallElem* w = walls().back();
    ASSERT_EQ(w->openings.size(), 2u);
    expect_box(w->openings[0], c.door);
    expect_box(w->openings[1], c.window);
    EXPECT_EQ(w->openings[0].leaf_quadrant, c.quadrant);
    EXPECT_EQ(w->openings[0].kind, OPENING_DOOR);
    EXPECT_DOUBLE_EQ(w->openings[0].stop_width, 0.05);
    EXPECT_DOUBLE_EQ(w->openings[0].stop_depth, 0.1);
    // The outline is the old one mapped; cutting the openings in anew where
    // their boxes now say gives the same gaps, stop steps included.
    std::vector<WallSegment> mapped;
    for (const WallSegment& g : outline_before_) {
      const Xy a = c.map({g.start.x, g.start.y}), b = c.map({g.end.x, g.end.y});
      mapped.push_back({{a.x, a.y, 0}, {b.x, b.y, 0}});
    }
    EXPECT_EQ(wall_outline_of(w->segments), wall_outline_of(mapped));
    WallElem* recut = wall_recut_openings(w, {true, true});
    ASSERT_NE(recut, w) << "the gaps are not where the boxes say";
    EXPECT_EQ(recut->openings.size(), 2u);
    EXPECT_EQ(wall_outline_of(recut->segments), wall_outline_of(mapped));
    recut->mark = 1;
    elem_purge_marked();
    undo_step_back();
    EXPECT_EQ(drawing_state(), before);
    undo_record(UNDO_CLEAR, 0);
  }
}

}  // namespace
