// Insert-or-add of one value into the row storage, keeping every row sorted.
#include "fem/fem.h"
#include "yale/one_based.h"

// Adds v to entry (r, c); a new entry goes to its sorted place in row r and
// every stored entry behind it moves up one place.
void contribucion_yale(std::int32_t c, std::int32_t r, cplx v, std::int32_t n, std::int32_t* ia,
                       std::int32_t* ja, cplx* avec) {
  const one_based<std::int32_t> row_start(ia), col(ja);
  const one_based<cplx> val(avec);
  const std::int32_t s = row_start(r), e = row_start(r + 1);
  for (std::int32_t p = s; p < e; ++p) {
    if (col(p) == c) {
      val(p) += v;
      return;
    }
  }
  std::int32_t below = 0;
  for (std::int32_t p = s; p < e; ++p) {
    if (col(p) < c) ++below;
  }
  const std::int32_t q = s + below;
  for (std::int32_t p = row_start(n + 1) - 1; p >= q; --p) {
    val(p + 1) = val(p);
    col(p + 1) = col(p);
  }
  col(q) = c;
  val(q) = v;
  for (std::int32_t i = r + 1; i <= n + 1; ++i) ++row_start(i);
}
