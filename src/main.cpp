#include <cstdio>

#include "display/outdev.h"
#include "model/defaults.h"
#include "model/layers.h"

int main() {
  main_init_defaults();
  outdev_init_screen_slots();
  drawing_free();
  std::puts("Kavro has no main window yet: this build holds the drawing model only.");
  return 1;
}
