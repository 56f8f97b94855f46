#include "support/comma_locale.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

extern char** environ;

namespace {

bool comma_is_decimal_point() {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%.1f", 1.5);
  return std::strcmp(buf, "1,5") == 0;
}

bool try_locale(const char* name) {
  return std::setlocale(LC_ALL, name) != nullptr && comma_is_decimal_point();
}

// Runs localedef with an argument vector; its output goes nowhere.
bool compile_locale(const std::string& dir, const std::string& name) {
  const std::string out = dir + "/" + name;
  std::vector<std::string> args = {"localedef", "-i", "de_DE", "-f", "UTF-8", out};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int rc = posix_spawnp(&pid, "localedef", &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return false;
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return false;
  // localedef also exits non-zero after mere warnings; what counts is the result.
  return std::filesystem::exists(out + "/LC_NUMERIC");
}

}  // namespace

DecimalCommaLocale::DecimalCommaLocale() {
  for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "de_DE@euro", "fr_FR.UTF-8", "fr_FR.utf8"}) {
    if (try_locale(name)) {
      active_ = true;
      name_ = name;
      return;
    }
  }
  std::string templ = (std::filesystem::temp_directory_path() / "kavro-locale-XXXXXX").string();
  if (!mkdtemp(templ.data())) return;
  dir_ = templ;
  const std::string name = "de_DE.UTF-8";
  if (!compile_locale(dir_, name)) return;
  if (const char* old = std::getenv("LOCPATH")) {
    had_locpath_ = true;
    old_locpath_ = old;
  }
  setenv("LOCPATH", dir_.c_str(), 1);
  if (try_locale(name.c_str())) {
    active_ = true;
    name_ = name;
  }
}

DecimalCommaLocale::~DecimalCommaLocale() {
  std::setlocale(LC_ALL, "C");
  if (!dir_.empty()) {
    if (had_locpath_) {
      setenv("LOCPATH", old_locpath_.c_str(), 1);
    } else {
      unsetenv("LOCPATH");
    }
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
}
