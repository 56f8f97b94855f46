// libFuzzer target for the settings file: the header and the settings and
// settings-file chunks as start-up reads the user's file. What a read leaves
// is written as a settings file, read into fresh defaults and written again;
// the two writes must be the same bytes, so that saved settings load as
// they were.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "model/defaults.h"
#include "model/elem.h"
#include "model/files/kavfile.h"
#include "model/files/prefs.h"
#include "model/layers.h"

namespace {

std::vector<char> save_settings() {
  char* buf = nullptr;
  std::size_t len = 0;
  std::FILE* f = open_memstream(&buf, &len);
  if (!f) std::abort();
  if (!prefs_write_settings_file(f)) std::abort();
  std::fclose(f);
  std::vector<char> out(buf, buf + len);
  std::free(buf);
  return out;
}

void read_settings(const void* data, std::size_t size) {
  std::FILE* f = fmemopen(const_cast<void*>(data), size, "rb");
  if (!f) return;
  KavReadReport report;
  if (kavfile_read_header(f)) kavfile_read_chunks(f, 0, KAV_READ_SETTINGS_FILE, &report);
  std::fclose(f);
}

void fresh_defaults() {
  drawing_free();
  main_init_defaults();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static const bool once = [] {
    std::freopen("/dev/null", "w", stdout);  // the reader's notes on unknown chunks
    return true;
  }();
  (void)once;
  if (size == 0) return 0;
  fresh_defaults();
  read_settings(data, size);
  const std::vector<char> first = save_settings();
  fresh_defaults();
  read_settings(first.data(), first.size());
  if (save_settings() != first) __builtin_trap();
  drawing_free();
  return 0;
}
