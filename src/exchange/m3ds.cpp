#include "exchange/m3ds.h"

#include <lib3ds/file.h>
#include <lib3ds/io.h>
#include <lib3ds/material.h>
#include <lib3ds/mesh.h>
#include <lib3ds/node.h>
#include <lib3ds/vector.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "exchange/material_table.h"
#include "model/consts.h"
#include "model/triangulate.h"

void M3dsFileFree::operator()(Lib3dsFile* file) const { lib3ds_file_free(file); }

namespace {

// lib3ds reads through these from a byte buffer. A read past the end is
// short and from then on the buffer reports an error.
struct MemoryIn {
  std::string_view bytes;
  long pos = 0;
  bool failed = false;
};

Lib3dsBool memory_error(void* self) {
  return static_cast<MemoryIn*>(self)->failed ? LIB3DS_TRUE : LIB3DS_FALSE;
}

long memory_seek(void* self, long offset, Lib3dsIoSeek origin) {
  auto* in = static_cast<MemoryIn*>(self);
  const long size = static_cast<long>(in->bytes.size());
  const long base = origin == LIB3DS_SEEK_CUR ? in->pos : origin == LIB3DS_SEEK_END ? size : 0;
  long target = 0;
  if (__builtin_add_overflow(base, offset, &target) || target < 0) {
    in->failed = true;
    return -1;
  }
  in->pos = target;
  return 0;
}

long memory_tell(void* self) { return static_cast<MemoryIn*>(self)->pos; }

size_t memory_read(void* self, void* buffer, size_t size) {
  auto* in = static_cast<MemoryIn*>(self);
  const std::size_t total = in->bytes.size();
  const std::size_t at = static_cast<std::size_t>(in->pos);
  const std::size_t n = at >= total ? 0 : std::min(size, total - at);
  if (n > 0) std::memcpy(buffer, in->bytes.data() + at, n);
  in->pos += static_cast<long>(n);
  if (n < size) in->failed = true;
  return n;
}

size_t no_write(void*, const void*, size_t) { return 0; }

Lib3dsBool stream_error(void* self) {
  return std::ferror(static_cast<std::FILE*>(self)) ? LIB3DS_TRUE : LIB3DS_FALSE;
}

long stream_seek(void* self, long offset, Lib3dsIoSeek origin) {
  const int whence = origin == LIB3DS_SEEK_CUR ? SEEK_CUR : origin == LIB3DS_SEEK_END ? SEEK_END : SEEK_SET;
  return std::fseek(static_cast<std::FILE*>(self), offset, whence);
}

long stream_tell(void* self) { return std::ftell(static_cast<std::FILE*>(self)); }

size_t no_read(void*, void*, size_t) { return 0; }

size_t stream_write(void* self, const void* buffer, size_t size) {
  return std::fwrite(buffer, 1, size, static_cast<std::FILE*>(self));
}

struct IoFree {
  void operator()(Lib3dsIo* io) const { lib3ds_io_free(io); }
};
using IoPtr = std::unique_ptr<Lib3dsIo, IoFree>;

// A name field of lib3ds, which need not hold its terminator.
template <std::size_t N>
std::string_view field_text(const char (&field)[N]) {
  return std::string_view(field, strnlen(field, N));
}

template <std::size_t N>
void set_field(char (&field)[N], std::string_view text) {
  const std::size_t n = std::min(text.size(), N - 1);
  std::memcpy(field, text.data(), n);
  std::memset(field + n, 0, N - n);
}

// Material values of a file as preset values: 0..1, 0 for what is no number.
double unit_value(double v) { return std::isfinite(v) ? std::clamp(v, 0.0, 1.0) : 0.0; }

const Lib3dsMaterial* material_named(const Lib3dsFile& file, std::string_view name) {
  for (const Lib3dsMaterial* m = file.materials; m; m = m->next)
    if (field_text(m->name) == name) return m;
  return nullptr;
}

MaterialPreset preset_of(const Lib3dsMaterial& m, const MaterialPreset& base, std::string_view name) {
  MaterialPreset p = base;
  p.name = name;
  p.r = unit_value(m.diffuse[0]);
  p.g = unit_value(m.diffuse[1]);
  p.b = unit_value(m.diffuse[2]);
  p.transparency = unit_value(m.transparency);
  p.reflection = 0.0;
  p.highlight = unit_value(m.shininess);
  p.refraction = 0;
  p.metallic = 0;
  p.ambience = unit_value((static_cast<double>(m.ambient[0]) + m.ambient[1] + m.ambient[2]) / 3.0);
  return p;
}

// The face's material: its table entry's identifier, which is unique in
// the file even where two names give one mat_identifier.
std::string face_material(std::string_view name) {
  for (int i = 0; i < mat_count; ++i)
    if (mat_table[i].name == name) return std::string(mat_table[i].identifier.view());
  return mat_identifier(name);
}

// The chunk tree of a file: each chunk a 16-bit id and a 32-bit size that
// counts its 6 header bytes, little-endian. lib3ds trusts the sizes and
// counts it reads; a chunk reaching past the chunk that holds it, a point
// or face list longer than its chunk, or a material group naming a face
// that does not exist (lib3ds writes to that face) refuses the file here.
enum : uint16_t {
  CHUNK_MAIN = 0x4D4D,
  CHUNK_MLIB = 0x3DAA,
  CHUNK_CMAGIC = 0xC23D,
  CHUNK_MDATA = 0x3D3D,
  CHUNK_OBJECT = 0x4000,
  CHUNK_TRIANGLES = 0x4100,
  CHUNK_POINTS = 0x4110,
  CHUNK_FACES = 0x4120,
  CHUNK_FACE_MATERIAL = 0x4130,
};
constexpr int CHUNK_DEPTH_MAX = 8;
constexpr std::size_t NAME_FIELD = 64;

class ChunkCheck {
 public:
  explicit ChunkCheck(std::string_view bytes) : b_(bytes) {}

