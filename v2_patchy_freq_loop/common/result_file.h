// A result file of a run or a study: created (or emptied)
// when opened, checked after every block of lines written to it.
#pragma once

#include <filesystem>
#include <ostream>
#include <string>

#include "common/fd_output.h"

class result_file {
 public:
  result_file() = default;
  explicit result_file(std::filesystem::path name) { open(std::move(name)); }

  // Creates the file, or empties an existing one; stops the run if it cannot.
  void open(std::filesystem::path name);
  bool is_open() const { return file_.is_open(); }

  // The stream to write lines to.
  std::ostream& os() { return out_; }

  // Pushes the lines written so far to the file, so that they survive a
  // later failure; stops the run, naming the cause, if the file could not
  // be written.
  void flush();
  void close();

 private:
  std::filesystem::path name_;
  fd_output file_;
  std::ostream out_{&file_};
};
