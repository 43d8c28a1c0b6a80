// The named nonsymmetric drivers: R integer words per scalar slot is 1 for s,
// 2 for d and c, 4 for z; each driver calls its own symbolic and numeric
// members.
#include "yale/ndrv.h"

#define YALE_DRIVER_ENTRY(P, T, R)                                                                \
  extern "C" void P##ndrv(const int32_t* n, const int32_t* r, const int32_t* c,                   \
                          const int32_t* ic, const int32_t* ia, const int32_t* ja, const T* a,    \
                          const T* b, T* z, const int32_t* nsp, int32_t* isp, T* rsp,             \
                          int32_t* esp, const int32_t* path, int32_t* flag) {                     \
    yale_driver::ndrv<T, R, P##nsf, P##nnf, P##nns, P##nnt>(n, r, c, ic, ia, ja, a, b, z, nsp,    \
                                                              isp, rsp, esp, path, flag);         \
  }

YALE_DRIVER_ENTRY(s, double, 1)
YALE_DRIVER_ENTRY(d, double, 2)
YALE_DRIVER_ENTRY(c, yale_complex, 2)
YALE_DRIVER_ENTRY(z, yale_complex, 4)
