#pragma once

// Reading an ASCII DXF file into elements.
//
// dxf_read works on a stream and touches nothing of the drawing: it checks
// the whole file first (binary files, lines that hold no group code, a
// missing or cut-off ENTITIES section are refused), then converts the
// sections into elements it keeps to itself. dxf_import_commit hands them to
// the drawing as one undo step. So a refused or failed import leaves the
// drawing as it was. dxf_import is the command around both.

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/elem.h"

// What one import found, by entity kind; printed at its end.
struct DxfStats {
  int32_t line = 0;
  int32_t point = 0;
  int32_t line3d = 0;
  int32_t circle = 0;
  int32_t ellipse = 0;
  int32_t arc = 0;
  int32_t text = 0;
  int32_t mtext = 0;
  int32_t face3d = 0;
  int32_t solid = 0;
  int32_t dimension = 0;
  int32_t lwpolyline = 0;
  int32_t polyline2d = 0;
  int32_t polyline3d = 0;
  int32_t polyface = 0;
  int32_t polymesh = 0;
  int32_t block = 0;
  int32_t insert = 0;
  int32_t vertex = 0;
  int32_t fit_vertex = 0;
  int32_t hatch = 0;
  int32_t attrib = 0;
  int32_t attdef = 0;
};
// The 21 statistics lines.
std::string dxf_stats_text(const DxfStats& s);

enum class DxfError {
  NONE,
  NO_ENTITIES,        // no ENTITIES section
  BINARY,             // a binary DXF file
  CORRUPT,            // a line where a group code belongs holds none
  TRUNCATED,          // the file ends inside the ENTITIES section
  TOO_MANY_ELEMENTS,  // blocks inserted into each other would make too many elements
  NOT_DXF,            // the file's start is no DXF: no group code, or bytes no text holds
  CANCELLED,          // the user stopped the import
};
// At most this many elements come from one import.
inline constexpr int64_t DXF_MAX_ELEMENTS = 10000000;

struct DxfImportOptions {
  int unit = 0;        // DXF_UNIT_*: the unit of the file's lengths
  int line_mode = 0;   // 0: LINE entities become 2D lines, else 3D lines
  int layer_mode = 0;  // 0: everything on first_layer, else one program layer per DXF layer
  int first_layer = 0;
  double drawing_scale = 100.0;  // 1:N, for the paper height of texts
  // Called with the part of the work done so far (0..1) now and then: the
  // first pass over the file is the first quarter.
  std::function<void(double)> progress;
  // Asked right after each progress call; true stops the import.
  std::function<bool()> cancelled;
};
// The options as the settings and the current layer give them.
DxfImportOptions dxf_import_options();

struct DxfLayerName {
  int layer = 0;
  std::string name;
};

struct DxfImport {
  DxfError error = DxfError::NONE;
  int64_t error_line = 0;  // 1-based line of a CORRUPT file
  // TOO_MANY_ELEMENTS: the elements the file would make (INT64_MAX: at least so many).
  int64_t would_make = 0;
  // The elements made, in file order, for the drawing's tail, and their
  // number (which stays when they are handed on).
  std::vector<std::unique_ptr<ElemHeader>> elements;
  int64_t elements_made = 0;
  // Program layers to name and show, in this order (keep mode).
  std::vector<DxfLayerName> layer_names;
  DxfStats stats;
  // $EXTMIN and $EXTMAX in metres, when the header gives both and they make sense.
  bool has_extents = false;
  Point3 extents_min, extents_max;
  // Diagnostics ("Problem: ..."), one per line, for standard output.
  std::string log;
  // What was not imported: entity names (or "paper-space entities",
  // "invisible ATTRIB", ...) with their counts, in the order first met.
  std::vector<std::pair<std::string, int64_t>> left_out;
  // Outline points of hatches and solids that lay on (999, 999), where the
  // program's outlines end a contour, moved off it by the least step.
  int64_t moved_points = 0;
  // Characters of texts the program cannot show (they became "?").
  int64_t lost_characters = 0;
  // Texts longer than a text may be, cut to DXF_TEXT_MAX characters.
  int64_t cut_texts = 0;
  // Names of kept layers longer than a program layer's name holds: the
  // layer bears only their start.
  int64_t cut_layer_names = 0;
  // Kept layers beyond the program's last, put on it with the one before.
  int64_t shared_layers = 0;
  // A $DWGCODEPAGE the reader does not know (its texts were read as ANSI_1252).
  std::string unknown_codepage;
  // An $INSUNITS the import offers no unit for (0 when the file gives none
  // or one it offers): its lengths were read in read_unit (DXF_UNIT_*).
  int64_t unknown_unit = 0;
  int read_unit = 0;
};

