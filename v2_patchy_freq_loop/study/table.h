// The study table: a header line, then one CSV line per point in point
// order, beside a fingerprint file recording what the table was computed
// from (the deck, the whole point list and the shard), so that a resumed or
// merged table can be checked against it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "study/study.h"

namespace study {

// Exit status of a table that does not belong to the study at hand, or of
// shard tables that do not add up to one study.
inline constexpr int stop_table_mismatch = 8;

// A table that cannot be resumed or merged; what() names the file and why.
struct table_mismatch : std::runtime_error {
  using std::runtime_error::runtime_error;
};

inline constexpr std::string_view table_header =
    "point,freq_hz,field,vp_avg,inv_q_avg,vp_top,inv_q_top,vp1_plane,inv_q_plane,rob_med,stop";

// The table line of the row of point `index` (with its line end): reals in
// the shortest text that reads back as the same double; a stopped point has
// its values empty.
std::string table_line(std::size_t index, const point& p, const row& r);

// Part I of N of a study: the points whose index is I modulo N.
struct shard {
  int index = 0, count = 1;
  bool operator==(const shard&) const = default;
};

// The indices of the points of `part` among n points, and their number.
std::vector<std::size_t> shard_points(std::size_t n, shard part);
std::size_t shard_size(std::size_t n, shard part);

// "study.csv" for the whole study, "study.shard-I-of-N.csv" for a shard;
// the fingerprint file is the same name ending in ".fingerprint".
std::string table_name(shard part);
std::filesystem::path fingerprint_path(const std::filesystem::path& table);

// What a table was computed from.
struct table_identity {
  std::uint64_t deck = 0;    // hash of the deck text
  std::uint64_t points = 0;  // hash of the whole point list (frequencies and fields)
  std::size_t count = 0;     // points of the whole study
  shard part;
  bool operator==(const table_identity&) const = default;
};
std::uint64_t hash_text(std::string_view text);
std::uint64_t hash_points(const std::vector<point>& points);

// Writes / reads the fingerprint file of a table; a missing, unreadable or
// malformed one (a count that is not digits, a shard without 0 <= I < N,
// anything after the shard) reads as nothing.
void write_identity(const std::filesystem::path& table, const table_identity& id);
std::optional<table_identity> read_identity(const std::filesystem::path& table);

// A line of a table read back.
struct table_row {
  std::size_t point = 0;
  std::string freq, field;  // as written
  int stop = 0;
  std::string line;         // the whole line with its line end
};

// The rows of a table file and the length of the file up to its last
// complete line: a last line without line end (a study killed while
// writing it) is left out. A wrong header or a malformed complete line
// throws table_mismatch.
struct table_contents {
  std::vector<table_row> rows;
  std::uintmax_t complete_bytes = 0;
};
table_contents read_table(const std::filesystem::path& table);

// Checks that `rows` are the first rows of the points `indices` of the
// point list, in order; throws table_mismatch naming `table` otherwise.
void check_rows(const std::filesystem::path& table, const std::vector<table_row>& rows,
                const std::vector<std::size_t>& indices, const std::vector<point>& points);

// Appends lines to a table, each written and flushed at once; a failed
// write throws run_stop{stop_write_failed} naming the file.
class table_writer {
 public:
  // A new table holding only its header, or (resume) the existing one cut
  // after its first `keep_bytes` bytes.
  table_writer(std::filesystem::path table, std::optional<std::uintmax_t> keep_bytes);
  ~table_writer();
  table_writer(const table_writer&) = delete;
  table_writer& operator=(const table_writer&) = delete;

  void append(std::string_view text);

 private:
  std::filesystem::path path_;
  std::FILE* file_ = nullptr;
};

// A CSV field: quoted (with inner quotes doubled) when it holds a comma,
// a quote or a line end.
std::string csv_field(std::string_view text);
// The fields of one CSV line (without its line end).
std::vector<std::string> csv_split(std::string_view line);

}  // namespace study
