#pragma once

// Symbol files and the clipboard file: the chunk file with only its header
// and element chunks, the elements stored relative to an origin point.
// Messages go through the ui table, translated.

#include <string>

// The clipboard file: "sym.tmp" in tmp_dir.
std::string symbol_clipboard_path();

// Writes the marked elements, moved by minus the origin, as a symbol file
// through a temporary file that replaces path only when complete. The
// drawing itself does not change. Returns 1 when written; otherwise shows
// "Cannot open file" or "Cannot write file" and returns 0.
int symbol_write_marked(const std::string& path, double ox, double oy, double oz);

// Appends the elements of a symbol file, each marked (mark byte 1), and
// counts them in loaded_count. Settings, layer and layer-set chunks are
// skipped and cameras come in inactive, so reading a whole drawing as a
// symbol changes nothing but the element list. Returns 1 when the file was
// read; 0 after showing "Cannot open file" or "This is not a Kavro file!",
// or without a message when Cancel was pressed in the progress window of a
// large file (nothing is appended then).
int symbol_read_file(const std::string& path);

// Reads symbol_file as symbol_read_file does, for the symbol browser's
// preview; the caller draws and removes the elements. A file that cannot be
// opened prints "empty file" on standard output; a file that is no drawing
// is said once while it stays the chosen one.
void symbol_preview_load();
