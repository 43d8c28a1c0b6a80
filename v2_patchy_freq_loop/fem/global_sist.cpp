// Global matrix in Yale row storage and right-hand side of the harmonic
// compressibility test, assembled cell by cell.
#include "fem/fem.h"
#include "yale/one_based.h"

namespace {

// Local unknowns 1..20 of cell ic in increasing order of global number.
void sorted_locals(const dof_table& xnod, int ic, int (&order)[local_dofs]) {
  for (int i = 0; i < local_dofs; ++i) {
    int p = i;
    for (; p > 0 && xnod(ic, order[p - 1]) > xnod(ic, i + 1); --p) order[p] = order[p - 1];
    order[p] = i + 1;
  }
}

// Merges the increasing columns cols[0..19] into the increasing row
// row[0..count-1], without repeats; returns the new count.
std::int32_t merge_columns(std::int32_t* row, std::int32_t count,
                           const std::int32_t (&cols)[local_dofs]) {
  std::int32_t repeats = 0;
  for (std::int32_t i = 0, c = 0; i < count && c < local_dofs;) {
    if (row[i] < cols[c]) {
      ++i;
    } else if (row[i] > cols[c]) {
      ++c;
    } else {
      ++repeats, ++i, ++c;
    }
  }
  const std::int32_t merged = count + local_dofs - repeats;
  // From the back, so that the row's own entries move before being overwritten.
  for (std::int32_t i = count - 1, c = local_dofs - 1, out = merged - 1; c >= 0; --out) {
    if (i >= 0 && row[i] >= cols[c]) {
      if (row[i] == cols[c]) --c;
      row[out] = row[i--];
    } else {
      row[out] = cols[c--];
    }
  }
  return merged;
}

}  // namespace

// The stored pattern is the full coupling of the cells: row r holds the
// union of the unknowns of the cells that contain r. It is built first, each
// row gathered in its own block of row_capacity places of ja, then packed;
// the values are then added in place, cell by cell (j outer, k inner) as an
// insert-or-add assembly would add them, so every sum is formed in the same
// order. Cost linear in the number of stored entries.
void global_sist(double omega, int nx, int ny, double h, const dof_table& xnod,
                 const cell_real& lambda1, const cell_real& lambda3, const cell_real& mu1,
                 const cell_real& mu3, const cell_real& mu13, const cell_real& b1,
                 const cell_real& b2, const cell_real& m, const cell_real& d3, cell_real& p11,
                 cell_real& p12, cell_real& p13, cell_real& p22, cell_real& p23, cell_real& p33,
                 const cell_real& f11, const cell_real& f12, const cell_real& f22, cplx* avec,
                 std::int32_t* ia, std::int32_t* ja, cplx* rhs_m) {
  const std::int32_t n = unknowns(nx, ny);
  const one_based<std::int32_t> row_start(ia), col(ja);
  const one_based<cplx> val(avec), rhs(rhs_m);
  const std::int64_t capacity = static_cast<std::int64_t>(row_capacity) * n;

  for (std::int32_t r = 1; r <= n; ++r) rhs(r) = cplx{};
  for (std::int64_t p = 1; p <= capacity; ++p) {
    val(p) = cplx{};
    col(p) = 0;
  }
  for (std::int32_t r = 1; r <= n + 1; ++r) row_start(r) = 1;

  // Pattern: row r gathers in ja(block(r) ...) with its count in ia(r + 1).
  auto block = [](std::int32_t r) { return static_cast<std::int64_t>(r - 1) * row_capacity + 1; };
  for (std::int32_t r = 2; r <= n + 1; ++r) row_start(r) = 0;
  for (int ic = 1; ic <= nx * ny; ++ic) {
    int order[local_dofs];
    sorted_locals(xnod, ic, order);
    std::int32_t cols[local_dofs];
    for (int i = 0; i < local_dofs; ++i) cols[i] = xnod(ic, order[i]);
    for (int a = 1; a <= local_dofs; ++a) {
      const std::int32_t r = xnod(ic, a);
      row_start(r + 1) = merge_columns(col.at(block(r)), row_start(r + 1), cols);
    }
  }
  // Pack the rows one after another (a row never moves up) and set ia.
  for (std::int32_t r = 1; r <= n; ++r) {
    const std::int32_t count = row_start(r + 1);
    const std::int64_t from = block(r);
    for (std::int32_t i = 0; i < count; ++i) col(row_start(r) + i) = col(from + i);
    row_start(r + 1) = row_start(r) + count;
  }
  // Stored values start at -0, the exact additive identity: the first
  // contribution to an entry is stored as it is, as an insertion stores it.
  const std::int32_t stored = row_start(n + 1) - 1;
  for (std::int64_t p = stored + 1; p <= capacity; ++p) col(p) = 0;
  for (std::int32_t p = 1; p <= stored; ++p) val(p) = cplx{-0.0, -0.0};

  element_matrix a;
  element_load load;
  for (int j = 1; j <= nx; ++j) {
    for (int k = 1; k <= ny; ++k) {
      local_sys(j, k, nx, ny, omega, h, lambda1(j, k), lambda3(j, k), mu1(j, k), mu3(j, k),
                mu13(j, k), b1(j, k), b2(j, k), m(j, k), d3(j, k), p11(j, k), p12(j, k),
                p13(j, k), p22(j, k), p23(j, k), p33(j, k), f11(j, k), f12(j, k), f22(j, k), a,
                load);
      const int ic = (k - 1) * nx + j;
      int order[local_dofs];
      sorted_locals(xnod, ic, order);
      for (int ra = 1; ra <= local_dofs; ++ra) {
        // Storage place of each local column in row xnod(ic, ra): one walk
        // along the row, the columns taken in increasing order.
        std::int32_t place[local_dofs + 1];
        std::int32_t p = row_start(xnod(ic, ra));
        for (int b : order) {
          while (col(p) != xnod(ic, b)) ++p;
          place[b] = p;
        }
        for (int b = 1; b <= local_dofs; ++b) val(place[b]) += a[(ra - 1) + local_dofs * (b - 1)];
      }
      for (int ra = 1; ra <= local_dofs; ++ra) rhs(xnod(ic, ra)) += load[ra - 1];
    }
  }
}
