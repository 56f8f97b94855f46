#include "shell/bind_refresh.h"

#include <cstring>

#include "shell/shell_platform.h"

namespace {

struct Row {
  const char* key;
  BindRefresh what;
  int preview;
};

// Tested in this order; at most one row matches.
constexpr Row rows[] = {
    {"symbol", BindRefresh::PREVIEW, 7},        {"dim", BindRefresh::PREVIEW, 2},
    {"pattern", BindRefresh::PREVIEW, 3},       {"text", BindRefresh::PREVIEW, 1},
    {"opening", BindRefresh::PREVIEW, 4},       {"window", BindRefresh::PREVIEW, 5},
    {"door", BindRefresh::PREVIEW, 6},          {"main", BindRefresh::MAIN, 0},
    {"layerentry", BindRefresh::LAYERENTRY, 0},
};

}  // namespace

BindRefreshAction bind_refresh_action(const char* key) {
  if (!key) return {};
  for (const Row& r : rows)
    if (std::strcmp(key, r.key) == 0) return {r.what, r.preview};
  return {};
}

void bind_refresh_run(const char* key) {
  BindRefreshAction a = bind_refresh_action(key);
  const ShellPlatform& p = shell_platform();
  switch (a.what) {
    case BindRefresh::PREVIEW:
      if (p.dlg_preview_built(a.preview)) p.dlg_preview_draw(a.preview);
      break;
    case BindRefresh::MAIN:
      p.dlg_preview_draw(0);
      break;
    case BindRefresh::LAYERENTRY:
      p.gui_layerentry_closed();
      break;
    case BindRefresh::NONE:
      break;
  }
}
