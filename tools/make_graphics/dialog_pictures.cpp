// Pictures of the dialogs: preset and layer buttons, the layer marks, the
// screen calibration and the about box's logo.

#include <cmath>

#include "pictures.h"

namespace {

using namespace ink;

void draw_trashcan(Canvas& c) {
  c.rect(6, 0, 9, 1, black);
  c.fill_rect(1, 2, 14, 3, dark);
  c.polygon({{2.5, 5}, {12.5, 5}, {11.5, 15}, {3.5, 15}}, black, light);
  for (int x : {5, 7, 10}) c.line(x, 7, x, 13, dark);
  c.line(3, 5, 12, 5, black);
}

void draw_uparrow(Canvas& c) { draw_arrow(c, 7.5, 0.2, 90, 15.3, 6, 14, 7); }
void draw_downarrow(Canvas& c) { draw_arrow(c, 7.5, 14.8, 270, 15.3, 6, 14, 7); }

void draw_lact(Canvas& c) {
  // A pencil: the layer new elements are drawn on.
  c.art(0, 0,
        {
            "                ",
            "           ##   ",
            "          #rr#  ",
            "         #rrrr# ",
            "        #y#rr#  ",
            "       #yyy##   ",
            "      #yyyyy#   ",
            "     #yyyyy#    ",
            "    #yyyyy#     ",
            "   #yyyyy#      ",
            "   #wyyy#       ",
            "  #www##        ",
            "  #ww#          ",
            "  ###           ",
            "  #             ",
            "                ",
        });
}

void draw_lon(Canvas& c) {
  // An open eye: the layer is shown in the background.
  c.fill_ellipse(7.5, 8, 7.2, 4.2, white);
  c.fill_ellipse(7.5, 8, 3.2, 3.2, blue);
  c.fill_rect(7, 7, 8, 8, black);
  c.ellipse(7.5, 8, 7.2, 4.2, black);
}

void draw_loff(Canvas&) {}

void draw_luse(Canvas& c) { c.fill_ellipse(3.5, 8.5, 2.6, 2.6, black); }

void draw_larr(Canvas& c) { c.solid({{0.5, 2.5}, {6.5, 8.5}, {0.5, 14.5}}, navy, blue); }

void draw_aspect(Canvas& c) {
  // Edge to edge the picture is 300 pixels each way: measured with a ruler
  // on the screen it gives the calibration's width and height.
  const int n = 300, e = n - 1;
  c.fill_rect(0, 0, e, e, white);
  for (int i = 30; i < n; i += 30) {
    c.line(i, 1, i, e - 1, light);
    c.line(1, i, e - 1, i, light);
  }
  c.ellipse(149.5, 149.5, 120, 120, black);
  c.rect(0, 0, e, e, black);
  for (int i = 30; i < n; i += 30) {
    int len = i == 150 ? 12 : 6;
    c.line(i, 0, i, len, black);
    c.line(i, e, i, e - len, black);
    c.line(0, i, len, i, black);
    c.line(e, i, e - len, i, black);
  }
  c.fill_rect(14, 149, e - 14, 150, blue);
  c.fill_rect(149, 14, 150, e - 14, blue);
  c.arrow_head(1, 149.5, -1, 0, 14, 6, blue);
  c.arrow_head(e - 1, 149.5, 1, 0, 14, 6, blue);
  c.arrow_head(149.5, 1, 0, -1, 14, 6, blue);
  c.arrow_head(149.5, e - 1, 0, 1, 14, 6, blue);
  c.text(150 + 8, 136, "300", dark, 1);
  c.text(150 - 8 - Canvas::text_width("300"), 158, "300", dark, 1);
}

// The house on the logo: a gabled block in a parallel projection.
void logo_house(Canvas& c, int ox, int oy) {
  auto P = [&](double x, double y) { return Pt{ox + x, oy + y}; };
  // front gable, long side, roof
  c.polygon({P(0, 40), P(0, 70), P(34, 70), P(34, 40), P(17, 22)}, black, white);
  c.polygon({P(34, 40), P(34, 70), P(84, 52), P(84, 22)}, black, pale);
  c.polygon({P(17, 22), P(34, 40), P(84, 22), P(67, 4)}, black, mid);
  c.polygon({P(12, 52), P(22, 52), P(22, 70), P(12, 70)}, black, light);
  for (double x : {42.0, 58.0, 72.0}) {
    double y = 70 - (x - 34) * 18.0 / 50.0 - 24;
    c.polygon({P(x, y), P(x + 8, y - 2.9), P(x + 8, y + 8.1), P(x, y + 11)}, black, white);
  }
  // a dimension line under the front
  c.line(ox, oy + 78, ox + 34, oy + 78, dark);
  for (int x : {0, 34}) c.line(ox + x - 2, oy + 80, ox + x + 2, oy + 76, dark);
  c.line(ox, oy + 73, ox, oy + 81, dark);
  c.line(ox + 34, oy + 73, ox + 34, oy + 81, dark);
}

void draw_logo(Canvas& c) {
  logo_house(c, 14, 16);

  // KAVRO in even strokes.
  const double w = 6, top = 22, bottom = 68, mid_y = 45;
  double x = 118;
  auto stroke = [&](double x0, double y0, double x1, double y1) { c.thick_line(x0, y0, x1, y1, w, navy); };
  // K
  stroke(x + 3, top, x + 3, bottom);
  stroke(x + 31, top, x + 6, mid_y + 4);
  stroke(x + 14, mid_y - 4, x + 31, bottom);
  x += 42;
  // A
  stroke(x + 2, bottom, x + 17, top);
  stroke(x + 17, top, x + 32, bottom);
  stroke(x + 9, 54, x + 25, 54);
  x += 40;
  // V
  stroke(x + 2, top, x + 17, bottom);
  stroke(x + 17, bottom, x + 32, top);
  x += 40;
  // R
  stroke(x + 3, top, x + 3, bottom);
  stroke(x + 3, top, x + 17, top);
  stroke(x + 3, mid_y, x + 17, mid_y);
  c.ring(x + 17, (top + mid_y) / 2, 11.5 + w / 2, 11.5 + w / 2, w, -90, 90, navy);
  stroke(x + 15, mid_y, x + 31, bottom);
  x += 42;
  // O
  c.ring(x + 17, (top + bottom) / 2, 17, (bottom - top) / 2 + w / 2, w, 0, 360, navy);

  c.line(118, 80, 310, 80, dark);
  for (int t : {118, 310}) c.line(t - 3, 83, t + 3, 77, dark);
  c.text(118, 90, "CAD FOR ARCHITECTS", dark, 1);
}

}  // namespace

void add_dialog_pictures(std::vector<Picture>& out) {
  out.insert(out.end(), {
                            {"trashcan", 16, 16, draw_trashcan},
                            {"uparrow", 16, 16, draw_uparrow},
                            {"downarrow", 16, 16, draw_downarrow},
                            {"lact", 16, 16, draw_lact},
                            {"lon", 16, 16, draw_lon},
                            {"loff", 16, 16, draw_loff},
                            {"luse", 8, 16, draw_luse},
                            {"larr", 8, 16, draw_larr},
                            {"aspect", 300, 300, draw_aspect},
                            {"logo", 320, 120, draw_logo},
                        });
}
