#include "exchange/dxf_reader.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <istream>

#include "exchange/dxf_codepage.h"
#include "exchange/dxf_common.h"
#include "exchange/dxf_internal.h"
#include "model/elem_points.h"
#include "model/import_range.h"
#include "model/layers.h"
#include "model/nls.h"
#include "model/settings.h"

namespace dxf {

// ---------------------------------------------------------------------------
// Lines and numbers

LineSource::LineSource(std::istream& in, std::size_t block) : in_(in), buf_(block) {}

bool LineSource::refill() {
  if (pos_ > 0) {
    std::memmove(buf_.data(), buf_.data() + pos_, end_ - pos_);
    end_ -= pos_;
    pos_ = 0;
  }
  if (end_ == buf_.size()) {
    // One line fills the whole buffer.
    if (buf_.size() >= MAX_LINE) {
      overlong_ = true;
      return false;
    }
    buf_.resize(std::min(buf_.size() * 2, MAX_LINE));
  }
  in_.read(buf_.data() + end_, static_cast<std::streamsize>(buf_.size() - end_));
  const std::streamsize got = in_.gcount();
  end_ += static_cast<std::size_t>(got > 0 ? got : 0);
  if (!in_ || got <= 0) eof_ = true;
  return true;
}

bool LineSource::next(std::string_view& line) {
  for (;;) {
    const char* base = buf_.data();
    const char* nl = static_cast<const char*>(std::memchr(base + pos_, '\n', end_ - pos_));
    std::size_t stop;
    if (nl) {
      stop = static_cast<std::size_t>(nl - base);
    } else if (eof_) {
      if (pos_ == end_) return false;
      stop = end_;
    } else {
      if (!refill()) return false;
      continue;
    }
    std::size_t len = stop - pos_;
    if (len > 0 && base[pos_ + len - 1] == '\r') --len;
    line = std::string_view(base + pos_, len);
    const std::size_t next = nl ? stop + 1 : stop;
    consumed_ += next - pos_;
    pos_ = next;
    ++lines_;
    return true;
  }
}

namespace {

bool blank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

bool only_blanks(std::string_view s) { return trimmed(s).empty(); }

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

bool parse_code(std::string_view line, int* code) {
  if (line.size() >= 3 && std::memcmp(line.data(), "\xEF\xBB\xBF", 3) == 0) line.remove_prefix(3);
  // The usual form first: blanks, then up to four digits, nothing after.
  std::size_t i = 0;
  while (i < line.size() && blank(line[i])) ++i;
  const std::size_t digits = i;
  int v = 0;
  while (i < line.size() && i - digits < 5 && line[i] >= '0' && line[i] <= '9')
    v = v * 10 + (line[i++] - '0');
  if (i > digits && i == line.size()) {
    *code = v;
    return true;
  }
  line = trimmed(line);
  if (line.empty()) return false;
  auto [p, ec] = std::from_chars(line.data(), line.data() + line.size(), v);
  if (ec != std::errc{} || p != line.data() + line.size()) return false;
  *code = v;
  return true;
}

bool parse_number(std::string_view s, double* value) {
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  *value = 0.0;
  double v = 0.0;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc{} || !std::isfinite(v)) return false;
  *value = v;
  return true;
}

double parse_double(std::string_view s) {
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  double v = 0.0;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc{} || !std::isfinite(v)) return 0.0;
  return v;
}

int32_t parse_int(std::string_view s) {
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  long long v = 0;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec == std::errc::result_out_of_range) return s.front() == '-' ? INT32_MIN : INT32_MAX;
  if (ec != std::errc{}) return 0;
  return static_cast<int32_t>(std::clamp<long long>(v, INT32_MIN, INT32_MAX));
}

bool same_name(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (upper(a[i]) != upper(b[i])) return false;
  return true;
}

std::size_t NameHash::operator()(std::string_view s) const {
  std::size_t h = 1469598103934665603ull;
  for (char c : s) h = (h ^ static_cast<unsigned char>(upper(c))) * 1099511628211ull;
  return h;
}

Kind kind_of(std::string_view name) {
  struct Row {
    const char* name;
    Kind kind;
  };
  static const Row rows[] = {
      {"LINE", Kind::LINE},
      {"POINT", Kind::POINT},
      {"3DLINE", Kind::LINE3D},
      {"CIRCLE", Kind::CIRCLE},
      {"ARC", Kind::ARC},
      {"ELLIPSE", Kind::ELLIPSE},
      {"SPLINE", Kind::SPLINE},
      {"HATCH", Kind::HATCH},
      {"3DFACE", Kind::FACE3D},
      {"SOLID", Kind::SOLID},
      {"LWPOLYLINE", Kind::LWPOLYLINE},
      {"POLYLINE", Kind::POLYLINE},
      {"VERTEX", Kind::VERTEX},
      {"SEQEND", Kind::SEQEND},
      {"TEXT", Kind::TEXT},
      {"MTEXT", Kind::MTEXT},
      {"DIMENSION", Kind::DIMENSION},
      {"BLOCK", Kind::BLOCK},
      {"INSERT", Kind::INSERT},
      {"ATTRIB", Kind::ATTRIB},
      {"ATTDEF", Kind::ATTDEF},
      {"ENTITIES", Kind::SECTION_NAME},
  };
  for (const Row& r : rows)
    if (name == r.name) return r.kind;
  return Kind::OTHER;
}

void Fields::clear() {
  n = Numbers{};
  bad_number = bad_count = false;
  unknown_edges = beyond_count = 0;
  text.clear();
  name.clear();
  line_type.clear();
  layer.clear();
  knots.clear();
  weights.clear();
  fit.clear();
}

// ---------------------------------------------------------------------------
// The importer: passes, sections, tables

Importer::Importer(std::istream& in, const DxfImportOptions& options, DxfImport& out)
    : in_(in), opt_(options), out_(out) {
  factor_ = dxf_factor_of_unit(options.unit);
  if (!(factor_ > 0.0)) factor_ = 1.0;
  next_layer_ = std::clamp(options.first_layer, 0, LAYER_COUNT - 1);
}

void Importer::note(const char* fmt, ...) {
  char buf[512];
  va_list ap;
  va_start(ap, fmt);
  std::vsnprintf(buf, sizeof buf, fmt, ap);
  va_end(ap);
  out_.log += buf;
}

uint64_t Importer::bytes_left() const {
  const uint64_t used = src_ ? src_->consumed() : 0;
  return total_bytes_ > used ? total_bytes_ - used : 0;
}

bool Importer::tell(double fraction) {
  if (opt_.progress) opt_.progress(fraction);
  if (opt_.cancelled && opt_.cancelled()) {
    out_.error = DxfError::CANCELLED;
    return false;
  }
  return true;
}

