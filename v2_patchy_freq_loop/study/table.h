// The study table: a header line, then one CSV record per point in point
// order, beside a fingerprint file that ties it to its study: what the
// table was computed from (the deck, the whole point list, the shard, the
// test) and a digest of every row written, keyed by that study. A resumed
// or merged table keeps only rows its fingerprint records.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "study/columns.h"
#include "study/files.h"
#include "study/study.h"

namespace study {

// A table or fingerprint that cannot be resumed or merged, or a directory
// another writer holds (exit status status_refused); what() names the
// file and why.
struct table_mismatch : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// The longest table record (line) read back, in bytes.
inline constexpr std::size_t max_record_bytes = 65536;
// The most points a table or fingerprint may record.
inline constexpr std::size_t max_table_points = 100'000'000;

// The table record of the row of point `index` (with its line end): reals
// in the shortest text that reads back as the same double; a stopped point
// has its values empty.
std::string table_line(std::size_t index, const point& p, core::fe_test test, const row& r);

// Part I of N of a study: the points whose index is I modulo N.
struct shard {
  int index = 0, count = 1;
  bool operator==(const shard&) const = default;
};

// The indices of the points of `part` among n points, and their number.
std::vector<std::size_t> shard_points(std::size_t n, shard part);
std::size_t shard_size(std::size_t n, shard part);

// "study.csv" for the whole study, "study.shard-I-of-N.csv" for a shard;
// its fingerprint, lock and provenance files are the same name ending in
// ".fingerprint", ".lock" and ".json".
std::string table_name(shard part);
std::filesystem::path fingerprint_path(const std::filesystem::path& table);
std::filesystem::path lock_path(const std::filesystem::path& table);
std::filesystem::path provenance_path(const std::filesystem::path& table);

// What a table was computed from.
struct table_identity {
  std::uint64_t deck = 0;    // hash of the deck text
  std::uint64_t points = 0;  // hash of the whole point list (frequencies and fields)
  std::size_t count = 0;     // points of the whole study
  shard part;
  core::fe_test test = core::fe_test::platen;
  bool operator==(const table_identity&) const = default;
};
std::uint64_t hash_text(std::string_view text);
std::uint64_t hash_points(const std::vector<point>& points);

// The digest of a table record written for the study `id`: another
// study's record of the same bytes has another digest.
std::uint64_t row_digest(const table_identity& id, std::string_view record);

// A fingerprint file: the identity lines, then one line per row written
// (its digest in 16 hex digits).
struct fingerprint {
  table_identity id;
  std::vector<std::uint64_t> rows;
  std::uintmax_t head_bytes = 0;  // bytes before the first row line
};
inline constexpr std::uintmax_t digest_line_bytes = 17;
std::string fingerprint_head(const table_identity& id);
std::string digest_line(std::uint64_t digest);

// The fingerprint of `table`; nothing when the file does not exist. A row
// line cut short (a writer killed) is left out; a malformed head or line,
// more rows than points, or a file larger than its points allow throws
// table_mismatch; a link or other non-regular file throws
// run_stop{stop_write_failed}.
std::optional<fingerprint> read_fingerprint(const std::filesystem::path& table);

// A record of a table read back, checked to be a well-formed row: a
// completed point (stop 40) has every value column of its test, a stopped
// one none.
struct table_row {
  std::size_t point = 0;
  std::string freq, field, test;  // as written
  int stop = 0;
  std::string line;               // the whole record with its line end
};

// What a read of a table found: `header` false when the file holds only a
// beginning of the header line (a table cut while being created; no rows);
// `bytes` the length up to the end of the last row read.
struct table_scan {
  bool header = false;
  std::size_t rows = 0;
  std::uintmax_t bytes = 0;
};

// Reads at most `max_rows` complete rows of `table` in order, each handed to
// `on_row`; a last record without its line end (a writer killed) is left
// out. A wrong header line, a malformed complete record, a record over
// max_record_bytes or a file larger than max_rows records allow throws
// table_mismatch naming the file and line; a missing table, a link or
// other non-regular file throws run_stop{stop_write_failed}.
table_scan scan_table(const std::filesystem::path& table, std::size_t max_rows,
                      const std::function<void(const table_row&)>& on_row);

// Checks that `row`, the r-th row of a table of the study `id`, is the row of
// point indices[r] of `points` (its index, frequency, field and test) and
// the one the fingerprint records; throws table_mismatch naming `table`.
void check_row(const std::filesystem::path& table, const table_row& row, std::size_t r,
               const fingerprint& fp, const std::vector<std::size_t>& indices,
               const std::vector<point>& points);

// Writes a new table pair: the fingerprint of `id` with the digests of
// `records`, and the table of the header and `records`, ordered so that a
// writer stopped at any instant leaves a pair whose fingerprint records
// only rows of its table.
void write_pair(const std::filesystem::path& table, const table_identity& id,
                const std::vector<std::string>& records = {});

// Appends rows to a table pair: each record, then its digest in the
// fingerprint, both on disk before the next. A failed write throws
// run_stop{stop_write_failed} naming the file.
class table_writer {
 public:
  // The table and fingerprint of the study `id`, cut to their first
  // `rows` rows (`table_bytes` bytes of the table).
  table_writer(const std::filesystem::path& table, const table_identity& id, std::size_t rows,
               std::uintmax_t table_bytes);

  void append(std::string_view record);

 private:
  std::filesystem::path table_, fingerprint_;
  table_identity id_;
  file table_file_, fingerprint_file_;
};

// A CSV field: quoted (with inner quotes doubled) when it holds a comma,
// a quote or a line end.
std::string csv_field(std::string_view text);
// The fields of one CSV record (without its line end).
std::vector<std::string> csv_split(std::string_view record);

}  // namespace study
