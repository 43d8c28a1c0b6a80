// The files of a study directory as the study writes and reads them: opened
// without following symbolic links and without blocking on a FIFO, only
// regular files; whole files written aside and renamed into place; one
// writer per table at a time (an advisory lock).
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace study {

// An open file descriptor, closed on destruction.
class file {
 public:
  file() = default;
  explicit file(int fd) : fd_(fd) {}
  file(file&& o) noexcept : fd_(o.fd_) { o.fd_ = -1; }
  file& operator=(file&& o) noexcept;
  ~file();
  int fd() const { return fd_; }
  // Closes the descriptor now; false when the close fails.
  bool close();

 private:
  int fd_ = -1;
};

// Opens the existing file `path` for reading (or, `write`, for appending)
// without following a symbolic link; nothing when it does not exist.
// Throws run_stop{stop_write_failed} naming it when it is not a regular
// file or cannot be opened.
std::optional<file> open_regular(const std::filesystem::path& path, bool write = false);

// The size of an open file.
std::uintmax_t file_size(const file& f, const std::filesystem::path& path);

// Writes all of `text` to `f`; throws run_stop{stop_write_failed} naming `path`.
void write_all(const file& f, std::string_view text, const std::filesystem::path& path);

// Cuts an open file to its first `bytes` bytes.
void cut_file(const file& f, std::uintmax_t bytes, const std::filesystem::path& path);

// `path` with ".part" appended: where a whole file is written before it
// is renamed into place.
std::filesystem::path part_path(const std::filesystem::path& path);

// Writes `text` into part_path(path), created anew (a link or anything else
// there is removed first); on failure removes it and throws
// run_stop{stop_write_failed}.
void write_aside(const std::filesystem::path& path, std::string_view text);

// Renames part_path(path) to `path` (replacing a file or link there, never
// writing through it).
void put_in_place(const std::filesystem::path& path);

// The test builds' way to stop a writer between two of its steps: called
// with the name of each step done (e.g. "merge: fingerprint in place");
// nothing happens in the program.
void write_step(const char* step);

// An advisory lock (flock) on `lock_file`, held until destruction. A lock
// already held elsewhere throws table_mismatch naming `dir`, at once.
class study_lock {
 public:
  study_lock(const std::filesystem::path& lock_file, const std::filesystem::path& dir);

 private:
  file f_;
};

}  // namespace study
