#include "shell/bind_lists.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "display/font.h"
#include "model/settings.h"

namespace fs = std::filesystem;

int bind_name_compare(const char* a, const char* b) { return std::strcmp(a, b); }

void bind_sort_names(std::vector<std::string>& names) {
  std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return bind_name_compare(a.c_str(), b.c_str()) < 0;
  });
}

std::vector<std::string> bind_names_from_slots(const char* names, unsigned count) {
  std::vector<std::string> out;
  if (!names) return out;
  out.reserve(count);
  for (unsigned i = 0; i < count; ++i) {
    const char* slot = names + static_cast<std::size_t>(i) * BIND_NAME_SLOT;
    out.emplace_back(slot, strnlen(slot, BIND_NAME_SLOT));
  }
  return out;
}

std::optional<std::vector<std::string>> bind_scan_folder(const std::string& folder) {
  std::error_code ec;
  fs::directory_iterator it(folder, ec);
  if (ec) {
    std::printf("Error scanning DIR\n");
    std::fflush(stdout);
    return std::nullopt;
  }
  std::vector<std::string> names;
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    std::string name = it->path().filename().string();
    if (name.size() > BIND_NAME_MAX) {
      std::printf("Name too long, not listed: %s\n", name.c_str());
      continue;
    }
    names.push_back(std::move(name));
  }
  if (ec) std::printf("Error scanning DIR\n");
  std::fflush(stdout);
  return names;
}

std::string bind_preset_folder(const char* kind) {
  return std::string(dialog_path.c_str()) + "/" + (kind ? kind : "");
}

bool bind_is_ttf_name(std::string_view name) {
  if (name.size() < 6) return false;
  std::string_view tail = name.substr(name.size() - 3);
  return tail == "ttf" || tail == "TTF";
}

std::vector<std::string> bind_font_names() {
  std::vector<std::string> names;
  // The stroke-font folder holds other files too (a README): only fonts are listed.
  if (auto stroke = bind_scan_folder(font_stroke_dir)) {
    for (std::string& n : *stroke)
      if (font_is_stroke_file(n)) names.push_back(std::move(n));
  }
  if (auto outline = bind_scan_folder(std::string(base_dir.c_str()) + "/ttf")) {
    for (std::string& n : *outline)
      if (bind_is_ttf_name(n)) names.push_back(std::move(n));
  }
  return names;
}

std::vector<std::string> bind_texture_names() {
  auto names = bind_scan_folder(std::string(base_dir.c_str()) + "/tex");
  return names ? std::move(*names) : std::vector<std::string>();
}
