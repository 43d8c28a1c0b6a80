// Global numbering of the unknowns: the tables of small grids worked out by
// hand, and every number 1..N naming one node value or edge, the same in all
// cells that share it.
#include <gtest/gtest.h>

#include <array>
#include <map>
#include <set>
#include <tuple>
#include <utility>

#include "fem/fem.h"

TEST(FemNumbering, SmallGridsByHand) {
  const std::tuple<int, int, std::array<std::int32_t, local_dofs>> cells[] = {  // n x n, cell
      {1, 1, {1, 6, 17, 12, 2, 7, 18, 13, 10, 11, 5, 16, 3, 8, 19, 14, 4, 9, 20, 15}},
      {2, 1, {1, 6, 23, 18, 2, 7, 24, 19, 15, 16, 5, 22, 3, 8, 25, 20, 4, 9, 26, 21}},
      {2, 4, {23, 28, 45, 40, 24, 29, 46, 41, 33, 34, 27, 44, 25, 30, 47, 42, 26, 31, 48, 43}}};
  dof_table xnod(2, 4);
  xnod(5, 1) = -5;  // beyond these grids: left as it is
  for (const auto& [n, ic, want] : cells) {
    global_numbering(n, n, xnod);
    for (int l = 1; l <= local_dofs; ++l) EXPECT_EQ(xnod(ic, l), want[l - 1]) << n << " " << ic;
  }
  EXPECT_EQ(xnod(5, 1), -5);
  EXPECT_EQ(unknowns(1, 1), 20);
  EXPECT_EQ(unknowns(2, 2), 48);
  EXPECT_EQ(unknowns(60, 60), 22204);
}

// Locals come in groups of four (solid-1 x, solid-1 y, fluid, solid-3 x,
// solid-3 y); a group and a place in half cells name one unknown. A place
// seen again has the number it had; there are N places, numbered 1..N.
TEST(FemNumbering, EachNumberNamesOneNodeValueOrEdge) {
  const int corner_x[4] = {0, 2, 2, 0}, corner_y[4] = {0, 0, 2, 2};  // corners 1..4
  const int edge_x[4] = {0, 2, 1, 1}, edge_y[4] = {1, 1, 0, 2};      // edges L, R, B, T
  for (auto [nx, ny] : {std::pair{1, 1}, {2, 2}, {3, 2}, {1, 5}, {5, 1}, {7, 4}, {60, 60}}) {
    dof_table xnod(nx, ny);
    global_numbering(nx, ny, xnod);
    std::map<std::array<int, 3>, std::int32_t> number;
    std::set<std::int32_t> used;
    for (int j = 1; j <= nx; ++j) {
      for (int k = 1; k <= ny; ++k) {
        for (int l = 1; l <= local_dofs; ++l) {
          const int group = (l - 1) / 4, a = (l - 1) % 4;
          const std::array<int, 3> key{group, 2 * j + (group == 2 ? edge_x : corner_x)[a],
                                       2 * k + (group == 2 ? edge_y : corner_y)[a]};
          const std::int32_t g = xnod((k - 1) * nx + j, l);
          ASSERT_EQ(number.try_emplace(key, g).first->second, g) << j << "," << k << " " << l;
          used.insert(g);
        }
      }
    }
    const auto n = static_cast<std::size_t>(unknowns(nx, ny));
    EXPECT_EQ(number.size(), n) << nx << "x" << ny;
    EXPECT_TRUE(used.size() == n && *used.begin() == 1 && *used.rbegin() == unknowns(nx, ny));
  }
}
