// Global numbers of the 20 local unknowns of every cell of the grid.
#include <vector>

#include "fem/fem.h"

namespace {

// Platen test: the solid-3 vertical unknowns of the top nodes become those
// of solid 1 (one common vertical displacement under the platen), and the
// numbers they held are closed up, every later number moving down.
void share_top_vertical(int nx, int ny, dof_table& xnod) {
  const std::int32_t n = unknowns(nx, ny);
  std::vector<std::int32_t> freed(static_cast<std::size_t>(n) + 1, 0);
  for (int j = 1; j <= nx; ++j) {
    const int ic = (ny - 1) * nx + j;
    for (int a : {3, 4}) {
      freed[xnod(ic, xs2_2(a))] = 1;
      xnod(ic, xs2_2(a)) = xnod(ic, xs1_2(a));
    }
  }
  // renumbered[g]: g less the freed numbers up to g.
  std::vector<std::int32_t> renumbered(freed.size());
  for (std::int32_t g = 1, below = 0; g <= n; ++g) renumbered[g] = g - (below += freed[g]);
  for (int ic = 1; ic <= nx * ny; ++ic)
    for (int l = 1; l <= local_dofs; ++l) xnod(ic, l) = renumbered[xnod(ic, l)];
}

}  // namespace

// Cell (j, k) is row (k - 1)*nx + j of xnod. With R = 6*nx + 5 numbers per
// cell row, s and t are the numbers just before the bottom-left and the
// top-left node of the cell; node dofs come in fours followed by the
// horizontal edge to the right, and the vertical edges of a cell row close
// its block.
void global_numbering(int nx, int ny, dof_table& xnod, fe_test test) {
  const std::int32_t row_block = 6 * nx + 5;
  for (int j = 1; j <= nx; ++j) {
    for (int k = 1; k <= ny; ++k) {
      const int ic = (k - 1) * nx + j;
      const std::int32_t s = (k - 1) * row_block + 5 * (j - 1);
      const std::int32_t t = k * row_block + 5 * (j - 1);
      const std::int32_t left_edge = (k - 1) * row_block + 5 * nx + 4 + j;
      // Solid-1 x at corners 1..4; the other three node dofs follow it.
      const std::int32_t corner_x[4] = {s + 1, s + 6, t + 6, t + 1};
      for (int a = 1; a <= 4; ++a) {
        xnod(ic, a) = corner_x[a - 1];           // solid-1 x
        xnod(ic, 4 + a) = corner_x[a - 1] + 1;   // solid-1 y
        xnod(ic, 12 + a) = corner_x[a - 1] + 2;  // solid-3 x
        xnod(ic, 16 + a) = corner_x[a - 1] + 3;  // solid-3 y
      }
      xnod(ic, 9) = left_edge;       // fluid, left edge
      xnod(ic, 10) = left_edge + 1;  // fluid, right edge
      xnod(ic, 11) = s + 5;          // fluid, bottom edge
      xnod(ic, 12) = t + 5;          // fluid, top edge
    }
  }
  if (test == fe_test::platen) share_top_vertical(nx, ny, xnod);
}
