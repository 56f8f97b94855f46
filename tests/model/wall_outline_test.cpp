#include "model/wall_outline.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/elem.h"
#include "support/model_fixture.h"
#include "support/recording_ui.h"
#include "support/wall_fixture.h"

namespace {

using WallOutline = ModelTest;

struct Xy {
  double x, y;
  bool operator==(const Xy&) const = default;
};

// The segments of a wall as pairs of points, for exact comparison.
std::vector<std::pair<Xy, Xy>> segments_of(const WallElem* w) {
  std::vector<std::pair<Xy, Xy>> out;
  for (const WallSegment& s : w->segments) out.push_back({{s.start.x, s.start.y}, {s.end.x, s.end.y}});
  return out;
}

// An opening box from x0 to x1 with its outer face on the face y = -0.12.
struct Box {
  Point3 c[8];
  Box(double x0, double x1, double sill = 0.5, double height = 1.0) {
    const double xs[4] = {x0, x1, x1, x0}, ys[4] = {-0.12, -0.12, 0.12, 0.12};
    for (int i = 0; i < 4; ++i) {
      c[i] = {xs[i], ys[i], sill, 0};
      c[i + 4] = {xs[i], ys[i], sill + height, 0};
    }
  }
};

WallElem* cut(WallElem* w, const Box& b, double sw = 0, double sd = 0, int kind = OPENING_DOOR) {
  return opening_cut_wall(b.c, kind, 2, 0.5, 1.0, sw, sd, 1, w);
}

const Xy C0{0, -0.12}, C1{5, -0.12}, C2{5, 0.12}, C3{0, 0.12};

TEST_F(WallOutline, CornersAndPlainOutlineFromTheAxis) {
  WallElem* w = new_axis_wall();
  const Xy expect[4] = {C0, C1, C2, C3};
  for (int i = 0; i < 4; ++i) {
    EXPECT_NEAR(w->corner[i].x, expect[i].x, 1e-15) << i;
    EXPECT_NEAR(w->corner[i].y, expect[i].y, 1e-15) << i;
    EXPECT_EQ(w->corner[i + 4].z, 2.75);
  }
  EXPECT_EQ(w->size, 423u);
  const Xy c[4] = {{w->corner[0].x, w->corner[0].y},
                   {w->corner[1].x, w->corner[1].y},
                   {w->corner[2].x, w->corner[2].y},
                   {w->corner[3].x, w->corner[3].y}};
  EXPECT_EQ(segments_of(w),
            (std::vector<std::pair<Xy, Xy>>{{c[0], c[1]}, {c[1], c[2]}, {c[2], c[3]}, {c[3], c[0]}}));

  // Along +y the right-hand face is at +x.
  wall_band_corners(0, 0, 0, 4, 0.5);
  EXPECT_NEAR(wall_corner_bank[0], 0.5, 1e-15);
  EXPECT_NEAR(wall_corner_bank[5], 4, 1e-15);
  EXPECT_NEAR(wall_corner_bank[6], -0.5, 1e-15);
}

TEST_F(WallOutline, OpeningWithoutStopGivesEightSegmentsInOrder) {
  WallElem* w = new_axis_wall();
  w->group = 7;
  const auto before = segments_of(w);
  Box b(1, 2);
  WallElem* n = cut(w, b);
  ASSERT_NE(n, w);
  EXPECT_EQ(n, elem_list_tail);
  EXPECT_EQ(segments_of(w), before);  // the old wall is left as it was
  const Xy b0{1, -0.12}, b1{2, -0.12}, b2{2, 0.12}, b3{1, 0.12};
  const Xy c0{w->corner[0].x, w->corner[0].y}, c1{w->corner[1].x, w->corner[1].y};
  const Xy c2{w->corner[2].x, w->corner[2].y}, c3{w->corner[3].x, w->corner[3].y};
  EXPECT_EQ(segments_of(n),
            (std::vector<std::pair<Xy, Xy>>{
                {c0, b0}, {b1, c1}, {c1, c2}, {c3, b3}, {b2, c2}, {b0, b3}, {b1, b2}, {c3, c0}}));
  EXPECT_EQ(n->size, 778u);
  EXPECT_EQ(n->group, 7);
  EXPECT_EQ(n->material.c_str(), std::string("brick"));
  ASSERT_EQ(n->openings.size(), 1u);
  const WallOpening& o = n->openings[0];
  EXPECT_EQ(o.kind, OPENING_DOOR);
  EXPECT_EQ(o.symbol_style, 2);
  EXPECT_EQ(o.leaf_quadrant, 1);
  EXPECT_EQ(o.reserved, 0);
  EXPECT_EQ(o.corner[6].z, 1.5);
}

TEST_F(WallOutline, OpeningWithStopGivesSteppedJambs) {
  WallElem* w = new_axis_wall();
  Box b(1, 2);
  WallElem* n = cut(w, b, 0.0625, 0.115);
  ASSERT_NE(n, w);
  EXPECT_EQ(n->segments.size(), 12u);
  EXPECT_EQ(n->size, 906u);
  auto s = segments_of(n);
  // Inner pieces end at the widened gap; the jambs step at the stop depth.
  EXPECT_NEAR(s[3].second.x, 1 - 0.0625, 1e-12);
  EXPECT_NEAR(s[4].first.x, 2 + 0.0625, 1e-12);
  EXPECT_EQ(s[5].first, (Xy{1, -0.12}));
  EXPECT_NEAR(s[5].second.y, -0.12 + 0.115, 1e-12);
  EXPECT_NEAR(s[6].second.x, 1 - 0.0625, 1e-12);
  EXPECT_EQ(s[7].second, s[3].second);
  EXPECT_EQ(s[10].second, s[4].first);

  // A stop width of 0 with a depth still steps, one step of zero length.
  WallElem* z = cut(w, b, 0, 0.1);
  EXPECT_EQ(z->segments.size(), 12u);
  EXPECT_EQ(z->segments[6].start.x, z->segments[6].end.x);
}

TEST_F(WallOutline, OpeningsThatDoNotFitAreRefused) {
  WallElem* w = new_axis_wall();
  WallElem* n = cut(w, Box(1, 2));
  const auto before = segments_of(n);
  struct Case {
    const char* what;
    double x0, x1;
  } cases[] = {{"overlaps the first opening", 1.5, 2.5},
               {"covers the first opening", 0.5, 2.5},
               {"reaches past the wall's end", 4.5, 5.5}};
  for (const Case& c : cases) {
    EXPECT_EQ(cut(n, Box(c.x0, c.x1)), n) << c.what;
    EXPECT_EQ(elem_list_tail, n) << c.what;
    EXPECT_EQ(segments_of(n), before) << c.what;
    EXPECT_EQ(n->openings.size(), 1u);
  }
  // Beside the first opening it fits, and starting at corner 0 leaves a
  // zero-length piece.
  WallElem* m = cut(n, Box(0, 0.5));
  ASSERT_NE(m, n);
  EXPECT_EQ(m->segments[0].start.x, m->segments[0].end.x);
  EXPECT_EQ(m->openings.size(), 2u);
  EXPECT_EQ(m->segments.size(), 12u);
}

TEST_F(WallOutline, RebuildCutsTheOpeningsAgainAndDropsRemovedOnes) {
  RecordingUi rec;
  WallElem* plain = new_axis_wall();
  WallElem* w = cut(plain, Box(1, 2));
  w = cut(w, Box(3, 4), 0.05, 0.1, OPENING_WINDOW);
  // The reference: the same two openings cut one by one into a new wall.
  WallElem* ref = cut(cut(new_axis_wall(), Box(1, 2)), Box(3, 4), 0.05, 0.1, OPENING_WINDOW);
  const auto expect = segments_of(ref);

  // A connection changed the outline; the rebuild restores it.
  w->segments.pop_back();
  elem_update_size(*w);
  w->group = 4;
  elem_new_line(0, 0, 0, 0, 0, 1, 1);
  elem_list_tail->mark = 1;  // belongs to someone else: must survive
  ElemHeader* other = elem_list_tail;
  const int count = elem_count();
  rec.calls.clear();
  WallElem* n = wall_rebuild_outline(w);
  EXPECT_EQ(n, elem_list_tail);
  EXPECT_EQ(elem_count(), count);
  EXPECT_EQ(other->mark, 1);
  EXPECT_EQ(segments_of(n), expect);
  EXPECT_EQ(n->openings.size(), 2u);
  EXPECT_EQ(n->group, 4);
  EXPECT_EQ(rec.calls, (std::vector<std::string>{"cursor_toggle", "draw_element 2 kind 5",
                                                 "draw_last_element 0", "cursor_toggle"}));

  // A removed opening disappears; the other is cut into the plain outline.
  n->openings[0].kind = OPENING_REMOVED;
  WallElem* r = wall_rebuild_outline(n);
  ASSERT_EQ(r->openings.size(), 1u);
  EXPECT_EQ(r->openings[0].kind, OPENING_WINDOW);
  EXPECT_EQ(r->segments.size(), 12u);
  r->openings[0].kind = OPENING_REMOVED;
  WallElem* bare = wall_rebuild_outline(r);
  EXPECT_EQ(segments_of(bare), segments_of(plain));
  EXPECT_EQ(bare->size, 423u);
}

}  // namespace
