// The named nonsymmetric drivers: R integer words per scalar slot is 1 for s,
// 2 for d and c, 4 for z; each driver calls its own symbolic and numeric
// members, except that zndrv factorizes with the row-blocked routine, whose
// results are those of znnf bit for bit.
#include "yale/ndrv.h"
#include "yale/nnf_blocked.h"

#define YALE_DRIVER_ENTRY(P, T, R, NNF)                                                           \
  extern "C" void P##ndrv(const int32_t* n, const int32_t* r, const int32_t* c,                   \
                          const int32_t* ic, const int32_t* ia, const int32_t* ja, const T* a,    \
                          const T* b, T* z, const int32_t* nsp, int32_t* isp, T* rsp,             \
                          int32_t* esp, const int32_t* path, int32_t* flag) {                     \
    yale_driver::ndrv<T, R, P##nsf, NNF, P##nns, P##nnt>(n, r, c, ic, ia, ja, a, b, z, nsp, isp,  \
                                                         rsp, esp, path, flag);                   \
  }

YALE_DRIVER_ENTRY(s, double, 1, snnf)
YALE_DRIVER_ENTRY(d, double, 2, dnnf)
YALE_DRIVER_ENTRY(c, yale_complex, 2, cnnf)
YALE_DRIVER_ENTRY(z, yale_complex, 4, yale_blocked::znnf_in_place)
