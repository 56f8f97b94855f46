#include "shell/bind_kinds.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "model/nls.h"
#include "model/settings.h"
#include "model/units.h"

namespace {

struct Named {
  const char* text;
  BindKind kind;
};

constexpr Named named_kinds[] = {
    {"checkbutton", BindKind::CHECK},
    {"togglebutton", BindKind::TOGGLE},
    {"spinbutton_long", BindKind::SPIN_LONG},
    {"spinbutton_double", BindKind::SPIN_DOUBLE},
    {"slider", BindKind::SLIDER},
    {"combo", BindKind::COMBO},
    {"entry_changed", BindKind::ENTRY_CHANGED},
    {"entry", BindKind::ENTRY},
    {"ventry", BindKind::VENTRY},
    {"mentry", BindKind::MENTRY},
    {"wentry", BindKind::WENTRY},
    {"pentry", BindKind::PENTRY},
    {"fentry", BindKind::FENTRY},
};

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// A number starts the text (after blanks and a sign) and is one a double
// holds: "abc", "", "-" and "1e999" are none, though the unit parsers read
// them all as 0.
bool starts_with_number(std::string_view text) {
  std::string t(text.substr(0, BIND_VALUE_ENTRY_MAX));
  for (char& c : t)
    if (c == ',') c = '.';
  std::size_t i = t.find_first_not_of(" \t");
  if (i != std::string::npos && (t[i] == '+' || t[i] == '-')) i = t.find_first_not_of(" \t", i + 1);
  if (i == std::string::npos || !(is_digit(t[i]) || (t[i] == '.' && i + 1 < t.size() && is_digit(t[i + 1]))))
    return false;
  double v = 0.0;
  const auto r = std::from_chars(t.data() + i, t.data() + t.size(), v, std::chars_format::general);
  return r.ec == std::errc() && std::isfinite(v);
}

// A plain number with as many decimals (up to six) as it needs.
std::string plain_text(double v) {
  std::string s = units_fixed(v, 6);
  while (s.back() == '0') s.pop_back();
  if (s.back() == '.') s.pop_back();
  return s;
}

// A limit as the message shows it: in the entry's unit, or as a plain number.
std::string limit_text(BindKind kind, double v) {
  return kind == BindKind::FENTRY ? plain_text(v) : bind_value_format(kind, v);
}

// The message's first and second "%s" replaced by a and b.
std::string fill_two(std::string text, const std::string& a, const std::string& b) {
  std::size_t at = text.find("%s");
  if (at == std::string::npos) return text;
  text.replace(at, 2, a);
  at = text.find("%s", at + a.size());
  if (at != std::string::npos) text.replace(at, 2, b);
  return text;
}

}  // namespace

BindKindInfo bind_kind_parse(const char* kind) {
  if (!kind) return {};
  for (const Named& n : named_kinds)
    if (std::strcmp(kind, n.text) == 0) return {n.kind, 0};
  if (kind[0] == 'r' && is_digit(kind[1]) && kind[2] == '\0') return {BindKind::RADIO, kind[1] - '0'};
  if (kind[0] == 'z' && kind[1] != '\0') {
    int n = 0;
    int digits = 0;
    for (const char* p = kind + 1; *p; ++p) {
      if (!is_digit(*p) || ++digits > 9) return {};
      n = n * 10 + (*p - '0');
    }
    return {BindKind::ITEM, n};
  }
  return {};
}

bool bind_kind_is_value_entry(BindKind kind) {
  switch (kind) {
    case BindKind::VENTRY:
    case BindKind::MENTRY:
    case BindKind::WENTRY:
    case BindKind::PENTRY:
    case BindKind::FENTRY:
      return true;
    default:
      return false;
  }
}

double bind_value_parse(BindKind kind, std::string_view text) {
  text = text.substr(0, BIND_VALUE_ENTRY_MAX);
  switch (kind) {
    case BindKind::VENTRY:
      return units_parse_length(text);
    case BindKind::MENTRY:
      return units_parse_size(text);
    case BindKind::WENTRY:
      return units_parse_angle(text);
    case BindKind::PENTRY:
      return units_parse_paper(text);
    case BindKind::FENTRY:
      return units_parse_number(text);
    default:
      return 0.0;
  }
}

std::string bind_value_format(BindKind kind, double value) {
  switch (kind) {
    case BindKind::VENTRY:
      return units_format_length(value);
    case BindKind::MENTRY:
      return units_format_size(value);
    case BindKind::WENTRY:
      return units_format_angle(value);
    case BindKind::PENTRY:
      return units_format_paper(value);
    case BindKind::FENTRY:
      return units_format_number(value);
    default:
      return std::string();
  }
}

ValueRange bind_value_range(BindKind kind, const void* var) {
  if (const ValueRange* r = value_range_of(var)) return *r;
  switch (kind) {
    case BindKind::VENTRY:
      return {-100000.0, 100000.0, false, 0.0};
    case BindKind::MENTRY:
      return {0.0, 1000.0, false, 0.0};
    case BindKind::WENTRY:
      return {-2.0 * UNITS_PI, 2.0 * UNITS_PI, false, 0.0};
    case BindKind::PENTRY:
      return {0.0, 500.0, false, 0.0};
    default:
      return {-1e6, 1e6, false, 0.0};
  }
}

BindValueStore bind_value_check(BindKind kind, const void* var, double current, std::string_view text) {
  BindValueStore out;
  text = text.substr(0, BIND_VALUE_ENTRY_MAX);
  if (text == bind_value_format(kind, current)) return out;
  const ValueRange range = bind_value_range(kind, var);
  if (starts_with_number(text)) {
    double v = bind_value_parse(kind, text);
    // What the message shows as a limit is taken as that limit, though the
    // unit's rounding may have put it a hair outside.
    if (std::isfinite(v) && !range.holds(v)) {
      const std::string shown = bind_value_format(kind, v);
      if (shown == bind_value_format(kind, range.hi))
        v = range.hi;
      else if (!range.above && shown == bind_value_format(kind, range.lo))
        v = range.lo;
    }
    if (range.holds(v)) {
      out.store = true;
      out.value = v;
      return out;
    }
  }
  const char* form = range.above ? nls_translate("Enter a number above %s and at most %s.")
                                 : nls_translate("Enter a number from %s to %s.");
  out.refused = fill_two(form, limit_text(kind, range.lo), limit_text(kind, range.hi));
  return out;
}

std::string bind_spin_refusal(std::string_view text, double lo, double hi) {
  if (starts_with_number(text)) return std::string();
  return fill_two(nls_translate("Enter a number from %s to %s."), plain_text(lo), plain_text(hi));
}

bool bind_is_size_variable(const void* var) {
  return var && (var == &text_size || var == &opening_width || var == &window_width || var == &door_width ||
                 var == &profile_size);
}
