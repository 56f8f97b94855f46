// Point-in-polygon and segment intersection over a million random cases:
// the tests that picking, snapping and hatching run for every element.
#include "model/geom.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

constexpr int CASES = 1000000;

// A 40-point star with a square hole, as a room outline with a courtyard.
std::vector<Point2> star_with_hole() {
  std::vector<Point2> pts;
  for (int i = 0; i < 40; ++i) {
    const double r = i % 2 ? 6.0 : 10.0;
    const double a = i * GEOM_PI / 20;
    pts.push_back(Point2{r * std::cos(a), r * std::sin(a), 0});
  }
  pts.push_back(CONTOUR_END);
  for (Point2 p : {Point2{-2, -2, 0}, Point2{-2, 2, 0}, Point2{2, 2, 0}, Point2{2, -2, 0}}) pts.push_back(p);
  pts.push_back(CONTOUR_END);
  return pts;
}

std::vector<double> random_coords(int n, unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> coord(-12.0, 12.0);
  std::vector<double> out(n);
  for (double& v : out) v = coord(rng);
  return out;
}

void BM_PointInContours(benchmark::State& state) {
  const std::vector<Point2> poly = star_with_hole();
  const int n = static_cast<int>(poly.size());
  const std::vector<double> c = random_coords(2 * CASES, 1);
  for (auto _ : state) {
    int inside = 0;
    for (int i = 0; i < CASES; ++i) inside += geom_point_in_contours(c[2 * i], c[2 * i + 1], n, poly.data());
    benchmark::DoNotOptimize(inside);
  }
  state.SetItemsProcessed(state.iterations() * CASES);
}
BENCHMARK(BM_PointInContours)->Unit(benchmark::kMillisecond);

// Two random segments: the crossing of their lines, then whether it lies on
// both, the way the trimming and snapping code asks.
void BM_SegmentIntersection(benchmark::State& state) {
  const std::vector<double> c = random_coords(8 * CASES, 2);
  for (auto _ : state) {
    int hits = 0;
    for (int i = 0; i < CASES; ++i) {
      const double* s = &c[8 * i];
      if (!geom_intersect_lines(s[0], s[1], s[2], s[3], s[4], s[5], s[6], s[7])) continue;
      const double ix = geo_result.ix, iy = geo_result.iy;
      geom_project_on_segment(ix, iy, s[0], s[1], s[2], s[3]);
      if (geo_result.proj_t < TOL_PARAM_LOW || geo_result.proj_t > TOL_PARAM_HIGH) continue;
      geom_project_on_segment(ix, iy, s[4], s[5], s[6], s[7]);
      if (geo_result.proj_t < TOL_PARAM_LOW || geo_result.proj_t > TOL_PARAM_HIGH) continue;
      ++hits;
    }
    benchmark::DoNotOptimize(hits);
  }
  state.SetItemsProcessed(state.iterations() * CASES);
}
BENCHMARK(BM_SegmentIntersection)->Unit(benchmark::kMillisecond);

}  // namespace
