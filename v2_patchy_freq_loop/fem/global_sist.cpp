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

// Merges the strictly increasing columns cols[0..width-1] into the
// increasing row row[0..count-1], without repeats; returns the new count.
std::int32_t merge_columns(std::int32_t* row, std::int32_t count, const std::int32_t* cols,
                           int width) {
  std::int32_t repeats = 0;
  for (std::int32_t i = 0, c = 0; i < count && c < width;) {
    if (row[i] < cols[c]) {
      ++i;
    } else if (row[i] > cols[c]) {
      ++c;
    } else {
      ++repeats, ++i, ++c;
    }
  }
  const std::int32_t merged = count + width - repeats;
  // From the back, so that the row's own entries move before being overwritten.
  for (std::int32_t i = count - 1, c = width - 1, out = merged - 1; c >= 0; --out) {
    if (i >= 0 && row[i] >= cols[c]) {
      if (row[i] == cols[c]) --c;
      row[out] = row[i--];
    } else {
      row[out] = cols[c--];
    }
  }
  return merged;
}

// Places of ja and avec used by an assembly of n unknowns.
std::int64_t capacity(std::int32_t n) { return static_cast<std::int64_t>(row_capacity) * n; }

// First place of row r's block of row_capacity places in ja while gathering.
std::int64_t block(std::int32_t r) { return capacity(r - 1) + 1; }

// Adds the element matrix a of cell ic at its stored places, row by row and
// column by column within a row, as contribucion_yale would add them.
void add_element(const dof_table& xnod, int ic, const element_matrix& a, const std::int32_t* ia,
                 const std::int32_t* ja, cplx* avec) {
  const one_based<const std::int32_t> row_start(ia), col(ja);
  const one_based<cplx> val(avec);
  int order[local_dofs];
  sorted_locals(xnod, ic, order);
  for (int ra = 1; ra <= local_dofs; ++ra) {
    // Place of each local column in the row: one walk along it, the columns
    // taken in increasing order.
    std::int32_t place[local_dofs + 1];
    std::int32_t p = row_start(xnod(ic, ra));
    for (int b : order) {
      while (col(p) != xnod(ic, b)) ++p;
      place[b] = p;
    }
    for (int b = 1; b <= local_dofs; ++b) val(place[b]) += entry(a, ra, b);
  }
}

}  // namespace

// Pattern of the cells' coupling in ia and ja: each row gathered in its own
// block of ja, its count in ia(r + 1), then the rows packed one after another
// (a row never moves to a later place); ja is zero behind the last entry.
void build_pattern(int nx, int ny, std::int32_t n, const dof_table& xnod, std::int32_t* ia,
                   std::int32_t* ja) {
  const one_based<std::int32_t> row_start(ia), col(ja);
  row_start(1) = 1;
  for (std::int32_t r = 2; r <= n + 1; ++r) row_start(r) = 0;
  for (int ic = 1; ic <= nx * ny; ++ic) {
    int order[local_dofs];
    sorted_locals(xnod, ic, order);
    // The cell's distinct unknowns (the platen test gives two local
    // unknowns of a top cell one number).
    std::int32_t cols[local_dofs];
    int width = 0;
    for (int b : order)
      if (width == 0 || cols[width - 1] != xnod(ic, b)) cols[width++] = xnod(ic, b);
    for (int a = 1; a <= local_dofs; ++a) {
      const std::int32_t r = xnod(ic, a);
      row_start(r + 1) = merge_columns(col.at(block(r)), row_start(r + 1), cols, width);
    }
  }
  for (std::int32_t r = 1; r <= n; ++r) {
    const std::int32_t count = row_start(r + 1);
    for (std::int32_t i = 0; i < count; ++i) col(row_start(r) + i) = col(block(r) + i);
    row_start(r + 1) = row_start(r) + count;
  }
  for (std::int64_t p = row_start(n + 1); p <= capacity(n); ++p) col(p) = 0;
}

// The stored pattern is the full coupling of the cells: row r holds the
// union of the unknowns of the cells that contain r. It is built first, then
// the values are added in place cell by cell (j outer, k inner), so every
// entry is the sum of the same contributions in the same order as with
// contribucion_yale, at a cost linear in the number of stored entries.
void global_sist(const fe_grid& grid, const dof_table& xnod, double omega,
                 const cell_coefficients& cc, cplx* avec, std::int32_t* ia, std::int32_t* ja,
                 cplx* rhs_m) {
  const std::int32_t n = unknowns(grid.nx, grid.ny, grid.test);
  build_pattern(grid.nx, grid.ny, n, xnod, ia, ja);
  // Stored values start at -0, the exact additive identity, so the first
  // contribution to an entry is kept as it is, as an insertion keeps it; the
  // places behind the last entry are 0.
  const one_based<cplx> val(avec), rhs(rhs_m);
  const std::int32_t stored = one_based<std::int32_t>(ia)(n + 1) - 1;
  for (std::int64_t p = 1; p <= capacity(n); ++p) {
    val(p) = p <= stored ? cplx{-0.0, -0.0} : cplx{};
  }
  for (std::int32_t r = 1; r <= n; ++r) rhs(r) = cplx{};

  for (int j = 1; j <= grid.nx; ++j) {
    for (int k = 1; k <= grid.ny; ++k) {
      const element e = local_sys(grid, j, k, omega, cc.at(j, k));
      const int ic = (k - 1) * grid.nx + j;
      add_element(xnod, ic, e.a, ia, ja, avec);
      for (int ra = 1; ra <= local_dofs; ++ra) rhs(xnod(ic, ra)) += e.load[ra - 1];
    }
  }
}
