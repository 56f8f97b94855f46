#pragma once

// Finding the elements near a small window of the plan without walking the
// whole list: a grid over the plan boxes of the elements, built when first
// asked and then kept up to date with the list. The list's journal tells it
// which elements left the list or changed in place, and the elements
// appended since are filed as they come; only when the list changed beyond
// what the journal tells (elem_touch()), or very much of it changed, is the
// grid built again.

#include <chrono>
#include <cstddef>
#include <vector>

#include "model/elem.h"

// The plan box of every point of e that the plan snap can catch or cross:
// end and outline points, arc squares, texts' insertion points, the points
// of 3D kinds in x and y. False for an element without points.
struct PlanBox {
  double xmin = 0.0, ymin = 0.0, xmax = 0.0, ymax = 0.0;
};
bool elem_plan_box(const ElemHeader* e, PlanBox* box);

// Replaces out with the elements whose plan box meets the window (borders
// included), visible or not, in list order. Below `threshold` elements the
// list is walked instead; the result is the same.
void elem_grid_query(double xmin, double ymin, double xmax, double ymax, std::size_t threshold,
                     std::vector<const ElemHeader*>& out);

// Replaces out with the elements that have no plan box (no points at all),
// in list order; the same threshold as elem_grid_query.
void elem_grid_query_boxless(std::size_t threshold, std::vector<const ElemHeader*>& out);

// Goes on building the grid for the current list until it is ready or the
// deadline has passed. True when queries are quick now (the grid is ready,
// or the list is below the threshold and is walked).
bool elem_grid_prepare(std::size_t threshold, std::chrono::steady_clock::time_point deadline);

// Forgets the grid (tests; the next query builds it again).
void elem_grid_reset();
