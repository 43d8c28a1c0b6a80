// Kuster-Toksoz moduli of spheres: limits and the Hashin-Shtrikman bounds
// they coincide with when the host is the stiffer phase.
#include <gtest/gtest.h>

#include "rock_physics/rock_physics.h"

TEST(Kt, NoInclusionsOrIdenticalPhasesGiveTheHost) {
  double k, mu;
  kt(3.7e10, 4.4e10, 8.58e9, 3.7e9, 0.0, k, mu);
  EXPECT_DOUBLE_EQ(k, 3.7e10);
  EXPECT_DOUBLE_EQ(mu, 4.4e10);
  for (double c : {0.1, 0.5, 0.9}) {
    kt(3.7e10, 4.4e10, 3.7e10, 4.4e10, c, k, mu);
    EXPECT_DOUBLE_EQ(k, 3.7e10);
    EXPECT_DOUBLE_EQ(mu, 4.4e10);
  }
}

TEST(Kt, SpheresInAStifferHostFollowTheUpperHashinShtrikmanBound) {
  const double km = 3.7e10, mum = 4.4e10;
  const double zeta = mum / 6.0 * (9.0 * km + 8.0 * mum) / (km + 2.0 * mum);
  for (double c : {0.05, 0.3, 0.6}) {
    // Ice-like inclusions.
    const double ki = 8.58e9, mui = 3.7e9;
    double k, mu;
    kt(km, mum, ki, mui, c, k, mu);
    EXPECT_NEAR(k, km + c / (1.0 / (ki - km) + (1.0 - c) / (km + 4.0 * mum / 3.0)), 1e-6 * k);
    EXPECT_NEAR(mu, mum + c / (1.0 / (mui - mum) + (1.0 - c) / (mum + zeta)), 1e-6 * mu);
    // Empty pores: K = Km (1 - c) 4 mum / (4 mum + 3 c Km).
    kt(km, mum, 0.0, 0.0, c, k, mu);
    EXPECT_NEAR(k, km * (1.0 - c) * 4.0 * mum / (4.0 * mum + 3.0 * c * km), 1e-6 * k);
    EXPECT_NEAR(mu, mum * (1.0 - c) / (1.0 + c * mum / zeta), 1e-6 * mu);
  }
}
