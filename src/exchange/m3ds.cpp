#include "exchange/m3ds.h"

#include <lib3ds/chunk.h>
#include <lib3ds/file.h>
#include <lib3ds/io.h>
#include <lib3ds/material.h>
#include <lib3ds/mesh.h>
#include <lib3ds/node.h>
#include <lib3ds/vector.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <utility>

#include "exchange/export_check.h"
#include "exchange/material_table.h"
#include "model/consts.h"
#include "model/import_range.h"
#include "model/nls.h"
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
// counts its 6 header bytes, little-endian. lib3ds trusts what it reads: it
// steps through a chunk's children by their sizes (a size below 6 never
// ends), takes the points a face names for its normal and writes to the
// faces a material group names. So lib3ds reads a checked copy:
//  - a chunk reaching past the chunk holding it, or a point or face list
//    longer than its chunk, refuses the file;
//  - a face naming a point the mesh does not have becomes (0, 0, 0), which
//    the conversion drops;
//  - every chunk the import does not read (key frames, lights, cameras,
//    views, texture maps ...), a face list before any points and a
//    material group naming a face that does not exist get an id no reader
//    knows, so lib3ds passes over them.
constexpr uint16_t CHUNK_SKIPPED = 0xFFFF;
// The import looks at its progress after about this many bytes of meshes.
constexpr std::size_t PROGRESS_BYTES = std::size_t{1} << 20;  // an id 0 would end the list instead
constexpr int CHUNK_DEPTH_MAX = 8;
constexpr std::size_t NAME_FIELD = 64;

class ChunkRepair {
 public:
  explicit ChunkRepair(std::string& bytes) : b_(bytes) {}

  // NONE when the file can be read as chunks.
  M3dsError file() {
    if (b_.empty()) return M3dsError::EMPTY;
    std::size_t length = 0;
    M3dsError e = m3ds_check_head(b_, b_.size(), length);
    if (e != M3dsError::NONE) return e;
    const uint16_t id = static_cast<uint16_t>(u16(0));
    if (!chunk(0, id, length, 0, In::FILE)) return error_;
    return M3dsError::NONE;
  }

 private:
  // Where a chunk stands: the kind of chunk holding it.
  enum class In { FILE, MAIN, MDATA, MATERIAL, COLOUR, PERCENT, OBJECT, TRIANGLES, FACES };

  uint32_t u16(std::size_t at) const {
    return static_cast<uint8_t>(b_[at]) | static_cast<uint32_t>(static_cast<uint8_t>(b_[at + 1])) << 8;
  }
  uint32_t u32(std::size_t at) const { return u16(at) | u16(at + 2) << 16; }
  void set_u16(std::size_t at, uint32_t v) {
    b_[at] = static_cast<char>(v & 0xff);
    b_[at + 1] = static_cast<char>(v >> 8 & 0xff);
  }
  bool fail(M3dsError e) {
    error_ = e;
    return false;
  }

  // The chunk at at, which must end by limit, the end of the chunk holding
  // it. That chunk lies inside the file (a file cut short is told by its
  // main chunk), so reaching past it is damage.
  bool header(std::size_t at, std::size_t limit, uint16_t& id, std::size_t& end) {
    if (at > limit || limit - at < 6) return fail(M3dsError::OUTSIDE);
    id = static_cast<uint16_t>(u16(at));
    const std::size_t size = u32(at + 2);
    if (size < 6) return fail(M3dsError::BAD_SIZE);
    if (size > limit - at) return fail(M3dsError::OUTSIDE);
    end = at + size;
    return true;
  }

  // A name ended by its terminator inside the field and the chunk; the
  // position after it, 0 when there is none.
  std::size_t after_name(std::size_t at, std::size_t end) const {
    const std::size_t n = std::min(end - at, NAME_FIELD);
    const std::size_t nul = std::string_view(b_).substr(at, n).find('\0');
    return nul == std::string_view::npos ? 0 : at + nul + 1;
  }

