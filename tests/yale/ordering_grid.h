// Sparse patterns for the solver tests and benchmarks: row storage built from
// cells of fully coupled unknowns, the finite-element grid of the rock
// sample, and the size of the LU factors an order gives.
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

// Entries of L + U (diagonal once) when the symmetrised structure is
// factorized in the order with inverse ip: symbolic elimination along the
// elimination tree, column k below the diagonal being its own pattern merged
// with those of the columns whose first sub-diagonal entry is k.
inline int64_t lu_entries(const structure& s, const std::vector<int32_t>& ip) {
  const int32_t n = s.n;
  std::vector<std::vector<int32_t>> adj(n + 1), below(n + 1), children(n + 1);
  for (int32_t i = 1; i <= n; ++i)
    for (int32_t j = s.ia[i - 1]; j < s.ia[i]; ++j) {
      const int32_t a = ip[i - 1], b = ip[s.ja[j - 1] - 1];
      if (a != b) adj[std::min(a, b)].push_back(std::max(a, b));
    }
  std::vector<int32_t> seen(n + 1, 0);
  int64_t strict_lower = 0;
  for (int32_t k = 1; k <= n; ++k) {
    auto& col = below[k];
    const auto add = [&](int32_t r) {
      if (r > k && seen[r] != k) seen[r] = k, col.push_back(r);
    };
    for (int32_t r : adj[k]) add(r);
    for (int32_t c : children[k]) {
      for (int32_t r : below[c]) add(r);
      std::vector<int32_t>().swap(below[c]);  // a column feeds only its parent
    }
    strict_lower += static_cast<int64_t>(col.size());
    if (!col.empty()) children[*std::min_element(col.begin(), col.end())].push_back(k);
  }
  return n + 2 * strict_lower;
}