bool Importer::looks_like_dxf() {
  // The file's length, for the first pass's share of the bar.
  in_.seekg(0, std::ios::end);
  const std::streamoff end = in_.tellg();
  file_size_ = end > 0 ? static_cast<uint64_t>(end) : 0;
  in_.clear();
  in_.seekg(0);
  // A look at the start: a text file of groups begins with a short line
  // holding a group code, and holds no NUL bytes (an empty or zero-filled
  // file is no DXF, however large).
  char head[4096];
  in_.read(head, sizeof head);
  const std::size_t got = static_cast<std::size_t>(in_.gcount());
  in_.clear();
  in_.seekg(0);
  const std::string_view start(head, got);
  if (start.substr(0, 18) == "AutoCAD Binary DXF") {
    out_.error = DxfError::BINARY;
    return false;
  }
  if (start.find('\0') != std::string_view::npos) {
    out_.error = DxfError::NOT_DXF;
    return false;
  }
  std::size_t at = 0;
  while (at < start.size()) {
    const std::size_t eol = start.find('\n', at);
    if (eol == std::string_view::npos) {
      // The first line runs on beyond the look.
      if (got == sizeof head) {
        out_.error = DxfError::NOT_DXF;
        return false;
      }
    }
    std::string_view line =
        start.substr(at, eol == std::string_view::npos ? std::string_view::npos : eol - at);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!only_blanks(line)) {
      int code = 0;
      if (!parse_code(line, &code)) {
        out_.error = DxfError::NOT_DXF;
        return false;
      }
      break;
    }
    if (eol == std::string_view::npos) break;
    at = eol + 1;
  }
  return true;
}

std::size_t Importer::line_block() const {
  // The whole of a small file in one block: a large buffer costs more to
  // make and clear than such a file takes to read.
  constexpr std::size_t most = std::size_t{1} << 20, least = 256;
  if (file_size_ == 0) return most;
  return static_cast<std::size_t>(std::clamp<uint64_t>(file_size_ + 1, least, most));
}

bool Importer::scan() {
  if (!looks_like_dxf()) return false;
  LineSource src(in_, line_block());
  std::string_view line;
  bool section_name_next = false, in_entities = false;
  bool entities = false, entities_closed = false;
  uint64_t shown = 0;
  for (;;) {
    if (!src.next(line)) break;
    // Now and then, by bytes read: the bar's first quarter.
    if (src.consumed() - shown >= (uint64_t{1} << 22) && file_size_ > 0) {
      shown = src.consumed();
      if (!tell(0.25 * static_cast<double>(shown) / static_cast<double>(file_size_))) return false;
    }
    int code = 0;
    if (!parse_code(line, &code)) {
      // Blank lines at the very end are no harm; anything else is.
      const int64_t at = static_cast<int64_t>(src.line_number());
      bool rest_blank = only_blanks(line);
      while (rest_blank && src.next(line)) rest_blank = only_blanks(line);
      if (rest_blank && !src.overlong()) break;
      out_.error = DxfError::CORRUPT;
      out_.error_line = at;
      return false;
    }
    if (!src.next(line)) break;
    ++total_groups_;
    const std::string_view v = trimmed(line);
    if (code == 0) {
      if (v == "EOF") break;
      if (v == "ENDSEC" && in_entities) {
        entities_closed = true;
        in_entities = false;
      }
      section_name_next = v == "SECTION";
      continue;
    }
    if (code == 2 && section_name_next && v == "ENTITIES") {
      entities = true;
      in_entities = true;
    }
    section_name_next = false;
  }
  if (src.overlong()) {
    out_.error = DxfError::CORRUPT;
    out_.error_line = static_cast<int64_t>(src.line_number()) + 1;
    return false;
  }
  total_bytes_ = src.consumed();
  if (!entities) {
    out_.error = DxfError::NO_ENTITIES;
    return false;
  }
  if (!entities_closed) {
    out_.error = DxfError::TRUNCATED;
    return false;
  }
  return true;
}

bool Importer::read_group() {
  std::string_view line;
  if (failed_ || !src_->next(line)) return false;
  int code = 0;
  if (!parse_code(line, &code)) {
    // Pass 1 let only blank lines at the end through; anything else means
    // the file changed between the passes.
    if (!only_blanks(line)) failed_ = true;
    return false;
  }
  if (!src_->next(line)) return false;
  g_.code = code;
  g_.value = line;
  ++groups_read_;
  return true;
}

int Importer::read_entity(Kind kind) {
  f_.clear();
  state_ = COLLECT_IDLE;
  path_closed_ = false;
  const bool collects = kind == Kind::LWPOLYLINE || kind == Kind::HATCH || kind == Kind::SPLINE;
  while (read_group()) {
    if (g_.code == 0) return 1;
    store(kind);
    if (collects) collect(kind, g_.code);
  }
  return -1;
}

void Importer::store(Kind kind) {
  const int code = g_.code;
  const std::string_view v = g_.value;
  Numbers& n = f_.n;
  // A value that is no finite number reads 0 and marks the entity.
  auto number = [this](std::string_view text) {
    double value = 0.0;
    if (!parse_number(text, &value)) f_.bad_number = true;
    return value;
  };
  switch (code) {
    case 3:
      // An attribute definition's prompt is not its text.
      if (kind == Kind::ATTDEF) return;
      [[fallthrough]];
    case 1:
      // Far more than a text may keep; the conversion cuts it further.
      if (f_.text.size() < (std::size_t{1} << 20)) f_.text.append(v.substr(0, (std::size_t{1} << 20)));
      return;
    case 2:
      f_.name.assign(v);
      return;
    case 6:
      f_.line_type.assign(v);
      return;
    case 8:
      f_.layer.assign(v);
      return;
    default:
      break;
  }
  if (code >= 10 && code <= 16) {
    n.x[code - 10] = number(v) / factor_;
    if (code == 11) n.has_point1 = true;
  } else if (code >= 20 && code <= 26) {
    n.y[code - 20] = number(v) / factor_;
    if (code == 21 && kind == Kind::SPLINE && f_.fit.size() < 1000000) f_.fit.push_back({n.x[1], n.y[1], 0});
  } else if (code >= 30 && code <= 36) {
    n.z[code - 30] = number(v) / factor_;
  } else if (code == 40) {
    const double raw = number(v);
    // A ratio in an ellipse and in an elliptic hatch edge; a knot in a spline.
    const bool ratio = kind == Kind::ELLIPSE || (kind == Kind::HATCH && state_ == COLLECT_ELLIPSE_EDGE);
    n.size = ratio ? raw : raw / factor_;
    if (kind == Kind::SPLINE && f_.knots.size() < 1000000) f_.knots.push_back(raw);
    if (kind == Kind::HATCH && state_ == COLLECT_SPLINE_EDGE && edge_knots_.size() < 1000000)
      edge_knots_.push_back(raw);
  } else if (code == 41) {
    n.f41 = number(v);
    if (kind == Kind::SPLINE && f_.weights.size() < 1000000) f_.weights.push_back(n.f41);
  } else if (code == 42) {
    n.f42 = number(v);
  } else if (code == 43) {
    f_.prev43 = n.g43;
    n.g43 = number(v);
  } else if (code == 44) {
    f_.prev44 = n.g44;
    n.g44 = number(v);
  } else if (code == 45) {
    f_.prev45 = n.g45;
    n.g45 = number(v);
  } else if (code == 46) {
    f_.prev46 = n.g46;
    n.g46 = number(v);
  } else if (code >= 50 && code <= 53) {
    if (code == 53) f_.prev53 = n.angle[3];
    n.angle[code - 50] = number(v) / 180.0 * 3.141592653589793;
  } else if (code == 67) {
    n.space = parse_int(v);
  } else if (code == 62) {
    n.color = parse_int(v);
    n.has_color = true;
  } else if (code >= 70 && code <= 78) {
    n.i7[code - 70] = parse_int(v);
  } else if (code >= 90 && code <= 93) {
    n.i9[code - 90] = parse_int(v);
  } else if (code == 210 || code == 220 || code == 230) {
    n.ext[code / 10 - 21] = number(v);
    n.has_ext = true;
  }
}

