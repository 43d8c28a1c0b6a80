// mdp: purges the lists of the vertices of element ek, numbers the interior
// ones (mass elimination), finds prototypes and duplicates, and records ek
// at the front of each remaining vertex's list.
#include "yale/one_based.h"
#include "yale/yale.h"

extern "C" void mdp(int32_t* k, const int32_t* ek, int32_t* tail, int32_t* v_, int32_t* link_,
                    int32_t* head_, int32_t* last_, int32_t* next_, int32_t* mark_) {
  const one_based<int32_t> v(v_), link(link_), head(head_), last(last_), next(next_),
      mark(mark_);
  const int32_t t = mark(*ek);
  const int32_t count = last(*ek);

  int32_t li = *ek;
  for (int32_t rep = 1; rep <= count; ++rep) {
    const int32_t i = li;  // the cell before li in the boundary list
    li = link(i);
    const int32_t vi = v(li);

    // out of its degree list, if in one
    if (last(vi) != 0) {
      if (last(vi) > 0)
        next(last(vi)) = next(vi);
      else
        head(-last(vi)) = next(vi);
      if (next(vi) > 0) last(next(vi)) = last(vi);
    }

    // drop the items now covered by ek; keep the last dropped cell
    int32_t free_cell = 0;
    for (int32_t s = vi, c = link(s); c != 0; c = link(s)) {
      if (mark(v(c)) >= t) {
        link(s) = link(c);
        free_cell = c;
      } else {
        s = c;
      }
    }

    if (link(vi) == 0) {
      // interior to ek: eliminated with it
      link(i) = link(li);
      li = i;
      *k += 1;
      next(vi) = -*k;
      last(*ek) -= 1;
      continue;
    }

    const int32_t first = link(vi);
    const int32_t evi = v(first);
    if (link(first) == 0 && next(evi) < 0) {
      if (mark(evi) >= 0) {
        // prototype of evi: moved to the end of the boundary list
        last(vi) = evi;
        mark(evi) = -1;
        link(*tail) = li;
        *tail = li;
        link(i) = link(li);
        li = i;
      } else {
        // duplicate of the prototype of evi
        last(vi) = 0;
        mark(evi) -= 1;
      }
    } else {
      last(vi) = -*ek;  // degree to be recomputed
    }

    v(free_cell) = *ek;
    link(free_cell) = link(vi);
    link(vi) = free_cell;
  }
  link(*tail) = 0;
}
