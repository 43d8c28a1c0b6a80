/* The solver called from C: order, factorize and solve a 3 x 3 complex
 * system through the C header alone; exit status 0 when the solution is
 * right. */
#include <complex.h>
#include <math.h>
#include <stdio.h>

#include "yale/yale.h"

int main(void) {
  /* A = [[4, 1, 0], [1, 4i, 1], [0, 1, 4]], x = (1, i, 2), b = A x. */
  int32_t n = 3, ia[] = {1, 3, 6, 8}, ja[] = {1, 2, 1, 2, 3, 2, 3};
  yale_complex a[] = {4, 1, 1, 4 * I, 1, 1, 4};
  yale_complex x[] = {1, I, 2}, b[3], z[3];
  for (int i = 0; i < 3; ++i) {
    b[i] = 0;
    for (int p = ia[i] - 1; p < ia[i + 1] - 1; ++p) b[i] += a[p] * x[ja[p] - 1];
  }
  int32_t p[3], ip[3], isp[200], nsp = 200, path = 1, flag = -1, esp = 0;
  zodrv(&n, ia, ja, a, p, ip, &nsp, isp, &path, &flag);
  if (flag != 0) return 1;
  yale_complex rsp[50];
  int32_t zsp = 50;
  zndrv(&n, p, p, ip, ia, ja, a, b, z, &zsp, (int32_t*)rsp, rsp, &esp, &path, &flag);
  if (flag != 0) return 2;
  for (int i = 0; i < 3; ++i)
    if (cabs(z[i] - x[i]) > 1e-14) {
      printf("z(%d) = %g%+gi\n", i + 1, creal(z[i]), cimag(z[i]));
      return 3;
    }
  return 0;
}
