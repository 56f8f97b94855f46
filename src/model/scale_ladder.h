#pragma once

// The 40 scale denominators the scale steps move between, in increasing
// order. Metric for figure units m to feet, imperial for feet and inches.

inline constexpr int SCALE_LADDER_SIZE = 40;
extern double scale_ladder[SCALE_LADDER_SIZE];
extern int scale_ladder_count;

void view_scale_ladder_metric();
void view_scale_ladder_imperial();

// The neighbour of denominator n on the ladder: for direction < 0 the
// largest entry smaller than n, else the first entry larger than n; n itself
// when there is none.
double scale_ladder_step(double n, int direction);
