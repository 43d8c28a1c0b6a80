// A study cut short completes on --resume to the same bytes; a
// table of another study is not resumed; shards run apart merge to the
// bytes of the whole study, and shards that do not add up are refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "cli/cli_run.h"
#include "driver/run_dir.h"

namespace fs = std::filesystem;

namespace {

const std::vector<std::string> study_points = {"--freq", "1:1e5:5", "--water", "0.1,0.25"};

std::vector<std::string> study_args(const std::string& out, std::vector<std::string> extra = {}) {
  std::vector<std::string> a = {"study", (golden_case("grid_3x3") / "deck").string(), "-o", out};
  a.insert(a.end(), study_points.begin(), study_points.end());
  a.insert(a.end(), extra.begin(), extra.end());
  return a;
}

// The whole study, computed once for the tests of this file.
const std::string& reference_table() {
  static const std::string table = [] {
    const fs::path dir = fresh_dir("resume_reference");
    const cli_run r = run_cli_program(study_args("out"), dir);
    EXPECT_EQ(r.status, 0) << r.err;
    return file_bytes(dir / "out" / "study.csv");
  }();
  return table;
}

std::size_t lines_in(const std::string& text) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

}  // namespace

TEST(Resume, CutTableCompletesToSameBytes) {
  const std::string& whole = reference_table();
  ASSERT_EQ(lines_in(whole), 11u);
  const fs::path dir = fresh_dir("resume_cut");
  // Cut after every byte position class: at a line end, inside a row, inside the header.
  for (std::size_t cut : {whole.find('\n') + 1, whole.size() / 2, std::size_t{5}, whole.size()}) {
    SCOPED_TRACE("cut at " + std::to_string(cut));
    ASSERT_EQ(run_cli_program(study_args("out"), dir).status, 0);
    fs::resize_file(dir / "out" / "study.csv", cut);
    const cli_run r = run_cli_program(study_args("out", {"--resume", "-j", "2"}), dir);
    if (cut < whole.find('\n')) {
      EXPECT_EQ(r.status, 8) << "a cut header is not a study table";
      continue;
    }
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(file_bytes(dir / "out" / "study.csv"), whole);
  }
}

TEST(Resume, RefusesTableOfAnotherStudy) {
  const fs::path dir = fresh_dir("resume_other");
  ASSERT_EQ(run_cli_program(study_args("out"), dir).status, 0);
  const std::string table = file_bytes(dir / "out" / "study.csv");
  const fs::path other_deck =
      deck_file(dir, "other", with_line(read_lines(golden_case("grid_3x3") / "deck"), 4, "0.2"));
  const struct {
    const char* what;
    std::vector<std::string> args;
  } cases[] = {
      {"other points", {"study", (golden_case("grid_3x3") / "deck").string(), "-o", "out",
                        "--freq", "1:1e5:6", "--resume"}},
      {"other deck", {"study", other_deck.string(), "-o", "out", "--freq", "1:1e5:5", "--water",
                      "0.1,0.25", "--resume"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const cli_run r = run_cli_program(c.args, dir);
    EXPECT_EQ(r.status, 8);
    EXPECT_NE(r.err.find("study.csv"), std::string::npos) << r.err;
    EXPECT_EQ(lines_in(r.err), 1u) << r.err;
    EXPECT_EQ(file_bytes(dir / "out" / "study.csv"), table) << "a refused table is left as it was";
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
  const struct {
    const char* name;
    std::function<void(const fs::path&)> spoil;
    const char* message;
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
              "1:1e5:5", "--water", "0.1,0.3", "--shard", "1/3"},
             d);
         ASSERT_EQ(r.status, 0);
       },
       "another point list"},
      {"other split", [&](const fs::path& d) { shard(d, "0/2"); }, "different splits"},
      {"duplicated row",
       [](const fs::path& d) {
         const fs::path t = d / "out" / "study.shard-0-of-3.csv";
         const std::string text = file_bytes(t);
         const std::size_t first_row = text.find('\n') + 1;
         write_file(t, text + text.substr(first_row, text.find('\n', first_row) + 1 - first_row));
       },
       "beyond the points"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path dir = three(c.name);
    c.spoil(dir);
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
  // The merged table resumes as the whole study: nothing left to compute.
  const cli_run resumed = run_cli_program(study_args("out", {"--resume"}), dir);
  EXPECT_EQ(resumed.status, 0) << resumed.err;
  EXPECT_NE(resumed.err.find("0 computed"), std::string::npos) << resumed.err;
  EXPECT_EQ(file_bytes(dir / "out" / "study.csv"), reference_table());
}
