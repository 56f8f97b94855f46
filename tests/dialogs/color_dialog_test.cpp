// The Color dialog opened on the pattern filling and on the POV-Ray
// background: Close drops a choice, Apply writes it and redraws the
// pattern preview, and one window serves both colours.

#include <gtest/gtest.h>

#include "dialog_fixture.h"
#include "dialogs/dlg_colorsel.h"
#include "display/pixels.h"
#include "display/preview.h"
#include "model/presets.h"

namespace {

using ColorDialog = DialogTest;

G_GNUC_BEGIN_IGNORE_DEPRECATIONS
void pick(double r, double g, double b) {
  const GdkRGBA c{r, g, b, 1.0};
  gtk_color_selection_set_current_rgba(GTK_COLOR_SELECTION(dlg_colorsel_widgets().selection), &c);
}
GdkRGBA shown() {
  GdkRGBA c{};
  gtk_color_selection_get_current_rgba(GTK_COLOR_SELECTION(dlg_colorsel_widgets().selection), &c);
  return c;
}
G_GNUC_END_IGNORE_DEPRECATIONS

void expect_rgb(double r, double g, double b, double er, double eg, double eb) {
  EXPECT_NEAR(r, er, 1e-3);
  EXPECT_NEAR(g, eg, 1e-3);
  EXPECT_NEAR(b, eb, 1e-3);
}

TEST_F(ColorDialog, CloseDropsTheChoiceAndApplyWritesIt) {
  pattern_preset.r = pattern_preset.g = 0.0;
  pattern_preset.b = 1.0;
  GtkWidget* window = key("z_d_colorsel_pattern", DLG_COLORSEL);
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(gtk_widget_get_visible(window));
  pick(1, 0, 0);
  click(dlg_colorsel_widgets().close);
  EXPECT_FALSE(gtk_widget_get_visible(window));
  expect_rgb(pattern_preset.r, pattern_preset.g, pattern_preset.b, 0, 0, 1);
  const GdkRGBA reset = shown();
  expect_rgb(reset.red, reset.green, reset.blue, 0, 0, 1);

  EXPECT_EQ(key("z_d_colorsel_pattern", DLG_COLORSEL), window);
  EXPECT_TRUE(gtk_widget_get_visible(window));
  pick(1, 0, 0);
  click(dlg_colorsel_widgets().apply);
  EXPECT_FALSE(gtk_widget_get_visible(window));
  EXPECT_EQ(pattern_preset.r, 1.0);
  EXPECT_EQ(pattern_preset.g, 0.0);
  EXPECT_EQ(pattern_preset.b, 0.0);
  EXPECT_TRUE(stdout_text().find("no handler") == std::string::npos);
}

TEST_F(ColorDialog, ApplyRedrawsTheFillingPreview) {
  pattern_preset.type = PATTERN_FILLING;
  pattern_preset.r = pattern_preset.g = 0.0;
  pattern_preset.b = 1.0;
  open(pattern_dialog);
  ASSERT_TRUE(view_surface(PREVIEW_PATTERN));
  const int all = 150 * 150;
  EXPECT_EQ(view_count(PREVIEW_PATTERN, 0x0000FF), all);
  // The pattern dialog's own "Color" button opens it.
  GtkWidget* filling = dlg_widgets(PresetKind::PATTERN).groups[DLG_GROUP_FILLING];
  ASSERT_NE(filling, nullptr);
  std::vector<GtkWidget*> buttons;
  gtk_container_forall(
      GTK_CONTAINER(gtk_bin_get_child(GTK_BIN(filling))),
      [](GtkWidget* w, gpointer data) { static_cast<std::vector<GtkWidget*>*>(data)->push_back(w); },
      &buttons);
  ASSERT_EQ(buttons.size(), 1u);
  click(buttons[0]);
  ASSERT_NE(dlg_slots[DLG_COLORSEL], nullptr);
  pick(1, 0, 0);
  click(dlg_colorsel_widgets().apply);
  EXPECT_EQ(view_count(PREVIEW_PATTERN, 0xFF0000), all);
}

TEST_F(ColorDialog, OneWindowRetargetedToThePovBackground) {
  pattern_preset.r = 1.0;
  pattern_preset.g = pattern_preset.b = 0.0;
  pov_settings.background = {0.0, 0.5, 1.0};
  GtkWidget* window = key("z_d_colorsel_pattern", DLG_COLORSEL);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(key("z_d_colorsel_povbg", DLG_COLORSEL), window);
  const GdkRGBA c = shown();
  expect_rgb(c.red, c.green, c.blue, 0.0, 0.5, 1.0);
  pick(0.25, 0.25, 0.25);
  click(dlg_colorsel_widgets().apply);
  expect_rgb(pov_settings.background.r, pov_settings.background.g, pov_settings.background.b, 0.25, 0.25,
             0.25);
  EXPECT_EQ(pattern_preset.r, 1.0);
  EXPECT_EQ(pattern_preset.g, 0.0);
}

}  // namespace
