#pragma once

// Finding the walls near a place without testing every wall of the
// drawing: a grid over the walls' plan boxes. The joint bookkeeping of the
// edits and the connection of all walls look up a wall's neighbours here,
// so that their work grows with the walls they touch, not with the square
// of the drawing.

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "model/elem.h"

// The plan box of a wall's lower corners.
struct WallBox {
  double xmin = 0.0, ymin = 0.0, xmax = 0.0, ymax = 0.0;
};
WallBox wall_plan_box(const WallElem& w);

class WallIndex {
 public:
  // Indexes the walls by their present corners; the walls must keep them
  // while the index is asked.
  explicit WallIndex(const std::vector<WallElem*>& walls);
  // The positions in the given list of the walls whose boxes, each grown by
  // pad, overlap the box grown by pad: ascending, each once. Walls farther
  // away may come too; the caller tests them.
  std::vector<std::size_t> near(const WallBox& box, double pad) const;
  std::vector<std::size_t> near(const WallElem& w, double pad) const { return near(wall_plan_box(w), pad); }

 private:
  struct Cell {
    int64_t x, y;
    bool operator==(const Cell& o) const { return x == o.x && y == o.y; }
  };
  struct CellHash {
    std::size_t operator()(const Cell& c) const {
      return std::hash<int64_t>()(c.x * 73856093LL ^ c.y * 19349663LL);
    }
  };
  int64_t cell_of(double v) const;
  double size_ = 1.0;
  std::vector<WallBox> boxes_;
  std::unordered_map<Cell, std::vector<std::size_t>, CellHash> cells_;
  // Walls too large for the grid (or with corners far off): always asked.
  std::vector<std::size_t> large_;
};
