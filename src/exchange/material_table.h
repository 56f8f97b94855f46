#pragma once

// The materials of one 3D export. Every mesh and wall names a material
// preset; before a scene is written, the names the exported objects use are
// collected here, one entry per distinct name, with the values of that
// preset's file and a form of the name that is safe as an identifier in
// scene files. The table lives for one export: init, register every used
// name, write, free.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/fixed_text.h"

struct MaterialDef {
  int16_t even = 0;  // 1 when the identifier's length is even (LightWave pads by it)
  int32_t use_count = 0;
  int16_t identifier_length = 0;
  FixedText<80> name;
  FixedText<82> identifier;  // at most 40 characters
  double r = 0.75, g = 0.75, b = 0.75;
  double transparency = 0.0;
  double ambience = 0.0;
  double reflection = 0.0;
  double highlight = 0.0;
  int32_t refraction = 0;
  int32_t metallic = 0;
  int32_t texture_mode = 0;  // 0 off, 1 default, 2..4 planar x/y/z, 5 spherical, 6 cylindrical
  int32_t repeat = 0;
  double size_x = 1.0, size_y = 1.0;
  double offset_x = 1.0, offset_y = 1.0;
  FixedText<256> image_file;  // in the user's "tex" folder
  int32_t special = 0;
  FixedText<256> special_path;
};

// The entries in use are mat_table[0 .. mat_count); the vector holds
// mat_capacity slots (10 at start, grown by 10).
extern std::vector<MaterialDef> mat_table;
extern int mat_count;
extern int mat_capacity;

struct MaterialPreset;
// Takes the values of a material preset into def (name and identifier stay).
void mat_take_preset(MaterialDef& def, const MaterialPreset& p);

void mat_table_init();
// Enters name (or counts one more use of it). Reads the preset file
// dialog_path/mat/name; a missing file or a missing texture image is asked
// about through ui().msgbox_ask. Returns 1 when the name is in the table
// after the call, 0 when the user chose "Cancel" (the slot stays uncounted).
// A name of 79 characters or more counts as a use of the first entry.
int mat_register(std::string_view name);
// Index of the first entry with exactly this name; 0 (the first entry) when
// there is none.
int mat_index(std::string_view name);
// The identifier form of name: "mat_" in front unless it starts with a
// letter, cut to 40 characters, every character other than a letter, digit
// or "_" made "_". ("Glas" -> "Glas", "3ds_box 1" -> "mat_3ds_box_1".)
std::string mat_identifier(std::string_view name);
void mat_table_free();
