// The three kinds of deck line and the number syntax they accept.
#include <gtest/gtest.h>

#include <sstream>

#include "common/report.h"
#include "input/deck_reader.h"
#include "input/fortran_read.h"

namespace {

// Message of the run_stop thrown by `read`, or "no stop".
template <class F>
std::string stop_message(F read) {
  try {
    read();
  } catch (const run_stop& s) {
    EXPECT_EQ(s.code, stop_bad_deck);
    return s.message;
  }
  return "no stop";
}

TEST(DeckFields, FreeFormatFirstItemAfterEmptyLines) {
  std::istringstream in("\n   \n  3.5, 7 rest\n1000 Hz\n2.5d3\n 12,\n");
  deck_reader deck(in);
  EXPECT_EQ(deck.read_free_real("a"), 3.5);
  EXPECT_EQ(deck.read_free_real("b"), 1000.0);
  EXPECT_EQ(deck.read_free_real("c"), 2500.0);
  EXPECT_EQ(deck.read_free_int("d"), 12);
  EXPECT_EQ(stop_message([&] { deck.read_free_int("e"); }), "input deck line 7, field e: end of input");
}

TEST(DeckFields, FreeFormatErrorsNameTheLineOfTheValue) {
  std::istringstream in("\n\n4.0\n");
  deck_reader deck(in);
  EXPECT_EQ(stop_message([&] { deck.read_free_int("nx"); }),
            "input deck line 3, field nx: cannot read '4.0' as an integer");
  std::istringstream comma(" , 5\n");
  deck_reader null_item(comma);
  EXPECT_EQ(stop_message([&] { null_item.read_free_real("freq1"); }),
            "input deck line 1, field freq1: no value before the comma");
}

TEST(DeckFields, I5ColumnsOneToFive) {
  std::istringstream in("    1\n1    \n 1 2 \n\n   12345678\n-   3\n");
  deck_reader deck(in);
  EXPECT_EQ(deck.read_i5("a"), 1);
  EXPECT_EQ(deck.read_i5("b"), 1);
  EXPECT_EQ(deck.read_i5("c"), 12);
  EXPECT_EQ(deck.read_i5("d"), 0);
  EXPECT_EQ(deck.read_i5("e"), 12);
  EXPECT_EQ(deck.read_i5("f"), -3);
}

TEST(DeckFields, G20ImpliedDecimals) {
  std::istringstream in(
      "0.25\n25\n2.\n2E3\n2.E3\n 1 . 5\n\n-25\n12345678901\n"
      "                 0.5999 ignored\n1.5e-3\n+2E3\n- 2 5\n-2E-3\n");
  deck_reader deck(in);
  EXPECT_EQ(deck.read_g20_10("a"), 0.25);
  EXPECT_EQ(deck.read_g20_10("b"), 25e-10);
  EXPECT_EQ(deck.read_g20_10("c"), 2.0);
  EXPECT_EQ(deck.read_g20_10("d"), 2e-7);
  EXPECT_EQ(deck.read_g20_10("e"), 2000.0);
  EXPECT_EQ(deck.read_g20_10("f"), 1.5);
  EXPECT_EQ(deck.read_g20_10("g"), 0.0);
  EXPECT_EQ(deck.read_g20_10("h"), -25e-10);
  EXPECT_EQ(deck.read_g20_10("i"), 1.2345678901);
  EXPECT_EQ(deck.read_g20_10("j"), 0.5);
  EXPECT_EQ(deck.read_g20_10("k"), 1.5e-3);
  EXPECT_EQ(deck.read_g20_10("l"), 2e-7);     // a sign is not a mantissa digit
  EXPECT_EQ(deck.read_g20_10("m"), -25e-10);
  EXPECT_EQ(deck.read_g20_10("n"), -2e-13);
}

TEST(FortranRead, RejectsMalformedNumbers) {
  for (const char* bad : {"", ".", "+", "1.2.3", "e5", "1e", "1x", "--1", "1e400", "NaN"}) {
    EXPECT_FALSE(fortran_real(bad, 0)) << bad;
  }
  EXPECT_EQ(fortran_real("1+3", 0), 1000.0);
  EXPECT_EQ(fortran_real("-.5D-1", 0), -0.05);
  EXPECT_EQ(fortran_int("+42"), 42);
  EXPECT_FALSE(fortran_int("4 2"));
  EXPECT_FALSE(fortran_int("+-1"));
  EXPECT_FALSE(fortran_int("99999999999"));
}

}  // namespace
