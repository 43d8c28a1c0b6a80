// The input deck: values, the second material block, the ice check and the
// line and field named by every bad value.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "common/report.h"
#include "driver/report.h"
#include "input/input.h"

namespace {

// Header and one material block (lines 1 ... 29), shaley-sand model, with `edits`
// applied in order: (n, text) replaces line n or appends it, (n, nullptr) cuts before line n.
std::string deck(std::initializer_list<std::pair<int, const char*>> edits = {}) {
  std::vector<std::string> lines{
      "1000.  freq1", "2000", "3", "1.0", "4", "5", "    1", "0", "1",
      "2",     "2.25", "1.", "0.01", "2650.", "917.", "0.3", "0.25", "25", "1.E-3",
      "0.1",   "1.E-6", "2.E-6", "0.5", "0.", "0.", "3.6E10", "4.4E10", "9.E9", "3.6E9"};
  for (const auto& [n, text] : edits) {
    const std::size_t at = static_cast<std::size_t>(n - 1);
    if (!text) lines.resize(at);
    else if (at == lines.size()) lines.emplace_back(text);
    else lines[at] = std::string_view(text);
  }
  std::string s;
  for (const std::string& l : lines) s.append(l).append("\n");
  return s;
}

// A deck read: its values, warnings and the report's echo.
struct deck_read : deck_values {
  std::vector<std::string> warnings;
  std::ostringstream out;

