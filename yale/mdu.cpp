// mdu: recomputes the degrees of the vertices of element ek and puts them
// back at the front of their degree lists; lowers dmin if needed.
#include "yale/one_based.h"
#include "yale/yale.h"

extern "C" void mdu(const int32_t* ek, int32_t* dmin, int32_t* v_, int32_t* link_,
                    int32_t* head_, int32_t* last_, int32_t* next_, int32_t* mark_) {
  const one_based<int32_t> v(v_), link(link_), head(head_), last(last_), next(next_),
      mark(mark_);
  const int32_t count = last(*ek);
  if (count <= 0) return;
  int32_t t = mark(*ek) - count;

  const auto insert = [&](int32_t vi, int32_t d) {
    next(vi) = head(d);
    head(d) = vi;
    last(vi) = -d;
    if (next(vi) > 0) last(next(vi)) = vi;
    if (d < *dmin) *dmin = d;
  };

  int32_t i = *ek;
  for (int32_t rep = 1; rep <= count; ++rep) {
    i = link(i);
    const int32_t vi = v(i);

    if (last(vi) > 0) {
      // prototype: |ek| + |evi| - overlap, the overlap being -mark(evi)
      const int32_t evi = last(vi);
      const int32_t d = last(*ek) + last(evi) + mark(evi);
      mark(evi) = 0;
      insert(vi, d);
      continue;
    }
    if (last(vi) == 0) continue;  // duplicate: stays out of the lists

    t += 1;
    int32_t d = last(*ek);
    bool outmatched = false;
    for (int32_t s = link(link(vi)); s != 0; s = link(s)) {  // past ek, the first item
      const int32_t x = v(s);
      if (next(x) >= 0) {
        mark(x) = t;  // direct neighbour
        d += 1;
      } else if (mark(x) < 0) {
        // shares the other element of a prototype: cannot beat the prototype
        last(vi) = 0;
        mark(x) -= 1;
        for (int32_t r = link(s); r != 0; r = link(r))
          if (mark(v(r)) < 0) mark(v(r)) -= 1;
        outmatched = true;
        break;
      } else {
        int32_t b = x;
        for (int32_t m = 1; m <= last(x); ++m) {
          b = link(b);
          const int32_t y = v(b);
          if (mark(y) < t) {
            mark(y) = t;
            d += 1;
          }
        }
      }
    }
    if (!outmatched) insert(vi, d);
  }
}
