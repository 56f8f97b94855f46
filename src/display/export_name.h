#pragma once

// The file name of an export. A save chooser proposes the name with the
// format's own suffix, and a typed name keeps its end only when that is the
// format's suffix (in any case): "house" becomes "house.pdf", "Grundriss
// 1.OG" "Grundriss 1.OG.pdf", and "house.eps" typed in the PDF chooser
// "house.eps.pdf", so a file's suffix always tells what it holds, while
// "house.pdf" and "house.PDF" stay as they were typed.

#include <string>

// start (the shared export or import name) with the suffix of a format the
// program knows replaced by suffix (".pdf"), any other name with suffix
// added; a folder (ending in "/" or empty) gets the drawing's name there.
std::string export_name_proposed(const std::string& start, const char* suffix);
// The chosen path, with suffix appended unless it ends in that suffix (any
// case) or another suffix of the same format (".hpgl" for ".plt").
std::string export_name_completed(const std::string& chosen, const char* suffix);
// The save chooser with the proposed name; the path completed. A completed
// name that names an existing file asks before overwriting it, as the
// chooser does for the name it was given. "cancel" when cancelled.
std::string export_name_choose(const char* title, const std::string& start, const char* path_folder,
                               const char* suffix);
