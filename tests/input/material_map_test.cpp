// Layered material numbering and the water-proportion field.
#include <gtest/gtest.h>

#include <sstream>

#include "common/report.h"
#include "input/input.h"

namespace {

TEST(Makematnum, PeriodsFromTheBottomAndNoPeriodNearTheIntLimit) {
  cell_int matnum(3, 12);
  for (int k = 1; k <= 12; ++k) matnum(1, k) = matnum(3, k) = 7;
  const layer_geometry g = makematnum(3, 12, {2, 3}, 0.25, matnum);
  const int expected[12] = {1, 1, 2, 2, 2, 1, 1, 2, 2, 2, 7, 7};  // rows past the periods kept
  for (int k = 1; k <= 12; ++k) {
    for (int j : {1, 3}) EXPECT_EQ(matnum(j, k), expected[k - 1]) << j << "," << k;
  }
  EXPECT_EQ(g.thickness, (std::array<double, 2>{0.5, 0.75}));
  EXPECT_EQ(g.nper, 2);
  EXPECT_EQ(makematnum(3, 10, {5, 2147483647}, 0.5, matnum).nper, 0);
  EXPECT_EQ(matnum(1, 1), 1);  // untouched
}

TEST(Porosity, LayeredHalvesAndFileRecordsBottomRowFirst) {
  cell_real phiw(4, 7);
  std::istringstream unused;
  porosity(4, 7, {0.1, 0.2}, 0, phiw, unused);
  for (int k = 1; k <= 7; ++k) EXPECT_EQ(phiw(4, k), k <= 3 ? 0.1 : 0.2) << k;
  // One record per cell in order; the cell indices on the line are not used.
  std::istringstream water("1 1 0.1\n2 1 0.2 extra items\n5 9 0.31\r\n\n 2,2,\n 0.4\n");
  porosity(2, 2, {0.9, 0.9}, 1, phiw, water);
  EXPECT_EQ(phiw(1, 1), 0.1);
  EXPECT_EQ(phiw(2, 1), 0.2);
  EXPECT_EQ(phiw(1, 2), 0.31);
  EXPECT_EQ(phiw(2, 2), 0.4);
}

// The stop with which porosity ends on a 2 x 2 grid reading `text`: "code: message".
std::string water_file_stop(const char* text) {
  cell_real phiw(2, 2);
  std::istringstream water(text);
  try {
    porosity(2, 2, {0.1, 0.1}, 1, phiw, water);
  } catch (const run_stop& s) {
    return std::to_string(s.code) + ": " + s.message;
  }
  return "no stop";
}

TEST(Porosity, BadWaterFileStops) {
  const std::string stop = std::to_string(stop_bad_water_file) + ": phiw_binary_patchy.dat line ";
  EXPECT_EQ(water_file_stop("1 1 0.1\n2 1 0.2\n1 2 0.3\n"),
            stop + "4: end of file before the record of cell (2, 2)");
  EXPECT_EQ(water_file_stop("1 1 0.1\n2 x 0.2\n"), stop + "2: cannot read 'x' as an integer");
  EXPECT_EQ(water_file_stop("1 1 ,, 0.3\n"), stop + "1: no value before a comma");
  EXPECT_EQ(water_file_stop("1 1 0.1\n2 1 1.5\n"),
            stop + "2: water proportion 1.5 of cell (2, 1) outside 0 ... 1");
  EXPECT_EQ(water_file_stop("1 1 0.\n2 1 1.\n1 2 1e-300\n 2 2 0.5\n"), "no stop");
  EXPECT_EQ(water_file_stop(("1 1 0.1" + std::string(70000, ' ') + "\n").c_str()),
            stop + "1: line longer than 65536 characters");
}

}  // namespace
