#pragma once

// A small pool of worker threads for work that splits into independent
// pieces: work_pool_run(n, f) calls f(0) .. f(n - 1), each exactly once,
// spread over the workers and the calling thread, and returns when all have
// returned. The workers start on first use and end at program exit. Only
// the thread that owns the interface calls it; the pieces never touch the
// interface.

#include <functional>

// The threads a run uses, the caller included: the processors the process
// may run on, at most 16, at least 1.
int work_pool_threads();

// Runs the pieces. f must not throw: a piece catches its own errors and
// leaves them for the caller to look at once the run is over.
void work_pool_run(int pieces, const std::function<void(int)>& f);

// Runs the pieces as work_pool_run does, for pieces that can find they need
// the interface's thread (a font to load): f(piece, alone) returns false
// when its piece must run again. The first such piece runs again alone on
// the calling thread, where it may do what it needed, and whatever it
// brought (the font) serves the others, which run again beside each other;
// what still needs it then runs here one after the other. Alone, f may
// throw; the exception leaves this call.
void work_pool_run_again_where_needed(int pieces, const std::function<bool(int piece, bool alone)>& f);

// True while this thread runs a piece of work_pool_run (on a worker or on
// the caller): pieces run beside each other, so code that must run alone on
// the interface's thread asks this.
bool work_pool_in_piece();

// What code that may only run alone on the interface's thread (loading a
// font, asking the user) throws when it finds itself in a piece; the piece
// that caught it is run again by the caller once the run is over.
struct WorkNeedsMainThread {};

// Throws WorkNeedsMainThread inside a piece; nothing elsewhere.
void work_pool_require_main_thread();
