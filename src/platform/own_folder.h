#pragma once

// The folder the running program's executable lies in. The program keeps
// its own files (translations, fonts, presets, pictures, help pages and the
// helper programs it starts) beside its executable, so it finds them there
// whatever folder it was started from.

#include <string>

// The absolute folder of the running executable, without a trailing slash;
// empty when the system does not say.
std::string own_folder();

// The folder the user started the program in. start_folder_remember keeps
// the current folder, once, before the program moves to its own folder;
// until then start_folder is the current folder.
void start_folder_remember();
std::string start_folder();
