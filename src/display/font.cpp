#include "display/font.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "model/files/fio.h"
#include "model/files/fio_read.h"
#include "model/nls.h"
#include "model/settings.h"
#include "model/ui.h"
#include "platform/work_pool.h"

FontSlot font_slots[FONT_SLOT_COUNT];
std::string font_stroke_dir = "./dat/fonts";

namespace {

namespace fs = std::filesystem;

// A stroke-font file is a few kilobytes; anything far larger is not one.
constexpr std::uintmax_t STROKE_FILE_MAX = 16u << 20;

const char* const FALLBACK_FONT = "Simpel";

// Splits the file text into whitespace-separated tokens, one at a time.
class Tokens {
 public:
  explicit Tokens(std::string_view text) : text_(text) {}

  bool next(std::string_view& token) {
    while (pos_ < text_.size() && is_space(text_[pos_])) ++pos_;
    if (pos_ >= text_.size()) return false;
    std::size_t start = pos_;
    while (pos_ < text_.size() && !is_space(text_[pos_])) ++pos_;
    token = text_.substr(start, pos_ - start);
    return true;
  }

 private:
  static bool is_space(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
  }
  std::string_view text_;
  std::size_t pos_ = 0;
};

// A whole token as a finite number, independent of the locale.
bool parse_real(std::string_view token, double& value) {
  if (!token.empty() && token.front() == '+') token.remove_prefix(1);
  if (token.empty() || token.front() == '+') return false;
  const char* end = token.data() + token.size();
  auto [ptr, ec] = std::from_chars(token.data(), end, value, std::chars_format::general);
  return ec == std::errc() && ptr == end && std::isfinite(value);
}

bool parse_int(std::string_view token, int& value) {
  if (!token.empty() && token.front() == '+') token.remove_prefix(1);
  if (token.empty() || token.front() == '+') return false;
  const char* end = token.data() + token.size();
  auto [ptr, ec] = std::from_chars(token.data(), end, value);
  return ec == std::errc() && ptr == end;
}

// value * factor truncated toward zero into a 16-bit word. Decimal values
// such as 3.57 are not exact in binary; a product within a hair of a whole
// number counts as that number so that truncation does not lose one unit.
bool to_word(double value, double factor, int16_t& word) {
  double scaled = value * factor;
  double nearest = std::round(scaled);
  if (std::fabs(scaled - nearest) < 1e-6) scaled = nearest;
  double t = std::trunc(scaled);
  if (t < -32768.0 || t > 32767.0) return false;
  word = static_cast<int16_t>(t);
  return true;
}

void print_missing(const char* name) {
  std::printf("Font %s is missing!\n", name);
  std::fflush(stdout);
}

bool read_file(const fs::path& path, std::string& text) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return false;
  std::uintmax_t size = fs::file_size(path, ec);
  if (ec || size > STROKE_FILE_MAX) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

int first_free_slot() {
  for (int i = 0; i < FONT_SLOT_COUNT; ++i) {
    if (!font_slots[i].in_use()) return i;
  }
  return -1;
}

int find_loaded(std::string_view name) {
  for (int i = 0; i < FONT_SLOT_COUNT; ++i) {
    if (font_slots[i].in_use() && font_slots[i].name == name) return i;
  }
  return -1;
}

// Loads name into the first free slot; the slot index or -1.
int load_into_free_slot(const char* name) {
  int slot = first_free_slot();
  if (slot < 0) return -1;
  return font_load_slot(slot, name) ? slot : -1;
}

std::string error_text(const char* what, const std::string& path, const std::error_code& ec) {
  return std::string(nls_translate(what)) + " " + path + " (" + ec.message() + ")";
}

}  // namespace

bool font_is_outline_name(std::string_view name) {
  if (name.size() < 3) return false;
  std::string_view tail = name.substr(name.size() - 3);
  return tail == "ttf" || tail == "TTF" || tail == "pfb";
}

bool font_name_is_safe(std::string_view name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos;
}

