// Writes the installation's default settings file from the built-in
// defaults, with the program's own settings-file writer.
//   gen_default_prefs OUTPUT
#include <cstdio>

#include "model/defaults.h"
#include "model/files/fio.h"
#include "model/files/prefs.h"
#include "model/layers.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT\n", argv[0]);
    return 2;
  }
  main_init_defaults();
  FioSafeWriter out(argv[1]);
  const bool ok = out.stream() && prefs_write_settings_file(out.stream()) && out.commit();
  drawing_free();
  if (!ok) {
    std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
    return 1;
  }
  return 0;
}
