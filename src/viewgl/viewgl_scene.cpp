#include "viewgl/viewgl_scene.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "model/elem.h"
#include "model/files/fio.h"
#include "model/files/kavfile.h"
#include "model/layers.h"
#include "model/settings.h"
#include "model/triangulate.h"

void view_pen_colour(int pen, float rgb[3]) {
  const PenDef& p = pen_def(pen);
  rgb[0] = static_cast<float>(p.r);
  rgb[1] = static_cast<float>(p.g);
  rgb[2] = static_cast<float>(p.b);
  // Black and near-black pens draw lines well but would give black solids.
  const float light = std::max({rgb[0], rgb[1], rgb[2]});
  if (light < 0.35f)
    for (int i = 0; i < 3; ++i) rgb[i] = 0.55f + rgb[i];
}

namespace {

void grow(ViewScene& scene, const Point3& p, bool first) {
  const double c[3] = {p.x, p.y, p.z};
  for (int i = 0; i < 3; ++i) {
    if (first || c[i] < scene.min[i]) scene.min[i] = c[i];
    if (first || c[i] > scene.max[i]) scene.max[i] = c[i];
  }
}

}  // namespace

void view_scene_add_mesh(ViewScene& scene, const MeshElem& mesh) {
  float colour[3];
  view_pen_colour(mesh.pen, colour);
  FaceList* list = tri_faces_new(&mesh);
  tri_triangulate_faces(list, 0);
  for (int32_t k = 0; k < list->triangle_count; ++k) {
    const int32_t idx[3] = {list->t0[k], list->t1[k], list->t2[k]};
    Point3 p[3];
    bool valid = true;
    for (int i = 0; i < 3; ++i) {
      valid = valid && idx[i] >= 0 && idx[i] < list->vertex_count;
      if (valid) p[i] = list->vertices[idx[i]];
    }
    if (!valid) continue;
    const double ux = p[1].x - p[0].x, uy = p[1].y - p[0].y, uz = p[1].z - p[0].z;
    const double vx = p[2].x - p[0].x, vy = p[2].y - p[0].y, vz = p[2].z - p[0].z;
    double n[3] = {uy * vz - uz * vy, uz * vx - ux * vz, ux * vy - uy * vx};
    const double len = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (!(len > 0.0)) continue;
    for (double& c : n) c /= len;
    for (const Point3& q : p) {
      grow(scene, q, scene.vertices.empty());
      const float v[VIEW_FLOATS_PER_VERTEX] = {static_cast<float>(q.x),
                                               static_cast<float>(q.y),
                                               static_cast<float>(q.z),
                                               static_cast<float>(n[0]),
                                               static_cast<float>(n[1]),
                                               static_cast<float>(n[2]),
                                               colour[0],
                                               colour[1],
                                               colour[2]};
      scene.vertices.insert(scene.vertices.end(), v, v + VIEW_FLOATS_PER_VERTEX);
    }
  }
  tri_faces_free(list);
}

std::string view_scene_load(const std::string& path, ViewScene& scene) {
  FioFile in(path.c_str(), "rb");
  if (!in) return "cannot open " + path;
  if (kavfile_read_header(in.get()) == 0) return path + " is not a Kavro file";
  drawing_free();
  KavReadReport report;
  loaded_count = 0;
  const int read = kavfile_read_chunks(in.get(), 0, KAV_READ_ELEMENTS_ONLY, &report);
  for (ElemHeader* e = elem_list_head; e; e = e->next)
    if (const MeshElem* mesh = elem_as<MeshElem>(e)) view_scene_add_mesh(scene, *mesh);
  drawing_free();
  if (!read || report.damaged) return path + " is damaged; only its first part is shown";
  if (report.rejected) return path + " holds meshes that are not valid; they are left out";
  return "";
}

void view_camera_fit(const ViewScene& scene, OrbitCamera& camera) {
  if (scene.empty()) return;
  double radius = 0.0;
  for (int i = 0; i < 3; ++i) {
    camera.target[i] = (scene.min[i] + scene.max[i]) / 2;
    const double half = (scene.max[i] - scene.min[i]) / 2;
    radius += half * half;
  }
  radius = std::max(std::sqrt(radius), 1e-3);
  camera.distance = radius / std::sin(camera.fov / 2) * 1.05;
}

void view_camera_orbit(OrbitCamera& camera, double dx, double dy) {
  camera.yaw -= dx * 0.01;
  camera.pitch = std::clamp(camera.pitch + dy * 0.01, -1.5, 1.5);
}

void view_camera_zoom(OrbitCamera& camera, double steps) {
  camera.distance = std::clamp(camera.distance * std::pow(0.85, steps), 1e-3, 1e7);
}

void view_camera_matrices(const OrbitCamera& c, int width, int height, float rotation[9], float mvp[16]) {
  // The eye on a sphere around the target, z up.
  const double cp = std::cos(c.pitch), sp = std::sin(c.pitch);
  const double back[3] = {cp * std::cos(c.yaw), cp * std::sin(c.yaw), sp};  // target to eye
  const double eye[3] = {c.target[0] + back[0] * c.distance, c.target[1] + back[1] * c.distance,
                         c.target[2] + back[2] * c.distance};
  // Right = up x back, true up = back x right.
  double right[3] = {-back[1], back[0], 0.0};
  const double rl = std::hypot(right[0], right[1]);
  if (rl > 0) {
    right[0] /= rl;
    right[1] /= rl;
  } else {
    right[0] = 1;
  }
  const double up[3] = {back[1] * right[2] - back[2] * right[1], back[2] * right[0] - back[0] * right[2],
                        back[0] * right[1] - back[1] * right[0]};
  // Rows of the view rotation are right, up, back.
  const double* rows[3] = {right, up, back};
  double view[16] = {};
  for (int r = 0; r < 3; ++r) {
    for (int k = 0; k < 3; ++k) view[k * 4 + r] = rows[r][k];
    view[12 + r] = -(rows[r][0] * eye[0] + rows[r][1] * eye[1] + rows[r][2] * eye[2]);
  }
  view[15] = 1;
  for (int col = 0; col < 3; ++col)
    for (int r = 0; r < 3; ++r) rotation[col * 3 + r] = static_cast<float>(view[col * 4 + r]);

  const double aspect = height > 0 ? static_cast<double>(width) / height : 1.0;
  const double f = 1.0 / std::tan(c.fov / 2);
  // Near and far around the scene, whatever its size.
  const double near_plane = std::max(c.distance * 0.01, 1e-4);
  const double far_plane = c.distance * 100.0;
  double proj[16] = {};
  proj[0] = f / aspect;
  proj[5] = f;
  proj[10] = (far_plane + near_plane) / (near_plane - far_plane);
  proj[11] = -1;
  proj[14] = 2 * far_plane * near_plane / (near_plane - far_plane);
  for (int col = 0; col < 4; ++col)
    for (int r = 0; r < 4; ++r) {
      double s = 0;
      for (int k = 0; k < 4; ++k) s += proj[k * 4 + r] * view[col * 4 + k];
      mvp[col * 4 + r] = static_cast<float>(s);
    }
}
