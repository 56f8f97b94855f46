#include "model/ui.h"

#include "model/installed_table.h"

namespace {
InstalledTable<UiTable> table;
}

const UiTable& ui() { return table.get(); }

UiTable ui_install(const UiTable& t) { return table.install(t); }
