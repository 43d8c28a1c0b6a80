// mdm: turns the chosen vertex vk into the element ek = vk, whose boundary
// list is every uneliminated vertex reachable from vk, each once.
#include "yale/one_based.h"
#include "yale/yale.h"

extern "C" void mdm(const int32_t* vk, int32_t* tail, int32_t* v_, int32_t* link_,
                    int32_t* last_, int32_t* next_, int32_t* mark_) {
  const one_based<int32_t> v(v_), link(link_), last(last_), next(next_), mark(mark_);
  const int32_t t = mark(*vk);
  *tail = *vk;

  for (int32_t s = link(*vk); s != 0;) {
    const int32_t after = link(s);  // read before the cell is relinked
    const int32_t x = v(s);
    if (next(x) >= 0) {
      // a direct neighbour: its cell joins the boundary list as it is
      mark(x) = t;
      link(*tail) = s;
      *tail = s;
    } else {
      // an active element: take over its vertices not yet reached
      int32_t b = x;
      for (int32_t m = 1; m <= last(x); ++m) {
        b = link(b);
        const int32_t y = v(b);
        if (mark(y) < t) {
          mark(y) = t;
          link(*tail) = b;
          *tail = b;
        }
      }
      mark(x) = t;  // absorbed into ek
    }
    s = after;
  }
  link(*tail) = 0;
}
