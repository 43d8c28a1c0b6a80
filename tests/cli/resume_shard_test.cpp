// A table --resume cannot keep as its own, and shards merge cannot join,
// are refused and left as they were (a study cut short resumes in
// tests/study/stopped_writer_test); shards run apart merge to the bytes and
// provenance of the whole study.
#include <gtest/gtest.h>
#include <sys/file.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <functional>

#include "cli/cli_run.h"
#include "driver/run_dir.h"

namespace fs = std::filesystem;

namespace {

// The command line of a study of the grid_3x3 deck, or of one like it.
struct study_of {
  std::string deck = (golden_case("grid_3x3") / "deck").string();
  std::string freq = "1:1e5:5", water = "0.1,0.25", test = "per-solid";
  std::vector<std::string> args(const std::string& out, std::vector<std::string> extra = {}) const {
    std::vector<std::string> a = {"study", deck, "-o", out, "--freq", freq, "--water", water,
                                  "--test", test};
    a.insert(a.end(), extra.begin(), extra.end());
    return a;
  }
};

// The directory of the whole study, and of its three shards, computed once
// for the tests of this file.
const fs::path& reference_dir() {
  static const fs::path dir = [] {
    const fs::path d = fresh_dir("resume_reference");
    EXPECT_EQ(run_cli_program(study_of{}.args("out", {"-j", "2"}), d).status, 0);
    for (const char* part : {"0/3", "1/3", "2/3"})
      EXPECT_EQ(run_cli_program(study_of{}.args("out", {"--shard", part}), d).status, 0);
    return d / "out";
  }();
  return dir;
}
std::string reference(const std::string& file) { return file_bytes(reference_dir() / file); }

// The provenance file without its date and wall time.
std::string provenance_but_date_and_time(const fs::path& file) {
  std::string kept;
  for (const std::string& line : read_lines(file))
    if (line.find("\"date\"") == std::string::npos && line.find("\"wall_time_s\"") == std::string::npos)
      kept += line + '\n';
  return kept;
}

// What makes a table refused: a change of the directory of the study.
using spoiler = std::function<void(const fs::path&)>;

spoiler removed(const std::string& file) {
  return [=](const fs::path& d) { fs::remove(d / file); };
}

spoiler edited(const std::string& file, const std::string& from, const std::string& to) {
  return [=](const fs::path& d) {
    std::string t = file_bytes(d / file);
    write_file(d / file, t.replace(t.find(from, t.find('\n')), from.size(), to));
  };
}

// The shard `part` of `s` run into the directory.
spoiler sharded(const std::string& part, study_of s = {}) {
  return [=](const fs::path& d) {
    ASSERT_EQ(run_cli_program(s.args(".", {"--shard", part}), d).status, 0);
  };
}

// The lock of a table taken as another writer would, until the test ends
// (each case works on a fresh copy).
spoiler locked(const std::string& file) {
  return [=](const fs::path& d) {
    flock(open((d / file).c_str(), O_RDWR | O_CREAT, 0666), LOCK_EX);
  };
}

}  // namespace

