#include "viewgl/viewgl_render.h"

#include <epoxy/gl.h>

#include <vector>

namespace {

const char* const vertex_source = R"(#version 150
in vec3 position;
in vec3 normal;
in vec3 colour;
uniform mat3 rotation;
uniform mat4 mvp;
out vec3 eye_normal;
out vec3 face_colour;
void main() {
  eye_normal = rotation * normal;
  face_colour = colour;
  gl_Position = mvp * vec4(position, 1.0);
}
)";

// Two-sided: a face lit from behind is lit as from the front, since the
// meshes' winding says nothing reliable about outside and inside.
const char* const fragment_source = R"(#version 150
in vec3 eye_normal;
in vec3 face_colour;
out vec4 frag;
void main() {
  vec3 n = normalize(eye_normal);
  float key = abs(dot(n, normalize(vec3(-0.4, 0.5, 0.77))));
  float fill = abs(dot(n, normalize(vec3(0.6, -0.3, 0.4))));
  frag = vec4(face_colour * (0.3 + 0.6 * key + 0.2 * fill), 1.0);
}
)";

std::string compile(GLenum kind, const char* source, GLuint& shader) {
  shader = glCreateShader(kind);
  glShaderSource(shader, 1, &source, nullptr);
  glCompileShader(shader);
  GLint ok = 0;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  if (ok) return "";
  char log[1024] = {};
  glGetShaderInfoLog(shader, sizeof log, nullptr, log);
  return std::string("shader: ") + log;
}

}  // namespace

ViewRenderer::~ViewRenderer() = default;

std::string ViewRenderer::init() {
  GLuint vs = 0, fs = 0;
  std::string error = compile(GL_VERTEX_SHADER, vertex_source, vs);
  if (error.empty()) error = compile(GL_FRAGMENT_SHADER, fragment_source, fs);
  if (error.empty()) {
    program_ = glCreateProgram();
    glAttachShader(program_, vs);
    glAttachShader(program_, fs);
    glBindAttribLocation(program_, 0, "position");
    glBindAttribLocation(program_, 1, "normal");
    glBindAttribLocation(program_, 2, "colour");
    glBindFragDataLocation(program_, 0, "frag");
    glLinkProgram(program_);
    GLint ok = 0;
    glGetProgramiv(program_, GL_LINK_STATUS, &ok);
    if (!ok) error = "cannot link the shaders";
  }
  if (vs) glDeleteShader(vs);
  if (fs) glDeleteShader(fs);
  if (!error.empty()) return error;
  rotation_at_ = glGetUniformLocation(program_, "rotation");
  mvp_at_ = glGetUniformLocation(program_, "mvp");
  glGenVertexArrays(1, &vao_);
  glGenBuffers(1, &vbo_);
  glBindVertexArray(vao_);
  glBindBuffer(GL_ARRAY_BUFFER, vbo_);
  const GLsizei stride = VIEW_FLOATS_PER_VERTEX * sizeof(float);
  for (GLuint i = 0; i < 3; ++i) {
    glEnableVertexAttribArray(i);
    glVertexAttribPointer(i, 3, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<const void*>(i * 3 * sizeof(float)));
  }
  glBindVertexArray(0);
  return "";
}

void ViewRenderer::upload(const ViewScene& scene) {
  glBindBuffer(GL_ARRAY_BUFFER, vbo_);
  glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(scene.vertices.size() * sizeof(float)),
               scene.vertices.data(), GL_STATIC_DRAW);
  vertex_count_ = static_cast<int>(scene.vertices.size() / VIEW_FLOATS_PER_VERTEX);
}

void ViewRenderer::draw(const OrbitCamera& camera, int width, int height) {
  glViewport(0, 0, width, height);
  glClearColor(0.93f, 0.94f, 0.96f, 1.0f);
  glClearDepth(1.0);
  glEnable(GL_DEPTH_TEST);
  glDisable(GL_CULL_FACE);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  if (!program_ || vertex_count_ == 0) return;
  float rotation[9], mvp[16];
  view_camera_matrices(camera, width, height, rotation, mvp);
  glUseProgram(program_);
  glUniformMatrix3fv(rotation_at_, 1, GL_FALSE, rotation);
  glUniformMatrix4fv(mvp_at_, 1, GL_FALSE, mvp);
  glBindVertexArray(vao_);
  glDrawArrays(GL_TRIANGLES, 0, vertex_count_);
  glBindVertexArray(0);
  glUseProgram(0);
}

void ViewRenderer::release() {
  if (vbo_) glDeleteBuffers(1, &vbo_);
  if (vao_) glDeleteVertexArrays(1, &vao_);
  if (program_) glDeleteProgram(program_);
  vbo_ = vao_ = program_ = 0;
}
