// Plane waves of a permafrost cell checked against independent solutions
// of the same wave problem, the report layout and the velocity stops.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "common/report.h"
#include "plane_waves/plane_waves.h"
#include "plane_waves/velocity_checks.h"

namespace {

// Coefficients of one cell (moduli in Pa, masses in kg/m^3, friction in
// Pa s/m^2): ice-bearing quartz sand with 20 % water.
struct cell {
  double lambda1 = 2.042e9, lambda3 = 5.304e8, mu1 = 1.3478e10, mu3 = 6.906e7, mu13 = 0.3346,
         b1 = 3.1035e9, b2 = 2.0295e9, m = 8.6015e9, d3 = 7.3226e8;
  double p11 = 1846.36, p12 = 1229.06, p13 = -106.36, p22 = 17793.75, p23 = -229.06,
         p33 = 340.36, f11 = 1.73875e9, f12 = -6.125e9, f22 = 1.475e11;
};

// The coefficient fields of an nx x ny grid, every cell alike.
struct grid {
  cell_real p11, p12, p13, p22, p23, p33, f11, f12, f22;
  cell_real lambda1, lambda3, mu1, mu3, mu13, b1, b2, m, d3;
  void set(int j, int k, const cell& c) {
    p11(j, k) = c.p11, p12(j, k) = c.p12, p13(j, k) = c.p13, p22(j, k) = c.p22;
    p23(j, k) = c.p23, p33(j, k) = c.p33, f11(j, k) = c.f11, f12(j, k) = c.f12;
    f22(j, k) = c.f22, lambda1(j, k) = c.lambda1, lambda3(j, k) = c.lambda3;
    mu1(j, k) = c.mu1, mu3(j, k) = c.mu3, mu13(j, k) = c.mu13, b1(j, k) = c.b1;
    b2(j, k) = c.b2, m(j, k) = c.m, d3(j, k) = c.d3;
  }
  grid(int nx, int ny, const cell& c) {
    for (int k = 1; k <= ny; ++k)
      for (int j = 1; j <= nx; ++j) set(j, k, c);
  }
};

wave_values run(int nx, int ny, double omega, const grid& g, std::ostream& out) {
  wave_values w{};
  veloc_aten(nx, ny, omega, g.p11, g.p12, g.p13, g.p22, g.p23, g.p33, g.f11, g.f12, g.f22,
             g.lambda1, g.lambda3, g.mu1, g.mu3, g.mu13, g.b1, g.b2, g.m, g.d3, w, out);
  return w;
}

wave_values run(const cell& c, double omega) {
  std::ostringstream out;
  return run(1, 1, omega, grid(1, 1, c), out);
}

std::vector<std::string> lines(const std::string& s) {
  std::vector<std::string> v;
  std::istringstream in(s);
  for (std::string l; std::getline(in, l);) v.push_back(l);
  return v;
}

// Stop code and report of a run expected to stop.
int stop_code(int nx, int ny, const grid& g, std::string& report) {
  std::ostringstream out;
  try {
    run(nx, ny, 100.0, g, out);
  } catch (const run_stop& s) {
    report = out.str();
    return s.code;
  }
  return 0;
}

}  // namespace

TEST(VelocAten, WithoutFrictionNothingAttenuates) {
  cell c;
  c.f11 = c.f12 = c.f22 = 0.0;
  const wave_values w = run(c, 628.3);
  for (double qinv : {w.qinv_p1, w.qinv_p2, w.qinv_p3, w.qinv_s1, w.qinv_s2})
    EXPECT_LT(std::abs(qinv), 1e-9);
}