void Importer::skip_section() {
  while (read_group())
    if (g_.code == 0 && trimmed(g_.value) == "ENDSEC") return;
}

void Importer::read_header() {
  enum { NONE, MIN, MAX } var = NONE;
  bool codepage_next = false, units_next = false;
  double box[2][3] = {};
  int have[2] = {0, 0};
  while (read_group()) {
    if (g_.code == 0) {
      if (trimmed(g_.value) == "ENDSEC") break;
      continue;
    }
    if (g_.code == 9) {
      const std::string_view name = trimmed(g_.value);
      var = name == "$EXTMIN" ? MIN : name == "$EXTMAX" ? MAX : NONE;
      codepage_next = name == "$DWGCODEPAGE";
      units_next = name == "$INSUNITS";
      continue;
    }
    if (units_next && g_.code == 70) {
      // 0 is "no unit"; the others it offers are inches, feet, millimetres,
      // centimetres and metres.
      const int unit = parse_int(g_.value);
      if (unit != 0 && unit != 1 && unit != 2 && unit != 4 && unit != 5 && unit != 6) {
        out_.unknown_unit = unit;
        out_.read_unit = std::clamp(opt_.unit, 0, DXF_UNIT_COUNT - 1);
      }
      units_next = false;
      continue;
    }
    if (codepage_next && g_.code == 3) {
      bool known = true;
      codepage_ = dxf_codepage_of(trimmed(g_.value), &known);
      if (!known) out_.unknown_codepage.assign(trimmed(g_.value));
      codepage_next = false;
      continue;
    }
    if (var == NONE || (g_.code != 10 && g_.code != 20 && g_.code != 30)) continue;
    const int k = var == MIN ? 0 : 1;
    const int axis = g_.code / 10 - 1;
    box[k][axis] = parse_double(g_.value) / factor_;
    have[k] |= 1 << axis;
  }
  // Both corners with x and y, in order and not the "unset" values some
  // writers leave there.
  if ((have[0] & 3) != 3 || (have[1] & 3) != 3) return;
  for (int k = 0; k < 2; ++k)
    for (int a = 0; a < 3; ++a)
      if (!(std::fabs(box[k][a] * factor_) < 1e20)) return;
  if (box[0][0] > box[1][0] || box[0][1] > box[1][1]) return;
  out_.has_extents = true;
  out_.extents_min = {box[0][0], box[0][1], box[0][2], 0};
  out_.extents_max = {box[1][0], box[1][1], box[1][2], 0};
}

void Importer::read_tables() {
  while (read_group()) {
    if (g_.code != 0) continue;
    const std::string_view v = trimmed(g_.value);
    if (v == "ENDSEC") return;
    if (v != "TABLE") continue;
    if (!read_group()) return;
    if (g_.code == 2 && trimmed(g_.value) == "LAYER") read_layer_table();
  }
}

void Importer::read_layer_table() {
  // The table's own groups, up to its first entry.
  while (read_group())
    if (g_.code == 0) break;
  while (!failed_ && g_.code == 0 && trimmed(g_.value) == "LAYER") {
    layer_table_ = true;
    const int r = read_entity(Kind::LAYER);
    add_layer(f_.n.color, (f_.n.i7[0] & 1) != 0, f_.line_type);
    if (r < 0) return;
  }
}

int Importer::next_program_layer(std::string_view name) {
  const int layer = next_layer_;
  out_.layer_names.push_back({layer, std::string(name)});
  if (name.size() > static_cast<std::size_t>(NAME_LEN - 1)) ++out_.cut_layer_names;
  // Everything beyond the last layer shares it.
  if (layer == LAYER_COUNT - 1) {
    if (last_layer_given_) ++out_.shared_layers;
    last_layer_given_ = true;
  }
  if (next_layer_ < LAYER_COUNT - 1) ++next_layer_;
  return layer;
}

void Importer::add_layer(int color, bool frozen, std::string_view line_type) {
  LayerRec rec;
  rec.name = f_.name;
  // A layer that is off has its colour negated; it keeps its pen.
  const int c = color < 0 && color > INT32_MIN ? -color : color;
  rec.color = c;
  rec.pen = static_cast<uint8_t>(dxf_pen_from_color(c));
  rec.line_type = static_cast<uint8_t>(dxf_linetype_from_name(line_type));
  rec.frozen = frozen ? 1 : 0;
  if (frozen)
    rec.target = LAYER_SKIP;
  else if (opt_.layer_mode != 0)
    rec.target = next_program_layer(rec.name);
  else
    rec.target = std::clamp(opt_.first_layer, 0, LAYER_COUNT - 1);
  const int index = static_cast<int>(layers_.size());
  layer_by_key_.emplace(rec.name, index);
  layers_.push_back(std::move(rec));
}

int Importer::layer_index(std::string_view name) {
  if (last_layer_index_ != -2 && name == last_layer_name_) return last_layer_index_;
  int index = -1;
  auto it = layer_by_key_.find(name);
  if (it != layer_by_key_.end()) {
    index = it->second;
  } else {
    // A layer the table does not list: an ordinary layer of its own name,
    // on the current layer or, keeping layers, on a program layer of its own.
    LayerRec rec;
    rec.name = std::string(name);
    rec.target =
        opt_.layer_mode != 0 ? next_program_layer(name) : std::clamp(opt_.first_layer, 0, LAYER_COUNT - 1);
    index = static_cast<int>(layers_.size());
    layer_by_key_.emplace(std::string(name), index);
    layers_.push_back(std::move(rec));
  }
  last_layer_name_.assign(name);
  last_layer_index_ = index;
  return index;
}

