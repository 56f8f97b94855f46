#include "model/xform.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/elem.h"
#include "model/layers.h"
#include "model/settings.h"
#include "model/undo.h"
#include "model/wall_outline.h"
#include "support/model_fixture.h"
#include "support/recording_ui.h"
#include "support/test_records.h"
#include "support/wall_fixture.h"

namespace {

constexpr double PI = 3.141592653589793;
constexpr double TWO_PI = 6.283185307179586;

using Xform = ModelTest;

// Every number of an element, with the role it plays in a transform.
enum Role { X, Y, Z, ZS, ANGLE, OTHER };
struct Num {
  double v;
  Role role;
};

void put(std::vector<Num>& out, const Point2& p) {
  out.push_back({p.x, X});
  out.push_back({p.y, Y});
}
void put(std::vector<Num>& out, const Point3& p) {
  out.push_back({p.x, X});
  out.push_back({p.y, Y});
  out.push_back({p.z, Z});
}
void put_contours(std::vector<Num>& out, const std::vector<Point2>& pts) {
  for (const Point2& p : pts) {
    if (point_is_contour_end(p.x, p.y)) {
      out.push_back({p.x, OTHER});
      out.push_back({p.y, OTHER});
    } else {
      put(out, p);
    }
  }
}

std::vector<Num> numbers(const ElemHeader* e) {
  std::vector<Num> out;
  switch (e->kind) {
    case ELEM_LINE: {
      auto* l = elem_as<LineElem>(e);
      put(out, l->p1);
      put(out, l->p2);
      break;
    }
    case ELEM_ARC: {
      auto* a = elem_as<ArcElem>(e);
      put(out, a->centre);
      out.insert(out.end(), {{a->radius_x, OTHER},
                             {a->radius_y, OTHER},
                             {a->sweep, OTHER},
                             {a->start, ANGLE},
                             {a->rotation, ANGLE}});
      break;
    }
    case ELEM_TEXT: {
      auto* t = elem_as<TextElem>(e);
      put(out, t->pos);
      out.insert(
          out.end(),
          {{t->angle, ANGLE}, {t->height, OTHER}, {t->fit_length, OTHER}, {double(t->alignment), OTHER}});
      break;
    }
    case ELEM_DIM: {
      auto* d = elem_as<DimElem>(e);
      out.push_back({d->direction, ANGLE});
      for (const DimPoint& p : d->points) {
        put(out, p.line_point);
        put(out, p.measured);
        out.insert(out.end(), {{p.segment_length, OTHER},
                               {p.override_value, OTHER},
                               {p.second_value, OTHER},
                               {p.sixth_value, OTHER},
                               {p.text_dx, OTHER},
                               {p.text_dy, OTHER}});
      }
      break;
    }
    case ELEM_WALL: {
      auto* w = elem_as<WallElem>(e);
      for (const Point3& c : w->corner) put(out, c);
      if (w->gable == 1) {
        put(out, w->gable_a);
        put(out, w->gable_b);
      }
      for (const WallSegment& s : w->segments) {
        put(out, s.start);
        put(out, s.end);
      }
      for (const WallOpening& o : w->openings) {
        for (const Point3& c : o.corner) put(out, c);
        out.push_back({double(o.leaf_quadrant), OTHER});
      }
      break;
    }
    case ELEM_PATTERN: {
      auto* p = elem_as<PatternElem>(e);
      put(out, p->origin);
      if (p->spacing2 != 0) put(out, p->offset);
      put_contours(out, p->points);
      out.insert(out.end(), {{p->angle1, ANGLE}, {p->angle2, ANGLE}});
      break;
    }
    case ELEM_SPLINE: {
      auto* s = elem_as<SplineElem>(e);
      for (const Point2* p : {&s->p0, &s->p1, &s->p2, &s->p3}) put(out, *p);
      break;
    }
    case ELEM_LINE3D: {
      auto* l = elem_as<Line3dElem>(e);
      put(out, l->p1);
      put(out, l->p2);
      break;
    }
    case ELEM_MESH: {
      auto* m = elem_as<MeshElem>(e);
      for (const Point3& v : m->vertices) put(out, v);
      for (int32_t i : m->indices) out.push_back({double(i), OTHER});
      break;
    }
    case ELEM_CAMERA: {
      auto* c = elem_as<CameraElem>(e);
      put(out, c->eye);
      put(out, c->target);
      break;
    }
    case ELEM_ROOM: {
      auto* r = elem_as<RoomElem>(e);
      put(out, r->label);
      put_contours(out, r->points);
      out.insert(out.end(), {{r->angle, ANGLE}, {r->base_z, ZS}, {r->top_z, ZS}});
      break;
    }
    case ELEM_LIGHT: {
      auto* l = elem_as<LightElem>(e);
      put(out, l->position);
      put(out, l->target);
      break;
    }
  }
  return out;
}

std::vector<std::vector<Num>> snapshot() {
  std::vector<std::vector<Num>> out;
  ElemHeader* it;
  for (elem_first(&it); it; elem_next(&it)) out.push_back(numbers(it));
  return out;
}

bool same_angle(double a, double b) { return std::fabs(std::remainder(a - b, TWO_PI)) < 1e-9; }

void expect_same(const std::vector<std::vector<Num>>& a, const std::vector<std::vector<Num>>& b,
                 const std::string& what) {
  ASSERT_EQ(a.size(), b.size()) << what;
  for (size_t i = 0; i < a.size(); ++i) {
    ASSERT_EQ(a[i].size(), b[i].size()) << what << " element " << i;
    for (size_t k = 0; k < a[i].size(); ++k) {
      if (a[i][k].role == ANGLE)
        EXPECT_TRUE(same_angle(a[i][k].v, b[i][k].v))
            << what << " element " << i << " value " << k << ": " << a[i][k].v << " vs " << b[i][k].v;
      else
        EXPECT_NEAR(a[i][k].v, b[i][k].v, 1e-9) << what << " element " << i << " value " << k;
    }
  }
}

DimPoint dim_point(double x, double y, double mx, double my, double seg) {
  DimPoint p;
  p.line_point = {x, y, 0};
  p.measured = {mx, my, 0};
  p.segment_length = seg;
  p.override_value = seg * 10;
  p.second_value = seg * 100;
  p.text_dx = seg + 0.5;
  return p;
}

// A dimension in pen 1 with its figures in pen 2, 3 mm high.
void new_dim(uint8_t kind, std::vector<DimPoint> pts, double direction = 0) {
  DimElem d = test_dim(std::move(pts));
  d.dim_kind = kind;
  d.direction = direction;
  d.pen = 1;
  d.figure_pen = 2;
  d.font = "standard";
  d.figure_size = 3;
  d.figure_space = 0.5;
  d.chain_space = 0.2;
  elem_append(d);
}

void new_chain(const std::vector<DimPoint>& pts, double direction = 0) { new_dim(DIM_CHAIN, pts, direction); }

// A text in the "standard" font, 3 mm high, with neither letter nor line
// spacing.
TextElem standard_text(double x, double y, std::string_view text) {
  TextElem t = test_text(x, y, text);
  t.font = "standard";
  t.height = 3;
  t.spacing = 0;
  t.line_spacing = 0;
  return t;
}

// A room of contours with an empty inscription 1 mm high.
RoomElem bare_room(double label_x, double label_y, std::vector<Point2> contours) {
  RoomElem r = test_room(label_x, label_y, std::move(contours));
  r.font = "";
  r.height = 1;
  r.spacing = 0;
  r.line_spacing = 0;
  return r;
}

WallElem* new_wall_with_door() {
  WallElem* plain = new_axis_wall();
  Point3 box[8];
  const double xs[4] = {1, 2, 2, 1}, ys[4] = {-0.12, -0.12, 0.12, 0.12};
  for (int i = 0; i < 4; ++i) {
    box[i] = {xs[i], ys[i], 0, 0};
    box[i + 4] = {xs[i], ys[i], 2, 0};
  }
  WallElem* w = opening_cut_wall(box, OPENING_DOOR, 1, 0, 2, 0, 0, 1, plain);
  elem_unlink(plain);
  elem_destroy(plain);
  return w;
}

// One element of every kind (two arcs and two dimensions), all marked.
void make_every_kind() {
  elem_new_line(0, 1, 0, 1, 2, 3, 5);
  elem_new_arc(0, 1, 0, 2, 1, 1.5, 1.5, 2.0, 0.3, 0);     // circular arc
  elem_new_arc(0, 1, 0, -1, 3, 2.0, 1.0, 4.0, 0.7, 0.4);  // elliptic arc
  TextElem left = standard_text(2, 2, "left");
  left.pen = 1;
  left.angle = 0.3;
  left.fit_length = 4;
  elem_append(left);
  TextElem justified = standard_text(1, 4, "justified");
  justified.pen = 1;
  justified.angle = 1.1;
  justified.fit_length = 2.5;
  justified.alignment = TEXT_JUSTIFIED;
  elem_append(justified);
  new_chain({dim_point(0, 1, 0, 0, 0), dim_point(2, 1, 2, 0, 2), dim_point(5, 1, 5, 0, 3)});
  new_dim(DIM_DIAMETER, {dim_point(0, 0, 0, 0, 0), dim_point(1, 0, 1, 0, 0), dim_point(-1, 0, -1, 0, 0)},
          0.5);
  WallElem* w = new_wall_with_door();
  w->gable = 1;
  w->gable_a = {2.5, -0.12, 4, 0};
  w->gable_b = {2.5, 0.12, 4, 0};
  PatternElem pattern = test_pattern(PATTERN_TWO_LINES, {{0, 0}, {2, 0}, {2, 1}, {0, 1}, CONTOUR_END});
  pattern.pen = 1;
  pattern.origin = Point2{0.5, 0.5, 0};
  pattern.angle1 = 0.3;
  pattern.spacing1 = 0.1;
  pattern.pen2 = 1;
  pattern.offset = Point2{0.2, 0.1, 0};
  pattern.angle2 = 1.2;
  pattern.spacing2 = 0.3;
  elem_append(pattern);
  elem_new_spline(0, 1, 0, 0, 0, 1, 2, 3, 2, 4, 0);
  elem_new_line3d(0, 1, 0, 1, 1, 0, 2, 3, 4);
  Point3 verts[4] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 1}, {0, 1, 1}};
  int32_t faces[2] = {3, 3};
  int32_t idx[6] = {0, 1, 2, 0, 2, 3};
  elem_new_mesh(0, 1, 0, 4, 2, faces, verts, idx, "glass", 0);
  elem_new_camera(0, 1, 0, 0, -10, 1.6, 0, 0, 1.6, 60, 0);
  RoomElem room = test_room(4, 4, {{3, 3}, {6, 3}, {6, 5}, {3, 5}, CONTOUR_END});
  room.pen = 1;
  room.font = "standard";
  room.angle = 0.2;
  room.height = 3;
  room.spacing = 0;
  room.line_spacing = 0;
  room.description = "Kitchen";
  room.number = "1";
  room.show_area = room.show_volume = room.show_description = room.show_number = 1;
  elem_append(room);
  LightElem light;
  light.pen = 1;
  light.type = LIGHT_SPOT;
  light.shadow = 1;
  light.angle = 30;
  light.shadow_intensity = 0.5;
  light.position = Point3{1, 2, 3, 0};
  light.target = Point3{1, 2, 0, 0};
  elem_append(light);
  for (ElemHeader* e = elem_list_head; e; e = e->next) e->mark = 1;
}

