// The study table and its fingerprint written and read back, the shards of
// a point list, the logarithmic frequency rule, the provenance file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "cli/cli_run.h"
#include "common/report.h"
#include "driver/run_dir.h"
#include "study/provenance.h"
#include "study/table.h"

namespace fs = std::filesystem;

namespace {

std::vector<study::table_row> rows_of(const fs::path& file, std::size_t max_rows = 100) {
  std::vector<study::table_row> rows;
  study::scan_table(file, max_rows, [&](const study::table_row& r) { rows.push_back(r); });
  return rows;
}

study::row completed(std::initializer_list<double> v) {
  study::row r;
  std::size_t c = 0;
  for (double x : v) r.values[c++] = x;
  return r;
}

}  // namespace

TEST(Table, RowsReadBackAndACutLastRowIsLeftOut) {
  const fs::path file = fresh_dir("table") / "study.csv";
  const study::point p{123.5, {"odd, \"name\"\nwith a line end.dat", nullptr}};
  study::row stopped = completed({3000.25, 1.5e-9});  // values of a stopped point are left out
  stopped.stop = 45678;
  const std::string rows[] = {
      study::table_line(7, p, core::fe_test::per_solid,
                        completed({3000.25, 1.5e-9, 2e10, 30, 2312, 4000, 2.0 / 3.0, 2900, -0.5})),
      study::table_line(8, p, core::fe_test::platen,
                        completed({3000.25, 1.5e-9, 2e10, 30, 2312, 4000, 0.5})),
      study::table_line(9, p, core::fe_test::platen, stopped)};
  EXPECT_TRUE(rows[2].ends_with(",platen,,,,,,,,,,45678\n")) << rows[2];
  const std::string lines = rows[0] + rows[1] + rows[2];
  for (std::size_t cut : {std::size_t{0}, rows[0].size() + 5, lines.size() - 1, lines.size()}) {
    write_file(file, study::table_header() + '\n' + lines.substr(0, cut));
    const std::vector<study::table_row> read = rows_of(file);
    std::size_t complete = 0;
    for (std::size_t end = 0; complete < 3 && (end += rows[complete].size()) <= cut;) ++complete;
    ASSERT_EQ(read.size(), complete) << cut;
    for (std::size_t r = 0; r < read.size(); ++r) {
      EXPECT_EQ(read[r].point, 7 + r);
      EXPECT_EQ(read[r].field, p.field.name);
      EXPECT_EQ(read[r].stop, r == 2 ? 45678 : 40);
      EXPECT_EQ(read[r].line, rows[r]);
    }
  }
  // A header cut short is a table being created: no rows.
  write_file(file, study::table_header().substr(0, 30));
  EXPECT_FALSE(study::scan_table(file, 10, [](const auto&) {}).header);
}

TEST(Table, MalformedTablesRefusedNamingTheLine) {
  const fs::path file = fresh_dir("bad_table") / "study.csv";
  const std::string head = study::table_header() + '\n';
  const std::string ok = "0,10,0.2,per-solid,1,2,3,4,5,6,7,8,9,40\n";
  std::string many = head;
  for (int i = 0; i < 2000; ++i) many += ok;
  const struct {
    std::string text;
    const char* message;
    std::size_t max_rows = 100;
  } cases[] = {
      {"point,freq\n", "wrong header"},
      {head + ok + "1,10,0.2,per-solid,1,2,3\n", "line 3: not a row"},
      {head + "0,10,0.2,per-solid,1,2,3,4,5,6,7,8,9,45678\n", "holds a value where the row has none"},
      {head + "0,10,0.2,per-solid,1.50,2,3,4,5,6,7,8,9,40\n", "vp_m_s is not a number"},
      {head + "0,10,0.2,platen,,,,,,,,,,0\n", "not a row"},
      {head + "0,10,\"" + std::string(70000, 'x') + "\",platen,,,,,,,,,,3\n",
       "line 2: a line over 65536 bytes"},
      {many, "larger than 0 rows can be", 0},
  };
  for (const auto& c : cases) {
    write_file(file, c.text);
    try {
      rows_of(file, c.max_rows);
      ADD_FAILURE() << "accepted: " << c.text.substr(0, 200);
    } catch (const study::table_mismatch& e) {
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
    }
  }
}

