#include "model/units.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "model/settings.h"

namespace {

constexpr char INCH_MARK = '"';

std::string fixed(double v, int decimals) { return units_fixed(v, decimals); }

std::string fixed_with(double v, int decimals, std::string_view suffix) {
  std::string s = fixed(v, decimals);
  s += suffix;
  return s;
}

std::string feet_and_inches(double m) {
  const std::string sign = m < 0.0 ? "-" : "";
  const double a = std::fabs(m);
  if (!std::isfinite(a)) return sign + fixed(a, 0) + INCH_MARK;
  const double in_feet = a / UNITS_FOOT;
  double feet = std::trunc(in_feet);
  const double in_inches = (in_feet - feet) * 12.0;
  int inches = static_cast<int>(std::trunc(in_inches));
  int num = static_cast<int>(std::trunc((in_inches - inches) * 64.0 + 0.5));
  int den = 64;
  if (num != 0) {
    while (num % 2 == 0) {
      num /= 2;
      den /= 2;
    }
    if (num == 1 && den == 1) {  // 64/64: a whole inch
      ++inches;
      num = den = 0;
    }
  }
  if (inches == 12) {
    feet += 1.0;
    inches = 0;
  }
  const std::string f = fixed(feet, 0);
  const std::string i = std::to_string(inches);
  const std::string frac = std::to_string(num) + "/" + std::to_string(den);
  // Later rules replace earlier ones when their condition holds.
  std::string body = f + "'-" + i + " " + frac;
  if (feet == 0.0) body = i + " " + frac;
  if (num == 0) body = f + "'-" + i;
  if (inches == 0) body = f + "'-" + frac;
  if (inches == 0 && num == 0) body = f + "'-0";
  if (feet == 0.0 && inches == 0) body = frac;
  if (feet == 0.0 && num == 0) body = i;
  return sign + body + INCH_MARK;
}

void copy_out(const std::string& s, char* buf, std::size_t size) {
  if (s.empty() || !buf || size == 0) return;
  const std::size_t n = s.size() < size - 1 ? s.size() : size - 1;
  std::memcpy(buf, s.data(), n);
  buf[n] = '\0';
}

bool is_space(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool is_blank(char c) { return c == ' ' || c == '\t'; }

std::string_view trim_blanks(std::string_view s) {
  while (!s.empty() && is_blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && is_blank(s.back())) s.remove_suffix(1);
  return s;
}

}  // namespace

std::string units_fixed(double v, int decimals) {
  if (decimals < 0) decimals = 0;
  // The binary value first goes to nine decimals, so that 4.1825 (stored as
  // 4.18249999...) rounds as the 4.1825 a user typed or a sum of typed sizes
  // means; then the decimal digits are rounded half away from zero.
  constexpr int SNAP = 9;
  const int digits = decimals > SNAP ? decimals : SNAP;
  char buf[512];
  const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(v), std::chars_format::fixed, digits);
  if (res.ec != std::errc()) return std::string();
  std::string s(buf, res.ptr);
  if (!std::isfinite(v)) return v < 0 ? "-" + s : s;
  const std::size_t point = s.find('.');
  if (digits > decimals) {
    const bool up = s[point + 1 + decimals] >= '5';
    s.erase(decimals == 0 ? point : point + 1 + decimals);
    if (up) {
      bool carry = true;
      for (std::size_t i = s.size(); carry && i > 0; --i) {
        char& c = s[i - 1];
        if (c == '.') continue;
        carry = c == '9';
        c = carry ? '0' : static_cast<char>(c + 1);
      }
      if (carry) s.insert(0, "1");  // 9.99 went up to 10.00
    }
  }
  if (std::signbit(v)) s.insert(0, "-");
  return s;
}

std::string units_format_length(double m) {
  switch (length_unit) {
    case 0:
      return fixed_with(m, 4, "m");
    case 1:
      return fixed_with(m * 100.0, 3, "cm");
    case 2:
      return fixed_with(m * 1000.0, 2, "mm");
    case 3:
      return fixed_with(m / UNITS_INCH, 3, "\"");
    case 4:
      return fixed_with(m / UNITS_FOOT, 4, "'");
    case 5:
      return feet_and_inches(m);
    default:
      return std::string();
  }
}

std::string units_format_angle(double r) {
  switch (angle_unit) {
    case 0:
      return fixed_with(r, 3, "r");
    case 1:
      return fixed(r * 180.0 / UNITS_PI, 3);
    case 2:
      return fixed_with(r * 200.0 / UNITS_PI, 3, "g");
    default:
      return std::string();
  }
}

std::string units_format_size(double mm) {
  switch (size_unit) {
    case 0:
      return fixed_with(mm, 2, "mm");
    case 1:
      return fixed_with(mm / 10.0, 2, "cm");
    case 2:
      return fixed_with(mm / 25.4, 2, "\"");
    case 3:
      return fixed_with(mm / 25.4 * 6.0, 2, "pi");
    case 4:
      return fixed_with(mm / 25.4 * 72.0, 2, "pt");
    default:
      return std::string();
  }
}

