#include "dialogs/dlg_path_entries.h"

#include <map>
#include <string>

#include "model/ui.h"
#include "shell/gtk/bind.h"

namespace {

std::map<std::string, GtkWidget*>& entries() {
  static std::map<std::string, GtkWidget*> table;
  return table;
}

void forget(GtkWidget* entry, gpointer) {
  for (auto it = entries().begin(); it != entries().end();) {
    if (it->second == entry)
      it = entries().erase(it);
    else
      ++it;
  }
}

void (*previous_path_entry_set)(const char*, const char*) = nullptr;

void path_entry_set(const char* name, const char* path) {
  dlg_path_entry_show(name, path);
  if (previous_path_entry_set) previous_path_entry_set(name, path);
}

}  // namespace

void dlg_path_entry_track(const char* name, GtkWidget* entry) {
  if (!name || !entry) return;
  entries()[name] = entry;
  g_signal_connect(entry, "destroy", G_CALLBACK(forget), nullptr);
}

bool dlg_path_entry_show(const char* name, const char* path) {
  if (!name) return false;
  const auto it = entries().find(name);
  if (it == entries().end()) return false;
  bind_set_entry_text(it->second, path ? path : "");
  return true;
}

void dlg_path_entries_install() {
  UiTable t = ui();
  if (t.path_entry_set == path_entry_set) return;
  previous_path_entry_set = t.path_entry_set;
  t.path_entry_set = path_entry_set;
  ui_install(t);
}
