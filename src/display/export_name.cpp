#include "display/export_name.h"

#include <sys/stat.h>

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

}  // namespace

std::string export_name_proposed(const std::string& start, const char* suffix) {
  const std::string s = suffix ? suffix : "";
  if (start.empty() || start.back() == '/') {
    std::string drawing = drawing_file.substr(name_start(drawing_file));
    if (const std::size_t dot = suffix_start(drawing); dot != std::string::npos) drawing.resize(dot);
    return start + (drawing.empty() ? "Unnamed" : drawing) + s;
  }
  const std::size_t dot = suffix_start(start);
  return (dot == std::string::npos ? start : start.substr(0, dot)) + s;
}

std::string export_name_completed(const std::string& chosen, const char* suffix) {
  if (chosen.empty() || chosen.back() == '/' || suffix_start(chosen) != std::string::npos) return chosen;
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
