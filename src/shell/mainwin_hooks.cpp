#include "shell/mainwin_hooks.h"

namespace {
MainwinHooks current;
}

const MainwinHooks& mainwin_hooks() { return current; }

MainwinHooks mainwin_hooks_install(const MainwinHooks& hooks) {
  MainwinHooks previous = current;
  current = hooks;
  return previous;
}
