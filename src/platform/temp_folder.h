#pragma once

// The program's private temporary folder: made with mkdtemp on first use
// (under $TMPDIR, else /tmp), readable only by the user, and removed with
// everything in it when the program ends. Hand-off files to other programs
// live here, never under a guessable name in a shared folder.

#include <string>

// The folder's path without a trailing slash; empty when none could be made.
const std::string& temp_folder();
// Removes the folder and its contents now (also done at exit); the next
// temp_folder() makes a new one.
void temp_folder_remove();
