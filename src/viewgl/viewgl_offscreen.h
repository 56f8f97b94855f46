#pragma once

// An OpenGL context without a window (EGL, Mesa's surfaceless platform or
// else the default display) drawing into a framebuffer of its own, for
// snapshots and benchmarks.

#include <string>
#include <vector>

class OffscreenGl {
 public:
  OffscreenGl() = default;
  ~OffscreenGl();
  OffscreenGl(const OffscreenGl&) = delete;
  OffscreenGl& operator=(const OffscreenGl&) = delete;

  // Makes the context current with a bound width x height colour and depth
  // framebuffer. An empty text on success.
  std::string open(int width, int height);
  // Waits for the drawing and writes the framebuffer as a PNG.
  std::string write_png(const std::string& path) const;
  // Waits until every command sent so far has been carried out.
  void finish() const;

 private:
  void* display_ = nullptr;
  void* context_ = nullptr;
  void* surface_ = nullptr;
  unsigned fbo_ = 0, colour_ = 0, depth_ = 0;
  int width_ = 0, height_ = 0;
};
