// Free-format reals: shortest text that reads back to the same double.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <sstream>

#include "common/report.h"

namespace {

TEST(FreeReal, RoundTripsExactly) {
  const double values[] = {0.1, 1.0 / 3.0, -2.5e-300, 4.9e-324, 1.7976931348623157e308,
                           6.02214076e23, -0.0, 917.0, 0.30000000000000004};
  for (double x : values) {
    const std::string s = free_real(x);
    const double back = std::strtod(s.c_str(), nullptr);
    EXPECT_EQ(std::memcmp(&back, &x, sizeof x), 0) << s;
  }
}

TEST(FreeReal, ShortestDigits) {
  EXPECT_EQ(free_real(0.1), "0.1");
  EXPECT_EQ(free_real(0.02), "0.02");
  EXPECT_EQ(free_real(40.0), "40");
}

TEST(FreeReal, NonFinite) {
  EXPECT_EQ(free_real(std::numeric_limits<double>::quiet_NaN()), "NaN");
  EXPECT_EQ(free_real(std::numeric_limits<double>::infinity()), "Infinity");
  EXPECT_EQ(free_real(-std::numeric_limits<double>::infinity()), "-Infinity");
}

TEST(FreeLine, BlankBeforeEveryItem) {
  std::ostringstream os;
  free_line(os, " mesh size h ", 0.02);
  free_line(os, "nl(1), nl(2)  ", 2, 3);
  free_line(os);
  EXPECT_EQ(os.str(), "  mesh size h  0.02\n nl(1), nl(2)   2 3\n\n");
}

TEST(FreeLine, AdjacentTextsAreJoined) {
  std::ostringstream os;
  free_line(os, "vp1 = ", 3000.5, "m/s", " atp1 = ", 0.25, std::string("1000/qp1 "), -1);
  EXPECT_EQ(os.str(), " vp1 =  3000.5 m/s atp1 =  0.25 1000/qp1  -1\n");
}

}  // namespace
