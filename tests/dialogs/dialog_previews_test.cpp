// The previews inside the real dialogs: drawn into each dialog's own view
// when its area gets its size and whenever one of its values changes,
// also while the dialog is hidden, and without a trace in the main view.

#include <gtest/gtest.h>

#include <vector>

#include "dialog_fixture.h"
#include "display/draw.h"
#include "display/pixels.h"
#include "display/preview.h"
#include "model/elem.h"
#include "model/presets.h"

namespace {

using DialogPreviews = DialogTest;

std::vector<uint32_t> pixels_of(int k) { return view_surface(k) ? view_pixels(k) : std::vector<uint32_t>(); }

TEST_F(DialogPreviews, FillingMakesTheWholePreviewItsColour) {
  open(pattern_dialog);
  ASSERT_TRUE(view_surface(PREVIEW_PATTERN)) << "the preview area has no store";
  pattern_preset.r = 1.0;
  pattern_preset.g = pattern_preset.b = 0.0;
  GtkWidget* type = dlg_widgets(PresetKind::PATTERN).of(&pattern_preset.type);
  gtk_combo_box_set_active(GTK_COMBO_BOX(type), PATTERN_FILLING);
  settle();
  cairo_surface_t* s = view_surface(PREVIEW_PATTERN);
  const int all = cairo_image_surface_get_width(s) * cairo_image_surface_get_height(s);
  EXPECT_EQ(all, 150 * 150);
  EXPECT_EQ(view_count(PREVIEW_PATTERN, 0xFF0000), all);
}

// Typing a value into each dialog with a preview redraws it at once.
TEST_F(DialogPreviews, TypedValuesRedrawThePreview) {
  struct Case {
    const PresetDialog& dialog;
    const void* var;
    const char* typed;
  };
  const Case cases[] = {
      {text_dialog, &text_preset.width, "2"},
      {dim_dialog, &dim_preset.figure_size, "5"},
      {pattern_dialog, &pattern_preset.angle1, "30"},
      {opening_dialog, &opening_preset.stop_depth, "0.3"},
      {window_dialog, &window_preset.stop_width, "0.2"},
      {door_dialog, &door_preset.stop_depth, "0.25"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dialog.open_key);
    open(c.dialog);
    const std::vector<uint32_t> before = pixels_of(c.dialog.preview);
    ASSERT_FALSE(before.empty());
    type_and_enter(dlg_widgets(c.dialog.kind).of(c.var), c.typed);
    EXPECT_NE(pixels_of(c.dialog.preview), before);
  }
  // A choice from a menu redraws too.
  const std::vector<uint32_t> before = pixels_of(PREVIEW_DOOR);
  gtk_combo_box_set_active(GTK_COMBO_BOX(dlg_widgets(PresetKind::DOOR).of(&door_preset.symbol_variant)), 4);
  settle();
  EXPECT_NE(pixels_of(PREVIEW_DOOR), before);
}

TEST_F(DialogPreviews, AHiddenDialogsPreviewFollowsItsPresets) {
  open(window_dialog);
  key("z_c_window", DLG_WINDOW);
  ASSERT_TRUE(dlg_slots[DLG_WINDOW]);
  const std::vector<uint32_t> before = pixels_of(PREVIEW_WINDOW);
  put_preset(PresetKind::WINDOW, "Deep", "5\n1\n1.5\n0.1\n0.3\n");
  bind_combo_fill_from_folder(mainwin_widgets.combo_window, "window", "Deep");
  settle();
  EXPECT_EQ(window_preset.symbol_variant, 5);
  EXPECT_NE(pixels_of(PREVIEW_WINDOW), before);
}

TEST_F(DialogPreviews, PreviewsLeaveNoTraceInTheMainView) {
  ASSERT_TRUE(view_surface(0)) << "the main view has no store";
  elem_new_line(0, 3, 0, -20, -20, 20, 20);
  elem_new_arc(0, 1, 0, 0, 0, 8, 8, 6.283185307179586, 0, 0);
  view_redraw();
  const std::vector<uint8_t> main_view = view_bytes(0);
  const double scale = view_scale, reference = drawing_scale;
  const ViewRec main_rec = views[0];

  struct Edit {
    const PresetDialog& dialog;
    const void* var;
  };
  const Edit edits[] = {
      {text_dialog, &text_preset.spacing},        {dim_dialog, &dim_preset.figure_space},
      {pattern_dialog, &pattern_preset.spacing1}, {opening_dialog, &opening_preset.stop_depth},
      {window_dialog, &window_preset.stop_depth}, {door_dialog, &door_preset.stop_depth}};
  for (const Edit& e : edits) {
    open(e.dialog);
    type_and_enter(dlg_widgets(e.dialog.kind).of(e.var), "0.3");
  }
  EXPECT_EQ(cur_view, 0);
  EXPECT_EQ(view_scale, scale);
  EXPECT_EQ(drawing_scale, reference);
  EXPECT_EQ(views[0].xmin, main_rec.xmin);
  EXPECT_EQ(views[0].ymax, main_rec.ymax);
  EXPECT_EQ(view_bytes(0), main_view);
  // Drawn again, the main view is what it was.
  view_redraw();
  EXPECT_EQ(view_bytes(0), main_view);
}

}  // namespace