  // The chunks filling [at, end) inside a chunk of the kind in.
  bool children(std::size_t at, std::size_t end, int depth, In in) {
    if (depth > CHUNK_DEPTH_MAX) return fail(M3dsError::TOO_DEEP);
    while (at < end) {
      uint16_t id = 0;
      std::size_t chunk_end = 0;
      if (!header(at, end, id, chunk_end) || !chunk(at, id, chunk_end, depth + 1, in)) return false;
      at = chunk_end;
    }
    return true;
  }

  // Checks (and where needed mends) the chunk [start, end); false refuses
  // the file.
  bool chunk(std::size_t start, uint16_t id, std::size_t end, int depth, In in) {
    const std::size_t at = start + 6;
    const std::size_t size = end - at;
    switch (in) {
      case In::FILE:
        if (id == LIB3DS_M3DMAGIC || id == LIB3DS_MLIBMAGIC || id == LIB3DS_CMAGIC)
          return children(at, end, depth, In::MAIN);
        return children(at, end, depth, In::MDATA);
      case In::MAIN:
        if (id == LIB3DS_MDATA) return children(at, end, depth, In::MDATA);
        break;
      case In::MDATA:
        if (id == LIB3DS_MAT_ENTRY) return children(at, end, depth, In::MATERIAL);
        if (id == LIB3DS_NAMED_OBJECT) {
          const std::size_t next = after_name(at, end);
          if (next != 0) return children(next, end, depth, In::OBJECT);
        }
        break;
      case In::MATERIAL:
        if (id == LIB3DS_MAT_NAME && after_name(at, end) != 0) return true;
        if (id == LIB3DS_MAT_AMBIENT || id == LIB3DS_MAT_DIFFUSE || id == LIB3DS_MAT_SPECULAR)
          return children(at, end, depth, In::COLOUR);
        if (id == LIB3DS_MAT_SHININESS || id == LIB3DS_MAT_TRANSPARENCY)
          return children(at, end, depth, In::PERCENT);
        break;
      case In::COLOUR:
        if ((id == LIB3DS_COLOR_F || id == LIB3DS_LIN_COLOR_F) && size >= 12) return true;
        if ((id == LIB3DS_COLOR_24 || id == LIB3DS_LIN_COLOR_24) && size >= 3) return true;
        break;
      case In::PERCENT:
        if ((id == LIB3DS_INT_PERCENTAGE && size >= 2) || (id == LIB3DS_FLOAT_PERCENTAGE && size >= 4))
          return true;
        break;
      case In::OBJECT:
        if (id == LIB3DS_N_TRI_OBJECT) {
          points_ = 0;
          face_lists_.clear();
          if (!children(at, end, depth, In::TRIANGLES)) return false;
          mend_faces();
          return true;
        }
        break;
      case In::TRIANGLES:
        if (id == LIB3DS_POINT_ARRAY) {
          if (size < 2 || (size - 2) / 12 < u16(at)) return fail(M3dsError::BAD_COUNT);
          points_ = u16(at);
          return true;
        }
        if (id == LIB3DS_FACE_ARRAY) {
          if (size < 2 || (size - 2) / 8 < u16(at)) return fail(M3dsError::BAD_COUNT);
          faces_ = u16(at);
          if (faces_ > 0 && points_ == 0) break;
          face_lists_.push_back(start);
          return children(at + 2 + 8 * std::size_t{faces_}, end, depth, In::FACES);
        }
        break;
      case In::FACES:
        if (id == LIB3DS_MSH_MAT_GROUP) {
          const std::size_t next = after_name(at, end);
          bool usable = next != 0 && end - next >= 2 && (end - next - 2) / 2 >= u16(next);
          for (uint32_t i = 0; usable && i < u16(next); ++i) usable = u16(next + 2 + 2 * i) < faces_;
          if (usable) return true;
        }
        break;
    }
    set_u16(start, CHUNK_SKIPPED);
    return true;
  }

