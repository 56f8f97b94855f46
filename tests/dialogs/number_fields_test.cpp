// Every number field of every dialog, typed into as a person does: what no
// field may take is refused with a message and leaves the variable, what
// lies inside the field's range is stored, and spin buttons hold their
// limits.

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "dialog_fixture.h"
#include "shell/bind_kinds.h"

namespace {

// Every dialog that opens with a key of its own.
const char* const dialog_keys[] = {
    "z_d_wall",       "z_d_room",        "z_d_text",       "z_d_dim",        "z_d_opening",     "z_d_window",
    "z_d_door",       "z_d_pattern",     "z_d_light",      "z_d_mat",        "z_d_settings",    "z_d_aspect",
    "z_d_printsetup", "z_d_plotsetup",   "z_d_printscale", "z_d_snap",       "z_d_filter",      "z_d_scale",
    "z_d_textsize",   "z_d_openingsize", "z_d_doorsize",   "z_d_windowsize", "z_d_profilesize", "z_d_camera",
    "z_d_hlr",        "z_d_pov",         "z_d_ray",        "z_d_dxf_in",     "z_d_dxf_out",     "z_d_symbol",
};

class NumberFields : public DialogTest {
 protected:
  // The widgets of type in every window but the main one.
  std::vector<GtkWidget*> in_dialogs(GType type) const {
    std::vector<GtkWidget*> out;
    GList* list = gtk_window_list_toplevels();
    for (GList* l = list; l; l = l->next)
      if (GTK_WIDGET(l->data) != main) collect(GTK_WIDGET(l->data), type, out);
    g_list_free(list);
    return out;
  }
};

TEST_F(NumberFields, EveryValueEntryRefusesWhatNoFieldTakesAndStoresWhatItsRangeHolds) {
  std::set<GtkWidget*> seen;
  int entries = 0;
  for (const char* key : dialog_keys) {
    cmd_post_key(nullptr, key);
    settle();
    for (GtkWidget* e : in_dialogs(GTK_TYPE_ENTRY)) {
      const char* kind_text = bind_value_entry_kind(e);
      if (!kind_text || !seen.insert(e).second) continue;
      ++entries;
      const BindKind kind = bind_kind_parse(kind_text).kind;
      auto* var = static_cast<double*>(bind_variable(e));
      ASSERT_NE(var, nullptr);
      const double kept = *var;
      const std::string shown = text_of(e);
      for (const char* typed : {"abc", "", "1e9", "-1e9", "1e999", "nan"}) {
        SCOPED_TRACE(std::string(key) + " " + kind_text + " typed \"" + typed + "\"");
        ui().calls.clear();
        type_and_enter(e, typed);
        EXPECT_EQ(*var, kept);
        EXPECT_EQ(text_of(e), shown);
        const auto errors = ui().calls_starting("error");
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_EQ(errors[0].rfind("error Enter a number ", 0), 0u) << errors[0];
      }
      // The middle of the range is stored (as closely as the unit shows it).
      const ValueRange r = bind_value_range(kind, var);
      const double middle = r.lo / 2 + r.hi / 2;
      SCOPED_TRACE(std::string(key) + " " + kind_text + " middle " + std::to_string(middle));
      ui().calls.clear();
      type_and_enter(e, bind_value_format(kind, middle).c_str());
      EXPECT_TRUE(ui().calls_starting("error").empty());
      EXPECT_NEAR(*var, middle, std::fabs(middle) * 1e-3 + 1e-2);
      *var = kept;
    }
  }
  // The dialogs hold this many value entries; a new one joins the test by itself.
  EXPECT_GE(entries, 60);
}

TEST_F(NumberFields, SpinButtonsHoldTheirLimitsWhateverIsTyped) {
  int spins = 0, bound = 0;
  for (const char* key : dialog_keys) {
    cmd_post_key(nullptr, key);
    settle();
    for (GtkWidget* w : in_dialogs(GTK_TYPE_SPIN_BUTTON)) {
      ++spins;
      GtkSpinButton* spin = GTK_SPIN_BUTTON(w);
      const double initial = gtk_spin_button_get_value(spin);
      double lo = 0, hi = 0;
      gtk_spin_button_get_range(spin, &lo, &hi);
      for (const char* typed : {"1e9", "-1e9", "abc", ""}) {
        SCOPED_TRACE(std::string(key) + " typed \"" + typed + "\"");
        gtk_entry_set_text(GTK_ENTRY(w), typed);
        gtk_spin_button_update(spin);
        settle();
        const double v = gtk_spin_button_get_value(spin);
        EXPECT_GE(v, lo);
        EXPECT_LE(v, hi);
      }
      // Text without a number is refused with the range; the button and
      // the number variable it is bound to keep their value.
      // (The toolkit's own spin buttons, as in a colour chooser, bind none.)
      void* var = bind_variable(w);
      if (!var) continue;
      ++bound;
      // The variable as the button stores it: a double, or an int.
      const bool is_double = g_object_get_data(G_OBJECT(w), "kv-double") != nullptr;
      auto value_of = [var, is_double] {
        return is_double ? *static_cast<double*>(var) : *static_cast<int*>(var);
      };
      const double middle = lo / 2 + hi / 2;  // neither limit, nor 0 for most
      gtk_spin_button_set_value(spin, is_double ? middle : std::round(middle));
      settle();
      const double kept = value_of();
      const double shown = gtk_spin_button_get_value(spin);
      const std::string shown_text = text_of(w);
      for (const char* typed : {"abc", "", "-", "1e999"}) {
        SCOPED_TRACE(std::string(key) + " typed \"" + typed + "\"");
        ui().calls.clear();
        gtk_entry_set_text(GTK_ENTRY(w), typed);
        gtk_widget_activate(w);
        settle();
        EXPECT_EQ(gtk_spin_button_get_value(spin), shown);
        EXPECT_EQ(text_of(w), shown_text);
        EXPECT_EQ(value_of(), kept);
        const auto errors = ui().calls_starting("error");
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_EQ(errors[0].rfind("error Enter a number from ", 0), 0u) << errors[0];
      }
      // The tests after this one find the settings as they were.
      gtk_spin_button_set_value(spin, initial);
      settle();
    }
  }
  EXPECT_GE(spins, 5);
  // Snap size, camera and lamp angles, plot resolution, pen and line type
  // numbers, line type sections, backup interval.
  EXPECT_GE(bound, 8);
}

}  // namespace
