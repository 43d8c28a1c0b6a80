// Rock physics against independent results (Hashin-Shtrikman, Gassmann,
// bulk density) and every stop.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "common/report.h"
#include "driver/report.h"
#include "rock_physics/rock_physics.h"

namespace {

// Permafrost (key 0) or shaley sand (key 1) deck on an nx x ny grid of
// material 1 at water proportion phi; material 2 starts alike.
struct rock_deck : deck_values {
  cell_int matnum;
  cell_real phiw;
  rock_deck(int key, int cells_x, int cells_y, double phi)
      : matnum(cells_x, cells_y), phiw(cells_x, cells_y) {
    nx = cells_x, ny = cells_y, key_model = key;
    phi_a_m = {0.4, 0.4}, s3 = {0.2, 0.2}, akf = {2.25e9, 2.25e9}, eta = {1e-3, 1e-3};
    ak_air = {1.5e5, 1.5e5}, xmu_air = {0.0, 0.0}, ak_s3 = {8.58e9, 8.58e9};
    xmu_s3 = {3.7e9, 3.7e9}, ak_s1 = {3.7e10, 3.7e10}, xmu_s1 = {4.4e10, 4.4e10};
    ro1 = {2650.0, 2650.0}, ro2 = {1000.0, 1000.0}, ro3 = {920.0, 920.0};
    capa_1_0 = {1e-13, 1e-13}, capa_3_0 = {1e-13, 1e-13}, rs1 = {5e-5, 5e-5};
    rs3 = {1e-6, 1e-6}, coef_b13 = {1e7, 1e7};
    if (key == 1) {
      ak_s3 = {2.1e10, 2.1e10}, xmu_s3 = {7e9, 7e9}, ro3 = {2600.0, 2600.0};
      coef_b13 = {0.0, 0.0};
    }
    for (int k = 1; k <= ny; ++k)
      for (int j = 1; j <= nx; ++j) matnum(j, k) = 1, phiw(j, k) = phi;
  }
};

// Both routines' results, and the report lines and stop of the last call.
struct rock_run : cell_coefficients {
  static constexpr int cells = 3;  // room for every grid of these tests
  rock_run() : cell_coefficients(cells, cells) {}
  std::vector<std::string> lines;
  int code = 0;
  std::string message;

  // Runs e_modulus (moduli) or mass_visco_coef on deck d, its report
  // formatted from its record; returns the stop code.
  int operator()(const rock_deck& d, bool moduli) {
    std::ostringstream out;
    code = 0, message.clear(), lines.clear();
    moduli_record moduli_rec;
    std::optional<mass_record> mass_rec;
    try {
      const cell_inputs in = inputs_of_cells(d, d.matnum, d.phiw);
      if (moduli)
        static_cast<cell_moduli&>(*this) = e_modulus(d, in, 628.3, moduli_rec);
      else
        static_cast<cell_masses&>(*this) = mass_visco_coef(d, in, mass_rec.emplace());
    } catch (const run_stop& s) {
      code = s.code, message = s.message;
    }
    report_moduli(out, moduli_rec, code);
    if (mass_rec) report_masses(out, *mass_rec, code);
    std::istringstream in(out.str());
    for (std::string l; std::getline(in, l);) lines.push_back(l);
    return code;
  }
};

}  // namespace

TEST(Kt, TheUpperHashinShtrikmanBound) {
  // Softer spheres in a stiffer host: the upper Hashin-Shtrikman bound.
  const double km = 3.7e10, mum = 4.4e10, ki = 8.58e9, mui = 3.7e9;
  const double zeta = mum / 6.0 * (9.0 * km + 8.0 * mum) / (km + 2.0 * mum);
  for (double c : {0.0, 0.05, 0.6}) {
    const auto [k, mu] = kt({km, mum}, {ki, mui}, c);
    EXPECT_NEAR(k, km + c / (1.0 / (ki - km) + (1.0 - c) / (km + 4.0 * mum / 3.0)), 1e-6 * k);
    EXPECT_NEAR(mu, mum + c / (1.0 / (mui - mum) + (1.0 - c) / (mum + zeta)), 1e-6 * mu);
  }
}

