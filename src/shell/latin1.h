#pragma once

// Texts cross between the program and the toolkit here. The program keeps
// its texts as ISO-8859-1 bytes in fixed-size buffers; the toolkit takes and
// gives UTF-8. After a conversion to ISO-8859-1 every character is one byte,
// so a widget's character limit bounds the bytes again.

#include <cstddef>
#include <string>
#include <string_view>

// Whether text is well-formed UTF-8 (no overlong forms, no surrogates).
bool utf8_valid(std::string_view text);

// ISO-8859-1 bytes as UTF-8; stops at the first NUL.
std::string latin1_to_utf8(std::string_view text);

// UTF-8 as ISO-8859-1 bytes. A character beyond U+00FF and every byte of a
// malformed sequence become '?'; stops at the first NUL.
std::string utf8_to_latin1(std::string_view text);

// The same into a caller's buffer of size bytes: cut to size - 1 bytes and
// terminated; nothing is written when size is 0. Returns the bytes written
// before the terminator.
std::size_t utf8_to_latin1(std::string_view text, char* buf, std::size_t size);

// An interface text for the toolkit: kept when it is UTF-8 already (the
// translation table's texts are), read as ISO-8859-1 otherwise; null gives "".
std::string gui_utf8(const char* text);
