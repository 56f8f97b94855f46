#pragma once

// The interface font and the style file "kavro.gtkrc" that carries it.
//
// The style file is GTK 3 CSS. Its first line names the font as the font
// dialog gives it (a Pango name such as "DejaVu Sans Bold 12"); the rule
// below sets family, weight, style and size for every widget. Reading takes
// the name from that first line, and also from the "font = "..."" line of
// older style files.

#include <string>

#include "model/fixed_text.h"

inline constexpr int GUI_FONT_LEN = 128;
// The style file's first line: the header, the font name, the end.
inline constexpr const char* GUI_STYLE_HEADER = "/* Kavro interface font: ";
inline constexpr const char* GUI_STYLE_HEADER_END = " */";

// The interface font chosen in the font dialog.
extern FixedText<GUI_FONT_LEN> gui_font;

// Whether name can be the interface font: not empty, shorter than
// GUI_FONT_LEN, and free of quotes, backslashes, control characters and
// "*/", which would break the style file.
bool gui_font_name_ok(const char* name);

// The style file's text for a font name (a Pango name; an old X font name
// starting with "-" is read for its family, weight, slant and size). An
// unusable name gives the file without a rule.
std::string gui_style_css(const char* font);

// The font a style file names, or "" when it names none or cannot be read.
std::string gui_style_read_font(const std::string& path);

// Writes the style file for font to path through a temporary file in the
// same folder, renamed over it; false (and the old file kept) on failure.
bool gui_style_write(const std::string& path, const char* font);

// The style file that is read: "$HOME/.kavro3/kavro.gtkrc" when it exists,
// else "./kavro.gtkrc"; "" when neither does.
std::string gui_style_find();

// Makes the interface use the font the style file at path names (the toolkit
// must be started). A missing file or font leaves the toolkit's own style.
void gui_style_load(const std::string& path);

// The close action of the font dialog: takes the font chosen there into
// gui_font. A name that cannot be used is refused with a message.
void gui_font_take_selection();

// The interface font change: writes the style file with gui_font into the
// user's folder (else the working folder), applies it, closes the value
// entry, forgets the pressed tool buttons, destroys the cached dialogs and
// rebuilds the main window. A file that cannot be written in either place is
// reported on standard output and changes nothing.
void gui_font_apply();

// Adds the font dialog's row to the dialog table: its "Use" button (z_c_font)
// takes the chosen font and applies it.
void gui_font_add_rows();
