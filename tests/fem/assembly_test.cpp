// Global assembly: global_sist leaves the row storage and right-hand side,
// bit for bit, as adding every element entry one at a time with
// contribucion_yale would, cells j outer and k inner, element rows outer
// and columns inner.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "fem/fem.h"

namespace {

// Rock-like cell coefficients drawn afresh for every cell, so that the sums
// of the assembly depend on their order; without the couplings mu13 and f12,
// whole blocks of entries are sums of -0 alone.
struct coefficients : cell_coefficients {
  coefficients(int nx, int ny, bool coupled) : cell_coefficients(nx, ny) {
    cell_real* field[] = {&lambda1, &lambda3, &mu1, &mu3, &mu13, &b1,
                          &b2,      &m,       &d3,  &f11, &f12,  &f22};
    const double scale[] = {2.1e10, 7.3e9, 1.7e10, 3.1e9, 1.3e9, 4.4e9, 1.9e9, 6.7e9, 2.3e9,
                            3.3e7, -1.2e7, 5.9e7};
    std::mt19937 gen(5);
    std::uniform_real_distribution<double> around(0.5, 1.5);
    for (int k = 1; k <= ny; ++k)
      for (int j = 1; j <= nx; ++j)
        for (int i = 0; i < 12; ++i) {
          const bool coupling = i == 4 || i == 10;  // mu13, f12
          (*field[i])(j, k) = coupled || !coupling ? scale[i] * around(gen) : 0.0;
        }
  }
};

struct row_storage {
  std::vector<std::int32_t> ia, ja;
  std::vector<cplx> avec, rhs;
  row_storage(std::int32_t n, std::int32_t i0, std::int32_t j0, cplx v0)
      : ia(n + 1, i0), ja(row_capacity * n, j0), avec(row_capacity * n, v0), rhs(n, v0) {}
};

// The assembly entry by entry, into storage that starts empty.
void insert_each_entry(const fe_grid& g, double omega, const dof_table& xnod,
                       const coefficients& q, row_storage& s) {
  const std::int32_t n = unknowns(g.nx, g.ny, g.test);
  for (int j = 1; j <= g.nx; ++j) {
    for (int k = 1; k <= g.ny; ++k) {
      const element e = local_sys(g, j, k, omega, q.at(j, k));
      const int ic = (k - 1) * g.nx + j;
      for (int r = 1; r <= local_dofs; ++r) {
        for (int c = 1; c <= local_dofs; ++c) {
          contribucion_yale(xnod(ic, c), xnod(ic, r), entry(e.a, r, c), n, s.ia.data(),
                            s.ja.data(), s.avec.data());
        }
        s.rhs[xnod(ic, r) - 1] += e.load[r - 1];
      }
    }
  }
}

bool same_bits(const std::vector<cplx>& u, const std::vector<cplx>& v) {
  return u.size() == v.size() && std::memcmp(u.data(), v.data(), u.size() * sizeof(cplx)) == 0;
}

}  // namespace

// global_sist starts from garbage, to see that it clears what it uses. The
// platen test gives two local unknowns of a top cell one number.
TEST(FemAssembly, SameBitsAsEntryByEntryInsertion) {
  for (fe_test test : {fe_test::per_solid, fe_test::platen})
    for (auto [nx, ny] : {std::pair{1, 1}, {2, 2}, {3, 2}, {1, 5}, {5, 1}, {7, 4}, {10, 10}}) {
      coefficients q(nx, ny, nx != ny);
      dof_table xnod(nx, ny);
      global_numbering(nx, ny, xnod, test);
      const std::int32_t n = unknowns(nx, ny, test);
      const fe_grid grid{nx, ny, 0.01 / ny, test};
      const double omega = 2 * 3.141592653589793 * 37.0;
      SCOPED_TRACE(std::to_string(nx) + "x" + std::to_string(ny) +
                   (test == fe_test::platen ? " platen" : " per-solid"));
      row_storage got(n, -7, -7, cplx(3, 3)), want(n, 1, 0, cplx{});
      global_sist(grid, xnod, omega, q, got.avec.data(), got.ia.data(), got.ja.data(),
                  got.rhs.data());
      insert_each_entry(grid, omega, xnod, q, want);
      EXPECT_TRUE(got.ia == want.ia && got.ja == want.ja);
      EXPECT_TRUE(same_bits(got.avec, want.avec));
      EXPECT_TRUE(same_bits(got.rhs, want.rhs));
    }
}