void Importer::read_blocks() {
  while (read_group()) {
    if (g_.code != 0) continue;
    const std::string_view v = trimmed(g_.value);
    if (v == "ENDSEC") return;
    if (v != "BLOCK") continue;
    cur_block_ = static_cast<int>(blocks_.size());
    blocks_.emplace_back();
    cur_name_ = "BLOCK";
    Content content;
    read_entities(content, false);
    blocks_[static_cast<std::size_t>(cur_block_)].content = std::move(content);
    cur_block_ = -1;
    paper_block_ = false;
    if (cur_name_ == "ENDSEC" || failed_ || out_.error != DxfError::NONE) return;
  }
}

void Importer::run() {
  if (!scan()) return;
  in_.clear();
  in_.seekg(0);
  if (!in_) return;
  src_ = std::make_unique<LineSource>(in_, line_block());
  if (!tell(0.25)) return;
  while (read_group()) {
    if (g_.code != 0) continue;
    const std::string_view v = trimmed(g_.value);
    if (v == "EOF") break;
    if (v != "SECTION") continue;
    if (!read_group()) break;
    if (g_.code != 2) continue;
    const std::string_view name = trimmed(g_.value);
    if (name == "HEADER") {
      read_header();
    } else if (name == "TABLES") {
      read_tables();
    } else if (name == "BLOCKS") {
      read_blocks();
    } else if (name == "ENTITIES") {
      cur_name_ = "ENTITIES";
      read_entities(top_, true);
    } else {
      skip_section();
    }
    if (out_.error != DxfError::NONE) return;
  }
  if (failed_) {
    out_.error = DxfError::CORRUPT;
    out_.error_line = static_cast<int64_t>(src_->line_number());
    return;
  }
  finish();
}

// ---------------------------------------------------------------------------
// Inserts: counting and copying block content

namespace {

constexpr int64_t MOST = INT64_MAX;

int64_t plus(int64_t a, int64_t b) { return a > MOST - b ? MOST : a + b; }

int64_t times(int64_t copies, int64_t each) {
  if (copies == 0 || each == 0) return 0;
  return copies > MOST / each ? MOST : copies * each;
}

}  // namespace

void tally_add(Tally& to, std::string_view what, int64_t count) {
  for (auto& [name, n] : to) {
    if (name == what) {
      n = plus(n, count);
      return;
    }
  }
  to.emplace_back(std::string(what), count);
}

void tally_add(Tally& to, const Tally& from, int64_t times_) {
  for (const auto& [name, n] : from) tally_add(to, name, times(n, times_));
}

bool finite_element(ElemHeader* e) {
  bool ok = true;
  auto f2 = [&ok](const Point2& p) { ok = ok && import_in_range(p.x) && import_in_range(p.y); };
  auto f3 = [&ok](const Point3& p) {
    ok = ok && import_in_range(p.x) && import_in_range(p.y) && import_in_range(p.z);
  };
  elem_for_each_point(e, 0, f2, f3);
  if (const ArcElem* a = elem_as<ArcElem>(e))
    ok = ok && import_in_range(a->radius_x) && import_in_range(a->radius_y) && std::isfinite(a->sweep) &&
         std::isfinite(a->start) && std::isfinite(a->rotation);
  if (const TextElem* t = elem_as<TextElem>(e))
    // A letter's width is the height times the width factor.
    ok = ok && import_in_range(t->height) && import_in_range(t->height * t->width_factor) &&
         import_in_range(t->fit_length) && std::isfinite(t->angle);
  if (const PatternElem* p = elem_as<PatternElem>(e))
    ok = ok && import_in_range(p->spacing1) && import_in_range(p->spacing2);
  return ok;
}

void Importer::resolve_inserts(Content& c, Tally* left) {
  for (InsertRef& ref : c.inserts) {
    auto it = block_by_key_.find(ref.block);
    ref.target = it == block_by_key_.end() ? -1 : it->second;
    if (ref.target < 0) tally_add(*left, "INSERT of missing blocks", 1);
  }
}

// Depth first through the blocks' inserts, with a stack of its own: chains
// of inserts may be thousands of blocks deep. An insert of a block that is
// still on the way down would close a loop; it is dropped, so that every
// block makes the same wherever it is inserted.
void Importer::link_from(int root) {
  struct Step {
    int block;
    std::size_t next;
  };
  if (blocks_[static_cast<std::size_t>(root)].state != 0) return;
  std::vector<Step> stack{{root, 0}};
  blocks_[static_cast<std::size_t>(root)].state = 1;
  while (!stack.empty()) {
    Step& step = stack.back();
    Block& blk = blocks_[static_cast<std::size_t>(step.block)];
    if (step.next < blk.content.inserts.size()) {
      InsertRef& ref = blk.content.inserts[step.next++];
      if (ref.target < 0) continue;
      Block& inner = blocks_[static_cast<std::size_t>(ref.target)];
      if (inner.state == 1) {
        note("Problem: block %s is inserted into itself\n", inner.name.c_str());
        tally_add(blk.left_out, "INSERT of a block into itself", 1);
        ref.target = -1;
      } else if (inner.state == 0) {
        inner.state = 1;
        stack.push_back({ref.target, 0});
      }
      continue;
    }
    // Every block it inserts is done: count what one insert of it makes.
    int64_t sum = 0;
    for (const Item& item : blk.content.items) {
      if (item.elem) {
        sum = plus(sum, 1);
        continue;
      }
      const InsertRef& ref = blk.content.inserts[static_cast<std::size_t>(item.insert)];
      if (ref.target >= 0)
        sum = plus(sum, times(ref.copies(), blocks_[static_cast<std::size_t>(ref.target)].expanded));
    }
    blk.expanded = sum;
    blk.left_out_all = blk.left_out;
    blk.moved_all = blk.moved;
    blk.lost_all = blk.lost;
    blk.cut_all = blk.cut;
    for (const Item& item : blk.content.items) {
      if (item.elem) continue;
      const InsertRef& ref = blk.content.inserts[static_cast<std::size_t>(item.insert)];
      if (ref.target < 0) continue;
      const Block& inner = blocks_[static_cast<std::size_t>(ref.target)];
      tally_add(blk.left_out_all, inner.left_out_all, ref.copies());
      blk.moved_all = plus(blk.moved_all, times(ref.copies(), inner.moved_all));
      blk.lost_all = plus(blk.lost_all, times(ref.copies(), inner.lost_all));
      blk.cut_all = plus(blk.cut_all, times(ref.copies(), inner.cut_all));
    }
    blk.state = 2;
    stack.pop_back();
  }
}

