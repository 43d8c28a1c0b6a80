// Element matrix and load: entries worked out by hand with coefficients
// chosen so that every value is exact, the boundary rows of the test, and
// properties of the stiffness that do not depend on how it is written.
#include <gtest/gtest.h>

#include <random>

#include "fem/fem.h"

namespace {

// Cell coefficients; masses non-zero on entry to see them cleared.
struct cell {
  double omega = 2, h = 0.5;
  double lambda1 = 9, lambda3 = 12, mu1 = 2, mu3 = 3, mu13 = 4, b1 = 8, b2 = 10, m = 7, d3 = 6;
  double p11 = 1, p12 = 2, p13 = 3, p22 = 4, p23 = 5, p33 = 6;
  double f11 = 9, f12 = 12, f22 = 3;
  element_matrix a{};
  element_load load{};

  void form(int j, int k, int nx, int ny) {
    local_sys(j, k, nx, ny, omega, h, lambda1, lambda3, mu1, mu3, mu13, b1, b2, m, d3, p11, p12,
              p13, p22, p23, p33, f11, f12, f22, a, load);
  }
  cplx at(int r, int c) const { return a[(r - 1) + local_dofs * (c - 1)]; }
};

}  // namespace

// With h = 1/2 and omega = 2: omega*f11*h^2/9 = 1/2, omega*f12*h^2/6 = 1,
// omega*f22*h^2/3 = 1/2, omega*f12*h^2/12 = 1/2.
TEST(FemLocalSys, InteriorCellByHand) {
  cell c;
  c.form(2, 2, 3, 3);
  EXPECT_EQ(c.at(1, 1), cplx(5, 0.5));     // 9/3 + 2
  EXPECT_EQ(c.at(1, 9), cplx(4, -1));      // 8/2
  EXPECT_EQ(c.at(1, 13), cplx(4, -0.5));   // 6/3 + 4/2
  EXPECT_EQ(c.at(9, 9), cplx(7, 0.5));
  EXPECT_EQ(c.at(9, 13), cplx(5, 1));      // 10/2
  EXPECT_EQ(c.at(11, 13), cplx(5, 0));
  EXPECT_EQ(c.at(1, 2), cplx(-4, 0.25));   // -9/3 - 2/2, h^2/18 mass
  EXPECT_EQ(c.at(1, 3), cplx(-2.5, 0.125)); // -9/6 - 2/2, h^2/36 mass
  EXPECT_EQ(c.at(1, 6), cplx(1.75, 0));    // 9/4 - 2/4, no x-y mass
  EXPECT_EQ(c.at(13, 13), cplx(7, 0.5));   // 12/3 + 3
  EXPECT_EQ(c.at(10, 9), cplx(-7, 0.25));  // -m, h^2/6 fluid mass
  EXPECT_EQ(c.at(11, 9), cplx(7, 0));      // no mass between L and B
  for (int r = 1; r <= local_dofs; ++r) {
    EXPECT_EQ(c.load[r - 1], cplx(0, 0));
    for (int col = 1; col <= local_dofs; ++col) EXPECT_EQ(c.at(r, col), c.at(col, r));
  }
  for (double p : {c.p11, c.p12, c.p13, c.p22, c.p23, c.p33}) EXPECT_EQ(p, 0.0);
}

TEST(FemLocalSys, BottomLeftCellRows) {
  cell c;
  c.form(1, 1, 3, 3);
  const int fixed[] = {1, 4, 5, 6, 9, 11, 13, 16, 17, 18};
  for (int r : fixed) {
    for (int col = 1; col <= local_dofs; ++col) {
      if (col != r) {
        EXPECT_EQ(c.at(r, col), cplx(0, 0)) << r << "," << col;
      }
    }
  }
  EXPECT_EQ(c.at(1, 1), cplx(5, 0.5));  // the diagonal keeps its value
  for (int r = 2; r <= local_dofs; ++r) EXPECT_EQ(c.at(r, 1), cplx(0, 0)) << r;
  EXPECT_EQ(c.at(7, 7), cplx(5, 0.5));  // free row 7 untouched
}

