#include "model/undo.h"

#include <cstdio>
#include <memory>
#include <new>

#include "model/elem.h"
#include "model/ui.h"

UndoStep undo_steps[UNDO_STEPS];
uint8_t undo_used = 0;
uint8_t undo_undone = 0;
uint8_t undo_capacity = UNDO_STEPS;
uint32_t undo_last_mask = 0;
uint8_t undo_with_point_marks = 0;

namespace {

void step_append(UndoStep& step, ElemHeader* e) {
  e->next = nullptr;
  e->previous = step.tail;
  if (step.tail)
    step.tail->next = e;
  else
    step.head = e;
  step.tail = e;
}

void step_free(UndoStep& step) {
  ElemHeader* e = step.head;
  step.head = nullptr;
  step.tail = nullptr;
  while (e) {
    ElemHeader* next = e->next;
    elem_destroy(e);
    e = next;
  }
}

// Clears mask from every element of the drawing and of every step list.
void undo_clear_bits(uint32_t mask) {
  for (ElemHeader* e = elem_list_head; e; e = e->next) e->undo_mask &= ~mask;
  for (int i = 0; i < undo_used; ++i)
    for (ElemHeader* e = undo_steps[i].head; e; e = e->next) e->undo_mask &= ~mask;
}

void undo_drop_oldest() {
  if (undo_used < UNDO_STEPS) return;
  uint32_t dropped = undo_steps[0].mask;
  step_free(undo_steps[0]);
  for (int i = 1; i < UNDO_STEPS; ++i) undo_steps[i - 1] = undo_steps[i];
  undo_steps[UNDO_STEPS - 1] = UndoStep{};
  undo_used = UNDO_STEPS - 1;
  undo_clear_bits(dropped);
}

uint32_t undo_free_bit() {
  for (int bit = 0; bit < 32; ++bit) {
    uint32_t m = uint32_t{1} << bit;
    bool used = false;
    for (int i = 0; i < undo_used && !used; ++i) used = (undo_steps[i].mask & m) != 0;
    if (!used) return m;
  }
  std::printf("error: no bit found\n");
  return 1;
}

void undo_swap_step(int k) {
  // The list is rebuilt below, partly without unlinking: scans that walk it
  // start over.
  elem_restart_scans();
  UndoStep& step = undo_steps[k];
  ElemHeader* saved = step.head;
  step.head = nullptr;
  step.tail = nullptr;
  bool changed = saved != nullptr;

  ElemHeader* e = elem_list_head;
  while (e) {
    ElemHeader* next = e->next;
    if (e->undo_mask & step.mask) {
      elem_unlink(e);
      step_append(step, e);
      changed = true;
    }
    e = next;
  }
  while (saved) {
    ElemHeader* next = saved->next;
    elem_link_tail(saved);
    saved = next;
  }
  // The drawing now differs from what was last saved or loaded.
  if (changed) drawing_modified = 1;
}

UndoStep& undo_new_step() {
  undo_drop_oldest();
  UndoStep& step = undo_steps[undo_used];
  step = UndoStep{};
  step.mask = undo_free_bit();
  return step;
}

void undo_step_recorded(const UndoStep& step) {
  ++undo_used;
  undo_last_mask = step.mask;
  ui().undo_button_enable(true);
}

void undo_record_created(int n) {
  UndoStep& step = undo_new_step();
  ElemHeader* e = elem_list_tail;
  for (int i = 0; i < n && e; ++i, e = e->previous) e->undo_mask |= step.mask;
  undo_step_recorded(step);
}

// The copies of the marked elements (and of those with marked points when
// undo_with_point_marks is set); with change, they are about to change in
// place, which the list's journal is told.
void undo_record_snapshot(bool change) {
  UndoStep& step = undo_new_step();
  for (ElemHeader* e = elem_list_head; e; e = e->next) {
    if (e->mark != 1 && !(undo_with_point_marks && elem_has_marked_point(e))) continue;
    if (change) elem_touch(e);
    // The element joins the step only once its copy exists: an element that
    // carried the bit without a copy would vanish on undo.
    std::unique_ptr<ElemHeader> copy;
    try {
      copy = e->clone();
    } catch (const std::bad_alloc&) {
      continue;
    }
    e->undo_mask |= step.mask;
    copy->undo_mask = e->undo_mask;
    copy->mark = 0;
    elem_clear_point_marks(copy.get());
    step_append(step, copy.release());
  }
  undo_step_recorded(step);
}

void undo_discard_redo() {
  uint32_t masks = 0;
  while (undo_undone > 0) {
    UndoStep& step = undo_steps[undo_used - 1];
    masks |= step.mask;
    step_free(step);
    step = UndoStep{};
    --undo_used;
    --undo_undone;
  }
  undo_clear_bits(masks);
  ui().redo_button_enable(false);
}

void undo_clear_all() {
  for (UndoStep& step : undo_steps) {
    step_free(step);
    step = UndoStep{};
  }
  // Every way a step goes takes its bit off the list, so with no step in
  // force no element carries one, and a large drawing loaded at the start
  // is not walked for nothing.
  if (undo_used > 0)
    for (ElemHeader* e = elem_list_head; e; e = e->next) e->undo_mask = 0;
  undo_last_mask = 0;
  undo_used = 0;
  undo_undone = 0;
  ui().undo_button_enable(false);
  ui().redo_button_enable(false);
}

// Whether the step of undo_last_mask is the newest one and in force.
bool newest_step_in_force() {
  return undo_used > 0 && undo_undone == 0 && undo_last_mask != 0 &&
         undo_steps[undo_used - 1].mask == undo_last_mask;
}

}  // namespace

