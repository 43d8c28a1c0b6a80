// The provenance of a study table: study.json beside study.csv (or the
// shard's .json beside its table), what a reader needs to know where the
// numbers come from.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "study/table.h"

namespace study {

// What a study table was computed from and how.
struct provenance {
  std::string program;     // the program and its version, as --version prints them
  std::string deck_text;   // the deck, byte for byte
  core::fe_test test = core::fe_test::platen;
  shard part;
  int threads = 1;
  std::optional<double> wall_s;  // the wall time of the run, once it is over
};

// The provenance file as JSON, one key per line: program, date (UTC, now),
// table, shard (shards only), test, threads, wall_time_s (null while the
// study runs), columns (name, unit, meaning), points ([freq_hz, field]
// in point order) and deck.
std::string provenance_json(const provenance& p, const std::vector<point>& points);

// Writes provenance_path(table) whole, aside then renamed into place.
void write_provenance(const std::filesystem::path& table, const provenance& p,
                      const std::vector<point>& points);

// The provenance of the whole study from those of its shards (`shard_tables`
// in shard order): the first shard's, with the table and shard of the whole
// study, the date of now, the most threads and the sum of the wall times.
// Shards whose provenance differs otherwise, or is missing or malformed,
// throw table_mismatch.
std::string merged_provenance(const std::vector<std::filesystem::path>& shard_tables);

}  // namespace study
