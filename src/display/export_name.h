#pragma once

// The file name of an export. A save chooser proposes the name with the
// format's own suffix, and the suffix is added to a typed name only when
// that has none: "house" becomes "house.pdf", while "house.pdf",
// "house.PDF" and "house.eps" stay as they were typed.

#include <string>

// start (the shared export or import name) with its suffix replaced by
// suffix (".pdf"); a folder (ending in "/" or empty) gets the drawing's
// name there.
std::string export_name_proposed(const std::string& start, const char* suffix);
// The chosen path, with suffix appended when its last part has none.
std::string export_name_completed(const std::string& chosen, const char* suffix);
// The save chooser with the proposed name; the path completed. A completed
// name that names an existing file asks before overwriting it, as the
// chooser does for the name it was given. "cancel" when cancelled.
std::string export_name_choose(const char* title, const std::string& start, const char* path_folder,
                               const char* suffix);