TEST(VelocAten, LosslessVelocitiesMatchIndependentEigenSolves) {
  cell c;
  c.f11 = c.f12 = c.f22 = 0.0;
  const wave_values w = run(c, 628.3);

  // Fast P wave: the largest v^2 with E x = v^2 P x on amplitudes
  // (solid 1, fluid, solid 3), by power iteration on P^{-1} E.
  const double e[3][3] = {{c.lambda1 + 2 * c.mu1, c.b1, c.mu13 + c.d3},
                          {c.b1, c.m, c.b2},
                          {c.mu13 + c.d3, c.b2, c.lambda3 + 2 * c.mu3}};
  const double p[3][3] = {{c.p11, c.p12, c.p13}, {c.p12, c.p22, c.p23}, {c.p13, c.p23, c.p33}};
  const double det = p[0][0] * (p[1][1] * p[2][2] - p[1][2] * p[2][1]) -
                     p[0][1] * (p[1][0] * p[2][2] - p[1][2] * p[2][0]) +
                     p[0][2] * (p[1][0] * p[2][1] - p[1][1] * p[2][0]);
  double pinv[3][3];
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) {
      const int r0 = (j + 1) % 3, r1 = (j + 2) % 3, c0 = (i + 1) % 3, c1 = (i + 2) % 3;
      pinv[i][j] = (p[r0][c0] * p[r1][c1] - p[r0][c1] * p[r1][c0]) / det;
    }
  double x[3] = {1.0, 0.3, -0.2}, v2 = 0.0;
  for (int it = 0; it < 2000; ++it) {
    double ex[3], y[3];
    for (int i = 0; i < 3; ++i) ex[i] = e[i][0] * x[0] + e[i][1] * x[1] + e[i][2] * x[2];
    for (int i = 0; i < 3; ++i) y[i] = pinv[i][0] * ex[0] + pinv[i][1] * ex[1] + pinv[i][2] * ex[2];
    const double norm = std::sqrt(y[0] * y[0] + y[1] * y[1] + y[2] * y[2]);
    v2 = (x[0] * y[0] + x[1] * y[1] + x[2] * y[2]) / (x[0] * x[0] + x[1] * x[1] + x[2] * x[2]);
    for (int i = 0; i < 3; ++i) x[i] = y[i] / norm;
  }
  EXPECT_NEAR(w.vp1, std::sqrt(v2), 1e-7 * w.vp1);

  // Shear waves: det(Es - v^2 As) = 0 with the fluid eliminated from the
  // masses, solved as a quadratic in v^2.
  const double a22 = c.p11 - c.p12 * c.p12 / c.p22, a25 = c.p13 - c.p12 * c.p23 / c.p22,
               a55 = c.p33 - c.p23 * c.p23 / c.p22;
  const double qa = a22 * a55 - a25 * a25;
  const double qb = -(c.mu1 * a55 + c.mu3 * a22 - 2 * 0.5 * c.mu13 * a25);
  const double qc = c.mu1 * c.mu3 - 0.25 * c.mu13 * c.mu13;
  const double disc = std::sqrt(qb * qb - 4 * qa * qc);
  EXPECT_NEAR(w.vs1, std::sqrt((-qb + disc) / (2 * qa)), 1e-7 * w.vs1);
  EXPECT_NEAR(w.vs2, std::sqrt((-qb - disc) / (2 * qa)), 1e-7 * w.vs2);
}

TEST(VelocAten, OnlyTheFirstTwoCompressionalRootsAreOrdered) {
  // Uncoupled phases without friction: S is diagonal, with squared
  // slownesses 1e-6, 2e-6, 3e-6 s^2/m^2 on rows 1, 3, 4 (solid 1, fluid,
  // solid 3) and 5e-6, 1e-5 on rows 2, 5 (shear of solid 1 and solid 3).
  // Cardano returns diag(1, 2, 3) as 3, 1, 2: the first two are swapped to
  // put the faster first, the third (707 m/s) stays last although it is
  // faster than the second (577 m/s).
  const cell c{6e8, 4e8, 2e8, 3e8, 0, 0, 0, 1e9, 0, 1000, 0, 0, 2000, 0, 3000, 0, 0, 0};
  const wave_values w = run(c, 628.3);
  EXPECT_NEAR(w.vp1, 1000.0, 1e-9);
  EXPECT_NEAR(w.vp2, 1000.0 / std::sqrt(3.0), 1e-9);
  EXPECT_NEAR(w.vp3, 1000.0 / std::sqrt(2.0), 1e-9);
  EXPECT_NEAR(w.vs1, 1000.0 / std::sqrt(5.0), 1e-9);
  EXPECT_NEAR(w.vs2, 1000.0 / std::sqrt(10.0), 1e-9);
  for (double qinv : {w.qinv_p1, w.qinv_p2, w.qinv_p3, w.qinv_s1, w.qinv_s2})
    EXPECT_LT(std::abs(qinv), 1e-9);
}

TEST(VelocAten, LowFrequencyFastWaveMovesAllPhasesTogether) {
  // When friction dominates inertia the relative motions lock: the fast P
  // wave sees the total stiffness of the locked mode over the bulk density.
  const cell c;
  const wave_values w = run(c, 10.0);
  const double stiffness =
      c.lambda1 + 2 * c.mu1 + 2 * (c.mu13 + c.d3) + c.lambda3 + 2 * c.mu3;
  const double density = c.p11 + 2 * c.p13 + c.p33;
  EXPECT_NEAR(w.vp1, std::sqrt(stiffness / density), 2e-8 * w.vp1);
  EXPECT_LT(w.qinv_p1, 1e-3);
  // Friction makes the slow waves diffusive and strongly attenuated.
  EXPECT_GT(w.qinv_p2, 900.0);
}

