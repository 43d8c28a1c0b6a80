// The cell maps of one point, as the batch run writes them.
#pragma once

#include <array>
#include <filesystem>
#include <ostream>

#include "core/point.h"

namespace study {

// A cell map of a point's result: its file name and its lines, one
// "j k value" line per cell, bottom row first.
struct map_file {
  const char* name;
  void (*write)(std::ostream& out, const core::point_result& r);
};

// The eight cell maps of a point, in the order a batch run creates them:
// the pressure modulus, the pressure gradient of the interior cells, then
// the real and imaginary parts of the strains of solid 1 and solid 3 and
// of the stress.
extern const std::array<map_file, 8> point_maps;

// How many of point_maps, from the first, are the pressure maps.
inline constexpr std::size_t pressure_maps = 2;

// Writes the strain, stress, pressure and pressure-gradient maps of `r`
// into `dir` (created when missing), with the batch run's file names and
// lines, each written aside and renamed into place. A file that cannot be
// written, or a name held by anything but a regular file, throws
// run_stop{stop_write_failed} naming it.
void write_point_maps(const std::filesystem::path& dir, const core::point_result& r);

// The directory of the maps of point `index` of a study of n points:
// point_NNNN, at least four digits.
std::filesystem::path point_dir(const std::filesystem::path& study_dir, std::size_t index,
                                std::size_t n);

}  // namespace study
