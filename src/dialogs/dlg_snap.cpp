#include "dialogs/dlg_small.h"
#include "model/nls.h"
#include "model/settings.h"
#include "shell/gtk/bind.h"
#include "shell/gtk/gui_build.h"

GtkWidget* dlg_snap_create() {
  GtkWidget* box = nullptr;
  GtkWidget* window = dlg_small_window(nls_translate("Snap"), &box, "z_c_snap");
  GtkWidget* size = gui_frame_new(nls_translate("Snap size"));
  gtk_container_add(GTK_CONTAINER(size), bind_spin_long_new(&snap_size, 2, 12, 1, 0, nullptr));
  gui_pack(box, size, 0);
  gui_pack(box, gui_spacer_new(0), 0);
  struct Switch {
    const char* label;
    int32_t* var;
  };
  const Switch switches[] = {
      {nls_mark("End points"), &snap_use_end_points},
      {nls_mark("Line intersections"), &snap_use_line_intersections},
      {nls_mark("Center points"), &snap_use_center_points},
      {nls_mark("Text points"), &snap_use_text_points},
      {nls_mark("Circle centers"), &snap_use_circle_centers},
      {nls_mark("Arc start/end points"), &snap_use_arc_points},
      {nls_mark("Circle Intersections"), &snap_use_circle_intersections},
      {nls_mark("Polygon points"), &snap_use_polygon_points},
      {nls_mark("Measuring points"), &snap_use_measuring_points},
  };
  GtkWidget* points = gui_frame_new(nls_translate("Snap points"));
  GtkWidget* column = gui_vbox_new();
  gtk_container_add(GTK_CONTAINER(points), column);
  for (const Switch& s : switches)
    gui_pack(column, bind_check_new(nls_translate(s.label), s.var, nullptr), 0);
  gui_pack(box, points, 0);
  dlg_small_close(box, "z_c_snap");
  return window;
}
