#pragma once

// The working copies the Settings dialog edits pens, line types and display
// colours in: a page shows a copy, Apply writes it into the table, Revert
// (and choosing another number) reloads it and drops unapplied edits.

#include <cstdint>

#include "model/consts.h"
#include "model/fixed_text.h"
#include "model/settings.h"

struct PenEdit {
  int32_t number = 0;  // 0..7
  double width = 0.0;  // paper mm
  FixedText<NAME_LEN> name;
  Rgb colour;
};

struct LineTypeEdit {
  int32_t number = 0;    // 0..7
  int32_t sections = 0;  // 0..3
  FixedText<NAME_LEN> name;
  double line[3] = {};   // dash lengths, paper mm
  double space[3] = {};  // gap lengths
};

extern PenEdit settings_pen_edit;
extern LineTypeEdit settings_linetype_edit;
extern int32_t settings_color_target;  // 0 background, 1 active elements, 2 guide elements

// A number outside 0..7 counts as 0 (and is set back to 0).
void pen_edit_revert(PenEdit& edit);
void pen_edit_apply(PenEdit& edit);
void linetype_edit_revert(LineTypeEdit& edit);
// Stores all six lengths whatever the section count; the period counts the
// used sections only.
void linetype_edit_apply(LineTypeEdit& edit);
// The display colour of a target (0..2; any other counts as 0).
Rgb& display_color_of(int target);
