// Program entry. Without arguments, the legacy run: the deck on standard
// input, every file in the working directory, the stop code as exit status.
// With arguments, the command line (run, study, merge).
#include <unistd.h>

#include <iostream>

#include "cli/cli.h"
#include "driver/run.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  if (argc <= 1) return run_driver(std::cin, std::cout, std::cerr);
  return run_cli(std::vector<std::string>(argv, argv + argc), {isatty(STDERR_FILENO) == 1});
}
