// Program entry. Without arguments, the legacy run: the deck on standard
// input, every file in the working directory, the stop code as exit status.
// With arguments, the command line (run, study, merge).
#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <iostream>

#include "cli/cli.h"
#include "common/fd_output.h"
#include "common/report.h"
#include "driver/run.h"

namespace {

constexpr int normal_end = 40;

// Fills closed standard descriptors with /dev/null, so that no file the run
// opens takes the place of standard input, output or error.
void hold_standard_descriptors() {
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    if (::fcntl(fd, F_GETFD) != -1) continue;
    const int held = ::open("/dev/null", O_RDWR);
    if (held >= 0 && held != fd) ::close(held);
  }
}

// The legacy run. A report that could not be written (standard output
// closed, a full disk, /dev/full) fails the run after it, naming the cause.
int legacy_run() {
  fd_output report(STDOUT_FILENO);
  hold_standard_descriptors();
  std::ostream out(&report);
  int status = run_driver(std::cin, out, std::cerr);
  out.flush();
  if (report.error() != 0) {
    std::cerr << "cannot write the report to standard output: " << std::strerror(report.error())
              << '\n';
    if (status == normal_end) status = stop_write_failed;
  }
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  if (argc <= 1) return legacy_run();
  hold_standard_descriptors();
  return run_cli(std::vector<std::string>(argv, argv + argc), {isatty(STDERR_FILENO) == 1});
}