  // Reads `text` as the deck: the stop it ends with, or code -1.
  run_stop read(const std::string& text) {
    std::istringstream in(text);
    try {
      deck_reading r = readata(in);
      report_deck(out, r.values);
      static_cast<deck_values&>(*this) = r.values;
      warnings = r.warnings;
    } catch (const deck_stop& s) {
      report_deck_stop(out, s);
      return s;
    }
    return {-1, "no stop"};
  }
};

TEST(Readata, ValuesAndSecondBlock) {
  deck_read v;
  EXPECT_EQ(v.read(deck({{30, "lines after the deck are not read"}})).code, -1);
  EXPECT_EQ(v.nl[1], 0);  // a single material leaves the second layer empty
  EXPECT_EQ(v.capa_1_0[0], 25e-10);  // ten implied decimals, with a warning
  EXPECT_EQ(v.warnings, std::vector<std::string>{
                            "input deck line 18, field capa_1_0(1): '25' has no decimal point and "
                            "reads as 2.5e-09 (10 implied decimals)"});
  deck_read zero;  // implied decimals that change nothing give no warning
  EXPECT_EQ(zero.read(deck({{18, "0"}, {24, ""}})).code, -1);
  EXPECT_TRUE(zero.warnings.empty());
  // Lines 1 ... 31 with nmat = 2, nl(2) = 3, akf(2) = 1.5, then lines 12 ... 29 again.
  auto two_blocks = [](const char* key_model, const char* phi_layer_2) {
    return deck({{7, key_model}, {9, "2"}, {30, "3"}, {31, "1.5"}}) +
           deck({{17, phi_layer_2}}).substr(deck({{12, nullptr}}).size());
  };
  deck_read two;
  EXPECT_EQ(two.read(two_blocks("    1", "0.25")).code, -1);
  EXPECT_EQ(two.nl, (std::array<int, 2>{2, 3}));
  EXPECT_EQ(two.akf[1], 1.5);
  deck_read ice;  // an ice stop in block 2 comes before any block is echoed
  EXPECT_EQ(ice.read(two_blocks("    0", "0.3")).code, 11);
  EXPECT_EQ(ice.out.str().find("layer i="), std::string::npos);
}

TEST(Readata, ValuesTheModelDoesNotUseOrTheRockPhysicsStopsOnPass) {
  const std::string accepted[] = {
      deck({{17, "0.9"}}),  // the shaley-sand model has no ice check
      deck({{13, "0."}, {18, "-1.E-13"}, {25, "-1."}, {23, "-1."}, {26, "-3.6E10"}}),
      deck({{7, "    0"}, {17, "0.29"}, {21, "-1.E-6"}, {18, "0."}, {20, "-1."}}),
      deck({{9, "2"}, {30, "2147483647"}, {31, "2.25"}}) +  // nl(2) at the int limit
          deck({{17, "0.25"}}).substr(deck({{12, nullptr}}).size())};
  for (const std::string& text : accepted) {
    deck_read v;
    const run_stop s = v.read(text);
    EXPECT_EQ(s.code, -1) << s.message;
  }
}

TEST(Readata, IceModelStopsWhenWaterReachesPorosity) {
  deck_read v;  // the check comes right after phi_layer_m(1)
  const run_stop s = v.read(deck({{7, "    0"}, {17, "0.3"}, {18, nullptr}}));
  EXPECT_EQ(s.code, 11);
  EXPECT_EQ(s.message, "");
  EXPECT_EQ(v.out.str().substr(v.out.str().find("  Ice")),
            "  Ice model, phi_a_m is smaller than phi_layer_m(i) \n  ERROR, the code stops \n"
            "  phi_a_m(i) =  0.3  phi_layer_m(i) =  0.3\n");
}

TEST(Readata, BadDeckNamesLineAndField) {
  const std::string too_large =
      " is too large: its system or its factors cannot be indexed; the largest square grid whose "
      "system and factors 32-bit indices can address is 420 x 420";
  const std::pair<std::string, std::string> cases[] = {
      {deck({{1, "0."}}), "line 1, field freq1: value 0 is not positive"},
      {deck({{1, "abc"}}), "line 1, field freq1: cannot read 'abc' as a real"},
      {deck({{3, "3.5"}}), "line 3, field nfreq: cannot read '3.5' as an integer"},
      {deck({{3, "100001"}}), "line 3, field nfreq: value 100001 is above 100000"},
      {deck({{6, "0"}}), "line 6, field ny: value 0 is below 1"},
      {deck({{5, "421"}, {6, "421"}}), "line 6, field ny: grid 421 x 421" + too_large},
      {deck({{5, "15500311"}, {6, "155500311"}}),  // unknowns x 50 past 64 bits
       "line 6, field ny: grid 15500311 x 155500311" + too_large},
      {deck({{7, "    2"}}), "line 7, field key_model: value 2 is neither 0 nor 1"},
      {deck({{9, "3"}}), "line 9, field nmat: value 3 outside 1 ... 2"},
      {deck({{10, "-1"}}), "line 10, field nl(1): value -1 is negative"},
      {deck({{10, "0"}}), "line 10, field nl(1): nl(1) + nl(2) = 0 leaves the layer period empty"},
      {deck({{11, "1.2.3"}}),
       "line 11, field akf(1): cannot read '1.2.3' in columns 1-20 as a real"},
      {deck({{16, nullptr}}), "line 16, field phi_a_m(1): end of input"},
      {deck({{1, std::string(70000, '1').c_str()}}),
       "line 1, field freq1: line longer than 65536 characters"},
      {std::string(1 << 20, '\n') + deck(),  // the size limit, before anything further is read
       "line 1048577, field freq1: the deck has more than 1048576 bytes, the limit of a deck"},
      // Values no rock has, refused where the deck's model uses them.
      {deck({{11, "1.e299"}}), "line 11, field akf(1): value 1e+299 is above 1e+12"},
      {deck({{12, "-1."}}), "line 12, field ro2(1): value -1 is not positive"},
      {deck({{13, "-0.01"}}), "line 13, field eta(1): value -0.01 is negative"},
      {deck({{7, "    0"}, {18, "-1.E-13"}}), "line 18, field capa_1_0(1): value -1e-13 is negative"},
      {deck({{21, "-1.E-6"}}), "line 21, field rs1(1): value -1e-06 is negative"},
  };
  for (const auto& [text, message] : cases) {
    const run_stop s = deck_read{}.read(text);
    EXPECT_EQ(s.code, stop_bad_deck) << message;
    EXPECT_EQ(s.message, "input deck " + message);
  }
  EXPECT_EQ(deck_read{}.read(deck({{5, "60"}, {6, "60"}, {3, "100000"}})).code, -1);  // bounds hold
}

}  // namespace
