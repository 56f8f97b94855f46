#include "shell/mainwin_text.h"

#include <cstdio>
#include <vector>

#include "model/settings.h"
#include "model/units.h"

std::string mainwin_size_text(MainwinSize which) {
  switch (which) {
    case MainwinSize::TEXT:
      return units_format_size(text_size);
    case MainwinSize::OPENING:
      return units_format_length(opening_width);
    case MainwinSize::DOOR:
      return units_format_length(door_width);
    case MainwinSize::WINDOW:
      return units_format_length(window_width);
    case MainwinSize::PROFILE:
      return units_format_length(profile_size);
  }
  return std::string();
}

std::string mainwin_title_format(const char* format, const char* file, const char* layer, double scale) {
  if (!format) return std::string();
  const char* f = file ? file : "";
  const char* l = layer ? layer : "";
  const int n = std::snprintf(nullptr, 0, format, f, l, scale);
  if (n <= 0) return std::string();
  std::vector<char> buf(static_cast<std::size_t>(n) + 1);
  std::snprintf(buf.data(), buf.size(), format, f, l, scale);
  return std::string(buf.data(), static_cast<std::size_t>(n));
}
