// Symmetric reordering through the drivers (paths 2 to 5) and the sro
// routines: worked examples, in-place moves checked against a bucket
// reordering, and the work-area flag.
#include <gtest/gtest.h>

#include <algorithm>
#include <complex>
#include <cstdint>
#include <numeric>
#include <random>
#include <vector>

#include "tests/yale/ordering_grid.h"
#include "yale/yale.h"

namespace {

using ivec = std::vector<int32_t>;
using cvec = std::vector<yale_complex>;

// A stored matrix whose value at (i, k) is i + k i, so entries can be traced.
struct matrix {
  int32_t n;
  ivec ia, ja;
  cvec a;
};

matrix traced(int32_t n, ivec ia, ivec ja) {
  matrix m{n, std::move(ia), std::move(ja), {}};
  for (int32_t i = 1; i <= n; ++i)
    for (int32_t j = m.ia[i - 1]; j < m.ia[i]; ++j) m.a.emplace_back(i, m.ja[j - 1]);
  return m;
}

yale_complex at(int32_t i, int32_t k) { return {double(i), double(k)}; }

int32_t run_zodrv(matrix& m, ivec& p, ivec& ip, int32_t nsp, int32_t path) {
  ivec isp(std::max(nsp, 1), 0);
  int32_t flag = -1;
  zodrv(&m.n, m.ia.data(), m.ja.data(), m.a.data(), p.data(), ip.data(), &nsp, isp.data(), &path,
        &flag);
  return flag;
}

// The expected result built by buckets: each entry goes, in storage order,
// to the end of the row of its two indices that comes first under ip; with
// diag_first the first diagonal entry met in a row is put at the front.
matrix bucket_reorder(const matrix& m, const ivec& ip, bool diag_first) {
  std::vector<std::vector<std::pair<int32_t, yale_complex>>> rows(m.n + 1);
  for (int32_t i = 1; i <= m.n; ++i) {
    for (int32_t j = m.ia[i - 1]; j < m.ia[i]; ++j) {
      const int32_t k = m.ja[j - 1];
      const bool move = ip[k - 1] < ip[i - 1];
      rows[move ? k : i].emplace_back(move ? i : k, m.a[j - 1]);
    }
  }
  matrix r{m.n, {m.ia[0]}, {}, {}};
  for (int32_t i = 1; i <= m.n; ++i) {
    auto& row = rows[i];
    const auto diag = std::find_if(row.begin(), row.end(), [&](auto& e) { return e.first == i; });
    if (diag_first && diag != row.end()) std::rotate(row.begin(), diag, diag + 1);
    for (auto& [col, val] : row) r.ja.push_back(col), r.a.push_back(val);
    r.ia.push_back(r.ia.back() + static_cast<int32_t>(row.size()));
  }
  return r;
}

// Random upper-triangle matrix (diagonal included, columns shuffled) and a
// random order.
matrix random_upper(int32_t n, unsigned seed, ivec& ip) {
  std::mt19937 gen(seed);
  ivec ia{1}, ja;
  for (int32_t i = 1; i <= n; ++i) {
    ivec row{i};
    for (int32_t k = i + 1; k <= n; ++k)
      if (gen() % 4 == 0) row.push_back(k);
    std::shuffle(row.begin(), row.end(), gen);
    ja.insert(ja.end(), row.begin(), row.end());
    ia.push_back(static_cast<int32_t>(ja.size()) + 1);
  }
  ip.resize(n);
  std::iota(ip.begin(), ip.end(), 1);
  std::shuffle(ip.begin(), ip.end(), gen);
  return traced(n, ia, ja);
}

}  // namespace

