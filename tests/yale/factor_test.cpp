// Hand-worked cases of the nonsymmetric driver, the symbolic factorization
// and the numeric factorization and solves.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstring>
#include <vector>

#include "yale/yale.h"

namespace {

using cplx = yale_complex;
using ivec = std::vector<int32_t>;

// A matrix in row storage with values of type T.
template <class T>
struct sparse {
  int32_t n;
  ivec ia, ja;
  std::vector<T> a;
};

// One caller-owned work area of nsp scalar slots, also seen as 32-bit words.
template <class T>
struct work_area {
  explicit work_area(int32_t nsp) : nsp(nsp), slots(nsp) {}
  int32_t* isp() { return reinterpret_cast<int32_t*>(slots.data()); }
  T* rsp() { return slots.data(); }
  ivec words(int32_t first, int32_t count) {  // isp(first ... first + count - 1)
    return ivec(isp() + first - 1, isp() + first - 1 + count);
  }
  int32_t nsp;
  std::vector<T> slots;
};

// Result of one driver call.
struct outcome {
  int32_t flag, esp;
};

template <class T, class Driver>
outcome run(Driver drv, const sparse<T>& m, const ivec& r, const ivec& c, const ivec& ic,
            const std::vector<T>& b, std::vector<T>& z, work_area<T>& w, int32_t path,
            int32_t flag_in = -7, int32_t esp_in = -7) {
  outcome o{flag_in, esp_in};
  drv(&m.n, r.data(), c.data(), ic.data(), m.ia.data(), m.ja.data(), m.a.data(), b.data(),
      z.data(), &w.nsp, w.isp(), w.rsp(), &o.esp, &path, &o.flag);
  return o;
}

ivec identity(int32_t n) {
  ivec p(n);
  for (int32_t k = 0; k < n; ++k) p[k] = k + 1;
  return p;
}

// Row 1 and column 1 full, otherwise diagonal: a11 = 10, a1j = j, aj1 = 1, ajj = 4 + j.
template <class T>
sparse<T> arrow() {
  return {4,
          {1, 5, 7, 9, 11},
          {1, 2, 3, 4, 1, 2, 1, 3, 1, 4},
          {T(10), T(2), T(3), T(4), T(1), T(6), T(1), T(7), T(1), T(8)}};
}

TEST(Symbolic, ArrowMatrixFillsCompletelyInNaturalOrder) {
  auto m = arrow<cplx>();
  const ivec id = identity(4);
  std::vector<cplx> b(4), z(4);
  work_area<cplx> w(60);
  const outcome o = run(zndrv, m, id, id, id, b, z, w, 5);
  EXPECT_EQ(o.flag, 0);
  EXPECT_EQ(o.esp, 30);
  EXPECT_EQ(w.words(1, 5), (ivec{1, 1, 2, 4, 7}));   // il
  EXPECT_EQ(w.words(6, 5), (ivec{1, 4, 6, 7, 7}));   // iu
  EXPECT_EQ(w.words(11, 6), (ivec{1, 1, 2, 1, 2, 3}));  // jl
  EXPECT_EQ(w.words(17, 6), (ivec{2, 3, 4, 3, 4, 4}));  // ju, moved behind jl
}

TEST(Symbolic, ArrowMatrixHasNoFillInReversedOrder) {
  auto m = arrow<cplx>();
  const ivec rev{4, 3, 2, 1};
  std::vector<cplx> b(4), z(4);
  work_area<cplx> w(60);
  const outcome o = run(zndrv, m, rev, rev, rev, b, z, w, 5);
  EXPECT_EQ(o.flag, 0);
  EXPECT_EQ(o.esp, 38);
  EXPECT_EQ(w.words(1, 5), (ivec{1, 1, 1, 1, 4}));
  EXPECT_EQ(w.words(6, 5), (ivec{1, 2, 3, 4, 4}));
  EXPECT_EQ(w.words(11, 3), (ivec{1, 2, 3}));
  EXPECT_EQ(w.words(14, 3), (ivec{4, 4, 4}));
}

TEST(Symbolic, StructuralErrorsNameTheRow) {
  const ivec id = identity(3);
  std::vector<cplx> b(3), z(3);
  work_area<cplx> w(200);
  const cplx one(1);
  // Row 2 empty.
  sparse<cplx> empty{3, {1, 2, 2, 3}, {1, 3}, {one, one}};
  EXPECT_EQ(run(zndrv, empty, id, id, id, b, z, w, 1).flag, 3 + 2);
  EXPECT_EQ(run(zndrv, empty, id, id, id, b, z, w, 5).flag, 3 + 2);
  // Row 2 holds column 1 twice (rows need not be sorted otherwise).
  sparse<cplx> dup{3, {1, 2, 5, 6}, {1, 2, 1, 1, 3}, {one, one, one, one, one}};
  EXPECT_EQ(run(zndrv, dup, id, id, id, b, z, w, 5).flag, 2 * 3 + 2);
  // Row 2 of [[1, 0, 0], [1, 0, 0], [0, 0, 1]] never reaches its diagonal.
  sparse<cplx> zero_pivot{3, {1, 2, 3, 4}, {1, 1, 3}, {one, one, one}};
  EXPECT_EQ(run(zndrv, zero_pivot, id, id, id, b, z, w, 5).flag, 5 * 3 + 2);
  // Row 1 has no diagonal at all.
  sparse<cplx> no_first{3, {1, 2, 4, 5}, {2, 1, 2, 3}, {one, one, one, one}};
  EXPECT_EQ(run(zndrv, no_first, id, id, id, b, z, w, 5).flag, 5 * 3 + 1);
}

TEST(Numeric, FillSuppliesAMissingDiagonal) {
  // [[1, 1], [1, 0]]: M(2,2) is not stored but fill makes it -1; x = (1, 2) for b = (3, 1).
  sparse<cplx> m{2, {1, 3, 4}, {2, 1, 1}, {cplx(1), cplx(1), cplx(1)}};
  const ivec id = identity(2);
  std::vector<cplx> b{cplx(3), cplx(1)}, z(2);
  work_area<cplx> w(60);
  EXPECT_EQ(run(zndrv, m, id, id, id, b, z, w, 1).flag, 0);
  EXPECT_EQ(z, (std::vector<cplx>{cplx(1), cplx(2)}));
}

TEST(Numeric, DiagonalMatrixGivesEmptyFactors) {
  // Permuted diagonal: z(c(k)) = b(r(k)) / M(k, k), with exact reciprocals.
  sparse<cplx> m{3, {1, 2, 3, 4}, {1, 2, 3}, {cplx(2), cplx(0, 4), cplx(-0.5)}};
  const ivec p{3, 1, 2}, ip{2, 3, 1};
  std::vector<cplx> b{cplx(1, 1), cplx(2), cplx(0, 3)}, z(3);
  work_area<cplx> w(60);
  EXPECT_EQ(run(zndrv, m, p, p, ip, b, z, w, 1).flag, 0);
  EXPECT_EQ(w.words(1, 8), (ivec{1, 1, 1, 1, 1, 1, 1, 1}));
  EXPECT_EQ(z, (std::vector<cplx>{cplx(0.5, 0.5), cplx(0, -0.5), cplx(0, -6)}));
}

TEST(Numeric, PivotReciprocalIsScaledByTheLargerPart) {
  // n = 2, no off-diagonal entries: ju = isp(7), l0 = (7 - 2 + 4)/4 + 1 = 3 = d0.
  sparse<cplx> m{2, {1, 2, 3}, {1, 2}, {cplx(3, 4), cplx(4, 3)}};
  const ivec id = identity(2);
  std::vector<cplx> b(2), z(2, cplx(9));
  work_area<cplx> w(60);
  EXPECT_EQ(run(zndrv, m, id, id, id, b, z, w, 1).flag, 0);
  EXPECT_EQ(w.rsp()[2], cplx(0.12, -0.16));
  EXPECT_EQ(w.rsp()[3], cplx(0.16, -0.12));
  EXPECT_EQ(z, std::vector<cplx>(2));  // zero right-hand side, zero solution
}

TEST(Numeric, EliminationAddsTheProductOfTheNegatedMultiplier) {
  // M = [[1, 0, 1+i], [1+i, 1, -0-0i], [0, 0, 1]]. Row 2 eliminates with the
  // multiplier 1+i: (-1-i)(1+i) has the real part (-1)(1) - (-1)(1) = +0, and
  // -0 + +0 = +0, so U(2,3) = (+0, -2)(1, -0) = (+0, -2). Subtracting the
  // product (1+i)(1+i) = (0, 2) instead would leave -0 - 0 = -0.
  const cplx one(1), mz(-0.0, -0.0);
  sparse<cplx> m{3, {1, 3, 6, 7}, {1, 3, 1, 2, 3, 3}, {one, cplx(1, 1), cplx(1, 1), one, mz, one}};
  const ivec id = identity(3);
  std::vector<cplx> b{one, one, one}, z(3);
  work_area<cplx> w(60);
  EXPECT_EQ(run(zndrv, m, id, id, id, b, z, w, 1).flag, 0);
  // L 1 entry, U 2: ju = isp(10), l0 = (10 + 2 - 2 + 4)/4 + 1 = 4, d at 5, u at 8
  EXPECT_EQ(w.words(1, 8), (ivec{1, 1, 2, 2, 1, 2, 3, 3}));
  EXPECT_EQ(w.rsp()[7], cplx(1, 1));  // U(1,3)
  const cplx u23 = w.rsp()[8];
  EXPECT_EQ(u23, cplx(0, -2));
  EXPECT_FALSE(std::signbit(u23.real()));
}

TEST(Numeric, ExactZeroPivotLeavesSolutionUntouched) {
  sparse<cplx> m{2, {1, 3, 5}, {1, 2, 1, 2}, {cplx(1), cplx(1), cplx(1), cplx(1)}};
  const ivec id = identity(2);
  std::vector<cplx> b{cplx(1), cplx(2)}, z(2, cplx(9));
  work_area<cplx> w(60);
  EXPECT_EQ(run(zndrv, m, id, id, id, b, z, w, 1).flag, 8 * 2 + 2);
  EXPECT_EQ(z, std::vector<cplx>(2, cplx(9)));
}

TEST(Driver, TooSmallWorkAreas) {
  // Arrow matrix in natural order (6 entries each in L and U) on sndrv, one
  // word per slot: avail = nsp - 19, jlmax = avail/2, provisional jumax =
  // avail - jlmax; after the symbolic step l0 = 23 and umax = nsp - 40.
  auto m = arrow<double>();
  const ivec id = identity(4);
  std::vector<double> b(4, 1.0), z(4);
  struct size_case {
    int32_t nsp, flag, esp;
  };
  for (const size_case sc : {size_case{20, 41, 1}, size_case{29, 6 * 4 + 3, 10},
                             size_case{30, 3 * 4 + 4, 11}, size_case{40, 41, -6},
                             size_case{41, 7 * 4 + 1, -5}, size_case{46, 0, 0}}) {
    work_area<double> w(sc.nsp);
    const outcome o = run(sndrv, m, id, id, id, b, z, w, 1);
    EXPECT_EQ(o.flag, sc.flag) << "nsp " << sc.nsp;
    EXPECT_EQ(o.esp, sc.esp) << "nsp " << sc.nsp;
  }
}

TEST(Driver, RefusesAreasBeyondThirtyTwoBitWords) {
  auto m = arrow<double>();
  auto mz = arrow<cplx>();
  const ivec id = identity(4);
  std::vector<double> b(4), z(4), area(64);
  std::vector<cplx> bz(4), zz(4), areaz(64);
  auto call = [&](auto drv, auto& mat, auto& bb, auto& zz_, auto& ar, int32_t nsp) {
    int32_t esp = -7, path = 1, flag = -7;
    drv(&mat.n, id.data(), id.data(), id.data(), mat.ia.data(), mat.ja.data(), mat.a.data(),
        bb.data(), zz_.data(), &nsp, reinterpret_cast<int32_t*>(ar.data()), ar.data(), &esp,
        &path, &flag);
    return flag;
  };
  EXPECT_EQ(call(sndrv, m, b, z, area, 2147483647), 41);
  EXPECT_EQ(call(dndrv, m, b, z, area, 1073741824), 41);
  EXPECT_EQ(call(cndrv, mz, bz, zz, areaz, 1073741824), 41);
  EXPECT_EQ(call(zndrv, mz, bz, zz, areaz, 536870912), 41);
}

TEST(Driver, PathOutsideRangeChangesNothingElse) {
  auto m = arrow<cplx>();
  const ivec id = identity(4);
  std::vector<cplx> b(4, cplx(1)), z(4, cplx(9));
  work_area<cplx> w(60);
  for (int32_t path : {0, 6}) {
    const outcome o = run(zndrv, m, id, id, id, b, z, w, path, 0, 123);
    EXPECT_EQ(o.flag, 11 * 4 + 1);
    EXPECT_EQ(o.esp, 123);
    EXPECT_EQ(z, std::vector<cplx>(4, cplx(9)));
  }
}

// Arrow matrix with complex values, nonsymmetric and not Hermitian.
sparse<cplx> complex_arrow() {
  auto m = arrow<cplx>();
  m.a = {cplx(10, 1), cplx(2, -1), cplx(3, 0.5), cplx(4, 2), cplx(1, 1),
         cplx(6, -2), cplx(-1, 0.25), cplx(7, 1), cplx(0.5, -3), cplx(8, 0)};
  return m;
}

TEST(Driver, SymbolicThenNumericEqualsOneCall) {
  auto m = complex_arrow();
  const ivec p{2, 4, 1, 3}, ip{3, 1, 4, 2};
  std::vector<cplx> b{cplx(1, 2), cplx(-3), cplx(0, 1), cplx(4, -1)}, z1(4), z2(4);
  work_area<cplx> w1(80), w2(80);
  EXPECT_EQ(run(zndrv, m, p, p, ip, b, z1, w1, 1).flag, 0);
  EXPECT_EQ(run(zndrv, m, p, p, ip, b, z2, w2, 5).flag, 0);
  EXPECT_EQ(run(zndrv, m, p, p, ip, b, z2, w2, 2).flag, 0);
  EXPECT_EQ(std::memcmp(w1.slots.data(), w2.slots.data(), 80 * sizeof(cplx)), 0);
  EXPECT_EQ(std::memcmp(z1.data(), z2.data(), 4 * sizeof(cplx)), 0);
}

TEST(Driver, StoredFactorSolvesMatchTheFactorization) {
  auto m = complex_arrow();
  const ivec p{2, 4, 1, 3}, ip{3, 1, 4, 2};
  std::vector<cplx> b{cplx(1, 2), cplx(-3), cplx(0, 1), cplx(4, -1)}, z1(4), z3(4), zt(4);
  work_area<cplx> w(80);
  EXPECT_EQ(run(zndrv, m, p, p, ip, b, z1, w, 1).flag, 0);
  EXPECT_EQ(run(zndrv, m, p, p, ip, b, z3, w, 3, 77).flag, 77);  // flag left as it was
  EXPECT_EQ(std::memcmp(z1.data(), z3.data(), 4 * sizeof(cplx)), 0);

  // The transposed solve satisfies A^T x = b, and not A^H x = b.
  EXPECT_EQ(run(zndrv, m, p, p, ip, b, zt, w, 4, 78).flag, 78);
  std::vector<cplx> at_x(4), ah_x(4);
  for (int32_t i = 1; i <= 4; ++i)
    for (int32_t j = m.ia[i - 1]; j < m.ia[i]; ++j) {
      const int32_t col = m.ja[j - 1];
      at_x[col - 1] += m.a[j - 1] * zt[i - 1];
      ah_x[col - 1] += std::conj(m.a[j - 1]) * zt[i - 1];
    }
  for (int32_t k = 0; k < 4; ++k) {
    EXPECT_LT(std::abs(at_x[k] - b[k]), 1e-14);
  }
  EXPECT_GT(std::abs(ah_x[0] - b[0]) + std::abs(ah_x[1] - b[1]), 1e-3);
}

TEST(Numeric, EmptySystemSucceeds) {
  const int32_t n = 0, lmax = 0, umax = 0;
  int32_t flag = -1;
  const int32_t one[1] = {1};
  cplx dummy[1] = {cplx(5)};
  znnf(&n, one, one, one, one, one, dummy, dummy, dummy, one, one, dummy, &lmax, dummy, one, one,
       dummy, &umax, dummy, dummy, &flag);
  EXPECT_EQ(flag, 0);
  EXPECT_EQ(dummy[0], cplx(5));
}

}  // namespace
