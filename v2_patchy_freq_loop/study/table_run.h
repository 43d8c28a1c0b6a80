// A study written into a directory: its table (or a shard's) with the
// fingerprint, optionally the maps of every point, and the progress; and
// the merge of the shard tables of a directory into one table.
#pragma once

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>

#include "study/study.h"
#include "study/table.h"

namespace study {

struct table_job {
  std::filesystem::path dir;  // created when missing
  shard part;                 // {0, 1}: the whole study, into study.csv
  bool resume = false;        // keep the rows of an existing table of the same study
  bool maps = false;          // each point's maps in dir/point_NNNN/
  int threads = 0;            // 0: one per core
  core::fe_test test = core::fe_test::platen;
  std::string deck_text;      // the deck, byte for byte (its hash ties the table to it)
  std::string program;        // the program and its version, for the provenance
};

// Rows in the table at the end, and how many of them record a stop.
struct table_outcome {
  std::size_t rows = 0, stopped = 0;
};

// Computes the points of job.part not yet in its table and appends their
// rows in point order, each on disk as soon as it and every row before it
// are done (maps first, then the row, then its digest in the fingerprint),
// holding the table's lock throughout; the provenance file is written at
// the start and again at the end. Progress goes to `progress_os` when
// given. A resume keeps the rows the fingerprint records for this study and
// computes the rest: a missing or cut table, a cut header or last row
// resume; a fingerprint of another study, a row it does not record, a
// malformed row throw table_mismatch, as does a lock held elsewhere. Throws
// run_stop on a failed write (stop_write_failed) or grid plan (the plan is
// built before anything is written).
table_outcome run_table(const deck_values& deck, const std::vector<point>& points,
                        const table_job& job, std::ostream* progress_os, bool terminal);

// Merges the shard tables study.shard-I-of-N.csv of `dir` into dir/study.csv
// with its fingerprint and provenance, in point order, holding the locks of
// the study and of each shard. Throws table_mismatch when they are not the N
// complete parts of one study. A merge stopped at any instant leaves the
// study's table and fingerprint as they were or a pair a resume accepts.
table_outcome merge_shards(const std::filesystem::path& dir);

}  // namespace study
