// The nonsymmetric driver, written once for the four scalar variants: it
// divides the caller's single work area between the integer structure of the
// factors (isp, 32-bit words from the bottom) and their scalar values (rsp,
// slots of R words from the first whole slot past the integers, with the two
// work vectors at the top), then runs the symbolic step, the numeric
// factorization and/or one of the solves selected by `path`.
//
// All index arithmetic is 32-bit, so the area may hold at most
// R*nsp + 1 < 2^31 words: nsp <= (2^31 - 2)/R, that is 2,147,483,646 slots
// for s (R = 1), 1,073,741,823 for d and c (R = 2) and 536,870,911 for z
// (R = 4). A larger (or a negative) nsp is refused with flag 10n+1.
#pragma once

#include <cstdint>
#include <limits>

#include "yale/one_based.h"
#include "yale/yale.h"

namespace yale_driver {

template <int32_t R>
constexpr int32_t max_nsp = (std::numeric_limits<int32_t>::max() - 1) / R;

// isp and rsp are the same storage seen as integers and as scalars.
template <class T, int32_t R, auto nsf, auto nnf, auto nns, auto nnt>
void ndrv(const int32_t* n_, const int32_t* r, const int32_t* c, const int32_t* ic,
          const int32_t* ia, const int32_t* ja, const T* a, const T* b, T* z, const int32_t* nsp_,
          int32_t* isp_, T* rsp_, int32_t* esp, const int32_t* path_, int32_t* flag) {
  const int32_t n = *n_, nsp = *nsp_, path = *path_;
  one_based<int32_t> isp(isp_);
  one_based<T> rsp(rsp_);

  if (path < 1 || path > 5) {
    *flag = 11 * n + 1;
    return;
  }
  if (nsp < 0 || nsp > max_nsp<R>) {
    *flag = 10 * n + 1;
    return;
  }
  int32_t* il_ = isp.at(1);
  int32_t* iu_ = isp.at(n + 2);
  int32_t* jl_ = isp.at(2 * n + 3);
  one_based<const int32_t> il(il_), iu(iu_);

  if (path == 1 || path == 5) {
    // L's structure gets half the free words; list, ulast and a provisional
    // ju (all the rest, up to the last word) follow.
    const int32_t avail = R * nsp - 4 * n - 3;
    const int32_t jlmax = avail / 2;
    const int32_t list = 2 * n + 3 + jlmax;
    const int32_t ulast = list + n + 1;
    const int32_t ju = ulast + n;
    const int32_t jumax = R * nsp + 1 - ju;
    *esp = avail / R;
    if (jlmax <= 0 || jumax <= 0) {
      *flag = 10 * n + 1;
      return;
    }
    nsf(n_, r, ic, ia, ja, il_, jl_, &jlmax, iu_, isp.at(ju), &jumax, isp.at(list), isp.at(ulast),
        flag);
    if (*flag != 0) return;
    // Compact U's structure down behind L's (the target lies below the source).
    const int32_t used_ju = 2 * n + 3 + (il(n + 1) - 1);
    for (int32_t p = 0; p < iu(n + 1) - 1; ++p) isp(used_ju + p) = isp(ju + p);
  }

  const int32_t jlmax = il(n + 1) - 1;
  const int32_t ju = 2 * n + 3 + jlmax;
  const int32_t jumax = iu(n + 1) - 1;
  const int32_t l0 = (ju + jumax - 2 + R) / R + 1;  // first slot wholly past isp(ju + jumax - 1)
  const int32_t lmax = jlmax;
  const int32_t d0 = l0 + lmax;
  const int32_t u0 = d0 + n;
  const int32_t tmp0 = nsp + 1 - 2 * n;
  const int32_t row0 = nsp + 1 - n;
  const int32_t umax = tmp0 - u0;
  *esp = umax - jumax;

  if (path == 1 || path == 2) {
    if (umax <= 0) {
      *flag = 10 * n + 1;
      return;
    }
    nnf(n_, r, c, ic, ia, ja, a, z, b, il_, jl_, rsp.at(l0), &lmax, rsp.at(d0), iu_, isp.at(ju),
        rsp.at(u0), &umax, rsp.at(row0), rsp.at(tmp0), flag);
  } else if (path == 3) {
    nns(n_, r, c, il_, jl_, rsp.at(l0), rsp.at(d0), iu_, isp.at(ju), rsp.at(u0), z, b,
        rsp.at(tmp0));
  } else if (path == 4) {
    nnt(n_, r, c, il_, jl_, rsp.at(l0), rsp.at(d0), iu_, isp.at(ju), rsp.at(u0), z, b,
        rsp.at(tmp0));
  }
}

}  // namespace yale_driver
