#include "support/recording_ui.h"

namespace {

RecordingUi* active = nullptr;

void record(std::string line) {
  if (active) active->calls.push_back(std::move(line));
}

void undo_button(bool on) { record(std::string("undo_button ") + (on ? "1" : "0")); }
void redo_button(bool on) { record(std::string("redo_button ") + (on ? "1" : "0")); }
void error(const char* text) { record(std::string("error ") + text); }
void message(const char* title, const char* text) { record(std::string("message ") + title + ": " + text); }

int ask(const char* text, int count, const char* const* labels) {
  std::string line = std::string("ask ") + text;
  for (int i = 0; i < count; ++i) line += std::string(" [") + labels[i] + "]";
  record(line);
  if (!active || active->answers.empty()) return 0;
  int a = active->answers.front();
  active->answers.pop_front();
  return a;
}

std::string choose(const char* title, const char* start, int mode) {
  record(std::string("choose ") + title + " " + start + " " + std::to_string(mode));
  if (!active || active->paths.empty()) return "cancel";
  std::string p = active->paths.front();
  active->paths.pop_front();
  return p;
}

void toolbar_toggles_refresh() { record("toolbar_toggles_refresh"); }
void dxf_refresh() { record("dlg_dxf_refresh"); }
void reset_after_load() { record("gui_reset_after_load"); }
void reset_dialogs_after_settings() { record("gui_reset_dialogs_after_settings"); }
void select_view(int type) { record("select_view " + std::to_string(type)); }
void zoom_to_extents(int mode) { record("zoom_to_extents " + std::to_string(mode)); }
void update_title() { record("update_title"); }

}  // namespace

RecordingUi::RecordingUi() {
  UiTable t;
  t.undo_button_enable = undo_button;
  t.redo_button_enable = redo_button;
  t.msgbox_error = error;
  t.msgbox_message = message;
  t.msgbox_ask = ask;
  t.filesel_choose = choose;
  t.mainwin_toolbar_toggles_refresh = toolbar_toggles_refresh;
  t.dlg_dxf_refresh = dxf_refresh;
  t.gui_reset_after_load = reset_after_load;
  t.gui_reset_dialogs_after_settings = reset_dialogs_after_settings;
  t.mainwin_select_view = select_view;
  t.view_zoom_to_extents = zoom_to_extents;
  t.mainwin_update_title = update_title;
  previous_ = ui_install(t);
  active = this;
}

RecordingUi::~RecordingUi() {
  ui_install(previous_);
  active = nullptr;
}

std::vector<std::string> RecordingUi::calls_starting(const std::string& prefix) const {
  std::vector<std::string> out;
  for (const auto& c : calls)
    if (c.compare(0, prefix.size(), prefix) == 0) out.push_back(c);
  return out;
}
