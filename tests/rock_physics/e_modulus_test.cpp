// Moduli of the three-phase medium: Gassmann consistency, the report of
// cell (1, 1) and every stop.
#include <gtest/gtest.h>

#include <cmath>

#include "rock_cells.h"

TEST(EModulus, LockedPhasesObeyGassmannForOneMineral) {
  // Both solids of the same mineral: the stiffness of the mode that moves
  // all phases together is Gassmann's saturated bulk modulus of the dry
  // frame Ks (1 - phi)^(1 + 2/(1 - phi)).
  rock_deck d = rock_deck::shaley_sand().grid(2, 3, 0.25);
  d.ak_s1 = d.ak_s3 = {3.7e10, 3.7e10};
  d.xmu_s1 = d.xmu_s3 = {2.0e10, 2.0e10};
  moduli r;
  ASSERT_EQ(run_moduli(d, r).code, 0);
  const double ks = 3.7e10, kf = 2.25e9, phi = 0.25;
  const double kdry = ks * std::pow(1.0 - phi, 1.0 + 2.0 / (1.0 - phi));
  const double biot = 1.0 - kdry / ks;
  const double ksat = kdry + biot * biot / (phi / kf + (1.0 - phi) / ks - kdry / (ks * ks));
  const double locked =
      r.lambda1(2, 3) + r.mu1(2, 3) + r.lambda3(2, 3) + r.mu3(2, 3) + 2.0 * r.d3(2, 3) + r.mu13(2, 3);
  EXPECT_NEAR(locked, ksat, 1e-9 * ksat);
  // Gassmann's fluid modulus M = Kav.
  EXPECT_NEAR(r.m(1, 1), 1.0 / (phi / kf + (biot - phi) / ks), 1e-9 * r.m(1, 1));
}

TEST(EModulus, InviscidFluidDecouplesTheShearOfTheSolids) {
  rock_deck d = rock_deck::ice().grid(2, 2, 0.2);
  d.eta = {0.0, 0.0};
  d.phi_a_m = {0.2001, 0.2001};  // almost no ice: the frame shear modulus tends to 13.1 GPa
  moduli r;
  ASSERT_EQ(run_moduli(d, r).code, 0);
  EXPECT_EQ(r.mu13(2, 2), 0.0);
  EXPECT_NEAR(r.mu1(2, 2), 1.31e10, 1.0);
  EXPECT_LT(r.mu3(2, 2), 1.0);
}

TEST(EModulus, ReportsCellOneOneOnlyWithTheFractionsRecord) {
  const outcome o = [] {
    rock_deck d = rock_deck::ice().grid(2, 2, 0.2);
    moduli r;
    return run_moduli(d, r);
  }();
  ASSERT_EQ(o.code, 0);
  ASSERT_GE(o.lines.size(), 20u);
  EXPECT_EQ(o.lines[0], " ice content s3_prima= 0.5");
  EXPECT_EQ(o.lines[1], " j,k, water saturation  Sw = 1 1 0.5");
  EXPECT_EQ(o.lines[2], " ************************** ");
  EXPECT_EQ(o.lines[4], " for j, k  =  1 1");
  EXPECT_EQ(o.lines[5], "   control (must be = 1) =   1");
  const std::vector<std::string> record = {
      "porosity (water proportion)  =.20000    ",
      "",
      "bulk solid 1 fraction phi1 en e_mod   =.60000    ",
      "bulk solid 3 fraction phi3   =.20000    ",
      "solid 1 matrix fraction s1 en e_mod  =.75000    ",
      "solid 3 matrix fraction s3   =.25000    ",
      "",
      "",
      ""};
  for (std::size_t i = 0; i < record.size(); ++i) EXPECT_EQ(o.lines[9 + i], record[i]) << i;
  int elements = 0;
  for (const auto& l : o.lines) elements += (l == "  element j,k =  1 1");
  EXPECT_EQ(elements, 1);
  EXPECT_TRUE(o.has(" Moduli  as in eqs. (A.2),(A.5),(A.6),(A.7)"));
  EXPECT_EQ(o.lines.back(), "");
}

TEST(EModulus, ShaleySandReportOpensWithKrief) {
  rock_deck d = rock_deck::shaley_sand().grid(1, 1, 0.2);
  moduli r;
  const outcome o = run_moduli(d, r);
  ASSERT_EQ(o.code, 0);
  EXPECT_EQ(o.lines[0], " output of  Krief s model  eqs. (A.8)-(A.9)");
  EXPECT_FALSE(o.has(" ice content s3_prima= 0.5"));
}

