// The four scalar variants of the ordering driver, each with its own
// reordering routine.
#include "yale/odrv.h"

extern "C" {

void sodrv(const int32_t* n, int32_t* ia, int32_t* ja, double* a, int32_t* p, int32_t* ip,
           const int32_t* nsp, int32_t* isp, const int32_t* path, int32_t* flag) {
  odrv<double, ssro>(n, ia, ja, a, p, ip, nsp, isp, path, flag);
}

void dodrv(const int32_t* n, int32_t* ia, int32_t* ja, double* a, int32_t* p, int32_t* ip,
           const int32_t* nsp, int32_t* isp, const int32_t* path, int32_t* flag) {
  odrv<double, dsro>(n, ia, ja, a, p, ip, nsp, isp, path, flag);
}

void codrv(const int32_t* n, int32_t* ia, int32_t* ja, yale_complex* a, int32_t* p, int32_t* ip,
           const int32_t* nsp, int32_t* isp, const int32_t* path, int32_t* flag) {
  odrv<yale_complex, csro>(n, ia, ja, a, p, ip, nsp, isp, path, flag);
}

void zodrv(const int32_t* n, int32_t* ia, int32_t* ja, yale_complex* a, int32_t* p, int32_t* ip,
           const int32_t* nsp, int32_t* isp, const int32_t* path, int32_t* flag) {
  odrv<yale_complex, zsro>(n, ia, ja, a, p, ip, nsp, isp, path, flag);
}
}
