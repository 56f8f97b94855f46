#include "model/ui.h"

namespace {
UiTable current;
}

const UiTable& ui() { return current; }

UiTable ui_install(const UiTable& table) {
  UiTable previous = current;
  current = table;
  return previous;
}
