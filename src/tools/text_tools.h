#pragma once

// The text tools: placing texts and changing existing ones.
//
// A text is placed at a start point (and, for justified texts, fitted to an
// end point), either typed line by line in the prompt line or written in the
// separate text editor, chosen per key by its toggle in text_use_editor. The
// editor stays open beside the drawing while the tool goes on; its Apply and
// Cancel arrive later, possibly after the tool has ended, and reach
// text_edit_finish. What the text will be, but for its content, waits in a
// staging record meanwhile: only the last staging counts.
//
// A start point exactly on the insertion point of a text on the current
// layer continues that text: the new lines stand one line step below it, in
// its style.
//
// Texts are ISO-8859-1 bytes here; the interface converts at its widgets.

#include <string>
#include <string_view>

#include "model/elem.h"
#include "model/fixed_text.h"

// The handlers of the b_text_ keys: b_text_text asks for the direction
// first, b_text_x writes at angle 0, b_text_y at a right angle.
void tool_text_text();
void tool_text_x();
void tool_text_y();
void tool_text_alter_content();
void tool_text_alter_style();
void tool_text_alter_format();
void tool_text_alter_size();

// The two ways of placing texts at the given angle, after asking for the
// direction first when ask is nonzero: typed line by line at "Text:", each
// line one undo step and the next line one line step below; or staged for
// the separate editor at every start point given.
void text_place_prompted(double angle, int ask);
void text_place_in_editor(double angle, int ask);

// The end of the separate editor: Apply with its text (ISO-8859-1, may hold
// newlines), Cancel with null. Apply makes one text from the staging as one
// undo step; Cancel of a content change puts the old text back, group
// included. Either ends the staging.
void text_edit_finish(const char* text);

// Everything a text element holds but its content.
struct TextParams {
  int layer = 0;
  int group = 0;
  int pen = 0;
  int line_type = 0;
  double x = 0.0, y = 0.0;
  FixedText<FONT_NAME_LEN> font;
  int alignment = TEXT_LEFT;
  double angle = 0.0;
  double height = 0.0;  // paper mm
  double width_factor = 1.0;
  double spacing = 0.0;
  double line_spacing = 0.0;
  double fit_length = 0.0;
};

// A new text at (x, y) from the current settings: cur_layer, the text
// preset's pen (the guide pen in guide mode), line type, font, width,
// spacing and line spacing, text_size, text_format; group 0.
TextParams text_params_current(double x, double y, double angle, double fit_length);
// The parameters of an existing text.
TextParams text_params_of(const TextElem& t);
// Whether a text of this height (paper mm) can be made: above 0. Otherwise
// the error box says so and names where the size is set.
bool text_height_ok(double height);
// From a line of a text to the next: (sin a, -cos a) times the line spacing
// times the height in metres at drawing_scale.
Point2 text_line_step(double angle, double height, double line_spacing);
// The text a new one at (x, y) continues: the first text of the list on the
// current layer whose insertion point is exactly (x, y); null when none.
const TextElem* text_continued(double x, double y);
// Appends the text with these parameters and content; returns it.
ElemHeader* text_make(const TextParams& p, std::string_view text);

// The staging for the editor. A content change pending in the editor is
// finished as its Cancel would before anything else is staged, so that its
// old text is never lost or put back in another text's place.
// Stages a new text (an editor already open keeps what was typed).
void text_stage_placement(const TextParams& p);
// Takes t out of the drawing as one undo step and opens the editor with its
// content, to be put back changed by Apply (group 0) or as it was by Cancel.
void text_stage_alteration(TextElem* t);
// Whether a content change waits for the editor.
bool text_alteration_pending();
