// The walk over an element's points, and the marked-point test and the
// clearing of point marks built on it, for every kind.

#include "model/elem_points.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "file_test_util.h"
#include "support/model_fixture.h"
#include "support/test_records.h"

namespace {

using ElemPointsTest = ModelTest;

// The points of e in walk order, as pointers to their mark bytes.
std::vector<uint8_t*> marks_of(ElemHeader* e, unsigned extra) {
  std::vector<uint8_t*> marks;
  auto take = [&marks](auto& p) { marks.push_back(&p.mark); };
  elem_for_each_point(e, extra, take, take);
  return marks;
}

std::size_t expected_point_count(const ElemHeader* e) {
  switch (e->kind) {
    case ELEM_DIM:
      return 2 * static_cast<const DimElem*>(e)->points.size();
    case ELEM_WALL: {
      auto* w = static_cast<const WallElem*>(e);
      return 8 + 2 + 2 * w->segments.size() + 8 * w->openings.size();
    }
    case ELEM_PATTERN:
      return 2 + static_cast<const PatternElem*>(e)->points.size();
    case ELEM_ROOM:
      return 1 + static_cast<const RoomElem*>(e)->points.size();
    default: {
      const std::map<int, std::size_t> fixed = {{ELEM_LINE, 2},   {ELEM_ARC, 1},    {ELEM_TEXT, 1},
                                                {ELEM_SPLINE, 4}, {ELEM_LINE3D, 2}, {ELEM_MESH, 4},
                                                {ELEM_CAMERA, 2}, {ELEM_LIGHT, 2}};
      return fixed.at(e->kind);
    }
  }
}

// Each point's mark alone makes an element count as having a marked point,
// except on cameras and lights and on contour ends; clearing takes every
// mark away again.
TEST_F(ElemPointsTest, EveryPointOfEveryKindIsSeenMarkedAndCleared) {
  add_one_of_each_kind();
  int kinds = 0;
  for (ElemHeader* e = elem_list_head; e; e = e->next, ++kinds) {
    const std::vector<uint8_t*> every = marks_of(e, ELEM_POINTS_EVERY);
    EXPECT_EQ(every.size(), expected_point_count(e)) << "kind " << int(e->kind);
    std::vector<Point2> contour;
    if (auto* p = elem_as<PatternElem>(e)) contour = p->points;
    for (std::size_t i = 0; i < every.size(); ++i) {
      *every[i] = 1;
      const bool contour_end =
          e->kind == ELEM_PATTERN && i >= 2 && point_is_contour_end(contour[i - 2].x, contour[i - 2].y);
      const bool stretchable = e->kind != ELEM_CAMERA && e->kind != ELEM_LIGHT && !contour_end;
      EXPECT_EQ(elem_has_marked_point(e), stretchable ? 1 : 0) << "kind " << int(e->kind) << " point " << i;
      elem_clear_point_marks(e);
      for (uint8_t* m : every) EXPECT_EQ(*m, 0) << "kind " << int(e->kind) << " point " << i;
    }
  }
  EXPECT_EQ(kinds, 12);
}

// The transforms' walk leaves out contour ends, an unused pattern offset and
// the gable points of a wall without a gable.
TEST_F(ElemPointsTest, TheTransformWalkSkipsPointsWithoutGeometry) {
  PatternElem pattern = test_pattern(PATTERN_ONE_LINE, {{0, 0, 0}, {4, 0, 0}, CONTOUR_END});
  pattern.origin = Point2{1, 2, 0};
  pattern.angle1 = 0.25;
  pattern.pen2 = 3;
  pattern.line_type2 = 4;
  pattern.offset = Point2{0.5, 0.25, 0};
  pattern.spacing2 = 0.0;
  elem_append(pattern);
  EXPECT_EQ(marks_of(elem_list_tail, 0).size(), 3u);  // origin and two contour points
  EXPECT_EQ(marks_of(elem_list_tail, ELEM_POINTS_EVERY).size(), 5u);
  double corners[24] = {};
  elem_new_wall(0, 0, 0, corners, 0, nullptr, 0, nullptr, "", 0, 0, 0, 0, 0, 0, 0);
  EXPECT_EQ(marks_of(elem_list_tail, 0).size(), 8u);
  EXPECT_EQ(marks_of(elem_list_tail, ELEM_POINTS_UNUSED_GABLE).size(), 10u);
}

}  // namespace
