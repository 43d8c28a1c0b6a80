// Buffered output to a POSIX file descriptor that keeps the cause of the
// first failure (the errno of the failing call), so that a run can say why
// its report or a result file could not be written.
#pragma once

#include <streambuf>
#include <string>
#include <vector>

class fd_output : public std::streambuf {
 public:
  fd_output() = default;
  // Writes to the open descriptor `fd`, which stays open afterwards; a
  // descriptor that is not open counts as failed (EBADF).
  explicit fd_output(int fd);
  ~fd_output() override;
  fd_output(const fd_output&) = delete;
  fd_output& operator=(const fd_output&) = delete;

  // Creates the file `path`, or empties an existing one; false on failure.
  bool open(const std::string& path);
  bool is_open() const { return fd_ >= 0; }
  // Writes what is buffered and closes a descriptor opened here; false on
  // failure (then or before).
  bool close();

  // errno of the first failed open, write or close; 0 while none failed.
  int error() const { return error_; }

 protected:
  int_type overflow(int_type c) override;
  int sync() override;

 private:
  bool drain();
  void fail(int err);

  int fd_ = -1;
  bool owned_ = false;
  int error_ = 0;
  std::vector<char> buf_;
};
