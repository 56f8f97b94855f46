#pragma once

// Driving the real boxes under a virtual display: steps that wait until
// their condition holds (a box has appeared, a chooser has loaded its
// folder) and then act as the user would, each from a fresh idle callback so
// that an act may itself wait. A guard ends every wait after a few seconds,
// so a test whose box never ends fails instead of hanging.

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "display/gtk/wait_gtk.h"
#include "display/wait.h"
#include "shell/dlg_boxes.h"
#include "shell/dlg_table.h"

namespace gui_steps {

struct Step {
  std::function<bool()> ready;
  std::function<void()> act;
};

inline std::deque<Step>& queue() {
  static std::deque<Step> q;
  return q;
}
inline bool& gave_up() {
  static bool g = false;
  return g;
}

inline gboolean run_act(gpointer data) {
  auto* act = static_cast<std::function<void()>*>(data);
  (*act)();
  delete act;
  return G_SOURCE_REMOVE;
}

inline gboolean tick(gpointer) {
  auto& q = queue();
  if (q.empty() || !q.front().ready()) return G_SOURCE_CONTINUE;
  auto* act = new std::function<void()>(std::move(q.front().act));
  q.pop_front();
  g_idle_add(run_act, act);
  return G_SOURCE_CONTINUE;
}

inline gboolean give_up(gpointer) {
  gave_up() = true;
  queue().clear();
  for (int id = 0; id < DLG_COUNT; ++id) dlg_destroy(static_cast<DlgId>(id));
  while (wait_depth() > 0 && !wait_ended(wait_depth())) wait_end();
  return G_SOURCE_CONTINUE;
}

}  // namespace gui_steps

class GuiBoxTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // No desktop services under the virtual display.
    g_setenv("GSETTINGS_BACKEND", "memory", TRUE);
    g_setenv("NO_AT_BRIDGE", "1", TRUE);
    ASSERT_TRUE(gtk_init_check(nullptr, nullptr)) << "needs a display (run under xvfb-run)";
  }
  void SetUp() override {
    previous_backend_ = wait_set_backend(wait_gtk_backend());
    previous_ops_ = dlg_ops_install(DlgOps{});
    dlg_use_gtk();
    gui_steps::queue().clear();
    gui_steps::gave_up() = false;
    tick_ = g_timeout_add(10, gui_steps::tick, nullptr);
    guard_ = g_timeout_add(8000, gui_steps::give_up, nullptr);
  }
  void TearDown() override {
    g_source_remove(tick_);
    g_source_remove(guard_);
    EXPECT_FALSE(gui_steps::gave_up()) << "a box was still waiting after 8 s";
    EXPECT_TRUE(gui_steps::queue().empty()) << "steps left that never became ready";
    gui_steps::queue().clear();
    for (int id = 0; id < DLG_COUNT; ++id) dlg_destroy(static_cast<DlgId>(id));
    settle();
    dlg_ops_install(previous_ops_);
    wait_set_backend(previous_backend_);
  }

  // Runs pending events without waiting.
  static void settle() {
    while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
  }

  // When ready() holds, act() runs.
  static void then(std::function<bool()> ready, std::function<void()> act) {
    gui_steps::queue().push_back({std::move(ready), std::move(act)});
  }
  // As soon as the dialog of slot id exists.
  static void when_shown(DlgId id, std::function<void(GtkWidget*)> act) {
    then([id] { return dlg_slots[id] != nullptr; },
         [id, act] {
           if (dlg_slots[id]) act(static_cast<GtkWidget*>(dlg_slots[id]));
         });
  }

  // Every widget under root, internal children included.
  static void collect(GtkWidget* root, std::vector<GtkWidget*>& out) {
    out.push_back(root);
    if (!GTK_IS_CONTAINER(root)) return;
    gtk_container_forall(
        GTK_CONTAINER(root),
        [](GtkWidget* w, gpointer data) { collect(w, *static_cast<std::vector<GtkWidget*>*>(data)); }, &out);
  }
  static GtkWidget* find_button(GtkWidget* root, const std::string& label) {
    std::vector<GtkWidget*> all;
    collect(root, all);
    for (GtkWidget* w : all) {
      if (!GTK_IS_BUTTON(w)) continue;
      const char* l = gtk_button_get_label(GTK_BUTTON(w));
      if (l && label == l) return w;
    }
    return nullptr;
  }
  static std::string label_texts(GtkWidget* root) {
    std::vector<GtkWidget*> all;
    collect(root, all);
    std::string out;
    for (GtkWidget* w : all)
      if (GTK_IS_LABEL(w) && !GTK_IS_ACCEL_LABEL(w))
        out += std::string(gtk_label_get_text(GTK_LABEL(w))) + "|";
    return out;
  }
  // The shown top-level windows with this title.
  static std::vector<GtkWidget*> windows_titled(const std::string& title) {
    std::vector<GtkWidget*> out;
    GList* all = gtk_window_list_toplevels();
    for (GList* l = all; l; l = l->next) {
      auto w = GTK_WIDGET(l->data);
      const char* t = gtk_window_get_title(GTK_WINDOW(w));
      if (t && title == t && gtk_widget_get_visible(w)) out.push_back(w);
    }
    g_list_free(all);
    return out;
  }

 private:
  WaitBackend* previous_backend_ = nullptr;
  DlgOps previous_ops_;
  guint tick_ = 0, guard_ = 0;
};