void Importer::link_blocks() {
  for (Block& blk : blocks_) resolve_inserts(blk.content, &blk.left_out);
  Tally top_left;
  resolve_inserts(top_, &top_left);
  // Loops are broken where the drawing first goes into them.
  for (const InsertRef& ref : top_.inserts)
    if (ref.target >= 0) link_from(ref.target);
  for (std::size_t b = 0; b < blocks_.size(); ++b) link_from(static_cast<int>(b));
  tally_add(out_.left_out, top_left, 1);
}

void Importer::finish() {
  link_blocks();
  int64_t total = dropped_;
  for (const Item& item : top_.items) {
    if (item.elem) {
      total = plus(total, 1);
      continue;
    }
    const InsertRef& ref = top_.inserts[static_cast<std::size_t>(item.insert)];
    if (ref.target < 0) continue;
    const Block& blk = blocks_[static_cast<std::size_t>(ref.target)];
    total = plus(total, times(ref.copies(), blk.expanded));
    tally_add(out_.left_out, blk.left_out_all, ref.copies());
    out_.moved_points = plus(out_.moved_points, times(ref.copies(), blk.moved_all));
    out_.lost_characters = plus(out_.lost_characters, times(ref.copies(), blk.lost_all));
    out_.cut_texts = plus(out_.cut_texts, times(ref.copies(), blk.cut_all));
  }
  if (total > DXF_MAX_ELEMENTS) {
    out_.error = DxfError::TOO_MANY_ELEMENTS;
    out_.would_make = total;
    return;
  }
  out_.elements.reserve(static_cast<std::size_t>(total));
  expand();
  out_.elements_made = static_cast<int64_t>(out_.elements.size());
  top_ = Content{};
  blocks_.clear();
  if (out_.error != DxfError::NONE) out_.elements.clear();
}

// The section's own elements move; block content is copied per insert, each
// copy placed once by the inserts above it made into one. Inserts of blocks
// that make nothing are passed by, however many copies they ask for.
void Importer::expand() {
  struct Frame {
    Content* content;
    std::size_t next;
    Placement place;
    // The grid insert being walked, its block and the next copy.
    const InsertRef* ref;
    int32_t row, column;
  };
  std::vector<Frame> stack;
  stack.push_back({&top_, 0, Placement{}, nullptr, 0, 0});
  while (!stack.empty()) {
    if ((++expand_counter_ & 0xFFF) == 0 && !tell(1.0)) return;
    Frame& f = stack.back();
    if (f.ref) {
      const InsertRef& ref = *f.ref;
      if (f.row >= ref.rows) {
        f.ref = nullptr;
        continue;
      }
      Block& blk = blocks_[static_cast<std::size_t>(ref.target)];
      const Placement p = compose(f.place, placement_of(grid_copy(ref, f.row, f.column), blk));
      if (++f.column >= ref.columns) {
        f.column = 0;
        ++f.row;
      }
      stack.push_back({&blk.content, 0, p, nullptr, 0, 0});
      continue;
    }
    if (f.next >= f.content->items.size()) {
      stack.pop_back();
      continue;
    }
    Item& item = f.content->items[f.next++];
    if (item.elem) {
      if (stack.size() == 1) {
        out_.elements.push_back(std::move(item.elem));
        continue;
      }
      std::unique_ptr<ElemHeader> copy = item.elem->clone();
      out_.moved_points += place_element(copy.get(), f.place, opt_.drawing_scale);
      // Scales beyond the numbers' range leave nothing that can be drawn.
      if (finite_element(copy.get()))
        out_.elements.push_back(std::move(copy));
      else
        tally_add(out_.left_out, "copies beyond the numbers' range", 1);
      continue;
    }
    const InsertRef& ref = f.content->inserts[static_cast<std::size_t>(item.insert)];
    if (ref.target < 0 || blocks_[static_cast<std::size_t>(ref.target)].expanded == 0) continue;
    f.ref = &ref;
    f.row = f.column = 0;
  }
}

void Importer::moved_points(int64_t count) {
  if (cur_block_ >= 0 && !paper_block_)
    blocks_[static_cast<std::size_t>(cur_block_)].moved += count;
  else
    out_.moved_points += count;
}

void Importer::lost_characters(int64_t count) {
  if (cur_block_ >= 0 && !paper_block_)
    blocks_[static_cast<std::size_t>(cur_block_)].lost += count;
  else
    out_.lost_characters += count;
}

void Importer::text_cut() {
  if (cur_block_ >= 0 && !paper_block_)
    ++blocks_[static_cast<std::size_t>(cur_block_)].cut;
  else
    ++out_.cut_texts;
}

void Importer::left_out(std::string_view what, int64_t count) {
  // Inside a block it counts once per insert of the block.
  if (cur_block_ >= 0 && !paper_block_)
    tally_add(blocks_[static_cast<std::size_t>(cur_block_)].left_out, what, count);
  else
    tally_add(out_.left_out, what, count);
}

}  // namespace dxf

// ---------------------------------------------------------------------------
// Text, colours, line types, statistics

namespace {

// The code points of s: UTF-8 decoded when s is valid UTF-8 holding a
// multi-byte sequence, else its bytes by the file's 8-bit code page.
std::u32string code_points(std::string_view s, int codepage) {
  std::u32string out;
  out.reserve(s.size());
  bool multibyte = false, valid = true;
  for (std::size_t i = 0; i < s.size() && valid;) {
    const auto c = static_cast<unsigned char>(s[i]);
    int len = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
    if (len == 0 || i + static_cast<std::size_t>(len) > s.size()) {
      valid = false;
      break;
    }
    char32_t cp = len == 1 ? c : len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
    for (int k = 1; k < len; ++k) {
      const auto d = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
      if ((d & 0xC0) != 0x80) valid = false;
      cp = (cp << 6) | (d & 0x3F);
    }
    // Overlong forms count as invalid.
    if ((len == 2 && cp < 0x80) || (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000)) valid = false;
    if (len > 1) multibyte = true;
    out.push_back(cp);
    i += static_cast<std::size_t>(len);
  }
  if (valid && multibyte) return out;
  out.clear();
  for (char c : s) out.push_back(dxf_codepage_decode(codepage, static_cast<unsigned char>(c)));
  return out;
}

// What stands for a character ISO 8859-1 lacks: the look-alike of common
// punctuation, "?" for anything else.
const char* stand_in(char32_t c) {
  switch (c) {
    case 0x20AC:
      return "EUR";
    case 0x201A:
    case 0x2018:
    case 0x2019:
    case 0x2032:
      return "'";
    case 0x201E:
    case 0x201C:
    case 0x201D:
    case 0x2033:
      return "\"";
    case 0x2013:
    case 0x2014:
    case 0x2212:
      return "-";
    case 0x2026:
      return "...";
    case 0x2022:
      return "\xB7";
    case 0x2039:
      return "<";
    case 0x203A:
      return ">";
    case 0x2122:
      return "TM";
    case 0x2030:
      return "0/00";
    case 0x0152:
      return "OE";
    case 0x0153:
      return "oe";
    case 0x2248:
      return "~";
    case 0x2264:
      return "<=";
    case 0x2265:
      return ">=";
    case 0x2300:
      return "\xD8";  // diameter sign
    default:
      return "?";
  }
}

int hex_value(char32_t c) {
  if (c >= '0' && c <= '9') return static_cast<int>(c - '0');
  if (c >= 'a' && c <= 'f') return static_cast<int>(c - 'a' + 10);
  if (c >= 'A' && c <= 'F') return static_cast<int>(c - 'A' + 10);
  return -1;
}

constexpr std::size_t TEXT_MAX = DXF_TEXT_MAX;

}  // namespace

