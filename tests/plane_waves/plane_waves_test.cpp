// Plane waves as roots of the dispersion relations of their wave type (which
// checks the Cardano roots, eigenvalues and inversion underneath) and the
// velocity stops.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "common/report.h"
#include "driver/report.h"
#include "input/input.h"
#include "plane_waves/plane_waves.h"
#include "plane_waves/velocity_checks.h"
#include "support/example_system.h"

namespace {

// Ice-bearing quartz sand with 20 % water (moduli in Pa, masses in kg/m^3,
// friction in Pa s/m^2).
const coefficients_of_cell sand{2.042e9,  5.304e8, 1.3478e10, 6.906e7,   0.3346,
                                3.1035e9, 2.0295e9, 8.6015e9, 7.3226e8,  1846.36,
                                1229.06,  -106.36, 17793.75,  -229.06,   340.36,
                                1.73875e9, -6.125e9, 1.475e11};

// Uncoupled phases without friction: S is diagonal with squared slownesses
// 1e-6, 2e-6, 3e-6 s^2/m^2 on rows 1, 3, 4 and 5e-6, 1e-5 on rows 2, 5.
const coefficients_of_cell uncoupled{6e8,  4e8, 2e8,  3e8, 0, 0, 0, 1e9, 0,
                                     1000, 0,   0, 2000, 0, 3000, 0, 0, 0};

// Runs an nx x ny grid of cell c with cell (nx, ny) replaced by last;
// returns the stop code (0 if none) and the report lines.
int run(int nx, int ny, double omega, const coefficients_of_cell& c,
        const coefficients_of_cell& last, wave_values& w, std::vector<std::string>& report) {
  cell_coefficients cc(nx, ny);
  for (int k = 1; k <= ny; ++k)
    for (int j = 1; j <= nx; ++j) {
      const coefficients_of_cell& x = (j == nx && k == ny) ? last : c;
      cc.lambda1(j, k) = x.lambda1, cc.lambda3(j, k) = x.lambda3, cc.mu1(j, k) = x.mu1;
      cc.mu3(j, k) = x.mu3, cc.mu13(j, k) = x.mu13, cc.b1(j, k) = x.b1, cc.b2(j, k) = x.b2;
      cc.m(j, k) = x.m, cc.d3(j, k) = x.d3, cc.p11(j, k) = x.p11, cc.p12(j, k) = x.p12;
      cc.p13(j, k) = x.p13, cc.p22(j, k) = x.p22, cc.p23(j, k) = x.p23, cc.p33(j, k) = x.p33;
      cc.f11(j, k) = x.f11, cc.f12(j, k) = x.f12, cc.f22(j, k) = x.f22;
    }
  std::ostringstream out;
  waves_record record;
  int code = 0;
  try {
    w = veloc_aten(nx, ny, omega, cc, record);
  } catch (const run_stop& s) {
    code = s.code;
  }
  report_waves(out, record);
  std::istringstream in(out.str());
  for (std::string l; std::getline(in, l);) report.push_back(l);
  return code;
}

wave_values run(const coefficients_of_cell& c, double omega) {
  wave_values w{};
  std::vector<std::string> report;
  EXPECT_EQ(run(1, 1, omega, c, c, w, report), 0);
  return w;
}

// |det M| over the product of the row lengths of M (Hadamard's bound): near
// zero exactly when M is singular, whatever the scale of its entries.
double singularity(const std::vector<std::vector<cplx>>& a) {
  const cplx det = a.size() == 2 ? a[0][0] * a[1][1] - a[0][1] * a[1][0]
                                 : a[0][0] * (a[1][1] * a[2][2] - a[1][2] * a[2][1]) -
                                       a[0][1] * (a[1][0] * a[2][2] - a[1][2] * a[2][0]) +
                                       a[0][2] * (a[1][0] * a[2][1] - a[1][1] * a[2][0]);
  double bound = 1;
  for (const auto& row : a) {
    double length = 0;
    for (cplx x : row) length += std::norm(x);
    bound *= std::sqrt(length);
  }
  return std::abs(det) / bound;
}

// Squared slowness of a wave of velocity v and 1000/Q qinv; a lossy wave
// decays forward, so its slowness has a negative imaginary part.
cplx squared_slowness(double v, double qinv) {
  const cplx sigma(1 / v, -qinv / (1000 * v));
  return sigma * sigma;
}

}  // namespace

