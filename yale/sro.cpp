// The four scalar variants of the symmetric reordering.
#include "yale/sro.h"

#include "yale/yale.h"

extern "C" {

void ssro(const int32_t* n, const int32_t* ip, int32_t* ia, int32_t* ja, double* a, int32_t* cnt,
          int32_t* dest, const int32_t* diag_first) {
  sro(n, ip, ia, ja, a, cnt, dest, diag_first);
}

void dsro(const int32_t* n, const int32_t* ip, int32_t* ia, int32_t* ja, double* a, int32_t* cnt,
          int32_t* dest, const int32_t* diag_first) {
  sro(n, ip, ia, ja, a, cnt, dest, diag_first);
}

void csro(const int32_t* n, const int32_t* ip, int32_t* ia, int32_t* ja, yale_complex* a,
          int32_t* cnt, int32_t* dest, const int32_t* diag_first) {
  sro(n, ip, ia, ja, a, cnt, dest, diag_first);
}

void zsro(const int32_t* n, const int32_t* ip, int32_t* ia, int32_t* ja, yale_complex* a,
          int32_t* cnt, int32_t* dest, const int32_t* diag_first) {
  sro(n, ip, ia, ja, a, cnt, dest, diag_first);
}
}
