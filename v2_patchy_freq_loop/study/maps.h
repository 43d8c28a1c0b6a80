// The cell maps of one point, as the batch run writes them.
#pragma once

#include <filesystem>

#include "core/point.h"

namespace study {

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
