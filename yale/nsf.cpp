// Symbolic LU factorization: the structures of L and U of the matrix whose
// row k is row r(k) of A and whose column m is column c(m) = ic^-1(m) of A.
#include "yale/one_based.h"
#include "yale/yale.h"

namespace {

// Links y into the sorted list after searching forward from `from`; returns
// false when y is already there.
bool link_sorted(one_based<int32_t> list, int32_t from, int32_t y) {
  int32_t prev = from;
  int32_t cur = list(prev);
  while (cur < y) {
    prev = cur;
    cur = list(cur);
  }
  if (cur == y) return false;
  list(prev) = y;
  list(y) = cur;
  return true;
}

}  // namespace

// Row by row: sort the columns of row r(k) into a linked list, walk it, and
// for every column m < k (an entry of L) merge the still relevant part of U
// row m (up to its column k, the `ulast` pruning) so fill of fill is found;
// the columns past k form U row k.
extern "C" void znsf(const int32_t* n_, const int32_t* r_, const int32_t* ic_, const int32_t* ia_,
                     const int32_t* ja_, int32_t* il_, int32_t* jl_, const int32_t* jlmax_,
                     int32_t* iu_, int32_t* ju_, const int32_t* jumax_, int32_t* list_,
                     int32_t* ulast_, int32_t* flag) {
  const int32_t n = *n_, jlmax = *jlmax_, jumax = *jumax_;
  one_based<const int32_t> r(r_), ic(ic_), ia(ia_), ja(ja_);
  one_based<int32_t> il(il_), jl(jl_), iu(iu_), ju(ju_), list(list_), ulast(ulast_);
  const int32_t head = n + 1;  // list(head) is the first element; any value > n ends it

  il(1) = 1;
  iu(1) = 1;
  int32_t lfill = 0, ufill = 0;
  if (n <= 0) {
    *flag = 0;
    return;
  }
  for (int32_t k = 1; k <= n; ++k) {
    list(head) = head;
    const int32_t i = r(k);
    if (ia(i) > ia(i + 1) - 1) {
      *flag = n + i;  // empty row
      return;
    }
    for (int32_t j = ia(i); j <= ia(i + 1) - 1; ++j) {
      if (!link_sorted(list, head, ic(ja(j)))) {
        *flag = 2 * n + i;  // duplicate column
        return;
      }
    }
    int32_t m = list(head);
    for (; m < k; m = list(m)) {
      if (++lfill > jlmax) {
        *flag = 3 * n + k;
        return;
      }
      jl(lfill) = m;
      const int32_t end = ulast(m);
      int32_t from = m;
      for (int32_t p = iu(m); p <= end; ++p) {
        const int32_t y = ju(p);
        if (y == k) ulast(m) = p;
        link_sorted(list, from, y);
        from = y;
      }
    }
    if (m != k) {
      *flag = 5 * n + k;  // structurally zero pivot
      return;
    }
    for (m = list(k); m <= n; m = list(m)) {
      if (++ufill > jumax) {
        *flag = 6 * n + k;
        return;
      }
      ju(ufill) = m;
    }
    ulast(k) = ufill;
    il(k + 1) = lfill + 1;
    iu(k + 1) = ufill + 1;
  }
  *flag = 0;
}

// The s, d and c variants share the integer routine.
#define YALE_SYMBOLIC_ENTRY(P)                                                                    \
  extern "C" void P##nsf(const int32_t* n, const int32_t* r, const int32_t* ic, const int32_t* ia, \
                         const int32_t* ja, int32_t* il, int32_t* jl, const int32_t* jlmax,       \
                         int32_t* iu, int32_t* ju, const int32_t* jumax, int32_t* list,           \
                         int32_t* ulast, int32_t* flag) {                                         \
    znsf(n, r, ic, ia, ja, il, jl, jlmax, iu, ju, jumax, list, ulast, flag);                      \
  }

YALE_SYMBOLIC_ENTRY(s)
YALE_SYMBOLIC_ENTRY(d)
YALE_SYMBOLIC_ENTRY(c)
