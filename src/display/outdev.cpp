#include "display/outdev.h"

thread_local constinit OutputDevice outdev;

bool outdev_pen_in_pass(uint8_t pen) { return static_cast<int32_t>(pen) == outdev.context.pen_pass; }
