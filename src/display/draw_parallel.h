#pragma once

// Drawing many elements into the screen with every core: the elements are
// sorted into the drawing passes in slices, the passes are cut into pieces,
// each piece is drawn on its own thread into pixel operations per band of
// rows (display/view.h), and then each band is played back on its own
// thread, the pieces in order. Every pixel ends as drawing the elements one
// after the other would leave it.

#include <cstddef>
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

// Which elements the drawing passes take: with test_shown, an element off
// the current layer only while its layer is shown; and only those chosen
// (a function that only reads, called on any thread).
struct DrawPassRule {
  bool test_shown = true;
  bool (*chosen)(const ElemHeader*) = nullptr;
};
// The pass of an element under the rule, -1 for none: fillings of other
// layers (0), fillings of the current layer (1), everything else of other
// layers (2), of the current layer (3). The passes are drawn in that order,
// each in list order.
int draw_pass_of(const ElemHeader* e, const DrawPassRule& rule);

// The four passes drawn with every core, as draw_element(mode, e) would draw
// them one element after the other, the dirty rectangle grown to the whole
// view. False, with nothing drawn, where that does not apply: an empty list
// or a single hardware thread, output other than the screen's own slots, a
// view without a store, or drawing shown element by element
// (draw_refresh_now). The elements sorted into the passes are drawn on this
// thread instead when fewer than draw_parallel_min_elements are in the list
// or chosen, when a line is wider than a pixel (cairo
// draws those, on one thread), and when a piece fails, so that the error
// comes where it belongs.
bool draw_passes_in_parallel(uint8_t mode, const DrawPassRule& rule);

// A run of elements in drawing order.
struct ElemSpan {
  ElemHeader* const* data = nullptr;
  std::size_t size = 0;
};
// The spans drawn one after the other, each in order, with every core; false
// with nothing drawn where that does not apply (above, counting the spans'
// elements) or a line is wider than a pixel or a piece fails: the caller
// then draws them itself.
bool draw_in_parallel(uint8_t mode, const std::vector<ElemSpan>& spans);

// The list as an array in list order, kept between drawings and fits of the
// view: walking a list of a million records costs more than drawing it on
// all cores, and an array can be cut into pieces. Valid until the list
// changes; only the interface's thread asks for it.
const std::vector<ElemHeader*>& draw_list_in_order();
// Whether draw_list_in_order would hand back its array as it is, without
// walking the list.
bool draw_list_in_order_is_current();

// Forgets the copy of the list the passes keep between drawings.
void draw_parallel_reset();