TEST(EModulus, LockedPhasesObeyGassmannForOneMineral) {
  // Both solids of one mineral: the mode moving all phases together has
  // Gassmann's saturated modulus of Krief's frame Ks (1 - phi)^(1 + 2/(1 - phi)).
  rock_deck d(1, 2, 3, 0.25);
  d.ak_s1 = d.ak_s3 = {3.7e10, 3.7e10};
  d.xmu_s1 = d.xmu_s3 = {2.0e10, 2.0e10};
  d.eta = {1e5, 1e5};  // a sizeable viscous coupling mu13, which must cancel
  rock_run r;
  ASSERT_EQ(r(d, true), 0);
  const double ks = 3.7e10, kf = 2.25e9, phi = 0.25;
  const double kdry = ks * std::pow(1.0 - phi, 1.0 + 2.0 / (1.0 - phi)), biot = 1.0 - kdry / ks;
  const double ksat = kdry + biot * biot / (phi / kf + (1.0 - phi) / ks - kdry / (ks * ks));
  EXPECT_NEAR(r.lambda1(2, 3) + r.mu1(2, 3) + r.lambda3(2, 3) + r.mu3(2, 3) + 2.0 * r.d3(2, 3) +
                  r.mu13(2, 3), ksat, 1e-9 * ksat);
  const double m = 1.0 / (phi / kf + (biot - phi) / ks);  // Biot's fluid modulus M
  EXPECT_NEAR(r.m(1, 1), m, 1e-9 * m);
  EXPECT_NEAR(r.b1(2, 3) + r.b2(2, 3), biot * m, 1e-9 * m);  // Biot's C = alpha M
}

TEST(MassViscoCoef, PhasesMovingTogetherCarryTheBulkDensity) {
  // p11 + 2 p13 + p33 = phi1 ro1 + phi ro2 + phi3 ro3; in the last cell
  // phi_a = 0.5, phi = 0.3 -> phi1 = 0.5, phi3 = 0.2.
  rock_deck ice(0, 3, 2, 0.2);
  ice.phi_a_m = {0.5, 0.5};
  ice.phiw(3, 2) = 0.3;
  rock_run r;
  ASSERT_EQ(r(ice, false), 0);
  EXPECT_NEAR(r.p11(3, 2) + 2 * r.p13(3, 2) + r.p33(3, 2), 1325.0 + 300.0 + 184.0, 1e-9);
  // Shaley sand, s3 = 0.2, phi = 0.3: phi1 = 0.56, phi3 = 0.14.
  ASSERT_EQ(r(rock_deck(1, 2, 2, 0.3), false), 0);
  EXPECT_NEAR(r.p11(1, 2) + 2 * r.p13(1, 2) + r.p33(1, 2), 1484.0 + 300.0 + 364.0, 1e-9);
  EXPECT_NEAR(r.p12(1, 2) + r.p23(1, 2), 1000.0, 1e-9);  // the fluid's own inertia
  // One density everywhere: p22 = (T1 + T3 - 1) ro / phi with tortuosities
  // T1 = 1 + phi1/(2 phi), T3 = 1 + phi3/(2 phi); phi = 0.25 gives 2.5 ro / phi.
  rock_deck same(0, 1, 1, 0.25);
  same.ro1 = same.ro2 = same.ro3 = {1500.0, 1500.0};
  ASSERT_EQ(r(same, false), 0);
  EXPECT_NEAR(r.p22(1, 1), 1500.0 * 2.5 / 0.25, 1e-9);
}

