// mdi: builds the adjacency lists of the graph of the strict upper triangle
// in the cell pool and puts every vertex in the degree list of its degree.
#include "yale/one_based.h"
#include "yale/yale.h"

extern "C" void mdi(const int32_t* n, const int32_t* ia, const int32_t* ja, const int32_t* max,
                    int32_t* v_, int32_t* link_, int32_t* head_, int32_t* last_, int32_t* next_,
                    int32_t* mark_, int32_t* tag, int32_t* flag) {
  const int32_t nn = *n;
  if (nn <= 0) return;
  const one_based<const int32_t> row(ia), col(ja);
  const one_based<int32_t> v(v_), link(link_), head(head_), last(last_), next(next_),
      mark(mark_);

  for (int32_t x = 1; x <= nn; ++x) {
    mark(x) = 1;  // running degree: the vertex itself
    link(x) = 0;
    head(x) = 0;
  }

  // Each edge {i, y}, i < y, takes two cells, each put at the front of a list.
  int32_t f = nn + 1;
  for (int32_t i = 1; i <= nn; ++i) {
    for (int32_t j = row(i); j <= row(i + 1) - 1; ++j) {
      const int32_t y = col(j);
      if (!(i < y)) continue;
      if (f >= *max) {
        *flag = 9 * nn + i;
        return;
      }
      mark(i) += 1;
      v(f) = y;
      link(f) = link(i);
      link(i) = f;
      mark(y) += 1;
      v(f + 1) = i;
      link(f + 1) = link(y);
      link(y) = f + 1;
      f += 2;
    }
  }

  for (int32_t x = 1; x <= nn; ++x) {
    const int32_t d = mark(x);
    next(x) = head(d);
    head(d) = x;
    last(x) = -d;
    if (next(x) > 0) last(next(x)) = x;
    mark(x) = *tag;
  }
}
