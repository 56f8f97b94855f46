// Store kinds: naming a kind text, and the value entries' text to value and back.

#include "shell/bind_kinds.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "model/settings.h"
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
      // Text without a number stores 0.
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

TEST_F(BindValueEntry, TheSizeVariablesAreKnown) {
  for (const void* v : {static_cast<const void*>(&text_size), static_cast<const void*>(&opening_width),
                        static_cast<const void*>(&window_width), static_cast<const void*>(&door_width),
                        static_cast<const void*>(&profile_size)})
    EXPECT_TRUE(bind_is_size_variable(v));
  EXPECT_FALSE(bind_is_size_variable(&drawing_scale));
  EXPECT_FALSE(bind_is_size_variable(nullptr));
}

}  // namespace
