// Element matrix and load: entries worked out by hand, the boundary rows and
// the top load on every cell of small grids, and the whole interior matrix
// against the weak form integrated independently, with rigid motions.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>
#include <utility>

#include "fem/fem.h"

namespace {

// Rock-like coefficients of one cell. The friction values are picked so that
// omega*f*h^2/c, h^2 taken as one factor, rounds differently from any other
// grouping of the same factors; the masses are rock-like too, and must not
// enter the matrix.
struct cell : coefficients_of_cell {
  double omega = 2 * 3.141592653589793 * 37.0, h = 0.01 / 3;
  element e{};

  cell()
      : coefficients_of_cell{2.1234567e10, 7.3456789e9, 1.7654321e10, 3.1415926e9, 1.3579111e9,
                             4.4444443e9,  1.9191919e9, 6.7676767e9,  2.3232323e9, 2.2e3,
                             -3.1e2,       -1.1e2,      4.7e2,        5.3e1,       1.3e3,
                             2.29e7,       -2.82e7,     1.44e7} {}
  cell& form(int j, int k, int nx, int ny, fe_test test = fe_test::per_solid) {
    e = local_sys({nx, ny, h, test}, j, k, omega, *this);
    return *this;
  }
  cplx at(int r, int c) const { return entry(e.a, r, c); }
  double friction(double f, double c) const { return omega * f * (h * h) / c; }
  // A x for a real field x.
  std::array<cplx, local_dofs> times(const std::array<double, local_dofs>& x) const {
    std::array<cplx, local_dofs> y{};
    for (int r = 1; r <= local_dofs; ++r)
      for (int c = 1; c <= local_dofs; ++c) y[r - 1] += at(r, c) * x[c - 1];
    return y;
  }
};

// x^T A x of a real field x from the integrals of the weak form over the
// cell, by 2 x 2 Gauss points (exact for products of these fields): elastic
// energy as real part, omega times the friction of the relative motion of
// the phases as imaginary part.
cplx weak_form(const cell& c, const std::array<double, local_dofs>& x) {
  const double g[2] = {0.5 - 0.5 / std::sqrt(3.0), 0.5 + 0.5 / std::sqrt(3.0)};
  cplx sum = 0;
  for (double s : g) {
    for (double t : g) {
      // Corner functions and their slopes along x and y, per cell side.
      const double phi[4] = {(1 - s) * (1 - t), s * (1 - t), s * t, (1 - s) * t};
      const double dx[4] = {t - 1, 1 - t, t, -t}, dy[4] = {s - 1, -s, s, 1 - s};
      // ux, uy, exx, eyy, 2 exy of the solid whose x values start at x[o]
      auto solid = [&](int o) {
        std::array<double, 5> u{};
        for (int a = 0; a < 4; ++a) {
          u[0] += phi[a] * x[o + a], u[1] += phi[a] * x[o + 4 + a];
          u[2] += dx[a] * x[o + a], u[3] += dy[a] * x[o + 4 + a];
          u[4] += dy[a] * x[o + a] + dx[a] * x[o + 4 + a];
        }
        return u;
      };
      auto eps = [](const auto& u, const auto& v) {  // strain product e(u):e(v)
        return u[2] * v[2] + u[3] * v[3] + u[4] * v[4] / 2;
      };
      const auto u1 = solid(0), u3 = solid(12);
      const double div1 = u1[2] + u1[3], div3 = u3[2] + u3[3], divw = x[9] - x[8] + x[11] - x[10];
      const double wx = x[8] * (1 - s) + x[9] * s, wy = x[10] * (1 - t) + x[11] * t;
      const double rx = u1[0] - u3[0], ry = u1[1] - u3[1];
      const double elastic = c.lambda1 * div1 * div1 + 2 * c.mu1 * eps(u1, u1) +
                             c.lambda3 * div3 * div3 + 2 * c.mu3 * eps(u3, u3) +
                             2 * c.d3 * div1 * div3 + 2 * c.mu13 * eps(u1, u3) +
                             2 * divw * (c.b1 * div1 + c.b2 * div3) + c.m * divw * divw;
      const double friction = c.f11 * (rx * rx + ry * ry) - 2 * c.f12 * (wx * rx + wy * ry) +
                              c.f22 * (wx * wx + wy * wy);
      sum += cplx(elastic, c.omega * (c.h * c.h) * friction) / 4.0;
    }
  }
  return sum;
}

}  // namespace

