// The batch run: reads the deck, computes the one cycle of the run (one
// point of the core) and writes the report and every result file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <istream>
#include <ostream>

struct run_settings {
  // Solver work area, in double-complex slots: 0 sizes it from what the
  // system needs (never below work_slots); a positive value fixes it.
  std::int32_t nsp = 0;
  // Directory of every result file; empty: the working directory.
  std::filesystem::path out_dir;
  // The water field file of the cycle, used whatever the deck's model;
  // empty: the deck's own field (uniform for model 0, water_file_name of
  // the working directory for model 1, common/water.h).
  std::filesystem::path water_file;
  // The deck file, as messages name it; empty: the deck on standard input.
  std::filesystem::path deck_file;
};

// Runs the program on `deck`, reporting on `out` and diagnosing failures
// and the deck's warnings on `err`; returns the stop code (40 on success).
int run_driver(std::istream& deck, std::ostream& out, std::ostream& err,
               const run_settings& settings = {});