std::string dxf_convert_text(std::string_view raw, bool mtext, std::string* log, int codepage, int64_t* lost,
                             bool* cut) {
  const std::u32string s = code_points(raw, codepage);
  const std::size_t n = s.size();
  std::string out;
  out.reserve(std::min(n, TEXT_MAX));
  if (cut) *cut = false;
  auto put = [&out, lost, cut](char32_t c) {
    if (c == 0) return;
    if (out.size() >= TEXT_MAX) {
      if (cut) *cut = true;
      return;
    }
    // Control characters of the upper half show nothing.
    if (c <= 0xFF && !(c >= 0x80 && c < 0xA0)) {
      out.push_back(static_cast<char>(static_cast<unsigned char>(c)));
      return;
    }
    const char* r = stand_in(c);
    if (lost && r[0] == '?' && r[1] == 0) ++*lost;
    for (; *r; ++r) {
      if (out.size() >= TEXT_MAX) {
        if (cut) *cut = true;
        return;
      }
      out.push_back(*r);
    }
  };
  for (std::size_t i = 0; i < n; ++i) {
    const char32_t c = s[i];
    if (c == '%' && i + 2 < n && s[i + 1] == '%') {
      const char32_t d = s[i + 2];
      switch (d) {
        case 'd':
        case 'D':
          put(0xB0);  // degree
          i += 2;
          continue;
        case 'p':
        case 'P':
          put(0xB1);  // plus-minus
          i += 2;
          continue;
        case 'c':
        case 'C':
          put(0xD8);  // diameter
          i += 2;
          continue;
        case '%':
          put('%');
          i += 2;
          continue;
        case 'u':
        case 'U':
        case 'o':
        case 'O':
        case 'k':
        case 'K':
          i += 2;  // underline, overline, strike-through toggles
          continue;
        default:
          break;
      }
      if (i + 4 < n) {
        int number = -1;
        if (s[i + 2] >= '0' && s[i + 2] <= '9' && s[i + 3] >= '0' && s[i + 3] <= '9' && s[i + 4] >= '0' &&
            s[i + 4] <= '9')
          number = static_cast<int>((s[i + 2] - '0') * 100 + (s[i + 3] - '0') * 10 + (s[i + 4] - '0'));
        switch (number) {
          case 129:
            put(0xFC);
            break;
          case 132:
            put(0xE4);
            break;
          case 142:
            put(0xC4);
            break;
          case 148:
            put(0xF6);
            break;
          case 153:
            put(0xD6);
            break;
          case 154:
            put(0xDC);
            break;
          default:
            break;
        }
        i += 4;
        continue;
      }
    }
    if (c == '^' && i + 1 < n) {
      // Caret notation: "^ " is a caret, "^@" to "^_" the control characters.
      const char32_t d = s[i + 1];
      if (d == ' ' || (d >= '@' && d <= '_') || d == '?') {
        put(d == ' ' ? U'^' : d == '?' ? U'\x7F' : d - 64);
        ++i;
        continue;
      }
    }
    if (c == '\\' && !mtext) {
      // A TEXT has no formatting codes: its backslashes are its own, but
      // for the codes of characters.
      const char32_t d = i + 1 < n ? s[i + 1] : 0;
      const std::size_t digits = d == 'U' ? 4 : 5;
      bool code = (d == 'U' || d == 'M') && i + 2 + digits < n && s[i + 2] == '+';
      char32_t cp = 0;
      for (std::size_t k = 0; code && k < digits; ++k) {
        const int h = hex_value(s[i + 3 + k]);
        code = h >= 0;
        cp = cp * 16 + static_cast<char32_t>(h < 0 ? 0 : h);
      }
      if (!code) {
        put(c);
        continue;
      }
      put(d == 'U' ? cp : U'\uFFFD');
      i += 2 + digits;
      continue;
    }
    if (c == '\\') {
      if (i + 1 >= n) break;
      const char32_t d = s[++i];
      // Codes whose argument runs to the next semicolon.
      auto skip_argument = [&] {
        while (i + 1 < n && s[i + 1] != ';') ++i;
        if (i + 1 < n) ++i;
      };
      switch (d) {
        case 'P':
          put('\n');
          break;
        case '\\':
        case '{':
        case '}':
          put(d);
          break;
        case '~':
          put(' ');
          break;
        case 'A':
        case 'f':
        case 'F':
        case 'H':
        case 'W':
        case 'Q':
        case 'T':
        case 'C':
        case 'c':
        case 'p':
          skip_argument();
          break;
        case 'S':
          // Stacked text num^den; (or num/den;, num#den;) as num/den.
          while (i + 1 < n && s[i + 1] != ';') {
            const char32_t e = s[++i];
            put(e == '^' || e == '#' ? U'/' : e);
          }
          if (i + 1 < n) ++i;
          break;
        case 'L':
        case 'l':
        case 'O':
        case 'o':
        case 'K':
        case 'k':
          break;
        case 'U':
        case 'M': {
          // \U+XXXX: a Unicode character; \M+nXXXX: a multi-byte one.
          const std::size_t digits = d == 'U' ? 4 : 5;
          bool ok = i + 1 + digits < n && s[i + 1] == '+';
          char32_t cp = 0;
          for (std::size_t k = 0; ok && k < digits; ++k) {
            const int h = hex_value(s[i + 2 + k]);
            if (h < 0) ok = false;
            cp = cp * 16 + static_cast<char32_t>(h < 0 ? 0 : h);
          }
          if (ok) {
            // A multi-byte character of an Asian code page: none the program can show.
            put(d == 'U' ? cp : U'\uFFFD');
            i += 1 + digits;
            break;
          }
          [[fallthrough]];
        }
        default:
          if (log) {
            char line[64];
            std::snprintf(line, sizeof line, "unsupported mtext code %d: %c\n", static_cast<int>(d),
                          d <= 0xFF ? static_cast<char>(d) : '?');
            *log += line;
          }
          break;
      }
      continue;
    }
    if (mtext && (c == '{' || c == '}')) continue;
    put(c);
  }
  return out;
}

