// Ordering driver for any element type: minimum-degree order p, ip and/or
// the symmetric reordering `reorder` of ia, ja, a, all inside isp(nsp).
#pragma once

#include <cstdint>

#include "yale/one_based.h"
#include "yale/yale.h"

template <class T>
using sro_routine = void (*)(const int32_t*, const int32_t*, int32_t*, int32_t*, T*, int32_t*,
                             int32_t*, const int32_t*);

template <class T, sro_routine<T> reorder>
void odrv(const int32_t* n, int32_t* ia_, int32_t* ja, T* a, int32_t* p, int32_t* ip,
          const int32_t* nsp, int32_t* isp_, const int32_t* path, int32_t* flag) {
  const int32_t nn = *n, pa = *path;
  const one_based<int32_t> ia(ia_), isp(isp_);
  *flag = 0;
  if (pa < 1 || pa > 5) {
    *flag = 11 * nn + 1;
    return;
  }

  if ((pa - 1) * (pa - 2) * (pa - 4) == 0) {
    // cell pool v, link of max cells each, then head; mark shares v(1..n)
    const int32_t max = (*nsp - nn) / 2;
    if (max < nn) {
      *flag = 10 * nn + 1;
      return;
    }
    md(n, ia_, ja, &max, isp.at(1), isp.at(max + 1), isp.at(2 * max + 1), p, ip, isp.at(1), flag);
    if (*flag != 0) return;
  }

  if ((pa - 2) * (pa - 3) * (pa - 4) * (pa - 5) == 0) {
    // cnt and dest at the top of isp
    const int32_t s = *nsp + 1 - nn - (ia(nn + 1) - 1);
    if (s < 1) {
      *flag = 10 * nn + 1;
      return;
    }
    const int32_t diag_first = (pa == 4 || pa == 5) ? 1 : 0;
    reorder(n, ip, ia_, ja, a, isp.at(*nsp + 1 - nn), isp.at(s), &diag_first);
  }
}