TEST(FemLocalSys, InteriorEntriesByHand) {
  cell c;
  for (auto [f, d] : {std::pair{c.f11, 9.0}, {c.f12, 6.0}, {c.f22, 3.0}}) {
    const double w = c.omega, h = c.h, want = c.friction(f, d);
    ASSERT_TRUE(want != w * f * h * h / d && want != w * f * (h * h / d) &&
                want != w * (f * (h * h)) / d);
  }
  c.form(2, 2, 3, 3);
  EXPECT_EQ(c.at(1, 1), cplx(c.lambda1 / 3 + c.mu1, c.friction(c.f11, 9)));
  EXPECT_EQ(c.at(1, 9), cplx(c.b1 / 2, -c.friction(c.f12, 6)));
  EXPECT_EQ(c.at(1, 13), cplx(c.d3 / 3 + c.mu13 / 2, -c.friction(c.f11, 9)));
  EXPECT_EQ(c.at(9, 9), cplx(c.m, c.friction(c.f22, 3)));
  EXPECT_EQ(c.at(9, 13), cplx(c.b2 / 2, c.friction(c.f12, 6)));
  EXPECT_EQ(c.at(11, 13), cplx(c.b2 / 2, 0));
}

// Every cell of 3x3, 1x3, 3x1 and 1x1 grids against the upper triangle of
// the interior cell (2, 2) of 3x3, under both tests: a constrained row is
// zero but for its diagonal; a free row is the interior one except for
// zeros left of the diagonal in constrained columns. Top cells alone carry
// the load, -h/2 on the top corners of each solid (per-solid) or of the
// displacement both solids share, numbered as solid 1's (platen).
TEST(FemLocalSys, BoundaryRowsAndTopLoadOfBothTests) {
  const cell inner = cell().form(2, 2, 3, 3);
  for (fe_test test : {fe_test::per_solid, fe_test::platen}) {
    for (auto [nx, ny] : {std::pair{3, 3}, {1, 3}, {3, 1}, {1, 1}}) {
      for (int j = 1; j <= nx; ++j) {
        for (int k = 1; k <= ny; ++k) {
          bool fixed[local_dofs + 1] = {};
          for (int r : {1, 4, 9, 13, 16}) fixed[r] |= j == 1;
          for (int r : {2, 3, 10, 14, 15}) fixed[r] |= j == nx;
          for (int r : {5, 6, 11, 17, 18}) fixed[r] |= k == 1;
          fixed[12] |= k == ny;
          const cell c = cell().form(j, k, nx, ny, test);
          for (int r = 1; r <= local_dofs; ++r) {
            const bool loaded = k == ny && (r == 7 || r == 8 ||
                                            (test == fe_test::per_solid && (r == 19 || r == 20)));
            EXPECT_EQ(c.e.load[r - 1], loaded ? cplx(-c.h / 2, 0) : cplx{}) << r;
            for (int col = 1; col <= local_dofs; ++col) {
              const bool zero = fixed[r] ? col != r : col < r && fixed[col];
              EXPECT_EQ(c.at(r, col),
                        zero ? cplx{} : inner.at(std::min(r, col), std::max(r, col)))
                  << nx << "x" << ny << " cell " << j << "," << k << " entry " << r << ","
                  << col;
            }
          }
        }
      }
    }
  }
}

// Translations and the rotation u = (-y, x) of both solids together, fluid
// at rest, strain nothing and slide nothing: no elastic or friction force.
// For random fields x, x^T A x is the weak form and its real part, the
// strain energy, is never negative.
TEST(FemLocalSys, RigidMotionsAndWeakForm) {
  const cell c = cell().form(2, 2, 3, 3);
  const double ux[3][4] = {{1, 1, 1, 1}, {0, 0, 0, 0}, {0, 0, -1, -1}};
  const double uy[3][4] = {{0, 0, 0, 0}, {1, 1, 1, 1}, {0, 1, 1, 0}};
  for (int motion = 0; motion < 3; ++motion) {
    std::array<double, local_dofs> x{};
    for (int a = 0; a < 4; ++a) {
      x[a] = x[12 + a] = ux[motion][a];
      x[4 + a] = x[16 + a] = uy[motion][a];
    }
    for (cplx f : c.times(x)) EXPECT_LT(std::abs(f), 1e-3) << motion;
  }
  std::mt19937 gen(7);
  std::normal_distribution<double> normal;
  for (int trial = 0; trial < 300; ++trial) {
    std::array<double, local_dofs> x;
    for (double& v : x) v = normal(gen);
    const auto y = c.times(x);
    cplx form = 0;
    for (int i = 0; i < local_dofs; ++i) form += x[i] * y[i];
    const cplx want = weak_form(c, x);
    EXPECT_GE(form.real(), -1e-6 * c.lambda1);
    EXPECT_NEAR(form.real(), want.real(), 1e-6 * c.lambda1) << trial;
    EXPECT_NEAR(form.imag(), want.imag(), 1e-9 * c.friction(c.f22, 1)) << trial;
  }
}
