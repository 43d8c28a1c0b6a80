// Numbers as text: Fortran G, E and F fields written out by hand, free-format
// reals read back bit for bit, and free-format lines.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <limits>
#include <sstream>

#include "common/fortran_format.h"
#include "common/report.h"

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();
constexpr double nan = std::numeric_limits<double>::quiet_NaN();

TEST(FortranFormat, Fields) {
  const struct {
    std::string (*edit)(double, int, int);
    double x;
    int w, d;
    const char* field;
  } cases[] = {
      // G in its F range: F(w-4) and four blanks; the decade is chosen on the rounded value.
      {fortran_g, 0.0, 15, 5, "     0.0000    "},
      {fortran_g, 9999.96, 15, 5, "     10000.    "},
      {fortran_g, 0.099995, 15, 5, "    0.99995E-01"},  // stored a hair above the tie
      {fortran_g, 99999.5, 15, 5, "    0.10000E+06"},   // exact tie to the even 100000
      // A hair below the tie, yet equal to the double decade bound: upper decade.
      {fortran_g, 99.9995, 15, 5, "     100.00    "},
      {fortran_g, 0.2, 10, 5, ".20000    "},  // leading zero dropped to fit
      {fortran_g, -0.2, 10, 5, "**********"},
      {fortran_g, -1e200, 15, 5, "   -0.10000+201"},  // three-digit exponents lose the E
      {fortran_g, nan, 15, 5, "            NaN"},
      {fortran_g, inf, 5, 2, "  Inf"},
      {fortran_e, 1e98, 15, 5, "    0.10000E+99"},
      {fortran_e, inf, 15, 5, "       Infinity"},
      {fortran_f, 0.125, 4, 2, "0.12"},  // exact tie, to even; the zero kept when it fits
      {fortran_f, -0.001, 6, 2, " -0.00"},
      {fortran_f, 123.456, 5, 2, "*****"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.edit(c.x, c.w, c.d), c.field) << c.x << " w=" << c.w << " d=" << c.d;
  }
  EXPECT_EQ(format_g15_pair(0.2, 123456.7), "    0.20000          0.12346E+06");
}

TEST(FreeFormat, ShortestRealsAndLines) {
  for (double x : {0.1, 1.0 / 3.0, -2.5e-300, 4.9e-324, 1.7976931348623157e308, -0.0}) {
    const std::string s = free_real(x);
    const double back = std::strtod(s.c_str(), nullptr);
    EXPECT_EQ(std::memcmp(&back, &x, sizeof x), 0) << s;
  }
  EXPECT_EQ(free_real(0.02), "0.02");
  EXPECT_EQ(free_real(-inf), "-Infinity");
  // free_line: a blank before every item, adjacent texts joined.
  std::ostringstream os;
  free_line(os, "nl(1), nl(2)  ", 2, 3);
  free_line(os);
  free_line(os, "vp1 = ", 3000.5, "m/s", " atp1 = ", std::string("1000/qp1 "), -1);
  EXPECT_EQ(os.str(), " nl(1), nl(2)   2 3\n\n vp1 =  3000.5 m/s atp1 = 1000/qp1  -1\n");
}

}  // namespace
