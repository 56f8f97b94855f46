#pragma once

// Puts every global of the display back to the state of a fresh start: the
// screen slots installed; no view stores, loaded fonts, running request,
// rubber band, hover scan result or installed hooks, wait backend and
// script targets; empty command buffers ("nop"); the start scale, the
// stroke-font folder and the snap and extents state as they begin. For
// tests, which run many starts in one process; model_state_reset() does
// the model.
//
// Left alone: the export-scope selector, which its installer puts back, and
// caches that are keyed on elem_list_generation (it only grows).
void display_state_reset();
