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

// Grids of one or two cells a side have no interior cell, hence no gradient
// line; a grid past 60 cells runs with maps of its size, every result file
// of an earlier run in its directory replaced.
TEST(grid_edges, small_and_long_grids_run) {
  for (int n : {1, 2}) {
    const program_run r = run_program(grid_deck("permafrost.deck", n, n), fresh_dir("small"));
    ASSERT_EQ(r.status, 40) << r.err;
    EXPECT_TRUE(r.lines("mod_grad_pressure_p33_ice").empty());
    EXPECT_EQ(r.lines("mod_pressure_p33_ice").size(), std::size_t(n * n));
  }
  const auto dir = fresh_dir("g1x61");
  for (const char* f : cell_maps) std::ofstream(dir / f) << std::string(500, '\n');
  for (const char* f : cycle_files) std::ofstream(dir / f) << "earlier\nearlier\n";
  const program_run tall = run_program(grid_deck("shaley_sand.deck", 1, 61), dir);
  ASSERT_EQ(tall.status, 40) << tall.err;
  for (const char* f : cell_maps) EXPECT_EQ(tall.lines(f).size(), 61u) << f;
  EXPECT_TRUE(tall.lines("mod_grad_pressure_p33_ice").empty());
  for (const char* f : cycle_files) EXPECT_EQ(tall.lines(f).size(), 1u) << f;
  EXPECT_EQ(tall.text("vp_anal.phiw").find("earlier"), std::string::npos);
}

}  // namespace
