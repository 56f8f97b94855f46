#include "platform/own_folder.h"

#include <unistd.h>

#include <cerrno>
#include <vector>

namespace {

std::string remembered_start;

std::string current_folder() {
  std::vector<char> buf(4096);
  while (!::getcwd(buf.data(), buf.size())) {
    if (errno != ERANGE) return std::string();
    buf.resize(buf.size() * 2);
  }
  return std::string(buf.data());
}

}  // namespace

std::string own_folder() {
  std::vector<char> buf(4096);
  for (;;) {
    const ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size());
    if (n < 0) return std::string();
    if (static_cast<std::size_t>(n) < buf.size()) {
      std::string path(buf.data(), static_cast<std::size_t>(n));
      const std::size_t slash = path.rfind('/');
      if (slash == std::string::npos) return std::string();
      return slash == 0 ? std::string("/") : path.substr(0, slash);
    }
    buf.resize(buf.size() * 2);
  }
}

void start_folder_remember() {
  if (remembered_start.empty()) remembered_start = current_folder();
}

std::string start_folder() { return remembered_start.empty() ? current_folder() : remembered_start; }
