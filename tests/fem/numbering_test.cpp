// Global numbering of the unknowns: every number 1..N names one node value
// or edge, the same in all cells that share it; rows past the grid are left
// as they are.
#include <gtest/gtest.h>

#include <array>
#include <map>
#include <set>
#include <utility>

#include "fem/fem.h"

// Locals come in groups of four (solid-1 x, solid-1 y, fluid, solid-3 x,
// solid-3 y); a group and a place in half cells name one unknown (under the
// platen, solid-3 y on the top is solid-1 y). A place seen again has the
// number it had; there are N places, numbered 1..N.
TEST(FemNumbering, EachNumberNamesOneNodeValueOrEdge) {
  const int corner_x[4] = {0, 2, 2, 0}, corner_y[4] = {0, 0, 2, 2};  // corners 1..4
  const int edge_x[4] = {0, 2, 1, 1}, edge_y[4] = {1, 1, 0, 2};      // edges L, R, B, T
  for (auto [nx, ny] : {std::pair{1, 1}, {2, 2}, {3, 2}, {1, 5}, {5, 1}, {7, 4}, {60, 60}}) {
    for (fe_test test : {fe_test::per_solid, fe_test::platen}) {
      dof_table xnod(nx, ny + 1);  // a cell row beyond the grid is left as it is
      xnod(nx * ny + 1, 1) = -5;
      global_numbering(nx, ny, xnod, test);
      EXPECT_EQ(xnod(nx * ny + 1, 1), -5);
      std::map<std::array<int, 3>, std::int32_t> number;
      std::set<std::int32_t> used;
      for (int j = 1; j <= nx; ++j) {
        for (int k = 1; k <= ny; ++k) {
          for (int l = 1; l <= local_dofs; ++l) {
            const int a = (l - 1) % 4, y = 2 * k + ((l - 1) / 4 == 2 ? edge_y : corner_y)[a];
            const bool shared = test == fe_test::platen && l > 16 && y == 2 * ny + 2;
            const int group = shared ? 1 : (l - 1) / 4;
            const std::array<int, 3> key{group, 2 * j + (group == 2 ? edge_x : corner_x)[a], y};
            const std::int32_t g = xnod((k - 1) * nx + j, l);
            ASSERT_EQ(number.try_emplace(key, g).first->second, g) << j << "," << k << " " << l;
            used.insert(g);
          }
        }
      }
      const auto n = static_cast<std::size_t>(unknowns(nx, ny, test));
      EXPECT_EQ(number.size(), n) << nx << "x" << ny;
      EXPECT_TRUE(used.size() == n && *used.begin() == 1 && *used.rbegin() == std::int32_t(n));
    }
  }
}
