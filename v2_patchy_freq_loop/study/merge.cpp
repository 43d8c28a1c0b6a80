// The merge of the shard tables of a directory into the study's table.
#include <charconv>
#include <map>
#include <regex>

#include "common/report.h"
#include "study/provenance.h"
#include "study/table_run.h"

namespace study {

namespace {

// The shard number of a file name, refused (with the name) when it does not fit an int.
int shard_number(const std::string& digits, const std::string& file) {
  int v = 0;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), v);
  if (ec != std::errc() || end != digits.data() + digits.size())
    throw table_mismatch(file + ": shard number " + digits + " out of range");
  return v;
}

// The shard tables of `dir`, by shard, all parts of the same split, each
// under its own name.
std::map<int, std::filesystem::path> shard_tables(const std::filesystem::path& dir, int& count) {
  static const std::regex name(R"(study\.shard-(\d+)-of-(\d+)\.csv)");
  std::map<int, std::filesystem::path> tables;
  count = 0;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(dir, ec)) {
    std::smatch m;
    const std::string file = entry.path().filename().string();
    if (!std::regex_match(file, m, name)) continue;
    const int i = shard_number(m[1], file), n = shard_number(m[2], file);
    if (count != 0 && n != count)
      throw table_mismatch(dir.string() + " holds shard tables of different splits (of " +
                           std::to_string(count) + " and of " + std::to_string(n) + ")");
    count = n;
    if (i >= n)
      throw table_mismatch(dir.string() + " holds a shard table numbered beyond its split: " + file);
    if (file != table_name({i, n}))
      throw table_mismatch(file + " in " + dir.string() + " names shard " + std::to_string(i) +
                           " of " + std::to_string(n) + " under another name than " +
                           table_name({i, n}) + " (a duplicate?)");
    tables[i] = entry.path();
  }
  if (ec) throw table_mismatch("cannot list " + dir.string() + ": " + ec.message());
  if (tables.empty()) throw table_mismatch("no shard tables study.shard-I-of-N.csv in " + dir.string());
  for (int i = 0; i < count; ++i)
    if (!tables.contains(i))
      throw table_mismatch("missing shard table " + table_name({i, count}) + " in " +
                           dir.string());
  return tables;
}

// The row records of shard table `part`, checked to be all its points, once
// each, as its fingerprint records them for the study of `first`.
std::vector<std::string> complete_rows(const std::filesystem::path& dir,
                                       const std::filesystem::path& table, shard part,
                                       const table_identity& first, std::size_t& stopped) {
  const study_lock lock(lock_path(table), dir);
  const std::optional<fingerprint> fp = read_fingerprint(table);
  if (!fp) throw table_mismatch(table.string() + ": no fingerprint beside it");
  const auto refuse = [&](const std::string& why) { throw table_mismatch(table.string() + why); };
  if (fp->id.deck != first.deck) refuse(" was computed from another deck than the other shards");
  if (fp->id.test != first.test) refuse(" was computed with another test than the other shards");
  if (fp->id.points != first.points || fp->id.count != first.count)
    refuse(" was computed for another point list than the other shards");
  if (fp->id.part != part) refuse(" records another shard in its fingerprint");
  // Point r of the shard is I + r N: a fingerprint's count is trusted only
  // as far as the table holds its rows.
  const std::size_t expected = shard_size(fp->id.count, part);
  const auto point_of = [&](std::size_t r) {
    return static_cast<std::size_t>(part.index) + r * static_cast<std::size_t>(part.count);
  };
  std::vector<std::string> rows;
  const table_scan scan = scan_table(table, expected, [&](const table_row& row) {
    const std::size_t r = rows.size();
    if (row.point != point_of(r) || r >= fp->rows.size() ||
        fp->rows[r] != row_digest(fp->id, row.line))
      refuse(" row " + std::to_string(r + 1) + ": not the row of point " +
             std::to_string(point_of(r)) + " its fingerprint records");
    rows.push_back(row.line);
    stopped += row.stop != stop_normal;
  });
  if (rows.size() < expected || fp->rows.size() < expected)
    refuse(" is partial (" + std::to_string(std::min(rows.size(), fp->rows.size())) + " of " +
           std::to_string(expected) + " rows): resume it first");
  const std::optional<file> f = open_regular(table);
  if (!f || file_size(*f, table) != scan.bytes)
    refuse(" holds more than the rows of its shard (a row beyond the points or a cut line)");
  return rows;
}

}  // namespace

table_outcome merge_shards(const std::filesystem::path& dir) {
  int n = 0;
  const std::map<int, std::filesystem::path> tables = shard_tables(dir, n);
  const std::filesystem::path table = dir / table_name({});
  const study_lock lock(lock_path(table), dir);
  const std::optional<fingerprint> first = read_fingerprint(tables.at(0));
  if (!first) throw table_mismatch(tables.at(0).string() + ": no fingerprint beside it");
  std::vector<std::vector<std::string>> rows;
  std::size_t stopped = 0;
  std::vector<std::filesystem::path> paths;
  for (const auto& [i, t] : tables) {
    rows.push_back(complete_rows(dir, t, {i, n}, first->id, stopped));
    paths.push_back(t);
  }
  const std::string json = merged_provenance(paths);

  std::vector<std::string> records;
  records.reserve(first->id.count);
  for (std::size_t p = 0; p < first->id.count; ++p) records.push_back(std::move(rows[p % n][p / n]));
  table_identity whole = first->id;
  whole.part = {};
  write_pair(table, whole, records);
  write_aside(provenance_path(table), json);
  put_in_place(provenance_path(table));
  return {first->id.count, stopped};
}

}  // namespace study
