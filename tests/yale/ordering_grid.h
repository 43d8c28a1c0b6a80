// Sparse patterns for the solver tests and benchmarks: row storage built from
// cells of fully coupled unknowns and the finite-element grid of the rock
// sample.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

struct structure {
  int32_t n = 0;
  std::vector<int32_t> ia{1}, ja;  // 1-based row storage, columns ascending
  int32_t entries() const { return ia.back() - 1; }
};

// Pattern in which the unknowns of each cell are all coupled (diagonal
// included), stored with both triangles.
inline structure from_cells(int32_t n, const std::vector<std::vector<int32_t>>& cells) {
  std::vector<std::vector<int32_t>> rows(n + 1);
  for (const auto& cell : cells)
    for (int32_t r : cell) rows[r].insert(rows[r].end(), cell.begin(), cell.end());
  structure s{n, {1}, {}};
  for (int32_t r = 1; r <= n; ++r) {
    std::sort(rows[r].begin(), rows[r].end());
    rows[r].erase(std::unique(rows[r].begin(), rows[r].end()), rows[r].end());
    s.ja.insert(s.ja.end(), rows[r].begin(), rows[r].end());
    s.ia.push_back(static_cast<int32_t>(s.ja.size()) + 1);
  }
  return s;
}

// Finite-element grid of nx x ny cells numbered as the run numbers them:
// 4 unknowns per node (two solids, two components), 1 fluid unknown per
// edge, 20 coupled unknowns per cell.
inline structure fe_grid(int32_t nx, int32_t ny) {
  const int32_t r = 6 * nx + 5;
  std::vector<std::vector<int32_t>> cells;
  for (int32_t k = 1; k <= ny; ++k)
    for (int32_t j = 1; j <= nx; ++j) {
      const int32_t s = (k - 1) * r + 5 * (j - 1), t = k * r + 5 * (j - 1);
      const int32_t left = (k - 1) * r + 5 * nx + 4 + j;
      std::vector<int32_t> cell{left, left + 1, s + 5, t + 5};  // fluid on the four edges
      for (int32_t corner : {s + 1, s + 6, t + 6, t + 1})
        for (int32_t c = 0; c < 4; ++c) cell.push_back(corner + c);
      cells.push_back(cell);
    }
  return from_cells(r * ny + 5 * nx + 4, cells);
}
