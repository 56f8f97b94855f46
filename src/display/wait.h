#pragma once

// The one place where the program waits for input: a stack of nested waits.
//
// Every wait (the command loop's, an input request's, a question box's) runs
// one nested level through the installed backend and returns when that level
// is ended. Ending always acts on the innermost level, so whatever posts a key
// or an answer reaches the innermost waiter only. The backend decides how a
// level runs: the toolkit nests its main loop, a script for tests applies its
// events one by one.

class WaitBackend {
 public:
  virtual ~WaitBackend() = default;
  // Runs level `depth` (1 = outermost) until wait_ended(depth).
  virtual void run(int depth) = 0;
  // Level `depth`, the innermost, has just been ended.
  virtual void end(int depth) = 0;
};

// Installs a backend and returns the previous one (null at start).
WaitBackend* wait_set_backend(WaitBackend* backend);

// Runs one nested level until wait_end() ends it. Without a backend it
// throws std::logic_error: a wait that cannot end is a programming error.
void wait_run();
// Ends the innermost level. Nothing happens at depth 0 or when the innermost
// level has already been ended (a second post before it returned).
void wait_end();
// Ends level `depth` (1 = outermost) and no other. A level inside it keeps
// running until it is ended in turn; then `depth` returns as well. So a box
// that waits ends its own wait even while a nested request runs inside it.
// Nothing happens for a level that is not running or already ended.
void wait_end_level(int depth);
// Number of levels running.
int wait_depth();
// Whether level `depth` has been ended (levels that no longer run count as ended).
bool wait_ended(int depth);

// One nested wait without a key: the blocking boxes wait here for their answer.
void gui_run_nested_loop();
