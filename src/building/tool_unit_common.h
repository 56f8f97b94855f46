#pragma once

// What the generators share: the values they ask once, and appending a
// generated mesh without an undo step of its own.

#include <string_view>

#include "building/solid/solid_mesh.h"

// Asks one typed length (or whole number) with the English prompt; true
// with the value in out when one was typed, else false with out 0 (the
// caller ends).
bool archgen_ask_real(const char* prompt, double& out);
bool archgen_ask_int(const char* prompt, int& out);

// Shows the error box that a stairway or frame would have more than
// ARCHGEN_MAX_PARTS boxes.
void archgen_show_too_many_parts();

// Appends m on the current layer with the current pen (never the guide
// pen) and line type, the given material and flag 0, and draws it. The
// caller records the undo step.
void archgen_append(const SolidMesh& m, std::string_view material);
