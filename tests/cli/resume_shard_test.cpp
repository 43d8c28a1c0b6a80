// A study cut short anywhere completes on --resume to the same bytes; a
// table --resume cannot keep as its own is refused, and left as it was;
// shards run apart merge to the bytes and provenance of the whole study,
// and shards that do not add up are refused.
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

const std::vector<std::string> study_points = {"--freq", "1:1e5:5", "--water", "0.1,0.25",
                                               "--test", "per-solid"};

std::vector<std::string> study_args(const std::string& out, std::vector<std::string> extra = {}) {
  std::vector<std::string> a = {"study", (golden_case("grid_3x3") / "deck").string(), "-o", out};
  a.insert(a.end(), study_points.begin(), study_points.end());
  a.insert(a.end(), extra.begin(), extra.end());
  return a;
}

// The directory of the whole study, computed once for the tests of this file.
const fs::path& reference_dir() {
  static const fs::path dir = [] {
    const fs::path d = fresh_dir("resume_reference");
    const cli_run r = run_cli_program(study_args("out", {"-j", "2"}), d);
    EXPECT_EQ(r.status, 0) << r.err;
    return d / "out";
  }();
  return dir;
}
const std::string& reference_table() {
  static const std::string table = file_bytes(reference_dir() / "study.csv");
  return table;
}

std::size_t lines_in(const std::string& text) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

// A copy of the whole study's directory.
fs::path copy_of_reference(const std::string& name) {
  const fs::path dir = fresh_dir(name);
  fs::copy(reference_dir(), dir / "out");
  return dir;
}

void cut(const fs::path& file, std::size_t bytes) { fs::resize_file(file, bytes); }

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

}  // namespace

