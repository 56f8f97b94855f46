#include "shell/bind_kinds.h"

#include <cstring>

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

bool bind_is_size_variable(const void* var) {
  return var && (var == &text_size || var == &opening_width || var == &window_width || var == &door_width ||
                 var == &profile_size);
}
