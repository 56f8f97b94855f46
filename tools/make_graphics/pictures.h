#pragma once

// The drawings of the installation's pictures, grouped by where they are shown.

#include <string_view>
#include <vector>

#include "canvas.h"

struct Picture {
  std::string_view name;  // file name without ".xpm"
  int width, height;
  void (*draw)(Canvas&);
};

void add_bar_pictures(std::vector<Picture>& out);     // view bar and snap bar
void add_page_pictures(std::vector<Picture>& out);    // tool pages
void add_dialog_pictures(std::vector<Picture>& out);  // dialogs, logo

// Shared motifs.
// A solid arrow with its tip at (tx, ty) pointing along the angle in degrees
// (0 right, 90 up), `length` long; filled with the accent and outlined.
void draw_arrow(Canvas& c, double tx, double ty, double angle, double length, double shaft, double head,
                double head_length);
// The marker drawn around a snap-to point.
void draw_snap_box(Canvas& c, int x, int y, int half);
