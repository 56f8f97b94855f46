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
