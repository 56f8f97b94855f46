#include "display/shell_hooks.h"

#include "model/installed_table.h"

namespace {
InstalledTable<ShellHooks> table;
}

const ShellHooks& shell_hooks() { return table.get(); }

ShellHooks shell_hooks_install(const ShellHooks& hooks) { return table.install(hooks); }