  // lib3ds takes the points of every face for its normal once the whole
  // mesh is read, from the last point list: a later list of fewer points
  // (or none) must not leave a face naming what is gone. A face naming a
  // missing point becomes (0, 0, 0); without points the lists are passed
  // over.
  void mend_faces() {
    for (const std::size_t start : face_lists_) {
      if (points_ == 0) {
        set_u16(start, CHUNK_SKIPPED);
        continue;
      }
      const std::size_t at = start + 6;
      const uint32_t faces = u16(at);
      for (uint32_t k = 0; k < faces; ++k) {
        const std::size_t face = at + 2 + 8 * std::size_t{k};
        if (u16(face) >= points_ || u16(face + 2) >= points_ || u16(face + 4) >= points_)
          for (int c = 0; c < 3; ++c) set_u16(face + 2 * c, 0);
      }
    }
  }

  std::string& b_;
  M3dsError error_ = M3dsError::NONE;
  std::vector<std::size_t> face_lists_;  // where the mesh's face list chunks start
  uint32_t points_ = 0;                  // of the mesh being read
  uint32_t faces_ = 0;                   // of the face list being read
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

const char* m3ds_error_text(M3dsError error) {
  switch (error) {
    case M3dsError::NONE:
      break;
    case M3dsError::EMPTY:
      return nls_mark("The file is empty.");
    case M3dsError::NOT_3DS:
      return nls_mark("This is not a 3DS file.");
    case M3dsError::CUT_SHORT:
      return nls_mark("The file is cut short.");
    case M3dsError::TOO_LARGE:
      return nls_mark("The file is larger than a 3DS file can be.");
    case M3dsError::BAD_SIZE:
      return nls_mark("The file is damaged: a chunk is smaller than its header.");
    case M3dsError::OUTSIDE:
      return nls_mark("The file is damaged: a chunk reaches past the chunk holding it.");
    case M3dsError::BAD_COUNT:
      return nls_mark("The file is damaged: a point or face list is longer than its chunk.");
    case M3dsError::TOO_DEEP:
      return nls_mark("The file is damaged: its chunks are nested deeper than a 3DS file allows.");
    case M3dsError::REFUSED:
      return nls_mark("The 3DS reader refused the file.");
    case M3dsError::CANCELLED:
      return nls_mark("Import cancelled.");
  }
  return "";
}

M3dsError m3ds_check_head(std::string_view head, uint64_t file_size, std::size_t& length) {
  length = 0;
  if (file_size == 0 || head.empty()) return M3dsError::EMPTY;
  if (file_size > UINT32_MAX) return M3dsError::TOO_LARGE;
  if (head.size() < 2) return M3dsError::NOT_3DS;
  const auto byte = [head](std::size_t i) { return static_cast<uint32_t>(static_cast<uint8_t>(head[i])); };
  const uint32_t id = byte(0) | byte(1) << 8;
  if (id != LIB3DS_M3DMAGIC && id != LIB3DS_MLIBMAGIC && id != LIB3DS_CMAGIC && id != LIB3DS_MDATA)
    return M3dsError::NOT_3DS;
  if (head.size() < 6 || file_size < 6) return M3dsError::CUT_SHORT;
  const uint32_t size = byte(2) | byte(3) << 8 | byte(4) << 16 | byte(5) << 24;
  if (size < 6) return M3dsError::BAD_SIZE;
  if (size > file_size) return M3dsError::CUT_SHORT;
  length = size;
  return M3dsError::NONE;
}

M3dsFilePtr m3ds_read(std::string_view bytes, M3dsError* error) {
  M3dsError local = M3dsError::NONE;
  M3dsError& e = error ? *error : local;
  std::string repaired(bytes);
  e = ChunkRepair(repaired).file();
  if (e != M3dsError::NONE) return nullptr;
  e = M3dsError::REFUSED;
  MemoryIn in{repaired};
  IoPtr io(lib3ds_io_new(&in, memory_error, memory_seek, memory_tell, memory_read, no_write));
  M3dsFilePtr file(lib3ds_file_new());
  if (!io || !file) return nullptr;
  if (!lib3ds_file_read(file.get(), io.get())) return nullptr;
  e = M3dsError::NONE;
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

namespace {

// One mesh as an object, with its line for the log; no object when it is
// left without faces or has fewer than 3 points.
std::optional<M3dsObject> convert_mesh(const Lib3dsMesh& m, const Lib3dsFile& materials,
                                       const MaterialPreset& base, std::string& log, M3dsImport& counts) {
  const std::string_view name = field_text(m.name);
  const long points = m.pointL ? static_cast<long>(m.points) : 0;
  const long faces = m.faceL ? static_cast<long>(m.faces) : 0;
  log += "name = " + std::string(name) + " np=" + std::to_string(points) + " nf=" + std::to_string(faces);

  // Points that are no finite position are left out of the mesh, not kept
  // as (0, 0, 0): the others move up into their places.
  M3dsObject obj;
  obj.vertices.reserve(static_cast<std::size_t>(points));
  std::vector<int32_t> place(static_cast<std::size_t>(points), -1);
  for (long i = 0; i < points; ++i) {
    const Lib3dsVector& p = m.pointL[i].pos;
    if (!import_in_range(p[0]) || !import_in_range(p[1]) || !import_in_range(p[2])) {
      ++counts.dropped_points;
      continue;
    }
    place[static_cast<std::size_t>(i)] = static_cast<int32_t>(obj.vertices.size());
    obj.vertices.push_back(Point3{p[0], p[1], p[2], 0});
  }
  long dropped = 0;
  obj.indices.reserve(static_cast<std::size_t>(3 * faces));
  for (long k = 0; k < faces; ++k) {
    const Lib3dsWord* f = m.faceL[k].points;
    if (f[0] >= points || f[1] >= points || f[2] >= points || place[f[0]] < 0 || place[f[1]] < 0 ||
        place[f[2]] < 0 || f[0] == f[1] || f[1] == f[2] || f[2] == f[0]) {
      ++dropped;
      continue;
    }
    obj.indices.insert(obj.indices.end(), {place[f[2]], place[f[1]], place[f[0]]});
  }
  counts.dropped_faces += dropped;
  if (faces == 0 && points > 0) ++counts.faceless_meshes;
  if (dropped > 0) log += " dropped=" + std::to_string(dropped);
  log += '\n';
  if (obj.indices.empty() || obj.vertices.size() < 3) return std::nullopt;

  obj.material = m3ds_material_name(name);
  if (const Lib3dsMaterial* mat = material_named(materials, name))
    obj.preset = preset_of(*mat, base, obj.material);
  return obj;
}

}  // namespace

M3dsImport m3ds_import_objects(const Lib3dsFile& file, const MaterialPreset& base) {
  M3dsImport out;
  for (const Lib3dsMesh* m = file.meshes; m; m = m->next)
    if (std::optional<M3dsObject> obj = convert_mesh(*m, file, base, out.log, out))
      out.objects.push_back(std::move(*obj));
  return out;
}

M3dsError m3ds_import_bytes(std::string bytes, const MaterialPreset& base, M3dsImport& out,
                            const std::function<bool(double)>& progress) {
  out = M3dsImport{};
  M3dsError e = ChunkRepair(bytes).file();
  if (e != M3dsError::NONE) return e;
  MemoryIn in{bytes};
  IoPtr io(lib3ds_io_new(&in, memory_error, memory_seek, memory_tell, memory_read, no_write));
  M3dsFilePtr materials(lib3ds_file_new());
  if (!io || !materials) return M3dsError::REFUSED;

  // The checked chunk tree is walked as lib3ds walks it; every chunk the
  // import does not read has an id no reader knows by now.
  const auto u16 = [&bytes](std::size_t at) {
    return static_cast<uint32_t>(static_cast<uint8_t>(bytes[at]) |
                                 static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 1])) << 8);
  };
  const auto chunk_end = [&u16](std::size_t at) { return at + (u16(at + 2) | u16(at + 4) << 16); };
  std::vector<std::pair<std::size_t, std::size_t>> mdata;  // the contents of the MDATA chunks
  const uint32_t top = u16(0);
  if (top == LIB3DS_MDATA) {
    mdata.emplace_back(6, chunk_end(0));
  } else {
    for (std::size_t at = 6, end = chunk_end(0); at < end; at = chunk_end(at))
      if (u16(at) == LIB3DS_MDATA) mdata.emplace_back(at + 6, chunk_end(at));
  }
  // Materials first: a mesh finds its material wherever it stands.
  for (const auto& [from, to] : mdata) {
    for (std::size_t at = from; at < to; at = chunk_end(at)) {
      if (u16(at) != LIB3DS_MAT_ENTRY) continue;
      in.pos = static_cast<long>(at);
      Lib3dsMaterial* m = lib3ds_material_new();
      if (!m) return M3dsError::REFUSED;
      if (!lib3ds_material_read(m, io.get())) {
        lib3ds_material_free(m);
        return M3dsError::REFUSED;
      }
      lib3ds_file_insert_material(materials.get(), m);
    }
  }
  // Then one mesh at a time: read by lib3ds, converted, freed. lib3ds keeps
  // its meshes sorted by name, later ones of a name after earlier ones; the
  // objects and their lines follow that order.
  struct Read {
    std::string name;
    std::string log;
    std::optional<M3dsObject> object;
  };
  std::vector<Read> read;
  std::size_t reported = 0;
  for (const auto& [from, to] : mdata) {
    for (std::size_t at = from; at < to; at = chunk_end(at)) {
      if (u16(at) != LIB3DS_NAMED_OBJECT) continue;
      const std::size_t end = chunk_end(at);
      const std::size_t name_at = at + 6;
      const std::size_t nul = bytes.find('\0', name_at);
      const std::string name = bytes.substr(name_at, nul - name_at);
      for (std::size_t c = nul + 1; c < end; c = chunk_end(c)) {
        if (u16(c) != LIB3DS_N_TRI_OBJECT) continue;
        Lib3dsMesh* mesh = lib3ds_mesh_new(name.c_str());
        if (!mesh) return M3dsError::REFUSED;
        in.pos = static_cast<long>(c);
        const bool ok = lib3ds_mesh_read(mesh, io.get());
        Read r{name, {}, {}};
        if (ok) r.object = convert_mesh(*mesh, *materials, base, r.log, out);
        lib3ds_mesh_free(mesh);
        if (!ok) return M3dsError::REFUSED;
        read.push_back(std::move(r));
        if (progress && chunk_end(c) - reported >= PROGRESS_BYTES) {
          reported = chunk_end(c);
          if (!progress(static_cast<double>(reported) / static_cast<double>(bytes.size()))) {
            out = M3dsImport{};
            return M3dsError::CANCELLED;
          }
        }
      }
    }
  }
  bytes = std::string();
  std::stable_sort(read.begin(), read.end(), [](const Read& a, const Read& b) {
    return std::strcmp(a.name.c_str(), b.name.c_str()) < 0;
  });
  for (Read& r : read) {
    out.log += r.log;
    if (r.object) out.objects.push_back(std::move(*r.object));
  }
  return M3dsError::NONE;
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
    // A mesh without triangles would be a mesh of loose points; one past
    // the 16-bit counts would be written wrapped (callers refuse it first).
    if (t.triangles.empty() || !m3ds_fits(t)) continue;
    Lib3dsMesh* mesh = lib3ds_mesh_new(name);
    if (!mesh) continue;
    if (!lib3ds_mesh_new_point_list(mesh, static_cast<Lib3dsDword>(t.vertices.size()))) {
      log += "lib3ds error: new_point_list\n";
      lib3ds_mesh_free(mesh);
      continue;
    }
    for (std::size_t i = 0; i < t.vertices.size(); ++i) {
      const Point3& p = t.vertices[i];
      Lib3dsVector v = {static_cast<float>(export_coordinate(p.x)),
                        static_cast<float>(export_coordinate(p.y)),
                        static_cast<float>(export_coordinate(p.z))};
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
    if (node_id < LIB3DS_NO_PARENT) add_object_node(file.get(), name, node_id++);
  }
  return file;
}
