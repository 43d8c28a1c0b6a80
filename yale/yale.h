/* Sparse direct solver for square matrices in Yale row storage:
 * minimum-degree ordering, symmetric reordering, symbolic and numeric LU
 * factorization without pivoting, forward, back and transposed solves.
 *
 * Every routine has C linkage and takes every argument by pointer, so it can
 * be called from C, Fortran and Python. Indices are 1-based 32-bit integers.
 * Four scalar variants: s and d on 8-byte reals, c and z on complex values
 * with 8-byte parts (laid out as C's double _Complex). The routines never
 * print, allocate or keep state; errors come back through `flag`. */
#ifndef YALE_YALE_H
#define YALE_YALE_H

#ifdef __cplusplus
#include <complex>
#include <cstdint>
typedef std::complex<double> yale_complex;
extern "C" {
#else
#include <complex.h>
#include <stdint.h>
typedef double _Complex yale_complex;
#endif

/* Ordering drivers: minimum-degree order p, ip (paths 1, 2, 4) and/or the
 * symmetric reordering of ia, ja, a (paths 2 to 5), in isp(nsp). */
void sodrv(const int32_t* n, int32_t* ia, int32_t* ja, double* a, int32_t* p, int32_t* ip,
           const int32_t* nsp, int32_t* isp, const int32_t* path, int32_t* flag);
void dodrv(const int32_t* n, int32_t* ia, int32_t* ja, double* a, int32_t* p, int32_t* ip,
           const int32_t* nsp, int32_t* isp, const int32_t* path, int32_t* flag);
void codrv(const int32_t* n, int32_t* ia, int32_t* ja, yale_complex* a, int32_t* p, int32_t* ip,
           const int32_t* nsp, int32_t* isp, const int32_t* path, int32_t* flag);
void zodrv(const int32_t* n, int32_t* ia, int32_t* ja, yale_complex* a, int32_t* p, int32_t* ip,
           const int32_t* nsp, int32_t* isp, const int32_t* path, int32_t* flag);

/* Symmetric reordering in place: each entry moves to the row of its two
 * indices that comes first under ip; diag_first puts the diagonal first. */
void ssro(const int32_t* n, const int32_t* ip, int32_t* ia, int32_t* ja, double* a, int32_t* cnt,
          int32_t* dest, const int32_t* diag_first);
void dsro(const int32_t* n, const int32_t* ip, int32_t* ia, int32_t* ja, double* a, int32_t* cnt,
          int32_t* dest, const int32_t* diag_first);
void csro(const int32_t* n, const int32_t* ip, int32_t* ia, int32_t* ja, yale_complex* a,
          int32_t* cnt, int32_t* dest, const int32_t* diag_first);
void zsro(const int32_t* n, const int32_t* ip, int32_t* ia, int32_t* ja, yale_complex* a,
          int32_t* cnt, int32_t* dest, const int32_t* diag_first);

/* Minimum-degree ordering on the quotient graph of the strict upper
 * triangle; shared by the four variants. */
void md(const int32_t* n, const int32_t* ia, const int32_t* ja, const int32_t* max, int32_t* v,
        int32_t* link, int32_t* head, int32_t* last, int32_t* next, int32_t* mark, int32_t* flag);
void mdi(const int32_t* n, const int32_t* ia, const int32_t* ja, const int32_t* max, int32_t* v,
         int32_t* link, int32_t* head, int32_t* last, int32_t* next, int32_t* mark, int32_t* tag,
         int32_t* flag);
void mdm(const int32_t* vk, int32_t* tail, int32_t* v, int32_t* link, int32_t* last,
         int32_t* next, int32_t* mark);
void mdp(int32_t* k, const int32_t* ek, int32_t* tail, int32_t* v, int32_t* link, int32_t* head,
         int32_t* last, int32_t* next, int32_t* mark);
void mdu(const int32_t* ek, int32_t* dmin, int32_t* v, int32_t* link, int32_t* head,
         int32_t* last, int32_t* next, int32_t* mark);

/* Nonsymmetric drivers: solve A x = b (or A^T x = b) with rows taken in the
 * order r and columns in the order c; paths 1 to 5 select the work. The work
 * area holds nsp scalar slots of R = 1 (s), 2 (d, c) or 4 (z) integer words,
 * indexed in 32 bits: nsp is at most 2147483646 for s, 1073741823 for d and c,
 * 536870911 for z. */
void sndrv(const int32_t* n, const int32_t* r, const int32_t* c, const int32_t* ic,
           const int32_t* ia, const int32_t* ja, const double* a, const double* b, double* z,
           const int32_t* nsp, int32_t* isp, double* rsp, int32_t* esp, const int32_t* path,
           int32_t* flag);
void dndrv(const int32_t* n, const int32_t* r, const int32_t* c, const int32_t* ic,
           const int32_t* ia, const int32_t* ja, const double* a, const double* b, double* z,
           const int32_t* nsp, int32_t* isp, double* rsp, int32_t* esp, const int32_t* path,
           int32_t* flag);
void cndrv(const int32_t* n, const int32_t* r, const int32_t* c, const int32_t* ic,
           const int32_t* ia, const int32_t* ja, const yale_complex* a, const yale_complex* b,
           yale_complex* z, const int32_t* nsp, int32_t* isp, yale_complex* rsp, int32_t* esp,
           const int32_t* path, int32_t* flag);
void zndrv(const int32_t* n, const int32_t* r, const int32_t* c, const int32_t* ic,
           const int32_t* ia, const int32_t* ja, const yale_complex* a, const yale_complex* b,
           yale_complex* z, const int32_t* nsp, int32_t* isp, yale_complex* rsp, int32_t* esp,
           const int32_t* path, int32_t* flag);

/* Symbolic factorization: structures il, jl of L and iu, ju of U; the same
 * integer routine under the four variant names. */
#define YALE_SYMBOLIC(P)                                                                         \
  void P##nsf(const int32_t* n, const int32_t* r, const int32_t* ic, const int32_t* ia,          \
              const int32_t* ja, int32_t* il, int32_t* jl, const int32_t* jlmax, int32_t* iu,   \
              int32_t* ju, const int32_t* jumax, int32_t* list, int32_t* ulast, int32_t* flag);
