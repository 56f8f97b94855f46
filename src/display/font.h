#pragma once

// The font table: every text, dimension figure and room label is drawn with
// a font held here in one internal form, a list of glyph commands per
// character code 32..255 plus an advance width.
//
// Fonts come from stroke-font text files in the installation's font folder
// and from outline fonts (TrueType, Type 1 "pfb") in the user's "ttf" folder
// under base_dir, converted through FreeType when first used. They are
// loaded by name into a fixed table of slots and stay there until the
// program ends; a name that cannot be loaded falls back to "Simpel".

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

inline constexpr int FONT_SLOT_COUNT = 50;
inline constexpr uint8_t FONT_NONE = 99;

// Glyph command codes. Each command is its code word followed by its
// operands: coordinates and radii in thousandths of the text height, angles
// in tenths of a degree.
enum : int16_t {
  GLYPH_END = 0,
  GLYPH_MOVE = 1,   // x y
  GLYPH_LINE = 2,   // x y
  GLYPH_ARC = 3,    // x y r start sweep
  GLYPH_CUBIC = 4,  // x1 y1 x2 y2 x3 y3, from the current point
  GLYPH_FILL = 5,   // fill the contours collected so far
  GLYPH_CLOSE = 6,  // stroke back to the contour's first point
  GLYPH_QUAD = 7,   // x1 y1 x2 y2, from the current point
};

// Character codes a font holds, and the number of records of a stroke-font file.
inline constexpr int FONT_FIRST_CODE = 32;
inline constexpr int FONT_CODE_COUNT = 224;

struct FontSlot {
  std::string name;            // as asked for; compared exactly
  std::vector<int16_t> codes;  // every glyph's command list; empty = slot free
  uint8_t outline = 0;         // 0 stroke font, 1 converted outline font
  // Start of each code's command list in codes; -1 for codes 0..31.
  std::array<int32_t, 256> glyph{};
  // Advance of each code in hundredths of the text height (0 for 0..31).
  std::array<int16_t, 256> advance{};

  FontSlot() { glyph.fill(-1); }
  bool in_use() const { return !codes.empty(); }
  // The command list of a code, null for codes without one.
  const int16_t* glyph_codes(int code) const {
    if (code < 0 || code > 255 || glyph[code] < 0) return nullptr;
    return codes.data() + glyph[code];
  }
};

extern FontSlot font_slots[FONT_SLOT_COUNT];

// The folder of the installation's stroke fonts, "./dat/fonts" relative to
// the working folder unless set otherwise (tests point it at a staged tree).
extern std::string font_stroke_dir;

// The slot of a font name, loading it on first use; falls back to "Simpel";
// FONT_NONE when even that cannot be had. Diagnostics go to standard output.
uint8_t font_find_or_load(const char* name);

// Whether name can be used as a font: loaded already, or loaded now into a
// free slot, where it stays. Unlike font_find_or_load nothing falls back to
// "Simpel"; the reason of a failure is printed on standard output.
bool font_loads(const char* name);

// Whether the file name in font_stroke_dir reads as a stroke font; quiet.
bool font_is_stroke_file(std::string_view name);

// Loads a font into a slot: 1 on success, 0 otherwise (the slot stays free).
int font_load_slot(int slot, const char* name);

// Converts the outline font base_dir/ttf/<name> into a slot: 1 on success.
// Prints its diagnostics; the caller adds the final "not loaded" line.
int font_load_outline(int slot, const char* name);

// True when the name is read through FreeType: it ends in exactly "ttf",
// "TTF" or "pfb".
bool font_is_outline_name(std::string_view name);

// True for a name that may be looked up as a file inside the font folders:
// not empty, no '/', not "." or "..".
bool font_name_is_safe(std::string_view name);

// Parses the text of a stroke-font file into a slot (name and outline flag
// are left alone). On a malformed file returns false, leaves the slot as it
// was and, when error is given, says why.
bool font_parse_stroke(std::string_view text, FontSlot& slot, std::string* error = nullptr);

// Converts an outline font file into a slot. False when the file cannot be
// used; the reason is printed on standard output.
bool font_convert_outline(const std::string& path, FontSlot& slot);

// Frees every slot (for tests and shut-down).
void font_slots_clear();

// The command p_file_import_truetype: asks for a font file and copies it
// into base_dir/ttf, where it is then found by its file name.
void cmd_p_file_import_truetype();
