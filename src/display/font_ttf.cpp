// Outline fonts (TrueType, Type 1) converted once through FreeType into the
// same glyph command lists as the stroke fonts, so drawing never calls it.

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <cmath>
#include <cstdio>

#include "display/font.h"
#include "model/settings.h"

namespace {

// Unscaled outlines, no bitmaps, no transform: 0x809.
constexpr FT_Int32 LOAD_FLAGS = FT_LOAD_NO_SCALE | FT_LOAD_NO_BITMAP | FT_LOAD_IGNORE_TRANSFORM;

// One font unit is 0.6 thousandths of the text height, whatever the
// font's units per em.
constexpr double UNIT = 0.6;

void say(const char* text) {
  std::printf("%s\n", text);
  std::fflush(stdout);
}

int16_t to_word(double v) {
  double t = std::trunc(v);
  if (t < -32768.0) return -32768;
  if (t > 32767.0) return 32767;
  return static_cast<int16_t>(t);
}

class Library {
 public:
  Library() { ok_ = FT_Init_FreeType(&lib_) == 0; }
  ~Library() {
    if (ok_) FT_Done_FreeType(lib_);  // also frees the face
  }
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;
  bool ok() const { return ok_; }
  FT_Library get() const { return lib_; }

 private:
  FT_Library lib_ = nullptr;
  bool ok_ = false;
};

struct GlyphWriter {
  std::vector<int16_t>& out;
  FT_Pos bearing;

  void point(FT_Vector p) {
    out.push_back(to_word((static_cast<double>(p.x) - static_cast<double>(bearing)) * UNIT));
    out.push_back(to_word(static_cast<double>(p.y) * UNIT));
  }
  void command(int16_t code, FT_Vector p) {
    out.push_back(code);
    point(p);
  }
  void quad(FT_Vector control, FT_Vector end) {
    out.push_back(GLYPH_QUAD);
    point(control);
    point(end);
  }

  // Every contour becomes a move, lines and quadratic curves (off-curve
  // points of cubic outlines are taken as quadratic controls), then a
  // close; the glyph ends with one fill.
  void outline(const FT_Outline& o) {
    int start = 0;
    for (int k = 0; k < o.n_contours; ++k) {
      int end = o.contours[k];
      if (end < start || end >= o.n_points) break;
      FT_Vector first = o.points[start];
      command(GLYPH_MOVE, first);
      bool pending = false;
      FT_Vector control{};
      for (int i = start + 1; i <= end; ++i) {
        FT_Vector p = o.points[i];
        bool on_curve = FT_CURVE_TAG(o.tags[i]) == FT_CURVE_TAG_ON;
        if (on_curve) {
          if (pending) {
            quad(control, p);
            pending = false;
          } else {
            command(GLYPH_LINE, p);
          }
        } else {
          if (pending) quad(control, FT_Vector{(control.x + p.x) / 2, (control.y + p.y) / 2});
          control = p;
          pending = true;
        }
      }
      if (pending) quad(control, first);
      out.push_back(GLYPH_CLOSE);
      start = end + 1;
    }
    out.push_back(GLYPH_FILL);
    out.push_back(GLYPH_END);
  }
};

}  // namespace

bool font_convert_outline(const std::string& path, FontSlot& slot) {
  Library lib;
  if (!lib.ok()) {
    say("Error opening Font library!");
    return false;
  }
  FT_Face face = nullptr;
  FT_Error err = FT_New_Face(lib.get(), path.c_str(), 0, &face);
  if (err == FT_Err_Unknown_File_Format) {
    say("Font Format unsupported!");
    return false;
  }
  if (err) {
    say("Font File could not be opened or read!");
    return false;
  }
  if (!(face->face_flags & FT_FACE_FLAG_SCALABLE)) {
    say("This is not an Outline Font!");
    return false;
  }

  std::vector<int16_t> codes;
  std::array<int32_t, 256> glyph;
  glyph.fill(-1);
  std::array<int16_t, 256> advance{};
  for (int code = FONT_FIRST_CODE; code < FONT_FIRST_CODE + FONT_CODE_COUNT; ++code) {
    glyph[code] = static_cast<int32_t>(codes.size());
    FT_UInt index = FT_Get_Char_Index(face, static_cast<FT_ULong>(code));
    if (index == 0) {
      codes.push_back(GLYPH_END);
      continue;
    }
    if (FT_Load_Glyph(face, index, LOAD_FLAGS)) {
      std::printf("Error while loading Glyph %c!\n", static_cast<char>(code));
      std::fflush(stdout);
      return false;
    }
    FT_GlyphSlot g = face->glyph;
    FT_Pos bearing = g->metrics.horiBearingX;
    advance[code] =
        to_word((static_cast<double>(g->metrics.horiAdvance) - static_cast<double>(bearing)) * UNIT / 10.0);
    GlyphWriter writer{codes, bearing};
    if (g->format == FT_GLYPH_FORMAT_OUTLINE) {
      writer.outline(g->outline);
    } else {
      codes.push_back(GLYPH_FILL);
      codes.push_back(GLYPH_END);
    }
  }
  codes.shrink_to_fit();
  slot.codes = std::move(codes);
  slot.glyph = glyph;
  slot.advance = advance;
  return true;
}

int font_load_outline(int slot, const char* name) {
  if (slot < 0 || slot >= FONT_SLOT_COUNT || !name) return 0;
  FontSlot loaded;
  if (!font_convert_outline(std::string(base_dir.c_str()) + "/ttf/" + name, loaded)) return 0;
  loaded.name = name;
  loaded.outline = 1;
  font_slots[slot] = std::move(loaded);
  return 1;
}
