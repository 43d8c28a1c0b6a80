// One block of rows of the row-blocked factorization: every row performs the
// floating-point operations of nnf's row loop in their order; the block only
// shares the walk over the U rows between its rows.
#include "yale/block_factor.h"

#include <algorithm>
#include <thread>

#include "yale/nnf.h"

namespace yale_blocked {
namespace {

constexpr int32_t W = block_rows;

// The block's rows: row first + b in lane b of the work rows.
struct lanes {
  const factor_job& job;
  double* work;
  int32_t first, last;
  int32_t p[W], end[W];  // next and end position of each row's L part
  yale_complex s[W];     // forward-solve sums

  double& re(int32_t b, int32_t j) const { return work[std::int64_t(j - 1) * 2 * W + b]; }
  double& im(int32_t b, int32_t j) const { return work[std::int64_t(j - 1) * 2 * W + W + b]; }
  yale_complex get(int32_t b, int32_t j) const { return {re(b, j), im(b, j)}; }
  void set(int32_t b, int32_t j, yale_complex x) const {
    re(b, j) = x.real();
    im(b, j) = x.imag();
  }
};

// Lane b holds row k of M: zero on its structure, row r(k) of A scattered.
void load_row(lanes& w, int32_t b) {
  const factor_job& f = w.job;
  const int32_t k = w.first + b;
  for (int32_t p = f.il(k); p < f.il(k + 1); ++p) w.set(b, f.jl(p), 0.0);
  w.set(b, k, 0.0);
  for (int32_t q = f.iu(k); q < f.iu(k + 1); ++q) w.set(b, f.ju(q), 0.0);
  const int32_t i = f.r(k);
  for (int32_t j = f.ia(i); j < f.ia(i + 1); ++j) w.set(b, f.ic(f.ja(j)), f.a(j));
  w.s[b] = f.b(i);
  w.p[b] = f.il(k);
  w.end[b] = f.il(k + 1);
}

// Row first + b is eliminated: pivot reciprocal, forward-solve term, U row.
bool finish_row(const lanes& w, int32_t b) {
  using namespace yale_numeric;
  const factor_job& f = w.job;
  const int32_t k = w.first + b;
  const yale_complex pivot = w.get(b, k);
  if (is_zero(pivot)) {
    int32_t seen = f.zero_pivot->load();
    while (k < seen && !f.zero_pivot->compare_exchange_weak(seen, k)) {
    }
    return false;
  }
  f.d(k) = reciprocal(pivot);
  f.tmp(k) = mul(w.s[b], f.d(k));
  for (int32_t q = f.iu(k); q < f.iu(k + 1); ++q) f.u(q) = mul(w.get(b, f.ju(q)), f.d(k));
  f.done[k - 1].store(1, std::memory_order_release);
  return true;
}

// Waits until row m of another block is finished; false if it never will be.
bool wait_for(const factor_job& f, int32_t m) {
  for (int spin = 0; !f.done[m - 1].load(std::memory_order_acquire); ++spin) {
    if (f.zero_pivot->load() <= m) return false;
    if (spin > 64) std::this_thread::yield();
  }
  return true;
}

// The smallest L column not yet taken by any row of the block, n + 1 at the end.
int32_t next_column(const lanes& w) {
  int32_t m = w.job.n + 1;
  for (int32_t b = 0; b <= w.last - w.first; ++b)
    if (w.p[b] < w.end[b]) m = std::min(m, w.job.jl(w.p[b]));
  return m;
}

// Every row holding m in its L part stores L(k, m), takes its forward-solve
// term and subtracts L(k, m) times U row m.
void eliminate(lanes& w, int32_t m) {
  using namespace yale_numeric;
  const factor_job& f = w.job;
  alignas(64) double minus_l[2 * W] = {};
  alignas(64) std::int64_t mask[W] = {};
  int32_t taking = 0;
  for (int32_t b = 0; b <= w.last - w.first; ++b) {
    if (w.p[b] == w.end[b] || f.jl(w.p[b]) != m) continue;
    const yale_complex lkm = w.get(b, m);
    f.l(w.p[b]++) = lkm;
    w.s[b] = sub(w.s[b], mul(lkm, f.tmp(m)));
    minus_l[b] = neg(lkm).real();
    minus_l[W + b] = neg(lkm).imag();
    mask[b] = -1;
    ++taking;
  }
  const int32_t q0 = f.iu(m);
  f.kernel({w.work, f.ju.at(q0), reinterpret_cast<const double*>(f.u.at(q0)), f.iu(m + 1) - q0,
            minus_l, mask, taking == W});
}

}  // namespace

bool factor_block(const factor_job& job, int32_t first, double* work) {
  lanes w{job, work, first, std::min(first + W - 1, job.n), {}, {}, {}};
  for (int32_t b = 0; b <= w.last - first; ++b) load_row(w, b);
  int32_t next_row = first;
  for (int32_t m = next_column(w); m <= job.n; m = next_column(w)) {
    for (; next_row <= std::min(m, w.last); ++next_row)
      if (!finish_row(w, next_row - first)) return false;
    if (m < first && !wait_for(job, m)) return false;
    eliminate(w, m);
  }
  for (; next_row <= w.last; ++next_row)
    if (!finish_row(w, next_row - first)) return false;
  return true;
}

}  // namespace yale_blocked
