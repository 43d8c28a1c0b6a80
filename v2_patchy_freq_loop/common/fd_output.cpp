#include "common/fd_output.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace {
constexpr std::size_t buffer_size = 1 << 16;
}

fd_output::fd_output(int fd) : fd_(fd), buf_(buffer_size) {
  setp(buf_.data(), buf_.data() + buf_.size());
  if (::fcntl(fd, F_GETFD) == -1) fail(errno);
}

fd_output::~fd_output() {
  if (owned_) close();
}

bool fd_output::open(const std::string& path) {
  if (owned_) close();
  error_ = 0;
  buf_.resize(buffer_size);
  setp(buf_.data(), buf_.data() + buf_.size());
  fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  owned_ = fd_ >= 0;
  if (fd_ < 0) fail(errno);
  return error_ == 0;
}

bool fd_output::close() {
  drain();
  if (owned_ && ::close(fd_) != 0) fail(errno);
  owned_ = false;
  fd_ = -1;
  return error_ == 0;
}

void fd_output::fail(int err) {
  if (error_ == 0) error_ = err;
}

// Writes the buffered bytes, retrying after interrupts and short writes.
// After a failure nothing more is written and the buffer is discarded.
bool fd_output::drain() {
  const char* p = pbase();
  const char* const end = pptr();
  while (error_ == 0 && p < end) {
    const ssize_t n = ::write(fd_, p, static_cast<std::size_t>(end - p));
    if (n >= 0) {
      p += n;
    } else if (errno != EINTR) {
      fail(errno);
    }
  }
  setp(buf_.data(), buf_.data() + buf_.size());
  return error_ == 0;
}

fd_output::int_type fd_output::overflow(int_type c) {
  if (!drain() || buf_.empty()) return traits_type::eof();
  if (!traits_type::eq_int_type(c, traits_type::eof())) {
    *pptr() = traits_type::to_char_type(c);
    pbump(1);
  }
  return traits_type::not_eof(c);
}

int fd_output::sync() { return drain() ? 0 : -1; }
