// Pictures of the view bar under the main view and of the snap bar.

#include <cmath>

#include "pictures.h"

namespace {

using namespace ink;

// A small cross as the program marks guide points.
void guide_cross(Canvas& c, int x, int y) {
  c.line(x - 2, y, x + 2, y, blue);
  c.line(x, y - 2, x, y + 2, blue);
}

void draw_hlp(Canvas& c) {
  // An arc shows the guide cross at its centre.
  c.arc(7, 8, 6.6, 6.6, 45, 315, black);
  guide_cross(c, 7, 8);
}

void draw_abk(Canvas& c) {
  // Coloured strokes turn into black ones.
  const char pens[] = {red, green, blue};
  for (int i = 0; i < 3; ++i) {
    int y = 2 + i * 5;
    c.fill_rect(0, y, 4, y + 1, pens[i]);
    c.fill_rect(11, y, 15, y + 1, black);
  }
  c.line(6, 7, 7, 7, dark);
  c.line(6, 8, 7, 8, dark);
  c.arrow_head(9.5, 7.5, 1, 0, 2.5, 2.5, dark);
}

void draw_fat(Canvas& c) {
  // The same stroke at three pen widths.
  c.line(1, 2, 14, 2, black);
  c.fill_rect(1, 6, 14, 7, black);
  c.fill_rect(1, 11, 14, 13, black);
}

void draw_showall(Canvas& c) {
  // The corners of the visible area around a small drawing.
  const int e = 15;
  for (int s = 0; s < 4; ++s) {
    int x = (s & 1) ? e : 0, y = (s & 2) ? e : 0;
    int dx = (s & 1) ? -1 : 1, dy = (s & 2) ? -1 : 1;
    c.line(x, y, x + 3 * dx, y, blue);
    c.line(x, y, x, y + 3 * dy, blue);
  }
  c.polygon({{4, 7}, {7.5, 3.5}, {11, 7}}, black, white);
  c.polygon({{4, 7}, {11, 7}, {11, 12}, {4, 12}}, black, white);
  c.fill_rect(6, 9, 7, 12, dark);
}

void draw_pan(Canvas& c) {
  // A four-way arrow, wide like its button.
  c.fill_rect(4, 7, 23, 8, blue);
  c.fill_rect(13, 3, 14, 12, blue);
  c.arrow_head(0, 7.5, -1, 0, 4.5, 4, blue);
  c.arrow_head(27, 7.5, 1, 0, 4.5, 4, blue);
  c.arrow_head(13.5, 0, 0, -1, 3.5, 4, blue);
  c.arrow_head(13.5, 15, 0, 1, 3.5, 4, blue);
}

void draw_pap(Canvas& c) {
  // A screen with the turning arrow of a redraw.
  c.rect(0, 0, 19, 12, black);
  c.fill_rect(1, 1, 18, 11, white);
  c.line(7, 13, 12, 13, black);
  c.line(4, 14, 15, 14, black);
  c.art(5, 2,
        {
            "  bbbb   ",
            " b    b b",
            "b      bb",
            "b     bbb",
            "b        ",
            "b       b",
            " b     b ",
            "  bbbbb  ",
        });
}

void draw_layer(Canvas& c) {
  // Three stacked sheets, the top one current.
  for (int i = 2; i >= 0; --i) {
    int y = 2 + i * 7;
    c.polygon({{12.0, double(y)}, {39.0, double(y)}, {27.0, y + 12.0}, {0.0, y + 12.0}}, black,
              i == 0 ? pale : white);
  }
  c.line(11, 11, 19, 3, navy);
  c.line(19, 3, 31, 3, navy);
}

void draw_snap1(Canvas& c) {
  c.line(0, 14, 14, 0, black);
  c.line(0, 5, 15, 12, black);
  draw_snap_box(c, 6, 8, 3);
}

void draw_snap2(Canvas& c) {
  c.line(1, 9, 13, 9, black);
  c.line(1, 7, 1, 11, black);
  c.line(13, 7, 13, 11, black);
  draw_snap_box(c, 7, 9, 3);
}

void draw_snap3(Canvas& c) {
  c.line(0, 9, 15, 9, black);
  for (int x : {0, 5, 10, 15}) c.line(x, 7, x, 11, black);
  draw_snap_box(c, 10, 9, 3);
}

void draw_snap4(Canvas& c) {
  c.ellipse(6, 10, 5.5, 5.5, black);
  c.line(4, 0, 15, 11, black);
  draw_snap_box(c, 10, 6, 3);
}

void draw_adsnap(Canvas& c) {
  // The points that snapping offers along a line.
  c.line(2, 13, 13, 2, black);
  for (auto [x, y] : {std::pair{2, 13}, {13, 2}}) {
    c.rect(x - 2, y - 2, x + 2, y + 2, blue);
  }
  c.rect(5, 8, 9, 12, blue);
  c.put(7, 8, black);
}

void curved_arrow(Canvas& c, bool redo) {
  // A turning-back arrow; redo is undo mirrored.
  Canvas a(24, 24);
  a.fill_polygon({{0.5, 8.5}, {8, 1}, {8, 16}}, blue);
  a.fill_rect(8, 7, 14, 10, blue);
  a.ring(14, 14.5, 8, 8, 4, -90, 90, blue);
  a.fill_rect(9, 19, 14, 22, blue);
  a.rim(navy);
  c.paste(a, 0, 0, redo);
}

void draw_undo(Canvas& c) { curved_arrow(c, false); }
void draw_redo(Canvas& c) { curved_arrow(c, true); }

}  // namespace

void draw_snap_box(Canvas& c, int x, int y, int half) {
  c.rect(x - half, y - half, x + half, y + half, blue);
  c.put(x, y, black);
}

void add_bar_pictures(std::vector<Picture>& out) {
  out.insert(out.end(), {
                            {"hlp", 16, 16, draw_hlp},
                            {"abk", 16, 16, draw_abk},
                            {"fat", 16, 16, draw_fat},
                            {"showall", 16, 16, draw_showall},
                            {"pan", 28, 16, draw_pan},
                            {"pap", 20, 16, draw_pap},
                            {"layer", 40, 32, draw_layer},
                            {"snap1", 16, 16, draw_snap1},
                            {"snap2", 16, 16, draw_snap2},
                            {"snap3", 16, 16, draw_snap3},
                            {"snap4", 16, 16, draw_snap4},
                            {"adsnap", 16, 16, draw_adsnap},
                            {"undo", 24, 24, draw_undo},
                            {"redo", 24, 24, draw_redo},
                        });
}
