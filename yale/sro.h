// Symmetric reordering in place, for any element type of the values: each
// stored entry moves to the row of its two indices that comes first under
// ip, optionally with the diagonal entry first in its row.
#pragma once

#include <cstdint>
#include <utility>

#include "yale/one_based.h"

template <class T>
void sro(const int32_t* n, const int32_t* ip_, int32_t* ia_, int32_t* ja_, T* a_, int32_t* cnt_,
         int32_t* dest_, const int32_t* diag_first) {
  const int32_t nn = *n;
  const one_based<const int32_t> ip(ip_);
  const one_based<int32_t> ia(ia_), ja(ja_), cnt(cnt_), dest(dest_);
  const one_based<T> a(a_);

  for (int32_t i = 1; i <= nn; ++i) cnt(i) = 0;

  // new row dest(j) and new column ja(j) of every entry, counted per row
  for (int32_t i = 1; i <= nn; ++i) {
    for (int32_t j = ia(i); j <= ia(i + 1) - 1; ++j) {
      const int32_t k = ja(j);
      if (ip(k) < ip(i)) {
        ja(j) = i;
        dest(j) = k;
      } else {
        dest(j) = i;
      }
      cnt(dest(j)) += 1;
    }
  }

  // new row starts; cnt(i) becomes one past the end of new row i
  for (int32_t i = 1; i <= nn; ++i) {
    ia(i + 1) = ia(i) + cnt(i);
    cnt(i) = ia(i + 1);
  }

  const int32_t first = ia(1), end = ia(nn + 1) - 1;
  if (first > end) return;

  // target positions, each row filled from its end so entries keep their order
  int32_t ilast = 0;
  for (int32_t j = end; j >= first; --j) {
    const int32_t i = dest(j);
    if (*diag_first != 0 && ja(j) == i && i != ilast) {
      dest(j) = ia(i);
      ilast = i;
    } else {
      cnt(i) -= 1;
      dest(j) = cnt(i);
    }
  }

  // move the entries along the cycles of dest
  for (int32_t j = first; j <= end;) {
    if (dest(j) == j) {
      ++j;
      continue;
    }
    const int32_t k = dest(j);
    dest(j) = dest(k);
    dest(k) = k;
    std::swap(ja(j), ja(k));
    std::swap(a(j), a(k));
  }
}