TEST(Resume, WhateverAStopLeftCompletesToTheSameBytes) {
  const std::string& whole = reference_table();
  ASSERT_EQ(lines_in(whole), 11u);
  const std::size_t header = whole.find('\n') + 1;
  const std::string fp = file_bytes(reference_dir() / "study.fingerprint");
  const std::size_t fp_head = fp.size() - 10 * 17;
  const struct {
    const char* what;
    std::function<void(const fs::path&)> spoil;
  } cases[] = {
      {"an empty table", [](const fs::path& d) { cut(d / "study.csv", 0); }},
      {"a cut header", [](const fs::path& d) { cut(d / "study.csv", 81); }},
      {"a header alone", [&](const fs::path& d) { cut(d / "study.csv", header); }},
      {"a cut row", [&](const fs::path& d) { cut(d / "study.csv", whole.size() / 2); }},
      {"no table beside the fingerprint", [](const fs::path& d) { fs::remove(d / "study.csv"); }},
      {"a cut digest line", [&](const fs::path& d) { cut(d / "study.fingerprint", fp.size() - 30); }},
      {"rows the fingerprint does not record",
       [&](const fs::path& d) { cut(d / "study.fingerprint", fp_head + 3 * 17); }},
      {"nothing at all", [](const fs::path& d) { fs::remove_all(d); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const fs::path dir = copy_of_reference("resume_cut");
    c.spoil(dir / "out");
    const cli_run r = run_cli_program(study_args("out", {"--resume", "-j", "2"}), dir);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(file_bytes(dir / "out" / "study.csv"), whole);
    EXPECT_EQ(file_bytes(dir / "out" / "study.fingerprint"), fp);
  }
}

TEST(Resume, RefusesWhatItCannotKeepAndLeavesItAsItWas) {
  const fs::path other_deck = deck_file(fresh_dir("resume_other_deck"), "other",
                                        with_line(read_lines(golden_case("grid_3x3") / "deck"), 4, "0.2"));
  const auto edit_row = [](const fs::path& d, const std::string& from, const std::string& to) {
    std::string t = file_bytes(d / "study.csv");
    const std::size_t at = t.find(from, t.find('\n'));
    t.replace(at, from.size(), to);
    write_file(d / "study.csv", t);
  };
  const auto nothing = [](const fs::path&) {};
  const struct {
    const char* what;
    std::function<void(const fs::path&)> spoil;
    std::vector<std::string> args;
    int status;
    const char* message;
    const char* lock = nullptr;  // a lock file held meanwhile
  } cases[] = {
      {"another deck", nothing,
       {"study", other_deck.string(), "-o", "out", "--freq", "1:1e5:5", "--water", "0.1,0.25",
        "--test", "per-solid", "--resume"}, 8, "from another deck"},
      {"another test", nothing,
       {"study", (golden_case("grid_3x3") / "deck").string(), "-o", "out", "--freq", "1:1e5:5",
        "--water", "0.1,0.25", "--test", "platen", "--resume"},
       8, "with the per-solid test, not the platen test"},
      {"another point list", nothing,
       {"study", (golden_case("grid_3x3") / "deck").string(), "-o", "out", "--freq", "1:1e5:6",
        "--water", "0.1,0.25", "--test", "per-solid", "--resume"},
       8, "another point list"},
      {"another shard",
       [](const fs::path& d) {
         ASSERT_EQ(run_cli_program(study_args(".", {"--shard", "1/2"}), d).status, 0);
         fs::rename(d / "study.shard-1-of-2.fingerprint", d / "study.fingerprint");
       },
       {}, 8, "for another shard"},
      {"no fingerprint", [](const fs::path& d) { fs::remove(d / "study.fingerprint"); }, {}, 8,
       "no study.fingerprint beside it"},
      {"a malformed fingerprint",
       [](const fs::path& d) { write_file(d / "study.fingerprint", "v2_patchy_freq_loop study table\n"); },
       {}, 8, "not a study fingerprint"},
      {"a wrong header", [](const fs::path& d) { write_file(d / "study.csv", "point,freq\n"); }, {}, 8,
       "wrong header line"},
      {"a changed value", [&](const fs::path& d) { edit_row(d, ",2476.0000000000005,", ",2476,"); }, {},
       8, "row 1: not the row its fingerprint records"},
      {"a value emptied", [&](const fs::path& d) { edit_row(d, ",per-solid,3965.5435360151423,", ",per-solid,,"); },
       {}, 8, "vp_m_s is not a number where the point completed"},
      {"a stop code with values", [&](const fs::path& d) { edit_row(d, ",40\n", ",45678\n"); }, {},
       8, "holds a value where the row has none"},
      {"a table of another study",
       [](const fs::path& d) {
         std::string t = file_bytes(d / "study.csv");
         write_file(d / "study.csv", t.replace(t.find(",0.1,"), 5, ",0.2,"));
       },
       {}, 8, "not the row of point 0"},
      {"another writer", nothing, {}, 8, "another study or merge is writing", "study.lock"},
      {"a table that is a link",
       [](const fs::path& d) {
         fs::rename(d / "study.csv", d / "target.csv");
         fs::create_symlink("target.csv", d / "study.csv");
       },
       {}, 4, "is not a regular file"},
      {"a table that is a FIFO",
       [](const fs::path& d) {
         fs::remove(d / "study.csv");
         mkfifo((d / "study.csv").c_str(), 0600);
       },
       {}, 4, "is not a regular file"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const fs::path dir = copy_of_reference("resume_refused");
    c.spoil(dir / "out");
    const bool regular = fs::is_regular_file(fs::symlink_status(dir / "out" / "study.csv"));
    const std::string table = regular ? file_bytes(dir / "out" / "study.csv") : "";
    const std::string fp = file_bytes(dir / "out" / "study.fingerprint");
    std::optional<held_lock> lock;
    if (c.lock) lock.emplace(dir / "out" / c.lock);
    const cli_run r = run_cli_program(c.args.empty() ? study_args("out", {"--resume"}) : c.args, dir);
    EXPECT_EQ(r.status, c.status);
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("out"), std::string::npos) << r.err;
    EXPECT_EQ(lines_in(r.err), 1u) << r.err;
    if (regular) {
      EXPECT_EQ(file_bytes(dir / "out" / "study.csv"), table) << "a refused table is left as it was";
    }
    EXPECT_EQ(file_bytes(dir / "out" / "study.fingerprint"), fp);
  }
}

TEST(Shards, MergeRefusesShardsThatDoNotAddUp) {
  const fs::path base = fresh_dir("shards_bad");
  const auto shard = [&](const fs::path& dir, const std::string& part,
                         std::vector<std::string> extra = {}) {
    extra.insert(extra.end(), {"--shard", part});
    ASSERT_EQ(run_cli_program(study_args("out", extra), dir).status, 0);
  };
  const auto three = [&](const std::string& name) {
    const fs::path dir = base / name;
    for (int i = 0; i < 3; ++i) shard(dir, std::to_string(i) + "/3");
    return dir;
  };
  const auto replace_in = [](const fs::path& f, const std::string& from, const std::string& to) {
    std::string t = file_bytes(f);
    write_file(f, t.replace(t.find(from), from.size(), to));
  };
  const struct {
    const char* name;
    std::function<void(const fs::path&)> spoil;
    const char* message;
    const char* lock = nullptr;  // a lock file held meanwhile
  } cases[] = {
      {"missing", [](const fs::path& d) { fs::remove(d / "out" / "study.shard-1-of-3.csv"); },
       "missing shard table study.shard-1-of-3.csv"},
      {"partial",
       [](const fs::path& d) {
         const fs::path t = d / "out" / "study.shard-2-of-3.csv";
         fs::resize_file(t, fs::file_size(t) - 3);
       },
       "partial"},
      {"other points",
       [&](const fs::path& d) {
         const cli_run r = run_cli_program(
             {"study", (golden_case("grid_3x3") / "deck").string(), "-o", "out", "--freq",
              "1:1e5:5", "--water", "0.1,0.3", "--shard", "1/3", "--test", "per-solid"},
             d);
         ASSERT_EQ(r.status, 0);
       },
       "another point list"},
      {"other test",
       [&](const fs::path& d) {
         replace_in(d / "out" / "study.shard-1-of-3.fingerprint", "per-solid", "platen");
       },
       "another test"},
      {"other deck",
       [&](const fs::path& d) {
         const fs::path deck = deck_file(d, "other", with_line(read_lines(golden_case("grid_3x3") / "deck"), 4, "0.2"));
         ASSERT_EQ(run_cli_program({"study", deck.string(), "-o", "out", "--freq", "1:1e5:5", "--water",
                                    "0.1,0.25", "--shard", "2/3", "--test", "per-solid"}, d).status, 0);
       },
       "another deck"},
      {"other split", [&](const fs::path& d) { shard(d, "0/2"); }, "different splits"},
      {"beyond the split", [](const fs::path& d) { write_file(d / "out" / "study.shard-3-of-3.csv", ""); },
       "numbered beyond its split"},
      {"fingerprint of another shard",
       [](const fs::path& d) {
         fs::copy_file(d / "out" / "study.shard-0-of-3.fingerprint", d / "out" / "study.shard-1-of-3.fingerprint",
                       fs::copy_options::overwrite_existing);
       },
       "records another shard"},
      {"no provenance", [](const fs::path& d) { fs::remove(d / "out" / "study.shard-1-of-3.json"); },
       "study.shard-1-of-3.json: missing"},
      {"duplicated row",
       [](const fs::path& d) {
         const fs::path t = d / "out" / "study.shard-0-of-3.csv";
         const std::string text = file_bytes(t);
         const std::size_t first_row = text.find('\n') + 1;
         write_file(t, text + text.substr(first_row, text.find('\n', first_row) + 1 - first_row));
       },
       "holds more than the rows of its shard"},
      {"changed row",
       [&](const fs::path& d) { replace_in(d / "out" / "study.shard-2-of-3.csv", ",per-solid,3", ",per-solid,4"); },
       "row 1: not the row of point 2 its fingerprint records"},
      {"no fingerprint", [](const fs::path& d) { fs::remove(d / "out" / "study.shard-2-of-3.fingerprint"); },
       "no fingerprint beside it"},
      {"alias", [](const fs::path& d) {
         fs::copy(d / "out" / "study.shard-1-of-3.csv", d / "out" / "study.shard-01-of-3.csv"); },
       "under another name than study.shard-1-of-3.csv"},
      {"huge count", [](const fs::path& d) {
         write_file(d / "out" / "study.shard-0-of-99999999999999999999.csv", ""); },
       "shard number 99999999999999999999 out of range"},
      {"provenance of another deck",
       [&](const fs::path& d) { replace_in(d / "out" / "study.shard-1-of-3.json", "\"deck\": \"", "\"deck\": \"x"); },
       "its provenance differs from the first shard's"},
      {"another writer", [](const fs::path&) {}, "another study or merge is writing",
       "out/study.shard-2-of-3.lock"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path dir = three(c.name);
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
  std::string args = " '" + (golden_case("grid_3x3") / "deck").string() + "' out";
  for (const auto& a : study_points) args.append(" ").append(a);
  const std::string env = "cd '" + dir.string() + "' && V2PFL_PROGRAM='" + V2PFL_BINARY + "' ";
  for (int task = 0; task < 4; ++task) {
    const std::string cmd = env + "SLURM_ARRAY_TASK_ID=" + std::to_string(task) +
                            " SLURM_ARRAY_TASK_COUNT=4 SLURM_CPUS_PER_TASK=2 bash '" +
                            script.string() + "'" + args + " 2> /dev/null";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
  }
  const std::string merge = env + "V2PFL_MERGE=1 bash '" + script.string() + "'" + args + " 2> /dev/null";
  ASSERT_EQ(std::system(merge.c_str()), 0);
  EXPECT_EQ(file_bytes(dir / "out" / "study.csv"), reference_table());
  EXPECT_EQ(file_bytes(dir / "out" / "study.fingerprint"),
            file_bytes(reference_dir() / "study.fingerprint"));
  EXPECT_EQ(provenance_but_date_and_time(dir / "out" / "study.json"),
            provenance_but_date_and_time(reference_dir() / "study.json"));
  // The merged table resumes as the whole study: nothing left to compute.
  const cli_run resumed = run_cli_program(study_args("out", {"--resume"}), dir);
  EXPECT_EQ(resumed.status, 0) << resumed.err;
  EXPECT_NE(resumed.err.find("of the per-solid test done (0 computed"), std::string::npos) << resumed.err;
  EXPECT_EQ(file_bytes(dir / "out" / "study.csv"), reference_table());
}
