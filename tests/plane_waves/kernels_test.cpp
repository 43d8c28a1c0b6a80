// Cardano roots, 3 x 3 eigenvalues and bordering inversion against
// hand-worked cases.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "plane_waves/plane_waves.h"

namespace {

void expect_near(cplx got, cplx want, double tol = 1e-12) {
  EXPECT_NEAR(got.real(), want.real(), tol) << got;
  EXPECT_NEAR(got.imag(), want.imag(), tol) << got;
}

bool finite(cplx z) { return std::isfinite(z.real()) && std::isfinite(z.imag()); }

}  // namespace

TEST(Cubeq2, RootsOfKnownCubicsInCardanoOrder) {
  cplx x1, x2, x3;
  // (x - 1)(x - 2)(x - 3): p = -1, q = 0, w = i/sqrt(27), theta = pi/6.
  cubeq2(1.0, -6.0, 11.0, -6.0, x1, x2, x3);
  expect_near(x1, 3.0);
  expect_near(x2, 1.0);
  expect_near(x3, 2.0);

  // A common complex factor leaves the set of roots unchanged (rounding
  // may move w across the branch cut of the square root and swap x2, x3).
  const cplx f(0.3, -2.0);
  cubeq2(f, -6.0 * f, 11.0 * f, -6.0 * f, x1, x2, x3);
  expect_near(x1, 3.0);
  expect_near(x2 + x3, 3.0);
  expect_near(x2 * x3, 2.0);

  // x^3 = 8: the real cube root, then the two complex ones.
  cubeq2(1.0, 0.0, 0.0, -8.0, x1, x2, x3);
  expect_near(x1, 2.0);
  expect_near(x2, cplx(-1.0, std::sqrt(3.0)));
  expect_near(x3, cplx(-1.0, -std::sqrt(3.0)));
}

TEST(Cubeq2, VanishingCardanoTermGivesNonFiniteRoots) {
  // x^3 + 8: p = 0 and h = 4, so w = 0 and every root divides by zero.
  cplx x1, x2, x3;
  cubeq2(1.0, 0.0, 0.0, 8.0, x1, x2, x3);
  EXPECT_FALSE(finite(x1));
  EXPECT_FALSE(finite(x2));
  EXPECT_FALSE(finite(x3));
}

TEST(Cautov, EigenvaluesOfDiagonalAndTriangularMatrices) {
  cplx l1, l2, l3;
  const cplx diag[9] = {1.0, 0.0, 0.0, 0.0, 2.0, 0.0, 0.0, 0.0, 3.0};
  cautov(diag, l1, l2, l3);
  expect_near(l1, 3.0);
  expect_near(l2, 1.0);
  expect_near(l3, 2.0);

  // Upper triangular (column-major): the diagonal is the spectrum.
  const cplx a(2.0, 1.0), b(-1.0, 0.5), c(0.5, -3.0);
  const cplx tri[9] = {a, 0.0, 0.0, cplx(4.0, 1.0), b, 0.0, cplx(-2.0, 7.0), cplx(1.0, 1.0), c};
  cautov(tri, l1, l2, l3);
  // Trace and determinant fix the set of three roots.
  expect_near(l1 + l2 + l3, a + b + c, 1e-11);
  expect_near(l1 * l2 * l3, a * b * c, 1e-11);
  for (cplx l : {l1, l2, l3}) {
    const double d = std::min({std::abs(l - a), std::abs(l - b), std::abs(l - c)});
    EXPECT_LT(d, 1e-11) << l;
  }
}

TEST(Cautov, TripleRootIsNotGuarded) {
  const cplx eye[9] = {1.0, 0.0, 0.0, 0.0, 1.0, 0.0, 0.0, 0.0, 1.0};
  cplx l1, l2, l3;
  cautov(eye, l1, l2, l3);
  EXPECT_FALSE(finite(l1));
}

TEST(CInvert, OrderOneTouchesOnlyTheFirstEntry) {
  cplx mat[25];
  for (int i = 0; i < 25; ++i) mat[i] = cplx(i + 1.0, -1.0);
  mat[0] = cplx(0.0, 2.0);
  c_invert(1, mat);
  expect_near(mat[0], cplx(0.0, -0.5), 0.0);
  for (int i = 1; i < 25; ++i) EXPECT_EQ(mat[i], cplx(i + 1.0, -1.0));
}

TEST(CInvert, SecondDifferenceMatrixOfOrderFive) {
  // tridiag(-1, 2, -1) has the inverse min(i,j) (6 - max(i,j)) / 6.
  cplx mat[25] = {};
  auto at = [&mat](int i, int j) -> cplx& { return mat[(i - 1) + 5 * (j - 1)]; };
  for (int i = 1; i <= 5; ++i) {
    at(i, i) = 2.0;
    if (i > 1) at(i, i - 1) = at(i - 1, i) = -1.0;
  }
  c_invert(5, mat);
  for (int i = 1; i <= 5; ++i)
    for (int j = 1; j <= 5; ++j)
      expect_near(at(i, j), std::min(i, j) * (6.0 - std::max(i, j)) / 6.0, 1e-14);
}

TEST(CInvert, ComplexNonsymmetricBlockLeavesTheRestAlone) {
  // A 3 x 3 block inside the 5 x 5 array; its product with the original
  // must be the identity and the entries outside must not move.
  cplx mat[25];
  for (int i = 0; i < 25; ++i) mat[i] = cplx(100.0 + i, 0.0);
  auto at = [&mat](int i, int j) -> cplx& { return mat[(i - 1) + 5 * (j - 1)]; };
  const cplx a[3][3] = {{cplx(4, 1), cplx(1, -2), cplx(0, 1)},
                        {cplx(2, 0), cplx(5, 3), cplx(-1, 0)},
                        {cplx(1, 1), cplx(0, -1), cplx(3, -2)}};
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j) at(i, j) = a[i - 1][j - 1];
  c_invert(3, mat);
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j) {
      cplx sum = 0.0;
      for (int l = 1; l <= 3; ++l) sum += a[i - 1][l - 1] * at(l, j);
      expect_near(sum, i == j ? 1.0 : 0.0, 1e-14);
    }
  for (int i = 1; i <= 5; ++i)
    for (int j = 1; j <= 5; ++j)
      if (i > 3 || j > 3) {
        EXPECT_EQ(at(i, j), cplx(100.0 + (i - 1) + 5 * (j - 1), 0.0));
      }
}
