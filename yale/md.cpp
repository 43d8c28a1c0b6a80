// md: minimum-degree ordering of the graph of the strict upper triangle on
// the quotient (element) graph; on return last = p and next = ip.
#include "yale/one_based.h"
#include "yale/yale.h"

extern "C" void md(const int32_t* n, const int32_t* ia, const int32_t* ja, const int32_t* max,
                   int32_t* v_, int32_t* link_, int32_t* head_, int32_t* last_, int32_t* next_,
                   int32_t* mark_, int32_t* flag) {
  int32_t tag = 0;
  mdi(n, ia, ja, max, v_, link_, head_, last_, next_, mark_, &tag, flag);
  if (*flag != 0) return;

  const one_based<int32_t> head(head_), last(last_), next(next_), mark(mark_);
  const int32_t nn = *n;
  int32_t k = 0;  // equations eliminated so far
  int32_t dmin = 1;
  while (k < nn) {
    while (head(dmin) <= 0) dmin += 1;

    // the front vertex of the lowest non-empty degree list
    const int32_t vk = head(dmin);
    head(dmin) = next(vk);
    if (head(dmin) > 0) last(head(dmin)) = -dmin;

    k += 1;
    next(vk) = -k;
    const int32_t ek = vk;
    last(ek) = dmin - 1;
    tag += dmin - 1;
    mark(vk) = tag;

    int32_t tail = 0;
    mdm(&vk, &tail, v_, link_, last_, next_, mark_);
    mdp(&k, &ek, &tail, v_, link_, head_, last_, next_, mark_);
    mdu(&ek, &dmin, v_, link_, head_, last_, next_, mark_);
  }

  for (int32_t x = 1; x <= nn; ++x) {
    next(x) = -next(x);
    last(next(x)) = x;
  }
}
