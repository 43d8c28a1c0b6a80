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

}  // namespace

TEST(PlaneWaveKernels, CardanoRootsAndEigenvaluesInTheirOrder) {
  cplx x1, x2, x3;
  cubeq2(1.0, -6.0, 11.0, -6.0, x1, x2, x3);  // (x - 1)(x - 2)(x - 3)
  expect_near(x1, 3.0);
  expect_near(x2, 1.0);
  expect_near(x3, 2.0);
  cubeq2(1.0, 0.0, 0.0, -8.0, x1, x2, x3);  // x^3 = 8: the real root first
  expect_near(x1, 2.0);
  expect_near(x2, cplx(-1.0, std::sqrt(3.0)));
  expect_near(x3, cplx(-1.0, -std::sqrt(3.0)));
  const cplx diag[9] = {1.0, 0.0, 0.0, 0.0, 2.0, 0.0, 0.0, 0.0, 3.0};
  cautov(diag, x1, x2, x3);
  expect_near(x1, 3.0);
  expect_near(x2, 1.0);
  expect_near(x3, 2.0);
}

TEST(PlaneWaveKernels, InversionOfTheLeadingBlock) {
  // n = 1 touches only the first entry.
  cplx mat[25];
  for (int i = 0; i < 25; ++i) mat[i] = cplx(i + 1.0, -1.0);
  mat[0] = cplx(0.0, 2.0);
  c_invert(1, mat);
  expect_near(mat[0], cplx(0.0, -0.5), 0.0);
  for (int i = 1; i < 25; ++i) EXPECT_EQ(mat[i], cplx(i + 1.0, -1.0));
  // tridiag(-1, 2, -1) of order 5 has the inverse min(i,j) (6 - max(i,j)) / 6.
  auto at = [&mat](int i, int j) -> cplx& { return mat[(i - 1) + 5 * (j - 1)]; };
  for (int i = 1; i <= 5; ++i)
    for (int j = 1; j <= 5; ++j) at(i, j) = i == j ? 2.0 : std::abs(i - j) == 1 ? -1.0 : 0.0;
  c_invert(5, mat);
  for (int i = 1; i <= 5; ++i)
    for (int j = 1; j <= 5; ++j)
      expect_near(at(i, j), std::min(i, j) * (6.0 - std::max(i, j)) / 6.0, 1e-14);
}
