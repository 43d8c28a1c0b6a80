// The lines of the study table, written and read back.
#include "study/table.h"

#include <charconv>
#include <fstream>
#include <sstream>

#include "common/report.h"

namespace study {

namespace {

constexpr std::size_t table_columns = 11;

// A whole-field unsigned or signed integer, or nothing.
template <class I>
std::optional<I> whole_number(std::string_view s) {
  I v{};
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || end != s.data() + s.size() || s.empty()) return std::nullopt;
  return v;
}

table_row parse_row(const std::filesystem::path& table, int line_no, std::string line) {
  const std::vector<std::string> f = csv_split(std::string_view(line).substr(0, line.size() - 1));
  const auto point = whole_number<std::size_t>(f[0]);
  const auto stop = whole_number<int>(f.back());
  if (f.size() != table_columns || !point || !stop)
    throw table_mismatch(table.string() + " line " + std::to_string(line_no) +
                         ": not a row of a study table");
  return {*point, f[1], f[2], *stop, std::move(line)};
}

}  // namespace

std::string table_line(std::size_t index, const point& p, const row& r) {
  std::string s = std::to_string(index) + ',' + free_real(p.freq_hz) + ',' +
                  csv_field(p.field.name);
  const row_values& v = r.values;
  for (double x : {v.vp_avg, v.inv_q_avg, v.vp_top, v.inv_q_top, v.vp1_plane, v.inv_q_plane,
                   v.rob_med}) {
    s += ',';
    if (r.stop == point_completed) s += free_real(x);
  }
  return s + ',' + std::to_string(r.stop) + '\n';
}

std::vector<std::size_t> shard_points(std::size_t n, shard part) {
  std::vector<std::size_t> indices;
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

std::filesystem::path fingerprint_path(const std::filesystem::path& table) {
  std::filesystem::path p = table;
  return p.replace_extension(".fingerprint");
}

table_contents read_table(const std::filesystem::path& table) {
  std::ifstream in(table, std::ios::binary);
  if (!in) throw table_mismatch("cannot read " + table.string());
  std::stringstream text;
  text << in.rdbuf();
  const std::string all = text.str();
  const std::size_t header_end = all.find('\n');
  if (header_end == std::string::npos || all.substr(0, header_end) != table_header)
    throw table_mismatch(table.string() + ": not a study table (wrong header line)");
  table_contents c;
  std::size_t at = header_end + 1;
  int line_no = 2;
  for (std::size_t end; (end = all.find('\n', at)) != std::string::npos; at = end + 1, ++line_no)
    c.rows.push_back(parse_row(table, line_no, all.substr(at, end + 1 - at)));
  c.complete_bytes = at;
  return c;
}

void check_rows(const std::filesystem::path& table, const std::vector<table_row>& rows,
                const std::vector<std::size_t>& indices, const std::vector<point>& points) {
  if (rows.size() > indices.size())
    throw table_mismatch(table.string() + " holds more rows than its points");
  for (std::size_t r = 0; r < rows.size(); ++r) {
    const point& p = points[indices[r]];
    if (rows[r].point != indices[r] || rows[r].freq != free_real(p.freq_hz) ||
        rows[r].field != p.field.name)
      throw table_mismatch(table.string() + " line " + std::to_string(r + 2) +
                           ": not the row of point " + std::to_string(indices[r]) + " (" +
                           free_real(p.freq_hz) + " Hz, field " + p.field.name + ")");
  }
}

}  // namespace study
