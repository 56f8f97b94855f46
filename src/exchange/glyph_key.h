#pragma once

// Which drawn glyph a page writer defines once and places for every
// character drawn like it: the font slot and code, the height, width factor
// and angle, and whether its strokes are dashed (PostScript's carry the line
// type; the PDF's never do). Sizes and angles match only bit for bit, so two
// glyphs that would draw apart never share a definition.

#include <cstddef>
#include <cstdint>
#include <cstring>

struct GlyphKey {
  uint8_t slot;
  unsigned char code;
  bool dashed;
  double h, wf, angle;
  bool operator==(const GlyphKey& o) const {
    return slot == o.slot && code == o.code && dashed == o.dashed && std::memcmp(&h, &o.h, sizeof h) == 0 &&
           std::memcmp(&wf, &o.wf, sizeof wf) == 0 && std::memcmp(&angle, &o.angle, sizeof angle) == 0;
  }
};

struct GlyphKeyHash {
  std::size_t operator()(const GlyphKey& k) const {
    std::size_t v =
        (static_cast<std::size_t>(k.slot) << 9) | (static_cast<std::size_t>(k.code) << 1) | k.dashed;
    for (double d : {k.h, k.wf, k.angle}) {
      uint64_t bits;
      std::memcpy(&bits, &d, sizeof bits);
      v = (v ^ bits) * 0x9E3779B97F4A7C15ull;
      v ^= v >> 29;
    }
    return v;
  }
};
