// Global assembly: the row storage built by global_sist equals, bit for bit,
// the one built by inserting every element entry one at a time; stored
// entry counts of known grids; the insert-or-add routine on its own.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <tuple>
#include <utility>
#include <vector>

#include "cell_coefficients.h"
#include "fem/fem.h"

namespace {

struct row_storage {
  std::vector<std::int32_t> ia, ja;
  std::vector<cplx> avec, rhs;
  explicit row_storage(std::int32_t n)
      : ia(n + 1, -7), ja(row_capacity * n, -7), avec(row_capacity * n, cplx(3, 3)), rhs(n, cplx(3, 3)) {}
};

// The assembly as the insert-or-add routine does it, entry by entry.
void insert_each_entry(double omega, int nx, int ny, double h, const dof_table& xnod,
                       cell_coefficient_set& q, row_storage& s) {
  const std::int32_t n = unknowns(nx, ny);
  std::fill(s.rhs.begin(), s.rhs.end(), cplx{});
  std::fill(s.avec.begin(), s.avec.end(), cplx{});
  std::fill(s.ja.begin(), s.ja.end(), 0);
  std::fill(s.ia.begin(), s.ia.end(), 1);
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
          contribucion_yale(xnod(ic, c), xnod(ic, r), entry(a, r, c), n,
                            s.ia.data(), s.ja.data(), s.avec.data());
        }
        s.rhs[xnod(ic, r) - 1] += load[r - 1];
      }
    }
  }
}

void assemble(double omega, int nx, int ny, double h, const dof_table& xnod,
              cell_coefficient_set& q, row_storage& s) {
  global_sist(omega, nx, ny, h, xnod, q.lambda1, q.lambda3, q.mu1, q.mu3, q.mu13, q.b1, q.b2,
              q.m, q.d3, q.p11, q.p12, q.p13, q.p22, q.p23, q.p33, q.f11, q.f12, q.f22,
              s.avec.data(), s.ia.data(), s.ja.data(), s.rhs.data());
}

// Index of the first value whose real or imaginary bits differ, -1 if none.
long first_bit_difference(const std::vector<cplx>& u, const std::vector<cplx>& v) {
  if (u.size() != v.size()) return 0;
  for (std::size_t i = 0; i < u.size(); ++i) {
    if (std::bit_cast<std::uint64_t>(u[i].real()) != std::bit_cast<std::uint64_t>(v[i].real()) ||
        std::bit_cast<std::uint64_t>(u[i].imag()) != std::bit_cast<std::uint64_t>(v[i].imag())) {
      return static_cast<long>(i);
    }
  }
  return -1;
}

}  // namespace

TEST(FemAssembly, SameBitsAsEntryByEntryInsertion) {
  for (auto [nx, ny] : {std::pair{1, 1}, {2, 2}, {3, 2}, {1, 2}, {2, 1}, {1, 5}, {5, 1},
                        {60, 1}, {1, 60}, {7, 4}, {10, 10}}) {
    dof_table xnod;
    global_numbering(nx, ny, xnod);
    const std::int32_t n = unknowns(nx, ny);
    const double omega = 2 * 3.141592653589793 * 37.0, h = 0.01 / ny;
    cell_coefficient_set q_slow(11 * nx + ny), q_fast(11 * nx + ny);
    row_storage slow(n), fast(n);
    insert_each_entry(omega, nx, ny, h, xnod, q_slow, slow);
    assemble(omega, nx, ny, h, xnod, q_fast, fast);
    EXPECT_TRUE(fast.ia == slow.ia) << nx << "x" << ny;
    EXPECT_TRUE(fast.ja == slow.ja) << nx << "x" << ny;
    EXPECT_EQ(first_bit_difference(fast.avec, slow.avec), -1) << nx << "x" << ny;
    EXPECT_EQ(first_bit_difference(fast.rhs, slow.rhs), -1) << nx << "x" << ny;
    for (int k = 1; k <= ny; ++k)
      for (int j = 1; j <= nx; ++j) EXPECT_EQ(q_fast.p22(j, k), 0.0);
  }
}

TEST(FemAssembly, StoredEntryCounts) {
  for (auto [nx, ny, count] : {std::tuple{1, 1, 400}, {2, 2, 1292}, {3, 2, 1865}, {60, 60, 922216}}) {
    dof_table xnod;
    global_numbering(nx, ny, xnod);
    const std::int32_t n = unknowns(nx, ny);
    cell_coefficient_set q(5);
    row_storage s(n);
    assemble(1.0e3, nx, ny, 0.1, xnod, q, s);
    EXPECT_EQ(s.ia[n] - 1, count) << nx << "x" << ny;
    for (std::int32_t r = 0; r < n; ++r) {
      EXPECT_LE(s.ia[r + 1] - s.ia[r], 48);
      for (std::int32_t p = s.ia[r]; p + 1 < s.ia[r + 1]; ++p) ASSERT_LT(s.ja[p - 1], s.ja[p]);
    }
    for (std::size_t p = s.ia[n] - 1; p < s.ja.size(); ++p) {
      ASSERT_EQ(s.ja[p], 0);
      ASSERT_EQ(s.avec[p], cplx(0, 0));
    }
    if (nx == 1) {
      for (std::int32_t r = 0; r <= n; ++r) EXPECT_EQ(s.ia[r], 1 + 20 * r);
    }
    if (nx == 2) {  // the centre node: corner 3 of cell (1, 1)
      const std::int32_t centre = xnod(1, 3);
      EXPECT_EQ(s.ia[centre] - s.ia[centre - 1], 48);
    }
    // Assembling again gives the same arrays.
    row_storage again = s;
    assemble(1.0e3, nx, ny, 0.1, xnod, q, again);
    EXPECT_EQ(first_bit_difference(again.avec, s.avec), -1);
  }
}

// A 3-unknown storage holding row 1 = {2}, row 2 = {1, 3}, row 3 = {}.
TEST(FemAssembly, InsertOrAdd) {
  std::vector<std::int32_t> ia{1, 1, 1, 1}, ja(9, 0);
  std::vector<cplx> av(9);
  auto add = [&](std::int32_t r, std::int32_t c, cplx v) {
    contribucion_yale(c, r, v, 3, ia.data(), ja.data(), av.data());
  };
  add(2, 3, {1, 1});
  add(1, 2, {2, 0});
  add(2, 1, {0, 0});  // a zero value still creates the entry, first in its row
  EXPECT_EQ(ia, (std::vector<std::int32_t>{1, 2, 4, 4}));
  EXPECT_EQ(ja, (std::vector<std::int32_t>{2, 1, 3, 0, 0, 0, 0, 0, 0}));
  add(2, 3, {0.5, -2});  // existing entry: value only
  EXPECT_EQ(ia, (std::vector<std::int32_t>{1, 2, 4, 4}));
  EXPECT_EQ(av[2], cplx(1.5, -1));
  add(1, 3, {4, 4});  // last in row 1: the later rows shift
  add(3, 2, {5, 0});
  EXPECT_EQ(ia, (std::vector<std::int32_t>{1, 3, 5, 6}));
  EXPECT_EQ(ja, (std::vector<std::int32_t>{2, 3, 1, 3, 2, 0, 0, 0, 0}));
  EXPECT_EQ(av[1], cplx(4, 4));
  EXPECT_EQ(av[2], cplx(0, 0));
  EXPECT_EQ(av[3], cplx(1.5, -1));
  EXPECT_EQ(av[4], cplx(5, 0));
}