std::string units_format_paper(double cm) {
  switch (paper_unit) {
    case 0:
      return fixed_with(cm, 2, "cm");
    case 1:
      return fixed_with(cm / 2.54, 2, "\"");
    default:
      return std::string();
  }
}

std::string units_format_number(double v) {
  int decimals = 2;
  if (v < 1.0) decimals = 3;
  if (v < 0.1) decimals = 4;
  return fixed(v, decimals);
}

void units_format_length(double m, char* buf, std::size_t size) {
  copy_out(units_format_length(m), buf, size);
}
void units_format_angle(double r, char* buf, std::size_t size) { copy_out(units_format_angle(r), buf, size); }
void units_format_size(double mm, char* buf, std::size_t size) { copy_out(units_format_size(mm), buf, size); }
void units_format_paper(double cm, char* buf, std::size_t size) {
  copy_out(units_format_paper(cm), buf, size);
}
void units_format_number(double v, char* buf, std::size_t size) {
  copy_out(units_format_number(v), buf, size);
}

double units_parse_decimal(std::string_view text) {
  std::string s(text);
  for (char& c : s) {
    if (c == ',') c = '.';
  }
  const char* p = s.data();
  const char* end = p + s.size();
  while (p < end && is_space(*p)) ++p;
  bool negative = false;
  if (p < end && (*p == '+' || *p == '-')) negative = *p++ == '-';
  if (p == end || *p == '+' || *p == '-') return 0.0;
  double v = 0.0;
  const auto res = std::from_chars(p, end, v, std::chars_format::general);
  if (res.ec != std::errc() || !std::isfinite(v)) return 0.0;
  return negative ? -v : v;
}

double units_parse_number(std::string_view text) { return units_parse_decimal(text); }

double units_parse_fraction(std::string_view text) {
  std::string s(text);
  for (char& c : s) {
    if (c == ',') c = '.';
  }
  for (char& c : s) {
    if (c == '-' || c == INCH_MARK) c = ' ';
  }
  const std::string_view t = trim_blanks(s);
  double whole = 0.0;
  std::string_view rest = t;
  for (std::size_t i = 0; i < t.size(); ++i) {
    if (is_blank(t[i])) {
      whole = units_parse_decimal(t.substr(0, i));
      rest = t.substr(i + 1);
      break;
    }
  }
  const std::size_t slash = rest.find('/');
  if (slash == std::string_view::npos) return units_parse_decimal(rest);
  const double num = units_parse_decimal(rest.substr(0, slash));
  const double den = units_parse_decimal(rest.substr(slash + 1));
  if (den == 0.0) return whole;
  const double v = whole + num / den;
  return std::isfinite(v) ? v : whole;
}

double units_parse_length(std::string_view text) {
  switch (length_unit) {
    case 0:
      return units_parse_decimal(text);
    case 1:
      return units_parse_decimal(text) / 100.0;
    case 2:
      return units_parse_decimal(text) / 1000.0;
    case 3:
      return units_parse_decimal(text) * UNITS_INCH;
    case 4:
      return units_parse_decimal(text) * UNITS_FOOT;
    case 5:
      break;
    default:
      return units_parse_decimal(text);
  }
  std::string_view t = text;
  while (!t.empty() && is_blank(t.front())) t.remove_prefix(1);
  double sign = 1.0;
  if (!t.empty() && t.front() == '-') {
    sign = -1.0;
    t.remove_prefix(1);
    while (!t.empty() && is_blank(t.front())) t.remove_prefix(1);
  }
  double feet = 0.0;
  const std::size_t mark = t.find('\'');
  if (mark != std::string_view::npos) {
    feet = units_parse_fraction(t.substr(0, mark)) * UNITS_FOOT;
    t = t.substr(mark + 1);
  }
  const double inches = units_parse_fraction(t) * UNITS_INCH;
  return sign * (feet + inches);
}

double units_parse_angle(std::string_view text) {
  const double n = units_parse_decimal(text);
  switch (angle_unit) {
    case 1:
      return n / 180.0 * UNITS_PI;
    case 2:
      return n / 200.0 * UNITS_PI;
    default:
      return n;
  }
}

double units_parse_size(std::string_view text) {
  const double n = units_parse_decimal(text);
  switch (size_unit) {
    case 1:
      return n * 10.0;
    case 2:
      return n * 25.4;
    case 3:
      return n * 25.4 / 6.0;
    case 4:
      return n * 25.4 / 72.0;
    default:
      return n;
  }
}

double units_parse_paper(std::string_view text) {
  const double n = units_parse_decimal(text);
  return paper_unit == 1 ? n * 2.54 : n;
}

void units_parse_xyz(std::string_view text, double* x, double* y, double* z) {
  *x = *y = *z = 0.0;
  const std::size_t first = text.find(';');
  if (first == std::string_view::npos) {
    *x = units_parse_length(text);
    return;
  }
  *x = units_parse_length(text.substr(0, first));
  std::string_view rest = text.substr(first + 1);
  const std::size_t second = rest.find(';');
  if (second != std::string_view::npos) {
    *z = units_parse_length(rest.substr(second + 1));
    rest = rest.substr(0, second);
  }
  *y = units_parse_length(rest);
}
