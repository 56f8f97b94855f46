#pragma once

// What the 3D viewer shows: the meshes of a chunk file as flat-shaded
// triangles coloured by pen, and the orbit camera that looks at them.

#include <string>
#include <vector>

struct MeshElem;

// Nine floats a corner: position x y z, face normal x y z, colour r g b.
inline constexpr int VIEW_FLOATS_PER_VERTEX = 9;

struct ViewScene {
  std::vector<float> vertices;
  double min[3] = {0, 0, 0}, max[3] = {0, 0, 0};
  bool empty() const { return vertices.empty(); }
  std::size_t triangle_count() const { return vertices.size() / (3 * VIEW_FLOATS_PER_VERTEX); }
};

// The colour a mesh of this pen is shown in: the pen's own colour from the
// built-in pen table, lightened where it would vanish into the shading.
void view_pen_colour(int pen, float rgb[3]);

// Splits the mesh's faces (of any size, bridged holes included) into
// triangles and appends them with their face normals and the pen colour.
void view_scene_add_mesh(ViewScene& scene, const MeshElem& mesh);

// Reads every mesh of a chunk file; other chunks are skipped. Returns an
// empty text when the file was read whole, else what is wrong with it; what
// was read before a damage stays in scene.
std::string view_scene_load(const std::string& path, ViewScene& scene);

struct OrbitCamera {
  double target[3] = {0, 0, 0};
  double yaw = -0.7;   // around the vertical axis, radians
  double pitch = 0.5;  // above the horizon, radians
  double distance = 10.0;
  double fov = 0.6;  // vertical field of view, radians
};

// Looks at the middle of the scene from a distance that shows all of it.
void view_camera_fit(const ViewScene& scene, OrbitCamera& camera);
// Turns by a mouse drag of dx, dy pixels; the pitch stays short of the poles.
void view_camera_orbit(OrbitCamera& camera, double dx, double dy);
// Moves nearer (steps > 0) or further away, a fixed factor a step.
void view_camera_zoom(OrbitCamera& camera, double steps);
// The column-major matrices for a viewport of width x height: the rotation
// into the eye's frame (3 x 3, for the normals) and model-view-projection.
void view_camera_matrices(const OrbitCamera& camera, int width, int height, float rotation[9], float mvp[16]);