TEST_F(Xform, PlanRotateAndMirrorRoundTripsForEveryKind) {
  make_every_kind();
  const auto original = snapshot();
  xform_rotate_marked(1, 2, 0.7);
  xform_rotate_marked(1, 2, -0.7);
  expect_same(snapshot(), original, "rotate");
  xform_rotate_marked(-3, 1, PI / 2);
  xform_rotate_marked(-3, 1, 3 * PI / 2);
  expect_same(snapshot(), original, "quarter turns");
  xform_mirror_marked(1, 2, 4, 3);
  xform_mirror_marked(1, 2, 4, 3);
  expect_same(snapshot(), original, "mirror");
  xform_mirror_marked(0, 5, 0, -5);
  xform_mirror_marked(0, -5, 0, 5);
  expect_same(snapshot(), original, "mirror about one axis drawn both ways");
}

TEST_F(Xform, AxisRotateAndPlaneMirrorRoundTripsForEveryKind) {
  make_every_kind();
  const auto original = snapshot();
  view_type = 1;
  xform_axis.a = {1, 2, 0, 0};
  xform_axis.b = {2, 3, 5, 0};
  xform_axis.c = {0, 4, 1, 0};
  xform_rotate_marked(0, 0, 0.9);
  xform_rotate_marked(0, 0, -0.9);
  expect_same(snapshot(), original, "rotate about an axis");
  xform_mirror_marked(0, 0, 0, 0);
  xform_mirror_marked(0, 0, 0, 0);
  expect_same(snapshot(), original, "mirror about a plane");
  view_type = 0;
  xform_rotate_axis(0, 0, 0, 1, 1, 1, 1.3);
  EXPECT_EQ(view_type, 0);
  xform_rotate_axis(0, 0, 0, 1, 1, 1, -1.3);
  expect_same(snapshot(), original, "xform_rotate_axis");
}