TEST(SymmetricReordering, ThreeEquationsGivenOrder) {
  const matrix upper = traced(3, {1, 4, 6, 7}, {1, 2, 3, 2, 3, 3});
  ivec p(3, -7), ip{3, 2, 1};

  matrix m = upper;
  EXPECT_EQ(run_zodrv(m, p, ip, 20, 3), 0);
  EXPECT_EQ(m.ia, (ivec{1, 2, 4, 7}));
  EXPECT_EQ(m.ja, (ivec{1, 1, 2, 1, 2, 3}));
  EXPECT_EQ(m.a, (cvec{at(1, 1), at(1, 2), at(2, 2), at(1, 3), at(2, 3), at(3, 3)}));

  m = upper;
  EXPECT_EQ(run_zodrv(m, p, ip, 20, 5), 0);
  EXPECT_EQ(m.ia, (ivec{1, 2, 4, 7}));
  EXPECT_EQ(m.ja, (ivec{1, 2, 1, 3, 1, 2}));
  EXPECT_EQ(m.a, (cvec{at(1, 1), at(2, 2), at(1, 2), at(3, 3), at(1, 3), at(2, 3)}));
  EXPECT_EQ(p, ivec(3, -7));  // the given order is only read
  EXPECT_EQ(ip, (ivec{3, 2, 1}));
}

TEST(SymmetricReordering, IdentityOrderFoldsTheLowerTriangleUp) {
  // both triangles stored: each pair ends twice in the upper row
  matrix m = traced(3, {1, 4, 7, 10}, {1, 2, 3, 1, 2, 3, 1, 2, 3});
  ivec p(3), ip{1, 2, 3};
  EXPECT_EQ(run_zodrv(m, p, ip, 30, 3), 0);
  EXPECT_EQ(m.ia, (ivec{1, 6, 9, 10}));
  EXPECT_EQ(m.ja, (ivec{1, 2, 3, 2, 3, 2, 3, 3, 3}));
  EXPECT_EQ(m.a, (cvec{at(1, 1), at(1, 2), at(1, 3), at(2, 1), at(3, 1), at(2, 2), at(2, 3),
                       at(3, 2), at(3, 3)}));
}

TEST(SymmetricReordering, RealVariantsMoveTheirValues) {
  int32_t n = 3, yes = 1;
  ivec ip{3, 2, 1}, cnt(3), dest(6);
  for (auto routine : {ssro, dsro}) {
    ivec ia{1, 4, 6, 7}, ja{1, 2, 3, 2, 3, 3};
    std::vector<double> a{11, 12, 13, 22, 23, 33};
    routine(&n, ip.data(), ia.data(), ja.data(), a.data(), cnt.data(), dest.data(), &yes);
    EXPECT_EQ(ja, (ivec{1, 2, 1, 3, 1, 2}));
    EXPECT_EQ(a, (std::vector<double>{11, 22, 12, 33, 13, 23}));
  }
  ivec ia{1, 4, 6, 7}, ja{1, 2, 3, 2, 3, 3};
  cvec a{at(1, 1), at(1, 2), at(1, 3), at(2, 2), at(2, 3), at(3, 3)};
  csro(&n, ip.data(), ia.data(), ja.data(), a.data(), cnt.data(), dest.data(), &yes);
  EXPECT_EQ(a, (cvec{at(1, 1), at(2, 2), at(1, 2), at(3, 3), at(1, 3), at(2, 3)}));
}

TEST(SymmetricReordering, RandomMatricesMatchBucketReordering) {
  for (unsigned seed = 1; seed <= 40; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    ivec ip;
    const matrix m = random_upper(2 + seed % 30, seed, ip);
    ivec p(m.n);
    for (int32_t path : {3, 5}) {
      matrix r = m;
      EXPECT_EQ(run_zodrv(r, p, ip, m.n + m.ia.back(), path), 0);
      const matrix want = bucket_reorder(m, ip, path == 5);
      EXPECT_EQ(r.ia, want.ia);
      EXPECT_EQ(r.ja, want.ja);
      EXPECT_EQ(r.a, want.a);
    }
  }
}

