#pragma once

// Prints a chunk file (drawing, settings file, symbol) as text, one line per
// chunk: tag, size and the fields by name. For tests and for checking a file
// by hand.

#include <cstddef>
#include <string>

std::string kavdump(const unsigned char* data, std::size_t size);

// Loads the drawing in through the program's loader and saves it as out
// through its saver, without a person: the loader's question is answered
// yes, the save chooser with out, and messages go to standard error. out is
// written whenever in could be loaded, even in part. Returns 0 when both
// worked and nothing was reported (such as a damaged file), else 1.
int kavdump_resave(const char* in, const char* out);
