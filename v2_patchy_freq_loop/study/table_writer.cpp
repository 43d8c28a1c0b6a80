// Writing a table pair: new, whole, or row by row. The order of the writes
// keeps one rule at every instant: the fingerprint records no row that the
// table beside it does not hold as its own (rows beyond the recorded ones
// are recomputed by a resume).
#include <unistd.h>

#include "common/report.h"
#include "study/table.h"

namespace study {

namespace {

std::string head_and(const table_identity& id, const std::vector<std::string>& records) {
  std::string text = fingerprint_head(id);
  for (const std::string& r : records) text += digest_line(row_digest(id, r));
  return text;
}

file open_for_append(const std::filesystem::path& path) {
  std::optional<file> f = open_regular(path, true);
  if (!f) throw run_stop{stop_write_failed, "cannot write \"" + path.string() + "\": no such file"};
  return std::move(*f);
}

}  // namespace

void write_pair(const std::filesystem::path& table, const table_identity& id,
                const std::vector<std::string>& records) {
  const std::filesystem::path fp = fingerprint_path(table);
  std::string text = table_header() + '\n';
  for (const std::string& r : records) text += r;
  write_aside(table, text);
  try {
    // The fingerprint without rows first: beside the table it replaces, it
    // records none of that table's rows.
    write_aside(fp, fingerprint_head(id));
    write_step("pair: written aside");
    put_in_place(fp);
    write_step("pair: fingerprint head in place");
  } catch (...) {
    ::unlink(part_path(table).c_str());
    throw;
  }
  put_in_place(table);
  write_step("pair: table in place");
  if (records.empty()) return;
  write_aside(fp, head_and(id, records));
  put_in_place(fp);
  write_step("pair: rows recorded");
}

table_writer::table_writer(const std::filesystem::path& table, const table_identity& id,
                           std::size_t rows, std::uintmax_t table_bytes)
    : table_(table), fingerprint_(fingerprint_path(table)), id_(id),
      table_file_(open_for_append(table_)), fingerprint_file_(open_for_append(fingerprint_)) {
  cut_file(fingerprint_file_, fingerprint_head(id).size() + rows * digest_line_bytes,
           fingerprint_);
  cut_file(table_file_, table_bytes, table_);
}

void table_writer::append(std::string_view record) {
  write_all(table_file_, record, table_);
  write_step("row: record written");
  write_all(fingerprint_file_, digest_line(row_digest(id_, record)), fingerprint_);
}

}  // namespace study
