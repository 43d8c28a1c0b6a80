// The largest grids the program can index: every array position of the
// system and of the solver's work area is a 32-bit integer.
#pragma once

#include <cstdint>
#include <string>

// Unknowns of an nx x ny grid, in 64 bits so that any deck can be checked.
inline std::int64_t grid_unknowns(std::int64_t nx, std::int64_t ny) {
  return (6 * nx + 5) * ny + 5 * nx + 4;
}

// Largest work area of the double-complex solver: 4 nsp + 1 integer words
// must stay below 2^31.
inline constexpr std::int32_t max_work_slots = (INT32_MAX - 1) / 4;

// Estimated work area of the factors of an nx x ny grid, in slots: their
// integer structure and values (2.5 (L + U) / 2) and the three n-vectors,
// with L and U about 10 N log2 Ns entries each under the minimum-degree
// order (Ns the unknowns of the square grid of the shorter side; measured
// from 9 to 9.5 N log2 Ns on grids from 20 x 20 to 100 x 100, 3.2 on strips).
double estimated_factor_slots(std::int64_t nx, std::int64_t ny);

// Whether an nx x ny grid can be indexed: the unknowns, the row storage
// (row_capacity places per unknown), the ordering's share of the work area
// (3 N + 4 E words, E <= 47 N / 2 strict upper entries) and the estimated
// factors. The plan checks the factors exactly once they are known.
bool grid_fits(std::int64_t nx, std::int64_t ny);

// The side of the largest square grid that fits.
int largest_square_grid();

// "grid NX x NY is too large ...": the refusal naming the largest grid that fits.
std::string grid_refusal(std::int64_t nx, std::int64_t ny, const std::string& why);
