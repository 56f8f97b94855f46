#pragma once

// Showing and reading values in the units the settings choose: lengths are
// metres inside the program (length_unit), angles radians (angle_unit), sizes
// on paper millimetres (size_unit) and paper measures centimetres
// (paper_unit). Texts carry the unit's suffix; a comma is read as a decimal
// point. Neither direction depends on the C locale.

#include <cstddef>
#include <string>
#include <string_view>

inline constexpr double UNITS_INCH = 0.0254;  // metres
inline constexpr double UNITS_FOOT = 0.3048;  // metres
inline constexpr double UNITS_PI = 3.141592653589793;

// value with a fixed number of decimals and "." whatever the C locale says,
// rounded as its decimal text reads (to nine decimals first, then half away
// from zero), so that equal sizes show equal figures. A negative value keeps
// its sign even when it rounds to zero, as printf's "%.*f" does.
std::string units_fixed(double value, int decimals);

// Each returns the text, or an empty text when the unit code is out of range.
std::string units_format_length(double metres);
std::string units_format_angle(double radians);
std::string units_format_size(double millimetres);
std::string units_format_paper(double centimetres);
// "%.2f", below 1 "%.3f", below 0.1 "%.4f" (so negative values get four decimals).
std::string units_format_number(double value);

// The same into a caller's buffer of size bytes, cut to fit and terminated;
// the buffer is left untouched when the unit code is out of range.
void units_format_length(double metres, char* buf, std::size_t size);
void units_format_angle(double radians, char* buf, std::size_t size);
void units_format_size(double millimetres, char* buf, std::size_t size);
void units_format_paper(double centimetres, char* buf, std::size_t size);
void units_format_number(double value, char* buf, std::size_t size);

// Parsing never fails: text that does not start with a number reads as 0 and
// whatever follows the number is ignored. Numbers out of the double range
// read as 0 as well.
double units_parse_length(std::string_view text);  // -> metres
double units_parse_angle(std::string_view text);   // -> radians
double units_parse_size(std::string_view text);    // -> millimetres
double units_parse_paper(std::string_view text);   // -> centimetres
double units_parse_number(std::string_view text);
// Leading white space and a sign, then a decimal number with "," or "."
// as the decimal point and an optional exponent.
double units_parse_decimal(std::string_view text);
// An optional whole number and a fraction: "4 1/2", "1/2", "4.5"; "-" and the
// inch mark count as blanks. With a blank but no "/" only the part after the
// blank counts ("3 5" reads 5).
double units_parse_fraction(std::string_view text);
// Up to three lengths separated by ";" (x;y;z); missing parts are 0.
void units_parse_xyz(std::string_view text, double* x, double* y, double* z);
