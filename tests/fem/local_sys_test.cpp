// Element matrix and load: entries worked out by hand with coefficients
// chosen so that every value is exact, the boundary rows of the test, and
// properties of the stiffness that do not depend on how it is written.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <utility>

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
  cplx at(int r, int c) const { return entry(a, r, c); }
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

namespace {

// The written-out stiffness block K(lambda, mu) on x1..x4, y1..y4: entry
// lambda/dl + mu/dm (dm = 0: no mu term), upper triangle, symmetric.
constexpr int k_lam[8][8] = {{3, -3, -6, 6, 4, 4, -4, -4},  {0, 3, 6, -6, -4, -4, 4, 4},
                             {0, 0, 3, -3, -4, -4, 4, 4},   {0, 0, 0, 3, 4, 4, -4, -4},
                             {0, 0, 0, 0, 3, 6, -6, -3},    {0, 0, 0, 0, 0, 3, -3, -6},
                             {0, 0, 0, 0, 0, 0, 3, 6},      {0, 0, 0, 0, 0, 0, 0, 3}};
constexpr int k_mu[8][8] = {{1, -2, -2, 0, 4, -4, -4, 4},  {0, 1, 0, -2, 4, -4, -4, 4},
                            {0, 0, 1, -2, -4, 4, 4, -4},   {0, 0, 0, 1, -4, 4, 4, -4},
                            {0, 0, 0, 0, 1, 0, -2, -2},    {0, 0, 0, 0, 0, 1, -2, -2},
                            {0, 0, 0, 0, 0, 0, 1, 0},      {0, 0, 0, 0, 0, 0, 0, 1}};
double k_entry(double lambda, double mu, int s, int t) {
  if (s > t) std::swap(s, t);
  const int dl = k_lam[s][t], dm = k_mu[s][t];
  return dm == 0 ? lambda / dl : lambda / dl + mu / dm;
}
// Denominators of the mass integrals over h^2 (0: vanishes): bilinear M,
// solid-fluid G (x, then y components; columns L, R, B, T), fluid N; the
// divergence couplings D in halves and the fluid divergence signs.
constexpr int m_den[4][4] = {{9, 18, 36, 18}, {18, 9, 18, 36}, {36, 18, 9, 18}, {18, 36, 18, 9}};
constexpr int g_den[8][4] = {{6, 12, 0, 0}, {12, 6, 0, 0}, {12, 6, 0, 0}, {6, 12, 0, 0},
                             {0, 0, 6, 12}, {0, 0, 6, 12}, {0, 0, 12, 6}, {0, 0, 12, 6}};
constexpr int n_den[4][4] = {{3, 6, 0, 0}, {6, 3, 0, 0}, {0, 0, 3, 6}, {0, 0, 6, 3}};
constexpr int d_sign[8][4] = {{1, -1, 1, -1}, {-1, 1, -1, 1}, {-1, 1, -1, 1}, {1, -1, 1, -1},
                              {1, -1, 1, -1}, {1, -1, 1, -1}, {-1, 1, -1, 1}, {-1, 1, -1, 1}};
constexpr int sigma[4] = {-1, 1, -1, 1};

// Block formula of entry (r, c), r <= c, 0-based, of an interior cell.
cplx expected_entry(const cell& q, int r, int c) {
  auto friction = [&](double f, int den) {
    return den == 0 ? 0.0 : q.omega * f * (q.h * q.h) / den;
  };
  auto mass2 = [](int s, int t) { return s / 4 == t / 4 ? m_den[s % 4][t % 4] : 0; };
  if (c < 8) return {k_entry(q.lambda1, q.mu1, r, c), friction(q.f11, mass2(r, c))};
  if (r < 8 && c < 12) return {d_sign[r][c - 8] * q.b1 / 2, -friction(q.f12, g_den[r][c - 8])};
  if (r < 8) return {k_entry(q.d3, q.mu13 / 2, r, c - 12), -friction(q.f11, mass2(r, c - 12))};
  if (c < 12) return {q.m * sigma[r - 8] * sigma[c - 8], friction(q.f22, n_den[r - 8][c - 8])};
  if (r < 12) return {d_sign[c - 12][r - 8] * q.b2 / 2, friction(q.f12, g_den[c - 12][r - 8])};
  return {k_entry(q.lambda3, q.mu3, r - 12, c - 12), friction(q.f11, mass2(r - 12, c - 12))};
}

// Rock-like coefficients for which h^2 formed first, ((omega*f)*h)*h and
// omega*f*(h^2/c) all round differently.
cell rock_like_cell() {
  cell c;
  c.omega = 2 * 3.141592653589793 * 37.0, c.h = 0.01 / 3;
  c.lambda1 = 2.1234567e10, c.lambda3 = 7.3456789e9, c.mu1 = 1.7654321e10, c.mu3 = 3.1415926e9;
  c.mu13 = 1.3579111e9, c.b1 = 4.4444443e9, c.b2 = 1.9191919e9, c.m = 6.7676767e9;
  c.d3 = 2.3232323e9, c.f11 = 2.82e7, c.f12 = -3.66e7, c.f22 = 5.76e7;
  return c;
}

}  // namespace

// Every entry of an interior cell against the written-out tables.
TEST(FemLocalSys, InteriorCellAgainstTables) {
  cell c = rock_like_cell();
  const double area = c.h * c.h;
  ASSERT_NE(c.omega * c.f11 * area / 9, c.omega * c.f11 * c.h * c.h / 9);
  ASSERT_NE(c.omega * c.f11 * area / 9, c.omega * c.f11 * (area / 9));
  c.form(2, 2, 3, 3);
  for (int r = 0; r < local_dofs; ++r) {
    for (int col = r; col < local_dofs; ++col) {
      const cplx want = expected_entry(c, r, col);
      EXPECT_EQ(c.at(r + 1, col + 1), want) << r + 1 << "," << col + 1;
      EXPECT_EQ(c.at(col + 1, r + 1), want) << col + 1 << "," << r + 1;
    }
  }
}

// Every cell of 3 x 3, 1 x 3, 3 x 1 and 1 x 1 grids: a constrained row is
// zero but for its formula diagonal; a free row has the formula from the
// diagonal on and, to its left, the formula except in constrained columns.
TEST(FemLocalSys, ConstrainedRowsAndCopies) {
  for (auto [nx, ny] : {std::pair{3, 3}, {1, 3}, {3, 1}, {1, 1}}) {
    for (int j = 1; j <= nx; ++j) {
      for (int k = 1; k <= ny; ++k) {
        bool fixed[local_dofs + 1] = {};
        for (int r : {1, 4, 9, 13, 16}) fixed[r] |= j == 1;
        for (int r : {2, 3, 10, 14, 15}) fixed[r] |= j == nx;
        for (int r : {5, 6, 11, 17, 18}) fixed[r] |= k == 1;
        fixed[12] |= k == ny;
        cell c = rock_like_cell();
        c.form(j, k, nx, ny);
        for (int r = 1; r <= local_dofs; ++r) {
          for (int col = 1; col <= local_dofs; ++col) {
            const bool zero = fixed[r] ? col != r : col < r && fixed[col];
            const int lo = std::min(r, col) - 1, hi = std::max(r, col) - 1;
            EXPECT_EQ(c.at(r, col), zero ? cplx{} : expected_entry(c, lo, hi))
                << nx << "x" << ny << " cell " << j << "," << k << " entry " << r << "," << col;
          }
        }
      }
    }
  }
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
