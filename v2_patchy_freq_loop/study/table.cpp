// The records of the study table, written and read back.
#include "study/table.h"

#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>

#include "common/report.h"

namespace study {

namespace {

// A whole-field unsigned or signed integer, or nothing.
template <class I>
std::optional<I> whole_number(std::string_view s) {
  I v{};
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || end != s.data() + s.size() || s.empty()) return std::nullopt;
  return v;
}

// A real in the text the table writes it in (the shortest that reads back).
bool is_real_text(std::string_view s) {
  double x = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), x);
  return ec == std::errc() && end == s.data() + s.size() && free_real(x) == s;
}

[[noreturn]] void bad_record(const std::filesystem::path& table, std::size_t line,
                             const std::string& why) {
  throw table_mismatch(table.string() + " line " + std::to_string(line) + ": " + why);
}

// A record checked to be a row: its index, frequency, test and stop code,
// and values present exactly where a completed point of its test has them.
table_row parse_row(const std::filesystem::path& table, std::size_t line_no, std::string record) {
  const std::vector<std::string> f =
      csv_split(std::string_view(record).substr(0, record.size() - 1));
  if (f.size() != table_columns.size()) bad_record(table, line_no, "not a row of a study table");
  const auto point = whole_number<std::size_t>(f[0]);
  const auto stop = whole_number<int>(f.back());
  const auto test = core::test_of_name(f[3]);
  if (!point || !stop || *stop <= 0 || !test || !is_real_text(f[1]))
    bad_record(table, line_no, "not a row of a study table");
  for (std::size_t c = 0; c < value_columns; ++c) {
    const std::string& v = f[first_value_column + c];
    const bool wanted = *stop == stop_normal &&
                        (c < first_top_value || *test == core::fe_test::per_solid);
    if (wanted ? !is_real_text(v) : !v.empty())
      bad_record(table, line_no,
                 std::string(table_columns[first_value_column + c].name) +
                     (wanted ? " is not a number where the point completed"
                             : " holds a value where the row has none (stop " + f.back() +
                                   ", test " + f[3] + ")"));
  }
  return {*point, f[1], f[2], f[3], *stop, std::move(record)};
}

// The records of an open table, read through a fixed buffer: each ends at
// a line end outside quotes.
class record_reader {
 public:
  record_reader(const file& f, const std::filesystem::path& path) : f_(f), path_(path) {}

  // The next record with its line end into `record`; false at the end of
  // the file, `record` then holding what follows the last line end.
  bool next(std::string& record) {
    record.clear();
    bool quoted = false;
    for (;;) {
      if (at_ == end_ && !fill()) return false;
      const char c = buf_[at_++];
      if (record.size() >= max_record_bytes)
        bad_record(path_, line_, "a line over " + std::to_string(max_record_bytes) + " bytes");
      record += c;
      if (c == '"') quoted = !quoted;
      if (c != '\n') continue;
      ++line_;
      if (!quoted) return true;
    }
  }
  std::size_t line() const { return line_; }

 private:
  bool fill() {
    ssize_t n;
    while ((n = ::read(f_.fd(), buf_, sizeof buf_)) < 0 && errno == EINTR) {
    }
    if (n < 0)
      throw run_stop{stop_write_failed,
                     "cannot read \"" + path_.string() + "\": " + std::strerror(errno)};
    at_ = 0;
    end_ = static_cast<std::size_t>(n);
    return n > 0;
  }

  const file& f_;
  const std::filesystem::path& path_;
  char buf_[65536];
  std::size_t at_ = 0, end_ = 0, line_ = 1;
};

}  // namespace

const std::string& table_header() {
  static const std::string header = [] {
    std::string h;
    for (const column& c : table_columns) h.append(h.empty() ? "" : ",").append(c.name);
    return h;
  }();
  return header;
}

