#include "display/font_tools.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numbers>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "display/draw.h"
#include "display/text_layout.h"
#include "model/consts.h"
#include "model/elem.h"
#include "model/files/fio.h"
#include "model/layers.h"
#include "model/nls.h"
#include "model/ui.h"

namespace {

namespace fs = std::filesystem;

constexpr double SHEET_CELL = 2.0;
constexpr int SHEET_COLUMNS = 16;
constexpr double SHEET_TOP = -4.0;
constexpr int PEN_STROKE = 0;
constexpr int PEN_ADVANCE = 3;
constexpr int PEN_ARC = 3;
constexpr double ADVANCE_LINE_DROP = 0.4;
// A line that starts this close to the previous line's end continues it.
constexpr double JOIN_TOLERANCE = 0.0001;

// Units of a font description: paths in 1/850 of the height, widths in
// thousandths.
constexpr double PATH_UNITS = 850.0;
constexpr double WIDTH_UNITS = 1000.0;
constexpr std::uintmax_t DESCRIPTION_MAX = 4u << 20;
constexpr int DESCRIPTION_CODES = 255;  // codes 1..255
// A stroke-font value (tenths of the height, or heights for advances) must
// stay a 16-bit word once multiplied by 100 on loading.
constexpr double STROKE_VALUE_MAX = 327.67;

// A number with a fixed count of decimals, independent of the locale.
std::string fixed(double value, int decimals) {
  char buf[64];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
  if (ec != std::errc()) return "0";
  return std::string(buf, end);
}

void add_line(std::string& out, std::initializer_list<std::string> parts) {
  bool first = true;
  for (const std::string& p : parts) {
    if (!first) out += ' ';
    out += p;
    first = false;
  }
  out += '\n';
}

// Angles in degrees within [0, 360).
double degrees_0_360(double radians) {
  double d = std::fmod(radians * 180.0 / std::numbers::pi, 360.0);
  if (d < 0) d += 360.0;
  return d;
}

class ElementSink : public GlyphSink {
 public:
  void stroke(double x1, double y1, double x2, double y2) override {
    elem_new_line(cur_layer, PEN_STROKE, 0, x1, y1, x2, y2);
  }
  void arc(double cx, double cy, double rx, double ry, double sweep, double start, double rotation) override {
    elem_new_arc(cur_layer, PEN_ARC, 0, cx, cy, rx, ry, sweep, start, rotation);
  }
  void fill(const Point2*, int) override {}
};

// The record of one cell of the font sheet.
std::string sheet_record(int code) {
  double ox, oy;
  font_sheet_origin(code, ox, oy);
  double xmin = ox - 0.5, ymin = oy - 0.5, xmax = ox + 1.5, ymax = oy + 1.5;
  auto inside = [&](const Point2& p) { return font_rect_contains(xmin, ymin, xmax, ymax, p.x, p.y); };
  auto tenths = [](double v) { return fixed(v * 10.0, 2); };

  double advance = 0.0;
  bool have_advance = false;
  std::string body;
  bool have_end = false;
  Point2 end;
  ElemHeader* it;
  for (elem_first(&it); it; elem_next(&it)) {
    if (it->layer != cur_layer) continue;
    if (it->kind == ELEM_LINE) {
      auto* l = static_cast<LineElem*>(it);
      if (!inside(l->p1) || !inside(l->p2)) continue;
      if (l->pen == PEN_ADVANCE) {
        if (have_advance) continue;
        advance = std::fabs(l->p2.x - l->p1.x);
        have_advance = true;
      } else if (l->pen == PEN_STROKE) {
        bool joined = have_end && std::fabs(l->p1.x - end.x) < JOIN_TOLERANCE &&
                      std::fabs(l->p1.y - end.y) < JOIN_TOLERANCE;
        if (!joined) add_line(body, {"1", tenths(l->p1.x - ox), tenths(l->p1.y - oy)});
        add_line(body, {"2", tenths(l->p2.x - ox), tenths(l->p2.y - oy)});
        end = l->p2;
        have_end = true;
      } else {
        continue;
      }
    } else if (it->kind == ELEM_ARC) {
      auto* a = static_cast<ArcElem*>(it);
      if (!inside(a->centre)) continue;
      // A clockwise arc is the same arc run counter-clockwise from its end.
      double start = a->start + a->rotation, sweep = a->sweep;
      if (sweep < 0) {
        start += sweep;
        sweep = -sweep;
      }
      add_line(body, {"3", tenths(a->centre.x - ox), tenths(a->centre.y - oy), tenths(a->radius_x),
                      fixed(degrees_0_360(start), 2), fixed(degrees_0_360(sweep), 2)});
    } else {
      continue;
    }
    draw_element(DRAW_HIGHLIGHT, it);
  }
  return fixed(advance, 2) + "\n" + body + "0\n";
}

// ---- Font descriptions ----

// Tokens of a description: braces stand alone, everything else is split at
// whitespace.
std::vector<std::string_view> description_tokens(std::string_view text) {
  std::vector<std::string_view> out;
  std::size_t i = 0;
  auto space = [](char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
  };
  while (i < text.size()) {
    if (space(text[i])) {
      ++i;
    } else if (text[i] == '{' || text[i] == '}') {
      out.push_back(text.substr(i++, 1));
    } else {
      std::size_t start = i;
      while (i < text.size() && !space(text[i]) && text[i] != '{' && text[i] != '}') ++i;
      out.push_back(text.substr(start, i - start));
    }
  }
  return out;
}

bool whole_number(std::string_view t, long& v) {
  const char* end = t.data() + t.size();
  auto [p, ec] = std::from_chars(t.data(), end, v);
  return !t.empty() && ec == std::errc() && p == end;
}

bool real_number(std::string_view t, double& v) {
  const char* end = t.data() + t.size();
  auto [p, ec] = std::from_chars(t.data(), end, v, std::chars_format::general);
  return !t.empty() && ec == std::errc() && p == end && std::isfinite(v);
}

struct PathOp {
  char op = 0;  // m l c e f
  double v[6] = {};
};

struct Description {
  std::vector<long> widths;                // code 1 first
  std::vector<std::vector<PathOp>> paths;  // code 1 first
};

// Parses a description; on a fault returns false with a translated reason.
bool parse_description(std::string_view text, Description& d, std::string& why) {
  std::vector<std::string_view> tokens = description_tokens(text);
  bool have_metrics = false, have_chardefs = false;
  enum { OTHER, METRICS, CHARDEFS } section = OTHER;
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    std::string_view t = tokens[i];
    if (t.front() == '/') {
      section = OTHER;
      if (t == "/Metrics" || t == "/CharDefs") {
        bool& seen = t == "/Metrics" ? have_metrics : have_chardefs;
        if (seen) {
          why = std::string(nls_translate("A section appears twice:")) + " " + std::string(t);
          return false;
        }
        seen = true;
        section = t == "/Metrics" ? METRICS : CHARDEFS;
      }
      continue;
    }
    if (section == METRICS) {
      long w;
      if (!whole_number(t, w) || w < 0 || w / WIDTH_UNITS > STROKE_VALUE_MAX) {
        why = std::string(nls_translate("Not a valid advance width:")) + " " + std::string(t);
        return false;
      }
      if (static_cast<int>(d.widths.size()) >= DESCRIPTION_CODES) {
        why = nls_translate("More than 255 advance widths");
        return false;
      }
      d.widths.push_back(w);
    } else if (section == CHARDEFS) {
      if (t != "{") {
        why = std::string(nls_translate("A path does not start with {:")) + " " + std::string(t);
        return false;
      }
      if (static_cast<int>(d.paths.size()) >= DESCRIPTION_CODES) {
        why = nls_translate("More than 255 paths");
        return false;
      }
      int code = static_cast<int>(d.paths.size()) + 1;
      std::string where = std::string(nls_translate("path of character")) + " " + std::to_string(code) + ": ";
      std::vector<PathOp> path;
      double pending[6];
      int count = 0;
      for (++i;; ++i) {
        if (i >= tokens.size()) {
          why = where + nls_translate("the file ends inside the path");
          return false;
        }
        std::string_view p = tokens[i];
        if (p == "}") break;
        double v;
        if (real_number(p, v)) {
          if (count == 6) {
            why = where + nls_translate("too many values before an operator");
            return false;
          }
          if (std::fabs(v * 10.0 / PATH_UNITS) > STROKE_VALUE_MAX) {
            why = where + nls_translate("a value is out of range");
            return false;
          }
          pending[count++] = v;
          continue;
        }
        int need = p == "m" || p == "l" ? 2 : p == "c" ? 6 : p == "e" || p == "f" ? 0 : -1;
        if (need < 0) {
          why = where + nls_translate("unknown operator") + " " + std::string(p);
          return false;
        }
        if (count != need) {
          why = where + nls_translate("wrong number of values before") + " " + std::string(p);
          return false;
        }
        PathOp op;
        op.op = p[0];
        for (int k = 0; k < need; ++k) op.v[k] = pending[k];
        path.push_back(op);
        count = 0;
      }
      if (count != 0) {
        why = where + nls_translate("values after the last operator");
        return false;
      }
      d.paths.push_back(std::move(path));
    }
  }
  if (!have_metrics || !have_chardefs) {
    why = nls_translate("The section /Metrics or /CharDefs is missing");
    return false;
  }
  return true;
}

