#include "exchange/rad_writer.h"

#include <algorithm>
#include <cstdio>

#include "exchange/export_check.h"
#include "exchange/out_text.h"

namespace {

int clamp_index(int v, int last) { return std::clamp(v, 0, last); }

std::string number(double v, int decimals) {
  StringOut s;
  s.fixed(v, decimals);
  return s.text();
}

bool has_blank(const std::string& s) { return s.find_first_of(" \t\n\r\f\v") != std::string::npos; }

// The four orientation words of the picture pattern by texture mode. The
// default, spherical and cylindrical modes lie the picture flat like the
// z projection: the pattern always announces four words.
const char* orientation(int texture_mode) {
  switch (texture_mode) {
    case 2:
      return "-rx 90 -rz 90";
    case 3:
      return "-rx 90 -rz 0";
    default:
      return "-rx 0 -rz 0";
  }
}

}  // namespace

std::string rad_texture_dir() {
  std::string dir = base_dir.c_str();
  if (!dir.empty() && dir.back() != '/') dir += '/';
  return dir + "tex/";
}

void rad_write_material(OutText& out, const MaterialDef& m, const std::string& texture_dir) {
  const std::string id = m.identifier.c_str();
  std::string modifier = "void";
  if (m.texture_mode != 0) {
    const std::string picture = texture_dir + m.image_file.c_str();
    // A word with a blank in it would split into two arguments and leave
    // the pattern's count wrong; such a material goes untextured.
    if (m.image_file.empty() || has_blank(picture)) {
      std::printf("Radiance: texture of %s left out: \"%s\"\n", id.c_str(), picture.c_str());
    } else {
      out << "void colorpict " << id << "_pattern\n";
      out << "17 clip_r clip_g clip_b " << picture << " picture.cal "
          << (m.repeat == 1 ? "tile_u tile_v" : "pic_u pic_v") << " -s ";
      out.fixed(export_coordinate(m.size_x), 6) << " -t ";
      out.fixed(export_coordinate(m.offset_x), 6) << ' ';
      out.fixed(export_coordinate(m.offset_y), 6) << " 0.0 " << orientation(m.texture_mode) << " 0\n";
      out << "1 1\n\n";
      modifier = id + "_pattern\n";
    }
  }
  const double t = m.transparency;
  if (m.refraction == 1) {
    out << modifier << " glass " << id << "\n0\n0\n3 ";
    out.f2(t + (1.0 - t) * m.r) << ' ';
    out.f2(t + (1.0 - t) * m.g) << ' ';
    out.f2(t + (1.0 - t) * m.b) << "\n\n";
  }
  if (m.metallic == 1) {
    out << modifier << " metal " << id << "\n0\n0\n5 ";
    out.f2(m.r) << ' ';
    out.f2(m.g) << ' ';
    out.f2(m.b) << ' ';
    out.f2(0.5 + 0.5 * m.reflection) << ' ';
    out.f2(0.5 - 0.5 * m.highlight) << "\n\n";
  }
  if (m.refraction == 1 || m.metallic == 1) {
    out << "\n";
    return;
  }
  if (t > 0.0) {
    out << modifier << " trans " << id << "\n0\n0\n7 ";
    for (double v : {m.r, m.g, m.b, 0.2 * m.reflection, 0.5 - 0.5 * m.highlight, t, m.highlight})
      out.f2(v) << ' ';
    out << "\n\n\n";
    return;
  }
  out << modifier << " plastic " << id << "\n0\n0\n5 ";
  out.f2(m.r) << ' ';
  out.f2(m.g) << ' ';
  out.f2(m.b) << ' ';
  out.f2(0.2 * m.reflection) << ' ';
  out.f2(0.5 - 0.5 * m.highlight) << "\n\n\n";
}

bool rad_write_material(std::FILE* f, const MaterialDef& m) {
  FileOut out(f);
  rad_write_material(out, m, rad_texture_dir());
  out.flush();
  return out.ok() && !std::ferror(f);
}

void rad_write_sky_glow(OutText& out) {
  out << "skyfunc glow skyglow\n0\n0\n4 .986 .986 1.205 0\n"
         "skyfunc glow groundglow\n0\n0\n4 .2 .2 .2 0\n"
         "skyglow source sky\n0\n0\n4 0 0 1 180\n"
         "groundglow source ground\n0\n0\n4 0 0 -1 180\n";
}

