#include "support/recording_ui.h"

#include <cstdio>

#include "model/elem.h"

namespace {

RecordingUi* active = nullptr;

void record(std::string line) {
  if (active) active->calls.push_back(std::move(line));
}

void undo_button(bool on) { record(std::string("undo_button ") + (on ? "1" : "0")); }
void redo_button(bool on) { record(std::string("redo_button ") + (on ? "1" : "0")); }
void error(const char* text) { record(std::string("error ") + text); }
void message(const char* title, const char* text) { record(std::string("message ") + title + ": " + text); }

void cursor_toggle() { record("cursor_toggle"); }
void draw_element(int mode, const ElemHeader* e) {
  record("draw_element " + std::to_string(mode) + " kind " + std::to_string(e ? e->kind : 0));
}
void draw_last_element(int mode) { record("draw_last_element " + std::to_string(mode)); }
void camera_angle(double degrees) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "camera_angle %g", degrees);
  record(buf);
}

int ask(const char* text, int count, const char* const* labels) {
  std::string line = std::string("ask ") + text;
  for (int i = 0; i < count; ++i) line += std::string(" [") + labels[i] + "]";
  record(line);
  if (!active || active->answers.empty()) return 0;
  int a = active->answers.front();
  active->answers.pop_front();
  return a;
}

std::string choose(const char* title, const char* start, int mode, const char* path_folder) {
  std::string line = std::string("choose ") + title + " " + start + " " + std::to_string(mode);
  if (path_folder && *path_folder) line += std::string(" path ") + path_folder;
  record(line);
  if (!active || active->paths.empty()) return "cancel";
  std::string p = active->paths.front();
  active->paths.pop_front();
  return p;
}

void progress_open(const char* title) { record(std::string("progress_open ") + title); }
void progress_update(double fraction) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "progress %g", fraction);
  record(buf);
}
void progress_close() { record("progress_close"); }
void progress_open_cancel(const char* title) { record(std::string("progress_open_cancel ") + title); }
bool progress_cancelled() {
  if (!active || active->cancel_after_updates < 0) return false;
  int updates = 0;
  for (const std::string& c : active->calls) updates += c.rfind("progress ", 0) == 0 ? 1 : 0;
  return updates >= active->cancel_after_updates;
}
void progress_finish(const char* line) { record(std::string("progress_finish ") + line); }
void text_editor(const char* text) { record(std::string("text_editor ") + text); }
std::string text_editor_get() {
  record("text_editor_get");
  if (!active || active->editor_texts.empty()) return "";
  std::string t = active->editor_texts.front();
  active->editor_texts.pop_front();
  return t;
}
void text_editor_close() { record("text_editor_close"); }
void gauge(double dx, double dy, double dz, double length, double angle) {
  char buf[160];
  std::snprintf(buf, sizeof buf, "gauge %g %g %g %g %g", dx, dy, dz, length, angle);
  record(buf);
}
void about() { record("about"); }

void prompt(const char* text) {
  record(std::string("prompt ") + text);
  if (active) active->last_prompt = text;
}
void title() { record("title"); }
void scale_label(const char* text) { record(std::string("scale_label ") + text); }
void path_entry(const char* name, const char* path) {
  record(std::string("path_entry ") + name + " " + path);
}
void toolbar_toggles_refresh() { record("toolbar_toggles_refresh"); }
void dxf_refresh() { record("dlg_dxf_refresh"); }
void reset_after_load() { record("gui_reset_after_load"); }
void reset_dialogs_after_settings() { record("gui_reset_dialogs_after_settings"); }
void select_view(int type) { record("select_view " + std::to_string(type)); }
void zoom_to_extents(int mode) { record("zoom_to_extents " + std::to_string(mode)); }

void entry_open(const char* text) { record(std::string("entry_open ") + text); }
void entry_close() { record("entry_close"); }
void poll_until(bool (*done)()) {
  record("poll");
  if (active) active->polls.push_back(done);
}

void snap_buttons_enable() { record("snap_buttons 1"); }
void snap_buttons_disable() { record("snap_buttons 0"); }
void set_coord_x(const char* text) {
  record(std::string("coord_x ") + text);
  if (active) active->coord_x = text;
}
void set_coord_y(const char* text) {
  record(std::string("coord_y ") + text);
  if (active) active->coord_y = text;
}

}  // namespace

RecordingUi::RecordingUi() {
  UiTable t;
  t.undo_button_enable = undo_button;
  t.redo_button_enable = redo_button;
  t.msgbox_error = error;
  t.msgbox_message = message;
  t.msgbox_ask = ask;
  t.filesel_choose = choose;
  t.gui_progress_open = progress_open;
  t.gui_progress_update = progress_update;
  t.gui_progress_close = progress_close;
  t.gui_progress_open_cancel = progress_open_cancel;
  t.gui_progress_cancelled = progress_cancelled;
  t.gui_progress_finish = progress_finish;
  t.gui_text_editor_show = text_editor;
  t.gui_text_editor_get = text_editor_get;
  t.gui_text_editor_close = text_editor_close;
  t.gui_show_gauge = gauge;
  t.gui_show_about = about;
  t.dlg_camera_set_angle = camera_angle;
  t.mainwin_set_prompt = prompt;
  t.mainwin_update_title = title;
  t.mainwin_set_scale_label = scale_label;
  t.path_entry_set = path_entry;
  t.mainwin_value_entry_open = entry_open;
  t.mainwin_value_entry_close = entry_close;
  t.poll_until = poll_until;
  t.mainwin_snap_buttons_enable = snap_buttons_enable;
  t.mainwin_snap_buttons_disable = snap_buttons_disable;
  t.mainwin_set_coord_x = set_coord_x;
  t.mainwin_set_coord_y = set_coord_y;
  t.mainwin_toolbar_toggles_refresh = toolbar_toggles_refresh;
  t.dlg_dxf_refresh = dxf_refresh;
  t.gui_reset_after_load = reset_after_load;
  t.gui_reset_dialogs_after_settings = reset_dialogs_after_settings;
  t.mainwin_select_view = select_view;
  previous_ = ui_install(t);

  RedrawTable r;
  r.input_cursor_toggle = cursor_toggle;
  r.draw_element = draw_element;
  r.draw_last_element = draw_last_element;
  r.view_zoom_to_extents = zoom_to_extents;
  previous_redraw_ = redraw_install(r);
  active = this;
}

RecordingUi::~RecordingUi() {
  redraw_install(previous_redraw_);
  ui_install(previous_);
  active = nullptr;
}

std::vector<std::string> RecordingUi::calls_starting(const std::string& prefix) const {
  std::vector<std::string> out;
  for (const auto& c : calls)
    if (c.compare(0, prefix.size(), prefix) == 0) out.push_back(c);
  return out;
}
