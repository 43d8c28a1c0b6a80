// Mass and friction coefficients: momentum of the phases moving together,
// friction without viscosity, the report of cell (1, 1) and every stop.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "rock_cells.h"

namespace {

// Bulk density phi1 ro1 + phi ro2 + phi3 ro3 from hand-set fractions.
void expect_rigid_motion_inertia(const masses& r, int j, int k, double bulk, double ro2) {
  // All phases moving as one: kinetic energy of the bulk density.
  EXPECT_NEAR(r.p11(j, k) + 2.0 * r.p13(j, k) + r.p33(j, k), bulk, 1e-9 * bulk);
  // The solids moving together with a relative fluid flow: the fluid's own inertia.
  EXPECT_NEAR(r.p12(j, k) + r.p23(j, k), ro2, 1e-9 * ro2);
}

}  // namespace

TEST(MassViscoCoef, PhasesMovingTogetherCarryTheBulkDensity) {
  masses r;
  // Ice model, phi_a = 0.4, phi = 0.2: phi1 = 0.6, phi3 = 0.2.
  rock_deck ice = rock_deck::ice().grid(2, 2, 0.2);
  ASSERT_EQ(run_masses(ice, r).code, 0);
  expect_rigid_motion_inertia(r, 2, 2, 0.6 * 2650.0 + 0.2 * 1000.0 + 0.2 * 920.0, 1000.0);
  // Shaley sand, s3 = 0.2, phi = 0.3: phi1 = 0.56, phi3 = 0.14.
  rock_deck sand = rock_deck::shaley_sand().grid(2, 2, 0.3);
  ASSERT_EQ(run_masses(sand, r).code, 0);
  expect_rigid_motion_inertia(r, 1, 2, 0.56 * 2650.0 + 0.3 * 1000.0 + 0.14 * 2600.0, 1000.0);
}

TEST(MassViscoCoef, EqualDensitiesGiveTheTortuosityOfTheWaterPaths) {
  // One density everywhere: p22 = (T1 + T3 - 1) ro2 / phi with
  // T1 = 1 + phi1/(2 phi), T3 = 1 + phi3/(2 phi), so p22 = ro (1 + (1 - phi)/(2 phi)) / phi.
  rock_deck d = rock_deck::ice().grid(1, 1, 0.25);
  d.ro1 = d.ro2 = d.ro3 = {1500.0, 1500.0};
  masses r;
  ASSERT_EQ(run_masses(d, r).code, 0);
  EXPECT_NEAR(r.p22(1, 1), 1500.0 * (1.0 + 0.75 / 0.5) / 0.25, 1e-9);
}

TEST(MassViscoCoef, NoViscosityNoFriction) {
  for (rock_deck d : {rock_deck::ice(), rock_deck::shaley_sand()}) {
    d.grid(3, 2, 0.2);
    d.eta = {0.0, 0.0};
    d.coef_b13 = {0.0, 0.0};
    masses r;
    ASSERT_EQ(run_masses(d, r).code, 0);
    EXPECT_EQ(r.f11(3, 2), 0.0);
    EXPECT_EQ(r.f12(3, 2), 0.0);
    EXPECT_EQ(r.f22(3, 2), 0.0);
  }
}

TEST(MassViscoCoef, ShaleySandFrictionIgnoresTheIcePermeabilities) {
  rock_deck d = rock_deck::shaley_sand().grid(2, 2, 0.2);
  masses a, b;
  ASSERT_EQ(run_masses(d, a).code, 0);
  d.capa_1_0 = d.capa_3_0 = {7e-9, 7e-9};
  ASSERT_EQ(run_masses(d, b).code, 0);
  EXPECT_EQ(a.f11(2, 2), b.f11(2, 2));
  EXPECT_EQ(a.f22(2, 2), b.f22(2, 2));
  // Darcy: grains 50 um with 20 % water -> f22 of order eta / kappa.
  EXPECT_GT(a.f22(2, 2), 1e-3 / 1e-10);
}

