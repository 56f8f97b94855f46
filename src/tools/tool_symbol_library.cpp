// The symbol library's files and folders: removing a symbol file, creating
// and removing a folder. The names come from the file chooser and go to the
// file system calls as they are; no shell ever sees them.

#include <filesystem>
#include <string>
#include <system_error>

#include "model/files/fio.h"
#include "model/nls.h"
#include "model/settings.h"
#include "model/ui.h"
#include "tools/edit_tools.h"

namespace {

// The chooser's answer; empty for "cancel".
std::string choose(const char* title, int mode) {
  std::string path =
      ui().filesel_choose(nls_translate(title), symbol_path.c_str(), mode, symbol_path.c_str());
  return path == "cancel" ? std::string() : path;
}

}  // namespace

void tool_symbol_remove() {
  const std::string path = choose(nls_mark("Remove Symbol..."), FILESEL_OPEN);
  if (!path.empty()) fio_shell_rm(path.c_str());
}

void tool_symbol_library_new() {
  // The user types the new folder's name into the chooser: the save form
  // has the field for a name that does not exist yet.
  const std::string path = choose(nls_mark("Create Directory..."), FILESEL_SAVE);
  if (path.empty()) return;
  std::error_code ec;
  std::filesystem::create_directory(path, ec);
}

void tool_symbol_library_remove() {
  const std::string path = choose(nls_mark("Delete Directory..."), FILESEL_FOLDER);
  if (path.empty()) return;
  std::error_code ec;
  std::filesystem::remove_all(path, ec);
}
