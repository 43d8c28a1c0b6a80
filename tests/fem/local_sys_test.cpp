// Element matrix of an interior cell against the weak form integrated
// independently, with rigid motions.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <random>

#include "fem/fem.h"

namespace {

using field = std::array<double, local_dofs>;

// Rock-like coefficients of one cell; the masses must not enter the matrix.
const coefficients_of_cell rock{2.1234567e10, 7.3456789e9, 1.7654321e10, 3.1415926e9,
                                1.3579111e9,  4.4444443e9, 1.9191919e9,  6.7676767e9,
                                2.3232323e9,  2.2e3,       -3.1e2,       -1.1e2,
                                4.7e2,        5.3e1,       1.3e3,        2.29e7,
                                -2.82e7,      1.44e7};
const double omega = 2 * 3.141592653589793 * 37.0, h = 0.01 / 3;

// x^T A x of a real field x from the integrals of the weak form over the
// cell, by 2 x 2 Gauss points (exact for products of these fields): elastic
// energy as real part, omega h^2 times the friction of the relative motion
// of the phases as imaginary part.
cplx weak_form(const coefficients_of_cell& c, const field& x) {
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
      sum += cplx(elastic, omega * (h * h) * friction) / 4.0;
    }
  }
  return sum;
}

// x^T A x of the element matrix.
cplx quadratic_form(const element& e, const field& x) {
  cplx sum = 0;
  for (int r = 1; r <= local_dofs; ++r)
    for (int c = 1; c <= local_dofs; ++c) sum += x[r - 1] * entry(e.a, r, c) * x[c - 1];
  return sum;
}

}  // namespace

// Translations and the rotation u = (-y, x) of both solids together, fluid
// at rest, strain nothing and slide nothing: no elastic or friction force.
// For random fields x, x^T A x is the weak form, its real part (the strain
// energy) never negative.
TEST(FemLocalSys, RigidMotionsAndWeakForm) {
  const element e = local_sys({3, 3, h, fe_test::per_solid}, 2, 2, omega, rock);
  const double ux[3][4] = {{1, 1, 1, 1}, {0, 0, 0, 0}, {0, 0, -1, -1}};
  const double uy[3][4] = {{0, 0, 0, 0}, {1, 1, 1, 1}, {0, 1, 1, 0}};
  for (int motion = 0; motion < 3; ++motion) {
    field x{};
    for (int a = 0; a < 4; ++a) {
      x[a] = x[12 + a] = ux[motion][a];
      x[4 + a] = x[16 + a] = uy[motion][a];
    }
    for (int r = 1; r <= local_dofs; ++r) {
      cplx force = 0;
      for (int c = 1; c <= local_dofs; ++c) force += entry(e.a, r, c) * x[c - 1];
      EXPECT_LT(std::abs(force), 1e-3) << motion << " row " << r;
    }
  }
  std::mt19937 gen(7);
  std::normal_distribution<double> normal;
  for (int trial = 0; trial < 300; ++trial) {
    field x;
    for (double& v : x) v = normal(gen);
    const cplx form = quadratic_form(e, x), want = weak_form(rock, x);
    EXPECT_GE(form.real(), -1e-6 * rock.lambda1);
    EXPECT_NEAR(form.real(), want.real(), 1e-6 * rock.lambda1) << trial;
    EXPECT_NEAR(form.imag(), want.imag(), 1e-9 * omega * rock.f22 * h * h) << trial;
  }
}
