// Store kinds: naming a kind text, and the value entries' text to value and back.

#include "shell/bind_kinds.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "model/presets.h"
#include "model/settings.h"
#include "model/settings_edit.h"
#include "model/units.h"
#include "support/model_fixture.h"

namespace {

TEST(BindKinds, NamesEveryKindAndNothingElse) {
  struct Case {
    const char* text;
    BindKind kind;
    int number;
  };
  const Case cases[] = {
      {"checkbutton", BindKind::CHECK, 0},
      {"togglebutton", BindKind::TOGGLE, 0},
      {"spinbutton_long", BindKind::SPIN_LONG, 0},
      {"spinbutton_double", BindKind::SPIN_DOUBLE, 0},
      {"slider", BindKind::SLIDER, 0},
      {"combo", BindKind::COMBO, 0},
      {"entry_changed", BindKind::ENTRY_CHANGED, 0},
      {"entry", BindKind::ENTRY, 0},
      {"ventry", BindKind::VENTRY, 0},
      {"mentry", BindKind::MENTRY, 0},
      {"wentry", BindKind::WENTRY, 0},
      {"pentry", BindKind::PENTRY, 0},
      {"fentry", BindKind::FENTRY, 0},
      {"r0", BindKind::RADIO, 0},
      {"r9", BindKind::RADIO, 9},
      {"z0", BindKind::ITEM, 0},
      {"z15", BindKind::ITEM, 15},
      {"z123", BindKind::ITEM, 123},
      // Not kinds: compared whole, digits only, one digit for radios.
      {"r10", BindKind::UNKNOWN, 0},
      {"r", BindKind::UNKNOWN, 0},
      {"rx", BindKind::UNKNOWN, 0},
      {"z", BindKind::UNKNOWN, 0},
      {"z1a", BindKind::UNKNOWN, 0},
      {"z-1", BindKind::UNKNOWN, 0},
      {"z12345678901", BindKind::UNKNOWN, 0},
      {"Checkbutton", BindKind::UNKNOWN, 0},
      {"entry ", BindKind::UNKNOWN, 0},
      {"", BindKind::UNKNOWN, 0},
  };
  for (const Case& c : cases) {
    BindKindInfo k = bind_kind_parse(c.text);
    EXPECT_EQ(k.kind, c.kind) << '"' << c.text << '"';
    EXPECT_EQ(k.number, c.number) << '"' << c.text << '"';
  }
  EXPECT_EQ(bind_kind_parse(nullptr).kind, BindKind::UNKNOWN);
  EXPECT_TRUE(bind_kind_is_value_entry(BindKind::PENTRY));
  EXPECT_FALSE(bind_kind_is_value_entry(BindKind::ENTRY));
}

class BindValueEntry : public ModelTest {};

TEST_F(BindValueEntry, TypedTextIsReadInTheUnitAndShownAgain) {
  struct Case {
    BindKind kind;
    int unit;  // the unit setting of the kind
    const char* typed;
    double stored;
    const char* shown;
  };
  const Case cases[] = {
      {BindKind::FENTRY, 0, "1,5", 1.5, "1.50"},
      {BindKind::FENTRY, 0, "0.25", 0.25, "0.250"},
      {BindKind::FENTRY, 0, "0.05", 0.05, "0.0500"},
      {BindKind::VENTRY, 1, "250", 2.5, "250.000cm"},
      {BindKind::VENTRY, 0, "1,25", 1.25, "1.2500m"},
      {BindKind::VENTRY, 2, "12", 0.012, "12.00mm"},
      {BindKind::MENTRY, 0, "3.5", 3.5, "3.50mm"},
      {BindKind::MENTRY, 1, "0,5", 5.0, "0.50cm"},
      {BindKind::WENTRY, 1, "90", UNITS_PI / 2, "90.000"},
      {BindKind::WENTRY, 0, "1", 1.0, "1.000r"},
      {BindKind::PENTRY, 0, "21", 21.0, "21.00cm"},
      // Text without a number reads as 0 (the store refuses it, below).
      {BindKind::VENTRY, 1, "abc", 0.0, "0.000cm"},
      {BindKind::FENTRY, 0, "", 0.0, "0.0000"},
  };
  for (const Case& c : cases) {
    length_unit = size_unit = angle_unit = paper_unit = c.unit;
    double v = bind_value_parse(c.kind, c.typed);
    EXPECT_NEAR(v, c.stored, 1e-12) << c.typed;
    EXPECT_EQ(bind_value_format(c.kind, v), c.shown) << c.typed;
  }
}

TEST_F(BindValueEntry, OnlyTheFirstFortyCharactersCount) {
  std::string typed(40, '0');
  EXPECT_EQ(bind_value_parse(BindKind::FENTRY, typed + "7"), 0.0);
  EXPECT_EQ(bind_value_parse(BindKind::FENTRY, std::string(39, ' ') + "7"), 7.0);
}

TEST_F(BindValueEntry, ShownValuesReadBackInEveryUnit) {
  struct Range {
    BindKind kind;
    int32_t* unit;
    int units;
    double value;
    double tolerance;  // what the shown decimals keep
  };
  const Range ranges[] = {
      {BindKind::VENTRY, &length_unit, 6, 2.4384, 2e-3},  // feet and inches round to 1/16"
      {BindKind::MENTRY, &size_unit, 5, 3.5, 0.2},        // two decimals of picas and inches
      {BindKind::WENTRY, &angle_unit, 3, 0.7, 1e-3},     {BindKind::PENTRY, &paper_unit, 2, 29.7, 2e-2},
      {BindKind::FENTRY, &paper_unit, 1, 1.234, 5e-3},
  };
  for (const Range& r : ranges) {
    for (int u = 0; u < r.units; ++u) {
      *r.unit = u;
      std::string shown = bind_value_format(r.kind, r.value);
      ASSERT_FALSE(shown.empty());
      EXPECT_NEAR(bind_value_parse(r.kind, shown), r.value, r.tolerance) << shown << " unit " << u;
      EXPECT_EQ(bind_value_format(r.kind, bind_value_parse(r.kind, shown)), shown) << "unit " << u;
    }
  }
  EXPECT_EQ(bind_value_format(BindKind::ENTRY, 1.0), "");
  EXPECT_EQ(bind_value_parse(BindKind::SLIDER, "5"), 0.0);
}

// What a person types into the fields the issue names, against the ranges
// the fields hold: a refused text leaves the variable and names the range in
// the entry's own unit.
TEST_F(BindValueEntry, TextOutsideTheFieldsRangeIsRefusedWithTheRange) {
  struct Case {
    BindKind kind;
    const void* var;
    int unit;  // of the kind
    const char* typed;
    bool stored;
    double value;         // when stored
    const char* message;  // when refused
  };
  const char* const scale = "Enter a number above 0 and at most 10000000.";
  const char* const pen_mm = "Enter a number from 0.00mm to 10.00mm.";
  const char* const dash_mm = "Enter a number from 0.00mm to 100.00mm.";
  const char* const paper_cm = "Enter a number from 1.00cm to 500.00cm.";
  const Case cases[] = {
      {BindKind::FENTRY, &print_settings.scale, 0, "abc", false, 0, scale},
      {BindKind::FENTRY, &print_settings.scale, 0, "", false, 0, scale},
      {BindKind::FENTRY, &print_settings.scale, 0, "-", false, 0, scale},
      {BindKind::FENTRY, &print_settings.scale, 0, "1e999", false, 0, scale},
      {BindKind::FENTRY, &print_settings.scale, 0, "nan", false, 0, scale},
      {BindKind::FENTRY, &print_settings.scale, 0, "0", false, 0, scale},
      {BindKind::FENTRY, &print_settings.scale, 0, "250", true, 250, nullptr},
      {BindKind::FENTRY, &drawing_scale, 0, "-50", false, 0, scale},
      {BindKind::FENTRY, &drawing_scale, 0, "1e9", false, 0, scale},
      {BindKind::FENTRY, &drawing_scale, 0, " 1,5e2", true, 150, nullptr},
      {BindKind::FENTRY, &plot_settings.scale, 0, "0,0", false, 0, scale},
      {BindKind::MENTRY, &settings_pen_edit.width, 0, "-1", false, 0, pen_mm},
      {BindKind::MENTRY, &settings_pen_edit.width, 0, "1e9", false, 0, pen_mm},
      {BindKind::MENTRY, &settings_pen_edit.width, 0, "0", true, 0, nullptr},
      {BindKind::MENTRY, &settings_pen_edit.width, 0, "0.35mm", true, 0.35, nullptr},
      // What shows as the limit is the limit.
      {BindKind::MENTRY, &settings_pen_edit.width, 0, "10.004", true, 10, nullptr},
      {BindKind::MENTRY, &settings_pen_edit.width, 2, "1", false, 0, "Enter a number from 0.00\" to 0.39\"."},
      {BindKind::MENTRY, &settings_linetype_edit.line[0], 0, "-5", false, 0, dash_mm},
      {BindKind::MENTRY, &settings_linetype_edit.space[2], 0, "101", false, 0, dash_mm},
      {BindKind::MENTRY, &settings_linetype_edit.space[2], 0, "2.5", true, 2.5, nullptr},
      {BindKind::PENTRY, &print_settings.paper_width, 0, "-10", false, 0, paper_cm},
      {BindKind::PENTRY, &plot_settings.paper_height, 0, "0", false, 0, paper_cm},
      {BindKind::PENTRY, &print_settings.margin_left, 0, "-0.5", false, 0,
       "Enter a number from 0.00cm to 100.00cm."},
      {BindKind::MENTRY, &text_size, 0, "0", false, 0, "Enter a number above 0.00mm and at most 1000.00mm."},
      {BindKind::MENTRY, &text_size, 0, "-2", false, 0, "Enter a number above 0.00mm and at most 1000.00mm."},
      {BindKind::VENTRY, &pattern_preset.spacing1, 2, "0", false, 0,
       "Enter a number from 1.00mm to 1000000.00mm."},
      // A variable without a range of its own takes its kind's.
      {BindKind::WENTRY, nullptr, 1, "400", false, 0, "Enter a number from -360.000 to 360.000."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    length_unit = size_unit = angle_unit = paper_unit = c.unit;
    const BindValueStore s = bind_value_check(c.kind, c.var, 7.0, c.typed);
    EXPECT_EQ(s.store, c.stored);
    if (c.stored) {
      EXPECT_NEAR(s.value, c.value, 1e-12);
      EXPECT_EQ(s.refused, "");
    } else {
      EXPECT_EQ(s.refused, c.message);
    }
  }
}

TEST_F(BindValueEntry, TheShownValueLeftAsItIsStoresNothingEvenOutOfRange) {
  // A value that came from elsewhere stays until the person types another:
  // leaving its entry neither rounds it to the shown decimals nor refuses it.
  for (double v : {0.123456, -4.0}) {
    const BindValueStore s = bind_value_check(BindKind::MENTRY, &settings_pen_edit.width, v,
                                              bind_value_format(BindKind::MENTRY, v));
    EXPECT_FALSE(s.store);
    EXPECT_EQ(s.refused, "");
  }
}

// A spin button refuses only text that holds no number; the range it names
// is the button's own, with the decimals its limits need.
TEST_F(BindValueEntry, ASpinButtonRefusesTextWithoutANumber) {
  struct Case {
    const char* typed;
    double lo, hi;
    const char* message;  // empty: the toolkit reads it
  };
  const Case cases[] = {
      {"abc", 2, 12, "Enter a number from 2 to 12."},
      {"", 0, 7, "Enter a number from 0 to 7."},
      {"  ", 1, 60, "Enter a number from 1 to 60."},
      {"-", 1, 180, "Enter a number from 1 to 180."},
      {"1e999", 1, 120, "Enter a number from 1 to 120."},
      {"nan", 0, 3, "Enter a number from 0 to 3."},
      {".", 0, 3, "Enter a number from 0 to 3."},
      {"x5", 0.00001f, 0.01f, "Enter a number from 0.00001 to 0.01."},
      {"5", 0, 3, ""},
      {"-1e9", 0, 3, ""},
      {" +2,5", 0, 3, ""},
      {".5", 0, 3, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("\"") + c.typed + "\"");
    EXPECT_EQ(bind_spin_refusal(c.typed, c.lo, c.hi), c.message);
  }
}

TEST_F(BindValueEntry, TheSizeVariablesAreKnown) {
  for (const void* v : {static_cast<const void*>(&text_size), static_cast<const void*>(&opening_width),
                        static_cast<const void*>(&window_width), static_cast<const void*>(&door_width),
                        static_cast<const void*>(&profile_size)})
    EXPECT_TRUE(bind_is_size_variable(v));
  EXPECT_FALSE(bind_is_size_variable(&drawing_scale));
  EXPECT_FALSE(bind_is_size_variable(nullptr));
}

}  // namespace
