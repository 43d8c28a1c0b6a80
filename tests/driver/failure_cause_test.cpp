// Bad input and failures of the run's own files: the exit status and one
// line on standard error that names the file or line and the real cause.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>

#include "run_dir.h"

namespace {

namespace fs = std::filesystem;

TEST(failure_cause, names_the_cause_in_one_line_with_its_status) {
  const auto permafrost = example_deck("permafrost.deck");
  const auto patchy = with_line(permafrost, 8, "    1");
  const std::string water = "phiw_binary_patchy.dat";
  const struct {
    const char* name;
    std::vector<std::string> deck;
    std::function<void(const fs::path&)> setup;
    const char* redirect;
    int status;
    std::string message;
  } cases[] = {
      {"full stdout", permafrost, {}, "> /dev/full", 4,
       "cannot write the report to standard output: No space left on device\n"},
      {"full result file", permafrost,
       [](const fs::path& d) { fs::create_symlink("/dev/full", d / "real_strain3_map"); },
       "> stdout.txt", 4, "cannot write result file \"real_strain3_map\": No space left on device\n"},
      {"unopenable result file", permafrost,
       [](const fs::path& d) { fs::create_directory(d / "vp_eq.phiw"); }, "> stdout.txt", 4,
       "\"vp_eq.phiw\""},
      {"truncated deck", std::vector<std::string>(permafrost.begin(), permafrost.begin() + 20), {},
       "> stdout.txt", 2, "line 21"},
      {"missing water file", patchy, {}, "> stdout.txt", 3, "\"" + water + "\""},
      {"water file a directory", patchy,
       [&](const fs::path& d) { fs::create_directory(d / water); }, "> stdout.txt", 3,
       "cannot read \"" + water + "\": Is a directory\n"},
      // A file of 2^30 bytes (sparse: no disk is used) is refused before it is read.
      {"huge water file", patchy,
       [&](const fs::path& d) {
         std::ofstream(d / water).close();
         fs::resize_file(d / water, std::uintmax_t{1} << 30);
       },
       "> stdout.txt", 3,
       "cannot read \"" + water + "\": 1073741824 bytes, more than the limit of 67108864 bytes\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path dir = fresh_dir("failure");
    if (c.setup) c.setup(dir);
    const program_run r = run_program(c.deck, dir, c.redirect);
    EXPECT_EQ(r.status, c.status);
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    // A lost standard output is not taken over by a result file.
    if (std::string(c.name).ends_with("stdout")) {
      EXPECT_EQ(r.lines("vp_anal.phiw").size(), 1u);
    }
  }
}

}  // namespace
