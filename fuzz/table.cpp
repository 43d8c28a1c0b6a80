// Fuzzing the study table and fingerprint readers of --resume and merge. The
// input is the table's bytes, then (after a NUL byte, if any) the
// fingerprint's bytes, both written to a scratch file. A table ends in
// table_mismatch with a one-line message or in rows read from complete lines;
// a fingerprint reads as nothing or as one whose shard exists.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "study/table.h"

namespace {

// Aborts (a finding) unless `ok`.
void require(bool ok) {
  if (!ok) std::abort();
}

// This process's scratch table, beside which its fingerprint goes; both
// are removed at exit.
const std::filesystem::path& scratch() {
  static const std::filesystem::path p = std::filesystem::temp_directory_path() /
                                         ("fuzz_table_" + std::to_string(getpid()) + ".csv");
  static const bool cleanup = std::atexit([] {
    std::filesystem::remove(p);
    std::filesystem::remove(study::fingerprint_path(p));
  }) == 0;
  require(cleanup);
  return p;
}

void write(const std::filesystem::path& file, std::string_view bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << bytes;
  require(static_cast<bool>(out));
}

void check_table(std::size_t size) {
  try {
    const study::table_contents c = study::read_table(scratch());
    require(c.complete_bytes <= size);
    std::uintmax_t bytes = study::table_header.size() + 1;
    for (const study::table_row& r : c.rows) {
      require(!r.line.empty() && r.line.back() == '\n');
      bytes += r.line.size();
    }
    require(bytes == c.complete_bytes);
  } catch (const study::table_mismatch& e) {
    const std::string_view what = e.what();
    require(!what.empty() && what.find('\n') == std::string_view::npos);
  }
}

void check_identity() {
  const std::optional<study::table_identity> id = study::read_identity(scratch());
  if (!id) return;
  require(id->part.count >= 1 && id->part.index >= 0 && id->part.index < id->part.count);
  // What merge asks of it before trusting the count.
  const std::size_t n = study::shard_size(id->count, id->part);
  require(n <= id->count);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::size_t nul = bytes.find('\0');
  const std::string_view table = bytes.substr(0, nul);
  write(scratch(), table);
  write(study::fingerprint_path(scratch()),
        nul == std::string_view::npos ? std::string_view{} : bytes.substr(nul + 1));
  check_table(table.size());
  check_identity();
  return 0;
}