TEST(Refused, ResumeOrMergeRefusesWhatItCannotKeepAndLeavesItAsItWas) {
  const spoiler nothing = [](const fs::path&) {};
  const auto resume = [](study_of s) { return s.args("out", {"--resume"}); };
  const std::vector<std::string> merge = {"merge", "out"};
  // A deck like grid_3x3's but for its fourth line.
  const std::string other = deck_file(fresh_dir("refused_other_deck"), "other",
                                      with_line(read_lines(study_of{}.deck), 4, "0.2"))
                                .string();
  const std::string shard1 = "study.shard-1-of-3", shard2 = "study.shard-2-of-3";
  const struct {
    const char* what;
    spoiler spoil;
    std::vector<std::string> args;
    const char* message;
    int status = 8;
  } cases[] = {
      {"another deck", nothing, resume({.deck = other}), "from another deck"},
      {"another test", nothing, resume({.test = "platen"}),
       "with the per-solid test, not the platen test"},
      {"another shard",
       [](const fs::path& d) {
         sharded("1/2")(d);
         fs::rename(d / "study.shard-1-of-2.fingerprint", d / "study.fingerprint");
       },
       resume({}), "for another shard"},
      {"no fingerprint", removed("study.fingerprint"), resume({}),
       "no study.fingerprint beside it"},
      {"a changed value", edited("study.csv", ",2476.0000000000005,", ",2476,"), resume({}),
       "row 1: not the row its fingerprint records"},
      {"a table of another study", edited("study.csv", ",0.1,", ",0.2,"), resume({}),
       "not the row of point 0"},
      {"another writer", locked("study.lock"), resume({}), "another study or merge is writing"},
      {"a table that is a link",
       [](const fs::path& d) {
         fs::rename(d / "study.csv", d / "target.csv");
         fs::create_symlink("target.csv", d / "study.csv");
       },
       resume({}), "is not a regular file", 4},
      {"merge: missing", removed(shard1 + ".csv"), merge,
       "missing shard table study.shard-1-of-3.csv"},
      {"merge: partial",
       [&](const fs::path& d) {
         fs::resize_file(d / (shard2 + ".csv"), fs::file_size(d / (shard2 + ".csv")) - 3);
       },
       merge, "partial"},
      {"merge: other points", sharded("1/3", {.water = "0.1,0.3"}), merge, "another point list"},
      {"merge: other split", sharded("0/2"), merge, "different splits"},
      {"merge: beyond the split",
       [](const fs::path& d) { write_file(d / "study.shard-3-of-3.csv", ""); }, merge,
       "numbered beyond its split"},
      {"merge: no provenance", removed(shard1 + ".json"), merge,
       "study.shard-1-of-3.json: missing"},
      {"merge: duplicated row",
       [](const fs::path& d) {
         const std::string text = file_bytes(d / "study.shard-0-of-3.csv");
         const std::size_t row = text.find('\n') + 1;
         write_file(d / "study.shard-0-of-3.csv",
                    text + text.substr(row, text.find('\n', row) + 1 - row));
       },
       merge, "holds more than the rows of its shard"},
      {"merge: changed row", edited(shard2 + ".csv", ",per-solid,3", ",per-solid,4"), merge,
       "row 1: not the row of point 2 its fingerprint records"},
      {"merge: no fingerprint", removed(shard2 + ".fingerprint"), merge,
       "no fingerprint beside it"},
      {"merge: huge count",
       [](const fs::path& d) { write_file(d / "study.shard-0-of-99999999999999999999.csv", ""); },
       merge, "shard number 99999999999999999999 out of range"},
      {"merge: provenance of another deck",
       edited(shard1 + ".json", "\"deck\": \"", "\"deck\": \"x"), merge,
       "its provenance differs from the first shard's"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const fs::path dir = fresh_dir("refused");
    fs::copy(reference_dir(), dir / "out");
    c.spoil(dir / "out");
    const std::string table = file_bytes(dir / "out" / "study.csv");
    const cli_run r = run_cli_program(c.args, dir);
    EXPECT_EQ(r.status, c.status);
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("out"), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_EQ(file_bytes(dir / "out" / "study.csv"), table) << "a refused table is left as it was";
  }
}

TEST(Shards, SlurmArrayTasksAndMergeJobGiveTheWholeStudy) {
  // The job script run as Slurm runs it: each array task, then the merge job.
  const fs::path dir = fresh_dir("slurm");
  const fs::path script = fs::path(V2PFL_EXAMPLES) / "slurm_study.sh";
  const std::vector<std::string> study = study_of{}.args("out");
  std::string args;  // DECK OUTDIR and the options
  for (std::size_t i = 1; i < study.size(); ++i)
    if (study[i] != "-o") args += " '" + study[i] + "'";
  const std::string env = "cd '" + dir.string() + "' && V2PFL_PROGRAM='" + V2PFL_BINARY + "' ";
  for (int task = 0; task < 4; ++task) {
    const std::string cmd = env + "SLURM_ARRAY_TASK_ID=" + std::to_string(task) +
                            " SLURM_ARRAY_TASK_COUNT=4 SLURM_CPUS_PER_TASK=2 bash '" +
                            script.string() + "'" + args + " 2> /dev/null";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
  }
  const std::string merge = env + "V2PFL_MERGE=1 bash '" + script.string() + "'" + args + " 2> /dev/null";
  ASSERT_EQ(std::system(merge.c_str()), 0);
  EXPECT_EQ(file_bytes(dir / "out" / "study.csv"), reference("study.csv"));
  EXPECT_EQ(file_bytes(dir / "out" / "study.fingerprint"), reference("study.fingerprint"));
  EXPECT_EQ(provenance_but_date_and_time(dir / "out" / "study.json"),
            provenance_but_date_and_time(reference_dir() / "study.json"));
  // The merged table resumes as the whole study: nothing left to compute.
  const cli_run resumed = run_cli_program(study_of{}.args("out", {"--resume"}), dir);
  EXPECT_EQ(resumed.status, 0) << resumed.err;
  EXPECT_NE(resumed.err.find("of the per-solid test done (0 computed"), std::string::npos) << resumed.err;
  EXPECT_EQ(file_bytes(dir / "out" / "study.csv"), reference("study.csv"));
}
