// Fortran edit descriptors: expected fields written out by hand.
#include <gtest/gtest.h>

#include <limits>

#include "common/fortran_format.h"

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();
constexpr double nan = std::numeric_limits<double>::quiet_NaN();

TEST(FortranG, FixedRangeIsF11WithFourTrailingBlanks) {
  EXPECT_EQ(fortran_g(1234.5, 15, 5), "     1234.5    ");
  EXPECT_EQ(fortran_g(-1234.5, 15, 5), "    -1234.5    ");
  EXPECT_EQ(fortran_g(0.25, 15, 5), "    0.25000    ");
  EXPECT_EQ(fortran_g(99999.4, 15, 5), "     99999.    ");
  EXPECT_EQ(fortran_g(3.0, 15, 5), "     3.0000    ");
  EXPECT_EQ(fortran_g(0.0, 15, 5), "     0.0000    ");
}

TEST(FortranG, DecadeChosenByRoundingThresholds) {
  // 0.099995 is stored a hair above its decimal text.
  EXPECT_EQ(fortran_g(0.099995, 15, 5), "    0.99995E-01");
  EXPECT_EQ(fortran_g(0.099995, 15, 4), "     0.1000    ");
  EXPECT_EQ(fortran_g(0.0999995, 15, 5), "    0.10000    ");
  EXPECT_EQ(fortran_g(0.0999994, 15, 5), "    0.99999E-01");
  // 99999.5 is exact: the tie goes to the even 100000, outside the F range.
  EXPECT_EQ(fortran_g(99999.5, 15, 5), "    0.10000E+06");
  EXPECT_EQ(fortran_g(9999.96, 15, 5), "     10000.    ");
  EXPECT_EQ(fortran_g(123456.7, 15, 5), "    0.12346E+06");
  EXPECT_EQ(fortran_g(-123456.7, 15, 5), "   -0.12346E+06");
  // 99.9995 and 0.999995 are stored a hair below their decimal ties, yet
  // equal the double-precision decade bounds 100·(1 - 5e-6) and 1 - 5e-6:
  // they take the upper decade, as a Fortran runtime writes them.
  EXPECT_EQ(fortran_g(99.9995, 15, 5), "     100.00    ");
  EXPECT_EQ(fortran_g(-99.9995, 15, 5), "    -100.00    ");
  EXPECT_EQ(fortran_g(0.999995, 15, 5), "     1.0000    ");
  EXPECT_EQ(fortran_g(0.999995, 10, 5), "1.0000    ");
  EXPECT_EQ(fortran_g(9.99995, 15, 5), "     10.000    ");
  EXPECT_EQ(fortran_g(9.999949, 15, 5), "     9.9999    ");
}

TEST(FortranG, NarrowFieldDropsLeadingZero) {
  EXPECT_EQ(fortran_g(0.2, 10, 5), ".20000    ");
  EXPECT_EQ(fortran_g(12.5, 10, 5), "12.500    ");
  EXPECT_EQ(fortran_g(0.01, 10, 5), ".10000E-01");
  EXPECT_EQ(fortran_g(-0.2, 10, 5), "**********");
}

TEST(FortranE, ExponentForms) {
  EXPECT_EQ(fortran_e(1.0 / 3.0, 20, 10), "    0.3333333333E+00");
  EXPECT_EQ(fortran_e(-917.0, 20, 10), "   -0.9170000000E+03");
  EXPECT_EQ(fortran_e(0.0, 12, 5), " 0.00000E+00");
  EXPECT_EQ(fortran_g(1e-150, 15, 5), "    0.10000-149");
  EXPECT_EQ(fortran_g(-1e200, 15, 5), "   -0.10000+201");
  EXPECT_EQ(fortran_e(1e99, 15, 5), "    0.10000+100");
  EXPECT_EQ(fortran_e(1e98, 15, 5), "    0.10000E+99");
}

TEST(FortranE, TightWidths) {
  EXPECT_EQ(fortran_e(1.0, 9, 3), "0.100E+01");
  EXPECT_EQ(fortran_e(1.0, 8, 3), ".100E+01");
  EXPECT_EQ(fortran_e(-1.0, 9, 3), "-.100E+01");
  EXPECT_EQ(fortran_e(-1.0, 8, 3), "********");
}

TEST(FortranF, RoundingAndWidth) {
  EXPECT_EQ(fortran_f(1.5 / 3600.0, 15, 6), "       0.000417");
  EXPECT_EQ(fortran_f(3.14159, 8, 2), "    3.14");
  EXPECT_EQ(fortran_f(0.125, 5, 2), " 0.12");  // exact tie, to even
  EXPECT_EQ(fortran_f(2.5, 4, 0), "  2.");
  EXPECT_EQ(fortran_f(0.5, 3, 2), ".50");
  EXPECT_EQ(fortran_f(-0.5, 4, 2), "-.50");
  EXPECT_EQ(fortran_f(123.456, 5, 2), "*****");
  EXPECT_EQ(fortran_f(-0.001, 6, 2), " -0.00");
}

TEST(FortranFormat, NonFinite) {
  EXPECT_EQ(fortran_g(nan, 15, 5), "            NaN");
  EXPECT_EQ(fortran_e(inf, 15, 5), "       Infinity");
  EXPECT_EQ(fortran_f(-inf, 15, 6), "      -Infinity");
  EXPECT_EQ(fortran_g(inf, 5, 2), "  Inf");
  EXPECT_EQ(fortran_g(-inf, 8, 2), "    -Inf");
  EXPECT_EQ(fortran_e(-inf, 3, 1), "***");
}

TEST(FortranFormat, G15Pair) {
  EXPECT_EQ(format_g15_pair(0.2, 123456.7), "    0.20000          0.12346E+06");
}

}  // namespace
