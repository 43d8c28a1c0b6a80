// Fuzzing the study table pair as --resume and merge read and extend it. The
// input is the table's bytes, then (after a NUL byte, if any) the
// fingerprint's bytes, both written to a scratch directory. A table ends in
// table_mismatch with a one-line message or in rows read from complete
// records; a fingerprint in table_mismatch or in one whose shard exists and
// whose rows are no more than its points. When both read, the rows the
// fingerprint records are kept, one more is appended, and the pair reads
// back with exactly those rows; the pair's lock refuses a second holder.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "common/report.h"
#include "study/table.h"

namespace {

// Aborts (a finding) unless `ok`.
void require(bool ok) {
  if (!ok) std::abort();
}

// This process's scratch directory and table, removed at exit.
const std::filesystem::path& scratch() {
  static const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("fuzz_table_" + std::to_string(getpid()));
  static const std::filesystem::path p = dir / "study.csv";
  static const bool made = std::filesystem::create_directories(dir) || true;
  static const bool cleanup = std::atexit([] { std::filesystem::remove_all(dir); }) == 0;
  require(made && cleanup);
  return p;
}

void write(const std::filesystem::path& file, std::string_view bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << bytes;
  require(static_cast<bool>(out));
}

bool one_line(const std::exception& e) {
  const std::string_view what = e.what();
  return !what.empty() && what.find('\n') == std::string_view::npos;
}

// The rows of the table, at most `max_rows`, checked record by record.
std::optional<study::table_scan> rows_of(std::size_t size, std::size_t max_rows,
                                         std::vector<std::string>& lines) {
  try {
    const study::table_scan s = study::scan_table(scratch(), max_rows, [&](const study::table_row& r) {
      require(!r.line.empty() && r.line.back() == '\n');
      lines.push_back(r.line);
    });
    std::uintmax_t bytes = s.header ? study::table_header().size() + 1 : 0;
    for (const std::string& l : lines) bytes += l.size();
    require(s.rows == lines.size() && lines.size() <= max_rows && bytes == s.bytes &&
            s.bytes <= size && (s.header || lines.empty()));
    return s;
  } catch (const study::table_mismatch& e) {
    require(one_line(e));
    return std::nullopt;
  }
}

std::optional<study::fingerprint> fingerprint_of() {
  try {
    std::optional<study::fingerprint> fp = study::read_fingerprint(scratch());
    require(fp.has_value());
    const study::table_identity& id = fp->id;
    require(id.part.count >= 1 && id.part.index >= 0 && id.part.index < id.part.count);
    require(fp->rows.size() <= id.count && id.count <= study::max_table_points);
    return fp;
  } catch (const study::table_mismatch& e) {
    require(one_line(e));
    return std::nullopt;
  }
}

// Keeps the rows the fingerprint records (up to the first it does not),
// appends one when the shard has points left, and reads the pair back.
void extend(const study::fingerprint& fp, const study::table_scan& scan,
            const std::vector<std::string>& lines) {
  if (!scan.header) return;
  std::size_t kept = 0;
  std::uintmax_t bytes = study::table_header().size() + 1;
  while (kept < lines.size() && fp.rows[kept] == study::row_digest(fp.id, lines[kept]))
    bytes += lines[kept++].size();
  if (kept >= study::shard_size(fp.id.count, fp.id.part)) return;
  const std::string record = "0,1,0.2,platen,,,,,,,,,,3\n";
  {
    study::table_writer w(scratch(), fp.id, kept, bytes);
    w.append(record);
  }
  const std::optional<study::fingerprint> back = study::read_fingerprint(scratch());
  require(back && back->id == fp.id && back->rows.size() == kept + 1 &&
          back->rows.back() == study::row_digest(fp.id, record));
  std::vector<std::string> after;
  const std::optional<study::table_scan> s = rows_of(bytes + record.size(), kept + 1, after);
  require(s && after.size() == kept + 1 && after.back() == record);
}

void check_lock() {
  const std::filesystem::path lock = study::lock_path(scratch());
  const study::study_lock held(lock, scratch().parent_path());
  try {
    const study::study_lock second(lock, scratch().parent_path());
    require(false);
  } catch (const study::table_mismatch& e) {
    require(one_line(e));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::size_t nul = bytes.find('\0');
  const std::string_view table = bytes.substr(0, nul);
  write(scratch(), table);
  write(study::fingerprint_path(scratch()),
        nul == std::string_view::npos ? std::string_view{} : bytes.substr(nul + 1));
  const std::optional<study::fingerprint> fp = fingerprint_of();
  std::vector<std::string> lines;
  const std::optional<study::table_scan> scan =
      rows_of(table.size(), fp ? fp->rows.size() : 1000, lines);
  if (fp && scan) extend(*fp, *scan, lines);
  check_lock();
  return 0;
}
