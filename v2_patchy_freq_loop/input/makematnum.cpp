#include <cstdint>

#include "input/input.h"

// The periodic numbering: each period of nl(1) + nl(2) rows is nl(1) rows
// of material 1 under nl(2) rows of material 2, from the bottom row up;
// rows above the last whole period are left as they are. nl(1) + nl(2)
// must be positive.
layer_geometry makematnum(int nx, int ny, const std::array<int, 2>& nl, double h,
                          cell_int& matnum) {
  // The period in 64 bits: nl(1) + nl(2) may exceed the int range.
  const std::int64_t period = std::int64_t{nl[0]} + nl[1];
  const int nper = static_cast<int>(ny / period);
  for (int p = 1; p <= nper; ++p) {
    for (int r = 1; r <= period; ++r) {  // nper >= 1: period <= ny
      const int k = static_cast<int>((p - 1) * period + r);
      for (int j = 1; j <= nx; ++j) matnum(j, k) = r <= nl[0] ? 1 : 2;
    }
  }
  return {nl, ny, h, nper, {nl[0] * h, nl[1] * h}};
}
