#include "model/files/preset_files.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "model/files/fio.h"
#include "model/nls.h"
#include "model/settings.h"
#include "model/ui.h"
#include "model/value_range.h"

namespace {

constexpr double PI = 3.141592653589793;

// Preset files are a few hundred bytes; a larger file is read this far.
constexpr std::size_t READ_LIMIT = 64 * 1024;

const char* const kind_names[PRESET_KIND_COUNT] = {"wall",   "room", "text", "dim",     "opening",
                                                   "window", "door", "mat",  "pattern", "light"};

PresetField int_field(int32_t& v) { return {PresetFieldType::INT, &v, 0, {}, nullptr}; }
PresetField real_field(double& v) { return {PresetFieldType::REAL, &v, 0, {}, nullptr}; }
PresetField degrees_field(double& v) { return {PresetFieldType::DEGREES, &v, 0, {}, nullptr}; }
PresetField one_field() { return {PresetFieldType::ONE, nullptr, 0, {}, nullptr}; }
template <std::size_t N>
PresetField word_field(FixedText<N>& t) {
  return {PresetFieldType::WORD, t.data(), N, {}, nullptr};
}
template <std::size_t N>
PresetField line_field(FixedText<N>& t) {
  return {PresetFieldType::LINE, t.data(), N, {}, nullptr};
}

bool blank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r' || c == '\n'; }

std::string_view trim(std::string_view s) {
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

// A number line: one number, blanks around it allowed, nothing else.
bool parse_int(std::string_view line, int32_t& out) {
  std::string_view s = trim(line);
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  if (s.empty()) return false;
  int32_t v = 0;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || end != s.data() + s.size()) return false;
  out = v;
  return true;
}

bool parse_real(std::string_view line, double& out) {
  std::string_view s = trim(line);
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  if (s.empty()) return false;
  double v = 0.0;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || end != s.data() + s.size() || !std::isfinite(v)) return false;
  out = v;
  return true;
}

void set_text(const PresetField& f, std::string_view s) {
  char* buf = static_cast<char*>(f.var);
  if (!buf || f.size == 0) return;
  std::size_t n = std::min(s.size(), f.size - 1);
  if (const void* nul = std::memchr(s.data(), '\0', n)) n = static_cast<const char*>(nul) - s.data();
  // A kept text never ends in a CR either: the next reading would take it
  // for part of the line end.
  while (n > 0 && s[n - 1] == '\r') --n;
  std::memcpy(buf, s.data(), n);
  std::memset(buf + n, 0, f.size - n);
}

std::string real_text(double v) {
  char buf[512];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 6);
  if (ec != std::errc()) return "0.000000";
  return std::string(buf, end);
}

// The real a field's variable is to hold: v itself, or brought into the
// variable's range, counted in *adjusted.
double within_range(const PresetField& f, double v, int* adjusted) {
  const ValueRange* range = value_range_of(f.var);
  if (!range || range->holds(v) || (v == 0.0 && value_zero_means_none(f.var))) return v;
  if (adjusted) ++*adjusted;
  return range->clamp(v);
}

// The text of a real as the file holds it (degrees for an angle): six
// decimals, or where those would read back outside the variable's range
// while the value lies inside it (a tiny size above 0), the digits that
// read back as the value.
std::string field_real_text(const PresetField& f, double v, bool degrees) {
  const double shown = degrees ? v / PI * 180.0 : v;
  std::string text = real_text(shown);
  const ValueRange* range = value_range_of(f.var);
  double back = 0.0;
  if (!range || !range->holds(v) || !parse_real(text, back) ||
      range->holds(degrees ? back / 180.0 * PI : back))
    return text;
  char buf[512];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, shown, std::chars_format::fixed);
  return ec == std::errc() ? std::string(buf, end) : text;
}

// Reads one field from its line; false when the line does not hold it.
bool read_field(const PresetField& f, std::string_view line, int* adjusted) {
  switch (f.type) {
    case PresetFieldType::INT: {
      int32_t v = 0;
      if (!parse_int(line, v)) return false;
      *static_cast<int32_t*>(f.var) = v;
      return true;
    }
    case PresetFieldType::REAL:
    case PresetFieldType::DEGREES:
    case PresetFieldType::ONE: {
      double v = 0.0;
      if (!parse_real(line, v)) return false;
      if (f.type == PresetFieldType::REAL) *static_cast<double*>(f.var) = within_range(f, v, adjusted);
      if (f.type == PresetFieldType::DEGREES)
        *static_cast<double*>(f.var) = within_range(f, v / 180.0 * PI, adjusted);
      return true;
    }
    case PresetFieldType::WORD: {
      std::string_view s = line;
      while (!s.empty() && blank(s.front())) s.remove_prefix(1);
      std::size_t n = 0;
      while (n < s.size() && !blank(s[n])) ++n;
      // A text ends at a NUL byte: a word empty before it is no word, and
      // would be written as an empty line that reads as none.
      n = std::min(n, s.find('\0'));
      if (n == 0) return false;
      set_text(f, s.substr(0, n));
      return true;
    }
    case PresetFieldType::LINE:
      set_text(f, line);
      return true;
  }
  return false;
}

