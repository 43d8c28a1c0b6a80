// The cell fields and the pressure map computed from prescribed displacement
// fields with known answers; the checks of undefined results. The modulus,
// volume change and density are covered by the golden master's reports.
#include "core/effective_modulus.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "fem/fem.h"

namespace {

// A solution vector holding the nodal and edge values of given fields on an
// nx x ny grid of side h: solid 1 and solid 3 displacements at the nodes,
// the normal fluid component at the edge midpoints.
struct field_solution {
  using field = std::function<cplx(double x, double y)>;
  int nx, ny;
  double h;
  dof_table xnod;
  std::vector<cplx> z;

  field_solution(int nx_, int ny_, double h_, field u1x, field u1y, field u3x, field u3y,
                 field wx, field wy)
      : nx(nx_), ny(ny_), h(h_), xnod(nx_, ny_), z(unknowns(nx_, ny_)) {
    global_numbering(nx, ny, xnod);
    for (int k = 1; k <= ny; ++k)
      for (int j = 1; j <= nx; ++j) {
        const int ic = (k - 1) * nx + j;
        const double x0 = (j - 1) * h, y0 = (k - 1) * h;
        const double cx[] = {x0, x0 + h, x0 + h, x0}, cy[] = {y0, y0, y0 + h, y0 + h};
        for (int a = 1; a <= 4; ++a) {
          at(ic, xs1_1(a)) = u1x(cx[a - 1], cy[a - 1]);
          at(ic, xs1_2(a)) = u1y(cx[a - 1], cy[a - 1]);
          at(ic, xs2_1(a)) = u3x(cx[a - 1], cy[a - 1]);
          at(ic, xs2_2(a)) = u3y(cx[a - 1], cy[a - 1]);
        }
        at(ic, xf_L) = wx(x0, y0 + h / 2);
        at(ic, xf_R) = wx(x0 + h, y0 + h / 2);
        at(ic, xf_B) = wy(x0 + h / 2, y0);
        at(ic, xf_T) = wy(x0 + h / 2, y0 + h);
      }
  }
  cplx& at(int ic, int local) { return z[static_cast<std::size_t>(xnod(ic, local) - 1)]; }
};

cplx zero(double, double) { return 0.0; }

// A field of value v over every grid of these tests.
cell_real uniform(double v) {
  const int cells = 8;
  cell_real a(cells, cells);
  for (int j = 1; j <= cells; ++j)
    for (int k = 1; k <= cells; ++k) a(j, k) = v;
  return a;
}

TEST(cell_fields, linear_fields_give_uniform_strain_stress_and_pressure) {
  const int nx = 5, ny = 4;
  const double h = 0.1;
  const cplx a(1e-3, 2e-4), b(-3e-3, 1e-4), c(5e-4, 0), e(-2e-3, -3e-4), f(4e-3, 0), g(1e-3, 1e-3);
  const field_solution s(
      nx, ny, h, [&](double x, double) { return a * x; }, [&](double, double y) { return b * y; },
      [&](double x, double) { return c * x; }, [&](double, double y) { return e * y; },
      [&](double x, double) { return f * x; }, [&](double, double y) { return g * y; });
  const cell_real lambda1 = uniform(7e9), mu1 = uniform(5e9), mu13 = uniform(1e8), d3 = uniform(2e8);
  const cell_real b1 = uniform(3e9), b2 = uniform(1e9), m = uniform(4e9);
  cell_cplx strain1{nx, ny}, strain3{nx, ny}, stress{nx, ny}, pres{nx, ny}, derx{nx, ny},
      dery{nx, ny};
  cell_real grad{nx, ny};
  cell_strain_stress(nx, ny, h, s.xnod, s.z.data(), lambda1, mu1, mu13, d3, strain1, strain3,
                     stress);
  pressure_field(nx, ny, h, s.xnod, s.z.data(), b1, b2, m, pres, derx, dery, grad);
  const cplx sigma = (7e9 + 2 * 5e9) * b + 2e8 * (f + g) + 1e8 * e;
  const cplx p = -(3e9 * (a + b) + 1e9 * (c + e) + 4e9 * (f + g));
  for (int k = 1; k <= ny; ++k)
    for (int j = 1; j <= nx; ++j) {
      EXPECT_NEAR(std::abs(strain1(j, k) - b), 0.0, 1e-15);
      EXPECT_NEAR(std::abs(strain3(j, k) - e), 0.0, 1e-15);
      EXPECT_NEAR(std::abs(stress(j, k) - sigma), 0.0, 1e-4);
      EXPECT_NEAR(std::abs(pres(j, k) - p), 0.0, 1e-4);
    }
  for (int k = 2; k < ny; ++k)
    for (int j = 2; j < nx; ++j) EXPECT_NEAR(grad(j, k), 0.0, 1e-2);
}

TEST(cell_fields, pressure_gradient_of_a_fluid_divergence_growing_along_x) {
  // w_x = q x^2 / 2 makes the fluid divergence, hence the pressure -m q x,
  // grow linearly across the sample: the backward differences give m q.
  const int nx = 5, ny = 4;
  const double h = 0.5, q = 2e-3, modulus = 4e9;
  const field_solution s(
      nx, ny, h, zero, zero, zero, zero, [&](double x, double) { return cplx(q * x * x / 2); },
      zero);
  cell_cplx pres{nx, ny}, derx{nx, ny}, dery{nx, ny};
  cell_real grad{nx, ny};
  pressure_field(nx, ny, h, s.xnod, s.z.data(), uniform(3e9), uniform(1e9), uniform(modulus),
                 pres, derx, dery, grad);
  for (int k = 2; k < ny; ++k)
    for (int j = 2; j < nx; ++j) {
      EXPECT_NEAR(derx(j, k).real(), -modulus * q, 1e-3);
      EXPECT_NEAR(std::abs(dery(j, k)), 0.0, 1e-3);
      EXPECT_NEAR(grad(j, k), modulus * q, 1e-3);
    }
}

TEST(first_nan_result, names_the_first_undefined_result) {
  const double nan = std::nan("");
  // A real modulus: v = sqrt(M / rho), Q infinite, 1000/Q zero, all defined.
  const modulus_wave real = wave_of_modulus(cplx(2200.0 * 9.0e6, 0.0), 2200.0);
  EXPECT_NEAR(real.velocity, 3000.0, 1e-9);
  EXPECT_EQ(real.qinv, 0.0);
  EXPECT_EQ(first_nan_result(real, cplx(2e10, 0.0)), nullptr);
  EXPECT_EQ(first_nan_result({3000.0, 1e9, 1e-6}, cplx(2e10, 1e8)), nullptr);
  EXPECT_STREQ(first_nan_result({nan, nan, nan}, cplx(2e10, 1e8)), "velocity");
  EXPECT_STREQ(first_nan_result({3000.0, 1e9, nan}, cplx(2e10, 1e8)), "1000/Q");
  EXPECT_STREQ(first_nan_result({3000.0, 1e9, 1e-6}, cplx(2e10, nan)), "solid-3 modulus");
  // A zero mean strain makes the modulus from the averages undefined.
  EXPECT_STREQ(first_nan_result(wave_of_modulus(cplx(0.0) / cplx(0.0), 2000.0), cplx(1.0)),
               "velocity");
}

TEST(freq_sweep, is_the_first_frequency_and_never_nan) {
  EXPECT_NEAR(freq_sweep_point(50.0, 5000.0, 10), 50.0, 1e-12);
  EXPECT_NEAR(freq_sweep_point(50.0, 5000.0, 1), 50.0, 1e-12);  // 0/0 left out
  EXPECT_NEAR(freq_sweep_point(50.0, 0.0, 10), 50.0, 1e-12);    // log of 0 left out
  EXPECT_NEAR(freq_sweep_point(50.0, -3.0, 0), 50.0, 1e-12);
}

}  // namespace
