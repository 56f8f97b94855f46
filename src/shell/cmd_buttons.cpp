#include "shell/cmd_buttons.h"

#include "shell/shell_platform.h"

CmdButtonSlot active_b_button;
CmdButtonSlot active_f_button;

namespace {

void set_active(const CmdButtonSlot& s, bool on) { shell_platform().button_set_active(s.widget, s.key, on); }

void release(CmdButtonSlot& s) {
  if (!s.widget) return;
  CmdButtonSlot old = s;
  s = CmdButtonSlot{};
  shell_platform().button_unwatch(old.widget, old.watch);
  set_active(old, false);
}

void hold(CmdButtonSlot& s, void* widget, const char* key) {
  if (widget && s.widget == widget) {
    // The user pressed the active button, which let it go: press it again.
    set_active(s, true);
    return;
  }
  release(s);
  s.widget = widget;
  s.key = key;
  s.watch = widget ? shell_platform().button_watch(widget) : 0;
}

}  // namespace

void mainwin_hold_b_button(void* widget, const char* key) { hold(active_b_button, widget, key); }
void mainwin_hold_f_button(void* widget, const char* key) { hold(active_f_button, widget, key); }
void mainwin_release_b_button() { release(active_b_button); }
void mainwin_release_f_button() { release(active_f_button); }

void mainwin_forget_button(void* widget) {
  if (!widget) return;
  if (active_b_button.widget == widget) active_b_button = CmdButtonSlot{};
  if (active_f_button.widget == widget) active_f_button = CmdButtonSlot{};
}