// In the 3D views only the 3D kinds change, and a wall's plan outline
// follows its corners.
TEST_F(Xform, ThreeDViewsMoveOnlyThreeDKinds) {
  make_every_kind();
  const auto before = snapshot();
  view_type = 2;
  xform_axis.a = {0, 0, 0, 0};
  xform_axis.b = {0, 0, 1, 0};
  xform_rotate_marked(0, 0, PI / 2);
  auto after = snapshot();
  int k = 0;
  for (ElemHeader* e = elem_list_head; e; e = e->next, ++k) {
    const bool three_d = e->kind == ELEM_WALL || e->kind == ELEM_LINE3D || e->kind == ELEM_MESH ||
                         e->kind == ELEM_CAMERA || e->kind == ELEM_LIGHT;
    bool changed = false;
    for (size_t i = 0; i < before[k].size(); ++i) changed |= std::fabs(before[k][i].v - after[k][i].v) > 1e-9;
    EXPECT_EQ(changed, three_d) << "kind " << int(e->kind);
  }
  // About the vertical axis the outline turns with the corners: it ends on
  // them exactly, and the door's pieces turned too.
  ElemHeader* it = elem_list_head;
  while (it->kind != ELEM_WALL) it = it->next;
  auto* w = elem_as<WallElem>(it);
  EXPECT_EQ(w->segments[0].start.x, w->corner[0].x);
  EXPECT_EQ(w->segments[0].start.y, w->corner[0].y);
  EXPECT_NEAR(w->segments[0].end.x, 0.12, 1e-12);
  EXPECT_NEAR(w->segments[0].end.y, 1, 1e-12);
}

