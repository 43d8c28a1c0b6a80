// Fixed-column deck fields and the number syntax they accept.
#include <gtest/gtest.h>

#include <sstream>

#include "input/deck_reader.h"
#include "input/fortran_read.h"

namespace {

TEST(DeckFields, FixedColumnsBlanksAndImpliedDecimals) {
  std::istringstream i5("    1\n1    \n 1 2 \n\n   12345678\n-   3\n");
  deck_reader ints(i5);
  for (int want : {1, 1, 12, 0, 12, -3}) EXPECT_EQ(ints.read_i5("k"), want);

  const std::pair<const char*, double> g20[] = {
      {"0.25", 0.25},   {"25", 25e-10},    {"2.", 2.0},        {"2E3", 2e-7},
      {"2.E3", 2000.0}, {" 1 . 5", 1.5},   {"", 0.0},          {"-25", -25e-10},
      {"- 2 5", -25e-10}, {"-.5D-1", -0.05},
      {"1+3", 1e-7},    {"12345678901", 1.2345678901}, {"                 0.5999 ignored", 0.5}};
  std::string text;
  for (const auto& [line, value] : g20) text.append(line).append("\n");
  std::istringstream in(text);
  deck_reader deck(in);
  for (const auto& [line, value] : g20) EXPECT_EQ(deck.read_g20_10("g"), value) << line;
}

TEST(FortranRead, MalformedNumbersAreRejected) {
  for (const char* bad : {"", ".", "+", "e5", "1e", "1x", "--1", "1e400", "NaN"}) {
    EXPECT_FALSE(fortran_real(bad, 0)) << bad;
  }
  for (const char* bad : {"4 2", "+-1", "99999999999"}) EXPECT_FALSE(fortran_int(bad)) << bad;
}

}  // namespace
