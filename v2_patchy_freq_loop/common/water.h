// The water of the sample: the file of a water field and the range of a
// water proportion, each decided here once.
#pragma once

// The water-field file the batch run reads for model 1, from its working
// directory: one record "j k proportion" per cell, bottom row first.
inline constexpr const char* water_file_name = "phiw_binary_patchy.dat";

// A cell's water proportion as a water-field file gives it: 0 ... 1.
constexpr bool cell_water_ok(double w) { return w >= 0 && w <= 1; }

// A water proportion given as a number (the study's --water, a field
// built in Python): 0 <= w < 1.
constexpr bool uniform_water_ok(double w) { return w >= 0 && w < 1; }
inline constexpr const char* uniform_water_range = "[0, 1)";