// Left side, not bottom or top: column 9 is zero in the constrained rows 1
// and 4 and, by the copy, below row 9; the free rows above keep it.
TEST(FemLocalSys, LeftColumnNineCopyRule) {
  cell c;
  c.form(1, 2, 4, 3);
  EXPECT_EQ(c.at(2, 9), cplx(-4, -0.5));
  EXPECT_EQ(c.at(3, 9), cplx(-4, -0.5));
  EXPECT_EQ(c.at(5, 9), cplx(4, 0));
  EXPECT_EQ(c.at(6, 9), cplx(4, 0));
  EXPECT_EQ(c.at(7, 9), cplx(-4, 0));
  EXPECT_EQ(c.at(8, 9), cplx(-4, 0));
  for (int r : {1, 4, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20})
    EXPECT_EQ(c.at(r, 9), cplx(0, 0)) << r;
  EXPECT_EQ(c.at(9, 9), cplx(7, 0.5));
  EXPECT_EQ(c.at(9, 10), cplx(0, 0));
}

TEST(FemLocalSys, TopLoadAndSingleCell) {
  cell c;
  c.form(2, 3, 3, 3);
  for (int r = 1; r <= local_dofs; ++r) {
    const bool loaded = r == 7 || r == 8 || r == 19 || r == 20;
    EXPECT_EQ(c.load[r - 1], loaded ? cplx(-0.25, 0) : cplx(0, 0)) << r;
    if (r != 12) {
      EXPECT_EQ(c.at(12, r), cplx(0, 0));
    }
  }
  EXPECT_EQ(c.at(10, 12), cplx(7, 0));  // earlier row keeps column 12
  cell one;
  one.form(1, 1, 1, 1);
  for (int r = 1; r <= local_dofs; ++r) {
    const bool free_row = r == 7 || r == 8 || r == 19 || r == 20;
    EXPECT_EQ(one.load[r - 1], free_row ? cplx(-0.25, 0) : cplx(0, 0));
    if (!free_row) {
      EXPECT_EQ(one.at(r, r == 1 ? 2 : 1), cplx(0, 0)) << r;
    }
  }
}

namespace {

// Stiffness part (omega = 0) of an interior cell times a field x.
std::array<double, local_dofs> stiffness_times(cell& c, const std::array<double, local_dofs>& x) {
  c.omega = 0;
  c.form(2, 2, 3, 3);
  std::array<double, local_dofs> y{};
  for (int r = 1; r <= local_dofs; ++r) {
    for (int col = 1; col <= local_dofs; ++col) {
      EXPECT_EQ(c.at(r, col).imag(), 0.0);
      y[r - 1] += c.at(r, col).real() * x[col - 1];
    }
  }
  return y;
}

}  // namespace

// Rigid motions of both solids strain nothing: translations along x and y
// and the infinitesimal rotation u = (-y, x), fluid at rest.
TEST(FemLocalSys, RigidMotionsGiveNoForce) {
  const double cx[4] = {0, 1, 1, 0}, cy[4] = {0, 0, 1, 1};
  for (int motion = 0; motion < 3; ++motion) {
    std::array<double, local_dofs> x{};
    for (int a = 0; a < 4; ++a) {
      const double ux = motion == 0 ? 1 : motion == 1 ? 0 : -cy[a];
      const double uy = motion == 0 ? 0 : motion == 1 ? 1 : cx[a];
      x[a] = x[12 + a] = ux;
      x[4 + a] = x[16 + a] = uy;
    }
    cell c;
    c.lambda1 = 2.1e10, c.mu1 = 1.7e10, c.lambda3 = 7.3e9, c.mu3 = 3.1e9, c.mu13 = 1.3e9;
    c.b1 = 4.4e9, c.b2 = 1.9e9, c.m = 6.7e9, c.d3 = 2.3e9;
    for (double f : stiffness_times(c, x)) EXPECT_NEAR(f, 0.0, 1e-3) << motion;
  }
}

// With positive-definite moduli the strain energy x^T K x is never negative.
TEST(FemLocalSys, StiffnessPositiveSemidefinite) {
  cell c;
  c.lambda1 = 2.1e10, c.mu1 = 1.7e10, c.lambda3 = 7.3e9, c.mu3 = 3.1e9, c.mu13 = 1.3e9;
  c.b1 = 4.4e9, c.b2 = 1.9e9, c.m = 6.7e9, c.d3 = 2.3e9;
  std::mt19937 gen(7);
  std::normal_distribution<double> normal;
  for (int trial = 0; trial < 500; ++trial) {
    std::array<double, local_dofs> x;
    for (double& v : x) v = normal(gen);
    const auto y = stiffness_times(c, x);
    double energy = 0;
    for (int i = 0; i < local_dofs; ++i) energy += x[i] * y[i];
    EXPECT_GE(energy, -1e-6 * c.lambda1);
  }
}
