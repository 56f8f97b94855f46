#include "support/comma_locale.h"

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "platform/process.h"

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
  ProcessRequest request;
  request.argv = {"localedef", "-i", "de_DE", "-f", "UTF-8", out};
  request.stdout_path = "/dev/null";
  request.stderr_path = "/dev/null";
  // localedef also exits non-zero after mere warnings; what counts is the result.
  return process_start(request).started && std::filesystem::exists(out + "/LC_NUMERIC");
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