TEST(VelocAten, WavesSolveTheirDispersionRelations) {
  // Diagonal S: Cardano gives 3, 1, 2; the first two are swapped to put the
  // faster first, the third (707 m/s) stays last though faster than 577 m/s.
  const wave_values u = run(uncoupled, 628.3);
  const double want[5] = {1000.0, 1000.0 / std::sqrt(3.0), 1000.0 / std::sqrt(2.0),
                          1000.0 / std::sqrt(5.0), 1000.0 / std::sqrt(10.0)};
  const double got[5] = {u.vp1, u.vp2, u.vp3, u.vs1, u.vs2};
  for (int i = 0; i < 5; ++i) EXPECT_NEAR(got[i], want[i], 1e-9) << i;
  // Each velocity and 1000/Q must give a slowness s with det(A - s^2 E) = 0,
  // A the inertia-friction and E the elastic matrix of the wave type; without
  // friction (and a strong shear coupling of the solids) nothing attenuates.
  coefficients_of_cell lossless = sand;
  lossless.f11 = lossless.f12 = lossless.f22 = 0.0;
  lossless.mu13 = 1e9;
  for (auto [c, omega, stable] : {std::tuple{sand, 628.3, false}, {sand, 6.283e4, false},
                                  {lossless, 628.3, false}, {sand, 628.3, true},
                                  {sand, 6.283e-4, true}, {lossless, 628.3, true}}) {
    const wave_values w = stable ? stable_plane_waves(c, omega) : run(c, omega);
    const cplx i(0, 1);
    const cplx a11 = c.p11 - i * c.f11 / omega, a13 = c.p12 + i * c.f12 / omega,
               a14 = c.p13 + i * c.f11 / omega, a33 = c.p22 - i * c.f22 / omega,
               a34 = c.p23 - i * c.f12 / omega, a44 = c.p33 - i * c.f11 / omega;
    const double e11 = c.lambda1 + 2 * c.mu1, e14 = c.mu13 + c.d3, e44 = c.lambda3 + 2 * c.mu3;
    for (auto [v, qinv] : {std::pair{w.vp1, w.qinv_p1}, {w.vp2, w.qinv_p2}, {w.vp3, w.qinv_p3}}) {
      const cplx s2 = squared_slowness(v, qinv);
      EXPECT_LT(singularity({{a11 - s2 * e11, a13 - s2 * c.b1, a14 - s2 * e14},
                             {a13 - s2 * c.b1, a33 - s2 * c.m, a34 - s2 * c.b2},
                             {a14 - s2 * e14, a34 - s2 * c.b2, a44 - s2 * e44}}),
                1e-9)
          << "P wave " << v << " m/s at omega " << omega;
    }
    // Shear: the fluid moves with the solids' transverse motion eliminated.
    const cplx a22 = a11 - a13 * a13 / a33, a25 = a14 - a13 * a34 / a33,
               a55 = a44 - a34 * a34 / a33;
    for (auto [v, qinv] : {std::pair{w.vs1, w.qinv_s1}, {w.vs2, w.qinv_s2}}) {
      const cplx s2 = squared_slowness(v, qinv);
      EXPECT_LT(singularity({{a22 - s2 * c.mu1, a25 - s2 * 0.5 * c.mu13},
                             {a25 - s2 * 0.5 * c.mu13, a55 - s2 * c.mu3}}),
                1e-9)
          << "S wave " << v << " m/s at omega " << omega;
    }
    if (c.f22 == 0) {
      for (double qinv : {w.qinv_p1, w.qinv_p2, w.qinv_p3, w.qinv_s1, w.qinv_s2})
        EXPECT_LT(std::abs(qinv), 1e-9);
    }
    EXPECT_GT(w.vs1, w.vs2);
  }
}

