// Layered material numbering and the water-proportion field.
#include <gtest/gtest.h>

#include <sstream>

#include "common/report.h"
#include "input/input.h"

namespace {

TEST(Makematnum, TwoPeriodsOfTwoAndThreeRows) {
  cell_int matnum;
  for (int k = 1; k <= 12; ++k) {
    for (int j = 1; j <= 3; ++j) matnum(j, k) = 7;
  }
  std::array<double, 2> thickness{};
  std::ostringstream out;
  makematnum(3, 12, {2, 3}, thickness, 0.25, matnum, out);

  const int expected[12] = {1, 1, 2, 2, 2, 1, 1, 2, 2, 2, 7, 7};
  for (int k = 1; k <= 12; ++k) {
    for (int j = 1; j <= 3; ++j) EXPECT_EQ(matnum(j, k), expected[k - 1]) << j << "," << k;
  }
  EXPECT_EQ(thickness[0], 0.5);
  EXPECT_EQ(thickness[1], 0.75);
  EXPECT_EQ(out.str(),
            " nl(1), nl(2)   2 3\n"
            "  domain size (m)  3\n\n"
            "  ny = number of subintervals in y-direction  12\n\n"
            "  hy = subinterval size (m)  0.25\n\n"
            "  nper = number of periods  2\n\n"
            "  size of layer 1 in subintervals  2\n\n"
            "  size of layer 1 (m)  0.5\n\n"
            "  size of layer 2 in subintervals  3\n\n"
            "  size of layer 2 (m)  0.75\n\n");
}

TEST(Porosity, LayeredHalvesOddRowCount) {
  cell_real phiw;
  std::istringstream unused;
  porosity(4, 7, {0.1, 0.2}, 0, phiw, unused);
  for (int k = 1; k <= 7; ++k) {
    for (int j = 1; j <= 4; ++j) EXPECT_EQ(phiw(j, k), k <= 3 ? 0.1 : 0.2) << j << "," << k;
  }
}

TEST(Porosity, FileRecordsByPositionBottomRowFirst) {
  cell_real phiw;
  std::istringstream water("1 1 0.1\n2 1 0.2 extra items\n5 9 0.31\n\n 2,2,\n 0.4\n");
  porosity(2, 2, {0.9, 0.9}, 1, phiw, water);
  EXPECT_EQ(phiw(1, 1), 0.1);
  EXPECT_EQ(phiw(2, 1), 0.2);
  EXPECT_EQ(phiw(1, 2), 0.31);
  EXPECT_EQ(phiw(2, 2), 0.4);
}

TEST(Porosity, OtherModelLeavesFieldAlone) {
  cell_real phiw;
  phiw(1, 1) = 0.7;
  std::istringstream unused;
  porosity(1, 1, {0.1, 0.2}, 2, phiw, unused);
  EXPECT_EQ(phiw(1, 1), 0.7);
}

TEST(Porosity, BadWaterFileStops) {
  const std::pair<const char*, const char*> cases[] = {
      {"1 1 0.1\n2 1 0.2\n1 2 0.3\n",
       "phiw_binary_patchy.dat line 4: end of file before the record of cell (2, 2)"},
      {"1 1 0.1\n2 x 0.2\n", "phiw_binary_patchy.dat line 2: cannot read 'x' as an integer"},
      {"1 1 0.1\n2 1 0.2\n1 2 abc\n", "phiw_binary_patchy.dat line 3: cannot read 'abc' as a real"},
      {"1 1 ,, 0.3\n", "phiw_binary_patchy.dat line 1: no value before a comma"},
  };
  for (const auto& [text, message] : cases) {
    cell_real phiw;
    std::istringstream water(text);
    try {
      porosity(2, 2, {0.1, 0.1}, 1, phiw, water);
      ADD_FAILURE() << "no stop for " << text;
    } catch (const run_stop& s) {
      EXPECT_EQ(s.code, stop_bad_water_file);
      EXPECT_EQ(s.message, message);
    }
  }
}

}  // namespace
