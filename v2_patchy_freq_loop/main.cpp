// Program entry. Without arguments, the batch run: the deck on standard
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

// Fills closed standard descriptors with /dev/null, so that no file the run
// opens takes the place of standard input, output or error.
void hold_standard_descriptors() {
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    if (::fcntl(fd, F_GETFD) != -1) continue;
    const int held = ::open("/dev/null", O_RDWR);
    if (held >= 0 && held != fd) ::close(held);
  }
}

// The batch run, its report on `report`. A report that could not be
// written (standard output closed, a full disk, /dev/full) fails the run
// after it, naming the cause.
int batch_run(fd_output& report) {
  std::ostream out(&report);
  int status = run_driver(std::cin, out, std::cerr);
  out.flush();
  if (report.error() != 0) {
    std::cerr << "cannot write the report to standard output: " << std::strerror(report.error())
              << '\n';
    if (status == stop_normal) status = stop_write_failed;
  }
  return status;
}

// The command line, with standard output written through `report`, so that
// a closed or failing standard output fails the subcommand that writes it.
int command_line(int argc, char** argv, fd_output& report) {
  std::streambuf* const console = std::cout.rdbuf(&report);
  const int status =
      run_cli(std::vector<std::string>(argv, argv + argc), {isatty(STDERR_FILENO) == 1});
  std::cout.flush();
  std::cout.rdbuf(console);
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  // Taken before the standard descriptors are held: a closed standard
  // output counts as failed.
  fd_output report(STDOUT_FILENO);
  hold_standard_descriptors();
  return argc <= 1 ? batch_run(report) : command_line(argc, argv, report);
}
