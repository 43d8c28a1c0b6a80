// The row-blocked factorization's entry points: the scratch layout, the
// threads taking the blocks in order, and the back substitution once every
// row is finished.
#include "yale/nnf_blocked.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <new>
#include <thread>
#include <vector>

#include "yale/block_factor.h"
#include "yale/nnf.h"

namespace yale_blocked {
namespace {

constexpr std::size_t line = 64;

std::size_t round_up(std::size_t bytes) { return (bytes + line - 1) / line * line; }
std::size_t work_bytes(int32_t n) { return round_up(sizeof(double) * 2 * block_rows * n); }

// A thread's share: the next block not yet taken, in order, until none is
// left or a zero pivot before it has been found.
void take_blocks(const factor_job& job, double* work) {
  std::fill(work, work + 2 * block_rows * std::size_t(job.n), 0.0);
  for (int64_t first = job.next_block->fetch_add(block_rows);
       first <= job.n && first <= job.zero_pivot->load();
       first = job.next_block->fetch_add(block_rows))
    if (!factor_block(job, int32_t(first), work)) return;
}

// Runs take_blocks on `threads` threads, the caller's included; fewer when
// the system refuses to start more (every block is still taken).
void run_threads(const factor_job& job, int threads, auto work) {
  std::vector<std::jthread> helpers;
  try {
    for (int t = 1; t < threads; ++t) helpers.emplace_back(take_blocks, std::cref(job), work(t));
  } catch (const std::exception&) {
  }
  take_blocks(job, work(0));
}

}  // namespace

std::size_t scratch_bytes(int32_t n, int threads) {
  return line + round_up(n) + std::size_t(std::max(threads, 1)) * work_bytes(n);
}

void znnf_blocked(const int32_t* n_, const int32_t* r, const int32_t* c, const int32_t* ic,
                  const int32_t* ia, const int32_t* ja, const yale_complex* a, yale_complex* z,
                  const yale_complex* b, const int32_t* il_, const int32_t* jl, yale_complex* l,
                  const int32_t* lmax, yale_complex* d, const int32_t* iu_, const int32_t* ju,
                  yale_complex* u, const int32_t* umax, yale_complex* row, yale_complex* tmp,
                  int32_t* flag, std::span<std::byte> scratch, const settings& s) {
  const int32_t n = *n_;
  one_based<const int32_t> il(il_), iu(iu_);
  // No more threads than blocks.
  int threads = int(std::clamp<int64_t>(s.threads, 1, (int64_t(n) + block_rows - 1) / block_rows));
  while (threads > 0 && scratch_bytes(n, threads) > scratch.size()) --threads;
  if (n <= 0 || threads == 0 || il(n + 1) - 1 > *lmax || iu(n + 1) - 1 > *umax) {
    yale_numeric::nnf(n_, r, c, ic, ia, ja, a, z, b, il_, jl, l, lmax, d, iu_, ju, u, umax, row,
                      tmp, flag);
    return;
  }
  void* area = scratch.data();
  std::size_t room = scratch.size();
  auto* base = static_cast<std::byte*>(std::align(line, room - line, area, room));
  auto* done = reinterpret_cast<std::atomic<unsigned char>*>(base);
  for (int32_t k = 0; k < n; ++k) new (done + k) std::atomic<unsigned char>(0);
  std::atomic<int32_t> zero_pivot(n + 1);
  std::atomic<int64_t> next_block(1);
  const factor_job job{n,
                       one_based(r),
                       one_based(ic),
                       one_based(ia),
                       one_based(ja),
                       il,
                       one_based(jl),
                       iu,
                       one_based(ju),
                       one_based(a),
                       one_based(b),
                       one_based(l),
                       one_based(d),
                       one_based(u),
                       one_based(tmp),
                       done,
                       &zero_pivot,
                       &next_block,
                       kernel_for(s.kernel)};
  auto work = [&](int t) {
    return reinterpret_cast<double*>(base + round_up(n) + std::size_t(t) * work_bytes(n));
  };
  run_threads(job, threads, work);
  // The scratch ends as zeros: its contents then depend neither on where it
  // lies nor on the thread count.
  std::fill(scratch.begin(), scratch.end(), std::byte(0));
  if (zero_pivot.load() <= n) {
    *flag = 8 * n + zero_pivot.load();
    return;
  }
  yale_numeric::back_substitution(n, one_based(c), iu, one_based(ju), one_based(u), one_based(tmp),
                                  one_based(z));
  *flag = 0;
}

void znnf_in_place(const int32_t* n, const int32_t* r, const int32_t* c, const int32_t* ic,
                   const int32_t* ia, const int32_t* ja, const yale_complex* a, yale_complex* z,
                   const yale_complex* b, const int32_t* il, const int32_t* jl, yale_complex* l,
                   const int32_t* lmax, yale_complex* d, const int32_t* iu, const int32_t* ju,
                   yale_complex* u, const int32_t* umax, yale_complex* row, yale_complex* tmp,
                   int32_t* flag) {
  const int cores = int(std::max(std::thread::hardware_concurrency(), 1u));
  const int32_t used = *n > 0 ? iu[*n] - 1 : 0;
  const std::size_t free_slots = *umax > used ? std::size_t(*umax - used) : 0;
  const std::span<std::byte> tail(
      reinterpret_cast<std::byte*>(u + used),
      std::min(free_slots * sizeof(yale_complex), scratch_bytes(*n, cores)));
  znnf_blocked(n, r, c, ic, ia, ja, a, z, b, il, jl, l, lmax, d, iu, ju, u, umax, row, tmp, flag,
               tail, {.threads = cores});
}

}  // namespace yale_blocked