void rad_write_light(OutText& out, int n, const LightElem& light) {
  const double power = export_coordinate(30.0 * light.light_size * light.light_size);
  out << "void light bright.";
  out.integer(n) << "\n0\n0\n3 ";
  out.fixed(power * light.r, 6) << ' ';
  out.fixed(power * light.g, 6) << ' ';
  out.fixed(power * light.b, 6) << "\n\n";
  out << "bright.";
  out.integer(n) << " sphere lamp.";
  out.integer(n) << "\n0\n0\n4 ";
  out.fixed(export_coordinate(light.position.x), 4) << ' ';
  out.fixed(export_coordinate(light.position.y), 4) << ' ';
  out.fixed(export_coordinate(light.position.z), 4) << " 0.1\n\n";
}

void rad_write_polygons(OutText& out, const MeshElem& mesh, const std::string& material, int* next) {
  const std::size_t vertex_count = mesh.vertices.size();
  std::size_t first = 0;
  for (const int32_t size : mesh.face_sizes) {
    const std::size_t n = size > 0 ? static_cast<std::size_t>(size) : 0;
    const std::size_t end = std::min(first + n, mesh.indices.size());
    bool whole = n >= 3 && first + n <= mesh.indices.size();
    for (std::size_t i = first; whole && i < end; ++i)
      whole = mesh.indices[i] >= 0 && static_cast<std::size_t>(mesh.indices[i]) < vertex_count;
    if (whole) {
      out << material << " polygon poly.";
      out.integer((*next)++) << "\n0\n0\n";
      out.integer(3 * static_cast<long long>(n)) << "\n";
      for (std::size_t i = first; i < end; ++i) {
        const Point3& p = mesh.vertices[static_cast<std::size_t>(mesh.indices[i])];
        out.fixed(export_coordinate(p.x), 8) << ' ';
        out.fixed(export_coordinate(p.y), 8) << ' ';
        out.fixed(export_coordinate(p.z), 8) << "\n";
      }
      out << "\n";
    }
    first += n;
  }
}

void rad_write_rif(OutText& out, const RadJob& job) {
  const RadSettings& s = job.settings;
  const ViewCamera& c = job.camera;
  out << "OCTREE= kavro.oct\n";
  out << (job.view_type == RAD_VIEW_LINEAR ? "view= a -vtl -vp " : "view= a -vp ");
  out.f2(c.eye_x) << ' ';
  out.f2(c.eye_y) << ' ';
  out.f2(c.eye_z) << " -vd ";
  out.f2(c.target_x - c.eye_x) << ' ';
  out.f2(c.target_y - c.eye_y) << ' ';
  out.f2(c.target_z - c.eye_z) << " -vh ";
  out.f2(c.view_angle) << " -vv ";
  out.f2(0.75 * c.view_angle) << "\n";
  out << (s.scene == 1 ? "ZONE= E " : "ZONE= I ");
  const RadZone& z = job.zone;
  out.f2(z.xmin) << ' ';
  out.f2(z.xmax) << ' ';
  out.f2(z.ymin) << ' ';
  out.f2(z.ymax) << ' ';
  out.f2(z.zmin) << ' ';
  out.f2(z.zmax) << "\n";
  out << "AMBFILE=kavro.amb\n";
  out << "REPORT= 0.1666\n";
  static const char* const resolutions[] = {"160 120",  "320 240",   "640 480",   "800 600",
                                            "1024 768", "2048 1536", "4096 3072", "8192 6144"};
  out << "RESOLUTION= " << resolutions[clamp_index(s.resolution, 7)] << " 0\n";
  static const char* const levels[] = {"LOW", "MEDIUM", "HIGH"};
  out << "QUALITY= " << levels[clamp_index(s.quality, 2)] << "\n";
  if (s.shadows == 1) out << "PENUMBRAS= TRUE\n";
  out << "INDIRECT= ";
  out.integer(clamp_index(s.indirect, 2)) << "\n";
  out << "DETAIL= " << levels[clamp_index(s.detail, 2)] << "\n";
  out << "VARIABILITY= " << levels[clamp_index(s.variability, 2)] << "\n";
  if (job.mode == 1) {
    out << "PICTURE= kavro\n";
    out << "render= -ab 2 -ad 4 -Dc on\n";
    out << "pfilt= -1 -b -x /2 -y /2\n";
  }
}

std::vector<std::string> rad_gensky_argv(const RadSettings& settings) {
  static const char* const skies[] = {"+s", "-s", "+i", "-i", "-c", "-u"};
  if (settings.sky < 1 || settings.sky > 6) return {};
  return {"gensky",
          "7",
          "1",
          number(settings.time, 0) + ":00",
          "-a",
          number(settings.latitude, 0),
          skies[settings.sky - 1]};
}