void read_missing(const PresetField& f) {
  if (f.missing_real && f.var) *static_cast<double*>(f.var) = *f.missing_real;
  if (f.missing_text) set_text(f, f.missing_text);
}

bool regular_file(std::FILE* f) {
  struct stat st;
  return ::fstat(fileno(f), &st) == 0 && S_ISREG(st.st_mode);
}

void report_failed_save(const std::string& shown_path) {
  std::printf("*%s* error\n", shown_path.c_str());
  std::fflush(stdout);
  ui().msgbox_error(nls_translate("Cannot open file"));
}

}  // namespace

const char* preset_kind_name(PresetKind kind) {
  const auto i = static_cast<std::size_t>(kind);
  return i < PRESET_KIND_COUNT ? kind_names[i] : "";
}

std::optional<PresetKind> preset_kind_of(std::string_view name) {
  for (PresetKind k : preset_kinds)
    if (name == preset_kind_name(k)) return k;
  return std::nullopt;
}

FixedText<NAME_LEN>& preset_name(PresetKind kind) {
  switch (kind) {
    case PresetKind::WALL:
      return wall_preset.name;
    case PresetKind::ROOM:
      return room_preset.name;
    case PresetKind::TEXT:
      return text_preset.name;
    case PresetKind::DIM:
      return dim_preset.name;
    case PresetKind::OPENING:
      return opening_preset.name;
    case PresetKind::WINDOW:
      return window_preset.name;
    case PresetKind::DOOR:
      return door_preset.name;
    case PresetKind::MAT:
      return material_preset.name;
    case PresetKind::PATTERN:
      return pattern_preset.name;
    case PresetKind::LIGHT:
      return light_preset.name;
  }
  return wall_preset.name;
}

bool preset_name_ok(std::string_view name) {
  if (name.empty() || name.size() > PRESET_NAME_MAX) return false;
  if (name == "." || name == "..") return false;
  return name.find('/') == std::string_view::npos && name.find('\0') == std::string_view::npos;
}

std::string preset_path(PresetKind kind, std::string_view name) {
  if (!preset_name_ok(name)) return std::string();
  std::string path(dialog_path.c_str());
  path += '/';
  path += preset_kind_name(kind);
  path += '/';
  path += name;
  return path;
}

PresetFields preset_fields(WallPreset& p) {
  return {line_field(p.material), real_field(p.thickness), real_field(p.base),
          real_field(p.height),   int_field(p.pen),        int_field(p.line_type)};
}

PresetFields preset_fields(RoomPreset& p) {
  return {real_field(p.factor),     real_field(p.base),       real_field(p.height),
          int_field(p.show_area),   int_field(p.show_volume), int_field(p.show_description),
          int_field(p.show_number), int_field(p.pen),         int_field(p.line_type)};
}

PresetFields preset_fields(TextPreset& p) {
  return {word_field(p.font),    real_field(p.line_spacing), real_field(p.width),
          real_field(p.spacing), int_field(p.pen),           int_field(p.line_type)};
}

PresetFields preset_fields(DimPreset& p) {
  return {word_field(p.font),
          int_field(p.chain_pen),
          int_field(p.chain_line_type),
          int_field(p.figure_pen),
          int_field(p.figure_line_type),
          real_field(p.figure_size),
          real_field(p.figure_space),
          real_field(p.figure_width),
          real_field(p.chain_space),
          real_field(p.help_line_length),
          int_field(p.display_format),
          int_field(p.end_mark)};
}

PresetFields preset_fields(OpeningPreset& p) {
  return {int_field(p.symbol_variant), real_field(p.base), real_field(p.height), real_field(p.stop_width),
          real_field(p.stop_depth)};
}

PresetFields preset_fields(MaterialPreset& p) {
  PresetField special_text = line_field(p.special_text);
  special_text.missing_text = "dat/special/";
  return {real_field(p.r),
          real_field(p.g),
          real_field(p.b),
          real_field(p.transparency),
          one_field(),
          real_field(p.reflection),
          real_field(p.highlight),
          int_field(p.refraction),
          int_field(p.metallic),
          real_field(p.ambience),
          int_field(p.texture_mode),
          line_field(p.image_file),
          int_field(p.repeat),
          real_field(p.size_x),
          real_field(p.size_y),
          real_field(p.offset_x),
          real_field(p.offset_y),
          int_field(p.special),
          special_text};
}

PresetFields preset_fields(PatternPreset& p) {
  return {int_field(p.pen1),      int_field(p.line_type1), int_field(p.pen2),      int_field(p.line_type2),
          real_field(p.spacing1), degrees_field(p.angle1), real_field(p.spacing2), degrees_field(p.angle2),
          int_field(p.type),      real_field(p.r),         real_field(p.g),        real_field(p.b)};
}

