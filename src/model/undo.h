#pragma once

// Undo and redo.
//
// At most 32 steps exist. Each step owns one bit of the 32-bit undo mask that
// every element carries, plus a list of saved element copies. While a step is
// in force the drawing holds the elements carrying its bit and the step's list
// the copies saved when it was recorded; taking the step back or forward again
// is one and the same swap of those two sets. Elements brought back by a swap
// land at the end of the drawing list.

#include <cstdint>

struct ElemHeader;

// Modes of undo_record.
enum : int {
  UNDO_CLEAR = 0,          // forget every step (new drawing, load)
  UNDO_CREATED = 1,        // the last n elements were just created
  UNDO_CHANGE = 2,         // the marked elements are about to change
  UNDO_DELETE = 3,         // the marked elements are about to be deleted
  UNDO_CHANGE_POINTS = 4,  // marked elements and elements with marked points are about to change
};
inline constexpr int UNDO_STEPS = 32;

struct UndoStep {
  uint32_t mask = 0;  // exactly one bit, 0 for a free slot
  ElemHeader* head = nullptr;
  ElemHeader* tail = nullptr;
};

extern UndoStep undo_steps[UNDO_STEPS];  // oldest first, at 0 .. undo_used - 1
extern uint8_t undo_used;
extern uint8_t undo_undone;  // how many of the newest steps are taken back
extern uint8_t undo_capacity;
extern uint32_t undo_last_mask;  // bit of the newest step, 0 after a clear
extern uint8_t undo_with_point_marks;

// Records one step by mode (low 8 bits); n counts the created elements of
// UNDO_CREATED and is ignored otherwise. Any call first discards the steps
// taken back. Modes above 4 record nothing.
void undo_record(int mode, int n);
// The commands p_undo and p_redo. With nothing to do they print "No undo!" or
// "No redo!" on standard output.
void undo_step_back();
void undo_step_forward();
// Gives e the bit of the newest step (pieces created inside a change step)
// and returns e's undo mask. Nothing is given while that step is taken back,
// discarded or cleared.
uint32_t undo_mark_element(ElemHeader* e);
// Adds e, about to change in place, to the newest step after it was
// recorded: a copy of e as it is now is saved with the step and e gets the
// step's bit, so that taking the step back brings the copy back. An element
// that carries the bit already is left alone (true). False when there is no
// newest step in force or no memory for the copy; e is then not in the step.
bool undo_save_element(ElemHeader* e);
// 1 when e carries the bit of the newest step.
int undo_in_current_step(const ElemHeader* e);
