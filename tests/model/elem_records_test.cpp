#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "support/model_fixture.h"
#include "support/test_records.h"

namespace {

using ElemRecords = ModelTest;

// The record size of each kind is its file chunk's size; a new element is
// unmarked, ungrouped and in no undo step.
TEST_F(ElemRecords, RecordSizesAreTheFileChunkSizes) {
  static double corners[24] = {};
  static WallSegment segs[4];
  static WallOpening op[1];
  static DimPoint dp[3];
  static Point2 pts[5] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}, CONTOUR_END};
  static int32_t face_sizes[2] = {3, 4};
  static Point3 verts[5] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 0, 1}};
  static int32_t idx[7] = {0, 1, 2, 0, 1, 3, 4};
  struct Case {
    const char* what;
    void (*make)();
    int kind;
    uint32_t size;
  };
  const Case cases[] = {
      {"line", [] { elem_new_line(1, 2, 3, 0, 0, 1, 2); }, ELEM_LINE, 38},
      {"arc", [] { elem_new_arc(0, 0, 0, 1, 2, 3, 3, 6.28, 0.5, 0.25); }, ELEM_ARC, 62},
      {"text of 3 bytes",
       [] { elem_new_text(0, 0, 0, 1, 2, 0.3, 2.5, 1.0, 0.1, 1.5, "abc", 4.0, "Simpel", TEXT_CENTRED); },
       ELEM_TEXT, 92 + 3 + 1},
      {"empty text", [] { elem_new_text(0, 0, 0, 0, 0, 0, 2.5, 1, 0, 1, "", 0, "Simpel", TEXT_LEFT); },
       ELEM_TEXT, 92 + 1},
      {"dimension of 3 points",
       [] {
         elem_new_dim(0, 0, 0, 1, 0, 0.5, 2.5, 1, 0.1, 1.5, 1, "Simpel", 3, DIM_MARK_ARROW, DIM_CHAIN, 3, dp);
       },
       ELEM_DIM, 84 + 3 * 80},
      {"wall of 4 segments and 1 opening",
       [] { elem_new_wall(0, 0, 0, corners, 4, segs, 1, op, "Brick", 1, 1, 2, 3, 4, 5, 6); }, ELEM_WALL,
       295 + 4 * 32 + 227},
      {"bare wall", [] { elem_new_wall(0, 0, 0, corners, 0, nullptr, 0, nullptr, "", 0, 0, 0, 0, 0, 0, 0); },
       ELEM_WALL, 295},
      {"pattern of 5 points",
       [] { elem_new_pattern(0, 0, 0, 0, 0, 0, 0.5, 0, 0, 0, 0, 0, 0, 5, pts, 1, 0, 0, PATTERN_FILLING); },
       ELEM_PATTERN, 101 + 5 * 16},
      {"spline", [] { elem_new_spline(0, 0, 0, 0, 0, 1, 1, 2, 1, 3, 0); }, ELEM_SPLINE, 70},
      {"3D line", [] { elem_new_line3d(0, 0, 0, 0, 0, 0, 1, 1, 1); }, ELEM_LINE3D, 54},
      {"mesh of 5 vertices, 2 faces, 7 indices",
       [] { elem_new_mesh(0, 0, 0, 5, 2, face_sizes, verts, idx, "Glas", 1); }, ELEM_MESH,
       55 + 4 * 2 + 24 * 5 + 4 * 7},
      {"mesh of vertices only", [] { elem_new_mesh(0, 0, 0, 5, 0, nullptr, verts, nullptr, "", 0); },
       ELEM_MESH, 55 + 24 * 5},
      {"camera", [] { elem_new_camera(0, 0, 0, 0, -10, 2, 0, 0, 1, 45, 1.9); }, ELEM_CAMERA, 66},
      {"room of 5 points",
       [] {
         elem_new_room(0, 0, 0, 2, 2, "Simpel", 0, 2.5, 1, 0.1, 1.5, "Kitchen", "1.04", 1, 0, 2.75, 1, 1, 0,
                       1, 5, pts);
       },
       ELEM_ROOM, 283 + 5 * 16},
      {"light", [] { elem_new_light(0, 0, 0, LIGHT_SPOT, 1, 6, 20, 0.5, 1, 2, 3, 4, 5, 6, 0.1, 0.2, 0.3); },
       ELEM_LIGHT, 104},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ElemHeader* before = elem_list_tail;
    c.make();
    ElemHeader* e = elem_list_tail;
    ASSERT_NE(e, before);
    EXPECT_EQ(int(e->kind), c.kind);
    EXPECT_EQ(e->size, c.size);
    EXPECT_EQ(e->size, elem_compute_size(*e));
    EXPECT_EQ(e->mark, 0);
    EXPECT_EQ(e->undo_mask, 0u);
    EXPECT_EQ(e->group, 0);
  }
}

