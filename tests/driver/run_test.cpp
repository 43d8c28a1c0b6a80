// End-to-end runs of the program binary on the example decks.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "common/report.h"
#include "driver/run.h"
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

TEST(grid_edges, small_grids_have_no_gradient_line) {
  const program_run r1 = run_program(grid_deck("permafrost.deck", 1, 1), fresh_dir("g1"));
  ASSERT_EQ(r1.status, 40) << r1.err;
  EXPECT_TRUE(r1.lines("mod_grad_pressure_p33_ice").empty());
  EXPECT_EQ(r1.lines("mod_pressure_p33_ice").size(), 1u);

  const program_run r2 = run_program(grid_deck("permafrost.deck", 2, 2), fresh_dir("g2"));
  ASSERT_EQ(r2.status, 40) << r2.err;
  EXPECT_TRUE(r2.lines("mod_grad_pressure_p33_ice").empty());
}

// Grids past the historic 60 cells run with maps of their size; a grid whose
// system 32-bit indices cannot address is refused before anything is
// computed, naming the largest that fits.
TEST(grid_edges, long_grids_run_and_too_large_grids_are_refused) {
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

// The run with its files in another directory and the water field read from
// a named file: the recorded files of the patchy case, byte for byte.
TEST(output_directory, holds_the_files_of_the_run_and_reads_the_named_water_file) {
  const std::filesystem::path golden = V2PFL_GOLDEN "/patchy_field";
  const auto dir = fresh_dir("outdir");
  std::ifstream deck(golden / "deck");
  std::ostringstream out, err;
  run_settings settings;
  settings.out_dir = dir / "results";
  settings.water_file = golden / "phiw_binary_patchy.dat";
  std::filesystem::create_directories(settings.out_dir);
  const auto home = std::filesystem::current_path();
  std::filesystem::current_path(dir);
  const int status = run_driver(deck, out, err, settings);
  std::filesystem::current_path(home);
  ASSERT_EQ(status, 40) << err.str();
  std::size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(golden / "expected")) {
    const std::string name = entry.path().filename();
    if (name == "stdout" || name == "stderr" || name == "status") continue;
    EXPECT_EQ(read_lines(settings.out_dir / name), read_lines(entry.path())) << name;
    ++files;
  }
  EXPECT_EQ(files, 16u);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);  // only results/

  settings.water_file = dir / "no_such_file";
  std::ifstream again(golden / "deck");
  EXPECT_EQ(run_driver(again, out, err, settings), stop_bad_water_file);
  EXPECT_NE(err.str().find("no_such_file"), std::string::npos) << err.str();
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
