#pragma once

// The texts the main window shows, made without the toolkit.

#include <string>

#include "shell/mainwin_tables.h"

// A size button's text: the text size in the size unit, the fixed opening,
// door and window widths and the profile size in the length unit.
std::string mainwin_size_text(MainwinSize which);

// The title from its format (the translation of "KAVRO  File: %s  Layer: %s
// Scale: 1:%.0f", whose conversions the translation table has checked), the
// drawing's path, the layer's name and the drawing scale; never cut.
std::string mainwin_title_format(const char* format, const char* file, const char* layer, double scale);