TEST(MassViscoCoef, ReturnsTheFractionsOfTheLastCell) {
  rock_deck d = rock_deck::ice().grid(3, 2, 0.2);
  d.phi_a_m = {0.5, 0.5};
  d.phiw(3, 2) = 0.3;  // phi1 = 0.5, phi3 = 0.2, s3 = 0.2/0.7
  masses r;
  ASSERT_EQ(run_masses(d, r).code, 0);
  EXPECT_DOUBLE_EQ(r.phi1, 0.5);
  EXPECT_DOUBLE_EQ(r.phi3, 0.2);
  EXPECT_DOUBLE_EQ(r.s3, 0.2 / 0.7);
  EXPECT_DOUBLE_EQ(r.s1, 0.5 / 0.7);

  masses none;
  d.nx = 0;
  const outcome o = run_masses(d, none);
  EXPECT_EQ(o.lines, std::vector<std::string>{" enters  mass_visco_coef  key_model  0"});
  EXPECT_EQ(none.s1, -1.0);
}

TEST(MassViscoCoef, ReportOfCellOneOne) {
  rock_deck d = rock_deck::shaley_sand().grid(2, 2, 0.2);
  masses r;
  const outcome o = run_masses(d, r);
  ASSERT_EQ(o.code, 0);
  const std::vector<std::string> head = {
      " enters  mass_visco_coef  key_model  1",
      "porosity (water proportion)  =.20000    ",
      "",
      "bulk solid 1 fraction phi1 en mass_visco  =.64000    ",
      "bulk solid 3 fraction phi3   =.16000    ",
      "solid 1 matrix fraction s1 en mass_visco  =.80000    ",
      "solid 3 matrix fraction s3   =.20000    ",
      "",
      "",
      "  mass densities for each phase",
      "",
      "  ro1(Kgr/m^3)     =    0.2650000000E+04",
      "",
      "  ro2(Kgr/m^3)     =    0.1000000000E+04",
      "",
      "  ro3(Kgr/m^3)     =    0.2600000000E+04"};
  ASSERT_GE(o.lines.size(), head.size());
  for (std::size_t i = 0; i < head.size(); ++i) EXPECT_EQ(o.lines[i], head[i]) << i;
  EXPECT_TRUE(o.has("  permeabilities for the shaley-sand model (m^2)"));
  // Without solid-solid friction f11 is the reported f11' and both controls agree.
  std::string f11, b11, c1, c2;
  for (const auto& l : o.lines) {
    if (l.rfind(" f11      = ", 0) == 0) f11 = l.substr(12);
    if (l.rfind(" b11  =  ", 0) == 0) b11 = l.substr(9);
    if (l.rfind(" control1 (must be  positive)  = ", 0) == 0) c1 = l.substr(33);
    if (l.rfind(" control2 (must be  positive)  = ", 0) == 0) c2 = l.substr(33);
  }
  EXPECT_FALSE(f11.empty());
  EXPECT_EQ(f11, b11);
  EXPECT_FALSE(c1.empty());
  EXPECT_EQ(c1, c2);
  EXPECT_EQ(o.lines.back(), "");
}

