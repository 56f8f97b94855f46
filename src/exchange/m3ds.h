#pragma once

// 3DS files, read and written by lib3ds. This side only converts between
// lib3ds's structures and the drawing: meshes become MeshElem records (and
// a file material named like a mesh becomes a material preset), and the
// exported meshes become triangle meshes with one material per entry of the
// material table. The commands around it (choosers, marks, undo) are
// m3ds_import and m3ds_export.
//
// Winding: a face (a, b, c) of a file becomes the face (c, b, a) of an
// object and back, both ways.

#include <array>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/elem.h"
#include "model/presets.h"

struct Lib3dsFile;

struct M3dsFileFree {
  void operator()(Lib3dsFile* file) const;
};
using M3dsFilePtr = std::unique_ptr<Lib3dsFile, M3dsFileFree>;

// Why a file cannot be read.
enum class M3dsError {
  NONE,
  EMPTY,      // no byte at all
  NOT_3DS,    // the first chunk is none a 3DS file begins with
  CUT_SHORT,  // a chunk reaches past the end of the file
  TOO_LARGE,  // more bytes than the 32-bit chunk sizes can describe
  BAD_SIZE,   // a chunk smaller than its own header
  OUTSIDE,    // a chunk reaches past the chunk holding it
  BAD_COUNT,  // a point or face list longer than its chunk
  TOO_DEEP,   // chunks nested deeper than the format has levels
  REFUSED,    // lib3ds refused what the checks let through
  CANCELLED,  // Cancel was pressed in the progress window: no error
};
// The message of an error, in English (translate it to show it); "" for NONE.
const char* m3ds_error_text(M3dsError error);

// The first bytes of a file of file_size bytes (6 are enough): NONE and the
// length of the file's main chunk, which is all a reader needs, or why the
// file cannot be a 3DS file, so that nothing more is read.
M3dsError m3ds_check_head(std::string_view head, uint64_t file_size, std::size_t& length);

// The file's bytes as lib3ds reads them; null when lib3ds refuses them or
// when the chunk tree is broken, with the reason in error when given.
// Face lists and material groups are checked before lib3ds follows their
// indices: a face naming a point the mesh does not have reaches lib3ds as
// (0, 0, 0).
M3dsFilePtr m3ds_read(std::string_view bytes, M3dsError* error = nullptr);
// Writes the file to the stream; false when lib3ds or the stream failed.
bool m3ds_write(Lib3dsFile* file, std::FILE* out);

// Import.

// The material name of an imported mesh: "3ds_" and the mesh name, with
// "/", control characters and a leading "." made "_" (the name becomes a
// preset file name), cut to fit a material name.
std::string m3ds_material_name(std::string_view mesh_name);

struct M3dsObject {
  std::string material;
  std::vector<Point3> vertices;
  std::vector<int32_t> indices;  // three per face
  // The preset file to write under the material's name, when the file has a
  // material named like the mesh.
  std::optional<MaterialPreset> preset;
};

struct M3dsImport {
  std::vector<M3dsObject> objects;
  // One line per mesh of the file: "name = <name> np=<points> nf=<faces>",
  // and " dropped=<n>" when n faces were dropped.
  std::string log;
  // Faces left out, and points that were no finite position (also left out).
  int64_t dropped_faces = 0, dropped_points = 0;
  // Meshes that hold points but no face at all: nothing of them is made.
  int64_t faceless_meshes = 0;
};

// The objects of the file's meshes in the order of lib3ds's list. A point
// that is no finite position is left out of its mesh; a face that does not
// name three different points of the mesh, each a finite position, is
// dropped; a mesh left without faces, or with fewer than 3 points, gives no
// object. What was left out is counted.
// A preset takes its colour, transparency, highlight and ambience from the
// material and everything from the texture on from base.
M3dsImport m3ds_import_objects(const Lib3dsFile& file, const MaterialPreset& base);

// The import of a file's bytes, as m3ds_read and m3ds_import_objects would
// make it, but holding no more than the bytes, the objects and one mesh as
// lib3ds reads it (a face takes 96 bytes there, 8 in the file): the bytes
// are checked and mended in place, then lib3ds reads the materials and, one
// at a time, each mesh, which is converted and freed before the next.
// progress, when given, is called with the share of the bytes done after
// each mesh once about a megabyte more was read; when it returns false the
// reading stops with CANCELLED and no objects.
M3dsError m3ds_import_bytes(std::string bytes, const MaterialPreset& base, M3dsImport& out,
                            const std::function<bool(double)>& progress = {});

// Appends the objects as meshes on cur_layer with cur_pen and cur_line_type
// and draws each, writes their presets (a preset that cannot be written is
// left out), gives the new objects one group and records one undo step.
// Returns how many objects were appended.
int m3ds_import_commit(const M3dsImport& import);
// The same, taking the objects' vertices and faces over. Before the first
// object and then about every 32k faces step, when given, is called with
// the share done; when it returns false
// the objects appended so far are removed again (and the view redrawn),
// nothing is written and -1 is returned. The presets are written once every
// object is in.
int m3ds_import_commit(M3dsImport&& import, const std::function<bool(double)>& step);

// Export.

// A mesh as triangles; the material is the name the faces carry.
struct M3dsTriangles {
  std::string material;
  std::vector<Point3> vertices;
  std::vector<std::array<int32_t, 3>> triangles;  // as the triangulation gives them
};

// Counts and point numbers of a 3DS mesh are 16 bits wide.
inline constexpr std::size_t M3DS_MAX_COUNT = 65535;

// The meshes split into triangles, each face's material the identifier of
// its table entry (mat_identifier of the name when it has none).
std::vector<M3dsTriangles> m3ds_triangulate(const std::vector<const MeshElem*>& meshes);
// True when its points and triangles fit a 3DS mesh.
bool m3ds_fits(const M3dsTriangles& mesh);

// A new file named "Kavro3DS" (scale 1, ambient light 0.5 grey, a solid
// background 0.3, 0.3, 0.5) holding one material per table entry and the
// meshes "KAVRO_ob3_0", "KAVRO_ob3_1", ... whose triangles (a, b, c) are
// faces (c, b, a), each with a key-frame node of its name (readers that
// build their scene from the nodes know the objects by them). A mesh
// without triangles or past the 16-bit counts is left out, and so is one
// lib3ds could not take, with a line on log.
M3dsFilePtr m3ds_export_file(const std::vector<M3dsTriangles>& meshes, std::string& log);

// The commands p_file_import_3ds and p_file_export_3ds.
void m3ds_import();
void m3ds_export();
