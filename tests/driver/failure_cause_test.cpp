// Failures of the run's own output and input files: the exit status and a
// message on standard error that names the file and the real cause.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "run_dir.h"

namespace {

namespace fs = std::filesystem;

// Runs the binary in `dir` on the permafrost deck (water file model when
// `patchy`) with standard output sent as `redirect` says; status and stderr.
program_run run_with_stdout(const fs::path& dir, const std::string& redirect,
                            bool patchy = false) {
  auto deck = example_deck("permafrost.deck");
  if (patchy) deck = with_line(deck, 8, "    1");
  {
    std::ofstream d(dir / "deck.in");
    for (const auto& line : deck) d << line << '\n';
  }
  const std::string cmd = "cd '" + dir.string() + "' && '" + V2PFL_BINARY + "' < deck.in " +
                          redirect + " 2> stderr.txt";
  const int raw = std::system(cmd.c_str());
  program_run r;
  r.dir = dir;
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.err = r.text("stderr.txt");
  return r;
}

TEST(failure_cause, report_that_cannot_be_written_fails_the_run) {
  const std::pair<const char*, const char*> cases[] = {
      {"> /dev/full", "No space left on device"}, {">&-", "Bad file descriptor"}};
  for (const auto& [redirect, cause] : cases) {
    const program_run r = run_with_stdout(fresh_dir("stdout"), redirect);
    EXPECT_EQ(r.status, 4) << redirect;
    EXPECT_EQ(r.err, std::string("cannot write the report to standard output: ") + cause + "\n");
    // A closed standard output is not taken over by a result file.
    EXPECT_EQ(r.lines("vp_anal.phiw").size(), 1u) << redirect;
  }
}

TEST(failure_cause, result_file_on_a_full_device_names_the_cause) {
  const fs::path dir = fresh_dir("full");
  fs::create_symlink("/dev/full", dir / "real_strain3_map");
  const program_run r = run_with_stdout(dir, "> stdout.txt");
  EXPECT_EQ(r.status, 4);
  EXPECT_EQ(r.err, "cannot write result file \"real_strain3_map\": No space left on device\n");
}

TEST(failure_cause, water_file_that_cannot_be_read_names_the_cause) {
  const fs::path dir = fresh_dir("water_dir");
  fs::create_directory(dir / "phiw_binary_patchy.dat");
  const program_run d = run_with_stdout(dir, "> stdout.txt", true);
  EXPECT_EQ(d.status, 3);
  EXPECT_EQ(d.err, "cannot read \"phiw_binary_patchy.dat\": Is a directory\n");

  // A file of 2^30 bytes (sparse: no disk is used) is refused before it is read.
  const fs::path big = fresh_dir("water_big");
  std::ofstream(big / "phiw_binary_patchy.dat").close();
  fs::resize_file(big / "phiw_binary_patchy.dat", std::uintmax_t{1} << 30);
  const program_run b = run_with_stdout(big, "> stdout.txt", true);
  EXPECT_EQ(b.status, 3);
  EXPECT_EQ(b.err,
            "cannot read \"phiw_binary_patchy.dat\": 1073741824 bytes, more than the limit of "
            "67108864 bytes\n");
}

}  // namespace
