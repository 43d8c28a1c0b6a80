// The run subcommand: the legacy run on a deck file with its files in a
// directory of choice, against the golden master of the legacy mode.
#include <gtest/gtest.h>

#include "cli/cli_run.h"
#include "driver/run_dir.h"

namespace fs = std::filesystem;

namespace {

// The report without its run-time line, which changes from run to run.
std::string without_running_time(const std::string& report) {
  const std::size_t at = report.find(" running time=");
  return at == std::string::npos ? report : report.substr(0, at);
}

}  // namespace

TEST(RunCommand, SameReportAndFilesAsTheLegacyMode) {
  for (const char* name : {"patchy_field", "lambda_stop"}) {
    SCOPED_TRACE(name);
    const fs::path dir = fresh_dir(std::string("run_cmd_") + name);
    const fs::path golden = golden_case(name);
    std::vector<std::string> args = {"run", (golden / "deck").string(), "-o", "results/here"};
    if (fs::exists(golden / "phiw_binary_patchy.dat"))
      args.insert(args.end(), {"--phiw", (golden / "phiw_binary_patchy.dat").string()});
    const cli_run r = run_cli_program(args, dir);
    EXPECT_EQ(std::to_string(r.status) + "\n", file_bytes(golden / "expected" / "status"));
    EXPECT_EQ(without_running_time(r.out), file_bytes(golden / "expected" / "stdout"));
    EXPECT_EQ(r.err, file_bytes(golden / "expected" / "stderr"));
    for (const auto& expected : fs::directory_iterator(golden / "expected")) {
      const std::string file = expected.path().filename().string();
      if (file == "status" || file == "stdout" || file == "stderr") continue;
      EXPECT_EQ(file_bytes(dir / "results" / "here" / file), file_bytes(expected.path())) << file;
    }
  }
}

TEST(RunCommand, LostWritesAndBadFilesHaveTheirStatus) {
  const fs::path dir = fresh_dir("run_cmd_bad");
  const fs::path deck = golden_case("grid_3x3") / "deck";
  write_file(dir / "a_file", "");
  EXPECT_EQ(run_cli_program({"run", deck.string(), "-o", "out"}, dir, "/dev/full").status, 4);
  const struct {
    std::vector<std::string> args;
    int status;
    const char* message;
  } cases[] = {
      {{"run", "missing_deck"}, 2, "\"missing_deck\""},
      {{"run", deck.string(), "-o", "a_file/out"}, 4, "a_file/out"},
      {{"run", (golden_case("patchy_field") / "deck").string(), "--phiw", "missing.dat"}, 3,
       "missing.dat"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.back());
    const cli_run r = run_cli_program(c.args, dir);
    EXPECT_EQ(r.status, c.status);
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
  }
}
