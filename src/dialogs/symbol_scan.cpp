#include "dialogs/symbol_scan.h"

#include <dirent.h>
#include <sys/stat.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <set>
#include <utility>

namespace {

using FolderId = std::pair<dev_t, ino_t>;

void report(const std::string& path) {
  std::printf("Error scanning dir %s\n", path.c_str());
  std::fflush(stdout);
}

bool dot_or_dotdot(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// The entries of a folder, "." and ".." left out; false when it cannot be read.
bool entries(const std::string& folder, std::vector<std::string>& names) {
  DIR* dir = opendir(folder.c_str());
  if (!dir) return false;
  while (const dirent* e = readdir(dir))
    if (!dot_or_dotdot(e->d_name)) names.emplace_back(e->d_name);
  closedir(dir);
  return true;
}

void scan(const std::string& path, std::vector<std::string>& folders, std::set<FolderId>& seen) {
  struct stat st {};
  if (stat(path.c_str(), &st) == 0 && !seen.insert({st.st_dev, st.st_ino}).second) return;
  std::vector<std::string> names;
  if (!entries(path, names)) {
    report(path);
    return;
  }
  folders.push_back(path);
  for (const std::string& name : names) {
    const std::string child = symbol_join(path, name);
    if (child.size() >= PATH_MAX) continue;
    struct stat cs {};
    if (stat(child.c_str(), &cs) == 0 && S_ISDIR(cs.st_mode)) scan(child, folders, seen);
  }
}

}  // namespace

void symbol_scan_folders(const std::string& path, std::vector<std::string>& folders) {
  std::set<FolderId> seen;
  if (path.size() >= PATH_MAX) {
    report(path);
    return;
  }
  scan(path, folders, seen);
}

std::vector<std::string> symbol_scan_files(const std::string& folder) {
  std::vector<std::string> names;
  if (folder.size() >= PATH_MAX || !entries(folder, names)) {
    report(folder);
    return {};
  }
  std::vector<std::string> files;
  for (std::string& name : names) {
    const std::string path = symbol_join(folder, name);
    struct stat st {};
    if (path.size() < PATH_MAX && stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode))
      files.push_back(std::move(name));
  }
  return files;
}

std::string symbol_join(const std::string& left, const std::string& right) { return left + "/" + right; }

std::string symbol_folder_row(const std::string& folder, const std::string& root) {
  return folder.size() > root.size() ? folder.substr(root.size()) : std::string();
}

double symbol_slider_angle(double degrees) {
  return std::trunc(degrees / 15.0) * 15.0 / 180.0 * std::numbers::pi;
}
