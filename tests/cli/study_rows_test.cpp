// A study's rows and maps against batch runs of the same decks, bit for
// bit (the same bits for any thread count are checked on the study's
// points); a stopping point recorded in its row while the study goes on.
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "cli/cli_run.h"
#include "common/fortran_format.h"
#include "driver/run_dir.h"
#include "study/table.h"

namespace fs = std::filesystem;

namespace {

// The rows of a table as name -> column text.
std::vector<std::map<std::string, std::string>> table_rows(const fs::path& file) {
  const std::vector<std::string> lines = read_lines(file);
  const std::vector<std::string> names = study::csv_split(lines.at(0));
  std::vector<std::map<std::string, std::string>> rows;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const std::vector<std::string> f = study::csv_split(lines[i]);
    std::map<std::string, std::string> r;
    for (std::size_t c = 0; c < names.size(); ++c) r[names[c]] = f.at(c);
    rows.push_back(r);
  }
  return rows;
}

// The value that ends the first report line holding `label`.
std::string report_value(const std::string& report, const std::string& label) {
  std::istringstream in(report);
  for (std::string line; std::getline(in, line);)
    if (line.find(label) != std::string::npos) return line.substr(line.find_last_of(' ') + 1);
  return "missing " + label;
}

const char* const map_files[] = {"real_strain1_map", "imag_strain1_map", "real_strain3_map",
                                 "imag_strain3_map", "real_stress_map",  "imag_stress_map",
                                 "mod_pressure_p33_ice", "mod_grad_pressure_p33_ice"};

// Every row of a study of `deck` against the batch run at its frequency
// (the deck's first line), with the batch run's water field.
void expect_rows_equal_batch_runs(const std::string& name, const fs::path& case_dir,
                                   const std::string& freqs) {
  const fs::path dir = fresh_dir("rows_" + name);
  const fs::path water = case_dir / "phiw_binary_patchy.dat";
  if (fs::exists(water)) fs::copy_file(water, dir / water.filename());
  const std::vector<std::string> deck = read_lines(case_dir / "deck");
  const cli_run study = run_cli_program(
      {"study", (case_dir / "deck").string(), "-o", "out", "--freq", freqs, "--maps", "-j", "2",
       "--test", "per-solid"},
      dir);
  ASSERT_EQ(study.status, 0) << study.err;
  const auto rows = table_rows(dir / "out" / "study.csv");
  ASSERT_FALSE(rows.empty());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE(name + " point " + std::to_string(i));
    const auto& row = rows[i];
    const fs::path batch_dir = dir / ("batch_" + std::to_string(i));
    fs::create_directories(batch_dir);
    if (fs::exists(water)) fs::copy_file(water, batch_dir / water.filename());
    const program_run batch = run_program(with_line(deck, 1, row.at("freq_hz")), batch_dir);
    ASSERT_EQ(batch.status, 40) << batch.err;
    EXPECT_EQ(row.at("stop"), "40");
    EXPECT_EQ(row.at("vp_m_s"), report_value(batch.out, "using averages  Velocity(m/s) FE"));
    EXPECT_EQ(row.at("inv_q_x1000"), report_value(batch.out, "using averages 1000/Q FE"));
    EXPECT_EQ(row.at("vp_top_m_s"), report_value(batch.out, "from deltavol1 Velocity(m/s) FE"));
    EXPECT_EQ(row.at("inv_q_top_x1000"), report_value(batch.out, "from deltavol1 1000/Q FE"));
    EXPECT_EQ(row.at("density_kg_m3"), report_value(batch.out, "rob_med is (kg/m**3)"));
    EXPECT_EQ(row.at("field"), fs::exists(water) ? "phiw_binary_patchy.dat" : "0.2");
    EXPECT_EQ(row.at("vp1_plane_m_s"), report_value(batch.text("vp_anal.phiw"), ""));
    EXPECT_EQ(format_g15_pair(std::stod(row.at("freq_hz")), std::stod(row.at("inv_q1_plane_x1000"))),
              batch.lines("1000_over_q_anal.phiw").at(0));
    char point[32];
    std::snprintf(point, sizeof point, "point_%04zu", i);
    for (const char* map : map_files)
      EXPECT_EQ(file_bytes(dir / "out" / point / map), batch.text(map)) << map;
  }
}

}  // namespace

TEST(StudyRows, EqualBatchRunsBitForBit) {
  expect_rows_equal_batch_runs("uniform", golden_case("grid_3x3"), "37.5,100,2500");
  expect_rows_equal_batch_runs("patchy", golden_case("patchy_field"), "10:1000:3");
  // A grid of more than 60 cells across, ordered by nested dissection.
  const fs::path wide = fresh_dir("wide_case");
  deck_file(wide, "deck", with_line(with_line(read_lines(golden_case("permafrost") / "deck"), 5, "61"), 6, "2"));
  expect_rows_equal_batch_runs("wide", wide, "100,1000");
}

TEST(StudyRows, StoppedPointRecordedAndStudyGoesOnAtTheDecksFrequencies) {
  // Permafrost: a water proportion at or above phi_a_m (0.4) leaves no ice;
  // freq1 = 100, freq2 = 1000, nfreq = 10.
  const fs::path dir = fresh_dir("stopped");
  const fs::path deck = golden_case("permafrost") / "deck";
  const cli_run r =
      run_cli_program({"study", deck.string(), "-o", "out", "--water", "0.2,0.45", "--test", "per-solid"}, dir);
  EXPECT_EQ(r.status, 7) << r.err;
  const auto rows = table_rows(dir / "out" / "study.csv");
  ASSERT_EQ(rows.size(), 20u);
  EXPECT_EQ(rows.front().at("freq_hz"), "100");
  EXPECT_EQ(rows.back().at("freq_hz"), "1000");
  for (std::size_t i = 0; i < rows.size(); ++i)
    EXPECT_EQ(rows[i].at("stop") == "40", i % 2 == 0) << i;
  EXPECT_NE(r.err.find("10 stopped"), std::string::npos) << r.err;
  // One stopped point is enough for the status.
  EXPECT_EQ(run_cli_program({"study", deck.string(), "-o", "one", "--water", "0.45", "--freq", "100"}, dir).status, 7);
}
