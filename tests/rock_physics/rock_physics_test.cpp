// Rock physics against independent results (Hashin-Shtrikman, Gassmann,
// bulk density), the reports of cell (1, 1) and every stop.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "rock_cells.h"

TEST(Kt, LimitsAndTheUpperHashinShtrikmanBound) {
  const double km = 3.7e10, mum = 4.4e10, ki = 8.58e9, mui = 3.7e9;
  double k, mu;
  kt(km, mum, ki, mui, 0.0, k, mu);  // no inclusions
  EXPECT_DOUBLE_EQ(k, km);
  EXPECT_DOUBLE_EQ(mu, mum);
  kt(km, mum, km, mum, 0.5, k, mu);  // inclusions of the host itself
  EXPECT_DOUBLE_EQ(k, km);
  EXPECT_DOUBLE_EQ(mu, mum);
  // Softer spheres in a stiffer host: the upper Hashin-Shtrikman bound.
  const double zeta = mum / 6.0 * (9.0 * km + 8.0 * mum) / (km + 2.0 * mum);
  for (double c : {0.05, 0.6}) {
    kt(km, mum, ki, mui, c, k, mu);
    EXPECT_NEAR(k, km + c / (1.0 / (ki - km) + (1.0 - c) / (km + 4.0 * mum / 3.0)), 1e-6 * k);
    EXPECT_NEAR(mu, mum + c / (1.0 / (mui - mum) + (1.0 - c) / (mum + zeta)), 1e-6 * mu);
  }
}

TEST(EModulus, LockedPhasesObeyGassmannForOneMineral) {
  // Both solids of one mineral: the mode moving all phases together has
  // Gassmann's saturated modulus of Krief's frame Ks (1 - phi)^(1 + 2/(1 - phi)).
  rock_deck d = rock_deck::make(1, 2, 3, 0.25);
  d.ak_s1 = d.ak_s3 = {3.7e10, 3.7e10};
  d.xmu_s1 = d.xmu_s3 = {2.0e10, 2.0e10};
  moduli r;
  ASSERT_EQ(run_moduli(d, r).code, 0);
  const double ks = 3.7e10, kf = 2.25e9, phi = 0.25;
  const double kdry = ks * std::pow(1.0 - phi, 1.0 + 2.0 / (1.0 - phi)), biot = 1.0 - kdry / ks;
  const double ksat = kdry + biot * biot / (phi / kf + (1.0 - phi) / ks - kdry / (ks * ks));
  EXPECT_NEAR(r.lambda1(2, 3) + r.mu1(2, 3) + r.lambda3(2, 3) + r.mu3(2, 3) + 2.0 * r.d3(2, 3) +
                  r.mu13(2, 3), ksat, 1e-9 * ksat);
  EXPECT_NEAR(r.m(1, 1), 1.0 / (phi / kf + (biot - phi) / ks), 1e-9 * r.m(1, 1));
}

TEST(MassViscoCoef, PhasesMovingTogetherCarryTheBulkDensity) {
  // p11 + 2 p13 + p33 = phi1 ro1 + phi ro2 + phi3 ro3; the fractions of the
  // last cell come back: phi_a = 0.5, phi = 0.3 -> phi1 = 0.5, phi3 = 0.2.
  rock_deck ice = rock_deck::make(0, 3, 2, 0.2);
  ice.phi_a_m = {0.5, 0.5};
  ice.phiw(3, 2) = 0.3;
  masses r;
  ASSERT_EQ(run_masses(ice, r).code, 0);
  EXPECT_NEAR(r.p11(3, 2) + 2 * r.p13(3, 2) + r.p33(3, 2), 1325.0 + 300.0 + 184.0, 1e-9);
  EXPECT_DOUBLE_EQ(r.phi1, 0.5);
  EXPECT_DOUBLE_EQ(r.phi3, 0.2);
  EXPECT_DOUBLE_EQ(r.s3, 0.2 / 0.7);
  EXPECT_DOUBLE_EQ(r.s1, 0.5 / 0.7);
  // Shaley sand, s3 = 0.2, phi = 0.3: phi1 = 0.56, phi3 = 0.14.
  ASSERT_EQ(run_masses(rock_deck::make(1, 2, 2, 0.3), r).code, 0);
  EXPECT_NEAR(r.p11(1, 2) + 2 * r.p13(1, 2) + r.p33(1, 2), 1484.0 + 300.0 + 364.0, 1e-9);
  EXPECT_NEAR(r.p12(1, 2) + r.p23(1, 2), 1000.0, 1e-9);  // the fluid's own inertia
}