TEST_F(Xform, PlaneMirrorTurnsThreeDLinesAndKeepsWallsCounterClockwise) {
  elem_new_line3d(0, 0, 0, 1, 0, 0, 2, 0, 3);
  WallElem* w = new_wall_with_door();
  for (ElemHeader* e = elem_list_head; e; e = e->next) e->mark = 1;
  view_type = 4;
  xform_axis.a = {-1, 0, 0, 0};  // the plane x = -1
  xform_axis.b = {-1, 1, 0, 0};
  xform_axis.c = {-1, 1, 1, 0};
  xform_mirror_marked(0, 0, 0, 0);
  auto* l = elem_as<Line3dElem>(elem_list_head);
  EXPECT_NEAR(l->p1.x, -3, 1e-12);
  EXPECT_NEAR(l->p2.x, -4, 1e-12);
  EXPECT_NEAR(l->p2.z, 3, 1e-12);
  double area = 0;
  for (int i = 0; i < 4; ++i)
    area += w->corner[i].x * w->corner[(i + 1) % 4].y - w->corner[(i + 1) % 4].x * w->corner[i].y;
  EXPECT_GT(area, 0);
  // The door keeps its outer face, x 1 to 2 at y = -0.12 mirrored to x -3
  // to -4, and its hinge moves from the x = 2 end to the x = -4 end: box
  // corner 0 now, quadrant 1 becomes 0.
  EXPECT_EQ(w->openings[0].leaf_quadrant, 0);
  EXPECT_NEAR(w->openings[0].corner[0].x, -4, 1e-12);
  EXPECT_NEAR(w->openings[0].corner[0].y, -0.12, 1e-12);
  EXPECT_NEAR(w->openings[0].corner[1].x, -3, 1e-12);
  EXPECT_NEAR(w->openings[0].corner[3].y, 0.12, 1e-12);
  EXPECT_NEAR(w->corner[0].x, -2, 1e-12);  // old corner 3 (0, 0.12) mirrored
  EXPECT_NEAR(w->corner[0].y, 0.12, 1e-12);
  EXPECT_NEAR(w->corner[1].x, -7, 1e-12);
}

TEST_F(Xform, MoveShiftsMarkedElementsAndStretchesMarkedVertices) {
  make_every_kind();
  const auto before = snapshot();
  xform_move_marked(1, 2, 3);
  const auto after = snapshot();
  for (size_t k = 0; k < before.size(); ++k)
    for (size_t i = 0; i < before[k].size(); ++i) {
      const double shift[] = {1, 2, 3, 0, 0, 0};
      EXPECT_NEAR(after[k][i].v, before[k][i].v + shift[before[k][i].role], 1e-12) << k << " " << i;
    }

  // Only a line's p2 is point-marked, and a contour end that carries a mark
  // by mistake never moves.
  drawing_free();
  drawing_init();
  elem_new_line(0, 0, 0, 0, 0, 1, 1);
  auto* l = elem_as<LineElem>(elem_list_tail);
  l->p2.mark = 1;
  elem_append(bare_room(0, 0, {{0, 0}, {1, 0}, {0, 1}, CONTOUR_END}));
  auto* r = elem_as<RoomElem>(elem_list_tail);
  r->points[1].mark = 1;
  r->points[3].mark = 1;
  drawing_modified = 0;
  xform_move_marked(0.5, 0.25, 9);
  EXPECT_EQ(drawing_modified, 1);
  EXPECT_EQ(l->p1.x, 0);
  EXPECT_EQ(l->p2.x, 1.5);
  EXPECT_EQ(l->p2.y, 1.25);
  EXPECT_EQ(r->points[0].x, 0);
  EXPECT_EQ(r->points[1].x, 1.5);
  EXPECT_TRUE(point_is_contour_end(r->points[3].x, r->points[3].y));
  EXPECT_EQ(r->base_z, 0);
}