TEST(EModulus, FractionStops) {
  moduli r;
  // No ice left (phi = phi_a) or more water than pore space.
  for (double phi : {0.4, 0.45}) {
    rock_deck d = rock_deck::ice().grid(2, 2, 0.2);
    d.phiw(2, 1) = phi;
    const outcome o = run_moduli(d, r);
    EXPECT_EQ(o.code, 45678);
    EXPECT_EQ(o.lines.back(), "");  // nothing after the report of cell (1, 1)
  }
  // Fractions that do not add up to 1: the ice report comes first.
  rock_deck ice = rock_deck::ice().grid(1, 1, -4503599627370496.0);
  ice.phi_a_m = {-4503599627370495.5, 0.4};
  outcome o = run_moduli(ice, r);
  EXPECT_EQ(o.code, 555);
  EXPECT_EQ(o.lines.back(), " ************************** ");
  rock_deck sand = rock_deck::shaley_sand().grid(1, 1, 0.2);
  sand.s3 = {1e10 + 0.3, 0.2};
  o = run_moduli(sand, r);
  EXPECT_EQ(o.code, 555);
  EXPECT_TRUE(o.lines.empty());
}

TEST(EModulus, NegativeLambdaStopsOnlyInCellOneOne) {
  moduli r;
  // A very rigid solid-1 mineral: lambda1 = H1 - mu1 < 0.
  rock_deck d = rock_deck::shaley_sand().grid(2, 1, 0.2);
  d.xmu_s1 = {4.4e10, 4.4e11};
  d.matnum(2, 1) = 2;
  outcome o = run_moduli(d, r);
  EXPECT_EQ(o.code, 0);
  ASSERT_EQ(o.lines.back().rfind("  neg. lambda1 j,k    2 1 -", 0), 0u) << o.lines.back();
  EXPECT_LT(r.lambda1(2, 1), 0.0);

  d.matnum(1, 1) = 2;
  o = run_moduli(d, r);
  EXPECT_EQ(o.code, 12345);
  const std::string neg = o.lines.back();
  EXPECT_EQ(neg.rfind("  neg. lambda1 j,k    1 1 -", 0), 0u) << neg;
  int seen = 0;
  for (const auto& l : o.lines) seen += (l == neg);
  EXPECT_EQ(seen, 2);
  EXPECT_TRUE(o.has("  element j,k =  1 1"));

  // A very rigid shale: lambda3 < 0, after the full report.
  rock_deck shale = rock_deck::shaley_sand().grid(1, 1, 0.2);
  shale.xmu_s3 = {2.1e11, 2.1e11};
  o = run_moduli(shale, r);
  EXPECT_EQ(o.code, 12346);
  EXPECT_EQ(o.lines.back(), "");
  EXPECT_EQ(o.lines[o.lines.size() - 2].rfind(" mu13(GPA)          = ", 0), 0u);
}

TEST(EModulus, StrainEnergyStops) {
  moduli r;
  // A fluid of negative bulk modulus in cell (2, 1): the solids' energy
  // form becomes indefinite.
  rock_deck d = rock_deck::shaley_sand().grid(2, 1, 0.2);
  d.akf = {2.25e9, -1e10};
  d.matnum(2, 1) = 2;
  outcome o = run_moduli(d, r);
  EXPECT_EQ(o.code, 45687);
  EXPECT_EQ(o.lines.back(), " j,k, strain energy not positive definite  2 1");
  EXPECT_TRUE(r.m(2, 1) < 0.0);  // stored before the test

  // A solid 3 of negative rigidity without viscous coupling.
  d = rock_deck::shaley_sand().grid(2, 2, 0.2);
  d.eta = {1e-3, 0.0};
  d.xmu_s3 = {7e9, -1e8};
  d.matnum(2, 2) = 2;
  o = run_moduli(d, r);
  EXPECT_EQ(o.code, 45688);
  EXPECT_EQ(o.lines.back(), "  j,k,strain energy not positive definite 2 2");
}

TEST(EModulus, CellWithoutPoreSpaceStopsAsNonFinite) {
  // phi = 0: Krief's frame equals the mineral, the average bulk modulus is
  // infinite.
  moduli r;
  rock_deck d = rock_deck::shaley_sand().grid(2, 1, 0.2);
  d.phiw(2, 1) = 0.0;
  const outcome o = run_moduli(d, r);
  EXPECT_EQ(o.code, stop_nonfinite);
  EXPECT_EQ(o.message, "cell (2,1): coefficient lambda1 is not finite");
}
