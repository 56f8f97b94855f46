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

void prompt(const char* text) {
  record(std::string("prompt ") + text);
  if (active) active->last_prompt = text;
}
void title() { record("title"); }
void scale_label(const char* text) { record(std::string("scale_label ") + text); }
void path_entry(const char* name, const char* path) {
  record(std::string("path_entry ") + name + " " + path);
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
  t.mainwin_set_prompt = prompt;
  t.mainwin_update_title = title;
  t.mainwin_set_scale_label = scale_label;
  t.path_entry_set = path_entry;
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
