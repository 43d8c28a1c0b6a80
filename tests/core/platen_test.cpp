// The platen test of a point: a uniform sample's modulus is the cell's
// undrained uniaxial modulus H_u at every frequency, without loss; the
// modulus is conjugate to the load and never lossy-negative on patchy
// fields; a layered sample lies between its relaxed and unrelaxed limits and
// reaches each at its end of the spectrum.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>
#include <random>
#include <string>

#include "core/point.h"
#include "support/deck_values.h"
#include "support/example_system.h"

namespace {

// The two water proportions of a sample of each model (the ice model needs
// less water than its porosity 0.4).
struct model {
  const char* deck;
  double dry, wet;
};
const model models[] = {{"permafrost", 0.1, 0.35}, {"shaley_sand", 0.1, 0.35}};

const double freqs[] = {1e-4, 0.01, 1.0, 100.0, 1e4, 1e5};

// A point of the platen test, its workspace kept for the cell coefficients
// and the system.
struct platen_point {
  platen_point(const deck_values& deck, double freq, const core::water_field& field)
      : plan(core::make_grid_plan(deck.nx, deck.ny, core::fe_test::platen)),
        ws(core::make_workspace(*plan, 1)),
        r(core::compute_point(deck, freq, field, *plan, *ws)) {}
  std::shared_ptr<const core::grid_plan> plan;
  std::unique_ptr<core::point_workspace> ws;
  core::point_result r;
};

// Uniaxial stiffness of cell (j, k) on (u1y, u3y, w_y).
using matrix3 = std::array<std::array<double, 3>, 3>;
matrix3 uniaxial(const cell_coefficients& c, int j, int k) {
  const double s13 = c.d3(j, k) + c.mu13(j, k);
  return {{{c.lambda1(j, k) + 2 * c.mu1(j, k), s13, c.b1(j, k)},
           {s13, c.lambda3(j, k) + 2 * c.mu3(j, k), c.b2(j, k)},
           {c.b1(j, k), c.b2(j, k), c.m(j, k)}}};
}

// Undrained modulus of the common motion (1, 1, 0): 1 S 1.
double undrained(const matrix3& s) { return s[0][0] + s[1][1] + 2 * s[0][1]; }

matrix3 inverse(const matrix3& a) {
  matrix3 v;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      v[j][i] = a[(i + 1) % 3][(j + 1) % 3] * a[(i + 2) % 3][(j + 2) % 3] -
                a[(i + 1) % 3][(j + 2) % 3] * a[(i + 2) % 3][(j + 1) % 3];
  const double det = a[0][0] * v[0][0] + a[0][1] * v[1][0] + a[0][2] * v[2][0];
  for (auto& row : v)
    for (double& x : row) x /= det;
  return v;
}

}  // namespace

