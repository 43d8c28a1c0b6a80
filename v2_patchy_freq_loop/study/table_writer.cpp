// Appending the rows of a study table, each one on disk before the next.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "common/report.h"
#include "study/table.h"

namespace study {

namespace {

[[noreturn]] void write_failed(const std::filesystem::path& path) {
  throw run_stop{stop_write_failed,
                 "cannot write \"" + path.string() + "\": " + std::strerror(errno)};
}

}  // namespace

table_writer::table_writer(std::filesystem::path table, std::optional<std::uintmax_t> keep_bytes)
    : path_(std::move(table)) {
  errno = 0;
  if (keep_bytes) {
    std::error_code ec;
    std::filesystem::resize_file(path_, *keep_bytes, ec);
    if (ec) {
      errno = ec.value();
      write_failed(path_);
    }
    file_ = std::fopen(path_.c_str(), "ab");
  } else {
    file_ = std::fopen(path_.c_str(), "wb");
  }
  if (!file_) write_failed(path_);
  if (!keep_bytes) append(std::string(table_header) + '\n');
}

table_writer::~table_writer() {
  if (file_) std::fclose(file_);
}

void table_writer::append(std::string_view text) {
  errno = 0;
  if (std::fwrite(text.data(), 1, text.size(), file_) != text.size() || std::fflush(file_) != 0)
    write_failed(path_);
}

}  // namespace study