YALE_SYMBOLIC(s)
YALE_SYMBOLIC(d)
YALE_SYMBOLIC(c)
YALE_SYMBOLIC(z)
#undef YALE_SYMBOLIC

/* Numeric factorization with the solve of one right-hand side (nnf), solve
 * with stored factors (nns) and transposed solve (nnt). */
#define YALE_NUMERIC(P, T)                                                                       \
  void P##nnf(const int32_t* n, const int32_t* r, const int32_t* c, const int32_t* ic,           \
              const int32_t* ia, const int32_t* ja, const T* a, T* z, const T* b,               \
              const int32_t* il, const int32_t* jl, T* l, const int32_t* lmax, T* d,            \
              const int32_t* iu, const int32_t* ju, T* u, const int32_t* umax, T* row, T* tmp,  \
              int32_t* flag);                                                                    \
  void P##nns(const int32_t* n, const int32_t* r, const int32_t* c, const int32_t* il,           \
              const int32_t* jl, const T* l, const T* d, const int32_t* iu, const int32_t* ju,   \
              const T* u, T* z, const T* b, T* tmp);                                             \
  void P##nnt(const int32_t* n, const int32_t* r, const int32_t* c, const int32_t* il,           \
              const int32_t* jl, const T* l, const T* d, const int32_t* iu, const int32_t* ju,   \
              const T* u, T* z, const T* b, T* tmp);
YALE_NUMERIC(s, double)
YALE_NUMERIC(d, double)
YALE_NUMERIC(c, yale_complex)
YALE_NUMERIC(z, yale_complex)
#undef YALE_NUMERIC

#ifdef __cplusplus
}
#endif

#endif
