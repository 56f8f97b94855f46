#include "building/tool_3d_common.h"

#include "building/solid_tools.h"
#include "display/draw.h"
#include "display/outdev_screen.h"
#include "display/view.h"
#include "model/geom.h"
#include "model/layers.h"
#include "model/presets.h"
#include "model/settings.h"
#include "model/undo.h"
#include "tools/tool_common.h"

Point3 solid_centre;
Point3 solid_top;
double solid_radius = 0.0;
double solid_top_radius = 0.0;

void solid_append(const SolidMesh& m, int pen, int flag) {
  std::vector<Point3> vertices = m.vertices;
  elem_new_mesh(cur_layer, pen, cur_line_type, m.vertex_count(), m.face_count(), m.face_sizes.data(),
                vertices.data(), m.indices.data(), material_preset.name.view(), flag);
  undo_record(UNDO_CREATED, 1);
  ToolCursorOff off;
  draw_last_element(DRAW_NORMAL);
}

void solid_add_frustum(Point3 p1, Point3 p2, double r1, double r2, int n) {
  solid_append(solid_frustum(p1, p2, r1, r2, n), cur_pen, 0);
}

bool solid_plan_view() { return view_type == 0; }

void preview_3d_line(InputRequest* r, double x, double y) {
  view_project(r->x[0], r->y[0], r->z[0]);
  draw_xor_line(geo_result.view_u, geo_result.view_v, x, y);
}

void preview_3d_line_confirm(InputRequest* r, double, double) {
  view_project(r->x[1], r->y[1], r->z[1]);
  preview_3d_line(r, geo_result.view_u, geo_result.view_v);
}

void preview_3d_radius(InputRequest*, double x, double y) {
  const double radius = geom_dist(solid_centre.x, solid_centre.y, x, y);
  draw_xor_ellipse_arc(solid_centre.x, solid_centre.y, radius, radius, GEOM_TWO_PI, 0.0, 0.0);
}

void preview_3d_radius_confirm(InputRequest* r, double, double) { preview_3d_radius(r, r->x[0], r->y[0]); }