std::string table_line(std::size_t index, const point& p, core::fe_test test, const row& r) {
  std::string s = std::to_string(index) + ',' + free_real(p.freq_hz) + ',' +
                  csv_field(p.field.name) + ',' + std::string(core::test_name(test));
  for (const std::optional<double>& x : r.values) {
    s += ',';
    if (r.stop == stop_normal && x) s += free_real(*x);
  }
  return s + ',' + std::to_string(r.stop) + '\n';
}

std::vector<std::size_t> shard_points(std::size_t n, shard part) {
  std::vector<std::size_t> indices;
  indices.reserve(shard_size(n, part));
  for (std::size_t i = static_cast<std::size_t>(part.index); i < n;
       i += static_cast<std::size_t>(part.count))
    indices.push_back(i);
  return indices;
}

std::size_t shard_size(std::size_t n, shard part) {
  const auto first = static_cast<std::size_t>(part.index);
  return n > first ? (n - first - 1) / static_cast<std::size_t>(part.count) + 1 : 0;
}

std::string table_name(shard part) {
  if (part.count == 1) return "study.csv";
  return "study.shard-" + std::to_string(part.index) + "-of-" + std::to_string(part.count) +
         ".csv";
}

namespace {
std::filesystem::path with_extension(std::filesystem::path p, const char* ext) {
  return p.replace_extension(ext);
}
}  // namespace

std::filesystem::path fingerprint_path(const std::filesystem::path& table) {
  return with_extension(table, ".fingerprint");
}
std::filesystem::path lock_path(const std::filesystem::path& table) {
  return with_extension(table, ".lock");
}
std::filesystem::path provenance_path(const std::filesystem::path& table) {
  return with_extension(table, ".json");
}

table_scan scan_table(const std::filesystem::path& table, std::size_t max_rows,
                      const std::function<void(const table_row&)>& on_row) {
  const std::optional<file> f = open_regular(table);
  if (!f) throw run_stop{stop_write_failed, "cannot read \"" + table.string() + "\": no such file"};
  const std::string& header = table_header();
  const std::uintmax_t limit = header.size() + 1 + (max_rows + 1) * max_record_bytes;
  if (file_size(*f, table) > limit)
    throw table_mismatch(table.string() + ": larger than " + std::to_string(max_rows) +
                         " rows can be (" + std::to_string(limit) + " bytes)");
  record_reader in(*f, table);
  std::string record;
  table_scan scan;
  if (!in.next(record)) {
    if (!header.starts_with(record))
      throw table_mismatch(table.string() + ": not a study table (wrong header line)");
    return scan;
  }
  if (record.size() != header.size() + 1 || !record.starts_with(header))
    throw table_mismatch(table.string() + ": not a study table (wrong header line)");
  scan.header = true;
  scan.bytes = record.size();
  while (scan.rows < max_rows) {
    const std::size_t line = in.line();
    if (!in.next(record)) break;
    const std::size_t size = record.size();
    on_row(parse_row(table, line, std::move(record)));
    scan.bytes += size;
    ++scan.rows;
  }
  return scan;
}

void check_row(const std::filesystem::path& table, const table_row& row, std::size_t r,
               const fingerprint& fp, const std::vector<std::size_t>& indices,
               const std::vector<point>& points) {
  const std::string where = table.string() + " row " + std::to_string(r + 1) + ": ";
  if (r >= indices.size()) throw table_mismatch(where + "beyond the points of the study");
  const point& p = points[indices[r]];
  if (row.point != indices[r] || row.freq != free_real(p.freq_hz) || row.field != p.field.name)
    throw table_mismatch(where + "not the row of point " + std::to_string(indices[r]) + " (" +
                         free_real(p.freq_hz) + " Hz, field " + p.field.name + ")");
  if (row.test != core::test_name(fp.id.test))
    throw table_mismatch(where + "a row of the " + row.test + " test in a study of the " +
                         std::string(core::test_name(fp.id.test)) + " test");
  if (r >= fp.rows.size() || fp.rows[r] != row_digest(fp.id, row.line))
    throw table_mismatch(where + "not the row its fingerprint records (changed or copied "
                                 "from another study)");
}

}  // namespace study