TEST(Table, ShardsPartitionThePoints) {
  for (std::size_t n : {0u, 1u, 7u, 12u})
    for (int count : {1, 2, 3, 5, 13}) {
      std::vector<int> seen(n, 0);
      for (int i = 0; i < count; ++i) {
        const std::vector<std::size_t> part = study::shard_points(n, {i, count});
        EXPECT_EQ(study::shard_size(n, {i, count}), part.size());
        for (std::size_t p : part) {
          ++seen.at(p);
          EXPECT_EQ(static_cast<int>(p % count), i);
        }
      }
      EXPECT_EQ(std::count(seen.begin(), seen.end(), 1), static_cast<long>(n));
    }
  EXPECT_EQ(study::table_name({2, 3}), "study.shard-2-of-3.csv");
}

TEST(Table, FingerprintRecordsEveryRowAndRefusesAnythingElse) {
  const fs::path table = fresh_dir("pair") / "study.csv";
  const study::table_identity id{0xfedcba9876543210ULL, 42, 17, {3, 4}, core::fe_test::per_solid};
  study::write_pair(table, id);
  study::table_writer(table, id, 0, study::table_header().size() + 1).append("row one\n");
  const std::optional<study::fingerprint> fp = study::read_fingerprint(table);
  ASSERT_TRUE(fp);
  EXPECT_EQ(fp->id, id);
  EXPECT_EQ(fp->rows, std::vector<std::uint64_t>{study::row_digest(id, "row one\n")});
  study::table_identity other = id;
  other.test = core::fe_test::platen;
  EXPECT_NE(study::row_digest(other, "row one\n"), fp->rows[0]) << "a digest is keyed by its study";
  const fs::path fp_file = study::fingerprint_path(table);
  const std::string head = study::fingerprint_head(id);
  const auto edited = [&](const std::string& from, const std::string& to) {
    return std::string(head).replace(head.find(from), from.size(), to);
  };
  for (const std::string& text :
       {head.substr(0, head.size() - 1), edited("shard 3/4", "shard 4/4"),
        head + "not a digest 123\n"}) {
    write_file(fp_file, text);
    EXPECT_THROW(study::read_fingerprint(table), study::table_mismatch) << text;
  }
}

TEST(FrequencyRule, EndsExactAndLogarithmicallySpaced) {
  for (auto [f1, f2, n] : {std::tuple{1.0, 1e5, 6}, {37.5, 1000.0, 10}, {3e3, 7.0, 4}}) {
    const std::vector<double> f = study::log_sweep(f1, f2, n);
    ASSERT_EQ(f.size(), static_cast<std::size_t>(n));
    EXPECT_EQ(f.front(), f1);
    EXPECT_EQ(f.back(), f2);
    const double step = std::log10(f2 / f1) / (n - 1);
    for (int i = 1; i < n; ++i) EXPECT_NEAR(std::log10(f[i] / f[i - 1]), step, 1e-12);
  }
  EXPECT_THROW(study::log_sweep(0, 10, 3), std::invalid_argument);
  EXPECT_EQ(study::deck_frequencies({.freq1 = 37.5, .freq2 = 1000, .nfreq = 1}),
            std::vector<double>{37.5});
}

// The README's tables of the columns and of the exit statuses are the program's.
TEST(Table, ReadmeListsTheColumnsAndStatusesOfTheProgram) {
  const std::string readme = file_bytes(fs::path(V2PFL_EXAMPLES).parent_path() / "README.md");
  for (const study::column& c : study::table_columns) {
    const std::string row = "| `" + std::string(c.name) + "` | " + std::string(c.unit) + " | " +
                            std::string(c.meaning) + " |\n";
    EXPECT_NE(readme.find(row), std::string::npos) << row;
  }
  for (const study::exit_status& s : study::exit_statuses) {
    const std::string row = "| " + std::to_string(s.code) + " | " + std::string(s.meaning) + " |\n";
    EXPECT_NE(readme.find(row), std::string::npos) << row;
  }
}

TEST(Table, ProvenanceIsJsonOfTheDeckBytes) {
  const auto field = std::make_shared<core::water_field>();
  study::provenance p{"v2_patchy_freq_loop 9", "a\"b\\\n\t\x01 é \xff\xc3(", core::fe_test::per_solid,
                      {1, 3}, 2, std::nullopt};
  const std::string json = study::provenance_json(p, {{1e5, {"0.2", field}}, {0.5, {"w\".dat", field}}});
  // Field names and deck bytes escaped: quotes, controls, bytes that are not UTF-8.
  for (const char* line : {"\n  \"points\": [[1e+05, \"0.2\"], [0.5, \"w\\\".dat\"]],\n",
                           "\n  \"deck\": \"a\\\"b\\\\\\n\\u0009\\u0001 é \\u00ff\\u00c3(\"\n}\n"})
    EXPECT_NE(json.find(line), std::string::npos) << line << "\nin\n" << json;
}
