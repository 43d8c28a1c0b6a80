// The cell fields and the pressure map computed from prescribed displacement
// fields with known answers; the checks of undefined results. The modulus,
// volume change and density are covered by the golden master's reports.
#include "core/effective_modulus.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <utility>
#include <vector>

#include "fem/fem.h"

namespace {

// Solid 1 (a x, b y), solid 3 (c x, e y) and fluid (f x + q x^2 / 2, g y):
// uniform vertical strains b and e; the fluid divergence f + g + q x, which
// the edge values give exactly at the cell centre.
const cplx a(1e-3, 2e-4), b(-3e-3, 1e-4), c(5e-4, 0), e(-2e-3, -3e-4), f(4e-3, 0), g(1e-3, 1e-3);
const double q = 2e-3;
std::array<cplx, 6> displacement(double x, double y) {
  return {a * x, b * y, c * x, e * y, f * x + q * x * x / 2, g * y};
}

// A field of value v over every grid of these tests.
cell_real uniform(double v) {
  cell_real field(8, 8);
  for (int j = 1; j <= 8; ++j)
    for (int k = 1; k <= 8; ++k) field(j, k) = v;
  return field;
}

}  // namespace

// The solution vector of those fields on a 5 x 4 grid (solid values at the
// nodes, fluid normal components at the edge midpoints) gives each cell's
// strains, stress and pressure, and the backward differences of a pressure
// growing along x, -m q.
TEST(cell_fields, prescribed_displacements_give_their_strain_stress_and_pressure) {
  const int nx = 5, ny = 4;
  const double h = 0.5;
  dof_table xnod(nx, ny);
  global_numbering(nx, ny, xnod);
  std::vector<cplx> z(unknowns(nx, ny));
  for (int k = 1; k <= ny; ++k)
    for (int j = 1; j <= nx; ++j) {
      auto at = [&](int local) -> cplx& { return z[xnod((k - 1) * nx + j, local) - 1]; };
      const double x0 = (j - 1) * h, y0 = (k - 1) * h;
      const double cx[] = {x0, x0 + h, x0 + h, x0}, cy[] = {y0, y0, y0 + h, y0 + h};
      for (int n = 1; n <= 4; ++n) {
        const auto u = displacement(cx[n - 1], cy[n - 1]);
        at(xs1_1(n)) = u[0], at(xs1_2(n)) = u[1], at(xs2_1(n)) = u[2], at(xs2_2(n)) = u[3];
      }
      at(xf_L) = displacement(x0, 0)[4], at(xf_R) = displacement(x0 + h, 0)[4];
      at(xf_B) = displacement(0, y0)[5], at(xf_T) = displacement(0, y0 + h)[5];
    }
  cell_cplx strain1{nx, ny}, strain3{nx, ny}, stress{nx, ny}, pres{nx, ny}, derx{nx, ny},
      dery{nx, ny};
  cell_real grad{nx, ny};
  cell_strain_stress(nx, ny, h, xnod, z.data(), uniform(7e9), uniform(5e9), uniform(1e8),
                     uniform(2e8), strain1, strain3, stress);
  pressure_field(nx, ny, h, xnod, z.data(), uniform(3e9), uniform(1e9), uniform(4e9), pres, derx,
                 dery, grad);
  for (int k = 1; k <= ny; ++k)
    for (int j = 1; j <= nx; ++j) {
      const cplx xi = f + g + q * (j - 0.5) * h;
      EXPECT_NEAR(std::abs(strain1(j, k) - b), 0.0, 1e-15);
      EXPECT_NEAR(std::abs(strain3(j, k) - e), 0.0, 1e-15);
      EXPECT_NEAR(std::abs(stress(j, k) - ((7e9 + 2 * 5e9) * b + 2e8 * xi + 1e8 * e)), 0.0, 1e-4);
      EXPECT_NEAR(std::abs(pres(j, k) + 3e9 * (a + b) + 1e9 * (c + e) + 4e9 * xi), 0.0, 1e-4);
      if (j == 1 || j == nx || k == 1 || k == ny) continue;
      EXPECT_NEAR(std::abs(derx(j, k) + 4e9 * q), 0.0, 1e-3);
      EXPECT_NEAR(std::abs(dery(j, k)), 0.0, 1e-3);
      EXPECT_NEAR(grad(j, k), 4e9 * q, 1e-3);
    }
}

TEST(first_nan_result, names_the_first_undefined_result) {
  const double nan = std::nan("");
  // A real modulus: v = sqrt(M / rho), Q infinite, 1000/Q zero, all defined.
  const modulus_wave real = wave_of_modulus(cplx(2200.0 * 9.0e6, 0.0), 2200.0);
  EXPECT_NEAR(real.velocity, 3000.0, 1e-9);
  EXPECT_EQ(real.qinv, 0.0);
  EXPECT_EQ(first_nan_result(real, cplx(2e10, 0.0)), nullptr);
  EXPECT_STREQ(first_nan_result({nan, nan, nan}, cplx(2e10, 1e8)), "velocity");
  EXPECT_STREQ(first_nan_result({3000.0, 1e9, nan}, cplx(2e10, 1e8)), "1000/Q");
  EXPECT_STREQ(first_nan_result({3000.0, 1e9, 1e-6}, cplx(2e10, nan)), "solid-3 modulus");
}

TEST(freq_sweep, is_the_first_frequency_and_never_nan) {
  for (auto [freq2, nfreq] : {std::pair{5000.0, 10}, {5000.0, 1}, {0.0, 10}, {-3.0, 0}})
    EXPECT_NEAR(freq_sweep_point(50.0, freq2, nfreq), 50.0, 1e-12) << freq2 << " " << nfreq;
}
