// The named numeric factorization and solve routines of the four scalar
// variants: s and d on reals, c and z on complex values, all with 8-byte parts.
#include "yale/nnf.h"

#define YALE_NUMERIC_ENTRIES(P, T)                                                               \
  extern "C" void P##nnf(const int32_t* n, const int32_t* r, const int32_t* c, const int32_t* ic, \
                         const int32_t* ia, const int32_t* ja, const T* a, T* z, const T* b,      \
                         const int32_t* il, const int32_t* jl, T* l, const int32_t* lmax, T* d,   \
                         const int32_t* iu, const int32_t* ju, T* u, const int32_t* umax, T* row, \
                         T* tmp, int32_t* flag) {                                                 \
    yale_numeric::nnf<T>(n, r, c, ic, ia, ja, a, z, b, il, jl, l, lmax, d, iu, ju, u, umax, row,  \
                         tmp, flag);                                                              \
  }                                                                                               \
  extern "C" void P##nns(const int32_t* n, const int32_t* r, const int32_t* c, const int32_t* il, \
                         const int32_t* jl, const T* l, const T* d, const int32_t* iu,            \
                         const int32_t* ju, const T* u, T* z, const T* b, T* tmp) {               \
    yale_numeric::nns<T>(n, r, c, il, jl, l, d, iu, ju, u, z, b, tmp);                            \
  }                                                                                               \
  extern "C" void P##nnt(const int32_t* n, const int32_t* r, const int32_t* c, const int32_t* il, \
                         const int32_t* jl, const T* l, const T* d, const int32_t* iu,            \
                         const int32_t* ju, const T* u, T* z, const T* b, T* tmp) {               \
    yale_numeric::nnt<T>(n, r, c, il, jl, l, d, iu, ju, u, z, b, tmp);                            \
  }

YALE_NUMERIC_ENTRIES(s, double)
YALE_NUMERIC_ENTRIES(d, double)
YALE_NUMERIC_ENTRIES(c, yale_complex)
YALE_NUMERIC_ENTRIES(z, yale_complex)
