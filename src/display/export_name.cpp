#include "display/export_name.h"

#include <sys/stat.h>

#include <cctype>
#include <string_view>

#include "model/files/load_save.h"
#include "model/nls.h"
#include "model/ui.h"

namespace {

// Where the last part of a path begins.
std::size_t name_start(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? 0 : slash + 1;
}

// Where the suffix of the last part begins (its dot), npos without one. A
// name that begins with its only dot (".hidden") has no suffix.
std::size_t suffix_start(const std::string& path) {
  const std::size_t name = name_start(path);
  const std::size_t dot = path.rfind('.');
  return dot == std::string::npos || dot <= name ? std::string::npos : dot;
}

bool exists(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0;
}

bool same_letters(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

// The suffixes of the files the program reads or writes. Only these count
// as a name's suffix when another is proposed in their place: in
// "Grundriss 1.OG" the dot is part of the name.
constexpr std::string_view KNOWN_SUFFIXES[] = {".kav", ".pdf",  ".eps", ".epsf", ".ps",  ".svg", ".dxf",
                                               ".plt", ".hpgl", ".hpg", ".hgl",  ".pov", ".3ds", ".lwo",
                                               ".gts", ".dgm",  ".xyz", ".rad",  ".tga", ".png", ".ppm"};

// Other suffixes that name the same format as the one a chooser proposes.
struct SameFormat {
  std::string_view suffix, also;
};
constexpr SameFormat SAME_FORMAT[] = {
    {".plt", ".hpgl"}, {".plt", ".hpg"}, {".plt", ".hgl"}, {".eps", ".epsf"}};

// The suffix of the last part that is one of the known ones, else empty.
std::string_view known_suffix(const std::string& path) {
  const std::size_t dot = suffix_start(path);
  if (dot == std::string::npos) return {};
  const std::string_view tail = std::string_view(path).substr(dot);
  for (std::string_view k : KNOWN_SUFFIXES)
    if (same_letters(tail, k)) return tail;
  return {};
}

// Whether the last part ends in the format's suffix, in any case, or in
// another suffix of the same format.
bool has_format_suffix(const std::string& path, std::string_view suffix) {
  const std::size_t dot = suffix_start(path);
  if (dot == std::string::npos || suffix.empty()) return false;
  const std::string_view tail = std::string_view(path).substr(dot);
  if (same_letters(tail, suffix)) return true;
  for (const SameFormat& f : SAME_FORMAT)
    if (same_letters(f.suffix, suffix) && same_letters(tail, f.also)) return true;
  return false;
}

}  // namespace

std::string export_name_proposed(const std::string& start, const char* suffix) {
  const std::string s = suffix ? suffix : "";
  if (start.empty() || start.back() == '/') {
    std::string drawing = drawing_file.substr(name_start(drawing_file));
    drawing.resize(drawing.size() - known_suffix(drawing).size());
    return start + (drawing.empty() ? "Unnamed" : drawing) + s;
  }
  return start.substr(0, start.size() - known_suffix(start).size()) + s;
}

std::string export_name_completed(const std::string& chosen, const char* suffix) {
  if (chosen.empty() || chosen.back() == '/' || has_format_suffix(chosen, suffix ? suffix : ""))
    return chosen;
  return chosen + (suffix ? suffix : "");
}

std::string export_name_choose(const char* title, const std::string& start, const char* path_folder,
                               const char* suffix) {
  const std::string proposed = export_name_proposed(start, suffix);
  const std::string chosen = ui().filesel_choose(title, proposed.c_str(), FILESEL_SAVE, path_folder);
  if (chosen == "cancel") return chosen;
  const std::string path = export_name_completed(chosen, suffix);
  if (path != chosen && exists(path)) {
    const char* labels[] = {nls_translate("Overwrite"), nls_translate("Cancel")};
    if (ui().msgbox_ask(nls_translate("File already exists. OK to overwrite it?"), 2, labels) != 1)
      return "cancel";
  }
  return path;
}