  bool file() const {
    uint16_t id = 0;
    std::size_t end = 0;
    if (!header(0, b_.size(), id, end)) return false;
    if (id != CHUNK_MAIN && id != CHUNK_MLIB && id != CHUNK_CMAGIC && id != CHUNK_MDATA) return false;
    return chunk(id, 6, end, 0, 0);
  }

 private:
  uint32_t u16(std::size_t at) const {
    return static_cast<uint8_t>(b_[at]) | static_cast<uint32_t>(static_cast<uint8_t>(b_[at + 1])) << 8;
  }
  uint32_t u32(std::size_t at) const { return u16(at) | u16(at + 2) << 16; }

  // The chunk at at, which must end by limit.
  bool header(std::size_t at, std::size_t limit, uint16_t& id, std::size_t& end) const {
    if (at > limit || limit - at < 6) return false;
    id = static_cast<uint16_t>(u16(at));
    const std::size_t size = u32(at + 2);
    if (size < 6 || size > limit - at) return false;
    end = at + size;
    return true;
  }

  // A name ended by its terminator inside the field and the chunk; the
  // position after it, 0 when there is none.
  std::size_t after_name(std::size_t at, std::size_t end) const {
    const std::size_t n = std::min(end - at, NAME_FIELD);
    const std::size_t nul = b_.substr(at, n).find('\0');
    return nul == std::string_view::npos ? 0 : at + nul + 1;
  }

  // The chunks filling [at, end) inside a chunk; faces is the face count of
  // an enclosing face list.
  bool children(std::size_t at, std::size_t end, int depth, uint32_t faces) const {
    if (depth > CHUNK_DEPTH_MAX) return false;
    while (at < end) {
      uint16_t id = 0;
      std::size_t chunk_end = 0;
      if (!header(at, end, id, chunk_end) || !chunk(id, at + 6, chunk_end, depth + 1, faces)) return false;
      at = chunk_end;
    }
    return true;
  }

