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

namespace {

constexpr double POW10[10] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};

// The digits of a number scaled to an integer, when the scaling cannot have
// moved it across a rounding boundary: then they are the digits printf
// writes. False near a tie, where only the exact decimal expansion tells.
bool fast_fixed(std::string& out, double v, int decimals) {
  const double scaled = std::fabs(v) * POW10[decimals];
  if (!(scaled < 9e15)) return false;
  const double whole = std::floor(scaled);
  const double part = scaled - whole;
  if (std::fabs(part - 0.5) < 1e-6 * (1.0 + scaled * 1e-9)) return false;
  auto n = static_cast<unsigned long long>(whole) + (part > 0.5 ? 1 : 0);
  // Written from the right end of the buffer towards its start.
  char buf[32];
  char* p = buf + sizeof buf;
  for (int i = 0; i < decimals; ++i) {
    *--p = static_cast<char>('0' + n % 10);
    n /= 10;
  }
  if (decimals > 0) *--p = '.';
  do {
    *--p = static_cast<char>('0' + n % 10);
    n /= 10;
  } while (n > 0);
  if (std::signbit(v)) *--p = '-';
  out.append(p, buf + sizeof buf);
  return true;
}

}  // namespace

void OutText::append_fixed(double v, int decimals) {
  if (!std::isfinite(v)) v = 0.0;
  if (decimals < 0) decimals = 0;
  if (decimals > 9) decimals = 9;
  if (fast_fixed(buf_, v, decimals)) return;
  // The largest double in fixed notation has 309 digits before the point.
  char buf[340];
  const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
  buf_.append(buf, r.ptr);
}

OutText& OutText::fixed(double v, int decimals) {
  append_fixed(v, decimals);
  return check();
}

OutText& OutText::shortest(double v, int decimals) {
  const std::size_t start = buf_.size();
  append_fixed(v, decimals);
  // Fixed notation writes a point exactly when it writes decimals.
  if (decimals > 0) {
    while (buf_.back() == '0') buf_.pop_back();
    if (buf_.back() == '.') buf_.pop_back();
  }
  if (buf_.compare(start, std::string::npos, "-0") == 0) buf_.erase(start, 1);
  return check();
}

OutText& OutText::hundredths(long long v, bool bare_point) {
  char buf[32];
  char* p = buf + sizeof buf;
  const bool negative = v < 0;
  unsigned long long n =
      negative ? 0ULL - static_cast<unsigned long long>(v) : static_cast<unsigned long long>(v);
  const unsigned cents = static_cast<unsigned>(n % 100);
  n /= 100;
  if (cents != 0) {
    if (cents % 10 != 0) *--p = static_cast<char>('0' + cents % 10);
    *--p = static_cast<char>('0' + cents / 10);
    *--p = '.';
  }
  if (!(bare_point && n == 0 && cents != 0)) {
    do {
      *--p = static_cast<char>('0' + n % 10);
      n /= 10;
    } while (n > 0);
  }
  if (negative) *--p = '-';
  buf_.append(p, buf + sizeof buf);
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