TEST(VelocAten, VelocityStops) {
  // Crafted cells in (2, 2): no coefficients at all (every root NaN); a
  // nearly vanishing solid-1 shear modulus overflows the shear slownesses.
  const coefficients_of_cell empty{};
  const coefficients_of_cell soft{1, 1, 1e-306, 1, 0, 0, 0, 1, 0, 1, 10, 0, 1, 0, 1, 0, 0, 0};
  coefficients_of_cell softer = soft;
  softer.mu1 = 1e-308;
  const struct {
    coefficients_of_cell c;
    int code;
    std::string line;
  } cells[] = {{empty, 2000, "  error, vp1 is negative, vp1 =  NaN"},
               {soft, 2004, "  error, vs2 is negative, vs2 =  0"},
               {softer, 2003, "  error, vs1 is negative, vs1 =  NaN"}};
  for (const auto& sc : cells) {
    wave_values w{};
    std::vector<std::string> l;
    EXPECT_EQ(run(2, 2, 100.0, sand, sc.c, w, l), sc.code);
    EXPECT_EQ(l.back(), sc.line);
  }
  // The first bad velocity wins: vp2 before vp3 and the shear waves.
  waves_record record;
  try {
    check_velocities({1, 0, std::nan(""), -1, 0, 0, 0, 0, 0, 0}, record);
    ADD_FAILURE() << "no stop";
  } catch (const run_stop& s) {
    EXPECT_EQ(s.code, 2001);
  }
}

namespace {

// A uniform cell of an example deck at water proportion w and angular
// frequency omega.
coefficients_of_cell example_cell(const std::string& name, double w, double omega) {
  const deck_values d = deck_values_of(deck_text(1, 1, name));
  cell_int matnum(1, 1);
  cell_real phiw(1, 1);
  matnum(1, 1) = 1, phiw(1, 1) = w;
  const cell_inputs in = inputs_of_cells(d, matnum, phiw);
  moduli_record moduli_rec;
  mass_record mass_rec;
  cell_moduli moduli = e_modulus(d, in, omega, moduli_rec);
  return cell_coefficients(std::move(moduli), mass_visco_coef(d, in, mass_rec)).at(1, 1);
}

const char* const examples[] = {"permafrost", "shaley_sand"};
constexpr double two_pi = 6.283185307179586;

}  // namespace

// Both example rocks at three water proportions, 0.1 mHz to 1 Hz: the fast
// compressional wave moves the phases together, so rho v^2 is the undrained
// modulus H_u (rho = p11 + 2 p13 + p33 the bulk density), and its 1000/Q
// falls in proportion to the frequency.
TEST(StablePlaneWaves, SlowFrequenciesReachTheUndrainedLimit) {
  for (const char* name : examples)
    for (double w : {0.1, 0.2, 0.28}) {
      std::vector<double> qinv;
      for (double f : {1e-4, 1e-3, 1e-2, 0.1, 1.0}) {
        SCOPED_TRACE(std::string(name) + " water " + std::to_string(w) + " at " +
                     std::to_string(f) + " Hz");
        const coefficients_of_cell q = example_cell(name, w, two_pi * f);
        const wave_values s = stable_plane_waves(q, two_pi * f);
        const double rho = q.p11 + 2 * q.p13 + q.p33;
        const double hu = q.lambda1 + 2 * q.mu1 + q.lambda3 + 2 * q.mu3 + 2 * (q.d3 + q.mu13);
        EXPECT_NEAR(rho * s.vp1 * s.vp1 / hu, 1.0, 1e-6);
        EXPECT_GT(s.qinv_p1, 0.0);
        EXPECT_LE(s.qinv_p1, 0.01);
        qinv.push_back(s.qinv_p1);
      }
      EXPECT_NEAR(qinv[4] / qinv[3], 10.0, 0.2) << name << " water " << w;
    }
}
