#pragma once

// The symbol library as the symbol browser lists it: every folder below the
// library's root, depth first, and the symbol files of one folder. Paths are
// joined with a slash whatever the left part ends in, so a root "sym/"
// gives the sub-folder "sym//a"; its row, the path without the root's
// characters, then reads "/a", and the root's own row is empty.
//
// Toolkit-free: the browser shows these lists.

#include <string>
#include <vector>

// Appends path and, after it, every folder below it in directory order,
// each before its own children; links are followed. A folder reached a
// second time (a link back to a parent or a sibling) is skipped, and so is
// a path longer than the system's limit. A folder that cannot be read is
// reported on standard output ("Error scanning dir PATH") and neither it nor
// anything below it is appended.
void symbol_scan_folders(const std::string& path, std::vector<std::string>& folders);

// The names of the regular files in folder (links followed, so a link to a
// file counts and a link to a folder does not), in directory order. A folder
// that cannot be read is reported as above and gives none.
std::vector<std::string> symbol_scan_files(const std::string& folder);

// "left/right".
std::string symbol_join(const std::string& left, const std::string& right);

// The row text of a folder: its path without the first root.size()
// characters; empty for a path no longer than that.
std::string symbol_folder_row(const std::string& folder, const std::string& root);

// The slider's degrees as the insertion angle: rounded down to a multiple of
// 15 degrees (towards zero), in radians.
double symbol_slider_angle(double degrees);
