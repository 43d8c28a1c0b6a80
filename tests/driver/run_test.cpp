// End-to-end runs of the program binary on the example decks.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

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

// The numbers after `label` on the first stdout line that starts with it.
std::vector<double> reported(const std::string& out, const std::string& label) {
  std::istringstream lines(out);
  for (std::string line; std::getline(lines, line);) {
    const auto at = line.find(label);
    if (at == std::string::npos) continue;
    std::istringstream rest(line.substr(at + label.size()));
    std::vector<double> values;
    for (std::string item; rest >> item;) values.push_back(std::stod(item));
    return values;
  }
  ADD_FAILURE() << "no line " << label;
  return {};
}

std::vector<double> numbers(const std::string& line) {
  std::istringstream s(line);
  std::vector<double> v;
  for (std::string item; s >> item;) v.push_back(std::stod(item));
  return v;
}

class example_run : public ::testing::TestWithParam<const char*> {};

TEST_P(example_run, writes_every_file_with_its_line_count) {
  const program_run r = run_program(example_deck(GetParam()), fresh_dir(GetParam()));
  ASSERT_EQ(r.status, 40) << r.err;
  const int nx = std::stoi(example_deck(GetParam()).at(4));
  const int ny = std::stoi(example_deck(GetParam()).at(5));
  for (const char* f : cell_maps) EXPECT_EQ(r.lines(f).size(), std::size_t(nx * ny)) << f;
  EXPECT_EQ(r.lines("mod_grad_pressure_p33_ice").size(), std::size_t((nx - 2) * (ny - 2)));
  for (const char* f : cycle_files) EXPECT_EQ(r.lines(f).size(), 1u) << f;

  // The "(g15.5,2x,g15.5)" lines are 32 characters wide.
  for (const char* f : {"vp_eq.phiw", "1000_over_q_eq.phiw", "1000_over_q_anal.phiw", "fort.54"})
    EXPECT_EQ(r.lines(f).at(0).size(), 32u) << f;

  // The water proportion of the single cycle is 0.2 whatever the deck says.
  EXPECT_EQ(numbers(r.lines("vp_anal.phiw").at(0)).at(0), 0.2);
  EXPECT_EQ(r.lines("vp_eq.phiw").at(0).substr(0, 15), "    0.20000    ");

  // The result files agree with the report.
  const double fe_velocity = reported(r.out, "using averages  Velocity(m/s) FE = ").at(0);
  EXPECT_GT(fe_velocity, 500.0);
  EXPECT_LT(fe_velocity, 8000.0);
  EXPECT_NEAR(numbers(r.lines("vp_eq.phiw").at(0)).at(1), fe_velocity, 1e-4 * fe_velocity);

  // Every cell of the material map has material 1.
  for (const auto& line : r.lines("matnum_p33")) EXPECT_EQ(line, " 1");
  EXPECT_EQ(r.lines("matnum_p33_gnu").at(0), " 1 1 1");

  // The run ends with the running-time line.
  EXPECT_NE(r.out.find("\n running time="), std::string::npos);
  EXPECT_EQ(r.out.substr(r.out.size() - 6), "hours\n");
}

INSTANTIATE_TEST_SUITE_P(decks, example_run,
                         ::testing::Values("permafrost.deck", "shaley_sand.deck"));

TEST(grid_edges, small_grids_have_no_or_one_gradient_line) {
  const program_run r1 = run_program(grid_deck("permafrost.deck", 1, 1), fresh_dir("g1"));
  ASSERT_EQ(r1.status, 40) << r1.err;
  EXPECT_TRUE(r1.lines("mod_grad_pressure_p33_ice").empty());
  EXPECT_EQ(r1.lines("mod_pressure_p33_ice").size(), 1u);

  const program_run r2 = run_program(grid_deck("permafrost.deck", 2, 2), fresh_dir("g2"));
  ASSERT_EQ(r2.status, 40) << r2.err;
  EXPECT_TRUE(r2.lines("mod_grad_pressure_p33_ice").empty());

  const program_run r3 = run_program(grid_deck("permafrost.deck", 3, 3), fresh_dir("g3"));
  ASSERT_EQ(r3.status, 40) << r3.err;
  const auto grad = r3.lines("mod_grad_pressure_p33_ice");
  ASSERT_EQ(grad.size(), 1u);
  EXPECT_EQ(grad[0].substr(0, 5), " 1 1 ");
  EXPECT_EQ(r3.lines("mod_pressure_p33_ice").at(4).substr(0, 5), " 2 2 ");
}

TEST(rerun, replaces_every_result_file) {
  const auto dir = fresh_dir("rerun");
  for (const char* f : cell_maps) {
    std::ofstream junk(dir / f);
    for (int i = 0; i < 500; ++i) junk << "old line\n";
  }
  for (const char* f : cycle_files) std::ofstream(dir / f) << "old\nold\nold\n";
  const program_run r = run_program(grid_deck("shaley_sand.deck", 4, 3), dir);
  ASSERT_EQ(r.status, 40) << r.err;
  for (const char* f : cell_maps) EXPECT_EQ(r.lines(f).size(), 12u) << f;
  for (const char* f : cycle_files) EXPECT_EQ(r.lines(f).size(), 1u) << f;
  EXPECT_EQ(r.text("vp_anal.phiw").find("old"), std::string::npos);
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
  const double v10 = reported(coarse.out, label).at(0), v60 = reported(fine.out, label).at(0);
  EXPECT_NEAR(v60, v10, 1e-6 * v10);
  const std::string qlabel = "using averages 1000/Q FE         = ";
  EXPECT_NEAR(reported(fine.out, qlabel).at(0), reported(coarse.out, qlabel).at(0), 1e-5);
  EXPECT_NE(fine.out.find("number of unknowns nodos =  22204"), std::string::npos);
}

TEST(bad_input, truncated_deck_names_the_line_and_exits_non_zero) {
  auto deck = example_deck("permafrost.deck");
  deck.resize(20);
  const program_run r = run_program(deck, fresh_dir("short"));
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("line 21"), std::string::npos) << r.err;
}

TEST(bad_input, unwritable_result_file_stops_the_run) {
  const auto dir = fresh_dir("unwritable");
  std::filesystem::create_directory(dir / "vp_eq.phiw");  // a directory cannot be opened as a file
  const program_run r = run_program(example_deck("permafrost.deck"), dir);
  EXPECT_EQ(r.status, 4);
  EXPECT_NE(r.err.find("vp_eq.phiw"), std::string::npos) << r.err;
}

TEST(bad_input, missing_water_file_is_reported) {
  const program_run r =
      run_program(with_line(example_deck("permafrost.deck"), 8, "    1"), fresh_dir("nowater"));
  EXPECT_EQ(r.status, 3);
  EXPECT_NE(r.err.find("phiw_binary_patchy.dat"), std::string::npos) << r.err;
}

}  // namespace
