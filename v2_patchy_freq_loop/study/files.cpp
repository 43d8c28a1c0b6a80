#include "study/files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "common/report.h"
#include "study/table.h"

// Defined only by the tests that stop a writer between its steps.
extern "C" void v2pfl_write_step(const char* step) __attribute__((weak));

namespace study {

namespace {

[[noreturn]] void failed(const std::string& what, const std::filesystem::path& path, int err) {
  throw run_stop{stop_write_failed,
                 "cannot " + what + " \"" + path.string() + "\": " + std::strerror(err)};
}

[[noreturn]] void not_regular(const std::filesystem::path& path) {
  throw run_stop{stop_write_failed,
                 "\"" + path.string() + "\" is not a regular file (a link, FIFO, device or "
                                        "directory): refused"};
}

// Whether `path` is missing or a regular file (not followed when a link).
bool missing_or_regular(const std::filesystem::path& path) {
  struct stat st{};
  if (::lstat(path.c_str(), &st) != 0) return errno == ENOENT;
  return S_ISREG(st.st_mode);
}

}  // namespace

file& file::operator=(file&& o) noexcept {
  std::swap(fd_, o.fd_);
  return *this;
}

file::~file() { close(); }

bool file::close() {
  const int fd = std::exchange(fd_, -1);
  return fd < 0 || ::close(fd) == 0;
}

std::optional<file> open_regular(const std::filesystem::path& path, bool write) {
  const int flags = (write ? O_WRONLY | O_APPEND : O_RDONLY) | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
  const int fd = ::open(path.c_str(), flags);
  if (fd < 0) {
    if (errno == ENOENT) return std::nullopt;
    if (errno == ELOOP || errno == ENXIO || errno == EISDIR) not_regular(path);
    failed(write ? "write" : "read", path, errno);
  }
  file f(fd);
  struct stat st{};
  if (::fstat(fd, &st) != 0) failed("read", path, errno);
  if (!S_ISREG(st.st_mode)) not_regular(path);
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return f;
}

std::uintmax_t file_size(const file& f, const std::filesystem::path& path) {
  struct stat st{};
  if (::fstat(f.fd(), &st) != 0) failed("read", path, errno);
  return static_cast<std::uintmax_t>(st.st_size);
}

void write_all(const file& f, std::string_view text, const std::filesystem::path& path) {
  while (!text.empty()) {
    const ssize_t n = ::write(f.fd(), text.data(), text.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) failed("write", path, n < 0 ? errno : ENOSPC);
    text.remove_prefix(static_cast<std::size_t>(n));
  }
}

void cut_file(const file& f, std::uintmax_t bytes, const std::filesystem::path& path) {
  if (::ftruncate(f.fd(), static_cast<off_t>(bytes)) != 0) failed("write", path, errno);
}

std::filesystem::path part_path(const std::filesystem::path& path) {
  return path.string() + ".part";
}

void write_aside(const std::filesystem::path& path, std::string_view text) {
  const std::filesystem::path part = part_path(path);
  if (::unlink(part.c_str()) != 0 && errno != ENOENT) failed("write", part, errno);
  const int fd = ::open(part.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) failed("write", part, errno);
  file f(fd);
  try {
    write_all(f, text, part);
    if (!f.close()) failed("write", part, errno);
  } catch (...) {
    ::unlink(part.c_str());
    throw;
  }
}

void put_in_place(const std::filesystem::path& path) {
  const std::filesystem::path part = part_path(path);
  if (!missing_or_regular(path)) {
    ::unlink(part.c_str());
    not_regular(path);
  }
  if (::rename(part.c_str(), path.c_str()) != 0) {
    const int err = errno;
    ::unlink(part.c_str());
    failed("rename \"" + part.string() + "\" to", path, err);
  }
}

void write_step(const char* step) {
  if (v2pfl_write_step) v2pfl_write_step(step);
}

study_lock::study_lock(const std::filesystem::path& lock_file, const std::filesystem::path& dir) {
  const int fd =
      ::open(lock_file.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
  if (fd < 0) {
    if (errno == ELOOP || errno == ENXIO || errno == EISDIR) not_regular(lock_file);
    failed("create lock file", lock_file, errno);
  }
  f_ = file(fd);
  struct stat st{};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) not_regular(lock_file);
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno == EWOULDBLOCK)
      throw table_mismatch("another study or merge is writing " + dir.string() + " (it holds " +
                           lock_file.filename().string() + "): refused");
    failed("lock", lock_file, errno);
  }
}

}  // namespace study
