#include "display/shell_hooks.h"

namespace {
ShellHooks current;
}

const ShellHooks& shell_hooks() { return current; }

ShellHooks shell_hooks_install(const ShellHooks& hooks) {
  ShellHooks previous = current;
  current = hooks;
  return previous;
}
