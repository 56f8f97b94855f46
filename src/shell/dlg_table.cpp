#include "shell/dlg_table.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

#include "model/ui.h"
#include "shell/cmd_keys.h"
#include "shell/dlg_boxes.h"
#include "shell/fontchange.h"
#include "shell/shell_platform.h"
#include "tools/text_tools.h"

void* dlg_slots[DLG_COUNT] = {};

namespace {

const char* const names[DLG_COUNT] = {
    "aspect",     "plotsetup", "printsetup",  "printscale", "snap",       "room",        "wall",
    "layer",      "gauge",     "filesel",     "settings",   "progress",   "mat",         "light",
    "error",      "filter",    "oinfo",       "info",       "ask",        "about",       "scale",
    "dxf_in",     "dxf_out",   "pov",         "hlr",        "ray",        "colorsel",    "font",
    "pattern",    "text",      "dim",         "opening",    "door",       "symbol",      "window",
    "camera",     "textsize",  "openingsize", "doorsize",   "windowsize", "profilesize", "textedit",
    "layerentry",
};

// The boxes that only close; each dialog's owner adds its own rows.
std::vector<DlgRow> rows = {
    {"z_c_gauge", DlgAct::HIDE, DLG_GAUGE},
    {"z_c_error", DlgAct::HIDE, DLG_ERROR},
    {"z_c_about", DlgAct::HIDE, DLG_ABOUT},
    // The separate text editor hands its text to the text tools, which may
    // have ended meanwhile, and goes.
    {"z_c_textedit_cancel", DlgAct::RUN, DLG_TEXTEDIT, nullptr,
     [] {
       text_edit_finish(nullptr);
       dlg_destroy(DLG_TEXTEDIT);
     }},
    {"z_c_textedit_apply", DlgAct::RUN, DLG_TEXTEDIT, nullptr,
     [] {
       const std::string text = ui().gui_text_editor_get();
       text_edit_finish(text.c_str());
       dlg_destroy(DLG_TEXTEDIT);
     }},
};

void build_into(const DlgRow& row) {
  if (!row.build) return;
  dlg_store(row.slot, row.build());
}

}  // namespace

const char* dlg_name(DlgId id) { return id >= 0 && id < DLG_COUNT ? names[id] : "?"; }

void dlg_store(DlgId id, void* widget) {
  if (id < 0 || id >= DLG_COUNT) return;
  dlg_slots[id] = widget;
  if (widget) shell_platform().dlg_watch(widget, &dlg_slots[id]);
}

void dlg_destroy(void** slot) {
  if (!slot) return;
  void* widget = *slot;
  *slot = nullptr;
  if (widget) shell_platform().dlg_destroy(widget);
}

void dlg_destroy(DlgId id) {
  if (id >= 0 && id < DLG_COUNT) dlg_destroy(&dlg_slots[id]);
}

void dlg_present(void* widget) {
  if (widget) shell_platform().dlg_present(widget);
}

void gui_widget_hide(void* widget) {
  if (widget) shell_platform().dlg_hide(widget);
}

std::vector<DlgRow>& dlg_rows() { return rows; }

void dlg_row_set(DlgRow row) {
  for (DlgRow& r : rows) {
    if (std::strcmp(r.key, row.key) == 0) {
      r = std::move(row);
      return;
    }
  }
  rows.push_back(std::move(row));
}

void cmd_dispatch_dialog(const char* key) {
  if (!key) return;
  const DlgRow* found = nullptr;
  for (const DlgRow& r : rows) {
    if (std::strcmp(r.key, key) == 0) {
      found = &r;
      break;
    }
  }
  if (!found) {
    // A dialog whose builder has not added its rows yet: said once here,
    // since the dispatchers drop dialog keys silently after.
    if (cmd_key_is_dialog(key)) {
      std::printf("command key %s: no handler, dropped\n", key);
      std::fflush(stdout);
    }
    return;
  }
  // A copy: the row's work may change the table.
  DlgRow row = *found;
  bool has_slot = row.slot >= 0 && row.slot < DLG_COUNT;
  switch (row.action) {
    case DlgAct::OPEN:
      if (!has_slot) break;
      if (!dlg_slots[row.slot]) build_into(row);
      dlg_present(dlg_slots[row.slot]);
      break;
    case DlgAct::REBUILD:
      if (!has_slot) break;
      dlg_destroy(row.slot);
      build_into(row);
      dlg_present(dlg_slots[row.slot]);
      break;
    case DlgAct::HIDE:
      if (has_slot) gui_widget_hide(dlg_slots[row.slot]);
      break;
    case DlgAct::DESTROY:
      if (has_slot) dlg_destroy(row.slot);
      break;
    case DlgAct::RUN:
      break;
  }
  if (row.then) row.then();
}
