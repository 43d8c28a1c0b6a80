// A study written into a directory: its table (or a shard's) with the
// fingerprint, optionally the maps of every point, and the progress; and
// the merge of the shard tables of a directory into one table.
#pragma once

#include <cstdint>
#include <filesystem>
#include <ostream>

#include "study/study.h"
#include "study/table.h"

namespace study {

struct table_job {
  std::filesystem::path dir;  // created when missing
  shard part;                 // {0, 1}: the whole study, into study.csv
  bool resume = false;        // keep the rows of an existing table of the same study
  bool maps = false;          // each point's maps in dir/point_NNNN/
  int threads = 0;            // 0: one per core
  std::uint64_t deck_hash = 0;  // hash_text of the deck
};

// Rows in the table at the end, and how many of them record a stop.
struct table_outcome {
  std::size_t rows = 0, stopped = 0;
};

// Computes the points of job.part not yet in its table and appends their
// rows in point order, each flushed as soon as it and every row before it
// are done (maps first, then the row). Progress goes to `progress_os` when
// given. Throws table_mismatch when a table to resume belongs to another
// study, run_stop on a failed write (stop_write_failed) or grid plan (the
// plan is built before anything is written).
table_outcome run_table(const deck_values& deck, const std::vector<point>& points,
                        const table_job& job, std::ostream* progress_os, bool terminal);

// Merges the shard tables study.shard-I-of-N.csv of `dir` into dir/study.csv
// (written whole, then renamed into place), in point order. Throws
// table_mismatch when they are not the N complete parts of one study.
table_outcome merge_shards(const std::filesystem::path& dir);

}  // namespace study
