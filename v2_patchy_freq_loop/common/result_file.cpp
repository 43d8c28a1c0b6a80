#include "common/result_file.h"

#include <cstring>

#include "common/report.h"

// The stop of a failed result file, with the cause of its first failure.
static run_stop write_failure(const std::string& what, const std::filesystem::path& name,
                              int error) {
  return run_stop{stop_write_failed, "cannot " + what + " result file \"" + name.string() +
                                         "\": " + std::strerror(error)};
}

void result_file::open(std::filesystem::path name) {
  name_ = std::move(name);
  out_.clear();
  if (!file_.open(name_.string())) throw write_failure("create", name_, file_.error());
}

void result_file::flush() {
  out_.flush();
  if (file_.error() != 0) throw write_failure("write", name_, file_.error());
}

void result_file::close() {
  flush();
  if (!file_.close()) throw write_failure("close", name_, file_.error());
}
