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

// Whether every character of a widget's UTF-8 text has an ISO-8859-1 byte;
// false for text that is not UTF-8. Null counts as empty.
bool gui_utf8_fits_latin1(const char* text);

// Where typed text goes into the drawing: true when it fits ISO-8859-1.
// Otherwise the error box says which characters the drawing can hold, and
// the caller keeps the text in its widget for the user to correct, rather
// than writing '?' in place of the others.
bool gui_accept_latin1(const char* text);