// Both rock models on 6 x 5 cells, 0.1 mHz - 100 kHz. A uniform sample's
// modulus is its cells' undrained uniaxial modulus H_u to 1e-10, without
// loss (1000/Q below 1e-8), its stress map filled, and below 100 Hz it is
// the fast P plane wave's rho vp1^2 within 1e-3 (1000/Q within 1). A random two-valued
// field's modulus is the one conjugate to the load (M F.z = domain_size h
// nx), 1000/Q >= -1e-9, its density the mean of the cells' own densities,
// those of the uniform samples of each water value.
TEST(platen, uniform_samples_have_the_undrained_modulus_and_patchy_ones_are_passive) {
  const int nx = 6, ny = 5;
  std::mt19937 gen(11);
  for (const model& m : models) {
    const deck_values deck = deck_values_of(deck_text(nx, ny, m.deck));
    core::water_field field = core::uniform_field(nx, ny, m.dry);
    int wet = 0;
    for (double& w : field.v)
      if (gen() % 2) w = m.wet, ++wet;
    for (double freq : freqs) {
      double rho = 0;
      for (double water : {m.dry, m.wet}) {
        const platen_point u(deck, freq, core::uniform_field(nx, ny, water));
        const double h_u = undrained(uniaxial(u.ws->cc, 1, 1));
        EXPECT_LT(std::abs(u.r.main.modulus / h_u - 1.0), 1e-10) << m.deck << " " << freq;
        EXPECT_LT(std::abs(u.r.main.qinv), 1e-8) << m.deck << " " << freq;
        if (freq <= 100) {  // the fast P plane wave carries the same modulus
          const double plane = u.r.density * u.r.plane.vp1 * u.r.plane.vp1;
          EXPECT_LT(std::abs(plane / u.r.main.modulus.real() - 1.0), 1e-3) << m.deck << " " << freq;
          EXPECT_LT(std::abs(u.r.plane.qinv_p1 - u.r.main.qinv), 1.0) << m.deck << " " << freq;
        }
        EXPECT_TRUE(std::isfinite(std::abs(u.r.stress(nx, ny))) && std::abs(u.r.stress(nx, ny)) > 0);
        rho += (water == m.wet ? wet : nx * ny - wet) * u.r.density / (nx * ny);
      }
      const platen_point p(deck, freq, field);
      const fe_system& s = p.ws->sys;
      cplx work = 0;  // F.z
      for (std::size_t i = 0; i < s.rhs_m.size(); ++i) work += s.rhs_m[i] * s.z[i];
      const cplx conjugate = deck.domain_size * deck.h * nx / work;
      EXPECT_LT(std::abs(p.r.main.modulus / conjugate - 1.0), 1e-12) << m.deck << " " << freq;
      EXPECT_GE(p.r.main.qinv, -1e-9) << m.deck << " " << freq;
      EXPECT_NEAR(p.r.density, rho, 1e-12 * rho) << m.deck;
    }
  }
}

// Horizontal layers (four of three rows): relaxed <= Re M <= unrelaxed, the
// relaxed limit [1 1 0] <S^-1>^-1 [1 1 0] reached at 1e-3 Hz and the
// unrelaxed one (harmonic mean of H_u) at 1e7 Hz, within 1e-5 and 1e-4.
TEST(platen, layered_sample_lies_between_its_relaxed_and_unrelaxed_limits) {
  const int nx = 2, ny = 12, rows = 3;
  for (const model& m : models) {
    const deck_values deck = deck_values_of(deck_text(nx, ny, m.deck));
    core::water_field field = core::uniform_field(nx, ny, m.dry);
    for (int k = 1; k <= ny; ++k)
      for (int j = 1; j <= nx; ++j)
        if ((k - 1) / rows % 2) field(j, k) = m.wet;
    for (double freq : {1e-3, 1.0, 100.0, 1e4, 1e7}) {
      const platen_point p(deck, freq, field);
      double compliance = 0;
      matrix3 mean_inverse{};
      for (int k = 1; k <= ny; ++k) {
        const matrix3 s = uniaxial(p.ws->cc, 1, k);
        compliance += 1.0 / undrained(s) / ny;
        const matrix3 v = inverse(s);
        for (int a = 0; a < 3; ++a)
          for (int b = 0; b < 3; ++b) mean_inverse[a][b] += v[a][b] / ny;
      }
      const double unrelaxed = 1.0 / compliance, relaxed = undrained(inverse(mean_inverse));
      ASSERT_LT(relaxed, unrelaxed * (1 - 1e-3)) << m.deck;
      const double re = p.r.main.modulus.real();
      EXPECT_GE(re, relaxed * (1 - 1e-9)) << m.deck << " " << freq;
      EXPECT_LE(re, unrelaxed * (1 + 1e-9)) << m.deck << " " << freq;
      EXPECT_GE(p.r.main.qinv, -1e-9) << m.deck << " " << freq;
      if (freq == 1e-3) {
        EXPECT_LT(std::abs(p.r.main.modulus / relaxed - 1.0), 1e-5) << m.deck;
      }
      if (freq == 1e7) {
        EXPECT_LT(std::abs(p.r.main.modulus / unrelaxed - 1.0), 1e-4) << m.deck;
      }
    }
  }
}
