#include "exchange/pov_export.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iostream>
#include <optional>

#include "building/solid/wall_mesh.h"
#include "display/export_scope.h"
#include "exchange/export_2d.h"
#include "exchange/export_check.h"
#include "exchange/out_text.h"
#include "model/elem.h"
#include "model/files/fio.h"
#include "model/files/load_save.h"
#include "model/geom.h"
#include "model/layers.h"
#include "model/nls.h"
#include "model/settings.h"
#include "model/triangulate.h"
#include "model/ui.h"
#include "model/vec3.h"
#include "model/view_rec.h"
#include "platform/own_folder.h"
#include "platform/process.h"
#include "platform/temp_folder.h"

uint8_t pov_found = 0;

namespace {

// A number as printf's "%.<decimals>f" writes it in the "C" locale; values
// that are not finite as 0, so the scene always parses. While a scene is
// written, such a value, or one beyond what POV-Ray renders, spoils it.
void num(OutText& out, double v, int decimals) {
  v = export_coordinate(v);
  if (!std::isfinite(v)) v = 0.0;
  char buf[340];
  const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
  out << std::string_view(buf, static_cast<std::size_t>(r.ptr - buf));
}

// The inside of a POV-Ray string literal: backslash and double quote
// escaped, so a file name cannot end the string early.
std::string string_literal(std::string_view text) {
  std::string s;
  for (char c : text) {
    if (c == '\\' || c == '"') s += '\\';
    s += c;
  }
  return s;
}

// A folder and a name below it, with one slash between them.
std::string join(std::string_view folder, std::string_view name) {
  std::string s(folder);
  while (!s.empty() && s.back() == '/') s.pop_back();
  s += '/';
  s += name;
  return s;
}

std::string temp_file(const char* name) {
  const std::string& dir = temp_folder();
  return dir.empty() ? std::string() : join(dir, name);
}

std::string not_found_text(std::string_view command) {
  std::string text = "Error: Can not execute the \"";
  text += command;
  text +=
      "\" command!\nThe command is wrong or POV-Ray is not installed properly on this system.\n"
      "Please download and install POV-Ray from\nhttps://www.povray.org/download/\n";
  return text;
}

// A path as one POV-Ray option value: POV-Ray joins its arguments and
// splits them again at blanks, so the path goes in double quotes; a path
// holding a double quote cannot be passed (empty).
std::string option_path(std::string_view path) {
  if (path.find('"') != std::string_view::npos) return {};
  return "\"" + std::string(path) + "\"";
}

// Whether a PNG file holds a colour palette (colour type 3 in its header).
bool png_has_palette(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  char head[26] = {};
  if (!in.read(head, sizeof head)) return false;
  return std::string_view(head + 1, 3) == "PNG" && std::string_view(head + 12, 4) == "IHDR" && head[25] == 3;
}

// The image map of a textured material: empty when the material has none
// (no texture mode, a name too short to have a type, an unknown type).
std::string image_map_text(const MaterialDef& def) {
  const std::string_view image = def.image_file.view();
  if (def.texture_mode == 0 || image.size() <= 5) return {};
  const std::string_view ending = image.substr(image.size() - 3);
  const char* type = ending == "tga" ? "sys" : ending == "jpg" ? "jpeg" : ending == "png" ? "png" : nullptr;
  if (!type) return {};
  const char* map_type = "0";
  const char* rotation = " ";
  switch (def.texture_mode) {
    case 1:
    case 4:
      rotation = "rotate 90*x ";
      break;
    case 2:
      rotation = "rotate 90*y ";
      break;
    case 5:
      map_type = "1";
      break;
    case 6:
      map_type = "2";
      break;
    default:
      break;
  }
  const std::string path = join(join(base_dir.view(), "tex"), image);
  // A PNG's first palette colour is see-through; POV-Ray refuses the whole
  // scene when that is asked of a PNG without a palette.
  const bool transmit = ending == "png" && png_has_palette(path);
  StringOut s;
  s << "pigment { image_map { " << type << " \"" << string_literal(path) << "\" map_type " << map_type << ' '
    << (transmit ? "transmit 0, 1.0 " : " ") << ' ' << (def.repeat ? " " : "once ") << "} scale <";
  num(s, def.size_x, 2);
  s << ", ";
  num(s, def.size_y, 2);
  s << "> translate <";
  num(s, def.offset_x, 2);
  s << ", ";
  num(s, def.offset_y, 2);
  s << "> " << rotation << "}\n";
  return s.text();
}

}  // namespace

