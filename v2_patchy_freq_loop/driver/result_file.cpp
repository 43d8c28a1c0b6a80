#include "driver/result_file.h"

#include <cerrno>
#include <cstring>

#include "common/report.h"

static run_stop write_failure(const std::string& what, const std::filesystem::path& name) {
  return run_stop{stop_write_failed, "cannot " + what + " result file \"" + name.string() +
                                         "\": " + std::strerror(errno)};
}

void result_file::open(std::filesystem::path name) {
  name_ = std::move(name);
  errno = 0;
  out_.open(name_, std::ios::out | std::ios::trunc);
  if (!out_) throw write_failure("create", name_);
}

void result_file::flush() {
  errno = 0;
  out_.flush();
  if (!out_) throw write_failure("write", name_);
}

void result_file::close() {
  flush();
  out_.close();
  if (!out_) throw write_failure("close", name_);
}
