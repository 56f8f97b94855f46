#pragma once
// Checks shared by the font fuzz targets: every glyph of a loaded slot is a
// command list that ends inside the slot's codes, with the operands its
// commands take.
#include <cstddef>
#include <cstdint>

#include "display/font.h"

inline void font_check_slot(const FontSlot& slot) {
  if (!slot.in_use()) __builtin_trap();
  const std::size_t n = slot.codes.size();
  for (int code = 0; code < 256; ++code) {
    const int32_t start = slot.glyph[code];
    if (code < FONT_FIRST_CODE) {
      if (start != -1) __builtin_trap();
      continue;
    }
    if (start < 0 || static_cast<std::size_t>(start) >= n) __builtin_trap();
    std::size_t at = static_cast<std::size_t>(start);
    for (;;) {
      if (at >= n) __builtin_trap();
      const int16_t command = slot.codes[at++];
      int operands = 0;
      switch (command) {
        case GLYPH_END:
        case GLYPH_FILL:
        case GLYPH_CLOSE:
          break;
        case GLYPH_MOVE:
        case GLYPH_LINE:
          operands = 2;
          break;
        case GLYPH_QUAD:
          operands = 4;
          break;
        case GLYPH_ARC:
          operands = 5;
          break;
        case GLYPH_CUBIC:
          operands = 6;
          break;
        default:
          __builtin_trap();
      }
      if (command == GLYPH_END) break;
      at += static_cast<std::size_t>(operands);
    }
  }
}
