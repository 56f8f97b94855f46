// kavdump --resave: a drawing loaded and saved by the program's own loader
// and saver, with no person to answer them.

#include <cstdio>
#include <string>

#include "model/defaults.h"
#include "model/files/load_save.h"
#include "model/layers.h"
#include "model/ui.h"
#include "programs/kavdump.h"

namespace {

std::string save_to;
bool reported = false;

void error(const char* text) {
  std::fprintf(stderr, "kavdump: %s\n", text);
  reported = true;
}
void message(const char* title, const char* text) { std::fprintf(stderr, "kavdump: %s: %s\n", title, text); }
// "Really delete all?" before a load: yes.
int ask(const char*, int, const char* const*) { return 1; }
// The save chooser takes the output file; no other chooser is expected.
std::string choose(const char*, const char*, int mode, const char*) {
  return mode == FILESEL_SAVE ? save_to : "cancel";
}

}  // namespace

int kavdump_resave(const char* in, const char* out) {
  save_to = out;
  reported = false;
  UiTable table;
  table.msgbox_error = error;
  table.msgbox_message = message;
  table.msgbox_ask = ask;
  table.filesel_choose = choose;
  const UiTable before = ui_install(table);
  drawing_free();
  main_init_defaults();
  const bool loaded = kavfile_load_drawing(1, in) == 1;
  const bool saved = loaded && kavfile_save_drawing(0) == 1;
  drawing_free();
  ui_install(before);
  return loaded && saved && !reported ? 0 : 1;
}
