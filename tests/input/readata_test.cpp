// The input deck: echo, derived cell side, bad values and the ice check.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "common/report.h"
#include "input/input.h"

namespace {

// Every output of readata, owned here as the driver owns them.
struct deck_values {
  double freq1 = 0, freq2 = 0, domain_size = 0, h = 0;
  int nfreq = 0, nx = 0, ny = 0, key_model = 0, nmat = 0, model = 0;
  per_material akf{}, ro2{}, eta{}, ro1{}, ro3{}, phi_a_m{}, phi_layer_m{}, capa_1_0{},
      capa_3_0{}, s3{}, rs1{}, rs3{}, coef_b13{}, ak_s1{}, xmu_s1{}, ak_s3{}, xmu_s3{}, ak_air{},
      xmu_air{};
  std::array<int, 2> nl{-9, -9};

  void read(const std::string& deck, std::ostream& out) {
    std::istringstream in(deck);
    readata(freq1, freq2, nfreq, domain_size, nx, ny, key_model, nmat, akf, ro2, eta, ro1, ro3,
            phi_a_m, phi_layer_m, capa_1_0, capa_3_0, s3, rs1, rs3, coef_b13, ak_s1, xmu_s1,
            ak_s3, xmu_s3, ak_air, xmu_air, model, h, nl, in, out);
  }
};

// Header and one material block (lines 1 ... 29), shaley-sand model.
std::vector<std::string> one_block_deck() {
  return {"1000.  freq1", "2000", "3", "1.0", "4", "5", "    1", "0", "1",
          "2",     "2.25", "1.", "0.01", "2650.", "917.", "0.3", "0.25", "25", "1.E-3",
          "0.1",   "1.E-6", "2.E-6", "0.5", "0.", "0.", "3.6E10", "4.4E10", "9.E9", "3.6E9"};
}

std::string join(const std::vector<std::string>& lines) {
  std::string s;
  for (const std::string& l : lines) s += l + "\n";
  return s;
}

// The stop with which reading `lines` ends (code -1 if it does not stop).
run_stop stop_of(const std::vector<std::string>& lines, std::ostream& out) {
  deck_values v;
  try {
    v.read(join(lines), out);
  } catch (const run_stop& s) {
    return s;
  }
  return {-1, "no stop"};
}

TEST(Readata, ValuesEchoAndCellSide) {
  deck_values v;
  std::ostringstream out;
  v.read(join(one_block_deck()) + "lines after the deck are not read\n", out);
  EXPECT_EQ(v.freq1, 1000.0);
  EXPECT_EQ(v.key_model, 1);
  EXPECT_EQ(v.model, 0);
  EXPECT_EQ(v.nl[0], 2);
  EXPECT_EQ(v.nl[1], 0);
  EXPECT_EQ(v.capa_1_0[0], 25e-10);
  EXPECT_EQ(v.ak_air[0], 0.0);
  EXPECT_EQ(v.xmu_s3[0], 3.6e9);
  EXPECT_EQ(v.h, 0.2);
  EXPECT_EQ(out.str(),
            " 1000\n 2000\n 3\n 1\n 4\n 5\n 1\n 0\n 1\n"
            " **********************************\n"
            "  layer i=   1\n"
            "\n"
            " **********************************\n"
            "  nl(i) = cell in layer i       =  2\n"
            "  akf (GPA) (fluid bulk mod.    =  2.25\n"
            "  ro2 (gr/cm^3) (fluid density) =  1\n"
            "  eta (poise) (fluid viscosity) =  0.01\n"
            "\n"
            "  ro1(kgr/m^3)                  =  2650\n"
            "  ro3(kgr/m^3)                  =  917\n"
            "  phi_a (absolute porosity,ice) =  0.3\n"
            "  phi_layer1 (water proportion) =  0.25\n"
            "  capa_1_0 (cm^2) (ice)         =  2.5e-09\n"
            "  capa_3_0 (cm^2) (ice)         =  0.001\n"
            "  s3 (shale proportion)(shales) =  0.1\n"
            "  rs1 (m^2)   (shale)          =  1e-06\n"
            "  rs3 (m^2) (shale)            =  2e-06\n"
            "  coef_b13                      =  0.5\n"
            "  ak_air(PA )                   =  0\n"
            "  xmu_air (PA)                  =  0\n"
            "  ak_s1  (PA)                   =  3.6e+10\n"
            "  xmu_s1 (PA)                   =  4.4e+10\n"
            "  ak_s3  (PA)                   =  9e+09\n"
            "  xmu_s3 (PA)                   =  3.6e+09\n"
            "  model (=0,layered,=1,fractal  =  0\n"
            "\n"
            "  mesh size h  0.2\n");
}

TEST(Readata, TwoBlocksFillBothEntries) {
  std::vector<std::string> lines = one_block_deck();
  lines[8] = "2";
  const std::vector<std::string> block(lines.begin() + 9, lines.end());
  lines.insert(lines.end(), block.begin(), block.end());
  lines[29] = "3";     // nl(2)
  lines[30] = "1.5";   // akf(2)
  deck_values v;
  std::ostringstream out;
  v.read(join(lines), out);
  EXPECT_EQ(v.nl[0], 2);
  EXPECT_EQ(v.nl[1], 3);
  EXPECT_EQ(v.akf[0], 2.25);
  EXPECT_EQ(v.akf[1], 1.5);
  // Block 2 is echoed after the whole of block 1 and before the model line.
  const std::string block2 =
      "  xmu_s3 (PA)                   =  3.6e+09\n"
      " **********************************\n"
      "  layer i=   2\n"
      "\n"
      " **********************************\n"
      "  nl(i) = cell in layer i       =  3\n"
      "  akf (GPA) (fluid bulk mod.    =  1.5\n";
  const std::size_t at = out.str().find(block2);
  ASSERT_NE(at, std::string::npos);
  EXPECT_LT(out.str().find("  layer i=   1\n"), at);
  EXPECT_GT(out.str().find("  model (=0,layered,=1,fractal  =  0\n"), at);
}

TEST(Readata, IceModelStopsWhenWaterReachesPorosity) {
  std::vector<std::string> lines = one_block_deck();
  lines[6] = "    0";  // key_model: ice
  lines[16] = "0.3";   // phi_layer_m(1) = phi_a_m(1)
  lines.resize(17);    // the check comes before the rest of the block
  std::ostringstream out;
  const run_stop s = stop_of(lines, out);
  EXPECT_EQ(s.code, 11);
  EXPECT_EQ(s.message, "");
  EXPECT_EQ(out.str(),
            " 1000\n 2000\n 3\n 1\n 4\n 5\n 0\n 0\n 1\n"
            "  Ice model, phi_a_m is smaller than phi_layer_m(i) \n"
            "  ERROR, the code stops \n"
            "  phi_a_m(i) =  0.3  phi_layer_m(i) =  0.3\n");
}

TEST(Readata, ShaleySandSkipsIceCheck) {
  std::vector<std::string> lines = one_block_deck();
  lines[16] = "0.9";
  deck_values v;
  std::ostringstream out;
  EXPECT_NO_THROW(v.read(join(lines), out));
  EXPECT_EQ(v.phi_layer_m[0], 0.9);
}

TEST(Readata, BadValuesNameLineAndField) {
  struct bad_case {
    int line;
    const char* text;
    const char* message;
  };
  const bad_case cases[] = {
      {1, "0.", "input deck line 1, field freq1: value 0 is not positive"},
      {1, "abc", "input deck line 1, field freq1: cannot read 'abc' as a real"},
      {3, "3.5", "input deck line 3, field nfreq: cannot read '3.5' as an integer"},
      {4, "0.", "input deck line 4, field domain_size: value 0 is not positive"},
      {4, "-1.5", "input deck line 4, field domain_size: value -1.5 is not positive"},
      {5, "61", "input deck line 5, field nx: value 61 outside 1 ... 60"},
      {6, "0", "input deck line 6, field ny: value 0 outside 1 ... 60"},
      {7, "    2", "input deck line 7, field key_model: value 2 is neither 0 nor 1"},
      {7, "x", "input deck line 7, field key_model: cannot read 'x' in columns 1-5 as an integer"},
      {8, "   -1", "input deck line 8, field model: value -1 is neither 0 nor 1"},
      {9, "3", "input deck line 9, field nmat: value 3 outside 1 ... 2"},
      {10, "-1", "input deck line 10, field nl(1): value -1 is negative"},
      {10, "0", "input deck line 10, field nl(1): nl(1) + nl(2) = 0 leaves the layer period empty"},
      {11, "1.2.3",
       "input deck line 11, field akf(1): cannot read '1.2.3' in columns 1-20 as a real"},
  };
  for (const bad_case& c : cases) {
    std::vector<std::string> lines = one_block_deck();
    lines[c.line - 1] = c.text;
    std::ostringstream out;
    const run_stop s = stop_of(lines, out);
    EXPECT_EQ(s.code, stop_bad_deck);
    EXPECT_EQ(s.message, c.message);
  }
}

TEST(Readata, EndOfInputAndEmptySecondPeriod) {
  std::vector<std::string> lines = one_block_deck();
  lines.resize(15);
  std::ostringstream out;
  EXPECT_EQ(stop_of(lines, out).message, "input deck line 16, field phi_a_m(1): end of input");

  lines = one_block_deck();
  lines[8] = "2";
  lines[9] = "0";
  lines.push_back("0");  // nl(2)
  EXPECT_EQ(stop_of(lines, out).message,
            "input deck line 30, field nl(2): nl(1) + nl(2) = 0 leaves the layer period empty");
}

}  // namespace
