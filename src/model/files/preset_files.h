#pragma once

// Preset files: named copies of the creation parameters of the ten object
// kinds, one small text file per name at dialog_path "/" kind "/" name (the
// name is the file name, without extension). One value per line, LF line
// ends: integers as "%d", reals as "%f" (six decimals, always "."), texts
// as they are.
//
// Each kind's file is described once, as a list of fields bound to a
// parameter group; writing and reading walk the same list. Reading goes line
// by line: a number line holds one number and nothing else, a one-word line
// its first word, a text line the whole line (an empty line is an empty
// text). The first line that does not hold what its field needs ends the
// reading: that value and every later one keep what they were. A file that
// ends early keeps the values of the missing lines too, except where a field
// names what a missing line gives (the light's shadow intensity, the
// material's special text).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/consts.h"
#include "model/fixed_text.h"
#include "model/presets.h"

enum class PresetKind : uint8_t { WALL, ROOM, TEXT, DIM, OPENING, WINDOW, DOOR, MAT, PATTERN, LIGHT };
inline constexpr int PRESET_KIND_COUNT = 10;
// Every kind, in the order start-up loads them.
inline constexpr PresetKind preset_kinds[PRESET_KIND_COUNT] = {
    PresetKind::WALL,   PresetKind::ROOM, PresetKind::TEXT, PresetKind::DIM,     PresetKind::OPENING,
    PresetKind::WINDOW, PresetKind::DOOR, PresetKind::MAT,  PresetKind::PATTERN, PresetKind::LIGHT};

// The folder name of a kind, which is also its refresh key: "wall", "room",
// "text", "dim", "opening", "window", "door", "mat", "pattern", "light".
const char* preset_kind_name(PresetKind kind);
// The kind of a folder name (compared whole).
std::optional<PresetKind> preset_kind_of(std::string_view name);
// The current preset name of a kind: the first field of its group.
FixedText<NAME_LEN>& preset_name(PresetKind kind);

// The fallback preset of every kind, never deleted.
inline constexpr const char* PRESET_DEFAULT = "Default";
// The longest name the combos take.
inline constexpr std::size_t PRESET_NAME_MAX = 39;
// A name stays inside its kind's folder: not empty, at most PRESET_NAME_MAX
// bytes, no "/", not "." or "..". Blanks and any other bytes are allowed.
bool preset_name_ok(std::string_view name);
// dialog_path "/" kind "/" name; empty when the name is not ok.
std::string preset_path(PresetKind kind, std::string_view name);

// One line of a preset file.
enum class PresetFieldType : uint8_t {
  INT,      // int32_t
  REAL,     // double
  DEGREES,  // double radians, written and read as degrees
  ONE,      // no variable: written as 1.000000, read and dropped
  WORD,     // text buffer: the line's first word
  LINE,     // text buffer: the whole line
};

struct PresetField {
  PresetFieldType type = PresetFieldType::INT;
  void* var = nullptr;
  std::size_t size = 0;  // WORD and LINE: the buffer's bytes, terminator included
  // What the line gives when the file ends before it (nothing when unset).
  std::optional<double> missing_real;
  const char* missing_text = nullptr;
};
using PresetFields = std::vector<PresetField>;

// The fields of each file, bound to a group.
PresetFields preset_fields(WallPreset& p);
PresetFields preset_fields(RoomPreset& p);
PresetFields preset_fields(TextPreset& p);
PresetFields preset_fields(DimPreset& p);
PresetFields preset_fields(OpeningPreset& p);  // plain openings, windows, doors
PresetFields preset_fields(MaterialPreset& p);
PresetFields preset_fields(PatternPreset& p);
PresetFields preset_fields(LightPreset& p);
// Bound to the kind's current group (wall_preset, ..., light_preset).
PresetFields preset_fields(PresetKind kind);

// The file's bytes for the fields' current values. A real of a variable
// with a range (model/value_range.h) that six decimals would carry out of
// it is written with the digits that read back as the value itself.
std::string preset_format(const PresetFields& fields);
// Reads a file's bytes into the fields as described above. Returns the
// number of lines read into their fields. A real read for a variable with a
// range is brought into it when it lies outside (0 stays where it means
// none); *adjusted, when given, counts those values.
int preset_parse(std::string_view text, const PresetFields& fields, int* adjusted = nullptr);

// The bytes of a preset file; none when the name is not ok, the file is no
// regular file or cannot be read.
std::optional<std::string> preset_read_file(PresetKind kind, std::string_view name);
// Writes the fields as the file at path, through a temporary file beside it.
bool preset_write_file(const std::string& path, const PresetFields& fields);

// Loads the kind's current preset into its group: nothing without a name,
// for a material named "con", or when the file cannot be read. Values
// brought into their range are named in an error box. Returns 1 when a file
// was read.
int preset_load(PresetKind kind);
// Start-up: every kind's current preset, in preset_kinds order.
void preset_load_all();
// Writes the kind's group into the file of its current name. A name that is
// not ok, or a file that cannot be written, writes nothing, says
// "*PATH* error" on standard output and shows "Cannot open file". Returns 1
// when written.
int preset_save(PresetKind kind);

enum class PresetDelete : uint8_t {
  KEPT,     // the name is "Default": nothing happens
  REFUSED,  // the name is not ok: nothing happens
  REMOVED,  // the file was removed (or was not there)
};
// Removes the file of the kind's current preset (never through a shell).
PresetDelete preset_delete(PresetKind kind);
