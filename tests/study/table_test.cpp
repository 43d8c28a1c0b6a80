// The study table written and read back, the shards of a point list, the
// logarithmic frequency rule.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>

#include "common/report.h"
#include "study/table.h"

namespace fs = std::filesystem;

TEST(Table, CsvFieldsRoundTrip) {
  for (const std::string name : {"0.2", "plain.dat", "a,b.dat", "say \"hi\".dat", "\"", ",",
                                 "", "x\ny"}) {
    const std::string line = "1," + study::csv_field(name) + ",3";
    const std::vector<std::string> f = study::csv_split(line);
    ASSERT_EQ(f.size(), 3u) << line;
    EXPECT_EQ(f[1], name) << line;
  }
}

TEST(Table, LinesReadBackAndAPartialLastLineIsLeftOut) {
  const fs::path file = fs::temp_directory_path() / ("v2pfl_table_test_" + std::to_string(getpid()) + ".csv");
  auto field = std::make_shared<core::water_field>();
  const study::point p{123.5, {"odd, name.dat", field}};
  study::row done;
  done.values = {3000.25, 1.5e-9, 2900, -0.5, 4000, 2.0 / 3.0, 2312};
  study::row stopped;
  stopped.stop = 45678;
  const std::string lines =
      study::table_line(7, p, done) + study::table_line(8, p, stopped);
  EXPECT_EQ(study::table_line(8, p, stopped), "8,123.5,\"odd, name.dat\",,,,,,,,45678\n");
  for (std::size_t cut : {std::size_t{0}, lines.size() - 1, lines.size()}) {
    const std::string partial = "garbage that was half writ";
    std::ofstream(file, std::ios::binary)
        << study::table_header << '\n' << lines.substr(0, cut) << (cut ? partial : "");
    const study::table_contents c = study::read_table(file);
    const std::string written = lines.substr(0, cut);
    const std::size_t complete = static_cast<std::size_t>(std::count(written.begin(), written.end(), '\n'));
    ASSERT_EQ(c.rows.size(), complete);
    EXPECT_EQ(c.complete_bytes, study::table_header.size() + 1 + written.rfind('\n') + 1);
    if (complete > 0) {
      EXPECT_EQ(c.rows[0].point, 7u);
      EXPECT_EQ(c.rows[0].field, "odd, name.dat");
      EXPECT_EQ(std::stod(c.rows[0].line.substr(c.rows[0].line.find(".dat\",") + 6)), 3000.25);
      EXPECT_EQ(c.rows[0].stop, 40);
    }
    if (complete == 2) {
      EXPECT_EQ(c.rows[1].stop, 45678);
    }
  }
  std::ofstream(file) << "point,freq\n";
  EXPECT_THROW(study::read_table(file), study::table_mismatch);
  std::ofstream(file) << study::table_header << "\n1,2,3\n";
  EXPECT_THROW(study::read_table(file), study::table_mismatch);
  fs::remove(file);
}

TEST(Table, ShardsPartitionThePoints) {
  for (std::size_t n : {0u, 1u, 7u, 12u})
    for (int count : {1, 2, 3, 5, 13}) {
      std::vector<int> seen(n, 0);
      for (int i = 0; i < count; ++i) {
        for (std::size_t p : study::shard_points(n, {i, count})) {
          ASSERT_LT(p, n);
          EXPECT_EQ(static_cast<int>(p % count), i);
          ++seen[p];
        }
        EXPECT_EQ(study::shard_size(n, {i, count}), study::shard_points(n, {i, count}).size());
      }
      EXPECT_EQ(std::count(seen.begin(), seen.end(), 1), static_cast<long>(n));
    }
  EXPECT_EQ(study::table_name({}), "study.csv");
  EXPECT_EQ(study::table_name({2, 3}), "study.shard-2-of-3.csv");
}

TEST(Table, FingerprintRoundTrip) {
  const fs::path table = fs::temp_directory_path() / ("v2pfl_identity_test_" + std::to_string(getpid()) + ".csv");
  const study::table_identity id{0xfedcba9876543210ULL, 42, 17, {3, 4}};
  study::write_identity(table, id);
  EXPECT_EQ(study::read_identity(table), id);
  // Malformed fingerprints read as nothing: a count "-1" must not wrap to
  // 2^64 - 1 points (merge would list them), a shard must exist.
  for (const char* body : {"something else\n", "count -1\nshard 0/1\n", "count 4\nshard 0/0\n",
                           "count 4\nshard 2/2\n", "count 4\nshard -1/2\n",
                           "count 4\nshard 0/1 more\n"}) {
    std::string text = body;
    if (text.starts_with("count")) text = "v2_patchy_freq_loop study table\ndeck 1\npoints 2\n" + text;
    std::ofstream(study::fingerprint_path(table)) << text;
    EXPECT_FALSE(study::read_identity(table)) << body;
  }
  fs::remove(study::fingerprint_path(table));
}

TEST(Table, LostWriteNamesTheFile) {
  try {
    study::table_writer w("/dev/full", std::nullopt);
    FAIL() << "a write to a full device succeeded";
  } catch (const run_stop& stop) {
    EXPECT_EQ(stop.code, stop_write_failed);
    EXPECT_NE(stop.message.find("\"/dev/full\""), std::string::npos) << stop.message;
  }
}

TEST(FrequencyRule, EndsExactAndLogarithmicallySpaced) {
  for (auto [f1, f2, n] : {std::tuple{1.0, 1e5, 6}, {37.5, 1000.0, 10}, {3e3, 7.0, 4},
                           {0.1, 0.3, 2}, {5.0, 5.0, 3}}) {
    const std::vector<double> f = study::log_sweep(f1, f2, n);
    ASSERT_EQ(f.size(), static_cast<std::size_t>(n));
    EXPECT_EQ(f.front(), f1);
    EXPECT_EQ(f.back(), f2);
    const double step = std::log10(f2 / f1) / (n - 1);
    for (int i = 1; i < n; ++i) EXPECT_NEAR(std::log10(f[i] / f[i - 1]), step, 1e-12);
  }
  EXPECT_EQ(study::log_sweep(50, 1, 1), std::vector<double>{50});
  EXPECT_THROW(study::log_sweep(0, 10, 3), std::invalid_argument);
  EXPECT_THROW(study::log_sweep(1, 10, 0), std::invalid_argument);
  deck_values d;
  d.freq1 = 37.5;
  d.freq2 = 1000;
  d.nfreq = 10;
  EXPECT_EQ(study::deck_frequencies(d), study::log_sweep(37.5, 1000, 10));
  d.nfreq = 1;
  EXPECT_EQ(study::deck_frequencies(d), std::vector<double>{37.5});
}