TEST(RockPhysics, EveryStopFromACraftedCell) {
  // Each case edits a 2 x 2 deck, runs one routine and names the code and
  // the start of the diagnostic, else of the last report line (then the
  // value printed after it, if not 0).
  struct stop_case {
    int key;
    bool moduli;
    int code;
    std::string tail;
    double value;
    std::function<void(rock_deck&)> edit;
  };
  const std::string st = " ************************** ";
  const double big = -4503599627370496.0;  // phi_a - phi = 0.5 exactly, fractions miss 1
  auto unbalanced = [big](rock_deck& d) { d.phiw(1, 1) = big, d.phi_a_m = {big + 0.5, 0.4}; };
  // phi = s3 = 0.5, equal grains: f11' = 1.125e8 + b13, f11 = f11' + b13,
  // f22 = 9e8, f12 = -4.5e8: controls 5.0625e16 + 9e8 b13 and + 1.8e9 b13.
  auto controls = [](double b13) {
    return [b13](rock_deck& d) {
      d.phiw(1, 1) = 0.5, d.s3 = {0.5, 0.5}, d.rs1 = d.rs3 = {1e-5, 1e-5}, d.coef_b13 = {b13, b13};
    };
  };
  const stop_case cases[] = {
      {0, true, 45678, "", 0, [](rock_deck& d) { d.phiw(2, 1) = 0.4; }},
      {0, true, 555, st, 0, unbalanced},
      {1, false, 555, "", 0, [](rock_deck& d) { d.s3 = {1e10 + 0.3, 0.2}; }},
      // A very rigid solid 1 (lambda1 < 0) stops only in cell (1, 1).
      {1, true, 0, "  neg. lambda1 j,k    2 1 -", 0,
       [](rock_deck& d) { d.xmu_s1 = {4.4e10, 4.4e11}, d.matnum(2, 1) = 2; }},
      {1, true, 12345, "  neg. lambda1 j,k    1 1 -", 0,
       [](rock_deck& d) { d.xmu_s1 = {4.4e11, 4.4e11}, d.xmu_s3 = {2.1e11, 2.1e11}; }},
      {1, true, 12346, "", 0, [](rock_deck& d) { d.xmu_s3 = {2.1e11, 2.1e11}; }},
      {1, true, 45687, " j,k, strain energy not positive definite  2 1", 0,
       [](rock_deck& d) { d.akf = {2.25e9, -1e10}, d.matnum(2, 1) = 2; }},
      // ... and just positive (by 0.4 %) with a strong coupling mu13.
      {1, true, 0, "", 0,
       [](rock_deck& d) { d.akf = {2.25e9, -8.726e9}, d.eta = {1e-3, 1e5}, d.matnum(2, 1) = 2; }},
      {1, true, 45688, "  j,k,strain energy not positive definite 2 2", 0,
       [](rock_deck& d) { d.eta = {1e-3, 0.0}, d.xmu_s3 = {7e9, -1e8}, d.matnum(2, 2) = 2; }},
      {1, true, stop_nonfinite, "cell (2,1): coefficient lambda1 is not finite", 0,
       [](rock_deck& d) { d.phiw(2, 1) = 0.0; }},
      {1, false, stop_nonfinite, "cell (2,1): coefficient f11 is not finite", 0,
       [](rock_deck& d) { d.rs1 = {5e-5, 0.0}, d.matnum(2, 1) = 2; }},
      {1, false, 99999, " control1 (must be  positive)  = ", -3.9375e16, controls(-1e8)},
      {1, false, 99998, " control2 (must be  positive)  = ", -2.53125e16, controls(-4.21875e7)},
  };
  rock_run r;
  for (const auto& sc : cases) {
    rock_deck d(sc.key, 2, 2, 0.2);
    sc.edit(d);
    EXPECT_EQ(r(d, sc.moduli), sc.code) << sc.tail;
    const std::string got = !r.message.empty() ? r.message : r.lines.empty() ? "" : r.lines.back();
    EXPECT_EQ(got.rfind(sc.tail, 0), 0u) << sc.code << ": " << got;
    if (sc.value != 0.0) {
      EXPECT_NEAR(std::stod(got.substr(sc.tail.size())), sc.value, 1e4);
    }
  }
}
