// Bad command lines and inputs of study, run and merge: one line naming
// what is wrong, a documented status, and no table; help on standard output.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <sstream>

#include "cli/cli_run.h"
#include "driver/run_dir.h"

namespace fs = std::filesystem;

namespace {

// The lines of standard error other than the progress of a study that had begun.
int diagnostic_lines(const std::string& err) {
  std::istringstream in(err);
  int n = 0;
  for (std::string line; std::getline(in, line);) n += !line.starts_with("study: ");
  return n;
}

}  // namespace

TEST(BadInput, OneLineAStatusAndNoTable) {
  const fs::path dir = fresh_dir("bad_input");
  const std::vector<std::string> deck = read_lines(golden_case("grid_3x3") / "deck");
  deck_file(dir, "deck", deck);
  deck_file(dir, "bad_deck", with_line(deck, 5, "three"));
  deck_file(dir, "ice_deck",
            with_line(read_lines(golden_case("permafrost") / "deck"), 17, "0.5"));
  write_file(dir / "a_file", "");
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);  // refused, never read (a read blocks)
  fs::create_directories(dir / "maps_out");
  write_file(dir / "maps_out" / "point_0000", "a file where the maps of point 0 go");
  const struct {
    std::vector<std::string> args;
    int status;
    const char* message;
    std::string stdout_to = "";  // standard output sent there
  } cases[] = {
      {{"study", "deck", "-o", "out", "--bogus"}, 64, "--bogus"},
      {{"study", "deck", "-o", "out", "--freq", "1:10:0"}, 64, "N is not in [1, 100000]"},
      {{"study", "deck", "-o", "out", "--freq", "1e400"}, 64, "\"1e400\" is too large"},
      {{"study", "deck", "-o", "out", "--shard", "3/3"}, 64, "0 <= I < N"},
      {{"study", "missing_deck", "-o", "out"}, 2, "cannot read deck \"missing_deck\""},
      {{"study", "bad_deck", "-o", "out"}, 2, "deck \"bad_deck\": input deck line 5"},
      {{"study", "/dev/zero", "-o", "out"}, 2, "deck \"/dev/zero\": more than 1048576 bytes"},
      {{"study", "ice_deck", "-o", "out"}, 11, "deck \"ice_deck\": stop 11"},
      {{"study", "deck", "-o", "out", "--phiw", "missing.dat"}, 3, "\"missing.dat\""},
      {{"study", "deck", "-o", "out", "--phiw", "fifo"}, 3, "\"fifo\": not a regular file"},
      {{"study", "deck", "-o", "a_file/out"}, 4, "a_file/out"},
      {{"study", "deck", "-o", "maps_out", "--freq", "10", "--maps", "--test", "per-solid"}, 4, "maps_out/point_0000"},
      {{"merge", "out"}, 8, "out"},
      {{"run", "deck", "-o", "full"}, 4, "standard output", "/dev/full"},
      {{"study", "--help"}, 4, "standard output", "/dev/full"},
      {{"run", "deck", "-o", "a_file/out"}, 4, "a_file/out"},
  };
  for (const auto& c : cases) {
    std::string line;
    for (const auto& a : c.args) line += a + " ";
    SCOPED_TRACE(line);
    const cli_run r = run_cli_program(c.args, dir, c.stdout_to);
    EXPECT_EQ(r.status, c.status);
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_EQ(diagnostic_lines(r.err), 1) << r.err;
    EXPECT_FALSE(fs::exists(dir / "out" / "study.csv"));
  }
}

TEST(BadInput, HelpOnStandardOutput) {
  const fs::path dir = fresh_dir("help");
  const cli_run help = run_cli_program({"study", "--help"}, dir);
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("Usage"), std::string::npos) << help.out;
}
