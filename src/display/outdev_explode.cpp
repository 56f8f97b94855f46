#include "display/outdev_explode.h"

#include "model/elem.h"
#include "model/layers.h"

void outdev_explode_line(uint8_t pen, uint8_t lt, double x1, double y1, double x2, double y2) {
  if (pen == PEN_GUIDE) return;
  elem_new_line(cur_layer, pen, lt, x1, y1, x2, y2);
}

void outdev_explode_arc(uint8_t pen, uint8_t lt, double cx, double cy, double rx, double ry, double sweep,
                        double start, double rotation) {
  elem_new_arc(cur_layer, pen, lt, cx, cy, rx, ry, sweep, start, rotation);
}
