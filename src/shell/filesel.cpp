#include "shell/filesel.h"

#include "model/consts.h"
#include "model/nls.h"

FileselCheck filesel_check(const std::string& chosen, int mode,
                           const std::function<bool(const std::string&)>& readable) {
  FileselCheck out;
  out.path = "cancel";
  if (chosen == "cancel") return out;
  bool folder = !chosen.empty() && chosen.back() == '/';
  if (chosen.empty() || chosen.size() >= PATH_LEN || (folder && mode != 2)) {
    out.error = true;
    if (folder && mode != 2 && chosen.size() < PATH_LEN) out.why = nls_mark("This is a folder, not a file.");
    return out;
  }
  out.path = chosen;
  if (mode == 1 && readable && readable(chosen)) out.ask_overwrite = true;
  return out;
}