int pov_find_command() {
  pov_found = 0;
  // The configured command may carry options ("povray +P"); its first word
  // is the program.
  const std::optional<std::vector<std::string>> words = process_split_command(pov_settings.command.c_str());
  if (words && !words->empty() && !process_find_program(words->front()).empty()) {
    pov_found = 1;
  } else {
    for (const char* name : {"povray", "x-povray"}) {
      if (!process_find_program(name).empty()) {
        pov_settings.command = name;
        pov_found = 1;
        break;
      }
    }
  }
  if (!pov_found) ui().msgbox_error(not_found_text(pov_settings.command.view()).c_str());
  return pov_found;
}

std::string pov_render_scene_path() { return temp_file("kavro.pov"); }
std::string pov_scene_path() { return temp_file("kavrop.pov"); }

void pov_write_texture(OutText& out, const MaterialDef& def, std::string_view identifier) {
  out << "\n#declare " << identifier << " =\ntexture {\n";
  out << "pigment { color rgbt <";
  num(out, def.r, 6);
  out << ',';
  num(out, def.g, 6);
  out << ',';
  num(out, def.b, 6);
  out << ',';
  num(out, def.transparency, 6);
  out << "> }\n";
  if (const std::string map = image_map_text(def); !map.empty()) {
    out << map;
    std::cout << map << std::flush;
  }
  out << "finish {\n";
  out << "diffuse ";
  num(out, 0.9, 6);
  out << "\nspecular ";
  num(out, def.highlight, 6);
  out << "\nreflection ";
  num(out, def.reflection, 6);
  out << "\nambient ";
  // Without radiosity the scene has no light bouncing between surfaces; a
  // little ambient stands in for it.
  const bool raytracing_only = pov_settings.quality == 0 || pov_settings.quality == 1;
  num(out, def.ambience * 0.5 + (raytracing_only ? 0.1 : 0.0), 6);
  out << '\n';
  if (def.refraction) out << "refraction 1 ior 1.40\n";
  if (def.metallic) out << "brilliance 4\nmetallic\n";
  out << "}\n";
  if (def.special && !def.special_path.empty()) {
    std::ifstream in(def.special_path.c_str(), std::ios::binary);
    std::string line;
    while (in && std::getline(in, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      out << line << '\n';
    }
  }
  out << "}\n";
}

void pov_write_texture(std::FILE* f, const MaterialDef& def, std::string_view identifier) {
  FileOut out(f);
  pov_write_texture(out, def, identifier);
}

namespace {

// POV-Ray's keywords: a material declared under one of these names would
// break the scene's parse.
constexpr std::string_view POV_KEYWORDS =
    "aa_level aa_threshold abs absorption accuracy acos acosh adaptive adc_bailout agate agate_turb "
    "albedo all all_intersections alpha altitude always_sample ambient ambient_light angle anisotropy aoi "
    "aperture append arc_angle area_illumination area_light array asc ascii asin asinh assumed_gamma atan "
    "atan2 atanh autostop average b_spline background bezier_spline bicubic_patch bitwise_and bitwise_or "
    "bitwise_xor black_hole blob blue blur_samples bokeh bounded_by box boxed bozo break brick brick_size "
    "brightness brilliance bump_map bump_size bumps camera case caustics ceil cells charset checker chr "
    "circular clipped_by clock clock_delta clock_on collect color color_map colour colour_map component "
    "composite concat cone confidence conic_sweep conserve_energy contained_by control0 control1 coords "
    "cos cosh count crackle crand cube cubic cubic_spline cubic_wave cutaway_textures cylinder "
    "cylindrical datetime debug declare default defined degrees density density_file density_map dents "
    "deprecated df3 difference diffuse dimension_size dimensions direction disc dispersion "
    "dispersion_samples dist_exp distance div double_illuminate dtag eccentricity else elseif emission "
    "end error error_bound evaluate exp expand_thresholds exponent exr exterior extinction face_indices "
    "facets fade_color fade_colour fade_distance fade_power falloff falloff_angle false fclose "
    "file_exists file_gamma filter final_clock final_frame finish fisheye flatness flip floor focal_point "
    "fog fog_alt fog_offset fog_type fopen for form frame_number frequency fresnel function gamma gather "
    "gif global_lights global_settings gradient granite gray gray_threshold green grey hdr height_field "
    "hexagon hf_gray_16 hierarchy hollow hypercomplex if ifdef iff ifndef image_height image_map "
    "image_pattern image_width importance include initial_clock initial_frame input_file_name inside "
    "inside_vector int interior interior_texture internal interpolate intersection intervals inverse ior "
    "irid irid_wavelength isosurface jitter jpeg julia julia_fractal lambda lathe leopard light_group "
    "light_source linear_spline linear_sweep ln load_file local location log look_at looks_like "
    "low_error_factor macro magnet major_radius mandel map_type marble material material_map matrix max "
    "max_extent max_gradient max_intersections max_iteration max_sample max_trace max_trace_level "
    "maximum_reuse media media_attenuation media_interaction merge mesh mesh2 mesh_camera metallic method "
    "metric min min_extent minimum_reuse mm_per_unit mod mortar natural_spline nearest_count no "
    "no_bump_scale no_image no_radiosity no_reflection no_shadow noise_generator normal normal_indices "
    "normal_map normal_vectors now number_of_waves object octaves off offset omega omnimax on once onion "
    "open orient orientation orthographic ovus panoramic parallel parametric pass_through pattern "
    "pavement perspective pgm phase phong phong_size photons pi pigment pigment_map pigment_pattern "
    "planar plane png point_at polarity poly poly_wave polygon polynomial pot potential pow ppm precision "
    "precompute premultiplied pretrace_end pretrace_start prism prod projected_through pwr "
    "quadratic_spline quadric quartic quaternion quick_color quick_colour quilted radial radians "
    "radiosity radius rainbow ramp_wave rand range ratio read reciprocal recursion_limit red reflection "
    "reflection_exponent refraction render repeat rgb rgbf rgbft rgbt right ripples rotate roughness "
    "samples save_file scale scallop_wave scattering seed select shadowless sin sine_wave sint16be "
    "sint16le sint32be sint32le sint8 sinh size sky sky_sphere slice slope slope_map smooth "
    "smooth_triangle solid sor spacing specular sphere sphere_sweep spherical spiral1 spiral2 spline "
    "split_union spotlight spotted sqr sqrt square srgb srgbf srgbft srgbt statistics steps str strcmp "
    "strength strlen strlwr strupr sturm substr subsurface sum superellipsoid switch sys t tan tanh "
    "target text texture texture_list texture_map tga thickness threshold tiff tightness tile2 tiles "
    "tiling tolerance toroidal torus trace transform translate translucency transmit triangle "
    "triangle_wave triangular true ttf turb_depth turbulence type u u_steps uint16be uint16le uint8 "
    "ultra_wide_angle undef union up use_alpha use_color use_colour use_index utf8 uv uv_indices "
    "uv_mapping uv_vectors v v_steps val variance vaxis_rotate vcross vdot version vertex_vectors vlength "
    "vnormalize vrotate vstr vturbulence warning warp water_level waves while width wood wrinkles write x "
    "xyz y yes z ";

bool pov_keyword(std::string_view word) {
  for (std::size_t at = 0; at < POV_KEYWORDS.size();) {
    const std::size_t end = POV_KEYWORDS.find(' ', at);
    if (POV_KEYWORDS.substr(at, end - at) == word) return true;
    at = end + 1;
  }
  return false;
}

// Points and vectors go out as <x, z, y>: POV-Ray's y axis points up.
void xzy(OutText& out, const Point3& p, int decimals) {
  out << '<';
  num(out, p.x, decimals);
  out << ',';
  num(out, p.z, decimals);
  out << ',';
  num(out, p.y, decimals);
  out << '>';
}
void xzy12(OutText& out, double x, double y, double z) { xzy(out, Point3{x, y, z, 0}, 12); }

void n12(OutText& out, double v) { num(out, v, 12); }

// The smallest x and y of a set of points and their mean.
struct Centre {
  double min_x = 0.0, min_y = 0.0;
  Point3 mean{};
};
Centre centre_of(const Point3* points, std::size_t n) {
  Centre c;
  if (n == 0) return c;
  c.min_x = points[0].x;
  c.min_y = points[0].y;
  for (std::size_t i = 0; i < n; ++i) {
    c.min_x = std::min(c.min_x, points[i].x);
    c.min_y = std::min(c.min_y, points[i].y);
    c.mean.x += points[i].x;
    c.mean.y += points[i].y;
    c.mean.z += points[i].z;
  }
  c.mean.x /= static_cast<double>(n);
  c.mean.y /= static_cast<double>(n);
  c.mean.z /= static_cast<double>(n);
  return c;
}

class SceneWriter {
 public:
  SceneWriter(OutText& out, bool orthographic)
      : out_(out), orthographic_(orthographic), ids_(pov_identifiers()) {}

  void write() {
    globals();
    camera();
    background();
    for (int i = 0; i < mat_count; ++i) pov_write_texture(out_, mat_table[i], ids_[i]);
    // The list is walked first: a wall written from its mesh appends that
    // mesh for a moment.
    std::vector<ElemHeader*> marked;
    ElemHeader* it;
    for (ElemHeader* e = elem_first(&it); e; e = elem_next(&it))
      if (e->mark) marked.push_back(e);
    for (ElemHeader* e : marked) {
      if (const auto* m = elem_as<MeshElem>(e)) mesh(*m);
      if (const auto* w = elem_as<WallElem>(e)) wall(*w);
      if (const auto* l = elem_as<LightElem>(e)) light(*l);
    }
  }

 private:
  void globals() {
    out_ << "global_settings {\n max_trace_level 12\n";
    const int quality = pov_settings.quality;
    if (quality == 0 || quality == 1) {
      out_ << " ambient_light ";
      out_.integer(pov_settings.ambient);
      out_ << '\n';
    } else {
      out_ << " radiosity { count ";
      out_.integer(quality == 2 ? 50 : quality == 3 ? 200 : 100);
      out_ << " brightness ";
      num(out_, pov_settings.ambient * 0.125 + 1.0, 2);
      out_ << " gray_threshold 0.65 }\n ambient_light 0\n";
    }
    out_ << "}\n";
  }

  void camera() {
    out_ << "\ncamera\n{\n " << (orthographic_ ? "orthographic" : "perspective") << "\n location ";
    xzy(out_, Point3{view_camera.eye_x, view_camera.eye_y, view_camera.eye_z, 0}, 6);
    out_ << "\n look_at ";
    xzy(out_, Point3{view_camera.target_x, view_camera.target_y, view_camera.target_z, 0}, 6);
    out_ << "\n angle ";
    num(out_, view_camera.view_angle, 6);
    out_ << "\n}\n";
  }

  void background() {
    const Rgb& c = pov_settings.background;
    auto rgb = [&] {
      num(out_, c.r, 6);
      out_ << ',';
      num(out_, c.g, 6);
      out_ << ',';
      num(out_, c.b, 6);
    };
    out_ << "\nbackground { color rgb <";
    rgb();
    out_ << "> }\n";
    if (!pov_settings.sky && !pov_settings.clouds) return;
    out_ << "\nsky_sphere { pigment { gradient y\ncolor_map { [0 color rgb <1,1,1>] [1 color rgb <";
    rgb();
    out_ << ">] }\nscale 2 translate -1 }\n";
    if (pov_settings.clouds) {
      out_ << "pigment { bozo turbulence 0.65 octaves 6 omega 0.7 lambda 2\n"
              "color_map {[0.0 0.1 color rgb <0.85, 0.85, 0.85>color rgb <0.75, 0.75, 0.75>]\n"
              "[0.1 0.5 color rgb <0.75, 0.75, 0.75>color rgbt <1, 1, 1, 1>][0.5 1.0 color rgbt <1, 1, 1, 1> "
              "color  rgbt <1, 1, 1, 1>] } scale <0.2, 0.5, 0.2> rotate -135*x }\n"
              "pigment { gradient y\n"
              "color_map { [0 color rgbt <1,1,1,0>] [0.50 color rgbt <0.8,0.8,0.8,0.3>] [1 color rgbt "
              "<0,0,.2,1>] }\n"
              "scale 2 translate -1 }\n";
    }
    out_ << "}\n";
  }

  const MaterialDef& material(std::string_view name, std::string* id) const {
    const int i = mat_index(name);
    *id = i < static_cast<int>(ids_.size()) ? ids_[i] : std::string();
    return mat_table[i];
  }

  // A mesh as triangles: faces of three and four corners directly (a quad
  // split along its 0-2 diagonal), any other mesh through the
  // triangulation. Corner numbers outside the vertices take the second way
  // too, which leaves such faces out.
  void mesh(const MeshElem& m) {
    std::vector<std::array<int32_t, 3>> tris;
    const std::vector<Point3>* vertices = &m.vertices;
    bool direct = true;
    std::size_t at = 0;
    for (int32_t n : m.face_sizes) {
      if (n != 3 && n != 4) direct = false;
      for (int32_t k = 0; direct && k < n; ++k) {
        const std::size_t j = at + static_cast<std::size_t>(k);
        if (j >= m.indices.size() || m.indices[j] < 0 || m.indices[j] >= m.vertex_count()) direct = false;
      }
      if (!direct) break;
      const int32_t* f = &m.indices[at];
      tris.push_back({f[0], f[1], f[2]});
      if (n == 4) tris.push_back({f[2], f[3], f[0]});
      at += static_cast<std::size_t>(n);
    }
    FaceList* list = nullptr;
    if (!direct) {
      tris.clear();
      list = tri_faces_new(&m);
      tri_triangulate_faces(list, 0);
      vertices = &list->vertices;
      for (int32_t k = 0; k < list->triangle_count; ++k)
        tris.push_back({list->t0[k], list->t1[k], list->t2[k]});
    }
    // A mesh without a triangle is no shape POV-Ray takes.
    if (!tris.empty()) {
      out_ << "\nmesh2\n{\n vertex_vectors\n {\n  ";
      out_.integer(static_cast<long long>(vertices->size()));
      for (const Point3& v : *vertices) {
        out_ << "  ,\n";
        xzy(out_, v, 12);
      }
      out_ << " }\n face_indices\n {\n  ";
      out_.integer(static_cast<long long>(tris.size()));
      for (const auto& t : tris) {
        out_ << "  ,\n< ";
        out_.integer(t[0]);
        out_ << " , ";
        out_.integer(t[1]);
        out_ << " , ";
        out_.integer(t[2]);
        out_ << " >";
      }
      out_ << " }\n";
      std::string id;
      const MaterialDef& def = material(m.material.view(), &id);
      out_ << "texture {" << id << '\n';
      const Centre c = centre_of(m.vertices.data(), m.vertices.size());
      if (def.texture_mode == 1) {
        out_ << "translate <";
        n12(out_, c.min_x);
        out_ << ",0.0,";
        n12(out_, c.min_y);
        out_ << ">\n";
      } else if (def.texture_mode == 5 || def.texture_mode == 6) {
        out_ << "translate ";
        xzy(out_, c.mean, 12);
        out_ << '\n';
      }
      out_ << "}\n}\n";
    }
    if (list) tri_faces_free(list);
  }

  void prism(double bottom, double top, const Point3* p) {
    out_ << "\nprism { linear_sweep linear_spline ";
    n12(out_, bottom);
    out_ << ", ";
    n12(out_, top);
    out_ << ", 5,\n";
    for (int i = 0; i < 5; ++i) {
      if (i) out_ << ',';
      out_ << '<';
      n12(out_, p[i % 4].x);
      out_ << ',';
      n12(out_, p[i % 4].y);
      out_ << '>';
    }
    out_ << '\n';
  }

  void plane(Point3 a, Point3 b, Point3 c, bool flip) {
    Plane3 pl;
    vec3_plane_from_points(&pl, a, b, c);
    const double s = flip ? -1.0 : 1.0;
    out_ << "plane {";
    xzy12(out_, s * pl.nx, s * pl.ny, s * pl.nz);
    out_ << ',';
    n12(out_, s * pl.d);
    out_ << "}\n";
  }

  static bool flat(const WallElem& w) {
    constexpr double FLAT = 0.0001;
    const Point3* c = w.corner;
    for (int i = 1; i < 4; ++i)
      if (std::fabs(c[i].z - c[0].z) > FLAT || std::fabs(c[i + 4].z - c[4].z) > FLAT) return false;
    return w.gable == 0;
  }

  static bool has_zero_edge(const WallElem& w) {
    static constexpr int EDGES[12][2] = {{0, 1}, {2, 3}, {0, 3}, {1, 2}, {4, 5}, {6, 7},
                                         {4, 7}, {5, 6}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
    for (const auto& e : EDGES)
      if (geom_eq3(w.corner[e[0]], w.corner[e[1]])) return true;
    return false;
  }

  void wall(const WallElem& w) {
    const Point3* c = w.corner;
    const bool is_flat = flat(w);
    if (!is_flat && has_zero_edge(w)) {
      // Its planes would not close a solid: the wall goes out as its mesh,
      // which the list holds only while it is written.
      const int modified = drawing_modified;
      wall_to_mesh(w, LAYER_TEMP_3D);
      mesh(*elem_as<MeshElem>(elem_list_tail));
      elem_remove_last();
      drawing_modified = modified;
      return;
    }
    const bool cut = !w.openings.empty();
    if (cut) out_ << "\ndifference {\n";
    if (is_flat) {
      prism(c[0].z, c[4].z, c);
    } else {
      // The planes face out of a wall whose base runs counter-clockwise in
      // plan; one drawn the other way round has them turned.
      double area = 0.0;
      for (int i = 0; i < 4; ++i) area += c[i].x * c[(i + 1) % 4].y - c[(i + 1) % 4].x * c[i].y;
      const bool flip = area < 0.0;
      out_ << "\nintersection {\n";
      plane(c[0], c[3], c[2], flip);
      if (w.gable) {
        plane(c[7], c[4], w.gable_a, flip);
        plane(c[5], c[6], w.gable_b, flip);
      } else {
        plane(c[4], c[5], c[6], flip);
      }
      plane(c[0], c[1], c[5], flip);
      plane(c[1], c[2], c[6], flip);
      plane(c[2], c[3], c[7], flip);
      plane(c[3], c[0], c[4], flip);
    }
    if (cut) {
      out_ << "}\n";
      for (const WallOpening& o : w.openings) {
        const Point3* q = o.corner;
        const double a = geom_angle(q[0].x, q[0].y, q[1].x, q[1].y);
        const double s = std::sin(a), co = std::cos(a);
        // 1 m beyond both faces, and below the base or above the top where
        // the opening reaches them, so no skin of wall stays in it.
        const Point3 pts[4] = {{q[0].x + s, q[0].y - co, 0, 0},
                               {q[1].x + s, q[1].y - co, 0, 0},
                               {q[2].x - s, q[2].y + co, 0, 0},
                               {q[3].x - s, q[3].y + co, 0, 0}};
        const double bottom = geom_eq(q[0].z, c[0].z) ? q[0].z - 1.0 : q[0].z;
        const double top = geom_eq(q[4].z, c[4].z) ? q[4].z + 1.0 : q[4].z;
        prism(bottom, top, pts);
        out_ << "}\n";
      }
    }
    std::string id;
    const MaterialDef& def = material(w.material.view(), &id);
    out_ << "texture {" << id << '\n';
    if (def.texture_mode == 1) {
      out_ << "rotate -90*x\nrotate ";
      num(out_, -geom_angle(c[0].x, c[0].y, c[1].x, c[1].y) * 180.0 / GEOM_PI, 6);
      out_ << "*y\ntranslate ";
      xzy(out_, c[0], 12);
      out_ << '\n';
    } else if (def.texture_mode == 5 || def.texture_mode == 6) {
      out_ << "translate ";
      xzy(out_, centre_of(c, 8).mean, 12);
      out_ << '\n';
    }
    out_ << "}\n}\n";
  }

  void light(const LightElem& l) {
    auto one = [&](double r, double g, double b) {
      out_ << "light_source { ";
      xzy(out_, l.position, 12);
      out_ << " color rgb <";
      n12(out_, r);
      out_ << ", ";
      n12(out_, g);
      out_ << ", ";
      n12(out_, b);
      out_ << '>';
      if (l.type == LIGHT_SPOT) {
        out_ << " spotlight radius ";
        n12(out_, l.angle);
        out_ << " falloff ";
        n12(out_, 1.5 * l.angle);
        out_ << " tightness 10 point_at ";
        xzy(out_, l.target, 12);
      }
      if (l.light_size > 0.0) {
        out_ << " fade_distance ";
        n12(out_, l.light_size);
        out_ << " fade_power 1";
      }
    };
    const double i = l.shadow_intensity;
    if (l.shadow == 1 && i != 1.0) {
      // A shadow of less than full strength: the share i of the light
      // casts shadows, the rest lights the shadows.
      one(i * l.r, i * l.g, i * l.b);
      out_ << " }\n";
      one((1 - i) * l.r, (1 - i) * l.g, (1 - i) * l.b);
      out_ << "shadowless }\n";
    } else {
      one(l.r, l.g, l.b);
      if (l.shadow == 0) out_ << " shadowless";
      out_ << " }\n";
    }
  }

  OutText& out_;
  bool orthographic_;
  std::vector<std::string> ids_;
};

// The material of every marked mesh and wall in the table; false when the
// user cancelled a question about one.
bool register_marked_materials() {
  ElemHeader* it;
  for (ElemHeader* e = elem_first(&it); e; e = elem_next(&it)) {
    if (!e->mark) continue;
    if (const auto* m = elem_as<MeshElem>(e)) {
      if (!mat_register(m->material.view())) return false;
    } else if (const auto* w = elem_as<WallElem>(e)) {
      if (!mat_register(w->material.view())) return false;
    }
  }
  return true;
}

// The material table of one export, freed however the export ends.
class MaterialTableScope {
 public:
  MaterialTableScope() { mat_table_init(); }
  ~MaterialTableScope() { mat_table_free(); }
  MaterialTableScope(const MaterialTableScope&) = delete;
  MaterialTableScope& operator=(const MaterialTableScope&) = delete;
};

// A render whose picture is still to be looked for: the program's id, the
// names the picture may get (POV-Ray adds its format's suffix to a name
// without one), and when the picture that was there before it was written.
struct RenderWatch {
  int pid = 0;
  std::vector<std::string> names;
  std::vector<std::optional<timespec>> before;
};
std::vector<RenderWatch> render_watches;

std::optional<timespec> modified_at(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  return st.st_mtim;
}

bool same_time(const timespec& a, const timespec& b) {
  return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

// The names POV-Ray may write the picture of path under.
std::vector<std::string> picture_names(const std::string& path) {
  static constexpr const char* SUFFIX[7] = {".tga", ".tga", ".ppm", ".png", ".png", ".tga", ""};
  std::vector<std::string> names{path};
  const std::size_t slash = path.rfind('/');
  const std::size_t dot = path.rfind('.');
  const char* suffix = SUFFIX[std::clamp(pov_settings.output_format, 0, 6)];
  if ((dot == std::string::npos || (slash != std::string::npos && dot < slash)) && *suffix)
    names.push_back(path + suffix);
  return names;
}

// Why a picture cannot be written to path, empty when it can be.
std::string unwritable_because(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == 0 ? std::string("/") : path.substr(0, slash);
  struct stat st {};
  if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
    return nls_translate(nls_mark("The folder does not exist."));
  if (::stat(path.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return nls_translate("This is a folder, not a file.");
    if (::access(path.c_str(), W_OK) != 0)
      return nls_translate(nls_mark("You have no permission to write this file."));
  } else if (::access(folder.c_str(), W_OK) != 0) {
    return nls_translate(nls_mark("You have no permission to write in this folder."));
  }
  return {};
}

}  // namespace

std::string pov_image_path() {
  std::string name(pov_settings.output_file.view());
  if (name.empty()) name = "kavro.tga";
  if (name.front() == '/') return name;
  // A relative name lies beside the drawing, as a user looks for it; a
  // drawing without a name yet has the folder the program was started in.
  std::string folder = start_folder();
  const std::size_t slash = drawing_file.rfind('/');
  if (slash != std::string::npos) {
    const std::string drawing_folder = slash == 0 ? std::string("/") : drawing_file.substr(0, slash);
    folder = drawing_folder.front() == '/' ? drawing_folder : join(folder, drawing_folder);
  }
  return join(folder, name);
}

bool pov_render_check() {
  for (std::size_t i = 0; i < render_watches.size();) {
    const RenderWatch& w = render_watches[i];
    const std::optional<int> status = process_background_status(w.pid);
    if (!status) {
      ++i;
      continue;
    }
    std::string written;
    for (std::size_t k = 0; k < w.names.size() && written.empty(); ++k) {
      const std::optional<timespec> now = modified_at(w.names[k]);
      if (now && !(w.before[k] && same_time(*w.before[k], *now))) written = w.names[k];
    }
    if (!written.empty()) {
      const std::string text =
          std::string(nls_translate(nls_mark("The rendered picture is saved as:"))) + "\n" + written;
      ui().msgbox_message(nls_translate("Message"), text.c_str());
    } else {
      std::string text =
          std::string(nls_translate(nls_mark("POV-Ray did not write the picture:"))) + "\n" + w.names[0];
      const std::string why = unwritable_because(w.names[0]);
      if (!why.empty()) {
        text += "\n" + why;
      } else if (*status != 0) {
        std::string ended = nls_translate(nls_mark("POV-Ray ended with the status %d."));
        if (const std::size_t at = ended.find("%d"); at != std::string::npos)
          ended.replace(at, 2, std::to_string(*status));
        text += "\n" + ended;
      }
      ui().msgbox_error(text.c_str());
    }
    render_watches.erase(render_watches.begin() + static_cast<std::ptrdiff_t>(i));
  }
  return render_watches.empty();
}

std::vector<std::string> pov_identifiers() {
  std::vector<std::string> ids;
  auto taken = [&](const std::string& id) {
    if (std::find(ids.begin(), ids.end(), id) != ids.end()) return true;
    for (int i = 0; i < mat_count; ++i)
      if (mat_table[i].identifier == id) return true;
    return false;
  };
  for (int i = 0; i < mat_count; ++i) {
    const std::string id(mat_table[i].identifier.view());
    if (!pov_keyword(id)) {
      ids.push_back(id);
      continue;
    }
    std::string safe = "mat_" + id;
    for (int n = 2; taken(safe); ++n) safe = "mat_" + id + "_" + std::to_string(n);
    ids.push_back(safe);
  }
  return ids;
}

void pov_write_scene(OutText& out, bool orthographic) { SceneWriter(out, orthographic).write(); }

std::vector<std::string> pov_run_argv(const std::string& scene) {
  static constexpr std::array<std::array<const char*, 2>, 8> SIZES = {{{"+W160", "+H120"},
                                                                       {"+W320", "+H240"},
                                                                       {"+W640", "+H480"},
                                                                       {"+W800", "+H600"},
                                                                       {"+W1024", "+H768"},
                                                                       {"+W2048", "+H1536"},
                                                                       {"+W4096", "+H3072"},
                                                                       {"+W8192", "+H6144"}}};
  static constexpr const char* FORMATS[7] = {"+FC", "+FT", "+FP", "+FN16", "+FN8", "+FC", "+FS"};
  std::optional<std::vector<std::string>> words = process_split_command(pov_settings.command.c_str());
  const std::string input = option_path(scene);
  if (!words || words->empty() || input.empty()) return {};
  std::vector<std::string> argv = std::move(*words);
  argv.push_back("+I" + input);
  for (const char* a : {"+P", "+D0", "+X100", "-V", "+SP32", "+EP4"}) argv.emplace_back(a);
  const auto& size = SIZES[static_cast<std::size_t>(std::clamp(pov_settings.resolution, 0, 7))];
  argv.insert(argv.end(), size.begin(), size.end());
  if (pov_settings.save_image == 1) {
    const int format = std::clamp(pov_settings.output_format, 0, 6);
    argv.emplace_back(FORMATS[format]);
    if (format == 5) argv.emplace_back("+UA");
    const std::string output = option_path(pov_image_path());
    if (output.empty()) return {};
    argv.push_back("+O" + output);
  } else {
    argv.emplace_back("-F");
  }
  argv.emplace_back(pov_settings.quality == 0 ? "+Q2" : "+Q9");
  switch (pov_settings.antialias) {
    case 1:
      argv.insert(argv.end(), {"+R1", "+AM2", "+A0.3", "-J"});
      break;
    case 2:
      argv.insert(argv.end(), {"+R2", "+AM2", "+A0.1"});
      break;
    case 3:
      argv.insert(argv.end(), {"+R4", "+AM2", "+A0.1"});
      break;
    default:
      break;
  }
  return argv;
}

bool pov_run() {
  ProcessRequest request;
  request.argv = pov_run_argv(pov_render_scene_path());
  if (request.argv.empty()) {
    // Found before, so the command splits: a path holds a double quote.
    ui().msgbox_error(nls_translate("The image file name cannot hold a double quote."));
    return false;
  }
  // POV-Ray runs in the private folder, which its file-access rules let it
  // read and write; the program is looked up here, before it moves there.
  // A picture that cannot be written is said before the render, not after.
  RenderWatch watch;
  if (pov_settings.save_image == 1) {
    const std::string image = pov_image_path();
    if (const std::string why = unwritable_because(image); !why.empty()) {
      const std::string text =
          std::string(nls_translate(nls_mark("The rendered picture cannot be saved as:"))) + "\n" + image +
          "\n" + why;
      ui().msgbox_error(text.c_str());
      return false;
    }
    watch.names = picture_names(image);
    for (const std::string& n : watch.names) watch.before.push_back(modified_at(n));
  }
  request.argv[0] = process_find_program(request.argv[0]);
  request.working_dir = temp_folder();
  request.wait = false;
  const ProcessResult started = request.argv[0].empty() ? ProcessResult{} : process_start(request);
  if (!started.started) {
    ui().msgbox_error(not_found_text(pov_settings.command.view()).c_str());
    return false;
  }
  // The render runs on in the background; once it has ended the user is
  // told where the picture is, or that there is none.
  if (!watch.names.empty() && started.pid > 0) {
    watch.pid = started.pid;
    render_watches.push_back(std::move(watch));
    ui().poll_until(pov_render_check);
  }
  return true;
}

void pov_export(int mode) {
  const char* labels[] = {nls_translate("Perspective"), nls_translate("Orthographic"),
                          nls_translate("Cancel")};
  const int camera = ui().msgbox_ask(nls_translate("Camera type:"), 3, labels);
  if (camera != 1 && camera != 2) return;
  if (!pov_find_command()) return;
  // From here on every way out clears the marks: a mark left behind would
  // keep the element out of the next save.
  ExportMarks marks;
  std::string path;
  if (mode == 1) {
    if (!msgbox_ask_export_scope("POV")) return;
    path = export_choose_file(nls_translate("Export POV..."), ".pov");
    if (path.empty()) return;
  } else {
    ElemHeader* e;
    for (elem_first(&e); e; elem_next(&e))
      if (e->layer == cur_layer || layer_shown(e->layer)) e->mark = 1;
    // Without a light POV-Ray renders a black picture: say so first.
    bool lit = false;
    for (elem_first(&e); e && !lit; elem_next(&e)) lit = e->mark && e->kind == ELEM_LIGHT;
    if (!lit) {
      const char* answers[] = {nls_translate("OK"), nls_translate("Cancel")};
      if (ui().msgbox_ask(nls_translate(nls_mark("The scene has no light")), 2, answers) != 1) return;
    }
    path = pov_render_scene_path();
    if (path.empty()) {
      ui().msgbox_error(nls_translate("Cannot open file"));
      return;
    }
  }
  MaterialTableScope table;
  if (!register_marked_materials()) return;
  auto write = [camera](std::FILE* f) {
    ExportCoordinates limits(EXPORT_RENDER_LIMIT, "POV-Ray", false);
    FileOut out(f);
    pov_write_scene(out, camera == 2);
    out.flush();
    return out.ok();
  };
  if (mode == 1) {
    export_write_file(path, write);
    return;
  }
  FioSafeWriter file(path);
  if (!file.stream()) {
    ui().msgbox_error(nls_translate("Cannot open file"));
    return;
  }
  export_refused_clear();
  const bool written = write(file.stream());
  if (export_refusal_shown()) return;
  if (!(written && file.commit())) {
    ui().msgbox_error(nls_translate("Cannot write file"));
    return;
  }
  pov_run();
}

void pov_export_file() { pov_export(1); }
void pov_render() { pov_export(0); }