TEST_F(Xform, ScaleCarriesEveryPointAndRoomHeights) {
  make_every_kind();
  const auto before = snapshot();
  xform_scale_marked(1, 2, 3, 2, 3, 4, 0);
  const auto after = snapshot();
  const double f[] = {2, 3, 4, 4}, o[] = {1, 2, 3, 3};
  int k = 0;
  for (ElemHeader* e = elem_list_head; e; e = e->next, ++k) {
    if (e->kind == ELEM_ARC || e->kind == ELEM_DIM) continue;  // rebuilt, see below
    for (size_t i = 0; i < before[k].size(); ++i) {
      const Num& b = before[k][i];
      if (b.role > ZS) continue;
      EXPECT_NEAR(after[k][i].v, o[b.role] + (b.v - o[b.role]) * f[b.role], 1e-12) << "kind " << int(e->kind);
    }
  }
}

TEST_F(Xform, ScaleTurnsCirclesIntoEllipses) {
  struct Case {
    double fx, fy, start, sweep;
    double rx, ry, rotation, new_start;
  } cases[] = {
      {2, 1, 0, TWO_PI, 2, 1, 0, 0},
      {-1, 1, 0.5, 1.0, 1, 1, PI, TWO_PI - 1.5},
      {1, -1, 0.5, 1.0, 1, 1, 0, TWO_PI - 1.5},
      {3, 3, 0.5, 1.0, 3, 3, 0, 0.5},
  };
  for (const Case& c : cases) {
    drawing_free();
    drawing_init();
    elem_new_arc(0, 0, 0, 4, 5, 1, 1, c.sweep, c.start, 0);
    elem_list_tail->mark = 1;
    xform_scale_marked(4, 5, 0, c.fx, c.fy, 1, 0);
    auto* a = elem_as<ArcElem>(elem_list_tail);
    EXPECT_NEAR(a->radius_x, c.rx, 1e-12) << c.fx << " " << c.fy;
    EXPECT_NEAR(a->radius_y, c.ry, 1e-12) << c.fx << " " << c.fy;
    EXPECT_NEAR(a->rotation, c.rotation, 1e-12) << c.fx << " " << c.fy;
    EXPECT_NEAR(a->start, c.new_start, 1e-12) << c.fx << " " << c.fy;
    EXPECT_EQ(a->sweep, c.sweep);
    EXPECT_EQ(a->centre.x, 4);
  }
}

TEST_F(Xform, ScaleOfTextsAndChains) {
  for (const char* text : {"a", "b"}) {
    TextElem t = standard_text(1, 1, text);
    t.fit_length = 2;
    elem_append(t);
  }
  elem_list_head->mark = 1;
  elem_list_tail->mark = 1;
  xform_scale_marked(0, 0, 0, 2, 2, 2, 1);
  elem_list_head->mark = 0;
  xform_scale_marked(0, 0, 0, 2, 2, 2, 0);
  auto* kept = elem_as<TextElem>(elem_list_head);
  auto* scaled = elem_as<TextElem>(elem_list_tail);
  EXPECT_EQ(kept->pos.x, 2);
  EXPECT_EQ(kept->fit_length, 4);
  EXPECT_EQ(kept->height, 3);
  EXPECT_EQ(scaled->height, 6);

  // Scaled flat in x, two entries of the chain coincide: one is dropped and
  // the segment values follow the new order.
  drawing_free();
  drawing_init();
  new_chain({dim_point(0, 0, 0, 0, 0), dim_point(0, 1, 0, 1, 1), dim_point(1, 1, 1, 1, 1),
             dim_point(1, 3, 1, 3, 2)},
            HALF_PI);
  elem_list_tail->mark = 1;
  xform_scale_marked(0, 0, 0, 0, 1, 1, 0);
  auto* d = elem_as<DimElem>(elem_list_tail);
  ASSERT_EQ(d->points.size(), 3u);
  EXPECT_EQ(d->size, elem_compute_size(*d));
  EXPECT_EQ(d->points[1].line_point.y, 1);
  EXPECT_EQ(d->points[2].line_point.y, 3);
  EXPECT_EQ(d->points[2].segment_length, 2);
  EXPECT_EQ(d->points[2].second_value, 200);
  EXPECT_EQ(d->points[2].override_value, 0);
}

