#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "support/model_fixture.h"

namespace {

using ElemRecords = ModelTest;

TEST_F(ElemRecords, EveryConstructorFillsItsRecordAndSize) {
  // One element of each kind, with the record size a file chunk gives it.
  elem_new_line(1, 2, 3, 0, 0, 1, 2);
  EXPECT_EQ(elem_list_tail->kind, ELEM_LINE);
  EXPECT_EQ(elem_list_tail->size, 38u);

  elem_new_arc(0, 0, 0, 1, 2, 3, 3, 6.28, 0.5, 0.25);
  auto* a = elem_as<ArcElem>(elem_list_tail);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->size, 62u);
  EXPECT_DOUBLE_EQ(a->centre.y, 2);
  EXPECT_DOUBLE_EQ(a->start, 0.5);
  EXPECT_DOUBLE_EQ(a->rotation, 0.25);

  elem_new_text(0, 0, 0, 1, 2, 0.3, 2.5, 1.0, 0.1, 1.5, "abc", 4.0, "Simpel", TEXT_CENTRED);
  auto* t = elem_as<TextElem>(elem_list_tail);
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->size, 96u);
  EXPECT_EQ(t->text, "abc");
  EXPECT_EQ(t->font, "Simpel");
  EXPECT_EQ(t->alignment, TEXT_CENTRED);
  EXPECT_DOUBLE_EQ(t->fit_length, 4.0);
  EXPECT_DOUBLE_EQ(t->line_spacing, 1.5);

  elem_new_text(0, 0, 0, 0, 0, 0, 2.5, 1, 0, 1, "", 0, "Simpel", TEXT_LEFT);
  EXPECT_EQ(elem_list_tail->size, 92u + 1u);

  DimPoint dp[3];
  dp[1].measured.mark = 1;  // dimension points are copied unchanged
  elem_new_dim(0, 0, 0, 1, 0, 0.5, 2.5, 1, 0.1, 1.5, 1, "Simpel", 3, DIM_MARK_ARROW, DIM_CHAIN, 3, dp);
  auto* d = elem_as<DimElem>(elem_list_tail);
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->size, 84u + 3 * 80u);
  EXPECT_EQ(d->points[1].measured.mark, 1);
  EXPECT_EQ(d->figure_pen, 1);
  EXPECT_EQ(d->format, 3);
  EXPECT_EQ(d->end_mark, DIM_MARK_ARROW);

  double corners[24] = {};
  for (int i = 0; i < 24; ++i) corners[i] = i;
  WallSegment segs[4];
  segs[2].end.mark = 1;
  WallOpening op[1];
  op[0].corner[5].mark = 1;
  op[0].kind = OPENING_WINDOW;
  elem_new_wall(0, 0, 0, corners, 4, segs, 1, op, "Brick", 1, 1, 2, 3, 4, 5, 6);
  auto* w = elem_as<WallElem>(elem_list_tail);
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->size, 295u + 4 * 32u + 227u);
  EXPECT_DOUBLE_EQ(w->corner[7].z, 23);
  EXPECT_DOUBLE_EQ(w->gable_b.z, 6);
  EXPECT_EQ(w->material, "Brick");
  EXPECT_EQ(segs[2].end.mark, 0);  // the caller's arrays come back cleared
  EXPECT_EQ(op[0].corner[5].mark, 0);
  EXPECT_EQ(w->openings[0].kind, OPENING_WINDOW);

  elem_new_wall(0, 0, 0, corners, 0, nullptr, 0, nullptr, "", 0, 0, 0, 0, 0, 0, 0);
  EXPECT_EQ(elem_list_tail->size, 295u);

  Point2 pts[5] = {{0, 0, 1}, {1, 0, 1}, {1, 1}, {0, 1}, CONTOUR_END};
  elem_new_pattern(0, 0, 0, 0, 0, 0, 0.5, 0, 0, 0, 0, 0, 0, 5, pts, 1, 0, 0, PATTERN_FILLING);
  EXPECT_EQ(elem_list_tail->size, 101u + 5 * 16u);
  EXPECT_EQ(pts[0].mark, 0);
  EXPECT_EQ(elem_as<PatternElem>(elem_list_tail)->type, PATTERN_FILLING);

  elem_new_spline(0, 0, 0, 0, 0, 1, 1, 2, 1, 3, 0);
  EXPECT_EQ(elem_list_tail->size, 70u);
  EXPECT_DOUBLE_EQ(elem_as<SplineElem>(elem_list_tail)->p2.x, 2);

  elem_new_line3d(0, 0, 0, 0, 0, 0, 1, 1, 1);
  EXPECT_EQ(elem_list_tail->size, 54u);

  int32_t face_sizes[2] = {3, 4};
  Point3 verts[5] = {{0, 0, 0, 1}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 0, 1}};
  int32_t idx[7] = {0, 1, 2, 0, 1, 3, 4};
  elem_new_mesh(0, 0, 0, 5, 2, face_sizes, verts, idx, "Glas", 1);
  auto* m = elem_as<MeshElem>(elem_list_tail);
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->size, 55u + 4 * 2 + 24 * 5 + 4 * 7);
  EXPECT_EQ(m->indices.size(), 7u);
  EXPECT_EQ(verts[0].mark, 0);

  elem_new_mesh(0, 0, 0, 5, 0, nullptr, verts, nullptr, "", 0);  // vertices, no faces
  EXPECT_EQ(elem_list_tail->size, 55u + 24 * 5);

  elem_new_camera(0, 0, 0, 0, -10, 2, 0, 0, 1, 45, 1.9);
  EXPECT_EQ(elem_list_tail->size, 66u);
  EXPECT_EQ(elem_as<CameraElem>(elem_list_tail)->active, 1);

  Point2 room[5] = {{0, 0}, {4, 0}, {4, 5}, {0, 5}, CONTOUR_END};
  elem_new_room(0, 0, 0, 2, 2, "Simpel", 0, 2.5, 1, 0.1, 1.5, "Kitchen", "1.04", 1, 0, 2.75, 1, 1, 0, 1, 5,
                room);
  auto* r = elem_as<RoomElem>(elem_list_tail);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->size, 283u + 5 * 16u);
  EXPECT_EQ(r->description, "Kitchen");
  EXPECT_EQ(r->number, "1.04");
  EXPECT_EQ(r->show_description, 0);
  EXPECT_DOUBLE_EQ(r->top_z, 2.75);

  elem_new_light(0, 0, 0, LIGHT_SPOT, 1, 6, 20, 0.5, 1, 2, 3, 4, 5, 6, 0.1, 0.2, 0.3);
  auto* l = elem_as<LightElem>(elem_list_tail);
  ASSERT_NE(l, nullptr);
  EXPECT_EQ(l->size, 104u);
  EXPECT_EQ(l->type, LIGHT_SPOT);
  EXPECT_DOUBLE_EQ(l->target.x, 4);
  EXPECT_DOUBLE_EQ(l->b, 0.3);
  EXPECT_DOUBLE_EQ(l->shadow_intensity, 0.5);

  for (ElemHeader* e : elements()) {
    EXPECT_EQ(e->mark, 0);
    EXPECT_EQ(e->undo_mask, 0u);
    EXPECT_EQ(e->group, 0);
    EXPECT_EQ(e->size, elem_compute_size(*e));
  }
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

  elem_new_light(0, 0, 0, 0, 1, 6, 20, 1, 0, 0, 3, 0, 0, 0, 1, 1, 1);
  elem_as<LightElem>(elem_list_tail)->position.mark = 1;
  EXPECT_EQ(elem_has_marked_point(elem_list_tail), 0);

  elem_new_camera(0, 0, 0, 0, 0, 0, 1, 1, 1, 45, 0);
  elem_as<CameraElem>(elem_list_tail)->eye.mark = 1;
  EXPECT_EQ(elem_has_marked_point(elem_list_tail), 0);

  elem_new_dim(0, 0, 0, 0, 0, 0, 2.5, 1, 0.1, 1.5, 1, "Simpel", 0, 0, DIM_CHAIN, 0, nullptr);
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
  Point2 pts[2] = {{0, 0}, CONTOUR_END};
  elem_new_room(0, 0, 0, 0, 0, "Simpel", 0, 2.5, 1, 0, 1, "", "", 1, 0, 1, 1, 1, 1, 1, 2, pts);
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
