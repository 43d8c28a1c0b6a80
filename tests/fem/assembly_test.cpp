// Global assembly: global_sist leaves the row storage and right-hand side,
// bit for bit, as adding every element entry one at a time with
// contribucion_yale would, cells j outer and k inner, element rows outer
// and columns inner; stored entry counts of known grids.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <tuple>
#include <vector>

#include "fem/fem.h"

namespace {

// Rock-like cell coefficients drawn afresh for every cell, so that the sums
// of the assembly depend on their order; without the couplings mu13 and f12,
// whole blocks of entries are sums of -0 alone.
struct coefficients {
  cell_real lambda1, lambda3, mu1, mu3, mu13, b1, b2, m, d3, f11, f12, f22;
  cell_real p11, p12, p13, p22, p23, p33;
  coefficients(int nx, int ny, bool coupled)
      : lambda1(nx, ny), lambda3(nx, ny), mu1(nx, ny), mu3(nx, ny), mu13(nx, ny), b1(nx, ny),
        b2(nx, ny), m(nx, ny), d3(nx, ny), f11(nx, ny), f12(nx, ny), f22(nx, ny), p11(nx, ny),
        p12(nx, ny), p13(nx, ny), p22(nx, ny), p23(nx, ny), p33(nx, ny) {
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
void insert_each_entry(double omega, int nx, int ny, double h, const dof_table& xnod,
                       coefficients& q, row_storage& s) {
  element_matrix a;
  element_load load;
  for (int j = 1; j <= nx; ++j) {
    for (int k = 1; k <= ny; ++k) {
      local_sys(j, k, nx, ny, omega, h, q.lambda1(j, k), q.lambda3(j, k), q.mu1(j, k),
                q.mu3(j, k), q.mu13(j, k), q.b1(j, k), q.b2(j, k), q.m(j, k), q.d3(j, k),
                q.p11(j, k), q.p12(j, k), q.p13(j, k), q.p22(j, k), q.p23(j, k), q.p33(j, k),
                q.f11(j, k), q.f12(j, k), q.f22(j, k), a, load);
      const int ic = (k - 1) * nx + j;
      for (int r = 1; r <= local_dofs; ++r) {
        for (int c = 1; c <= local_dofs; ++c) {
          contribucion_yale(xnod(ic, c), xnod(ic, r), entry(a, r, c), unknowns(nx, ny),
                            s.ia.data(), s.ja.data(), s.avec.data());
        }
        s.rhs[xnod(ic, r) - 1] += load[r - 1];
      }
    }
  }
}

bool same_bits(const std::vector<cplx>& u, const std::vector<cplx>& v) {
  return u.size() == v.size() && std::memcmp(u.data(), v.data(), u.size() * sizeof(cplx)) == 0;
}

}  // namespace

// global_sist starts from garbage, to see that it clears what it uses. The
// entry-by-entry reference costs the square of the stored entries: not run
// on 60 x 60. A count of 0 is not known by hand.
TEST(FemAssembly, SameBitsAsEntryByEntryInsertionAndEntryCounts) {
  for (auto [nx, ny, count] : {std::tuple{1, 1, 400}, {2, 2, 1292}, {3, 2, 1865}, {1, 5, 0},
                               {5, 1, 0}, {7, 4, 0}, {10, 10, 0}, {60, 60, 922216}}) {
    coefficients q(nx, ny, nx != ny);
    dof_table xnod(nx, ny);
    global_numbering(nx, ny, xnod);
    const std::int32_t n = unknowns(nx, ny);
    const double omega = 2 * 3.141592653589793 * 37.0, h = 0.01 / ny;
    row_storage got(n, -7, -7, cplx(3, 3)), want(n, 1, 0, cplx{});
    global_sist(omega, nx, ny, h, xnod, q.lambda1, q.lambda3, q.mu1, q.mu3, q.mu13, q.b1, q.b2,
                q.m, q.d3, q.p11, q.p12, q.p13, q.p22, q.p23, q.p33, q.f11, q.f12, q.f22,
                got.avec.data(), got.ia.data(), got.ja.data(), got.rhs.data());
    EXPECT_TRUE(count == 0 || got.ia[n] - 1 == count) << nx << "x" << ny << ": " << got.ia[n] - 1;
    if (nx * ny > 100) continue;
    insert_each_entry(omega, nx, ny, h, xnod, q, want);
    EXPECT_TRUE(got.ia == want.ia) << nx << "x" << ny;
    EXPECT_TRUE(got.ja == want.ja) << nx << "x" << ny;
    EXPECT_TRUE(same_bits(got.avec, want.avec)) << nx << "x" << ny;
    EXPECT_TRUE(same_bits(got.rhs, want.rhs)) << nx << "x" << ny;
  }
}
