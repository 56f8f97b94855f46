#include "shell/shell_platform.h"

#include "model/installed_table.h"

namespace {
InstalledTable<ShellPlatform> table;
}

const ShellPlatform& shell_platform() { return table.get(); }

ShellPlatform shell_platform_install(const ShellPlatform& t) { return table.install(t); }
