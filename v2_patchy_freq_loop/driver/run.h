// The run driver: reads the deck, computes the one cycle of the run and
// writes the report and every result file in the working directory.
#pragma once

#include <cstdint>
#include <istream>
#include <ostream>

#include "common/arrays.h"

struct run_settings {
  std::int32_t nsp = work_slots;  // solver work area, in double-complex slots
};

// Runs the program on `deck`, reporting on `out` and diagnosing failures on
// `err`; returns the stop code (40 on success).
int run_driver(std::istream& deck, std::ostream& out, std::ostream& err,
               const run_settings& settings = {});
