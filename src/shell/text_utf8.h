#pragma once

// Texts cross into the toolkit as UTF-8, while elements, files and the
// program's buffers hold ISO-8859-1 bytes.

#include <cstddef>
#include <string>

// Text for a widget: UTF-8 as it is (interface texts already are), anything
// else read as ISO-8859-1.
std::string gui_to_utf8(const char* text);

// UTF-8 from a widget as ISO-8859-1, at most max_bytes bytes. Characters
// beyond ISO-8859-1 become '?', and so do bytes that are not UTF-8.
std::string gui_from_utf8(const char* text, std::size_t max_bytes);
