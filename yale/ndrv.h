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

// The symbolic step's room in an area of nsp slots (paths 1 and 5): L's
// structure gets half the free words, then come list, ulast and a
// provisional U structure up to the last word; esp is the free words in
// slots. No room at all when jlmax or jumax is not positive.
struct symbolic_room {
  int32_t jlmax, list, ulast, ju, jumax, esp;
};
template <int32_t R>
constexpr symbolic_room symbolic_room_in(int32_t n, int32_t nsp) {
  const int32_t avail = R * nsp - 4 * n - 3;
  const int32_t jlmax = avail / 2;
  const int32_t list = 2 * n + 3 + jlmax;
  const int32_t ulast = list + n + 1;
  const int32_t ju = ulast + n;
  return {jlmax, list, ulast, ju, R * nsp + 1 - ju, avail / R};
}

// Where the factors of nl entries of L and nu of U lie in an area of nsp
// slots: U's structure from word ju behind L's, the values from slot l0 (L,
// then D, then U), the two work vectors at the top; esp is the slots U's
// values have to spare (negative when they do not fit).
struct factor_layout {
  int32_t ju, l0, d0, u0, tmp0, row0, umax, esp;
};
template <int32_t R>
constexpr factor_layout factor_layout_in(int32_t n, int32_t nsp, int32_t nl, int32_t nu) {
  const int32_t ju = 2 * n + 3 + nl;
  const int32_t l0 = (ju + nu - 2 + R) / R + 1;  // first slot wholly past isp(ju + nu - 1)
  const int32_t d0 = l0 + nl;
  const int32_t u0 = d0 + n;
  const int32_t tmp0 = nsp + 1 - 2 * n;
  const int32_t umax = tmp0 - u0;
  return {ju, l0, d0, u0, tmp0, nsp + 1 - n, umax, umax - nu};
}

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
    const symbolic_room room = symbolic_room_in<R>(n, nsp);
    *esp = room.esp;
    if (room.jlmax <= 0 || room.jumax <= 0) {
      *flag = 10 * n + 1;
      return;
    }
    nsf(n_, r, ic, ia, ja, il_, jl_, &room.jlmax, iu_, isp.at(room.ju), &room.jumax,
        isp.at(room.list), isp.at(room.ulast), flag);
    if (*flag != 0) return;
    // Compact U's structure down behind L's (the target lies below the source).
    const int32_t used_ju = 2 * n + 3 + (il(n + 1) - 1);
    for (int32_t p = 0; p < iu(n + 1) - 1; ++p) isp(used_ju + p) = isp(room.ju + p);
  }

  const int32_t lmax = il(n + 1) - 1;
  const int32_t jumax = iu(n + 1) - 1;
  const factor_layout at = factor_layout_in<R>(n, nsp, lmax, jumax);
  const int32_t umax = at.umax;
  *esp = at.esp;

  if (path == 1 || path == 2) {
    if (umax <= 0) {
      *flag = 10 * n + 1;
      return;
    }
    nnf(n_, r, c, ic, ia, ja, a, z, b, il_, jl_, rsp.at(at.l0), &lmax, rsp.at(at.d0), iu_,
        isp.at(at.ju), rsp.at(at.u0), &umax, rsp.at(at.row0), rsp.at(at.tmp0), flag);
  } else if (path == 3) {
    nns(n_, r, c, il_, jl_, rsp.at(at.l0), rsp.at(at.d0), iu_, isp.at(at.ju), rsp.at(at.u0), z,
        b, rsp.at(at.tmp0));
  } else if (path == 4) {
    nnt(n_, r, c, il_, jl_, rsp.at(at.l0), rsp.at(at.d0), iu_, isp.at(at.ju), rsp.at(at.u0), z,
        b, rsp.at(at.tmp0));
  }
}

}  // namespace yale_driver