TEST(RockPhysics, ReportsOfCellOneOne) {
  moduli mr;
  const outcome e = run_moduli(rock_deck::make(0, 2, 2, 0.2), mr);
  ASSERT_EQ(e.code, 0);
  const std::vector<std::string> e_head = {
      " ice content s3_prima= 0.5", " j,k, water saturation  Sw = 1 1 0.5",
      " ************************** ", " ************************** ", " for j, k  =  1 1", "   control (must be = 1) =   1",
      "", " ************************** ", " ************************** ", "porosity (water proportion)  =.20000    ", "",
      "bulk solid 1 fraction phi1 en e_mod   =.60000    ", "bulk solid 3 fraction phi3   =.20000    ",
      "solid 1 matrix fraction s1 en e_mod  =.75000    ", "solid 3 matrix fraction s3   =.25000    "};
  ASSERT_GE(e.lines.size(), e_head.size());
  for (std::size_t i = 0; i < e_head.size(); ++i)
    EXPECT_EQ(e.lines[i], e_head[i]) << i;
  masses r;
  const outcome m = run_masses(rock_deck::make(1, 2, 2, 0.2), r);
  ASSERT_EQ(m.code, 0);
  const std::vector<std::string> m_head = {
      " enters  mass_visco_coef  key_model  1", "porosity (water proportion)  =.20000    ", "",
      "bulk solid 1 fraction phi1 en mass_visco  =.64000    ",
      "bulk solid 3 fraction phi3   =.16000    ",
      "solid 1 matrix fraction s1 en mass_visco  =.80000    ",
      "solid 3 matrix fraction s3   =.20000    ", "", "", "  mass densities for each phase", "",
      "  ro1(Kgr/m^3)     =    0.2650000000E+04", "",
      "  ro2(Kgr/m^3)     =    0.1000000000E+04", "",
      "  ro3(Kgr/m^3)     =    0.2600000000E+04"};
  ASSERT_GE(m.lines.size(), m_head.size());
  for (std::size_t i = 0; i < m_head.size(); ++i) EXPECT_EQ(m.lines[i], m_head[i]) << i;
  EXPECT_EQ(m.lines.back(), "");
}

TEST(RockPhysics, EveryStopFromACraftedCell) {
  // Each case edits a deck, runs one routine and names the code and the
  // start of the diagnostic (or of the last report line, then optionally
  // the value printed after it).
  struct stop_case {
    int key;
    std::function<void(rock_deck&)> edit;
    bool moduli_routine;
    int code;
    std::string tail;
    double value = 0.0;
  };
  const double big = -4503599627370496.0;  // phi_a - phi = 0.5 exactly, fractions miss 1
  const stop_case cases[] = {
      {0, [](rock_deck& d) { d.phiw(2, 1) = 0.4; }, true, 45678, ""},
      {0, [](rock_deck& d) { d.phiw(1, 2) = 0.45; }, false, 45678, ""},
      {0, [&](rock_deck& d) { d.phiw(1, 1) = big, d.phi_a_m = {big + 0.5, 0.4}; }, true, 555,
       " ************************** "},
      {0, [&](rock_deck& d) { d.phiw(1, 1) = big, d.phi_a_m = {big + 0.5, 0.4}; }, false, 555,
       " ************************** "},
      {1, [](rock_deck& d) { d.s3 = {1e10 + 0.3, 0.2}; }, false, 555, ""},
      // A very rigid solid 1 (lambda1 < 0) stops only in cell (1, 1).
      {1, [](rock_deck& d) { d.xmu_s1 = {4.4e10, 4.4e11}, d.matnum(2, 1) = 2; }, true, 0,
       "  neg. lambda1 j,k    2 1 -"},
      {1, [](rock_deck& d) { d.xmu_s1 = {4.4e11, 4.4e11}; }, true, 12345,
       "  neg. lambda1 j,k    1 1 -"},
      {1, [](rock_deck& d) { d.xmu_s3 = {2.1e11, 2.1e11}; }, true, 12346, ""},
      {1, [](rock_deck& d) { d.akf = {2.25e9, -1e10}, d.matnum(2, 1) = 2; }, true, 45687,
       " j,k, strain energy not positive definite  2 1"},
      {1, [](rock_deck& d) { d.eta = {1e-3, 0.0}, d.xmu_s3 = {7e9, -1e8}, d.matnum(2, 2) = 2; },
       true, 45688, "  j,k,strain energy not positive definite 2 2"},
      {1, [](rock_deck& d) { d.phiw(2, 1) = 0.0; }, true, stop_nonfinite,
       "cell (2,1): coefficient lambda1 is not finite"},
      {1, [](rock_deck& d) { d.rs1 = {5e-5, 0.0}, d.matnum(2, 1) = 2; }, false, stop_nonfinite,
       "cell (2,1): coefficient f11 is not finite"},
      // phi = s3 = 0.5, equal grains: f11' = 1.125e8 + b13, f11 = f11' + b13,
      // f22 = 9e8, f12 = -4.5e8 (controls 5.0625e16 + 9e8 b13 and + 1.8e9 b13).
      {1, [](rock_deck& d) { d.s3 = {0.5, 0.5}, d.rs1 = d.rs3 = {1e-5, 1e-5},
                             d.coef_b13 = {-1e8, -1e8}; }, false, 99999,
       " control1 (must be  positive)  = ", -3.9375e16},
      {1, [](rock_deck& d) { d.s3 = {0.5, 0.5}, d.rs1 = d.rs3 = {1e-5, 1e-5},
                             d.coef_b13 = {-4.21875e7, -4.21875e7}; }, false, 99998,
       " control2 (must be  positive)  = ", -2.53125e16},
  };
  for (const auto& sc : cases) {
    rock_deck d = rock_deck::make(sc.key, 2, 2, sc.code == 99999 || sc.code == 99998 ? 0.5 : 0.2);
    sc.edit(d);
    moduli mr;
    masses r;
    const outcome o = sc.moduli_routine ? run_moduli(d, mr) : run_masses(d, r);
    EXPECT_EQ(o.code, sc.code) << sc.tail;
    const std::string got = !o.message.empty() ? o.message : o.lines.empty() ? "" : o.lines.back();
    EXPECT_EQ(got.rfind(sc.tail, 0), 0u) << sc.code << ": " << got;
    if (sc.value != 0.0) {
      EXPECT_NEAR(std::stod(got.substr(sc.tail.size())), sc.value, 1e4);
    }
  }
}
