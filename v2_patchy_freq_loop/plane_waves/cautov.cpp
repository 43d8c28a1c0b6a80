#include "plane_waves/plane_waves.h"

// Eigenvalues of a 3 x 3 complex matrix as the roots of its characteristic
// polynomial lambda^3 + b lambda^2 + c lambda + d.
void cautov(const cplx* mat, cplx& l1, cplx& l2, cplx& l3) {
  auto M = [mat](int i, int j) { return mat[(i - 1) + 3 * (j - 1)]; };

  const cplx a(1.0, 0.0);
  const cplx b = -(M(1, 1) + M(2, 2) + M(3, 3));
  const cplx c = M(1, 1) * M(3, 3) + M(1, 1) * M(2, 2) + M(2, 2) * M(3, 3) -
                 M(1, 2) * M(2, 1) - M(1, 3) * M(3, 1) - M(2, 3) * M(3, 2);
  const cplx d = -(M(1, 1) * (M(2, 2) * M(3, 3) - M(2, 3) * M(3, 2)) -
                   M(1, 2) * (M(2, 1) * M(3, 3) - M(2, 3) * M(3, 1)) +
                   M(1, 3) * (M(2, 1) * M(3, 2) - M(2, 2) * M(3, 1)));
  cubeq2(a, b, c, d, l1, l2, l3);
}
