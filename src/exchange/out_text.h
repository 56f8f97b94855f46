#pragma once

// Text output of the file writers: a buffer that hands its bytes on in
// chunks (to a file, or to a compressor), with numbers written the same in
// every locale. fixed(v, 2) writes what printf's "%.2f" writes in the "C"
// locale: correctly rounded, "." as the decimal point, "-0.00" for small
// negative numbers. Numbers that are not finite are written as 0, so no
// "nan" or "inf" ever reaches a file a reader has to parse.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

// A real number truncated towards zero, held to the range of int; 0 for NaN.
int out_trunc(double v);

class OutText {
 public:
  // Chunks of at least `chunk` bytes are handed on as they fill.
  explicit OutText(std::size_t chunk) : chunk_(chunk) { buf_.reserve(chunk + 512); }
  virtual ~OutText() = default;
  OutText(const OutText&) = delete;
  OutText& operator=(const OutText&) = delete;

  OutText& operator<<(std::string_view s) {
    buf_.append(s);
    return check();
  }
  OutText& operator<<(char c) {
    buf_.push_back(c);
    return check();
  }
  // A number with the given count of decimals (0 to 9).
  OutText& fixed(double v, int decimals);
  OutText& f2(double v) { return fixed(v, 2); }
  // The same number rounded to the given decimals in its shortest form:
  // no trailing zeros, no lone point, no sign on zero ("2", "37.4", "-0.05").
  OutText& shortest(double v, int decimals);
  // A count of hundredths in its shortest form, as shortest(v / 100.0, 2)
  // writes it; bare_point leaves out the zero before the point ("-.5").
  OutText& hundredths(long long v, bool bare_point = false);
  OutText& integer(long long v);

  // Hands everything buffered on now.
  void flush() {
    if (!buf_.empty()) drain(buf_);
    buf_.clear();
  }
  // Bytes appended so far, handed on or not.
  std::size_t position() const { return drained_ + buf_.size(); }
  // Whether every chunk so far reached its destination.
  bool ok() const { return ok_; }

 protected:
  // Takes one chunk; sets ok_ to false when it cannot.
  virtual void take(std::string_view chunk) = 0;
  bool ok_ = true;

 private:
  // Appends fixed(v, decimals)'s digits without handing anything on.
  void append_fixed(double v, int decimals);
  OutText& check() {
    if (buf_.size() >= chunk_) flush();
    return *this;
  }
  void drain(std::string_view chunk) {
    drained_ += chunk.size();
    take(chunk);
  }
  std::size_t chunk_;
  std::size_t drained_ = 0;
  std::string buf_;
};

// Writes to a stdio stream.
class FileOut final : public OutText {
 public:
  explicit FileOut(std::FILE* f) : OutText(1 << 16), f_(f) {}
  ~FileOut() override { flush(); }

 private:
  void take(std::string_view chunk) override;
  std::FILE* f_;
};

// Appends to a string (tests, and texts assembled before writing).
class StringOut final : public OutText {
 public:
  StringOut() : OutText(1 << 16) {}
  ~StringOut() override = default;
  // Everything written so far.
  const std::string& text() {
    flush();
    return text_;
  }

 private:
  void take(std::string_view chunk) override { text_.append(chunk); }
  std::string text_;
};
