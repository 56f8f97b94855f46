// viewgl: the 3D viewer the drawing program hands its meshes to.
//
//   viewgl [FILE]                    shows FILE (default /tmp/gl.kav) in a window
//   viewgl --snapshot OUT.png [FILE] renders the fitted view into a PNG, no window
//
// Drag with the left button to orbit, turn the wheel to zoom, Escape closes.

#include <gtk/gtk.h>

#include <clocale>
#include <cstdio>
#include <cstring>
#include <string>

#include "model/defaults.h"
#include "viewgl/viewgl_render.h"
#include "viewgl/viewgl_scene.h"

namespace {

constexpr const char* DEFAULT_FILE = "/tmp/gl.kav";

struct Viewer {
  ViewScene scene;
  OrbitCamera camera;
  ViewRenderer renderer;
  bool dragging = false;
  double last_x = 0, last_y = 0;
};

void on_realize(GtkGLArea* area, Viewer* v) {
  gtk_gl_area_make_current(area);
  if (gtk_gl_area_get_error(area)) return;
  const std::string error = v->renderer.init();
  if (!error.empty()) {
    std::fprintf(stderr, "viewgl: %s\n", error.c_str());
    return;
  }
  v->renderer.upload(v->scene);
}

void on_unrealize(GtkGLArea* area, Viewer* v) {
  gtk_gl_area_make_current(area);
  if (!gtk_gl_area_get_error(area)) v->renderer.release();
}

gboolean on_render(GtkGLArea* area, GdkGLContext*, Viewer* v) {
  const int scale = gtk_widget_get_scale_factor(GTK_WIDGET(area));
  v->renderer.draw(v->camera, gtk_widget_get_allocated_width(GTK_WIDGET(area)) * scale,
                   gtk_widget_get_allocated_height(GTK_WIDGET(area)) * scale);
  return TRUE;
}

gboolean on_press(GtkWidget*, GdkEventButton* e, Viewer* v) {
  if (e->button == 1) {
    v->dragging = true;
    v->last_x = e->x;
    v->last_y = e->y;
  }
  return TRUE;
}

gboolean on_release(GtkWidget*, GdkEventButton* e, Viewer* v) {
  if (e->button == 1) v->dragging = false;
  return TRUE;
}

gboolean on_motion(GtkWidget* w, GdkEventMotion* e, Viewer* v) {
  if (!v->dragging) return FALSE;
  view_camera_orbit(v->camera, e->x - v->last_x, e->y - v->last_y);
  v->last_x = e->x;
  v->last_y = e->y;
  gtk_gl_area_queue_render(GTK_GL_AREA(w));
  return TRUE;
}

gboolean on_scroll(GtkWidget* w, GdkEventScroll* e, Viewer* v) {
  double steps = 0;
  if (e->direction == GDK_SCROLL_UP)
    steps = 1;
  else if (e->direction == GDK_SCROLL_DOWN)
    steps = -1;
  else if (e->direction == GDK_SCROLL_SMOOTH)
    steps = -e->delta_y;
  if (steps == 0) return FALSE;
  view_camera_zoom(v->camera, steps);
  gtk_gl_area_queue_render(GTK_GL_AREA(w));
  return TRUE;
}

gboolean on_key(GtkWidget* window, GdkEventKey* e, Viewer*) {
  if (e->keyval != GDK_KEY_Escape) return FALSE;
  gtk_widget_destroy(window);
  return TRUE;
}

void show_message(GtkWindow* parent, const std::string& text) {
  // The file name may hold any bytes; the dialog takes UTF-8 only.
  gchar* shown = g_utf8_make_valid(text.c_str(), -1);
  GtkWidget* box =
      gtk_message_dialog_new(parent, GTK_DIALOG_MODAL, GTK_MESSAGE_ERROR, GTK_BUTTONS_CLOSE, "%s", shown);
  gtk_window_set_title(GTK_WINDOW(box), "Kavro 3D");
  gtk_dialog_run(GTK_DIALOG(box));
  gtk_widget_destroy(box);
  g_free(shown);
}

int usage() {
  std::fprintf(stderr, "usage: viewgl [FILE]\n       viewgl --snapshot OUT.png [FILE]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string snapshot;
  std::string file = DEFAULT_FILE;
  int first = 1;
  if (argc > 1 && std::strcmp(argv[1], "--snapshot") == 0) {
    if (argc < 3) return usage();
    snapshot = argv[2];
    first = 3;
  }
  if (argc - first > 1) return usage();
  if (argc - first == 1) file = argv[first];

  // The pen table the meshes are coloured from.
  main_init_defaults();
  Viewer v;
  const std::string problem = view_scene_load(file, v.scene);
  view_camera_fit(v.scene, v.camera);

  if (!snapshot.empty()) {
    if (!problem.empty()) {
      std::fprintf(stderr, "viewgl: %s\n", problem.c_str());
      return 1;
    }
    const std::string error = view_render_png(v.scene, v.camera, 640, 480, snapshot);
    if (!error.empty()) {
      std::fprintf(stderr, "viewgl: %s\n", error.c_str());
      return 1;
    }
    return 0;
  }

  gtk_init(&argc, &argv);
  std::setlocale(LC_NUMERIC, "C");
  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gchar* base = g_path_get_basename(file.c_str());
  gchar* name = g_filename_display_name(base);
  gchar* title = g_strdup_printf("Kavro 3D: %s", name);
  gtk_window_set_title(GTK_WINDOW(window), title);
  g_free(title);
  g_free(name);
  g_free(base);
  gtk_window_set_default_size(GTK_WINDOW(window), 800, 600);

  GtkWidget* area = gtk_gl_area_new();
  gtk_gl_area_set_has_depth_buffer(GTK_GL_AREA(area), TRUE);
  gtk_gl_area_set_required_version(GTK_GL_AREA(area), 3, 2);
  gtk_widget_add_events(area, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK | GDK_POINTER_MOTION_MASK |
                                  GDK_SCROLL_MASK | GDK_SMOOTH_SCROLL_MASK);
  g_signal_connect(area, "realize", G_CALLBACK(on_realize), &v);
  g_signal_connect(area, "unrealize", G_CALLBACK(on_unrealize), &v);
  g_signal_connect(area, "render", G_CALLBACK(on_render), &v);
  g_signal_connect(area, "button-press-event", G_CALLBACK(on_press), &v);
  g_signal_connect(area, "button-release-event", G_CALLBACK(on_release), &v);
  g_signal_connect(area, "motion-notify-event", G_CALLBACK(on_motion), &v);
  g_signal_connect(area, "scroll-event", G_CALLBACK(on_scroll), &v);
  g_signal_connect(window, "key-press-event", G_CALLBACK(on_key), &v);
  g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), nullptr);
  gtk_container_add(GTK_CONTAINER(window), area);
  gtk_widget_show_all(window);
  if (!problem.empty()) show_message(GTK_WINDOW(window), problem);
  gtk_main();
  return problem.empty() ? 0 : 1;
}
