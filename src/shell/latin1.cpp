#include "shell/latin1.h"

#include <cstring>

namespace {

// The length of the well-formed sequence starting at text[i] and its code
// point; 0 when the bytes there do not form one.
std::size_t decode(std::string_view text, std::size_t i, char32_t& cp) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char c = byte(i);
  if (c < 0x80) {
    cp = c;
    return 1;
  }
  std::size_t more;
  char32_t min;
  if (c >= 0xC2 && c <= 0xDF) {
    more = 1, cp = c & 0x1F, min = 0x80;
  } else if (c >= 0xE0 && c <= 0xEF) {
    more = 2, cp = c & 0x0F, min = 0x800;
  } else if (c >= 0xF0 && c <= 0xF4) {
    more = 3, cp = c & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  if (text.size() - i - 1 < more) return 0;
  for (std::size_t k = 1; k <= more; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (byte(i + k) & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return more + 1;
}

std::string_view up_to_nul(std::string_view text) {
  if (const void* nul = std::memchr(text.data(), '\0', text.size()))
    return text.substr(0, static_cast<const char*>(nul) - text.data());
  return text;
}

}  // namespace

bool utf8_valid(std::string_view text) {
  char32_t cp;
  for (std::size_t i = 0; i < text.size();) {
    std::size_t n = decode(text, i, cp);
    if (n == 0) return false;
    i += n;
  }
  return true;
}

std::string latin1_to_utf8(std::string_view text) {
  text = up_to_nul(text);
  std::string out;
  out.reserve(text.size());
  for (char ch : text) {
    auto c = static_cast<unsigned char>(ch);
    if (c < 0x80) {
      out += ch;
    } else {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::string utf8_to_latin1(std::string_view text) {
  text = up_to_nul(text);
  std::string out;
  out.reserve(text.size());
  char32_t cp;
  for (std::size_t i = 0; i < text.size();) {
    std::size_t n = decode(text, i, cp);
    if (n == 0) {
      out += '?';
      ++i;
      continue;
    }
    out += cp <= 0xFF ? static_cast<char>(cp) : '?';
    i += n;
  }
  return out;
}

std::size_t utf8_to_latin1(std::string_view text, char* buf, std::size_t size) {
  if (!buf || size == 0) return 0;
  std::string s = utf8_to_latin1(text);
  std::size_t n = s.size() < size - 1 ? s.size() : size - 1;
  std::memcpy(buf, s.data(), n);
  buf[n] = '\0';
  return n;
}

std::string gui_utf8(const char* text) {
  if (!text) return std::string();
  std::string_view t(text);
  return utf8_valid(t) ? std::string(t) : latin1_to_utf8(t);
}
