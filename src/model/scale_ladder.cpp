#include "model/scale_ladder.h"

#include <cmath>
#include <initializer_list>

double scale_ladder[SCALE_LADDER_SIZE];
int scale_ladder_count = SCALE_LADDER_SIZE;

void view_scale_ladder_metric() {
  // 10^k x (1, 2, 10/3, 5) for k = -4 .. 5; the third step is 10/3, not 3.
  int i = 0;
  for (int k = -4; k <= 5; ++k) {
    const double p = std::pow(10.0, k);
    scale_ladder[i++] = p;
    scale_ladder[i++] = 2.0 * p;
    scale_ladder[i++] = 10.0 * p / 3.0;
    scale_ladder[i++] = 5.0 * p;
  }
  scale_ladder_count = SCALE_LADDER_SIZE;
}

void view_scale_ladder_imperial() {
  int i = 0;
  for (int k = 0; k <= 11; ++k) scale_ladder[i++] = 1.0 / (12.0 * std::ldexp(1.0, 11 - k));
  for (double v : {1.0 / 6.0, 0.25, 1.0 / 3.0, 0.5, 1.0, 2.0, 10.0 / 3.0, 4.0, 6.0}) scale_ladder[i++] = v;
  for (int j = 0; j <= 18; ++j) scale_ladder[i++] = 12.0 * std::ldexp(1.0, j);
  scale_ladder_count = SCALE_LADDER_SIZE;
}

double scale_ladder_step(double n, int direction) {
  const int count = scale_ladder_count < SCALE_LADDER_SIZE ? scale_ladder_count : SCALE_LADDER_SIZE;
  double result = n;
  if (direction < 0) {
    for (int i = 0; i < count; ++i)
      if (scale_ladder[i] < n) result = scale_ladder[i];
  } else {
    for (int i = 0; i < count; ++i)
      if (scale_ladder[i] > n) return scale_ladder[i];
  }
  return result;
}