// "3 IMAGE, 12 paper-space entities not imported" for what an import left
// out; empty when it left out nothing.
std::string dxf_left_out_text(const DxfImport& result);
// The end-of-import line: the elements made, then what was left out
// ("10000000 elements made; 3 IMAGE not imported").
std::string dxf_result_text(const DxfImport& result);
// The most characters a text keeps.
inline constexpr std::size_t DXF_TEXT_MAX = 65535;

DxfImport dxf_read(std::istream& in, const DxfImportOptions& options);

// The unit the file gives its lengths in ($INSUNITS in its HEADER section)
// as a DXF_UNIT_*, or -1 when it gives none of those the import offers
// (none at all, unitless, miles, ...). Reads no further than the header
// and rewinds the stream.
int dxf_file_unit(std::istream& in);

// Appends the elements to the drawing, names and shows the layers, records
// one undo step for them. Returns the number of elements appended.
int dxf_import_commit(DxfImport& result);

// The message for a refused file (untranslated, may hold one %lld for the
// line, or two for the elements the file would make and the limit).
const char* dxf_error_text(DxfError error);
// The translated message for the refused result.
std::string dxf_error_message(const DxfImport& result);

// The command p_file_import_dxf: asks for the file, reads it, appends what it
// made, prints the statistics and fits the main view to the result.
void dxf_import();

// Pieces the conversion is built from.

// DXF text to the program's ISO 8859-1: UTF-8 decoded when the text is
// valid UTF-8, %% codes, caret notation ("^ " a caret, "^J" a control
// character), character codes (\U+XXXX), and in an MTEXT alone its
// backslash codes (with their arguments) and grouping braces: in a TEXT a
// backslash is a backslash. Characters outside ISO 8859-1 become a
// look-alike or "?"; each "?" adds one to lost. Unsupported backslash codes
// are noted in log.
// A text longer than DXF_TEXT_MAX is cut there, and *cut set.
std::string dxf_convert_text(std::string_view raw, bool mtext, std::string* log, int codepage = 0,
                             int64_t* lost = nullptr, bool* cut = nullptr);

// Code pages of 8-bit texts ($DWGCODEPAGE): bytes 0x80..0xFF decode by the
// page's table. ISO 8859-1 (the default) keeps them as they are.
enum : int {
  DXF_CODEPAGE_LATIN1 = 0,
  DXF_CODEPAGE_1250,
  DXF_CODEPAGE_1251,
  DXF_CODEPAGE_1252,
  DXF_CODEPAGE_437,
  DXF_CODEPAGE_850,
};
// The code page of a $DWGCODEPAGE value ("ANSI_1252", "DOS850", ...); a
// name it does not know gives ANSI_1252 and known false.
int dxf_codepage_of(std::string_view name, bool* known = nullptr);
// Pen 0..7 of a DXF colour number.
int dxf_pen_from_color(int color);
// Line type 0..7 of a DXF line-type name.
int dxf_linetype_from_name(std::string_view name);
// The RGB bytes of a DXF colour number 0..255 (others give those of 7).
struct DxfRgb {
  uint8_t r = 0, g = 0, b = 0;
};
DxfRgb dxf_aci_color(int index);
