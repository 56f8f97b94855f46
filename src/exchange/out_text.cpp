#include "exchange/out_text.h"

#include <charconv>
#include <climits>
#include <cmath>

int out_trunc(double v) {
  if (std::isnan(v)) return 0;
  if (v >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (v <= static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<int>(v);
}

OutText& OutText::fixed(double v, int decimals) {
  if (!std::isfinite(v)) v = 0.0;
  if (decimals < 0) decimals = 0;
  if (decimals > 9) decimals = 9;
  // The largest double in fixed notation has 309 digits before the point.
  char buf[340];
  const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
  buf_.append(buf, r.ptr);
  return check();
}

OutText& OutText::integer(long long v) {
  char buf[24];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  buf_.append(buf, r.ptr);
  return check();
}

void FileOut::take(std::string_view chunk) {
  if (!f_ || std::fwrite(chunk.data(), 1, chunk.size(), f_) != chunk.size()) ok_ = false;
}
