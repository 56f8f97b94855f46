// The program started with a drawing of a million elements of all kinds,
// as a person starts it, then the same drawing loaded again through the
// menu: how often the drawing is drawn on the way (each time a pass over
// all of it, and only the last reaches the screen) and how long until the
// program waits for the next command. Needs a display: scripts/bench runs
// it under a virtual one. The argument is the element count; 0 starts with
// an empty drawing, the figure the large one is measured against. Run each
// argument in a process of its own (--benchmark_filter=BM_StartWithDrawing/0),
// since the program starts only once per process.
#include <benchmark/benchmark.h>
#include <gtk/gtk.h>
#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "bench_drawings.h"
#include "display/command_buffer.h"
#include "display/draw.h"
#include "display/view.h"
#include "model/defaults.h"
#include "model/elem.h"
#include "model/files/kavfile.h"
#include "model/files/load_save.h"
#include "model/layers.h"
#include "model/ui.h"
#include "shell/cmd_loop.h"
#include "shell/gtk/mainwin.h"
#include "shell/gtk/startup.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int ELEMENTS = 1000000;

struct Run {
  int step = 0;
  int ticks = 0;
  int load_tick = 0;
  Clock::time_point started, menu_load, loaded;
  uint32_t start_redraws = 0, menu_redraws_before = 0, menu_redraws = 0;
  bool gave_up = false;
};
Run run;
std::string drawing;

bool waiting_for_a_command() {
  GtkWidget* prompt = mainwin_widgets.prompt;
  return main_window && prompt && view_surface(0) &&
         std::strcmp(gtk_entry_get_text(GTK_ENTRY(prompt)), "Select function:") == 0;
}

// Steps on the program's main loop, every 10 ms: the start, the load
// through the menu (its file chooser answered with the drawing), quit.
gboolean drive(gpointer) {
  if (++run.ticks > 12000) {
    run.gave_up = true;
    quit_requested = 1;
    cmd_put_key("p_nop");
    return G_SOURCE_REMOVE;
  }
  switch (run.step) {
    case 0: {
      if (!waiting_for_a_command()) return G_SOURCE_CONTINUE;
      run.started = Clock::now();
      run.start_redraws = draw_full_count;
      UiTable t = ui();
      t.filesel_choose = [](const char*, const char*, int, const char*) { return drawing; };
      ui_install(t);
      drawing_modified = 0;
      run.menu_redraws_before = draw_full_count;
      run.load_tick = run.ticks;
      run.menu_load = Clock::now();
      cmd_put_key("p_file_load");
      run.step = 1;
      return G_SOURCE_CONTINUE;
    }
    case 1:
      // The command ran before this tick came: the loop waits again.
      if (run.ticks == run.load_tick + 1 || !waiting_for_a_command()) return G_SOURCE_CONTINUE;
      run.loaded = Clock::now();
      run.menu_redraws = draw_full_count - run.menu_redraws_before;
      drawing_modified = 0;
      cmd_put_key("p_file_quit");
      run.step = 2;
      return G_SOURCE_REMOVE;
  }
  return G_SOURCE_REMOVE;
}

double seconds(Clock::time_point a, Clock::time_point b) {
  return std::chrono::duration<double>(b - a).count();
}

void BM_StartWithDrawing(benchmark::State& state) {
  if (!gtk_init_check(nullptr, nullptr)) {
    state.SkipWithError("needs a display");
    return;
  }
  // A copy of the staged installation and an empty home, as a first start.
  const fs::path folder = fs::temp_directory_path() / ("kavro-bench-start-" + std::to_string(::getpid()));
  const fs::path install = folder / "install", home = folder / "home";
  fs::create_directories(home);
  fs::copy(KAVRO_BENCH_STAGE_DIR, install, fs::copy_options::recursive);
  drawing = (folder / "site.kav").string();
  main_init_defaults();
  bench_drawings::mixed(static_cast<int>(state.range(0)));
  kavfile_write_file(drawing, kavfile_write_drawing, "open", "write");
  drawing_free();
  drawing_modified = 0;
  setenv("HOME", home.c_str(), 1);
  g_setenv("GSETTINGS_BACKEND", "memory", TRUE);
  g_setenv("NO_AT_BRIDGE", "1", TRUE);
  const fs::path old_dir = fs::current_path();
  fs::current_path(install);

  Clock::time_point t0;
  for (auto _ : state) {
    run = Run{};
    draw_full_count = 0;
    g_timeout_add(10, drive, nullptr);
    char arg0[] = "kavro";
    std::string arg1 = drawing;
    char* argv[] = {arg0, arg1.data(), nullptr};
    t0 = Clock::now();
    kavro_main(2, argv);
  }
  fs::current_path(old_dir);
  fs::remove_all(folder);
  if (run.gave_up || run.step != 2) {
    state.SkipWithError("the program did not get through its steps");
    return;
  }
  state.counters["start_s"] = seconds(t0, run.started);
  state.counters["start_redraws"] = run.start_redraws;
  state.counters["menu_load_s"] = seconds(run.menu_load, run.loaded);
  state.counters["menu_load_redraws"] = run.menu_redraws;
}
BENCHMARK(BM_StartWithDrawing)
    ->Arg(0)
    ->Arg(ELEMENTS)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