PresetFields preset_fields(LightPreset& p) {
  PresetField intensity = real_field(p.shadow_intensity);
  intensity.missing_real = 1.0;
  return {int_field(p.type), int_field(p.shadow), real_field(p.size), real_field(p.angle),
          real_field(p.r),   real_field(p.g),     real_field(p.b),    intensity};
}

PresetFields preset_fields(PresetKind kind) {
  switch (kind) {
    case PresetKind::WALL:
      return preset_fields(wall_preset);
    case PresetKind::ROOM:
      return preset_fields(room_preset);
    case PresetKind::TEXT:
      return preset_fields(text_preset);
    case PresetKind::DIM:
      return preset_fields(dim_preset);
    case PresetKind::OPENING:
      return preset_fields(opening_preset);
    case PresetKind::WINDOW:
      return preset_fields(window_preset);
    case PresetKind::DOOR:
      return preset_fields(door_preset);
    case PresetKind::MAT:
      return preset_fields(material_preset);
    case PresetKind::PATTERN:
      return preset_fields(pattern_preset);
    case PresetKind::LIGHT:
      return preset_fields(light_preset);
  }
  return {};
}

std::string preset_format(const PresetFields& fields) {
  std::string out;
  for (const PresetField& f : fields) {
    switch (f.type) {
      case PresetFieldType::INT:
        out += std::to_string(*static_cast<const int32_t*>(f.var));
        break;
      case PresetFieldType::REAL:
        out += field_real_text(f, *static_cast<const double*>(f.var), false);
        break;
      case PresetFieldType::DEGREES:
        out += field_real_text(f, *static_cast<const double*>(f.var), true);
        break;
      case PresetFieldType::ONE:
        out += real_text(1.0);
        break;
      case PresetFieldType::WORD:
      case PresetFieldType::LINE:
        out.append(static_cast<const char*>(f.var), strnlen(static_cast<const char*>(f.var), f.size));
        break;
    }
    out += '\n';
  }
  return out;
}

int preset_parse(std::string_view text, const PresetFields& fields, int* adjusted) {
  int read = 0;
  std::size_t at = 0;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (at >= text.size()) {
      // The file ends before this line: what the missing lines give.
      for (std::size_t j = i; j < fields.size(); ++j) read_missing(fields[j]);
      break;
    }
    std::size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(at, end - at);
    // CRs at the end belong to the line end (CR LF, or CR CR LF after a
    // copy between systems): a text kept with one would gain a line end.
    while (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    at = end + 1;
    if (!read_field(fields[i], line, adjusted)) break;
    ++read;
  }
  return read;
}

std::optional<std::string> preset_read_file(PresetKind kind, std::string_view name) {
  const std::string path = preset_path(kind, name);
  if (path.empty()) return std::nullopt;
  FioFile in(path.c_str(), "rb");
  if (!in || !regular_file(in.get())) return std::nullopt;
  std::string text(READ_LIMIT, '\0');
  const std::size_t n = std::fread(text.data(), 1, text.size(), in.get());
  if (std::ferror(in.get())) return std::nullopt;
  text.resize(n);
  return text;
}

bool preset_write_file(const std::string& path, const PresetFields& fields) {
  if (path.empty()) return false;
  const std::string bytes = preset_format(fields);
  FioSafeWriter out(path);
  return out.stream() && fio_write_block(out.stream(), bytes.data(), static_cast<int>(bytes.size())) &&
         out.commit();
}

int preset_load(PresetKind kind) {
  const std::string name(preset_name(kind).c_str());
  if (name.empty() || (kind == PresetKind::MAT && name == "con")) return 0;
  const std::optional<std::string> text = preset_read_file(kind, name);
  if (!text) return 0;
  int adjusted = 0;
  preset_parse(*text, preset_fields(kind), &adjusted);
  if (adjusted > 0) {
    const std::string shown = std::string(preset_kind_name(kind)) + "/" + name;
    char note[400];
    const char* form =
        adjusted == 1 ? nls_mark("Preset %s: %d value lay outside its range and was brought into it.")
                      : nls_mark("Preset %s: %d values lay outside their range and were brought into it.");
    std::snprintf(note, sizeof note, nls_translate(form), shown.c_str(), adjusted);
    ui().msgbox_error(note);
  }
  return 1;
}

void preset_load_all() {
  for (PresetKind k : preset_kinds) preset_load(k);
}

int preset_save(PresetKind kind) {
  const std::string name(preset_name(kind).c_str());
  const std::string path = preset_path(kind, name);
  if (path.empty()) {
    report_failed_save(std::string(dialog_path.c_str()) + "/" + preset_kind_name(kind) + "/" + name);
    return 0;
  }
  if (!preset_write_file(path, preset_fields(kind))) {
    report_failed_save(path);
    return 0;
  }
  return 1;
}

PresetDelete preset_delete(PresetKind kind) {
  const std::string name(preset_name(kind).c_str());
  if (name == PRESET_DEFAULT) return PresetDelete::KEPT;
  const std::string path = preset_path(kind, name);
  if (path.empty()) return PresetDelete::REFUSED;
  fio_shell_rm(path.c_str());
  return PresetDelete::REMOVED;
}
