#pragma once

// The name lists of combos: preset folders, fonts and texture images. Names
// are file names, kept as the bytes the folder gives (the program's texts are
// ISO-8859-1), at most BIND_NAME_MAX bytes each: a longer name could not be
// held by the name buffers the combos fill, and a cut name would point at no
// file, so it is left out with a line on standard output. There is no limit
// on the number of names.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The slot of a name in a list handed over as consecutive slots, and the
// longest name, in bytes.
inline constexpr std::size_t BIND_NAME_SLOT = 40;
inline constexpr std::size_t BIND_NAME_MAX = BIND_NAME_SLOT - 1;

// The order of name lists: byte order, as strcmp.
int bind_name_compare(const char* a, const char* b);
void bind_sort_names(std::vector<std::string>& names);

// The names of count consecutive slots of BIND_NAME_SLOT bytes (each read up
// to its NUL or the end of its slot).
std::vector<std::string> bind_names_from_slots(const char* names, unsigned count);

// Every entry of a folder except "." and "..", in the order the folder gives.
// When the folder cannot be read: "Error scanning DIR" on standard output
// and no list.
std::optional<std::vector<std::string>> bind_scan_folder(const std::string& folder);

// The preset folder of a kind: dialog_path, "/" and the kind.
std::string bind_preset_folder(const char* kind);

// Whether a file name is one of the user's outline fonts for the font combo:
// at least 6 bytes, ending in exactly "ttf" or "TTF".
bool bind_is_ttf_name(std::string_view name);

// The font combo's names: the files of the installation's font folder that
// read as stroke fonts, then the outline fonts of base_dir's "ttf" folder.
std::vector<std::string> bind_font_names();

// The texture combo's names: every entry of base_dir's "tex" folder.
std::vector<std::string> bind_texture_names();
