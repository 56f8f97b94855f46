#include "shell/text_utf8.h"

#include <cstdint>
#include <cstring>

#include "model/nls.h"
#include "model/ui.h"

namespace {

// The length of the UTF-8 sequence at s (1 to 4) and its code point, or 0
// when s does not start a well-formed sequence.
int utf8_decode(const unsigned char* s, std::size_t left, uint32_t& cp) {
  unsigned char c = s[0];
  if (c < 0x80) {
    cp = c;
    return 1;
  }
  int len = c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
  if (len == 0 || static_cast<std::size_t>(len) > left) return 0;
  cp = c & (0x7F >> len);
  for (int i = 1; i < len; ++i) {
    if ((s[i] & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (s[i] & 0x3F);
  }
  // Overlong forms, surrogates and values beyond Unicode are not UTF-8.
  static const uint32_t min_of_len[5] = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < min_of_len[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return len;
}

bool valid_utf8(const char* text) {
  auto s = reinterpret_cast<const unsigned char*>(text);
  std::size_t left = std::strlen(text);
  while (left) {
    uint32_t cp;
    int n = utf8_decode(s, left, cp);
    if (n == 0) return false;
    s += n;
    left -= n;
  }
  return true;
}

}  // namespace

std::string gui_to_utf8(const char* text) {
  if (!text) return {};
  if (valid_utf8(text)) return text;
  std::string out;
  for (auto s = reinterpret_cast<const unsigned char*>(text); *s; ++s) {
    if (*s < 0x80) {
      out += static_cast<char>(*s);
    } else {
      out += static_cast<char>(0xC0 | (*s >> 6));
      out += static_cast<char>(0x80 | (*s & 0x3F));
    }
  }
  return out;
}

std::string gui_from_utf8(const char* text, std::size_t max_bytes) {
  std::string out;
  if (!text) return out;
  auto s = reinterpret_cast<const unsigned char*>(text);
  std::size_t left = std::strlen(text);
  while (left && out.size() < max_bytes) {
    uint32_t cp;
    int n = utf8_decode(s, left, cp);
    if (n == 0) {
      n = 1;
      cp = '?';
    }
    out += static_cast<char>(cp <= 0xFF ? cp : '?');
    s += n;
    left -= n;
  }
  return out;
}

bool gui_utf8_fits_latin1(const char* text) {
  if (!text) return true;
  auto s = reinterpret_cast<const unsigned char*>(text);
  std::size_t left = std::strlen(text);
  while (left) {
    uint32_t cp;
    int n = utf8_decode(s, left, cp);
    if (n == 0 || cp > 0xFF) return false;
    s += n;
    left -= n;
  }
  return true;
}

bool gui_accept_latin1(const char* text) {
  if (gui_utf8_fits_latin1(text)) return true;
  ui().msgbox_error(
      nls_translate("The text holds characters a drawing cannot hold. Only Western European "
                    "(ISO-8859-1) characters can be written."));
  return false;
}
