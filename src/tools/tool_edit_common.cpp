// What the operations on the selection share: the drag preview from the
// marked elements' box, the stretch factors, the rotation axis of a view and
// the test of a mirror plane.

#include <cmath>

#include "display/draw.h"
#include "display/input.h"
#include "display/view_commands.h"
#include "model/geom.h"
#include "model/layers.h"
#include "model/nls.h"
#include "model/undo.h"
#include "model/view_rec.h"
#include "model/wall_outline.h"
#include "tools/edit_tools.h"
#include "tools/tool_common.h"

void edit_drag_preview(double rx, double ry, double rz, double tx, double ty, double tz, double angle) {
  const ViewExtents& m = marked_extents;
  DragPreview p;
  p.ref_x = rx;
  p.ref_y = ry;
  p.ref_z = rz;
  p.target_x = tx;
  p.target_y = ty;
  p.target_z = tz;
  p.angle = angle;
  p.count = m.count > 0 ? static_cast<uint32_t>(m.count) : 0u;
  p.xmin = m.xmin;
  p.ymin = m.ymin;
  p.xmax = m.xmax;
  p.ymax = m.ymax;
  p.xmin3 = m.xmin3;
  p.ymin3 = m.ymin3;
  p.zmin3 = m.zmin3;
  p.xmax3 = m.xmax3;
  p.ymax3 = m.ymax3;
  p.zmax3 = m.zmax3;
  draw_drag_preview(p);
}

double edit_stretch_factor(double f, double p0, double p1) {
  if (p0 == p1) return 1.0;
  const double from = std::fabs(p0 - f);
  // A drag that starts on the fixed point has no finite ratio: the axis
  // keeps its size.
  if (from == 0.0) return 1.0;
  return std::fabs(p1 - f) / from;
}

double edit_usable_factor(double factor) { return std::isfinite(factor) && factor > 0.0 ? factor : 1.0; }

bool edit_view_has_centre(int type) {
  return type == VIEW_PLAN || type == VIEW_FRONT || type == VIEW_LEFT || type == VIEW_RIGHT ||
         type == VIEW_BACK;
}

Point3 edit_axis_end(int type, const Point3& a) {
  Point3 b{a.x, a.y, a.z, 0};
  switch (type) {
    case VIEW_FRONT:
      b.y += 1.0;
      break;
    case VIEW_LEFT:
      b.x += 1.0;
      break;
    case VIEW_RIGHT:
      b.x -= 1.0;
      break;
    case VIEW_BACK:
      b.y -= 1.0;
      break;
    default:
      b.z += 1.0;
      break;
  }
  return b;
}

bool edit_plane_defined(const Point3& a, const Point3& b, const Point3& c) {
  const double ux = b.x - a.x, uy = b.y - a.y, uz = b.z - a.z;
  const double vx = c.x - a.x, vy = c.y - a.y, vz = c.z - a.z;
  const double nx = uy * vz - uz * vy, ny = uz * vx - ux * vz, nz = ux * vy - uy * vx;
  return std::sqrt(nx * nx + ny * ny + nz * nz) >= 1e-9;
}

namespace {

// The marked elements follow the pointer from the start point.
void preview_edit_move(InputRequest* r, double x, double y) {
  view_unproject(x, y);
  edit_drag_preview(r->x[0], r->y[0], r->z[0], geo_result.world_x, geo_result.world_y, geo_result.world_z,
                    0.0);
}

// The marked elements moved by the vector entered.
void preview_edit_move_confirm(InputRequest* r, double, double) {
  edit_drag_preview(0.0, 0.0, 0.0, r->x[1] - r->x[0], r->y[1] - r->y[0], r->z[1] - r->z[0], 0.0);
}

}  // namespace

bool edit_ask_vector(InputRequest& r, Point3& d) {
  const int res = tool_ask(r, {{STEP_POINT_3D, nls_mark("Move XYZ/Start point:")},
                               {STEP_NEXT_POINT, nls_mark("Move XYZ/End point:"), preview_edit_move},
                               {STEP_CONFIRM, nls_mark("Move XYZ/Confirm:"), preview_edit_move_confirm}});
  if (res == INPUT_VALUE) {
    // An axis key at the start point gave the vector itself as point 1;
    // Enter there gave none.
    d = Point3{r.x[1], r.y[1], r.z[1], 0};
  } else if (res == INPUT_DONE && r.npoints >= 2) {
    d = Point3{r.x[1] - r.x[0], r.y[1] - r.y[0], r.z[1] - r.z[0], 0};
  } else {
    return false;
  }
  return d.x != 0.0 || d.y != 0.0 || d.z != 0.0;
}

std::vector<WallElem*> edit_marked_walls() {
  std::vector<WallElem*> out;
  for (ElemHeader* e = elem_list_head; e; e = e->next)
    if (auto* w = elem_as<WallElem>(e); w && w->mark == 1) out.push_back(w);
  return out;
}

WallJointPlan edit_joints_of_marked_copies(const WallCopyJoints& originals) {
  if (originals.plan.walls.empty()) return wall_joints_of_copies(originals, {});
  return wall_joints_of_copies(originals, {edit_marked_walls()});
}

void edit_make_series(int n, const std::function<void(ElemHeader*, int)>& place) {
  std::vector<ElemHeader*> set;
  for (ElemHeader* e = elem_list_head; e; e = e->next)
    if (e->mark == 1) set.push_back(e);
  const WallCopyJoints originals = wall_copy_joints();
  std::vector<ElemHeader*> copies;
  std::vector<std::vector<WallElem*>> wall_sets;
  for (int k = 1; k < n; ++k) {
    // As clone does, but only over the set before: the copies are marked,
    // what they were copied from is not.
    const std::size_t first = copies.size();
    bool grouped = false;
    for (ElemHeader* e : set) {
      elem_append_copy(e);
      e->mark = 0;
      copies.push_back(elem_list_tail);
      grouped = grouped || elem_list_tail->group != 0;
    }
    if (grouped) group_renumber_marked();
    std::vector<WallElem*> walls;
    for (std::size_t i = first; i < copies.size(); ++i) {
      place(copies[i], k);
      if (auto* w = elem_as<WallElem>(copies[i])) walls.push_back(w);
    }
    wall_sets.push_back(std::move(walls));
    set.assign(copies.begin() + static_cast<std::ptrdiff_t>(first), copies.end());
  }
  for (ElemHeader* c : copies) c->mark = 1;
  undo_record(UNDO_CREATED, edit_series_undo_count(n, static_cast<int>(set.size())));
  wall_joints_refit(wall_joints_of_copies(originals, wall_sets));
}