int dxf_codepage_of(std::string_view name, bool* known) {
  if (known) *known = true;
  std::string up;
  for (char c : name)
    if (c != ' ' && c != '\t') up.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c);
  struct Row {
    const char* name;
    int page;
  };
  static const Row rows[] = {
      {"ANSI_1250", DXF_CODEPAGE_1250}, {"ANSI_1251", DXF_CODEPAGE_1251}, {"ANSI_1252", DXF_CODEPAGE_1252},
      {"DOS437", DXF_CODEPAGE_437},     {"DOS850", DXF_CODEPAGE_850},
  };
  for (const Row& r : rows)
    if (up == r.name) return r.page;
  // Files of the western code page far outnumber the others.
  if (known) *known = false;
  return DXF_CODEPAGE_1252;
}

std::string dxf_left_out_text(const DxfImport& result) {
  std::string out, list;
  char piece[512];
  for (const auto& [what, count] : result.left_out) {
    if (!list.empty()) list += ", ";
    list += std::to_string(count) + " " + what;
  }
  auto add = [&out](const std::string& s) { out += (out.empty() ? "" : "; ") + s; };
  if (!list.empty()) {
    // The list may be long: put in by hand, not through a fixed buffer.
    std::string line = nls_translate("%s not imported");
    const std::size_t at = line.find("%s");
    if (at != std::string::npos) line.replace(at, 2, list);
    add(line);
  }
  if (result.cut_texts == 1) {
    std::snprintf(piece, sizeof piece, nls_translate("1 text cut to %lld characters"),
                  static_cast<long long>(TEXT_MAX));
    add(piece);
  } else if (result.cut_texts > 1) {
    std::snprintf(piece, sizeof piece, nls_translate("%lld texts cut to %lld characters"),
                  static_cast<long long>(result.cut_texts), static_cast<long long>(TEXT_MAX));
    add(piece);
  }
  const long long name_max = NAME_LEN - 1;  // what a program layer's name holds
  if (result.cut_layer_names == 1) {
    std::snprintf(piece, sizeof piece, nls_translate("1 layer name cut to %lld characters"), name_max);
    add(piece);
  } else if (result.cut_layer_names > 1) {
    std::snprintf(piece, sizeof piece, nls_translate("%lld layer names cut to %lld characters"),
                  static_cast<long long>(result.cut_layer_names), name_max);
    add(piece);
  }
  if (result.shared_layers == 1) {
    std::snprintf(piece, sizeof piece, nls_translate("1 more layer put on layer %d"), LAYER_COUNT - 1);
    add(piece);
  } else if (result.shared_layers > 1) {
    std::snprintf(piece, sizeof piece, nls_translate("%lld more layers put on layer %d"),
                  static_cast<long long>(result.shared_layers), LAYER_COUNT - 1);
    add(piece);
  }
  if (result.lost_characters > 0) {
    std::snprintf(piece, sizeof piece, nls_translate("%lld characters the program cannot show became \"?\""),
                  static_cast<long long>(result.lost_characters));
    add(piece);
  }
  if (!result.unknown_codepage.empty()) {
    std::snprintf(piece, sizeof piece, nls_translate("code page %s unknown, texts read as ANSI_1252"),
                  result.unknown_codepage.substr(0, 64).c_str());
    add(piece);
  }
  if (result.unknown_unit != 0) {
    std::snprintf(piece, sizeof piece, nls_translate("unit %lld of the file unknown, lengths read in %s"),
                  static_cast<long long>(result.unknown_unit),
                  dxf_unit_names[std::clamp(result.read_unit, 0, DXF_UNIT_COUNT - 1)]);
    add(piece);
  }
  if (result.moved_points > 0) {
    std::snprintf(piece, sizeof piece,
                  nls_translate("%lld outline points moved off (999, 999) by a millionth"),
                  static_cast<long long>(result.moved_points));
    add(piece);
  }
  return out;
}

std::string dxf_result_text(const DxfImport& result) {
  char made[128];
  const auto n = static_cast<long long>(result.elements_made);
  if (n == 1)
    std::snprintf(made, sizeof made, "%s", nls_translate("1 element made"));
  else
    std::snprintf(made, sizeof made, nls_translate("%lld elements made"), n);
  const std::string rest = dxf_left_out_text(result);
  return rest.empty() ? std::string(made) : std::string(made) + "; " + rest;
}

int dxf_pen_from_color(int color) { return static_cast<int>((static_cast<uint32_t>(color) + 1u) & 7u); }

int dxf_linetype_from_name(std::string_view name) {
  struct Row {
    const char* name;
    int line_type;
  };
  static const Row rows[] = {
      {"DASHED", 2},   {"HIDDEN", 1},          {"CENTER", 3},      {"PHANTOM", 5},
      {"VERDECKT", 1}, {"KURZGESTRICHELT", 1}, {"GESTRICHELT", 2}, {"STRICHPUNKT", 3},
      {"GETRENNT", 5}, {"MITTE", 7},           {"RAND", 6},
  };
  for (const Row& r : rows)
    if (name == r.name) return r.line_type;
  for (int i = 0; i < LINE_TYPE_COUNT; ++i)
    if (!name.empty() && line_types[i].name.view() == name) return i;
  return 0;
}

