#include "model/wall_index.h"

#include <algorithm>
#include <cmath>

namespace {

// A wall that would lie in more cells than this is kept aside and offered
// for every question.
constexpr int64_t MAX_CELLS = 64;

}  // namespace

WallBox wall_plan_box(const WallElem& w) {
  WallBox b{w.corner[0].x, w.corner[0].y, w.corner[0].x, w.corner[0].y};
  for (int i = 1; i < 4; ++i) {
    b.xmin = std::min(b.xmin, w.corner[i].x);
    b.ymin = std::min(b.ymin, w.corner[i].y);
    b.xmax = std::max(b.xmax, w.corner[i].x);
    b.ymax = std::max(b.ymax, w.corner[i].y);
  }
  return b;
}

int64_t WallIndex::cell_of(double v) const { return static_cast<int64_t>(std::floor(v / size_)); }

WallIndex::WallIndex(const std::vector<WallElem*>& walls) {
  boxes_.reserve(walls.size());
  // Cells as large as a typical wall's box: a wall then lies in a few
  // cells, and a cell holds a few walls.
  double sum = 0.0;
  std::size_t counted = 0;
  for (const WallElem* w : walls) {
    boxes_.push_back(wall_plan_box(*w));
    const WallBox& b = boxes_.back();
    const double extent = std::max(b.xmax - b.xmin, b.ymax - b.ymin);
    if (std::isfinite(extent)) {
      sum += extent;
      ++counted;
    }
  }
  if (counted > 0 && sum / static_cast<double>(counted) > 1e-3) size_ = sum / static_cast<double>(counted);
  for (std::size_t i = 0; i < boxes_.size(); ++i) {
    const WallBox& b = boxes_[i];
    bool finite = true;
    for (double v : {b.xmin, b.ymin, b.xmax, b.ymax})
      if (!std::isfinite(v) || std::fabs(v / size_) > 1e15) finite = false;
    if (!finite) {
      large_.push_back(i);
      continue;
    }
    const int64_t x0 = cell_of(b.xmin), x1 = cell_of(b.xmax), y0 = cell_of(b.ymin), y1 = cell_of(b.ymax);
    if ((x1 - x0 + 1) * (y1 - y0 + 1) > MAX_CELLS) {
      large_.push_back(i);
      continue;
    }
    for (int64_t x = x0; x <= x1; ++x)
      for (int64_t y = y0; y <= y1; ++y) cells_[Cell{x, y}].push_back(i);
  }
}

std::vector<std::size_t> WallIndex::near(const WallBox& box, double pad) const {
  // A wall qualifies when its box and the asked box, each grown by pad,
  // overlap; its cells then meet the asked box grown by twice pad.
  const WallBox q{box.xmin - pad, box.ymin - pad, box.xmax + pad, box.ymax + pad};
  auto overlaps = [&q, pad](const WallBox& b) {
    return !(b.xmin - pad > q.xmax || b.xmax + pad < q.xmin || b.ymin - pad > q.ymax ||
             b.ymax + pad < q.ymin);
  };
  auto finite = [this](const WallBox& b) {
    for (double v : {b.xmin, b.ymin, b.xmax, b.ymax})
      if (!std::isfinite(v) || std::fabs(v / size_) > 1e15) return false;
    return true;
  };
  std::vector<std::size_t> out;
  const WallBox c{q.xmin - pad, q.ymin - pad, q.xmax + pad, q.ymax + pad};
  if (!finite(c) || std::max(c.xmax - c.xmin, c.ymax - c.ymin) / size_ > 4096.0) {
    // No place, or larger than the grid is worth walking: every box is tested.
    for (std::size_t i = 0; i < boxes_.size(); ++i)
      if (!finite(boxes_[i]) || overlaps(boxes_[i])) out.push_back(i);
    return out;
  }
  for (std::size_t i : large_)
    if (!finite(boxes_[i]) || overlaps(boxes_[i])) out.push_back(i);
  const int64_t x0 = cell_of(c.xmin), x1 = cell_of(c.xmax), y0 = cell_of(c.ymin), y1 = cell_of(c.ymax);
  for (int64_t x = x0; x <= x1; ++x)
    for (int64_t y = y0; y <= y1; ++y) {
      auto it = cells_.find(Cell{x, y});
      if (it == cells_.end()) continue;
      for (std::size_t i : it->second)
        if (overlaps(boxes_[i])) out.push_back(i);
    }
  std::sort(out.begin(), out.end());
  out.erase(std::unique(out.begin(), out.end()), out.end());
  return out;
}