TEST(MassViscoCoef, IceReportOfCellOneOne) {
  // phi_a = 0.4, phi = 0.2: half the pore space is ice, half water.
  rock_deck d = rock_deck::ice().grid(2, 2, 0.2);
  masses r;
  const outcome o = run_masses(d, r);
  ASSERT_EQ(o.code, 0);
  const std::string stars = " ************************** ";
  const std::vector<std::string> head = {
      " enters  mass_visco_coef  key_model  0",
      " ice content s3_prima= 0.5",
      "  water saturation  Sw= 0.5",
      stars,
      stars,
      "",
      "   control (must be = 1) =   1",
      "",
      stars,
      stars,
      "porosity (water proportion)  =.20000    ",
      "",
      "bulk solid 1 fraction phi1 en mass_visco  =.60000    ",
      "bulk solid 3 fraction phi3   =.20000    ",
      "solid 1 matrix fraction s1 en mass_visco  =.75000    ",
      "solid 3 matrix fraction s3   =.25000    ",
      "",
      "",
      "",
      stars,
      stars,
      "",
      "  mass densities for each phase"};
  ASSERT_GE(o.lines.size(), head.size());
  for (std::size_t i = 0; i < head.size(); ++i) EXPECT_EQ(o.lines[i], head[i]) << i;
  // capa_1 = 1e-13 (0.2/0.4)^3, capa_3 = 1e-13 (0.4/0.2)^2 (0.2/0.6)^3.
  std::size_t at = 0;
  while (at < o.lines.size() && o.lines[at] != " permeabilities for the permafrost model (m^2)") ++at;
  ASSERT_LT(at + 3, o.lines.size());
  EXPECT_EQ(o.lines[at - 1], "");
  ASSERT_EQ(o.lines[at + 1].rfind(" capa_1=, ", 0), 0u);
  EXPECT_NEAR(std::stod(o.lines[at + 1].substr(10)), 1.25e-14, 1e-28);
  ASSERT_EQ(o.lines[at + 2].rfind(" capa_3=, ", 0), 0u);
  EXPECT_NEAR(std::stod(o.lines[at + 2].substr(10)), 4e-13 / 27.0, 1e-28);
  EXPECT_EQ(o.lines[at + 3].rfind(" capa=, ", 0), 0u);
}

TEST(MassViscoCoef, FractionStops) {
  masses r;
  rock_deck d = rock_deck::ice().grid(2, 2, 0.2);
  d.phiw(1, 2) = 0.4;
  EXPECT_EQ(run_masses(d, r).code, 45678);
  // Fractions that do not add up to 1: the ice report block comes first.
  rock_deck ice = rock_deck::ice().grid(1, 1, -4503599627370496.0);
  ice.phi_a_m = {-4503599627370495.5, 0.4};
  const outcome oi = run_masses(ice, r);
  EXPECT_EQ(oi.code, 555);
  EXPECT_EQ(oi.lines.back(), " ************************** ");
  rock_deck sand = rock_deck::shaley_sand().grid(1, 1, 0.2);
  sand.s3 = {1e10 + 0.3, 0.2};
  const outcome o = run_masses(sand, r);
  EXPECT_EQ(o.code, 555);
  EXPECT_EQ(o.lines.back(), "");  // right after the fractions record
}

TEST(MassViscoCoef, NegativeSolidFrictionStopsOnTheControls) {
  // Shaley sand with phi = s3 = 0.5 and equal grains: coef_b12 = coef_b23
  // = 1.125e8, f22 = 9e8 and control1 = 5.0625e16 + 9e8 b13,
  // control2 = 5.0625e16 + 1.8e9 b13.
  rock_deck d = rock_deck::shaley_sand().grid(1, 1, 0.5);
  d.s3 = {0.5, 0.5};
  d.rs1 = d.rs3 = {1e-5, 1e-5};
  masses r;
  d.coef_b13 = {-1e8, -1e8};
  outcome o = run_masses(d, r);
  EXPECT_EQ(o.code, 99999);
  ASSERT_EQ(o.lines.back().rfind(" control1 (must be  positive)  = ", 0), 0u);
  EXPECT_NEAR(std::stod(o.lines.back().substr(33)), -3.9375e16, 1e4);
  d.coef_b13 = {-4.21875e7, -4.21875e7};
  o = run_masses(d, r);
  EXPECT_EQ(o.code, 99998);
  ASSERT_EQ(o.lines.back().rfind(" control2 (must be  positive)  = ", 0), 0u);
  EXPECT_NEAR(std::stod(o.lines.back().substr(33)), -2.53125e16, 1e4);
}

TEST(MassViscoCoef, ZeroGrainSizeStopsAsNonFinite) {
  rock_deck d = rock_deck::shaley_sand().grid(2, 2, 0.2);
  d.rs1 = {5e-5, 0.0};
  d.matnum(2, 1) = 2;
  masses r;
  const outcome o = run_masses(d, r);
  EXPECT_EQ(o.code, stop_nonfinite);
  EXPECT_EQ(o.message, "cell (2,1): coefficient f11 is not finite");
}
