#pragma once

// What the file chooser's raw choice becomes, apart from the toolkit.

#include <functional>
#include <string>

struct FileselCheck {
  std::string path;            // the result: a path or "cancel"
  bool error = false;          // tell the user "Cannot open file"
  const char* why = nullptr;   // and, when known, why (English; translate it to show it)
  bool ask_overwrite = false;  // ask before the existing file is overwritten
};

// chosen is "cancel" when the chooser was cancelled or closed; otherwise the
// chosen name, ending in "/" for a folder (possibly empty). An empty name, a
// folder outside mode 2 (folders) and a result of PATH_LEN bytes or more
// (never cut: a cut path could name another file) give "cancel" with the
// error; a folder says so in why. In mode 1 (save) a name that readable()
// accepts asks first.
FileselCheck filesel_check(const std::string& chosen, int mode,
                           const std::function<bool(const std::string&)>& readable);
