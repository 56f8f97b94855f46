#include "viewgl/viewgl_offscreen.h"

#include <cairo.h>
#include <epoxy/egl.h>
#include <epoxy/gl.h>

#include <cstdint>
#include <cstring>

#include "viewgl/viewgl_render.h"

#ifndef EGL_PLATFORM_SURFACELESS_MESA
#define EGL_PLATFORM_SURFACELESS_MESA 0x31DD
#endif

namespace {

EGLDisplay open_display(bool& surfaceless) {
  surfaceless = false;
  const char* client = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
  if (client && std::strstr(client, "EGL_MESA_platform_surfaceless") &&
      std::strstr(client, "EGL_EXT_platform_base")) {
    EGLDisplay d = eglGetPlatformDisplayEXT(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (d != EGL_NO_DISPLAY && eglInitialize(d, nullptr, nullptr)) {
      surfaceless = true;
      return d;
    }
  }
  EGLDisplay d = eglGetDisplay(EGL_DEFAULT_DISPLAY);
  if (d != EGL_NO_DISPLAY && eglInitialize(d, nullptr, nullptr)) return d;
  return EGL_NO_DISPLAY;
}

}  // namespace

OffscreenGl::~OffscreenGl() {
  if (!display_) return;
  EGLDisplay d = static_cast<EGLDisplay>(display_);
  if (context_) {
    if (fbo_) {
      glDeleteFramebuffers(1, &fbo_);
      glDeleteRenderbuffers(1, &colour_);
      glDeleteRenderbuffers(1, &depth_);
    }
    eglMakeCurrent(d, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(d, static_cast<EGLContext>(context_));
  }
  if (surface_) eglDestroySurface(d, static_cast<EGLSurface>(surface_));
  eglTerminate(d);
}

std::string OffscreenGl::open(int width, int height) {
  bool surfaceless = false;
  EGLDisplay d = open_display(surfaceless);
  if (d == EGL_NO_DISPLAY) return "no EGL display";
  display_ = d;
  if (!eglBindAPI(EGL_OPENGL_API)) return "EGL offers no desktop OpenGL";
  const EGLint config_attribs[] = {EGL_SURFACE_TYPE,
                                   surfaceless ? 0 : EGL_PBUFFER_BIT,
                                   EGL_RENDERABLE_TYPE,
                                   EGL_OPENGL_BIT,
                                   EGL_RED_SIZE,
                                   8,
                                   EGL_GREEN_SIZE,
                                   8,
                                   EGL_BLUE_SIZE,
                                   8,
                                   EGL_NONE};
  EGLConfig config = nullptr;
  EGLint count = 0;
  if (!eglChooseConfig(d, config_attribs, &config, 1, &count) || count < 1) return "no EGL configuration";
  const EGLint context_attribs[] = {EGL_CONTEXT_MAJOR_VERSION,
                                    3,
                                    EGL_CONTEXT_MINOR_VERSION,
                                    2,
                                    EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                    EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT,
                                    EGL_NONE};
  EGLContext ctx = eglCreateContext(d, config, EGL_NO_CONTEXT, context_attribs);
  if (ctx == EGL_NO_CONTEXT) return "cannot make an OpenGL 3.2 context";
  context_ = ctx;
  EGLSurface surface = EGL_NO_SURFACE;
  if (!surfaceless) {
    const EGLint pbuffer_attribs[] = {EGL_WIDTH, 1, EGL_HEIGHT, 1, EGL_NONE};
    surface = eglCreatePbufferSurface(d, config, pbuffer_attribs);
    if (surface == EGL_NO_SURFACE) return "cannot make an EGL pbuffer";
    surface_ = surface;
  }
  if (!eglMakeCurrent(d, surface, surface, ctx)) return "cannot make the EGL context current";

  width_ = width;
  height_ = height;
  glGenFramebuffers(1, &fbo_);
  glGenRenderbuffers(1, &colour_);
  glGenRenderbuffers(1, &depth_);
  glBindRenderbuffer(GL_RENDERBUFFER, colour_);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
  glBindRenderbuffer(GL_RENDERBUFFER, depth_);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
  glBindFramebuffer(GL_FRAMEBUFFER, fbo_);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour_);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth_);
  if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) return "incomplete framebuffer";
  return "";
}

void OffscreenGl::finish() const { glFinish(); }

std::string OffscreenGl::write_png(const std::string& path) const {
  std::vector<uint8_t> rgba(static_cast<std::size_t>(width_) * height_ * 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
  cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width_, height_);
  cairo_surface_flush(image);
  unsigned char* data = cairo_image_surface_get_data(image);
  const int stride = cairo_image_surface_get_stride(image);
  for (int y = 0; y < height_; ++y) {
    // OpenGL's rows go bottom up.
    const uint8_t* src = rgba.data() + static_cast<std::size_t>(height_ - 1 - y) * width_ * 4;
    auto* row = reinterpret_cast<uint32_t*>(data + static_cast<std::size_t>(y) * stride);
    for (int x = 0; x < width_; ++x)
      row[x] = (uint32_t{src[4 * x]} << 16) | (uint32_t{src[4 * x + 1]} << 8) | src[4 * x + 2];
  }
  cairo_surface_mark_dirty(image);
  const cairo_status_t status = cairo_surface_write_to_png(image, path.c_str());
  cairo_surface_destroy(image);
  if (status != CAIRO_STATUS_SUCCESS) return "cannot write " + path;
  return "";
}

std::string view_render_png(const ViewScene& scene, const OrbitCamera& camera, int width, int height,
                            const std::string& png_path) {
  OffscreenGl gl;
  std::string error = gl.open(width, height);
  if (!error.empty()) return error;
  ViewRenderer renderer;
  error = renderer.init();
  if (!error.empty()) return error;
  renderer.upload(scene);
  renderer.draw(camera, width, height);
  error = gl.write_png(png_path);
  renderer.release();
  return error;
}