// The stroke-font text of a description; with add_elements also its strokes
// on the font sheet.
std::string description_font(const Description& d, bool add_elements) {
  std::string out;
  auto tenths = [](double v) { return fixed(v * 10.0 / PATH_UNITS, 6); };
  for (int code = FONT_FIRST_CODE; code < FONT_FIRST_CODE + FONT_CODE_COUNT; ++code) {
    if (code == 127) {
      out += "1.00\n0\n";
      continue;
    }
    std::size_t index = static_cast<std::size_t>(code - 1);
    double width = index < d.widths.size() ? d.widths[index] / WIDTH_UNITS : 0.0;
    out += fixed(width, 6) + "\n";
    double ox = 0, oy = 0;
    font_sheet_origin(code, ox, oy);
    auto at = [&](double v, double o) { return o + v / PATH_UNITS; };
    double cx = ox, cy = oy, fx = ox, fy = oy;
    bool open = false;
    if (index < d.paths.size()) {
      for (const PathOp& op : d.paths[index]) {
        const double* v = op.v;
        switch (op.op) {
          case 'm':
            add_line(out, {"1", tenths(v[0]), tenths(v[1])});
            cx = at(v[0], ox);
            cy = at(v[1], oy);
            if (!open) {
              fx = cx;
              fy = cy;
              open = true;
            }
            break;
          case 'l':
            add_line(out, {"2", tenths(v[0]), tenths(v[1])});
            if (add_elements) elem_new_line(cur_layer, PEN_STROKE, 0, cx, cy, at(v[0], ox), at(v[1], oy));
            cx = at(v[0], ox);
            cy = at(v[1], oy);
            break;
          case 'c':
            add_line(out, {"4", tenths(v[0]), tenths(v[1]), tenths(v[2]), tenths(v[3]), tenths(v[4]),
                           tenths(v[5])});
            if (add_elements)
              elem_new_spline(cur_layer, PEN_STROKE, 0, cx, cy, at(v[0], ox), at(v[1], oy), at(v[2], ox),
                              at(v[3], oy), at(v[4], ox), at(v[5], oy));
            cx = at(v[4], ox);
            cy = at(v[5], oy);
            break;
          case 'e':
            out += "6\n";
            if (add_elements && (cx != fx || cy != fy))
              elem_new_line(cur_layer, PEN_STROKE, 0, cx, cy, fx, fy);
            cx = fx;
            cy = fy;
            open = false;
            break;
          case 'f':
            out += "5\n";
            break;
        }
      }
    }
    out += "0\n";
  }
  return out;
}

