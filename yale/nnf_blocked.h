// Row-blocked numeric factorization of a complex matrix: the same L, D, U,
// forward and back solutions as znnf, bit for bit, computed for several rows
// at a time in vector lanes and on several threads.
//
// Rows are taken in blocks of 8 consecutive rows. A block walks
// the union of its rows' L columns in ascending order; every row subtracts
// its multiple of U row m only when m is in its own L part, in the same
// order and with the same operations as the row-at-a-time routine, and is
// finished (pivot reciprocal, U row, forward-solve term) just before its own
// column comes up. Threads take the blocks in order, each the next one not
// yet taken, and wait only for a row of another block that is not yet
// finished; every row's operations are fixed, so the result does not depend
// on the thread count.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "yale/yale.h"

namespace yale_blocked {

// Instruction sets of the update kernel; `widest` is the widest the processor runs.
enum class isa { portable, avx2, avx512 };
bool runs_on_this_processor(isa set);
isa widest();

// The threads a caller gives the factorization (at least 1) and the kernel.
struct settings {
  int threads = 1;
  isa kernel = widest();
};

// Bytes of scratch that znnf_blocked needs for n equations on `threads`
// threads; with less it runs on fewer threads, and with too little for one
// it runs znnf itself (on row).
std::size_t scratch_bytes(int32_t n, int threads);

// znnf with the arguments of znnf, plus scratch storage (any alignment) and
// the settings. Reads the structure (n, r, c, ic, ia, ja, a, b, il, jl, iu,
// ju) only, so threads may share it; l, d, u, z, row, tmp and scratch must be
// the calling thread's own. The scratch is left all zeros (untouched when it
// is too small for one thread). On an exact zero pivot at row k the flag is
// 8n + k as for znnf; factor values of rows past k may then be written too.
void znnf_blocked(const int32_t* n, const int32_t* r, const int32_t* c, const int32_t* ic,
                  const int32_t* ia, const int32_t* ja, const yale_complex* a, yale_complex* z,
                  const yale_complex* b, const int32_t* il, const int32_t* jl, yale_complex* l,
                  const int32_t* lmax, yale_complex* d, const int32_t* iu, const int32_t* ju,
                  yale_complex* u, const int32_t* umax, yale_complex* row, yale_complex* tmp,
                  int32_t* flag, std::span<std::byte> scratch, const settings& s = {});

// znnf_blocked with the arguments of znnf alone: its scratch is the unused
// end of u's capacity from u(iu(n+1)) on, with one thread per core of the
// machine that it holds work rows for. This is the numeric factorization of
// zndrv.
void znnf_in_place(const int32_t* n, const int32_t* r, const int32_t* c, const int32_t* ic,
                   const int32_t* ia, const int32_t* ja, const yale_complex* a, yale_complex* z,
                   const yale_complex* b, const int32_t* il, const int32_t* jl, yale_complex* l,
                   const int32_t* lmax, yale_complex* d, const int32_t* iu, const int32_t* ju,
                   yale_complex* u, const int32_t* umax, yale_complex* row, yale_complex* tmp,
                   int32_t* flag);

}  // namespace yale_blocked
