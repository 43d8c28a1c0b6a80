// Every stop code and exit status of the program, each defined once, and the
// meanings of the stops of the computation. A stop code ends a point (the
// code of a run_stop, the `stop` column of a study's table) and is the exit
// status of the batch run; the command line (`run`, `study`, `merge`) maps it
// to the exit statuses below the codes.
#pragma once

#include <algorithm>
#include <string_view>

// A point or a batch run that ends normally.
inline constexpr int stop_normal = 40;

// Failures around the computation.
inline constexpr int stop_internal_failure = 1;  // out of memory and the like
inline constexpr int stop_bad_deck = 2;          // unreadable or out-of-range deck value, or a
                                                 // grid too large to index
inline constexpr int stop_bad_water_file = 3;    // water-field file missing or bad
inline constexpr int stop_write_failed = 4;      // a result file cannot be created or written
inline constexpr int stop_nonfinite = 5;
inline constexpr int stop_nan_result = 6;

// Input deck and material map.
inline constexpr int stop_ice_deck = 11;
inline constexpr int stop_bad_material = 222;

// Sparse solver: the minimum-degree ordering ("FLAG=" line), the
// factorization or solve ("ESP=" and "FLAG=" lines).
inline constexpr int stop_ordering_failed = 9;
inline constexpr int stop_solve_failed = 99;

// Elastic moduli.
inline constexpr int stop_ice_fraction = 45678;
inline constexpr int stop_fractions_sum = 555;
inline constexpr int stop_lambda1 = 12345;
inline constexpr int stop_lambda3 = 12346;
inline constexpr int stop_strain_energy_1 = 45687;
inline constexpr int stop_strain_energy_2 = 45688;

// Mass and friction coefficients.
inline constexpr int stop_friction_1 = 99999;
inline constexpr int stop_friction_2 = 99998;

// Plane waves: vp1, vp2, vp3, vs1, vs2 not positive give 2000 ... 2004.
inline constexpr int stop_velocity_first = 2000;
inline constexpr int stop_velocity_last = stop_velocity_first + 4;

// A stop of the computation and its meaning, told when the stop carries no
// message of its own.
struct stop_meaning_row {
  int code;
  std::string_view meaning;
};

inline constexpr stop_meaning_row stop_meanings[] = {
    {stop_internal_failure, "unexpected internal failure"},
    {stop_nonfinite, "a cell coefficient came out NaN or infinite"},
    {stop_nan_result, "a result of the finite-element test is not a number"},
    {stop_ordering_failed, "the ordering of the sparse system failed"},
    {stop_ice_deck, "ice model: phi_layer_m is not below phi_a_m"},
    {stop_solve_failed, "the factorization or solve of the sparse system failed"},
    {stop_bad_material, "material number out of range"},
    {stop_fractions_sum, "volume fractions do not add up to 1"},
    {stop_lambda1, "lambda1 not positive in cell (1, 1)"},
    {stop_lambda3, "lambda3 not positive in cell (1, 1)"},
    {stop_ice_fraction, "permafrost model: ice fraction outside (0, 1)"},
    {stop_strain_energy_1, "strain energy not positive definite"},
    {stop_strain_energy_2, "strain energy not positive definite"},
    {stop_friction_2, "friction matrix not positive (cell (1, 1))"},
    {stop_friction_1, "friction matrix not positive (cell (1, 1))"},
};

// The meaning of stop code `code` (a code of no listed stop: "stop of the
// computation").
constexpr std::string_view stop_meaning(int code) {
  if (code >= stop_velocity_first && code <= stop_velocity_last)
    return "a plane-wave velocity is not positive";
  const auto* row = std::ranges::find(stop_meanings, code, &stop_meaning_row::code);
  return row != std::end(stop_meanings) ? row->meaning : "stop of the computation";
}

// Exit statuses of the command line besides the stop codes of 1 ... 99.
inline constexpr int status_done = 0;             // `run` ended normally; every point completed
inline constexpr int status_points_stopped = 7;   // the table is complete, some points stopped;
                                                  // `run`: a stop code above 99
inline constexpr int status_refused = 8;          // resume or merge refused (a table or shards of
                                                  // another study), or the directory busy
inline constexpr int status_usage = 64;           // bad command line: option, list or range

