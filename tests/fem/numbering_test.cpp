// Global numbering of the unknowns: the tables of small grids worked out by
// hand and the sharing of nodes and edges between neighbouring cells.
#include <gtest/gtest.h>

#include <map>
#include <tuple>
#include <utility>
#include <vector>

#include "fem/fem.h"

namespace {

std::vector<std::int32_t> cell_row(const dof_table& xnod, int ic) {
  std::vector<std::int32_t> row;
  for (int l = 1; l <= local_dofs; ++l) row.push_back(xnod(ic, l));
  return row;
}

}  // namespace

TEST(FemNumbering, SmallGridsByHand) {
  dof_table xnod;
  global_numbering(1, 1, xnod);
  EXPECT_EQ(unknowns(1, 1), 20);
  EXPECT_EQ(cell_row(xnod, 1), (std::vector<std::int32_t>{1, 6, 17, 12, 2, 7, 18, 13, 10, 11, 5,
                                                          16, 3, 8, 19, 14, 4, 9, 20, 15}));
  global_numbering(2, 2, xnod);
  EXPECT_EQ(unknowns(2, 2), 48);
  EXPECT_EQ(cell_row(xnod, 1), (std::vector<std::int32_t>{1, 6, 23, 18, 2, 7, 24, 19, 15, 16, 5,
                                                          22, 3, 8, 25, 20, 4, 9, 26, 21}));
  EXPECT_EQ(cell_row(xnod, 4), (std::vector<std::int32_t>{23, 28, 45, 40, 24, 29, 46, 41, 33, 34,
                                                          27, 44, 25, 30, 47, 42, 26, 31, 48, 43}));
  EXPECT_EQ(unknowns(60, 60), max_unknowns);
}

TEST(FemNumbering, RowsBeyondTheGridUntouched) {
  dof_table xnod;
  xnod(7, 1) = -5;
  global_numbering(3, 2, xnod);
  EXPECT_EQ(xnod(7, 1), -5);
}

// Every number 1..N names exactly one node unknown or edge: the same node
// (by position and kind) or the same edge in all cells that share it, and
// different ones elsewhere.
TEST(FemNumbering, SharedNodesAndEdgesCoverOneToN) {
  for (auto [nx, ny] : {std::pair{1, 1}, {2, 2}, {3, 2}, {1, 5}, {7, 4}, {60, 60}}) {
    dof_table xnod;
    global_numbering(nx, ny, xnod);
    // key: (kind, x, y) with doubled coordinates so edge midpoints are integral
    std::map<std::tuple<int, int, int>, std::int32_t> owner;
    std::vector<int> seen(unknowns(nx, ny) + 1, 0);
    const int cx[4] = {0, 2, 2, 0}, cy[4] = {0, 0, 2, 2};
    for (int k = 1; k <= ny; ++k) {
      for (int j = 1; j <= nx; ++j) {
        const int ic = (k - 1) * nx + j, x0 = 2 * (j - 1), y0 = 2 * (k - 1);
        std::vector<std::tuple<int, int, int>> where;
        for (int kind = 0; kind < 4; ++kind)  // s1x, s1y, s3x, s3y per corner
          for (int a = 0; a < 4; ++a) where.emplace_back(kind, x0 + cx[a], y0 + cy[a]);
        const int locals[16] = {1, 2, 3, 4, 5, 6, 7, 8, 13, 14, 15, 16, 17, 18, 19, 20};
        std::vector<std::pair<std::tuple<int, int, int>, int>> items;
        for (int i = 0; i < 16; ++i) items.push_back({where[i], locals[i]});
        items.push_back({{4, x0, y0 + 1}, 9});
        items.push_back({{4, x0 + 2, y0 + 1}, 10});
        items.push_back({{4, x0 + 1, y0}, 11});
        items.push_back({{4, x0 + 1, y0 + 2}, 12});
        for (auto& [key, l] : items) {
          const std::int32_t g = xnod(ic, l);
          ASSERT_GE(g, 1);
          ASSERT_LE(g, unknowns(nx, ny));
          auto [it, fresh] = owner.emplace(key, g);
          if (fresh) {
            ASSERT_EQ(seen[g], 0) << "number " << g << " given twice";
            seen[g] = 1;
          } else {
            ASSERT_EQ(it->second, g);
          }
        }
      }
    }
    EXPECT_EQ(static_cast<std::int32_t>(owner.size()), unknowns(nx, ny)) << nx << "x" << ny;
  }
}