void undo_record(int mode, int n) {
  elem_restart_scans();
  if (undo_undone > 0) undo_discard_redo();
  switch (mode & 0xFF) {
    case UNDO_CLEAR:
      undo_clear_all();
      break;
    case UNDO_CREATED:
      undo_record_created(n);
      break;
    case UNDO_CHANGE:
      undo_record_snapshot(true);
      break;
    case UNDO_DELETE:
      undo_record_snapshot(false);
      break;
    case UNDO_CHANGE_POINTS:
      undo_with_point_marks = 1;
      undo_record_snapshot(true);
      undo_with_point_marks = 0;
      break;
    default:
      break;
  }
}

void undo_step_back() {
  if (undo_undone >= undo_used) {
    std::printf("No undo!\n");
    return;
  }
  ++undo_undone;
  ui().redo_button_enable(true);
  if (undo_undone == undo_used) ui().undo_button_enable(false);
  undo_swap_step(undo_used - undo_undone);
}

void undo_step_forward() {
  if (undo_undone == 0) {
    std::printf("No redo!\n");
    return;
  }
  undo_swap_step(undo_used - undo_undone);
  --undo_undone;
  ui().undo_button_enable(true);
  if (undo_undone == 0) ui().redo_button_enable(false);
}

uint32_t undo_mark_element(ElemHeader* e) {
  // The remembered bit may name a step taken back or discarded, whose bit
  // the next step takes again: a piece given to it would go with that step.
  if (newest_step_in_force()) e->undo_mask |= undo_last_mask;
  return e->undo_mask;
}

bool undo_save_element(ElemHeader* e) {
  if (!newest_step_in_force()) return false;
  UndoStep& step = undo_steps[undo_used - 1];
  if ((e->undo_mask & step.mask) != 0) return true;  // saved already
  std::unique_ptr<ElemHeader> copy;
  try {
    copy = e->clone();
  } catch (const std::bad_alloc&) {
    return false;
  }
  elem_touch(e);
  e->undo_mask |= step.mask;
  copy->undo_mask = e->undo_mask;
  copy->mark = 0;
  elem_clear_point_marks(copy.get());
  step_append(step, copy.release());
  return true;
}

int undo_in_current_step(const ElemHeader* e) { return (e->undo_mask & undo_last_mask) != 0 ? 1 : 0; }
