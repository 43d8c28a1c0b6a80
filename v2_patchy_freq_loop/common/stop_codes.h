// Every stop code and exit status of the program, each defined once with
// its short meaning. A stop code ends a point (the code of a run_stop, the
// `stop` column of a study's table) and is the exit status of the batch run;
// the command line (`run`, `study`, `merge`) maps it to the exit statuses
// below the codes.
#pragma once

// A point or a batch run that ends normally.
inline constexpr int stop_normal = 40;

// Failures around the computation.
inline constexpr int stop_internal_failure = 1;  // out of memory and the like
inline constexpr int stop_bad_deck = 2;          // unreadable or out-of-range deck value, or a
                                                 // grid too large to index
inline constexpr int stop_bad_water_file = 3;    // water-field file missing or bad
inline constexpr int stop_write_failed = 4;      // a result file cannot be created or written
inline constexpr int stop_nonfinite = 5;         // a cell coefficient came out NaN or infinite
inline constexpr int stop_nan_result = 6;        // a result of the finite-element test is NaN

// Input deck and material map.
inline constexpr int stop_ice_deck = 11;        // ice model: phi_layer_m >= phi_a_m
inline constexpr int stop_bad_material = 222;   // material number out of range

// Sparse solver.
inline constexpr int stop_ordering_failed = 9;  // minimum-degree ordering, "FLAG=" line
inline constexpr int stop_solve_failed = 99;    // factorization or solve, "ESP=" and "FLAG="

// Elastic moduli.
inline constexpr int stop_ice_fraction = 45678;     // ice fraction outside (0, 1)
inline constexpr int stop_fractions_sum = 555;      // volume fractions do not add up to 1
inline constexpr int stop_lambda1 = 12345;          // lambda1 not positive in cell (1, 1)
inline constexpr int stop_lambda3 = 12346;          // lambda3 not positive in cell (1, 1)
inline constexpr int stop_strain_energy_1 = 45687;  // strain energy not positive definite
inline constexpr int stop_strain_energy_2 = 45688;

// Mass and friction coefficients: friction matrix not positive in cell (1, 1).
inline constexpr int stop_friction_1 = 99999;
inline constexpr int stop_friction_2 = 99998;

// Plane waves: vp1, vp2, vp3, vs1, vs2 not positive give 2000 ... 2004.
inline constexpr int stop_velocity_first = 2000;

// Exit statuses of the command line besides the stop codes of 1 ... 99.
inline constexpr int status_done = 0;             // `run` ended normally; every point completed
inline constexpr int status_points_stopped = 7;   // the table is complete, some points stopped;
                                                  // `run`: a stop code above 99
inline constexpr int status_refused = 8;          // resume or merge refused (a table or shards of
                                                  // another study), or the directory busy
inline constexpr int status_usage = 64;           // bad command line: option, list or range

