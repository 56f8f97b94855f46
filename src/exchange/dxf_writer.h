#pragma once

// DXF export (p_file_export_dxf): the chosen elements as an ASCII DXF file
// of version AC1009. The 2D modes write what the drawing pass draws, through
// the writer's own line, arc, text, room and dimension slots; the 3D modes
// write every chosen mesh, with the chosen walls turned into meshes, as
// triangular 3DFACE entities. Every length is metres times dxf_unit_factor.
//
// An element of pen p (0..7) lies on the layer "p+101" with the colour p+7;
// guide elements (the guide pen) are left out, as in every printed export.
// Line types are written by their names, made fit for a DXF symbol table
// (see dxf_line_type_names). Ellipses and curves are polylines that carry
// their line type across their vertices; a dot is a POINT.

#include <array>
#include <cstdio>
#include <string>
#include <string_view>

class OutText;
struct FaceList;

// Modes of dxf_settings.export_mode.
enum : int { DXF_OUT_2D = 0, DXF_OUT_2D_ENTITIES = 1, DXF_OUT_3D = 2, DXF_OUT_3D_ENTITIES = 3 };
// Choices of dxf_settings.export_scope.
enum : int { DXF_OBJECTS_SELECTED = 0, DXF_OBJECTS_VISIBLE = 1, DXF_OBJECTS_ALL = 2 };

// The names the eight program line types are written by. A name that is a
// safe symbol (letters, digits, "_", "-", "$") stays as it is; other bytes
// become "_", an empty name "LT<n>". A later type with the name of an
// earlier one and the same dashes shares its entry; with other dashes it
// gets a suffix, so no two table entries have one name.
struct DxfLineTypeNames {
  std::array<std::string, 8> name;
  std::array<bool, 8> first{};  // whether this type writes the table entry of its name
};
DxfLineTypeNames dxf_line_type_names();

// The box of what the entities hold (metres): every point written, the
// extremes of arcs and circles, the box of each text line.
struct DxfBox {
  double lo[3] = {1e300, 1e300, 1e300}, hi[3] = {-1e300, -1e300, -1e300};
  void add(double x, double y, double z);
  bool empty() const { return lo[0] > hi[0]; }
};

// A text as the value of a TEXT entity, so that readers get it back as it
// is: a caret as "^ ", control characters in caret notation, the first of
// two percent signs as "%%%", a backslash that would start a character
// code as the code of a backslash, and Latin-1 letters that would read as
// UTF-8 as the codes of their characters (\U+00XX).
std::string dxf_text_value(std::string_view text);

// The sections, each written whole; they write the marked elements (and in
// 3D the meshes on the temporary layer) with the current unit factor and
// add what they write to the box when given. The header's extents are that
// box (all 0 when it is empty); in 2D its z is 0.
void dxf_write_header(OutText& out, const DxfBox& box, bool three_d = false);
void dxf_write_tables(OutText& out);
void dxf_write_tables_3d(OutText& out);
void dxf_write_blocks(OutText& out, std::string_view dimension_blocks);
// With a place for them, each dimension gets its own anonymous block there
// (written before the entities); without, dimensions go as their drawing.
// Solid fillings (but a dimension's arrowheads) have no entity here; their
// number goes to fills_left_out when given.
void dxf_write_entities_2d(OutText& out, OutText* dimension_blocks = nullptr, int* fills_left_out = nullptr,
                           DxfBox* box = nullptr);
void dxf_write_entities_3d(OutText& out, DxfBox* box = nullptr);
// One 3DFACE per triangle of a triangulated face list.
void dxf_write_3dfaces(OutText& out, const FaceList& faces, DxfBox* box = nullptr);

// The whole file of a mode. The 3D modes expect the temporary wall meshes
// to exist. False when a write failed. fills_left_out, when given, counts
// the solid fillings the 2D modes left out.
bool dxf_write(std::FILE* f, int mode, int* fills_left_out = nullptr);

// The command: chooses the elements by dxf_settings.export_scope, asks for
// the file (import_file, import_path), writes it through a temporary file
// and clears every mark on the way out. Says how many solid fillings were
// left out, if any.
void dxf_export();