bool read_description(const std::string& path, std::string& text) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return false;
  std::uintmax_t size = fs::file_size(path, ec);
  if (ec || size > DESCRIPTION_MAX) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

bool write_font_file(const std::string& path, const std::string& text) {
  FioSafeWriter writer(path);
  bool ok = writer.stream() && std::fwrite(text.data(), 1, text.size(), writer.stream()) == text.size();
  ok = writer.commit() && ok;
  if (!ok) ui().msgbox_error((std::string(nls_translate("Cannot write the font file")) + " " + path).c_str());
  return ok;
}

}  // namespace

void font_sheet_origin(int code, double& x, double& y) {
  int index = code - FONT_FIRST_CODE;
  x = (index % SHEET_COLUMNS) * SHEET_CELL;
  y = SHEET_TOP - (index / SHEET_COLUMNS) * SHEET_CELL;
}

bool font_rect_contains(double xmin, double ymin, double xmax, double ymax, double x, double y) {
  return xmin <= x && x <= xmax && ymin <= y && y <= ymax;
}

void font_glyph_to_elements(const FontSlot& font, int code, double x, double y) {
  if (code < FONT_FIRST_CODE || code > 255) return;
  ElementSink sink;
  GlyphPlace place{x, y, 0.0, 1.0, 1.0, 0.0, 1.0, x, y};
  glyph_interpret(font, static_cast<unsigned char>(code), place, true, sink);
  double advance = font.advance[code] / 100.0;
  elem_new_line(cur_layer, PEN_ADVANCE, 0, x, y - ADVANCE_LINE_DROP, x + advance, y - ADVANCE_LINE_DROP);
}

bool font_sample_sheet(const char* name) {
  uint8_t slot = font_find_or_load(name);
  if (slot == FONT_NONE) return false;
  for (int code = FONT_FIRST_CODE; code < FONT_FIRST_CODE + FONT_CODE_COUNT; ++code) {
    double x, y;
    font_sheet_origin(code, x, y);
    font_glyph_to_elements(font_slots[slot], code, x, y);
  }
  return true;
}

bool font_write_from_drawing() {
  std::string text;
  for (int code = FONT_FIRST_CODE; code < FONT_FIRST_CODE + FONT_CODE_COUNT; ++code)
    text += sheet_record(code);
  return write_font_file((fs::path(font_stroke_dir) / "newfont").string(), text);
}

bool font_convert_metrics() {
  std::string source = ui().filesel_choose("Quelle:", "/", FILESEL_OPEN, "");
  if (source.empty() || source == "cancel") return false;
  std::string start = font_stroke_dir + "/";
  std::string target = ui().filesel_choose("Ziel:", start.c_str(), FILESEL_SAVE, "");
  if (target.empty() || target == "cancel") return false;

  std::string text;
  if (!read_description(source, text)) {
    ui().msgbox_error(
        (std::string(nls_translate("Cannot read the font description")) + " " + source).c_str());
    return false;
  }
  Description d;
  std::string why;
  if (!parse_description(text, d, why)) {
    ui().msgbox_error(
        (std::string(nls_translate("Not a valid font description:")) + " " + source + " (" + why + ")")
            .c_str());
    return false;
  }
  if (!write_font_file(target, description_font(d, false))) return false;
  description_font(d, true);
  return true;
}