DxfRgb dxf_aci_color(int index) {
  static const auto table = [] {
    std::array<DxfRgb, 256> t{};
    const uint8_t first[10][3] = {{0, 0, 0},   {255, 0, 0},   {255, 255, 0},   {0, 255, 0},  {0, 255, 255},
                                  {0, 0, 255}, {255, 0, 255}, {255, 255, 255}, {65, 65, 65}, {128, 128, 128}};
    for (int i = 0; i < 10; ++i) t[static_cast<std::size_t>(i)] = {first[i][0], first[i][1], first[i][2]};
    const int levels[5] = {255, 189, 129, 104, 79};
    for (int i = 10; i < 250; ++i) {
      const int hue = (i - 10) / 10, sector = hue / 4, k = hue % 4;
      const int up = 255 * k / 4, down = 255 * (4 - k) / 4;
      int full[3];
      switch (sector) {
        case 0:
          full[0] = 255, full[1] = up, full[2] = 0;
          break;
        case 1:
          full[0] = down, full[1] = 255, full[2] = 0;
          break;
        case 2:
          full[0] = 0, full[1] = 255, full[2] = up;
          break;
        case 3:
          full[0] = 0, full[1] = down, full[2] = 255;
          break;
        case 4:
          full[0] = up, full[1] = 0, full[2] = 255;
          break;
        default:
          full[0] = 255, full[1] = 0, full[2] = down;
          break;
      }
      const int level = levels[(i % 10) / 2];
      uint8_t rgb[3];
      for (int ch = 0; ch < 3; ++ch) {
        const int v = level * full[ch] / 255;
        // Odd entries: a pale tint, two thirds of the way to the level.
        rgb[ch] = static_cast<uint8_t>(i % 2 ? std::lround(v + (level - v) * 2.0 / 3.0) : v);
      }
      t[static_cast<std::size_t>(i)] = {rgb[0], rgb[1], rgb[2]};
    }
    const uint8_t greys[6] = {51, 80, 105, 130, 190, 255};
    for (int i = 0; i < 6; ++i) t[static_cast<std::size_t>(250 + i)] = {greys[i], greys[i], greys[i]};
    return t;
  }();
  if (index < 0 || index > 255) index = 7;
  return table[static_cast<std::size_t>(index)];
}

std::string dxf_stats_text(const DxfStats& s) {
  const std::pair<const char*, int32_t> rows[] = {
      {"      LINE: %d\n", s.line},       {"     POINT: %d\n", s.point},
      {"    3DLINE: %d\n", s.line3d},     {"    CIRCLE: %d\n", s.circle},
      {"    ELLIPSE %d\n", s.ellipse},    {"       ARC: %d\n", s.arc},
      {"      TEXT: %d\n", s.text},       {"     MTEXT: %d\n", s.mtext},
      {"    3DFACE: %d\n", s.face3d},     {"     SOLID: %d\n", s.solid},
      {" DIMENSION: %d\n", s.dimension},  {"LWPOLYLINE: %d\n", s.lwpolyline},
      {"2DPOLYLINE: %d\n", s.polyline2d}, {"3DPOLYLINE: %d\n", s.polyline3d},
      {"3DPOLYFACE: %d\n", s.polyface},   {"3DPOLYMESH: %d\n", s.polymesh},
      {"     BLOCK: %d\n", s.block},      {"    INSERT: %d\n", s.insert},
      {"    VERTEX: %d\n", s.vertex},     {"FIT_VERTEX: %d\n", s.fit_vertex},
      {"     HATCH: %d\n", s.hatch},      {"    ATTRIB: %d\n", s.attrib},
      {"    ATTDEF: %d\n", s.attdef},
  };
  std::string out;
  for (const auto& [fmt, value] : rows) {
    char line[48];
    std::snprintf(line, sizeof line, fmt, value);
    out += line;
  }
  return out;
}

const char* dxf_error_text(DxfError error) {
  switch (error) {
    case DxfError::NONE:
      return "";
    case DxfError::NO_ENTITIES:
      return nls_mark("The ENTITIES section is missing.. file is corrupt!");
    case DxfError::BINARY:
      return nls_mark("This is a binary DXF file. Please save it as ASCII DXF.");
    case DxfError::CORRUPT:
      return nls_mark("Line %lld of the DXF file holds no group code.. file is corrupt!");
    case DxfError::TRUNCATED:
      return nls_mark("The DXF file ends inside the ENTITIES section.. file is truncated!");
    case DxfError::TOO_MANY_ELEMENTS:
      return nls_mark("The file would make %lld elements; at most %lld can be imported.");
    case DxfError::NOT_DXF:
      return nls_mark("This is not a DXF file.");
    case DxfError::CANCELLED:
      return nls_mark("Import cancelled.");
  }
  return "";
}

std::string dxf_error_message(const DxfImport& result) {
  char text[512];
  if (result.error == DxfError::TOO_MANY_ELEMENTS && result.would_make == INT64_MAX) {
    std::snprintf(text, sizeof text,
                  nls_translate("The file would make at least %lld elements; at most %lld can be imported."),
                  static_cast<long long>(result.would_make), static_cast<long long>(DXF_MAX_ELEMENTS));
  } else if (result.error == DxfError::TOO_MANY_ELEMENTS) {
    std::snprintf(text, sizeof text, nls_translate(dxf_error_text(result.error)),
                  static_cast<long long>(result.would_make), static_cast<long long>(DXF_MAX_ELEMENTS));
  } else {
    std::snprintf(text, sizeof text, nls_translate(dxf_error_text(result.error)),
                  static_cast<long long>(result.error_line));
  }
  return text;
}

DxfImportOptions dxf_import_options() {
  DxfImportOptions o;
  o.unit = dxf_settings.import_unit;
  o.line_mode = dxf_settings.import_line_mode;
  o.layer_mode = dxf_settings.import_layer_mode;
  o.first_layer = cur_layer;
  o.drawing_scale = drawing_scale;
  return o;
}

int dxf_file_unit(std::istream& in) {
  int unit = -1;
  {
    dxf::LineSource src(in, std::size_t{1} << 16);
    std::string_view line;
    bool section_name_next = false, units_next = false;
    for (;;) {
      int code = 0;
      if (!src.next(line) || !dxf::parse_code(line, &code) || !src.next(line)) break;
      std::string_view v = line;
      while (!v.empty() && (v.back() == ' ' || v.back() == '\t')) v.remove_suffix(1);
      while (!v.empty() && (v.front() == ' ' || v.front() == '\t')) v.remove_prefix(1);
      if (section_name_next && (code != 2 || v != "HEADER")) break;  // no header: no unit
      section_name_next = code == 0 && v == "SECTION";
      if (code == 0 && (v == "ENDSEC" || v == "EOF")) break;
      if (units_next && code == 70) {
        // Inches, feet, millimetres, centimetres, metres.
        switch (dxf::parse_int(v)) {
          case 1:
            unit = DXF_UNIT_INCH;
            break;
          case 2:
            unit = DXF_UNIT_FEET;
            break;
          case 4:
            unit = DXF_UNIT_MM;
            break;
          case 5:
            unit = DXF_UNIT_CM;
            break;
          case 6:
            unit = DXF_UNIT_M;
            break;
          default:
            break;
        }
        break;
      }
      units_next = code == 9 && v == "$INSUNITS";
    }
  }
  in.clear();
  in.seekg(0);
  return unit;
}

DxfImport dxf_read(std::istream& in, const DxfImportOptions& options) {
  DxfImport result;
  dxf::Importer importer(in, options, result);
  importer.run();
  if (result.error != DxfError::NONE) {
    result.elements.clear();
    result.layer_names.clear();
  }
  return result;
}
