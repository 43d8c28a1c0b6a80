// A study or merge stopped between any two of its write steps (the process
// ends there, as a kill would end it) leaves a directory that --resume
// completes to the bytes of an uninterrupted study, and never keeps a row of
// another study: the fingerprint records only rows of the table beside it.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include "cli/cli_run.h"
#include "driver/run_dir.h"
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

// The exit status of a child process running `writer`: 0 when it ended at
// `step` after passing it `after` times, 1 when it finished first, the
// code of a run_stop it threw, else 2.
template <class F>
int child_status(F writer, const std::string& step = "", int after = 0) {
  std::fflush(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    stop_step = step;
    stop_after = after;
    try {
      writer();
    } catch (const run_stop& stop) {
      _exit(stop.code);
    } catch (...) {
      _exit(2);
    }
    _exit(1);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The table and fingerprint of `dir` are those of `ref`.
void expect_same_pair(const fs::path& dir, const fs::path& ref) {
  EXPECT_EQ(file_bytes(dir / "study.csv"), file_bytes(ref / "study.csv"));
  EXPECT_EQ(file_bytes(dir / "study.fingerprint"), file_bytes(ref / "study.fingerprint"));
}

}  // namespace

TEST(StoppedWriter, StudyOrMergeStoppedAnywhereResumesToTheSameBytes) {
  const small_study s(3), other(3, {0.2, 0.25});
  const fs::path ref = fresh_dir("stopped_ref"), before = fresh_dir("stopped_before");
  s.run(ref, false);
  other.run(before, false);
  const struct {
    const char* step;
    int after;
    bool merge;  // of this study's shards, beside the complete table of another
  } stops[] = {{"pair: written aside", 0, false},
               {"pair: fingerprint head in place", 0, false},
               {"pair: table in place", 0, false},
               {"row: record written", 3, false},
               {"pair: written aside", 0, true},
               {"pair: fingerprint head in place", 0, true},
               {"pair: table in place", 0, true},
               {"pair: rows recorded", 0, true}};
  for (const auto& [step, after, merge] : stops)
    for (bool over_other : {false, true}) {
      if (merge && !over_other) continue;
      SCOPED_TRACE(std::string(step) + " after " + std::to_string(after) +
                   (merge ? " merging" : "") + (over_other ? " over another study" : ""));
      const fs::path dir = fresh_dir("stopped"), was = over_other ? before : ref;
      if (over_other) fs::copy(before, dir, fs::copy_options::recursive);
      for (int i = 0; merge && i < 2; ++i) s.run(dir, false, {i, 2});
      ASSERT_EQ(
          child_status([&] { merge ? study::merge_shards(dir) : s.run(dir, false); }, step, after),
          0);
      // The pair as it was, or one that resumes to the whole study.
      if (file_bytes(dir / "study.fingerprint") == file_bytes(was / "study.fingerprint")) {
        EXPECT_EQ(file_bytes(dir / "study.csv"), file_bytes(was / "study.csv"));
      } else {
        s.run(dir, true);
        expect_same_pair(dir, ref);
      }
      if (!merge) continue;
      study::merge_shards(dir);  // merged again: the whole study
      expect_same_pair(dir, ref);
    }
}

TEST(StoppedWriter, MergeOnAFullDiskLeavesThePairAsItWas) {
  const small_study s(3), other(3, {0.2, 0.25});
  const fs::path dir = fresh_dir("full"), was = fresh_dir("full_was");
  other.run(dir, false);
  for (int i = 0; i < 2; ++i) s.run(dir, false, {i, 2});
  fs::copy(dir, was, fs::copy_options::recursive);
  const int status = child_status([&] {
    // A disk that takes no file over 600 bytes: the merged table is larger.
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{600, 600};
    setrlimit(RLIMIT_FSIZE, &limit);
    study::merge_shards(dir);
  });
  EXPECT_EQ(status, stop_write_failed);
  expect_same_pair(dir, was);
  for (const auto& entry : fs::directory_iterator(dir))
    EXPECT_FALSE(entry.path().string().ends_with(".part")) << entry.path();
}
