#pragma once

// The store kinds of bound widgets as plain data: which kind a kind text
// names, and how the value entries turn text into a value and back. The
// toolkit side (shell/bind.h) only reads the widget and writes the variable.

#include <string>
#include <string_view>

#include "model/value_range.h"

enum class BindKind {
  UNKNOWN,
  CHECK,          // "checkbutton": int 0/1
  TOGGLE,         // "togglebutton": int 0/1
  RADIO,          // "r0".."r9": the digit, only when the button became active
  ITEM,           // "z<n>": the option item's index
  SPIN_LONG,      // "spinbutton_long": int, rounded
  SPIN_DOUBLE,    // "spinbutton_double": double
  SLIDER,         // "slider": double
  COMBO,          // "combo": text of a combo's entry
  ENTRY_CHANGED,  // "entry_changed": text, on every change
  ENTRY,          // "entry": text, on Enter and focus-out; shown again
  VENTRY,         // length, metres in the length unit
  MENTRY,         // size on paper, millimetres in the size unit
  WENTRY,         // angle, radians in the angle unit
  PENTRY,         // paper measure, centimetres in the paper unit
  FENTRY,         // plain number, decimal comma accepted
};

struct BindKindInfo {
  BindKind kind = BindKind::UNKNOWN;
  int number = 0;  // the digit of a radio, the index of an item
};

// Names a kind text; texts are compared whole. "z" must be followed by
// decimal digits only (at most 9) and "r" by one digit.
BindKindInfo bind_kind_parse(const char* kind);

// Whether a kind is one of the five value entries.
bool bind_kind_is_value_entry(BindKind kind);

// The longest text a value entry takes, in characters.
inline constexpr int BIND_VALUE_ENTRY_MAX = 40;

// Reads a value entry's text (ISO-8859-1) in its kind's unit. Text without a
// number reads 0. Only the first BIND_VALUE_ENTRY_MAX bytes count.
double bind_value_parse(BindKind kind, std::string_view text);
// Formats a value in its kind's unit; "" for a kind that is no value entry.
std::string bind_value_format(BindKind kind, double value);

// The values a value entry of kind bound to var takes: the variable's own
// range (model/value_range.h), else a wide one for what the kind measures.
ValueRange bind_value_range(BindKind kind, const void* var);

// What Enter or leaving a value entry does with its text.
struct BindValueStore {
  bool store = false;  // store value into the variable
  double value = 0.0;
  std::string refused;  // the translated message when the text is refused
};
// Reads text in kind's unit for the variable var holding current. Text
// without a number, and a number outside the variable's range, are
// refused with a message that names the range in the entry's unit; the
// variable keeps its value. The unchanged text of the current value is
// left alone, so that leaving an entry stores nothing.
BindValueStore bind_value_check(BindKind kind, const void* var, double current, std::string_view text);

// What Enter or leaving a spin button over lo..hi does with its text: the
// toolkit reads text without a number as 0 and stores it, or the lower
// limit, without a word. Such text is refused: the translated message
// naming the button's range, empty for text that starts with a number
// (which the spin button reads and holds within its limits).
std::string bind_spin_refusal(std::string_view text, double lo, double hi);

// Whether var is one of the sizes the tool pages show on their size buttons
// (text size, the three fixed opening widths, the profile size); storing one
// refreshes those buttons.
bool bind_is_size_variable(const void* var);
