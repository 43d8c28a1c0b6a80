#include "common/grid_limits.h"

#include <algorithm>
#include <cmath>

#include "common/arrays.h"

double estimated_factor_slots(std::int64_t nx, std::int64_t ny) {
  const double n = static_cast<double>(grid_unknowns(nx, ny));
  const std::int64_t side = std::min(nx, ny);
  const double per_factor = 10 * n * std::log2(static_cast<double>(grid_unknowns(side, side)));
  return 2.5 * per_factor + 3.5 * n;
}

bool grid_fits(std::int64_t nx, std::int64_t ny) {
  // More cells than 32-bit indices count never fit; refusing them first
  // keeps the unknowns and their storage within 64 bits.
  if (nx < 1 || ny < 1 || nx > INT32_MAX || ny > INT32_MAX || nx * ny > INT32_MAX) return false;
  const std::int64_t n = grid_unknowns(nx, ny);
  return n * row_capacity < INT32_MAX && 3 * n + 2 * 47 * n <= max_work_slots &&
         estimated_factor_slots(nx, ny) <= max_work_slots;
}

int largest_square_grid() {
  int lo = 1, hi = 1 << 16;  // grid_fits(lo) holds, grid_fits(hi) does not
  while (hi - lo > 1) {
    const int mid = lo + (hi - lo) / 2;
    (grid_fits(mid, mid) ? lo : hi) = mid;
  }
  return lo;
}

std::string grid_refusal(std::int64_t nx, std::int64_t ny, const std::string& why) {
  const std::string side = std::to_string(largest_square_grid());
  return "grid " + std::to_string(nx) + " x " + std::to_string(ny) + " is too large: " + why +
         "; the largest square grid whose system and factors 32-bit indices can address is " +
         side + " x " + side;
}