TEST_F(Xform, RotateTurnsArcsTextsAndAngles) {
  elem_new_arc(0, 0, 0, 1, 0, 1, 1, TWO_PI, 0.25, 0);  // circle keeps its angles
  elem_new_arc(0, 0, 0, 1, 0, 1, 1, 1.0, 6.0, 0);      // arc: start turns
  elem_new_arc(0, 0, 0, 1, 0, 2, 1, 1.0, 0.5, 6.0);    // ellipse: rotation turns
  TextElem text = standard_text(1, 0, "t");
  text.angle = 6.0;
  elem_append(text);
  for (ElemHeader* e = elem_list_head; e; e = e->next) e->mark = 1;
  xform_rotate_marked(0, 0, PI / 2);
  auto els = elements();
  auto* circle = elem_as<ArcElem>(els[0]);
  EXPECT_EQ(circle->centre.x, 0);
  EXPECT_EQ(circle->centre.y, 1);
  EXPECT_EQ(circle->start, 0.25);
  EXPECT_NEAR(elem_as<ArcElem>(els[1])->start, 6.0 + PI / 2 - TWO_PI, 1e-12);
  EXPECT_EQ(elem_as<ArcElem>(els[1])->rotation, 0);
  EXPECT_NEAR(elem_as<ArcElem>(els[2])->rotation, 6.0 + PI / 2 - TWO_PI, 1e-12);
  EXPECT_EQ(elem_as<ArcElem>(els[2])->start, 0.5);
  EXPECT_NEAR(elem_as<TextElem>(els[3])->angle, 6.0 + PI / 2 - TWO_PI, 1e-12);
}

TEST_F(Xform, MirrorOfTexts) {
  struct Case {
    const char* what;
    int alignment;
    double ax, ay, bx, by;
    double x, y, angle;
    int new_alignment;
  } cases[] = {
      {"left text, vertical axis", TEXT_LEFT, 0, 0, 0, 1, -1, 2, TWO_PI, TEXT_RIGHT},
      {"axis drawn downwards", TEXT_LEFT, 0, 1, 0, 0, -1, 2, TWO_PI, TEXT_RIGHT},
      {"left text, horizontal axis", TEXT_LEFT, 0, 0, 1, 0, 1, -2, PI, TEXT_RIGHT},
      {"right text", TEXT_RIGHT, 0, 0, 0, 1, -1, 2, TWO_PI, TEXT_LEFT},
      {"centred text", TEXT_CENTRED, 0, 0, 0, 1, -1, 2, TWO_PI, TEXT_CENTRED},
      {"justified text starts at its far end", TEXT_JUSTIFIED, 0, 0, 0, 1, -4, 2, TWO_PI, TEXT_JUSTIFIED},
  };
  for (const Case& c : cases) {
    drawing_free();
    drawing_init();
    TextElem text = standard_text(1, 2, "t");
    text.fit_length = 3;
    text.alignment = static_cast<uint8_t>(c.alignment);
    elem_append(text);
    elem_list_tail->mark = 1;
    xform_mirror_marked(c.ax, c.ay, c.bx, c.by);
    auto* t = elem_as<TextElem>(elem_list_tail);
    EXPECT_NEAR(t->pos.x, c.x, 1e-12) << c.what;
    EXPECT_NEAR(t->pos.y, c.y, 1e-12) << c.what;
    EXPECT_NEAR(t->angle, c.angle, 1e-12) << c.what;
    EXPECT_EQ(t->alignment, c.new_alignment) << c.what;
  }
}

TEST_F(Xform, MirrorReversesChainsWithTheirSegmentValues) {
  new_chain({dim_point(0, 1, 0, 0, 0), dim_point(2, 1, 2, 0, 2), dim_point(5, 1, 5, 0, 3)});
  elem_list_tail->mark = 1;
  xform_mirror_marked(0, 0, 0, 1);
  auto* d = elem_as<DimElem>(elem_list_tail);
  ASSERT_EQ(d->points.size(), 3u);
  const double xs[3] = {-5, -2, 0};
  const double segs[3] = {0, 3, 2};
  const double dx[3] = {0.5, 2.5, 3.5};  // text displacements stay put
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(d->points[i].line_point.x, xs[i]) << i;
    EXPECT_EQ(d->points[i].measured.x, xs[i]) << i;
    EXPECT_EQ(d->points[i].segment_length, segs[i]) << i;
    EXPECT_EQ(d->points[i].second_value, segs[i] * 100) << i;
    EXPECT_EQ(d->points[i].text_dx, dx[i]) << i;
  }
  EXPECT_NEAR(d->direction, TWO_PI, 1e-12);  // 2 * pi/2 - 0 + pi; 2 pi stays
}

// Files may hold chains longer than the tools make; the mirror must cope.
TEST_F(Xform, MirrorOfALongChainFromAFile) {
  std::vector<DimPoint> pts;
  for (int i = 0; i < 150; ++i) pts.push_back(dim_point(i, 1, i, 0, i ? 1 : 0));
  new_chain(pts);
  elem_list_tail->mark = 1;
  xform_mirror_marked(0, 0, 0, 1);
  auto* d = elem_as<DimElem>(elem_list_tail);
  ASSERT_EQ(d->points.size(), 150u);
  EXPECT_EQ(d->points[0].line_point.x, -149);
  EXPECT_EQ(d->points[149].line_point.x, 0);
  xform_mirror_marked(0, 0, 0, 1);
  EXPECT_EQ(d->points[0].line_point.x, 0);
  EXPECT_EQ(d->points[149].line_point.x, 149);
}

