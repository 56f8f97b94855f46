#include "platform/temp_folder.h"

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>

namespace {

std::string folder;
bool exit_handler_set = false;

}  // namespace

const std::string& temp_folder() {
  if (!folder.empty()) return folder;
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/kavro-XXXXXX";
  if (::mkdtemp(pattern.data())) folder = pattern;
  if (!folder.empty() && !exit_handler_set) {
    exit_handler_set = true;
    std::atexit(temp_folder_remove);
  }
  return folder;
}

void temp_folder_remove() {
  if (folder.empty()) return;
  std::error_code ec;
  std::filesystem::remove_all(folder, ec);
  folder.clear();
}
