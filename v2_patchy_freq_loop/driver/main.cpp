// Program entry: the deck on standard input, every file in the working
// directory, the stop code as exit status.
#include <iostream>

#include "driver/run.h"

int main() {
  std::ios::sync_with_stdio(false);
  return run_driver(std::cin, std::cout, std::cerr);
}
