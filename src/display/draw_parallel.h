#pragma once

// Drawing many elements into the screen with every core: the elements are
// cut into pieces, each piece is drawn on its own thread into pixel
// operations per band of rows (display/view.h), and then each band is
// played back on its own thread, the pieces in order. Every pixel ends as
// drawing the elements one after the other would leave it.

#include <cstdint>
#include <vector>

#include "model/elem.h"

// Fewer elements than this are drawn on one thread; a piece holds at least
// draw_parallel_piece_elements of them (tests make both small).
extern int draw_parallel_min_elements;
extern int draw_parallel_piece_elements;
inline constexpr int DRAW_PARALLEL_MIN_ELEMENTS = 20000;
// Enough that handing a piece out costs nothing beside drawing it.
inline constexpr int DRAW_PARALLEL_PIECE_ELEMENTS = 4096;

// Draws the elements of the lists, list after list, each in order, as
// draw_element(mode, e) would one by one, and adds the whole view to the
// dirty rectangle. False, with nothing drawn, where it does not apply: too
// few elements or a single hardware thread, output other than the screen's
// own slots, a view without a store, drawing shown element by element
// (draw_refresh_now), lines wider than a pixel, or an error inside a piece:
// the caller then draws the elements itself and meets the error where it
// belongs.
bool draw_in_parallel(uint8_t mode, const std::vector<ElemHeader*>* lists, int list_count);