TEST_F(Xform, MirrorOfWallsRoomsMeshesAndDiameters) {
  WallElem* w = new_wall_with_door();
  elem_append(bare_room(1, 0.5, {{0, 0}, {2, 0}, {2, 1}, {0, 1}, CONTOUR_END}));
  auto* r = elem_as<RoomElem>(elem_list_tail);
  Point3 verts[3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
  int32_t faces[1] = {3};
  int32_t idx[3] = {0, 1, 2};
  elem_new_mesh(0, 0, 0, 3, 1, faces, verts, idx, "", 0);
  auto* m = elem_as<MeshElem>(elem_list_tail);
  new_dim(DIM_DIAMETER, {dim_point(0, 0, 0, 0, 0), dim_point(1, 0, 1, 0, 0), dim_point(-1, 0, -1, 0, 0)});
  auto* d = elem_as<DimElem>(elem_list_tail);
  for (ElemHeader* e = elem_list_head; e; e = e->next) e->mark = 1;
  xform_mirror_marked(0, -3, 1, -3);  // the line y = -3

  // The wall: corners still counter-clockwise, face 0-1 still on the right.
  EXPECT_NEAR(w->corner[0].x, 0, 1e-12);
  EXPECT_NEAR(w->corner[0].y, -6.12, 1e-12);
  EXPECT_NEAR(w->corner[1].x, 5, 1e-12);
  EXPECT_EQ(w->corner[4].z, 2.75);
  // The door's outer face stays the mirror of its old one (y -0.12 to
  // -5.88), its ends trade places, and the hinge goes from the x = 2 end
  // (quadrant 1) to the x = 2 end that is box corner 0 now (quadrant 0).
  EXPECT_EQ(w->openings[0].leaf_quadrant, 0);
  EXPECT_NEAR(w->openings[0].corner[0].x, 2, 1e-12);
  EXPECT_NEAR(w->openings[0].corner[0].y, -5.88, 1e-12);
  EXPECT_NEAR(w->openings[0].corner[1].x, 1, 1e-12);
  EXPECT_NEAR(w->openings[0].corner[2].y, -6.12, 1e-12);

  // The room's outline keeps its turning sense and its end marker.
  double area = 0;
  for (int i = 0; i < 4; ++i)
    area += r->points[i].x * r->points[(i + 1) % 4].y - r->points[(i + 1) % 4].x * r->points[i].y;
  EXPECT_GT(area, 0);
  EXPECT_TRUE(point_is_contour_end(r->points[4].x, r->points[4].y));
  EXPECT_NEAR(r->angle, PI, 1e-12);

  EXPECT_EQ(m->indices, (std::vector<int32_t>{2, 1, 0}));
  EXPECT_NEAR(m->vertices[2].y, -7, 1e-12);

  EXPECT_EQ(d->points[1].line_point.x, -1);
  EXPECT_EQ(d->points[2].line_point.x, 1);
  EXPECT_EQ(d->points[1].measured.x, 1);
}

TEST_F(Xform, CloneAppendsMarkedCopiesWithGroupsOfTheirOwn) {
  EXPECT_EQ(clone(), 0);
  elem_new_line(0, 0, 0, 0, 0, 1, 0);
  elem_new_line(0, 0, 0, 0, 1, 1, 1);
  elem_new_line(0, 0, 0, 0, 2, 1, 2);
  elem_new_line(0, 0, 0, 0, 3, 1, 3);
  auto els = elements();
  els[0]->group = 5;
  els[2]->group = 5;
  els[3]->group = 9;
  els[0]->mark = els[1]->mark = els[2]->mark = 1;
  els[0]->undo_mask = 4;
  EXPECT_EQ(clone(), 3);
  auto now = elements();
  ASSERT_EQ(now.size(), 7u);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(now[i]->mark, 0) << i;
  for (int i = 4; i < 7; ++i) EXPECT_EQ(now[i]->mark, 1) << i;
  EXPECT_EQ(elem_as<LineElem>(now[6])->p1.y, 2);
  EXPECT_EQ(now[4]->undo_mask, 0u);
  EXPECT_EQ(now[4]->group, 10);
  EXPECT_EQ(now[5]->group, 0);
  EXPECT_EQ(now[6]->group, 10);
  EXPECT_EQ(now[0]->group, 5);
}

TEST_F(Xform, PenAndLineTypeOf255AreKept) {
  elem_new_line(0, 3, 4, 0, 0, 1, 0);
  elem_new_line(0, 3, 4, 0, 0, 1, 0);
  elem_list_tail->mark = 1;
  xform_set_pen_line_type(255, 6);
  EXPECT_EQ(elem_list_tail->pen, 3);
  EXPECT_EQ(elem_list_tail->line_type, 6);
  xform_set_pen_line_type(0x100 + 2, 0x1FF);
  EXPECT_EQ(elem_list_tail->pen, 2);
  EXPECT_EQ(elem_list_tail->line_type, 6);
  EXPECT_EQ(elem_list_head->pen, 3);
}

TEST_F(Xform, ChainSortOrdersResetsAndCompacts) {
  DimPoint two[2] = {dim_point(0, 0, 0, 0, 0), dim_point(5e-5, 0, 5e-5, 0, 1)};
  EXPECT_EQ(elem_dim_sort_chain_points(0, 0, 1, 0, 2, two, DIM_CHAIN), 1);

  DimPoint pts[4] = {dim_point(3, 0, 3, 1, 7), dim_point(1, 0, 1, 1, 8), dim_point(0, 0, 0, 1, 9),
                     dim_point(6, 0, 6, 1, 4)};
  EXPECT_EQ(elem_dim_sort_chain_points(0, 0, 10, 0, 4, pts, DIM_RADIUS), 4);
  EXPECT_EQ(pts[0].line_point.x, 3);
  EXPECT_EQ(elem_dim_sort_chain_points(0, 0, 10, 0, 4, pts, DIM_CHAIN), 4);
  const double xs[4] = {0, 1, 3, 6}, segs[4] = {0, 1, 2, 3}, seconds[4] = {0, 800, 700, 400};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(pts[i].line_point.x, xs[i]) << i;
    EXPECT_EQ(pts[i].segment_length, segs[i]) << i;
    EXPECT_EQ(pts[i].second_value, seconds[i]) << i;
    EXPECT_EQ(pts[i].override_value, 0) << i;
    EXPECT_EQ(pts[i].text_dx, 0) << i;
  }
}

