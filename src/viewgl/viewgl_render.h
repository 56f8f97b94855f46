#pragma once

// Draws a ViewScene with OpenGL (3.2 core) into the current context: flat
// shading with two-sided lighting, so faces show whichever way they wind.

#include <string>

#include "viewgl/viewgl_scene.h"

class ViewRenderer {
 public:
  ViewRenderer() = default;
  ~ViewRenderer();
  ViewRenderer(const ViewRenderer&) = delete;
  ViewRenderer& operator=(const ViewRenderer&) = delete;

  // Compiles the shaders in the current context; an empty text on success.
  std::string init();
  // Copies the scene's triangles to the graphics memory.
  void upload(const ViewScene& scene);
  // Clears and draws one frame into the bound framebuffer.
  void draw(const OrbitCamera& camera, int width, int height);
  // Frees the GL objects; the context they belong to must be current.
  void release();

 private:
  unsigned program_ = 0, vao_ = 0, vbo_ = 0;
  int rotation_at_ = -1, mvp_at_ = -1;
  int vertex_count_ = 0;
};

// Renders the scene without a window into a width x height PNG. An empty
// text on success, else what went wrong.
std::string view_render_png(const ViewScene& scene, const OrbitCamera& camera, int width, int height,
                            const std::string& png_path);
