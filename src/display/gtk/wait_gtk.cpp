#include "display/gtk/wait_gtk.h"

#include <gtk/gtk.h>

namespace {

class GtkWait final : public WaitBackend {
 public:
  void run(int depth) override {
    // Only wait_end quits a level; should anything else quit the main loop,
    // the level simply runs on.
    while (!wait_ended(depth)) gtk_main();
  }
  void end(int) override {
    // The innermost gtk_main is the innermost level: no other code runs one.
    if (gtk_main_level() > 0) gtk_main_quit();
  }
};

}  // namespace

WaitBackend* wait_gtk_backend() {
  static GtkWait backend;
  return &backend;
}
