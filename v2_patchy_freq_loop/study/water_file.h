// Water fields of a study read from files.
#pragma once

#include <string>

#include "core/point.h"

namespace study {

// The water field of an nx x ny grid from a file laid out as
// "phiw_binary_patchy.dat" (one record "j k phiw" per cell, bottom row
// first, each row left to right). A missing, short or unreadable file throws
// run_stop{stop_bad_water_file} naming the file and its line.
core::water_field read_water_file(const std::string& path, int nx, int ny);

}  // namespace study
