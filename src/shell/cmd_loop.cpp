#include "shell/cmd_loop.h"

#include <cstring>

#include "display/command_buffer.h"
#include "display/input.h"
#include "display/shell_hooks.h"
#include "display/view_commands.h"
#include "model/nls.h"
#include "model/settings.h"
#include "model/ui.h"
#include "shell/cmd_buttons.h"
#include "shell/cmd_dispatch.h"
#include "shell/dlg_table.h"

int quit_requested = 0;

namespace {

// The loop's own bounded, terminated copy of a key.
void copy_key(char (&key)[CMD_KEY_LEN], const char* from) {
  const std::size_t n = from ? strnlen(from, CMD_KEY_LEN - 1) : 0;
  if (n) std::memcpy(key, from, n);
  key[n] = '\0';
}

}  // namespace

void cmd_install_shell_hooks() {
  ShellHooks h;
  h.cmd_post_key = cmd_post_key;
  h.cmd_dispatch_f = cmd_dispatch_f;
  h.cmd_dispatch_s = cmd_dispatch_s;
  h.cmd_dispatch_z = cmd_dispatch_z;
  h.mainwin_release_b_button = mainwin_release_b_button;
  h.mainwin_release_f_button = mainwin_release_f_button;
  shell_hooks_install(h);
}

void cmd_post_key(void* widget, const char* key) {
  if (!key) return;
  // Dialogs open and close at once, whoever waits.
  cmd_dispatch_dialog(key);
  switch (key[0]) {
    case 'z':
      break;
    case 's':
      mainwin_release_f_button();
      break;
    case 'f':
      mainwin_hold_f_button(widget, key);
      break;
    case 'p':
      mainwin_release_b_button();
      break;
    case 'b':
      mainwin_hold_b_button(widget, key);
      break;
    default:
      return;
  }
  cmd_put_key(key);
}

void cmd_loop() {
  cmd_install_shell_hooks();
  input_install_display_hooks();
  quit_requested = 0;
  pending_command = "nop";
  view_show_scale();
  view_remember();
  view_zoom_to_extents(0);
  ui().gui_show_about();
  ui().mainwin_update_title();
  view_type = 0;

  // The loop's own copy: handlers post and store keys while it is compared.
  char key[CMD_KEY_LEN];
  for (;;) {
    if (quit_requested) return;
    // No request is running between commands: no rubber band, no markers.
    active_request = nullptr;
    if (!cmd_pending_empty()) {
      copy_key(key, pending_command.c_str());
      pending_command = "nop";
    } else {
      ui().mainwin_set_prompt(nls_translate("Select function:"));
      copy_key(key, cmd_wait_key());
    }
    cmd_dispatch(key);
  }
}
