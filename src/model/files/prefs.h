#pragma once

// Settings files (".prefs"): reading the user's default settings at start-up
// and on request, saving them, and the first start that sets up the user's
// folders from the installation (the program runs in its installation
// folder, so the installation's files are found under "./").

#include <cstdio>
#include <string>

// Mode 0 at start-up (with the first-start set-up when the user's folders
// are not there yet), mode 1 asks for a settings file and refreshes the
// interface after reading it. Returns 1 when a settings file was read.
int prefs_load(int mode);
// Asks for a file and writes the settings into it. Returns 1 when written.
int cmd_z_save_settings();
// A whole settings file: header, settings chunks, settings-file chunks.
int prefs_write_settings_file(std::FILE* f);
// The user's home folder: HOME, else the account's home, else "." (after
// saying so).
std::string prefs_home();
