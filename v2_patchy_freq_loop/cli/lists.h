// The lists of the study's command line.
#pragma once

#include <string_view>
#include <vector>

#include "input/input.h"
#include "study/table.h"

namespace cli {

// The most points of an F1:F2:N rule, as of the deck's nfreq.
using ::max_sweep_points;

// "F1:F2:N", the logarithmic rule of 1 <= N <= max_sweep_points points from
// F1 to F2, or
// "f1,f2,...", the frequencies themselves; every frequency finite and > 0.
// A bad list throws usage_error (cli/cli.h) saying what is wrong.
std::vector<double> parse_frequencies(std::string_view text);

// "w1,w2,...": uniform water proportions (uniform_water_ok, common/water.h).
std::vector<double> parse_waters(std::string_view text);

// "I/N" with N >= 1 and 0 <= I < N.
study::shard parse_shard(std::string_view text);

// "platen" or "per-solid".
core::fe_test parse_test(std::string_view text);

}  // namespace cli