  bool chunk(uint16_t id, std::size_t at, std::size_t end, int depth, uint32_t faces) const {
    switch (id) {
      case CHUNK_MAIN:
      case CHUNK_MLIB:
      case CHUNK_CMAGIC:
      case CHUNK_MDATA:
      case CHUNK_TRIANGLES:
        return children(at, end, depth, 0);
      case CHUNK_OBJECT: {
        const std::size_t next = after_name(at, end);
        return next != 0 && children(next, end, depth, 0);
      }
      case CHUNK_POINTS:
        return end - at >= 2 && (end - at - 2) / 12 >= u16(at);
      case CHUNK_FACES: {
        if (end - at < 2) return false;
        const uint32_t n = u16(at);
        if ((end - at - 2) / 8 < n) return false;
        return children(at + 2 + 8 * std::size_t{n}, end, depth, n);
      }
      case CHUNK_FACE_MATERIAL: {
        const std::size_t next = after_name(at, end);
        if (next == 0 || end - next < 2) return false;
        const uint32_t n = u16(next);
        if ((end - next - 2) / 2 < n) return false;
        for (uint32_t i = 0; i < n; ++i)
          if (u16(next + 2 + 2 * i) >= faces) return false;
        return true;
      }
      default:
        return true;
    }
  }

  std::string_view b_;
};

// Most readers build their scene from the key-frame nodes and know an
// object only by its node: one node per mesh, named like it, at rest.
void add_object_node(Lib3dsFile* file, const char* name, Lib3dsWord id) {
  Lib3dsNode* node = lib3ds_node_new_object();
  if (!node) return;
  node->node_id = id;
  node->parent_id = LIB3DS_NO_PARENT;
  set_field(node->name, name);
  lib3ds_file_insert_node(file, node);
}

}  // namespace

M3dsFilePtr m3ds_read(std::string_view bytes) {
  if (!ChunkCheck(bytes).file()) return nullptr;
  MemoryIn in{bytes};
  IoPtr io(lib3ds_io_new(&in, memory_error, memory_seek, memory_tell, memory_read, no_write));
  M3dsFilePtr file(lib3ds_file_new());
  if (!io || !file) return nullptr;
  if (!lib3ds_file_read(file.get(), io.get())) return nullptr;
  return file;
}

bool m3ds_write(Lib3dsFile* file, std::FILE* out) {
  IoPtr io(lib3ds_io_new(out, stream_error, stream_seek, stream_tell, no_read, stream_write));
  if (!io) return false;
  return lib3ds_file_write(file, io.get()) && std::fflush(out) == 0 && !std::ferror(out);
}

std::string m3ds_material_name(std::string_view mesh_name) {
  std::string name = "3ds_";
  for (std::size_t i = 0; i < mesh_name.size(); ++i) {
    const auto c = static_cast<unsigned char>(mesh_name[i]);
    const bool unsafe = c == '/' || c < 0x20 || c == 0x7f || (i == 0 && c == '.');
    name += unsafe ? '_' : static_cast<char>(c);
  }
  name.resize(std::min(name.size(), static_cast<std::size_t>(MATERIAL_NAME_LEN - 1)));
  return name;
}

M3dsImport m3ds_import_objects(const Lib3dsFile& file, const MaterialPreset& base) {
  M3dsImport out;
  for (const Lib3dsMesh* m = file.meshes; m; m = m->next) {
    const std::string_view name = field_text(m->name);
    const long points = m->pointL ? static_cast<long>(m->points) : 0;
    const long faces = m->faceL ? static_cast<long>(m->faces) : 0;
    out.log +=
        "name = " + std::string(name) + " np=" + std::to_string(points) + " nf=" + std::to_string(faces);

    M3dsObject obj;
    obj.vertices.resize(static_cast<std::size_t>(points));
    std::vector<bool> usable(obj.vertices.size(), false);
    for (long i = 0; i < points; ++i) {
      const Lib3dsVector& p = m->pointL[i].pos;
      if (!std::isfinite(p[0]) || !std::isfinite(p[1]) || !std::isfinite(p[2])) continue;
      obj.vertices[i] = Point3{p[0], p[1], p[2], 0};
      usable[i] = true;
    }
    long dropped = 0;
    for (long k = 0; k < faces; ++k) {
      const Lib3dsWord* f = m->faceL[k].points;
      if (f[0] >= points || f[1] >= points || f[2] >= points || !usable[f[0]] || !usable[f[1]] ||
          !usable[f[2]]) {
        ++dropped;
        continue;
      }
      obj.indices.insert(obj.indices.end(), {f[2], f[1], f[0]});
    }
    if (dropped > 0) out.log += " dropped=" + std::to_string(dropped);
    out.log += '\n';
    if (obj.indices.empty() || points < 3) continue;

    obj.material = m3ds_material_name(name);
    if (const Lib3dsMaterial* mat = material_named(file, name))
      obj.preset = preset_of(*mat, base, obj.material);
    out.objects.push_back(std::move(obj));
  }
  return out;
}