bool font_parse_stroke(std::string_view text, FontSlot& slot, std::string* error) {
  auto fail = [&](int code, const char* why) {
    if (error) *error = "character " + std::to_string(code) + ": " + why;
    return false;
  };

  std::vector<int16_t> codes;
  codes.reserve(text.size() / 2);
  std::array<int32_t, 256> glyph;
  glyph.fill(-1);
  std::array<int16_t, 256> advance{};

  Tokens tokens(text);
  std::string_view token;
  for (int code = FONT_FIRST_CODE; code < FONT_FIRST_CODE + FONT_CODE_COUNT; ++code) {
    glyph[code] = static_cast<int32_t>(codes.size());
    double value;
    if (!tokens.next(token)) return fail(code, "the file ends before this character");
    if (!parse_real(token, value) || !to_word(value, 100.0, advance[code]))
      return fail(code, "bad advance width");

    for (;;) {
      if (!tokens.next(token)) return fail(code, "the file ends inside this character");
      int command;
      if (!parse_int(token, command)) return fail(code, "a command code is not a whole number");
      int operands;
      switch (command) {
        case GLYPH_END:
        case GLYPH_FILL:
        case GLYPH_CLOSE:
          operands = 0;
          break;
        case GLYPH_MOVE:
        case GLYPH_LINE:
          operands = 2;
          break;
        case GLYPH_ARC:
          operands = 5;
          break;
        case GLYPH_CUBIC:
          operands = 6;
          break;
        default:
          return fail(code, "unknown command code");
      }
      codes.push_back(static_cast<int16_t>(command));
      for (int k = 0; k < operands; ++k) {
        if (!tokens.next(token)) return fail(code, "the file ends inside a command");
        if (!parse_real(token, value)) return fail(code, "a value is not a number");
        // Arc angles are degrees (stored in tenths); every other operand
        // is in tenths of the height (stored in thousandths).
        bool angle = command == GLYPH_ARC && k >= 3;
        int16_t word;
        if (!to_word(value, angle ? 10.0 : 100.0, word)) return fail(code, "a value is out of range");
        if (command == GLYPH_ARC && k == 4 && value == 0.0) word = 3600;  // full circle
        codes.push_back(word);
      }
      if (command == GLYPH_END) break;
    }
  }
  // Whatever follows the last record is not part of the font.
  codes.shrink_to_fit();
  slot.codes = std::move(codes);
  slot.glyph = glyph;
  slot.advance = advance;
  return true;
}

int font_load_slot(int slot, const char* name) {
  if (slot < 0 || slot >= FONT_SLOT_COUNT || !name) return 0;
  std::string_view n(name);
  if (font_is_outline_name(n)) {
    if (font_name_is_safe(n) && font_load_outline(slot, name)) return 1;
    std::printf("TrueTypeFont %s not loaded!\n", name);
    std::fflush(stdout);
    return 0;
  }
  std::string text;
  if (!font_name_is_safe(n) || !read_file(fs::path(font_stroke_dir) / n, text)) {
    print_missing(name);
    return 0;
  }
  FontSlot loaded;
  std::string why;
  if (!font_parse_stroke(text, loaded, &why)) {
    std::printf("Font %s is not a valid stroke font (%s)!\n", name, why.c_str());
    std::fflush(stdout);
    return 0;
  }
  loaded.name = n;
  loaded.outline = 0;
  font_slots[slot] = std::move(loaded);
  return 1;
}

bool font_loads(const char* name) {
  std::string_view n(name ? name : "");
  if (n.empty()) return false;
  if (find_loaded(n) >= 0) return true;
  work_pool_require_main_thread();
  return load_into_free_slot(name) >= 0;
}

bool font_is_stroke_file(std::string_view name) {
  std::string text;
  if (!font_name_is_safe(name) || font_is_outline_name(name) ||
      !read_file(fs::path(font_stroke_dir) / name, text))
    return false;
  FontSlot parsed;
  return font_parse_stroke(text, parsed);
}

