#pragma once

// Calls from the display engine into the command loop.
//
// The input engine lives below the shell and may not depend on it, yet a
// request that waits must let view and interface keys through to their
// dispatchers, release the tool buttons, and (in scripted runs) post keys the
// way a button does. The shell installs these at start-up; every entry starts
// silent, so code and tests without a shell run unchanged.

namespace shell_hooks_silent {
inline void key(const char*) {}
inline void none() {}
inline void post(void*, const char*) {}
}  // namespace shell_hooks_silent

struct ShellHooks {
  // Button and menu handler: dialog dispatch, button group, then the post.
  void (*cmd_post_key)(void* widget, const char* key) = shell_hooks_silent::post;
  // The dispatchers a waiting request passes f_, s_ and z_ keys to.
  void (*cmd_dispatch_f)(const char* key) = shell_hooks_silent::key;
  void (*cmd_dispatch_s)(const char* key) = shell_hooks_silent::key;
  void (*cmd_dispatch_z)(const char* key) = shell_hooks_silent::key;
  // Release the active tool button and the active view-tool button.
  void (*mainwin_release_b_button)() = shell_hooks_silent::none;
  void (*mainwin_release_f_button)() = shell_hooks_silent::none;
};

// The installed table.
const ShellHooks& shell_hooks();
// Installs a table and returns the previous one.
ShellHooks shell_hooks_install(const ShellHooks& hooks);