TEST(VelocAten, ReturnsTheLastCellAndReportsTheCentralOne) {
  cell stiff;
  stiff.lambda1 *= 4, stiff.lambda3 *= 4, stiff.mu1 *= 4, stiff.mu3 *= 4, stiff.mu13 *= 4;
  stiff.b1 *= 4, stiff.b2 *= 4, stiff.m *= 4, stiff.d3 *= 4;
  grid g(3, 3, cell{});
  g.set(3, 3, stiff);
  std::ostringstream out;
  const wave_values w = run(3, 3, 628.3, g, out);
  // Four times every modulus doubles every velocity.
  const wave_values base = run(cell{}, 628.3);
  EXPECT_NEAR(w.vp1, 2 * base.vp1, 1e-9 * w.vp1);
  EXPECT_NEAR(w.vs2, 2 * base.vs2, 1e-9 * w.vs2);
  EXPECT_NEAR(w.qinv_p1, base.qinv_p1, 1e-9);

  const auto l = lines(out.str());
  ASSERT_EQ(l.size(), 32u);
  EXPECT_EQ(l[0], " ********************************************");
  EXPECT_EQ(l[1], "");
  EXPECT_EQ(l[2].rfind("  ANGULAR FREQUENCY :   628.3", 0), 0u) << l[2];
  EXPECT_EQ(l[2].substr(l[2].size() - 6), "  (HZ)");
  EXPECT_EQ(l[5], " nx/2,ny/2  1 1");
  EXPECT_EQ(l[6], " Compressional wave speeds using eigenvalues");
  EXPECT_EQ(l[10].rfind(" vp1 =  ", 0), 0u);
  EXPECT_NE(l[10].find(" m/s atp1 =  "), std::string::npos);
  EXPECT_EQ(l[11].rfind("  Q1 =  ", 0), 0u);
  EXPECT_EQ(l[19], " nx/2,ny/2  1 1");
  EXPECT_EQ(l[21], "  Shear  wave speeds and att. using eigenvalues");
  EXPECT_EQ(l[25].rfind(" vs1 =  ", 0), 0u);
  EXPECT_EQ(l[30], "");
  EXPECT_EQ(l[31], "");
}

TEST(VelocAten, ThinGridHasNoCentralCell) {
  std::ostringstream out;
  run(1, 4, 10.0, grid(1, 4, cell{}), out);
  EXPECT_EQ(out.str().find("nx/2,ny/2"), std::string::npos);
  EXPECT_EQ(lines(out.str()).size(), 6u);  // cell (1, 1) header and the closing blank
}

TEST(VelocAten, UndefinedCellStopsOnTheFastWave) {
  // A cell without coefficients: E cannot be inverted, every root is NaN.
  std::string report;
  EXPECT_EQ(stop_code(2, 2, grid(2, 2, cell{}), report), 0);
  grid g(2, 2, cell{});
  g.set(2, 1, cell{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
  EXPECT_EQ(stop_code(2, 2, g, report), 2000);
  EXPECT_EQ(lines(report).back(), "  error, vp1 is negative, vp1 =  NaN");
}

TEST(VelocAten, OverflowingShearSlownessStopsOnAShearWave) {
  // Unit compressional stiffness with a nearly vanishing solid-1 shear
  // modulus: the shear slownesses overflow while the P waves stay finite.
  cell c{1, 1, 1e-306, 1, 0, 0, 0, 1, 0, 1, 10, 0, 1, 0, 1, 0, 0, 0};
  std::string report;
  EXPECT_EQ(stop_code(1, 1, grid(1, 1, c), report), 2004);
  EXPECT_EQ(lines(report).back(), "  error, vs2 is negative, vs2 =  0");
  c.mu1 = 1e-308;
  EXPECT_EQ(stop_code(1, 1, grid(1, 1, c), report), 2003);
  EXPECT_EQ(lines(report).back(), "  error, vs1 is negative, vs1 =  NaN");
}

TEST(VelocAten, VelocityChecksInOrder) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct stop_case {
    wave_values w;
    int code;
    const char* line;
  };
  const stop_case cases[] = {
      {{-1, 1, 1, 1, 1, 0, 0, 0, 0, 0}, 2000, "  error, vp1 is negative, vp1 =  -1"},
      {{1, 0, 1, 1, 1, 0, 0, 0, 0, 0}, 2001, "  error, vp2 is negative, vp2 =  0"},
      {{1, 1, nan, -1, 1, 0, 0, 0, 0, 0}, 2002, "  error, vp3 is negative, vp3 =  NaN"},
      {{1, 1, 1, -2.5, 1, 0, 0, 0, 0, 0}, 2003, "  error, vs1 is negative, vs1 =  -2.5"},
      {{1, 1, 1, 1, nan, 0, 0, 0, 0, 0}, 2004, "  error, vs2 is negative, vs2 =  NaN"},
  };
  for (const auto& sc : cases) {
    std::ostringstream out;
    try {
      check_velocities(sc.w, out);
      ADD_FAILURE() << "no stop for code " << sc.code;
    } catch (const run_stop& s) {
      EXPECT_EQ(s.code, sc.code);
      EXPECT_EQ(out.str(), std::string(sc.line) + "\n");
    }
  }
  std::ostringstream out;
  check_velocities({1, 1, 1, 1, 1, 0, 0, 0, 0, 0}, out);
  EXPECT_EQ(out.str(), "");
}