std::vector<M3dsTriangles> m3ds_triangulate(const std::vector<const MeshElem*>& meshes) {
  std::vector<M3dsTriangles> out;
  out.reserve(meshes.size());
  for (const MeshElem* m : meshes) {
    M3dsTriangles t;
    t.material = face_material(m->material.view());
    t.vertices = m->vertices;
    FaceList* faces = tri_faces_new(m);
    tri_triangulate_faces(faces, 1);
    t.triangles.reserve(static_cast<std::size_t>(faces->triangle_count));
    for (int32_t k = 0; k < faces->triangle_count; ++k)
      t.triangles.push_back({faces->t0[k], faces->t1[k], faces->t2[k]});
    tri_faces_free(faces);
    out.push_back(std::move(t));
  }
  return out;
}

bool m3ds_fits(const M3dsTriangles& mesh) {
  return mesh.vertices.size() <= M3DS_MAX_COUNT && mesh.triangles.size() <= M3DS_MAX_COUNT;
}

M3dsFilePtr m3ds_export_file(const std::vector<M3dsTriangles>& meshes, std::string& log) {
  M3dsFilePtr file(lib3ds_file_new());
  if (!file) return nullptr;
  set_field(file->name, "Kavro3DS");
  file->master_scale = 1.0f;
  for (float& c : file->ambient) c = 0.5f;
  file->background.solid.use = LIB3DS_TRUE;
  file->background.solid.col[0] = 0.3f;
  file->background.solid.col[1] = 0.3f;
  file->background.solid.col[2] = 0.5f;

  for (int i = 0; i < mat_count; ++i) {
    const MaterialDef& d = mat_table[i];
    Lib3dsMaterial* m = lib3ds_material_new();
    if (!m) continue;
    set_field(m->name, d.identifier.view());
    const float rgb[3] = {static_cast<float>(d.r), static_cast<float>(d.g), static_cast<float>(d.b)};
    for (int c = 0; c < 3; ++c) {
      m->diffuse[c] = rgb[c];
      m->ambient[c] = static_cast<float>(d.ambience);
      m->specular[c] = static_cast<float>(d.reflection);
    }
    m->shininess = static_cast<float>(d.highlight);
    m->transparency = static_cast<float>(d.transparency);
    lib3ds_file_insert_material(file.get(), m);
  }

  int n = 0;
  Lib3dsWord node_id = 0;
  for (const M3dsTriangles& t : meshes) {
    char name[32];
    std::snprintf(name, sizeof name, "KAVRO_ob3_%d", n++);
    // A mesh without triangles would be a mesh of loose points.
    if (t.triangles.empty()) continue;
    Lib3dsMesh* mesh = lib3ds_mesh_new(name);
    if (!mesh) continue;
    if (!lib3ds_mesh_new_point_list(mesh, static_cast<Lib3dsDword>(t.vertices.size()))) {
      log += "lib3ds error: new_point_list\n";
      lib3ds_mesh_free(mesh);
      continue;
    }
    for (std::size_t i = 0; i < t.vertices.size(); ++i) {
      const Point3& p = t.vertices[i];
      Lib3dsVector v = {static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z)};
      lib3ds_vector_copy(mesh->pointL[i].pos, v);
    }
    if (!lib3ds_mesh_new_face_list(mesh, static_cast<Lib3dsDword>(t.triangles.size()))) {
      log += "lib3ds error: new_face_list\n";
      lib3ds_mesh_free(mesh);
      continue;
    }
    for (std::size_t k = 0; k < t.triangles.size(); ++k) {
      Lib3dsFace& f = mesh->faceL[k];
      const std::array<int32_t, 3>& tri = t.triangles[k];
      f.points[0] = static_cast<Lib3dsWord>(tri[2]);
      f.points[1] = static_cast<Lib3dsWord>(tri[1]);
      f.points[2] = static_cast<Lib3dsWord>(tri[0]);
      set_field(f.material, t.material);
    }
    lib3ds_file_insert_mesh(file.get(), mesh);
    add_object_node(file.get(), name, node_id++);
  }
  return file;
}
