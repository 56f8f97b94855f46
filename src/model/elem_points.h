#pragma once

// One walk over the points an element record holds, for every operation
// that treats an element's points alike: the transforms that move them, the
// test for marked points, the clearing of point marks.

#include "model/elem.h"

// Which points beyond the ones every walk visits.
enum : unsigned {
  // The CONTOUR_END separators of pattern and room contours.
  ELEM_POINTS_CONTOUR_ENDS = 1,
  // A pattern's line-2 offset when the pattern has no second hatch.
  ELEM_POINTS_UNUSED_OFFSET = 2,
  // The gable points of a wall that is not a gable wall.
  ELEM_POINTS_UNUSED_GABLE = 4,
  ELEM_POINTS_EVERY = 7,
};

// Calls f2 for each 2D point (Point2&) and f3 for each 3D point (Point3&)
// of e: the points that belong to its geometry, plus those that extra names.
template <class F2, class F3>
void elem_for_each_point(ElemHeader* e, unsigned extra, F2&& f2, F3&& f3) {
  auto contours = [&](std::vector<Point2>& pts) {
    for (Point2& p : pts)
      if ((extra & ELEM_POINTS_CONTOUR_ENDS) || !point_is_contour_end(p.x, p.y)) f2(p);
  };
  switch (e->kind) {
    case ELEM_LINE: {
      auto* l = static_cast<LineElem*>(e);
      f2(l->p1);
      f2(l->p2);
      break;
    }
    case ELEM_ARC:
      f2(static_cast<ArcElem*>(e)->centre);
      break;
    case ELEM_TEXT:
      f2(static_cast<TextElem*>(e)->pos);
      break;
    case ELEM_DIM:
      for (DimPoint& d : static_cast<DimElem*>(e)->points) {
        f2(d.line_point);
        f2(d.measured);
      }
      break;
    case ELEM_WALL: {
      auto* w = static_cast<WallElem*>(e);
      for (Point3& c : w->corner) f3(c);
      if (w->gable == 1 || (extra & ELEM_POINTS_UNUSED_GABLE)) {
        f3(w->gable_a);
        f3(w->gable_b);
      }
      for (WallSegment& s : w->segments) {
        f2(s.start);
        f2(s.end);
      }
      for (WallOpening& o : w->openings)
        for (Point3& c : o.corner) f3(c);
      break;
    }
    case ELEM_PATTERN: {
      auto* p = static_cast<PatternElem*>(e);
      f2(p->origin);
      if (p->spacing2 != 0.0 || (extra & ELEM_POINTS_UNUSED_OFFSET)) f2(p->offset);
      contours(p->points);
      break;
    }
    case ELEM_SPLINE: {
      auto* s = static_cast<SplineElem*>(e);
      f2(s->p0);
      f2(s->p1);
      f2(s->p2);
      f2(s->p3);
      break;
    }
    case ELEM_LINE3D: {
      auto* l = static_cast<Line3dElem*>(e);
      f3(l->p1);
      f3(l->p2);
      break;
    }
    case ELEM_MESH:
      for (Point3& v : static_cast<MeshElem*>(e)->vertices) f3(v);
      break;
    case ELEM_CAMERA: {
      auto* c = static_cast<CameraElem*>(e);
      f3(c->eye);
      f3(c->target);
      break;
    }
    case ELEM_ROOM: {
      auto* r = static_cast<RoomElem*>(e);
      f2(r->label);
      contours(r->points);
      break;
    }
    case ELEM_LIGHT: {
      auto* l = static_cast<LightElem*>(e);
      f3(l->position);
      f3(l->target);
      break;
    }
  }
}
