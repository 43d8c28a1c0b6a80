// One step of the row-blocked elimination: the rows of a block subtract
// their multiple of U row m from their work rows, several rows at once in
// vector lanes. The kernels are compiled once per instruction set and picked
// at run time; none of them contracts a product and a sum into one rounding.
#pragma once

#include <cstdint>

namespace yale_blocked {

inline constexpr int32_t block_rows = 8;  // rows of a block, one per vector lane

// Work rows of a block: for each column j (1-based), the real parts of the
// block's rows in `lanes` consecutive doubles, then their imaginary parts.
// The update, for every position q of U row m and every lane whose row holds
// m in its L part:
//   x(ju(q)) = x(ju(q)) + (-l)(u(q)), with (g, h)(e, f) = (g e - h f, g f + h e);
// other lanes keep their entry untouched (adding +0 would turn -0 into +0).
struct column_update {
  double* work;       // 64-byte aligned
  const int32_t* ju;  // the count columns of U row m
  const double* u;    // their values, real and imaginary part in turn
  int32_t count;
  const double* minus_l;     // the negated multipliers: lanes real, then lanes imaginary
  const std::int64_t* mask;  // all bits set in the lanes that take part
  bool all_lanes;            // every lane takes part: no selection needed
};

using column_kernel = void (*)(const column_update&);

// The kernels by instruction set.
void column_update_portable(const column_update& c);
void column_update_avx2(const column_update& c);
void column_update_avx512(const column_update& c);

}  // namespace yale_blocked