// Point marks in the caller's arrays come back cleared; dimension points are
// copied as they are.
TEST_F(ElemRecords, ConstructorsClearTheCallersPointMarks) {
  double corners[24] = {};
  WallSegment segs[4];
  segs[2].end.mark = 1;
  WallOpening op[1];
  op[0].corner[5].mark = 1;
  elem_new_wall(0, 0, 0, corners, 4, segs, 1, op, "Brick", 1, 1, 2, 3, 4, 5, 6);
  EXPECT_EQ(segs[2].end.mark, 0);
  EXPECT_EQ(op[0].corner[5].mark, 0);

  Point2 pts[5] = {{0, 0, 1}, {1, 0, 1}, {1, 1}, {0, 1}, CONTOUR_END};
  elem_new_pattern(0, 0, 0, 0, 0, 0, 0.5, 0, 0, 0, 0, 0, 0, 5, pts, 1, 0, 0, PATTERN_FILLING);
  EXPECT_EQ(pts[0].mark, 0);

  int32_t face_sizes[1] = {3};
  Point3 verts[3] = {{0, 0, 0, 1}, {1, 0, 0}, {1, 1, 0}};
  int32_t idx[3] = {0, 1, 2};
  elem_new_mesh(0, 0, 0, 3, 1, face_sizes, verts, idx, "Glas", 1);
  EXPECT_EQ(verts[0].mark, 0);

  DimPoint dp[3];
  dp[1].measured.mark = 1;
  elem_new_dim(0, 0, 0, 1, 0, 0.5, 2.5, 1, 0.1, 1.5, 1, "Simpel", 3, DIM_MARK_ARROW, DIM_CHAIN, 3, dp);
  EXPECT_EQ(elem_as<DimElem>(elem_list_tail)->points[1].measured.mark, 1);
}

TEST_F(ElemRecords, FixedTextFieldsAreCutAndTerminated) {
  const std::string long_font(50, 'F');
  const std::string long_text(300, 'x');
  elem_new_text(0, 0, 0, 0, 0, 0, 2.5, 1, 0, 1, "a", 0, long_font, 0);
  auto* t = elem_as<TextElem>(elem_list_tail);
  EXPECT_EQ(t->font.view(), std::string(20, 'F'));
  EXPECT_EQ(t->font.bytes()[20], '\0');

  Point2 p[1] = {CONTOUR_END};
  elem_new_room(0, 0, 0, 0, 0, long_font, 0, 2.5, 1, 0, 1, long_text, long_text, 1, 0, 1, 1, 1, 1, 1, 1, p);
  auto* r = elem_as<RoomElem>(elem_list_tail);
  EXPECT_EQ(r->description.view().size(), 127u);
  EXPECT_EQ(r->number.view().size(), 39u);
  EXPECT_EQ(r->font.view().size(), 20u);

  elem_new_mesh(0, 0, 0, 0, 0, nullptr, nullptr, nullptr, long_text, 0);
  EXPECT_EQ(elem_as<MeshElem>(elem_list_tail)->material.view().size(), 39u);

  // Shorter texts clear the rest of the field, so stored files stay the same.
  FixedText<8> f("abcdefgh");
  f = "ab";
  EXPECT_EQ(std::memcmp(f.data(), "ab\0\0\0\0\0\0", 8), 0);
  // A text stops at an embedded NUL, as a C string would.
  elem_new_text(0, 0, 0, 0, 0, 0, 2.5, 1, 0, 1, std::string_view("ab\0cd", 5), 0, "Simpel", 0);
  EXPECT_EQ(elem_as<TextElem>(elem_list_tail)->text, "ab");
  EXPECT_EQ(elem_list_tail->size, 95u);
}

TEST_F(ElemRecords, MarkedPointPerKind) {
  elem_new_line(0, 0, 0, 0, 0, 1, 1);
  ElemHeader* line = elem_list_tail;
  EXPECT_EQ(elem_has_marked_point(line), 0);
  elem_as<LineElem>(line)->p2.mark = 1;
  EXPECT_EQ(elem_has_marked_point(line), 1);

  LightElem light;
  light.shadow = 1;
  light.light_size = 6;
  light.angle = 20;
  light.shadow_intensity = 1;
  light.position = Point3{0, 0, 3, 0};
  elem_append(light);
  elem_as<LightElem>(elem_list_tail)->position.mark = 1;
  EXPECT_EQ(elem_has_marked_point(elem_list_tail), 0);

  elem_new_camera(0, 0, 0, 0, 0, 0, 1, 1, 1, 45, 0);
  elem_as<CameraElem>(elem_list_tail)->eye.mark = 1;
  EXPECT_EQ(elem_has_marked_point(elem_list_tail), 0);

  DimElem empty_dim = test_dim({});
  empty_dim.chain_space = 1.5;
  elem_append(empty_dim);
  EXPECT_EQ(elem_has_marked_point(elem_list_tail), 0);

  // Wall gable points count only while the gable flag is set.
  double corners[24] = {};
  elem_new_wall(0, 0, 0, corners, 0, nullptr, 0, nullptr, "", 0, 0, 0, 0, 0, 0, 0);
  auto* w = elem_as<WallElem>(elem_list_tail);
  w->gable_a.mark = 1;
  EXPECT_EQ(elem_has_marked_point(w), 0);
  w->gable = 1;
  EXPECT_EQ(elem_has_marked_point(w), 1);

  // A contour end never counts, whatever its mark byte holds.
  RoomElem room = test_room(0, 0, {{0, 0}, CONTOUR_END});
  room.spacing = 0;
  room.line_spacing = 1;
  room.top_z = 1;
  room.show_area = room.show_volume = room.show_description = room.show_number = 1;
  elem_append(room);
  auto* r = elem_as<RoomElem>(elem_list_tail);
  r->points[1].mark = 1;
  EXPECT_EQ(elem_has_marked_point(r), 0);
  r->label.mark = 1;
  EXPECT_EQ(elem_has_marked_point(r), 1);
  elem_clear_point_marks(r);
  EXPECT_EQ(elem_has_marked_point(r), 0);
  EXPECT_EQ(r->points[1].mark, 0);
  elem_clear_point_marks(w);
  EXPECT_EQ(elem_has_marked_point(w), 0);
}

}  // namespace
