// Nonsymmetric driver on hand-worked cases: error flags, pivot reciprocals,
// the sign of eliminated zeros, work areas, the factors stored in steps and
// the solves with them.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstring>
#include <vector>

#include "yale/yale.h"

namespace {

using cplx = yale_complex;
using ivec = std::vector<int32_t>;
using cvec = std::vector<cplx>;

// A system with rows taken in the order r and columns in the order c
// (inverse ic), and the work area of its driver.
template <class T = cplx, auto Drv = zndrv>
struct lu_case {
  int32_t n;
  ivec ia, ja;
  std::vector<T> a, b = std::vector<T>(n, T(1));
  ivec r = ivec{1, 2, 3, 4}, c = r, ic = r;  // at most 4 equations here
  std::vector<T> z = std::vector<T>(n, T(9)), area{};
  int32_t esp = -7, flag = -7;

  int32_t run(int32_t path, int32_t nsp = 80) {
    area.resize(nsp);
    Drv(&n, r.data(), c.data(), ic.data(), ia.data(), ja.data(), a.data(), b.data(), z.data(),
        &nsp, isp(), area.data(), &esp, &path, &flag);
    return flag;
  }
  int32_t* isp() { return reinterpret_cast<int32_t*>(area.data()); }
  ivec words(int32_t from, int32_t count) { return {isp() + from - 1, isp() + from - 1 + count}; }
};

// Row 1 and column 1 full, otherwise diagonal: a11 = 10, a1j = j, aj1 = 1, ajj = 4 + j.
template <class T = cplx, auto Drv = zndrv>
lu_case<T, Drv> arrow() {
  return {4, {1, 5, 7, 9, 11}, {1, 2, 3, 4, 1, 2, 1, 3, 1, 4}, {10, 2, 3, 4, 1, 6, 1, 7, 1, 8}};
}

}  // namespace

TEST(Symbolic, ErrorsNameTheRow) {
  const struct {
    ivec ia, ja;
    int32_t path, flag;
  } errors[] = {{{1, 2, 2, 3}, {1, 3}, 1, 3 + 2},              // row 2 empty
                {{1, 2, 5, 6}, {1, 2, 1, 1, 3}, 5, 2 * 3 + 2},  // row 2 holds column 1 twice
                {{1, 2, 3, 4}, {1, 1, 3}, 5, 5 * 3 + 2},        // row 2 never reaches its pivot
                {{1, 2, 4, 5}, {2, 1, 2, 3}, 5, 5 * 3 + 1}};    // row 1 lacks its diagonal
  for (const auto& e : errors) {
    lu_case<> m{3, e.ia, e.ja, cvec(e.ja.size(), 1)};
    EXPECT_EQ(m.run(e.path, 200), e.flag);
  }
}

TEST(Numeric, PivotsAndEliminatedZeros) {
  // pivot 3 + 4i: t = 0.75, e = 6.25 by the first branch; 4 + 3i by the second
  lu_case<> m{2, {1, 2, 3}, {1, 2}, {{3, 4}, {4, 3}}, cvec(2)};
  EXPECT_EQ(m.run(1, 60), 0);
  EXPECT_EQ(m.area[2], cplx(0.12, -0.16));  // d at slot 3: past il, iu and ju = isp(7)
  EXPECT_EQ(m.area[3], cplx(0.16, -0.12));
  EXPECT_EQ(m.z, cvec(2));  // zero right-hand side, zero solution

  // [[1, 0, 1+i], [1+i, 1, -0-0i], [0, 0, 1]]: row 2 adds (-1-i)(1+i), whose real
  // part is +0, to -0, so U(2,3) = (+0, -2); subtracting (1+i)(1+i) would give -0
  const cplx one(1), w(1, 1);
  lu_case<> s{3, {1, 3, 6, 7}, {1, 3, 1, 2, 3, 3}, {one, w, w, one, cplx(-0.0, -0.0), one}};
  EXPECT_EQ(s.run(1, 60), 0);
  EXPECT_EQ(s.words(1, 8), (ivec{1, 1, 2, 2, 1, 2, 3, 3}));  // u from slot 8
  EXPECT_EQ(s.area[7], w);
  EXPECT_EQ(s.area[8], cplx(0, -2));
  EXPECT_FALSE(std::signbit(s.area[8].real()));

  lu_case<> zero{2, {1, 3, 5}, {1, 2, 1, 2}, cvec(4, 1)};  // [[1, 1], [1, 1]]
  EXPECT_EQ(zero.run(1), 8 * 2 + 2);
  EXPECT_EQ(zero.z, cvec(2, 9));
}

TEST(Driver, WorkAreasAndPaths) {
  // arrow in natural order on sndrv, one word per slot: avail = nsp - 19,
  // jlmax = avail / 2, jumax = avail - jlmax; after the symbolic step l0 = 23
  // and umax = nsp - 40; L's 6 entries fill jlmax exactly at nsp = 31
  for (auto [nsp, flag, esp] : {std::tuple{20, 41, 1}, {29, 6 * 4 + 3, 10}, {30, 3 * 4 + 4, 11},
                                {31, 41, -15}, {40, 41, -6}, {41, 7 * 4 + 1, -5}, {46, 0, 0}}) {
    auto m = arrow<double, sndrv>();
    EXPECT_EQ(m.run(1, nsp), flag) << nsp;
    EXPECT_EQ(m.esp, esp) << nsp;
  }
  for (int32_t path : {0, 6}) {
    auto m = arrow();
    EXPECT_EQ(m.run(path), 11 * 4 + 1);
    EXPECT_EQ(m.esp, -7);
    EXPECT_EQ(m.z, cvec(4, 9));
  }
}

TEST(Driver, FactorsInStepsAreBitIdentical) {
  auto m = arrow();  // with complex values, in a permuted order
  m.a = {{10, 1}, {2, -1}, {3, 0.5}, {4, 2}, {1, 1}, {6, -2}, {-1, 0.25}, {7, 1}, {0.5, -3}, 8};
  m.b = {{1, 2}, -3, {0, 1}, {4, -1}};
  m.r = {2, 4, 1, 3}, m.c = {2, 1, 4, 3}, m.ic = {2, 1, 4, 3};
  auto split = m;
  ASSERT_EQ(m.run(1), 0);
  ASSERT_EQ(split.run(5), 0);
  ASSERT_EQ(split.run(2), 0);
  EXPECT_EQ(std::memcmp(m.area.data(), split.area.data(), 80 * sizeof(cplx)), 0);
  EXPECT_EQ(std::memcmp(m.z.data(), split.z.data(), 4 * sizeof(cplx)), 0);
  split.z = cvec(4, 9);  // the solve with the stored factors gives the same bits
  split.run(3);
  EXPECT_EQ(std::memcmp(m.z.data(), split.z.data(), 4 * sizeof(cplx)), 0);
  split.run(4);  // the transposed solve: column j of A times x is b(j)
  cvec at_x(4);
  for (int32_t i = 1; i <= 4; ++i)
    for (int32_t p = m.ia[i - 1]; p < m.ia[i]; ++p)
      at_x[m.ja[p - 1] - 1] += m.a[p - 1] * split.z[i - 1];
  for (int32_t j = 0; j < 4; ++j) EXPECT_LT(std::abs(at_x[j] - m.b[j]), 1e-14) << j;
}
