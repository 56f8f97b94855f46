// libFuzzer target for the translation table. Each input is installed as the
// table of a private installation folder and loaded; the languages kept stay
// within their limit and every translation the lookup returns for a text of
// the file takes the same printf arguments as the text itself.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "shell/nls_table.h"

namespace {

void write_file(const char* path, const void* data, std::size_t size) {
  std::FILE* f = std::fopen(path, "wb");
  if (!f) std::abort();
  if (size && std::fwrite(data, 1, size, f) != size) std::abort();
  std::fclose(f);
}

// A private folder with nls/ (the installation) and .kavro3/ (HOME).
bool enter_private_folder() {
  static char folder[] = "/tmp/kavro-nls-fuzz-XXXXXX";
  if (!::mkdtemp(folder) || ::chdir(folder) != 0) std::abort();
  if (::mkdir("nls", 0700) != 0 || ::setenv("HOME", folder, 1) != 0) std::abort();
  write_file("nls/language", "german\n", 7);
  std::atexit([] {
    std::remove("nls/kav.nls");
    std::remove("nls/language");
    std::remove(".kavro3/language");
    ::rmdir(".kavro3");
    ::rmdir("nls");
    ::rmdir(folder);
  });
  std::freopen("/dev/null", "w", stdout);  // the table's notes
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static const bool once = enter_private_folder();
  (void)once;
  write_file("nls/kav.nls", data, size);
  nls_load();
  if (language_count < 0 || language_count > NLS_MAX_LANGUAGES) __builtin_trap();
  if (language_count != static_cast<int>(languages.size())) __builtin_trap();
  if (languages.size() != language_locales.size()) __builtin_trap();
  if (language_index < 0 || (language_count > 0 && language_index >= language_count)) __builtin_trap();

  // The first lines of the file, each looked up as an English text.
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::size_t at = 0;
  for (int n = 0; n < 40 && at < text.size(); ++n) {
    std::size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    std::string key = text.substr(at, end - at);
    at = end + 1;
    if (key.find('\0') != std::string::npos) continue;
    nls_swap_bars(key);
    const char* found = nls_lookup(key.c_str());
    if (!found) __builtin_trap();
    if (nls_conversions(found) != nls_conversions(key)) __builtin_trap();
  }
  nls_save_language();
  return 0;
}
