#include "plane_waves/plane_waves.h"

// In-place inverse of the leading n x n block (n <= 5) of a 5 x 5
// column-major complex matrix by bordering: the inverse B of the leading
// (k-1) block grows to order k with v = B u, w = r B (u, r the new column
// and row), sigma = 1/(a_kk - r v). No pivoting.
void c_invert(int n, cplx* mat) {
  constexpr int ld = 5;
  auto M = [mat](int i, int j) -> cplx& { return mat[(i - 1) + ld * (j - 1)]; };
  cplx v[ld + 1];
  cplx w[ld + 1];

  M(1, 1) = 1.0 / M(1, 1);
  for (int k = 2; k <= n; ++k) {
    for (int i = 1; i < k; ++i) {
      v[i] = cplx(0.0, 0.0);
      for (int l = 1; l < k; ++l) v[i] = v[i] + M(i, l) * M(l, k);
    }
    cplx delta(0.0, 0.0);
    for (int i = 1; i < k; ++i) delta = delta + M(k, i) * v[i];

    const cplx sigma = 1.0 / (M(k, k) - delta);
    M(k, k) = sigma;
    for (int i = 1; i < k; ++i) M(i, k) = -v[i] * sigma;

    for (int i = 1; i < k; ++i) {
      w[i] = cplx(0.0, 0.0);
      for (int l = 1; l < k; ++l) w[i] = w[i] + M(k, l) * M(l, i);
    }
    for (int i = 1; i < k; ++i) M(k, i) = -w[i] * sigma;
    for (int l = 1; l < k; ++l)
      for (int i = 1; i < k; ++i) M(l, i) = M(l, i) - v[l] * M(k, i);
  }
}
