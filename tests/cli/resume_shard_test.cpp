// A table --resume cannot keep as its own is refused, and left as it was
// (a study cut short resumes in tests/study/stopped_writer_test); shards
// run apart merge to the bytes and provenance of the whole study, and
// shards that do not add up are refused.
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <optional>

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

// The directory of the whole study, computed once for the tests of this file.
const fs::path& reference_dir() {
  static const fs::path dir = [] {
    const fs::path d = fresh_dir("resume_reference");
    EXPECT_EQ(run_cli_program(study_of{}.args("out", {"-j", "2"}), d).status, 0);
    return d / "out";
  }();
  return dir;
}
std::string reference(const std::string& file) { return file_bytes(reference_dir() / file); }

// A copy of the whole study's directory.
fs::path copy_of_reference(const std::string& name) {
  const fs::path dir = fresh_dir(name);
  fs::copy(reference_dir(), dir / "out");
  return dir;
}

void replace_in(const fs::path& f, const std::string& from, const std::string& to) {
  std::string t = file_bytes(f);
  write_file(f, t.replace(t.find(from, t.find('\n')), from.size(), to));
}

// A deck file like grid_3x3's but for its fourth line.
std::string other_deck(const fs::path& dir) {
  return deck_file(dir, "other", with_line(read_lines(golden_case("grid_3x3") / "deck"), 4, "0.2"))
      .string();
}

// The provenance file without its date and wall time.
std::string provenance_but_date_and_time(const fs::path& file) {
  std::string kept;
  for (const std::string& line : read_lines(file))
    if (line.find("\"date\"") == std::string::npos && line.find("\"wall_time_s\"") == std::string::npos)
      kept += line + '\n';
  return kept;
}

// Holds the lock of a table as another writer would.
struct held_lock {
  int fd;
  explicit held_lock(const fs::path& file) : fd(open(file.c_str(), O_RDWR | O_CREAT, 0666)) {
    flock(fd, LOCK_EX);
  }
  ~held_lock() { close(fd); }
};

using spoiler = std::function<void(const fs::path&)>;

}  // namespace