TEST(SymmetricReordering, OrderThenReorderOnAGrid) {
  const structure g = fe_grid(3, 2);
  // keep the upper triangle only, as the reordering expects
  ivec ia{1}, ja;
  for (int32_t i = 1; i <= g.n; ++i) {
    for (int32_t j = g.ia[i - 1]; j < g.ia[i]; ++j)
      if (g.ja[j - 1] >= i) ja.push_back(g.ja[j - 1]);
    ia.push_back(static_cast<int32_t>(ja.size()) + 1);
  }
  const matrix m = traced(g.n, ia, ja);
  const int32_t nsp = 3 * g.n + 4 * (m.ia.back() - 1);
  ivec p1(m.n), ip1(m.n);
  matrix untouched = m;
  ASSERT_EQ(run_zodrv(untouched, p1, ip1, nsp, 1), 0);
  EXPECT_EQ(untouched.ja, m.ja);  // path 1 only orders

  for (int32_t path : {2, 4}) {
    matrix r = m;
    ivec p(m.n), ip(m.n);
    ASSERT_EQ(run_zodrv(r, p, ip, nsp, path), 0);
    EXPECT_EQ(p, p1);
    const matrix want = bucket_reorder(m, ip1, path == 4);
    EXPECT_EQ(r.ia, want.ia);
    EXPECT_EQ(r.ja, want.ja);
    EXPECT_EQ(r.a, want.a);
  }
}

TEST(SymmetricReordering, WorkAreaTooSmallLeavesTheMatrix) {
  const matrix upper = traced(3, {1, 4, 6, 7}, {1, 2, 3, 2, 3, 3});
  ivec p(3, -7), ip{3, 2, 1};
  matrix m = upper;
  EXPECT_EQ(run_zodrv(m, p, ip, 9, 3), 0);  // n + 6 entries fit exactly
  m = upper;
  EXPECT_EQ(run_zodrv(m, p, ip, 8, 3), 10 * 3 + 1);
  EXPECT_EQ(m.ia, upper.ia);
  EXPECT_EQ(m.ja, upper.ja);
  EXPECT_EQ(m.a, upper.a);

  // path 2 on a lower triangle (no edge): the ordering fits in 3n = 12 words,
  // the reordering needs n + 10 entries = 14
  const matrix lower = traced(4, {1, 2, 4, 7, 11}, {1, 1, 2, 1, 2, 3, 1, 2, 3, 4});
  m = lower;
  p.assign(4, 0);
  ip.assign(4, 0);
  EXPECT_EQ(run_zodrv(m, p, ip, 13, 2), 10 * 4 + 1);
  EXPECT_EQ(p, (ivec{4, 3, 2, 1}));  // the order is already there
  EXPECT_EQ(m.ja, lower.ja);
  // in the order 4, 3, 2, 1 every entry already lies in the row placed first;
  // path 4 only brings the diagonals to the front
  EXPECT_EQ(run_zodrv(m, p, ip, 14, 4), 0);
  EXPECT_EQ(m.ia, lower.ia);
  EXPECT_EQ(m.ja, (ivec{1, 2, 1, 3, 1, 2, 4, 1, 2, 3}));
}

TEST(SymmetricReordering, EmptyStructureAndNoEquations) {
  matrix empty{3, {1, 1, 1, 1}, {-5}, {at(9, 9)}};
  ivec p(3), ip{2, 3, 1};
  EXPECT_EQ(run_zodrv(empty, p, ip, 10, 5), 0);
  EXPECT_EQ(empty.ia, (ivec{1, 1, 1, 1}));
  EXPECT_EQ(empty.ja, (ivec{-5}));
  EXPECT_EQ(empty.a, (cvec{at(9, 9)}));

  matrix none{0, {1}, {}, {}};
  ivec nothing;
  EXPECT_EQ(run_zodrv(none, nothing, nothing, 0, 4), 0);
  EXPECT_EQ(none.ia, (ivec{1}));
}
