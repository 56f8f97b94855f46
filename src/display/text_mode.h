#pragma once

// Texts as the PDF and EPS writers put them into a file in their text mode
// ("for later editing"): each line a string in the standard Helvetica font,
// which every reader of those formats has, at one size in both formats.
// The same lines measure the ink such a text leaves, so that the page
// holds what is written rather than the strokes of the text's own font.

#include <string>
#include <vector>

#include "display/ink_box.h"
#include "display/outdev.h"

// The font size of a written text in paper millimetres: its capitals stand
// about as tall as those of the stroke fonts at the text's height.
double text_mode_font_size_mm(double height);

// Whether a text byte is written: the printable Latin-1 characters. Control
// codes (a tab, C1 codes) have no glyph in the font and are left out.
bool text_mode_writes(unsigned char code);

// One line of a written text: where its baseline starts (view
// coordinates) and the bytes written.
struct TextModeLine {
  double x = 0.0, y = 0.0;
  std::string text;
};

// The lines of a text as written. The first starts at the insertion point,
// moved back along the baseline by the text's width in its own font for the
// right alignment and by half of it for the centred one; every next line
// one line pitch further down in the text's frame, with the same offset.
// Width factor, character spacing and fit length change nothing else.
std::vector<TextModeLine> text_mode_lines(const OutdevText& t);

// The ink of a written text: each character's box in the standard font,
// turned with the text.
void ink_add_text_mode(InkBox& box, const OutdevText& t);
