// The run subcommand: the batch run's point on a deck file with its files in
// a directory of choice, the batch run's report and files, the shell's exit
// statuses, and the water field given on the command line.
#include <gtest/gtest.h>

#include "cli/cli_run.h"
#include "driver/run_dir.h"

namespace fs = std::filesystem;

namespace {

// The result files that hold the point's numbers.
constexpr const char* point_files[] = {"vp_eq.phiw", "1000_over_q_eq.phiw", "vp_anal.phiw",
                                       "real_strain1_map", "mod_pressure_p33_ice"};

}  // namespace

TEST(RunCommand, SameReportAndFilesAsTheBatchRunWithConventionalStatus) {
  // A normal end is 0; a stop code above 99 (here 12345) is 7, named on
  // standard error as the batch run names it.
  for (const auto& [name, status] : {std::pair{"patchy_field", 0}, {"lambda_stop", 7}}) {
    SCOPED_TRACE(name);
    const fs::path dir = fresh_dir(std::string("run_cmd_") + name);
    const fs::path golden = golden_case(name);
    std::vector<std::string> args = {"run", (golden / "deck").string(), "-o", "results/here"};
    if (fs::exists(golden / "phiw_binary_patchy.dat"))
      args.insert(args.end(), {"--phiw", (golden / "phiw_binary_patchy.dat").string()});
    const cli_run r = run_cli_program(args, dir);
    EXPECT_EQ(r.status, status);
    // The report up to its run-time line, which changes from run to run.
    EXPECT_EQ(r.out.substr(0, r.out.find(" running time=")),
              file_bytes(golden / "expected" / "stdout"));
    EXPECT_EQ(r.err, file_bytes(golden / "expected" / "stderr"));
    for (const auto& expected : fs::directory_iterator(golden / "expected")) {
      const std::string file = expected.path().filename().string();
      if (file == "status" || file == "stdout" || file == "stderr") continue;
      EXPECT_EQ(file_bytes(dir / "results" / "here" / file), file_bytes(expected.path())) << file;
    }
  }
}

TEST(RunCommand, WaterFileGivenIsTheFieldWhateverTheModel) {
  // The patchy deck with model 0 and the same --phiw file: the same point.
  const fs::path dir = fresh_dir("run_cmd_phiw");
  const fs::path golden = golden_case("patchy_field");
  const fs::path layered = deck_file(dir, "layered.deck", with_line(read_lines(golden / "deck"), 8, "    0"));
  const std::string water = (golden / "phiw_binary_patchy.dat").string();
  ASSERT_EQ(run_cli_program({"run", (golden / "deck").string(), "-o", "m1", "--phiw", water}, dir).status, 0);
  ASSERT_EQ(run_cli_program({"run", layered.string(), "-o", "m0", "--phiw", water}, dir).status, 0);
  ASSERT_EQ(run_cli_program({"run", layered.string(), "-o", "none"}, dir).status, 0);
  for (const char* file : point_files) {
    EXPECT_EQ(file_bytes(dir / "m0" / file), file_bytes(dir / "m1" / file)) << file;
    EXPECT_NE(file_bytes(dir / "none" / file), file_bytes(dir / "m1" / file)) << file;
  }
}
