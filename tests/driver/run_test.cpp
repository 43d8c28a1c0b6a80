// End-to-end runs of the program binary on the example decks.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "run_dir.h"

namespace {

const char* const cell_maps[] = {"real_strain1_map", "imag_strain1_map", "real_strain3_map",
                                 "imag_strain3_map", "real_stress_map",  "imag_stress_map",
                                 "mod_pressure_p33_ice", "matnum_p33",   "matnum_p33_gnu"};
const char* const cycle_files[] = {"vp_anal.phiw", "vp_eq.phiw", "1000_over_q_eq.phiw",
                                   "1000_over_q_anal.phiw", "fort.54", "fort.18"};

// A deck of the example with an nx x ny grid.
std::vector<std::string> grid_deck(const std::string& example, int nx, int ny) {
  return with_line(with_line(example_deck(example), 5, std::to_string(nx)), 6,
                   std::to_string(ny));
}

// The number after `label` in the report.
double reported(const std::string& out, const std::string& label) {
  const auto at = out.find(label);
  if (at == std::string::npos) ADD_FAILURE() << "no line " << label;
  return at == std::string::npos ? 0.0 : std::stod(out.substr(at + label.size()));
}

// Grids of one or two cells a side have no interior cell, hence no gradient
// line; grids past 60 cells run with maps of their size; a grid
// whose system 32-bit indices cannot address is refused before anything is
// computed, naming the largest that fits.
TEST(grid_edges, small_and_long_grids_run_and_too_large_grids_are_refused) {
  for (int n : {1, 2}) {
    const program_run r = run_program(grid_deck("permafrost.deck", n, n), fresh_dir("small"));
    ASSERT_EQ(r.status, 40) << r.err;
    EXPECT_TRUE(r.lines("mod_grad_pressure_p33_ice").empty());
    EXPECT_EQ(r.lines("mod_pressure_p33_ice").size(), std::size_t(n * n));
  }
  const program_run tall = run_program(grid_deck("shaley_sand.deck", 1, 61), fresh_dir("g1x61"));
  ASSERT_EQ(tall.status, 40) << tall.err;
  for (const char* f : cell_maps) EXPECT_EQ(tall.lines(f).size(), 61u) << f;
  EXPECT_TRUE(tall.lines("mod_grad_pressure_p33_ice").empty());
  for (const char* f : cycle_files) EXPECT_EQ(tall.lines(f).size(), 1u) << f;

  const program_run huge = run_program(grid_deck("permafrost.deck", 421, 421), fresh_dir("huge"));
  EXPECT_EQ(huge.status, 2);
  EXPECT_NE(huge.err.find("grid 421 x 421 is too large"), std::string::npos) << huge.err;
  EXPECT_NE(huge.err.find("420 x 420"), std::string::npos) << huge.err;
}

TEST(rerun, replaces_every_result_file) {
  const auto dir = fresh_dir("rerun");
  for (const char* f : cell_maps) {
    std::ofstream junk(dir / f);
    for (int i = 0; i < 500; ++i) junk << "stale line\n";
  }
  for (const char* f : cycle_files) std::ofstream(dir / f) << "stale\nstale\nstale\n";
  const program_run r = run_program(grid_deck("shaley_sand.deck", 4, 3), dir);
  ASSERT_EQ(r.status, 40) << r.err;
  for (const char* f : cell_maps) EXPECT_EQ(r.lines(f).size(), 12u) << f;
  for (const char* f : cycle_files) EXPECT_EQ(r.lines(f).size(), 1u) << f;
  EXPECT_EQ(r.text("vp_anal.phiw").find("stale"), std::string::npos);
}

// A uniform sample under a uniform top load is strained almost uniformly,
// which the elements represent on any grid: refining it leaves the modulus
// from the averages of stress and strain unchanged to many digits.
TEST(refinement, uniform_sample_velocity_does_not_depend_on_the_grid) {
  const program_run coarse = run_program(grid_deck("permafrost.deck", 10, 10), fresh_dir("r10"));
  const program_run fine = run_program(grid_deck("permafrost.deck", 60, 60), fresh_dir("r60"));
  ASSERT_EQ(coarse.status, 40) << coarse.err;
  ASSERT_EQ(fine.status, 40) << fine.err;
  const std::string label = "using averages  Velocity(m/s) FE = ";
  const double v10 = reported(coarse.out, label), v60 = reported(fine.out, label);
  EXPECT_NEAR(v60, v10, 1e-6 * v10);
  const std::string qlabel = "using averages 1000/Q FE         = ";
  EXPECT_NEAR(reported(fine.out, qlabel), reported(coarse.out, qlabel), 1e-5);
  EXPECT_NE(fine.out.find("number of unknowns nodos =  22204"), std::string::npos);
}

}  // namespace

// A real without a decimal point whose implied decimals change it is named
// on standard error, the report and files as they are; a deck past its size
// limit is refused before it is read further.
TEST(deck_input, implied_decimals_warn_and_oversized_decks_are_refused) {
  const auto deck = grid_deck("shaley_sand.deck", 2, 2);  // line 18: capa_1_0(1), unused here
  const program_run with_point = run_program(with_line(deck, 18, "1.0E-10"), fresh_dir("point"));
  const program_run implied = run_program(with_line(deck, 18, "1"), fresh_dir("implied"));
  ASSERT_EQ(implied.status, 40) << implied.err;
  EXPECT_EQ(implied.err, "input deck line 18, field capa_1_0(1): '1' has no decimal point and "
                         "reads as 1e-10 (10 implied decimals)\n");
  EXPECT_EQ(with_point.err, "");
  EXPECT_EQ(implied.text("vp_anal.phiw"), with_point.text("vp_anal.phiw"));
  const auto cut = [](const std::string& out) { return out.substr(0, out.find("running time")); };
  EXPECT_EQ(cut(implied.out), cut(with_point.out));

  const program_run big = run_program(std::vector<std::string>(20, std::string(60000, ' ')),
                                      fresh_dir("big"));
  EXPECT_EQ(big.status, 2);
  EXPECT_EQ(big.err, "the deck on standard input: more than 1048576 bytes, the limit of a deck\n");
}
