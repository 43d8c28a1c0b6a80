// A study or merge stopped between any two of its write steps (the process
// ends there, as a kill would end it) leaves a directory that --resume
// completes to the bytes of an uninterrupted study, and never keeps a row of
// another study: the fingerprint records only rows of the table beside it.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <sstream>

#include "study/table_run.h"
#include "support/deck_values.h"
#include "support/example_system.h"

namespace fs = std::filesystem;

namespace {

// The step at which the child writer ends, and how many of them it passes first.
std::string stop_step;
int stop_after = 0;

}  // namespace

// The hook of the writers (study/files.h): ends the process at the chosen step.
extern "C" void v2pfl_write_step(const char* step) {
  if (stop_step == step && stop_after-- == 0) _exit(0);
}

namespace {

std::string bytes_of(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

fs::path scratch(const std::string& name) {
  const fs::path dir = fs::temp_directory_path() / ("v2pfl_stopped_" + std::to_string(getpid())) / name;
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir;
}

// A small study of deck `n` (uniform fields of the given water values).
struct small_study {
  std::string text;
  deck_values deck;
  std::vector<study::point> points;
  explicit small_study(int n, std::vector<double> waters = {0.1, 0.3})
      : text(deck_text(n)), deck(deck_values_of(text)) {
    std::vector<study::named_field> fields;
    for (double w : waters)
      fields.push_back({std::to_string(w), std::make_shared<core::water_field>(
                                               core::uniform_field(deck.nx, deck.ny, w))});
    points = study::cross(study::log_sweep(1, 1e4, 3), fields);
  }
  study::table_outcome run(const fs::path& dir, bool resume, study::shard part = {}) const {
    const study::table_job job{dir, part, resume, false, 1, core::fe_test::per_solid, text, "test"};
    return study::run_table(deck, points, job, nullptr, false);
  }
};

// Runs `writer` in a child process that ends at `step` after passing it
// `after` times; true when it ended there (false: it finished first).
template <class F>
bool stopped_at(const std::string& step, int after, F writer) {
  std::fflush(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    stop_step = step;
    stop_after = after;
    try {
      writer();
    } catch (...) {
      _exit(2);
    }
    _exit(1);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) != 2) << step;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

// After a stop: the pair of `other` as it was, or one that resumes as `s`
// to the bytes of `ref`.
void expect_pair_as_before_or_resumed(const fs::path& dir, const fs::path& before_dir, const fs::path& ref,
                                const small_study& s) {
  if (bytes_of(dir / "study.fingerprint") == bytes_of(before_dir / "study.fingerprint")) {
    EXPECT_EQ(bytes_of(dir / "study.csv"), bytes_of(before_dir / "study.csv"));
    return;
  }
  s.run(dir, true);
  EXPECT_EQ(bytes_of(dir / "study.csv"), bytes_of(ref / "study.csv"));
  EXPECT_EQ(bytes_of(dir / "study.fingerprint"), bytes_of(ref / "study.fingerprint"));
}

TEST(StoppedWriter, StudyStoppedAnywhereResumesToTheSameBytes) {
  const small_study s(3), other(3, {0.2, 0.25});
  const fs::path ref = scratch("ref"), before = scratch("before");
  s.run(ref, false);
  other.run(before, false);
  const std::pair<const char*, int> stops[] = {
      {"pair: written aside", 0}, {"pair: fingerprint head in place", 0},
      {"pair: table in place", 0}, {"row: record written", 0}, {"row: record written", 3}};
  for (const auto& [step, after] : stops)
    for (bool over_other : {false, true}) {
      SCOPED_TRACE(std::string(step) + " after " + std::to_string(after) +
                   (over_other ? " over another study" : ""));
      const fs::path dir = scratch("study");
      if (over_other) fs::copy(before, dir, fs::copy_options::overwrite_existing);
      ASSERT_TRUE(stopped_at(step, after, [&] { s.run(dir, false); }));
      expect_pair_as_before_or_resumed(dir, over_other ? before : ref, ref, s);
    }
}

TEST(StoppedWriter, MergeStoppedAnywhereLeavesAPairThatResumesOrMergesAgain) {
  const small_study s(3), other(3, {0.2, 0.25});
  const fs::path ref = scratch("merge_ref"), before = scratch("merge_before");
  s.run(ref, false);
  other.run(before, false);
  for (const char* step : {"pair: written aside", "pair: fingerprint head in place",
                           "pair: table in place", "pair: rows recorded"}) {
    SCOPED_TRACE(step);
    // The shards of this study beside the complete table of another.
    const fs::path dir = scratch("merge");
    fs::copy(before, dir, fs::copy_options::overwrite_existing);
    for (int i = 0; i < 2; ++i) s.run(dir, false, {i, 2});
    ASSERT_TRUE(stopped_at(step, 0, [&] { study::merge_shards(dir); }));
    expect_pair_as_before_or_resumed(dir, before, ref, s);
    study::merge_shards(dir);
    EXPECT_EQ(bytes_of(dir / "study.csv"), bytes_of(ref / "study.csv"));
    EXPECT_EQ(bytes_of(dir / "study.fingerprint"), bytes_of(ref / "study.fingerprint"));
  }
}

TEST(StoppedWriter, MergeOnAFullDiskLeavesThePairAsItWas) {
  const small_study s(3), other(3, {0.2, 0.25});
  const fs::path dir = scratch("full");
  other.run(dir, false);
  for (int i = 0; i < 2; ++i) s.run(dir, false, {i, 2});
  const std::string table = bytes_of(dir / "study.csv"), fp = bytes_of(dir / "study.fingerprint");
  std::fflush(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    // A disk that takes no file over 600 bytes: the merged table is larger.
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{600, 600};
    setrlimit(RLIMIT_FSIZE, &limit);
    try {
      study::merge_shards(dir);
    } catch (const run_stop& stop) {
      _exit(stop.code);
    }
    _exit(0);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == stop_write_failed);
  EXPECT_EQ(bytes_of(dir / "study.csv"), table);
  EXPECT_EQ(bytes_of(dir / "study.fingerprint"), fp);
  for (const auto& entry : fs::directory_iterator(dir))
    EXPECT_FALSE(entry.path().string().ends_with(".part")) << entry.path();
}
