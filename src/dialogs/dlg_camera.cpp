#include "dialogs/dlg_small.h"
#include "display/view_commands.h"
#include "model/elem.h"
#include "model/nls.h"
#include "model/view_rec.h"
#include "shell/gtk/bind.h"
#include "shell/gtk/gui_build.h"

namespace {

GtkWidget* angle_spin = nullptr;

// Runs after the bound spin button stored the angle.
void on_angle(GtkSpinButton* spin, gpointer) { dlg_camera_on_angle(gtk_spin_button_get_value(spin)); }

}  // namespace

void dlg_camera_on_angle(double degrees) {
  view_camera.view_angle = degrees;
  ElemHeader* it = nullptr;
  for (ElemHeader* e = elem_first(&it); e; e = elem_next(&it)) {
    CameraElem* camera = elem_as<CameraElem>(e);
    if (!camera || camera->active != 1) continue;
    camera->view_angle = degrees;
    elem_touch();
    drawing_modified = 1;
    view_zoom_to_extents(0);
  }
}

void dlg_camera_set_angle(double degrees) {
  if (angle_spin) bind_set_spin(angle_spin, degrees);
}

GtkWidget* dlg_camera_create() {
  GtkWidget* box = nullptr;
  GtkWidget* window = dlg_small_window(nls_translate("Camera"), &box, "z_c_camera");
  GtkWidget* frame = gui_frame_new(nls_translate("Angle:"));
  angle_spin = bind_spin_double_new(&view_camera.view_angle, 1, 180, 1, 0, nullptr);
  g_object_add_weak_pointer(G_OBJECT(angle_spin), reinterpret_cast<gpointer*>(&angle_spin));
  g_signal_connect_after(angle_spin, "value-changed", G_CALLBACK(on_angle), nullptr);
  gtk_container_add(GTK_CONTAINER(frame), angle_spin);
  gui_pack(box, frame, 0);

  GtkWidget* rotate = gui_frame_new(nls_translate("Rotate"));
  GtkWidget* grid = gui_table_new(3, 3);
  gtk_container_add(GTK_CONTAINER(rotate), grid);
  struct Arrow {
    const char* key;
    const char* picture;
    int column, row;
  };
  const Arrow arrows[] = {{"b_cam_up", "./graphics/3d8.xpm", 1, 0},
                          {"b_cam_left", "./graphics/3d6.xpm", 0, 1},
                          {"b_cam_right", "./graphics/3d4.xpm", 2, 1},
                          {"b_cam_down", "./graphics/3d2.xpm", 1, 2}};
  for (const Arrow& a : arrows)
    gui_table_attach(grid, gui_command_button_new(3, a.key, a.picture), a.column, a.column + 1, a.row,
                     a.row + 1, 0);
  gui_pack(box, rotate, 0);
  dlg_small_close(box, "z_c_camera");
  return window;
}
