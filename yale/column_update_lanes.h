// The column update of column_update.h on the compiler's generic vectors of
// a given width: each including file compiles it for one instruction set,
// with vectors of that set's width (block_rows lanes take several of them).
// Everything here has internal linkage, so that no copy built for a wider
// instruction set can stand in for another.
#pragma once

#include "yale/column_update.h"

namespace {

typedef double f64x2 __attribute__((vector_size(16)));
typedef double f64x4 __attribute__((vector_size(32)));
typedef double f64x8 __attribute__((vector_size(64)));
typedef std::int64_t i64x2 __attribute__((vector_size(16)));
typedef std::int64_t i64x4 __attribute__((vector_size(32)));
typedef std::int64_t i64x8 __attribute__((vector_size(64)));

constexpr int W = yale_blocked::block_rows;

template <class V, class I, bool all_lanes>
void update_lanes(const yale_blocked::column_update& c) {
  constexpr int per = sizeof(V) / sizeof(double), parts = W / per;
  V mr[parts], mi[parts];
  I take[parts];
  __builtin_memcpy(mr, c.minus_l, sizeof mr);
  __builtin_memcpy(mi, c.minus_l + W, sizeof mi);
  __builtin_memcpy(take, c.mask, sizeof take);
  double* const work = c.work;
  const int32_t* const ju = c.ju;
  const double* const u = c.u;
  const int32_t count = c.count;
  for (int32_t q = 0; q < count; ++q) {
    V* x = reinterpret_cast<V*>(work + std::int64_t(ju[q] - 1) * (2 * W));
    const V ur = u[2 * q] - V{}, ui = u[2 * q + 1] - V{};  // in every lane; exact: x - (+0) = x
    for (int h = 0; h < parts; ++h) {
      const V pr = mr[h] * ur - mi[h] * ui;
      const V pi = mr[h] * ui + mi[h] * ur;
      V& xr = x[h];
      V& xi = x[parts + h];
      if constexpr (all_lanes) {
        xr = xr + pr;
        xi = xi + pi;
      } else {
        xr = take[h] ? xr + pr : xr;
        xi = take[h] ? xi + pi : xi;
      }
    }
  }
}

template <class V, class I>
void update(const yale_blocked::column_update& c) {
  if (c.all_lanes)
    update_lanes<V, I, true>(c);
  else
    update_lanes<V, I, false>(c);
}

}  // namespace
