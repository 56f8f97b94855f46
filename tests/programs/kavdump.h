#pragma once

// Prints a chunk file (drawing, settings file, symbol) as text, one line per
// chunk: tag, size and the fields by name. For tests and for checking a file
// by hand.

#include <cstddef>
#include <string>

std::string kavdump(const unsigned char* data, std::size_t size);