TEST_F(Xform, StretchRefitsChainsAndWallsAsOneUndoStep) {
  RecordingUi rec;
  new_chain({dim_point(0, 1, 0, 0, 0), dim_point(2, 1, 2, 0, 2), dim_point(5, 1, 5, 0, 3)});
  auto* chain = elem_as<DimElem>(elem_list_tail);
  WallElem* wall = new_wall_with_door();
  wall->group = 3;
  elem_new_line(0, 0, 0, 9, 9, 9, 10);
  chain->points[2].measured.mark = 1;
  wall->corner[1].mark = 1;
  wall->corner[5].mark = 1;
  undo_record(UNDO_CHANGE_POINTS, 0);
  xform_move_marked(3, 0, 0);
  rec.calls.clear();
  xform_stretch_marked_points();

  // Old chain and wall, the line, the new chain, the plain intermediate
  // wall and the final wall with its door.
  auto els = elements();
  ASSERT_EQ(els.size(), 6u);
  const int marks[6] = {1, 1, 0, 0, 1, 0};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(els[i]->mark, marks[i]) << i;
  EXPECT_EQ(elem_as<WallElem>(els[4])->openings.size(), 0u);
  EXPECT_EQ(undo_in_current_step(els[4]), 0);
  auto* new_chain_elem = elem_as<DimElem>(els[3]);
  ASSERT_NE(new_chain_elem, nullptr);
  ASSERT_EQ(new_chain_elem->points.size(), 3u);
  EXPECT_EQ(new_chain_elem->points[2].line_point.x, 8);
  EXPECT_EQ(new_chain_elem->points[2].line_point.y, 1);
  EXPECT_EQ(new_chain_elem->points[2].segment_length, 6);
  auto* new_wall = elem_as<WallElem>(els[5]);
  ASSERT_NE(new_wall, nullptr);
  EXPECT_EQ(new_wall->corner[1].x, 8);
  EXPECT_EQ(new_wall->segments.size(), 8u);  // the door is cut in again
  EXPECT_EQ(new_wall->segments[1].end.x, 8);
  EXPECT_EQ(new_wall->openings.size(), 1u);
  EXPECT_EQ(new_wall->group, 3);
  EXPECT_EQ(undo_in_current_step(new_wall), 1);
  EXPECT_EQ(undo_in_current_step(new_chain_elem), 1);
  EXPECT_EQ(rec.calls,
            (std::vector<std::string>{"cursor_toggle", "draw_element 2 kind 4", "draw_last_element 0",
                                      "cursor_toggle", "cursor_toggle", "draw_element 2 kind 5",
                                      "draw_last_element 0", "cursor_toggle"}));

  elem_purge_marked();
  undo_step_back();
  ASSERT_EQ(elem_count(), 3);
  auto back = elements();
  EXPECT_EQ(back[0]->kind, ELEM_LINE);
  EXPECT_EQ(elem_as<DimElem>(back[1])->points[2].measured.x, 5);
  EXPECT_EQ(elem_as<WallElem>(back[2])->corner[1].x, 5);
}

}  // namespace