TEST(Resume, RefusesWhatItCannotKeepAndLeavesItAsItWas) {
  const spoiler nothing = [](const fs::path&) {};
  const fs::path decks = fresh_dir("resume_other_deck");
  const struct {
    const char* what;
    spoiler spoil;
    study_of study;
    int status;
    const char* message;
    const char* lock = nullptr;  // a lock file held meanwhile
  } cases[] = {
      {"another deck", nothing, {.deck = other_deck(decks)}, 8, "from another deck"},
      {"another test", nothing, {.test = "platen"}, 8, "with the per-solid test, not the platen test"},
      {"another point list", nothing, {.freq = "1:1e5:6"}, 8, "another point list"},
      {"another shard",
       [](const fs::path& d) {
         ASSERT_EQ(run_cli_program(study_of{}.args(".", {"--shard", "1/2"}), d).status, 0);
         fs::rename(d / "study.shard-1-of-2.fingerprint", d / "study.fingerprint");
       },
       {}, 8, "for another shard"},
      {"no fingerprint", [](const fs::path& d) { fs::remove(d / "study.fingerprint"); }, {}, 8,
       "no study.fingerprint beside it"},
      {"a changed value", [](const fs::path& d) { replace_in(d / "study.csv", ",2476.0000000000005,", ",2476,"); },
       {}, 8, "row 1: not the row its fingerprint records"},
      {"a table of another study", [](const fs::path& d) { replace_in(d / "study.csv", ",0.1,", ",0.2,"); },
       {}, 8, "not the row of point 0"},
      {"another writer", nothing, {}, 8, "another study or merge is writing", "study.lock"},
      {"a table that is a link",
       [](const fs::path& d) {
         fs::rename(d / "study.csv", d / "target.csv");
         fs::create_symlink("target.csv", d / "study.csv");
       },
       {}, 4, "is not a regular file"},
      {"a fingerprint that is a FIFO",
       [](const fs::path& d) {
         fs::remove(d / "study.fingerprint");
         mkfifo((d / "study.fingerprint").c_str(), 0600);
       },
       {}, 4, "is not a regular file"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const fs::path dir = copy_of_reference("resume_refused");
    c.spoil(dir / "out");
    const std::string table = file_bytes(dir / "out" / "study.csv");
    std::optional<held_lock> lock;
    if (c.lock) lock.emplace(dir / "out" / c.lock);
    const cli_run r = run_cli_program(c.study.args("out", {"--resume"}), dir);
    EXPECT_EQ(r.status, c.status);
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("out"), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_EQ(file_bytes(dir / "out" / "study.csv"), table) << "a refused table is left as it was";
  }
}

TEST(Shards, MergeRefusesShardsThatDoNotAddUp) {
  const fs::path base = fresh_dir("shards_bad");
  const auto shard = [](const fs::path& dir, const std::string& part, study_of s = {}) {
    ASSERT_EQ(run_cli_program(s.args("out", {"--shard", part}), dir).status, 0);
  };
  const auto file = [](const fs::path& d, int i, const char* ext) {
    return d / "out" / ("study.shard-" + std::to_string(i) + "-of-3" + ext);
  };
  const struct {
    const char* name;
    spoiler spoil;
    const char* message;
    const char* lock = nullptr;  // a lock file held meanwhile
  } cases[] = {
      {"missing", [&](const fs::path& d) { fs::remove(file(d, 1, ".csv")); },
       "missing shard table study.shard-1-of-3.csv"},
      {"partial", [&](const fs::path& d) { fs::resize_file(file(d, 2, ".csv"), fs::file_size(file(d, 2, ".csv")) - 3); },
       "partial"},
      {"other points", [&](const fs::path& d) { shard(d, "1/3", {.water = "0.1,0.3"}); }, "another point list"},
      {"other test", [&](const fs::path& d) { replace_in(file(d, 1, ".fingerprint"), "per-solid", "platen"); },
       "another test"},
      {"other deck", [&](const fs::path& d) { shard(d, "2/3", {.deck = other_deck(d)}); }, "another deck"},
      {"other split", [&](const fs::path& d) { shard(d, "0/2"); }, "different splits"},
      {"beyond the split", [](const fs::path& d) { write_file(d / "out" / "study.shard-3-of-3.csv", ""); },
       "numbered beyond its split"},
      {"fingerprint of another shard",
       [&](const fs::path& d) {
         fs::copy_file(file(d, 0, ".fingerprint"), file(d, 1, ".fingerprint"), fs::copy_options::overwrite_existing);
       },
       "records another shard"},
      {"no provenance", [&](const fs::path& d) { fs::remove(file(d, 1, ".json")); },
       "study.shard-1-of-3.json: missing"},
      {"duplicated row",
       [&](const fs::path& d) {
         const std::string text = file_bytes(file(d, 0, ".csv"));
         const std::size_t row = text.find('\n') + 1;
         write_file(file(d, 0, ".csv"), text + text.substr(row, text.find('\n', row) + 1 - row));
       },
       "holds more than the rows of its shard"},
      {"changed row", [&](const fs::path& d) { replace_in(file(d, 2, ".csv"), ",per-solid,3", ",per-solid,4"); },
       "row 1: not the row of point 2 its fingerprint records"},
      {"no fingerprint", [&](const fs::path& d) { fs::remove(file(d, 2, ".fingerprint")); },
       "no fingerprint beside it"},
      {"alias", [&](const fs::path& d) { fs::copy(file(d, 1, ".csv"), d / "out" / "study.shard-01-of-3.csv"); },
       "under another name than study.shard-1-of-3.csv"},
      {"huge count",
       [](const fs::path& d) { write_file(d / "out" / "study.shard-0-of-99999999999999999999.csv", ""); },
       "shard number 99999999999999999999 out of range"},
      {"provenance of another deck", [&](const fs::path& d) { replace_in(file(d, 1, ".json"), "\"deck\": \"", "\"deck\": \"x"); },
       "its provenance differs from the first shard's"},
      {"another writer", [](const fs::path&) {}, "another study or merge is writing",
       "out/study.shard-2-of-3.lock"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path dir = base / c.name;
    for (int i = 0; i < 3; ++i) shard(dir, std::to_string(i) + "/3");
    c.spoil(dir);
    std::optional<held_lock> lock;
    if (c.lock) lock.emplace(dir / c.lock);
    const cli_run r = run_cli_program({"merge", "out"}, dir);
    EXPECT_EQ(r.status, 8);
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(dir / "out" / "study.csv"));
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
