#pragma once

// A command key and its handler. Each library lists the rows of the commands
// it builds; the shell gathers them into the five dispatchers' tables at
// start, so the dispatcher knows rows, not every tool's header.

#include <functional>
#include <vector>

struct CmdRow {
  const char* key;
  std::function<void()> run;
};
using CmdRows = std::vector<CmdRow>;

// The view tools and view commands of the display engine.
CmdRows display_rows();
