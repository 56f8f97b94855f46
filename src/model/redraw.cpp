#include "model/redraw.h"

#include "model/installed_table.h"

namespace {
InstalledTable<RedrawTable> table;
}

const RedrawTable& redraw() { return table.get(); }

RedrawTable redraw_install(const RedrawTable& t) { return table.install(t); }
