#pragma once

// Bound widgets under a real (virtual) display: the widgets live in an
// off-screen window, the program's state starts from the built-in defaults,
// and the refresh hooks write what they are asked into a trace.

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <string>
#include <vector>

#include "display/command_buffer.h"
#include "model/settings.h"
#include "shell/bind_refresh.h"
#include "shell/gtk/bind.h"
#include "support/model_fixture.h"

inline std::vector<std::string>& bind_trace() {
  static std::vector<std::string> trace;
  return trace;
}

class BindGtkTest : public ModelTest {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(gtk_init_check(nullptr, nullptr)) << "needs a display (run under xvfb-run)";
    g_log_set_always_fatal(static_cast<GLogLevelFlags>(G_LOG_FATAL_MASK | G_LOG_LEVEL_CRITICAL));
  }

  void SetUp() override {
    ModelTest::SetUp();
    bind_trace().clear();
    BindHooks h;
    h.dlg_preview_draw = [](int k) { bind_trace().push_back("draw " + std::to_string(k)); };
    h.dlg_preview_built = [](int) { return true; };
    h.gui_layerentry_closed = [] { bind_trace().push_back("layerentry closed"); };
    h.mainwin_size_labels_refresh = [] { bind_trace().push_back("size labels"); };
    previous_ = bind_hooks_install(h);
    command_key = "nop";
    radio_suppress = 0;
    window = gtk_offscreen_window_new();
    box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
    gtk_container_add(GTK_CONTAINER(window), box);
    gtk_widget_show_all(window);
  }

  void TearDown() override {
    gtk_widget_destroy(window);
    settle();
    bind_hooks_install(previous_);
    radio_suppress = 0;
    ModelTest::TearDown();
  }

  // Puts a widget into the window (realized, as a dialog's widgets are).
  GtkWidget* add(GtkWidget* w) {
    gtk_box_pack_start(GTK_BOX(box), w, FALSE, FALSE, 0);
    gtk_widget_show(w);
    settle();
    return w;
  }

  static void settle() {
    while (gtk_events_pending()) gtk_main_iteration();
  }

  // The trace since the last call.
  static std::vector<std::string> taken() {
    std::vector<std::string> t = bind_trace();
    bind_trace().clear();
    return t;
  }

  // Sends a focus change to a widget as the toolkit does when focus moves.
  static void focus(GtkWidget* w, bool in) {
    GdkEvent* ev = gdk_event_new(GDK_FOCUS_CHANGE);
    ev->focus_change.in = in ? 1 : 0;
    GdkWindow* win = gtk_widget_get_window(w);
    ev->focus_change.window = win ? GDK_WINDOW(g_object_ref(win)) : nullptr;
    gtk_widget_send_focus_change(w, ev);
    gdk_event_free(ev);
  }

  static void type_and_enter(GtkWidget* entry, const char* utf8) {
    gtk_entry_set_text(GTK_ENTRY(entry), utf8);
    gtk_widget_activate(entry);
  }

  static std::string text_of(GtkWidget* entry) { return gtk_entry_get_text(GTK_ENTRY(entry)); }

  GtkWidget* window = nullptr;
  GtkWidget* box = nullptr;

 private:
  BindHooks previous_;
};
