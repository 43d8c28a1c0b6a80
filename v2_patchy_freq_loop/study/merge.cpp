// The merge of the shard tables of a directory into the study's table.
#include <cerrno>
#include <cstring>
#include <fstream>
#include <map>
#include <regex>

#include "common/report.h"
#include "study/table_run.h"

namespace study {

namespace {

// The shard tables of `dir`, by shard, all parts of the same split.
std::map<int, std::filesystem::path> shard_tables(const std::filesystem::path& dir, int& count) {
  static const std::regex name(R"(study\.shard-(\d+)-of-(\d+)\.csv)");
  std::map<int, std::filesystem::path> tables;
  count = 0;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(dir, ec)) {
    std::smatch m;
    const std::string file = entry.path().filename().string();
    if (!std::regex_match(file, m, name)) continue;
    const int n = std::stoi(m[2]);
    if (count != 0 && n != count)
      throw table_mismatch(dir.string() + " holds shard tables of different splits (of " +
                           std::to_string(count) + " and of " + std::to_string(n) + ")");
    count = n;
    tables[std::stoi(m[1])] = entry.path();
  }
  if (ec) throw table_mismatch("cannot list " + dir.string() + ": " + ec.message());
  if (tables.empty()) throw table_mismatch("no shard tables study.shard-I-of-N.csv in " + dir.string());
  for (int i = 0; i < count; ++i)
    if (!tables.contains(i))
      throw table_mismatch("missing shard table " + table_name({i, count}) + " in " +
                           dir.string());
  if (static_cast<int>(tables.size()) != count)
    throw table_mismatch(dir.string() + " holds a shard table numbered beyond its split of " +
                         std::to_string(count));
  return tables;
}

// The rows of shard table `part`, checked to be all its points, once each.
std::vector<table_row> complete_rows(const std::filesystem::path& table, shard part,
                                     const table_identity& first) {
  const std::optional<table_identity> id = read_identity(table);
  if (!id) throw table_mismatch(table.string() + ": no readable fingerprint beside it");
  if (id->deck != first.deck)
    throw table_mismatch(table.string() + " was computed from another deck than the other shards");
  if (id->points != first.points || id->count != first.count)
    throw table_mismatch(table.string() + " was computed for another point list than the other shards");
  if (id->part != part)
    throw table_mismatch(table.string() + " records another shard in its fingerprint");
  const table_contents c = read_table(table);
  // Rows counted before the indices are listed: a fingerprint's count is
  // trusted only as far as the table holds its rows.
  const std::size_t expected = shard_size(id->count, part);
  if (c.complete_bytes != std::filesystem::file_size(table) || c.rows.size() < expected)
    throw table_mismatch(table.string() + " is partial (" + std::to_string(c.rows.size()) +
                         " of " + std::to_string(expected) + " rows): resume it first");
  const std::vector<std::size_t> indices = shard_points(id->count, part);
  for (std::size_t r = 0; r < c.rows.size(); ++r)
    if (r >= indices.size() || c.rows[r].point != indices[r])
      throw table_mismatch(table.string() + " line " + std::to_string(r + 2) +
                           ": point " + std::to_string(c.rows[r].point) +
                           (r < indices.size() ? " where point " + std::to_string(indices[r]) +
                                                     " belongs (missing or duplicated point)"
                                               : " beyond the points of the shard"));
  return c.rows;
}

void write_whole(const std::filesystem::path& file, const std::string& text) {
  const std::filesystem::path part = file.string() + ".part";
  errno = 0;
  {
    std::ofstream out(part, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out)
      throw run_stop{stop_write_failed,
                     "cannot write \"" + part.string() + "\": " + std::strerror(errno)};
  }
  std::error_code ec;
  std::filesystem::rename(part, file, ec);
  if (ec)
    throw run_stop{stop_write_failed,
                   "cannot rename \"" + part.string() + "\" to \"" + file.string() + "\": " +
                       ec.message()};
}

}  // namespace

table_outcome merge_shards(const std::filesystem::path& dir) {
  int n = 0;
  const std::map<int, std::filesystem::path> tables = shard_tables(dir, n);
  const std::optional<table_identity> first = read_identity(tables.at(0));
  if (!first) throw table_mismatch(tables.at(0).string() + ": no readable fingerprint beside it");
  std::vector<std::vector<table_row>> rows;
  for (const auto& [i, table] : tables) rows.push_back(complete_rows(table, {i, n}, *first));

  std::string text = std::string(table_header) + '\n';
  table_outcome out{first->count, 0};
  for (std::size_t p = 0; p < first->count; ++p) {
    const table_row& r = rows[p % n][p / n];
    text += r.line;
    if (r.stop != point_completed) ++out.stopped;
  }
  const std::filesystem::path table = dir / table_name({});
  write_identity(table, {first->deck, first->points, first->count, {}});
  write_whole(table, text);
  return out;
}

}  // namespace study
