#pragma once

// A fixed-size, always terminated text field as stored in element records,
// settings and file chunks. Every write goes through set(), which cuts the
// text to the field and terminates it, so no caller can overrun the field.

#include <array>
#include <cstddef>
#include <cstring>
#include <string_view>

template <std::size_t N>
class FixedText {
  static_assert(N >= 1);

 public:
  static constexpr std::size_t capacity = N;  // bytes, terminator included

  FixedText() { buf_.fill('\0'); }
  FixedText(std::string_view s) {  // NOLINT: implicit on purpose, like a char array
    buf_.fill('\0');
    set(s);
  }

  // Copies at most N-1 bytes of s (up to its first NUL) and terminates.
  void set(std::string_view s) {
    std::size_t n = s.size();
    if (const void* nul = std::memchr(s.data(), '\0', n)) n = static_cast<const char*>(nul) - s.data();
    if (n > N - 1) n = N - 1;
    std::memcpy(buf_.data(), s.data(), n);
    std::memset(buf_.data() + n, 0, N - n);
  }
  FixedText& operator=(std::string_view s) {
    set(s);
    return *this;
  }

  const char* c_str() const { return buf_.data(); }
  std::string_view view() const { return std::string_view(buf_.data(), std::strlen(buf_.data())); }
  bool empty() const { return buf_[0] == '\0'; }

  // Raw access for writers of fixed-length file fields and bound widgets.
  // Whoever writes through data() must leave the last byte 0.
  char* data() { return buf_.data(); }
  const char* data() const { return buf_.data(); }
  const std::array<char, N>& bytes() const { return buf_; }

  // Puts the terminator back after raw writes through data().
  void terminate() { buf_[N - 1] = '\0'; }

  friend bool operator==(const FixedText& a, const FixedText& b) { return a.view() == b.view(); }
  friend bool operator==(const FixedText& a, std::string_view b) { return a.view() == b; }

 private:
  std::array<char, N> buf_;
};
