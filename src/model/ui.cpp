#include "model/ui.h"

#include "model/installed_table.h"
#include "platform/work_pool.h"

namespace {
InstalledTable<UiTable> table;
}

// The interface lives on its own thread: a worker drawing the screen that
// would ask the user anything hands its piece back to that thread.
const UiTable& ui() {
  work_pool_require_main_thread();
  return table.get();
}

UiTable ui_install(const UiTable& t) { return table.install(t); }
