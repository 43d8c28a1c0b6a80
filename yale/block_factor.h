// One block of the row-blocked factorization (nnf_blocked.h) and what the
// threads working on the blocks share.
#pragma once

#include <atomic>
#include <cstdint>

#include "yale/column_update.h"
#include "yale/nnf_blocked.h"
#include "yale/one_based.h"
#include "yale/yale.h"

namespace yale_blocked {

// The matrix, its structure, the factors being written and the progress of
// the rows, shared by all threads.
struct factor_job {
  int32_t n;
  one_based<const int32_t> r, ic, ia, ja, il, jl, iu, ju;
  one_based<const yale_complex> a, b;
  one_based<yale_complex> l, d, u, tmp;
  std::atomic<unsigned char>* done;  // done[k - 1] != 0 once row k is finished
  std::atomic<int32_t>* zero_pivot;  // the first row found with a zero pivot, n + 1 if none
  std::atomic<int64_t>* next_block;  // the first row of the next block to take
  column_kernel kernel;
};

// The update kernel for an instruction set (the portable one when the
// processor does not run it).
column_kernel kernel_for(isa set);

// Factorizes rows first ... first + block_rows - 1 (those up to n) in the
// work rows `work` (2 * block_rows * n doubles, 64-byte aligned). Returns
// false when a zero pivot stops it, its own or one of a row it waits for.
bool factor_block(const factor_job& job, int32_t first, double* work);

}  // namespace yale_blocked
