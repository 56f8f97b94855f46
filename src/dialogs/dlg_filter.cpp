#include "dialogs/dlg_small.h"
#include "display/select.h"
#include "model/nls.h"
#include "model/settings.h"
#include "shell/gtk/bind.h"
#include "shell/gtk/gui_build.h"
#include "shell/gtk/penline_selector.h"

GtkWidget* dlg_filter_create() {
  GtkWidget* box = nullptr;
  GtkWidget* window = dlg_small_window(nls_translate("Filter"), &box, "z_c_filter");
  GtkWidget* by = gui_frame_new(nls_translate("Filter by"));
  gtk_container_add(GTK_CONTAINER(by), dlg_small_options(&select_filter.mode,
                                                         {nls_mark("Pen"), nls_mark("Line"),
                                                          nls_mark("Pen + Line"), nls_mark("Object type")},
                                                         true, nullptr, nullptr));
  gui_pack(box, by, 0);
  gui_pack(box, gui_spacer_new(0), 0);
  gui_pack(box, penline_selector_new(&select_filter.pen, &select_filter.line_type, nullptr, nullptr, nullptr),
           0);
  gui_pack(box, gui_spacer_new(0), 0);
  // The matcher's own table, so that the label chosen is the kind that passes.
  std::vector<const char*> kinds;
  for (const SelectKindChoice& c : select_kind_choices) kinds.push_back(c.label);
  GtkWidget* kind = gui_frame_new(nls_translate("Object type"));
  gtk_container_add(GTK_CONTAINER(kind),
                    dlg_small_options(&select_filter.kind_choice, kinds, true, nullptr, nullptr));
  gui_pack(box, kind, 0);
  gui_pack(box, gui_spacer_new(0), 0);
  dlg_small_close(box, "z_c_filter");
  return window;
}
