#include "display/wait.h"

#include <stdexcept>
#include <vector>

namespace {

WaitBackend* backend = nullptr;
std::vector<bool> levels;  // ended flag per running level, innermost last

// Pops the level on every exit, so a failing script unwinds cleanly.
struct LevelGuard {
  LevelGuard() { levels.push_back(false); }
  ~LevelGuard() { levels.pop_back(); }
};

}  // namespace

WaitBackend* wait_set_backend(WaitBackend* b) {
  WaitBackend* previous = backend;
  backend = b;
  return previous;
}

void wait_run() {
  if (!backend) throw std::logic_error("wait_run: no wait backend installed");
  {
    LevelGuard guard;
    backend->run(static_cast<int>(levels.size()));
  }
  // The enclosing level was ended while this one ran (wait_end_level): now
  // that it is innermost again, the backend may stop it.
  if (!levels.empty() && levels.back()) backend->end(static_cast<int>(levels.size()));
}

void wait_end() {
  if (levels.empty() || levels.back()) return;
  levels.back() = true;
  if (backend) backend->end(static_cast<int>(levels.size()));
}

void wait_end_level(int depth) {
  if (depth < 1 || depth > static_cast<int>(levels.size()) || levels[depth - 1]) return;
  if (depth == static_cast<int>(levels.size())) {
    wait_end();
    return;
  }
  levels[depth - 1] = true;
}

int wait_depth() { return static_cast<int>(levels.size()); }

bool wait_ended(int depth) {
  if (depth < 1 || depth > static_cast<int>(levels.size())) return true;
  return levels[depth - 1];
}

void gui_run_nested_loop() { wait_run(); }
