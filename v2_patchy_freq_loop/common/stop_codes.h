// Every stop code of the program, the exit status of a legacy run and the
// code of a run_stop thrown by the computation.
#pragma once

// End of a run.
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