uint8_t font_find_or_load(const char* name) {
  std::string_view n(name ? name : "");
  int slot = find_loaded(n);
  if (slot >= 0) return static_cast<uint8_t>(slot);
  // Loading fills a slot that other threads may be reading.
  work_pool_require_main_thread();
  slot = load_into_free_slot(name ? name : "");
  if (slot >= 0) return static_cast<uint8_t>(slot);

  slot = find_loaded(FALLBACK_FONT);
  if (slot < 0) slot = load_into_free_slot(FALLBACK_FONT);
  if (slot >= 0) return static_cast<uint8_t>(slot);
  std::printf("Cant find Simpel-Font!\n");
  std::fflush(stdout);
  return FONT_NONE;
}

void font_slots_clear() {
  for (FontSlot& s : font_slots) s = FontSlot{};
}

namespace {

// The first bytes of the files the font loader reads: TrueType and OpenType
// (single and collections), Apple's TrueType and Type 1 (binary and text).
bool font_head_ok(std::string_view head) {
  for (std::string_view sign : {std::string_view("\0\1\0\0", 4), std::string_view("true"),
                                std::string_view("OTTO"), std::string_view("ttcf"), std::string_view("typ1"),
                                std::string_view("\x80\x01"), std::string_view("%!")})
    if (head.substr(0, sign.size()) == sign) return true;
  return false;
}

// Table offsets of a font file are 32 bits wide.
constexpr int64_t FONT_FILE_MAX = 0xFFFFFFFF;

}  // namespace

void cmd_p_file_import_truetype() {
  std::string chosen = ui().filesel_choose(nls_translate("Import TTF Font file"), "", 0, "");
  if (chosen.empty() || chosen == "cancel") return;

  fs::path source(chosen);
  fs::path file_name = source.filename();
  if (file_name.empty() || file_name == "." || file_name == "..") {
    ui().msgbox_error((std::string(nls_translate("Not a font file:")) + " " + chosen).c_str());
    return;
  }
  const auto cannot_read = [&chosen](FioReadError e) {
    ui().msgbox_error((std::string(nls_translate("Cannot read the font file")) + " " + chosen + "\n" +
                       nls_translate(fio_read_error_text(e)))
                          .c_str());
  };
  FioReadError read_error = FioReadError::NONE;
  FioFile in = fio_open_read(chosen, read_error);
  if (!in) {
    cannot_read(read_error);
    return;
  }
  // What cannot be a font is refused before any of it is read or copied.
  const int64_t size = fio_bytes_left(in.get());
  if (size > FONT_FILE_MAX) {
    cannot_read(FioReadError::TOO_LARGE);
    return;
  }
  char head[4] = {};
  const std::size_t head_size = std::fread(head, 1, sizeof head, in.get());
  if (!font_head_ok(std::string_view(head, head_size)) || std::fseek(in.get(), 0, SEEK_SET) != 0) {
    ui().msgbox_error((std::string(nls_translate("Not a font file:")) + " " + chosen).c_str());
    return;
  }

  fs::path folder = fs::path(std::string(base_dir.c_str()) + "/ttf");
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (ec) {
    ui().msgbox_error(error_text("Cannot create the folder", folder.string(), ec).c_str());
    return;
  }
  fs::path target = folder / file_name;
  if (fs::exists(target, ec) && fs::equivalent(source, target, ec)) return;  // already there

  // Copied in pieces (a large file shows progress) under a temporary name
  // and renamed, so that a failed copy never leaves half a font where the
  // loader would find it.
  FioSafeWriter out(target.string());
  bool written = out.stream() != nullptr;
  if (written)
    read_error =
        fio_read_pieces(in.get(), static_cast<std::size_t>(std::max<int64_t>(size, 0)),
                        "Import TTF Font file", [&out, &written](std::string_view piece) {
                          written = std::fwrite(piece.data(), 1, piece.size(), out.stream()) == piece.size();
                          return written;
                        });
  if (read_error == FioReadError::CANCELLED) {
    // The half copy goes with its temporary name; a cancel is no error.
    std::puts(nls_translate(fio_read_error_text(read_error)));
    std::fflush(stdout);
    return;
  }
  if (read_error != FioReadError::NONE) {
    cannot_read(read_error);
    return;
  }
  if (!(written && out.commit()))
    ui().msgbox_error(
        (std::string(nls_translate("Cannot write the font file")) + " " + target.string()).c_str());
}
