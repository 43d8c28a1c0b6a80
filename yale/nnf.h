// Numeric LU factorization with a fused forward solve (nnf), solve with
// stored factors (nns) and transposed solve (nnt), written once for real
// (double) and complex (yale_complex) scalars. Complex products, sums and the
// pivot reciprocal are spelled out on the real and imaginary parts so that
// every variant performs exactly the same floating-point operations.
#pragma once

#include "yale/one_based.h"
#include "yale/yale.h"

namespace yale_numeric {

inline double mul(double x, double y) { return x * y; }
inline double sub(double x, double y) { return x - y; }
inline double add(double x, double y) { return x + y; }
inline double neg(double x) { return -x; }
inline bool is_zero(double x) { return x == 0.0; }
inline double reciprocal(double x) { return 1.0 / x; }

// (g, h)(e, f) = (g e - h f, g f + h e)
inline yale_complex mul(yale_complex x, yale_complex y) {
  return {x.real() * y.real() - x.imag() * y.imag(), x.real() * y.imag() + x.imag() * y.real()};
}
inline yale_complex sub(yale_complex x, yale_complex y) {
  return {x.real() - y.real(), x.imag() - y.imag()};
}
inline yale_complex add(yale_complex x, yale_complex y) {
  return {x.real() + y.real(), x.imag() + y.imag()};
}
inline yale_complex neg(yale_complex x) { return {-x.real(), -x.imag()}; }
inline bool is_zero(yale_complex x) { return x.real() == 0.0 && x.imag() == 0.0; }

// 1/x scaled by the larger part of x, so that no intermediate overflows.
inline yale_complex reciprocal(yale_complex x) {
  const double xr = x.real(), xi = x.imag();
  if ((xi < 0 ? -xi : xi) > (xr < 0 ? -xr : xr)) {
    const double t = xr / xi;
    const double e = xr * t + xi;
    return {t / e, -1.0 / e};
  }
  const double t = xi / xr;
  const double e = xr + xi * t;
  return {1.0 / e, -t / e};
}

// Back substitution U x = y, y in tmp, in the new order: tmp is overwritten
// by x, which also goes to z(c(k)).
template <class T, class U>
void back_substitution(int32_t n, one_based<const int32_t> c, one_based<const int32_t> iu,
                       one_based<const int32_t> ju, one_based<U> u, one_based<T> tmp,
                       one_based<T> z) {
  for (int32_t k = n; k >= 1; --k) {
    T s = tmp(k);
    for (int32_t q = iu(k); q < iu(k + 1); ++q) s = sub(s, mul(u(q), tmp(ju(q))));
    tmp(k) = s;
    z(c(k)) = s;
  }
}

// Factorizes M(k, m) = A(r(k), c(m)) = L U row by row in the dense work row,
// L carrying the diagonal (stored as reciprocals in d), U unit upper; solves
// L y = b on the way and U x = y after.
template <class T>
void nnf(const int32_t* n_, const int32_t* r_, const int32_t* c_, const int32_t* ic_,
         const int32_t* ia_, const int32_t* ja_, const T* a_, T* z_, const T* b_,
         const int32_t* il_, const int32_t* jl_, T* l_, const int32_t* lmax, T* d_,
         const int32_t* iu_, const int32_t* ju_, T* u_, const int32_t* umax, T* row_, T* tmp_,
         int32_t* flag) {
  const int32_t n = *n_;
  one_based<const int32_t> r(r_), c(c_), ic(ic_), ia(ia_), ja(ja_), il(il_), jl(jl_), iu(iu_),
      ju(ju_);
  one_based<const T> a(a_), b(b_);
  one_based<T> z(z_), l(l_), d(d_), u(u_), row(row_), tmp(tmp_);

  if (il(n + 1) - 1 > *lmax) {
    *flag = 4 * n + 1;
    return;
  }
  if (iu(n + 1) - 1 > *umax) {
    *flag = 7 * n + 1;
    return;
  }
  for (int32_t k = 1; k <= n; ++k) {
    for (int32_t p = il(k); p < il(k + 1); ++p) row(jl(p)) = T(0);
    row(k) = T(0);
    for (int32_t q = iu(k); q < iu(k + 1); ++q) row(ju(q)) = T(0);
    const int32_t i = r(k);
    for (int32_t j = ia(i); j < ia(i + 1); ++j) row(ic(ja(j))) = a(j);

    T s = b(i);
    for (int32_t p = il(k); p < il(k + 1); ++p) {
      const int32_t m = jl(p);
      l(p) = row(m);
      s = sub(s, mul(row(m), tmp(m)));
      // The row bound is read once: row and iu may share the caller's work
      // area, so the compiler would otherwise reload it after every store.
      const T minus_lkm = neg(row(m));
      const int32_t q_end = iu(m + 1);
      for (int32_t q = iu(m); q < q_end; ++q) {
        T& x = row(ju(q));
        x = add(x, mul(minus_lkm, u(q)));
      }
    }
    if (is_zero(row(k))) {
      *flag = 8 * n + k;
      return;
    }
    d(k) = reciprocal(row(k));
    tmp(k) = mul(s, d(k));
    for (int32_t q = iu(k); q < iu(k + 1); ++q) u(q) = mul(row(ju(q)), d(k));
  }
  back_substitution(n, c, iu, ju, u, tmp, z);
  *flag = 0;
}

// Solves A x = b with the factors of nnf: L y = b in the new order, then U x = y.
template <class T>
void nns(const int32_t* n_, const int32_t* r_, const int32_t* c_, const int32_t* il_,
         const int32_t* jl_, const T* l_, const T* d_, const int32_t* iu_, const int32_t* ju_,
         const T* u_, T* z_, const T* b_, T* tmp_) {
  const int32_t n = *n_;
  one_based<const int32_t> r(r_), c(c_), il(il_), jl(jl_), iu(iu_), ju(ju_);
  one_based<const T> l(l_), d(d_), u(u_), b(b_);
  one_based<T> z(z_), tmp(tmp_);

  for (int32_t k = 1; k <= n; ++k) {
    T s = b(r(k));
    for (int32_t p = il(k); p < il(k + 1); ++p) s = sub(s, mul(l(p), tmp(jl(p))));
    tmp(k) = mul(s, d(k));
  }
  back_substitution(n, c, iu, ju, u, tmp, z);
}

// Solves A^T x = b (plain transpose): U^T w = b(c(.)) then L^T y = w, both by
// column sweeps over the stored rows; x(r(k)) = y(k).
template <class T>
void nnt(const int32_t* n_, const int32_t* r_, const int32_t* c_, const int32_t* il_,
         const int32_t* jl_, const T* l_, const T* d_, const int32_t* iu_, const int32_t* ju_,
         const T* u_, T* z_, const T* b_, T* tmp_) {
  const int32_t n = *n_;
  one_based<const int32_t> r(r_), c(c_), il(il_), jl(jl_), iu(iu_), ju(ju_);
  one_based<const T> l(l_), d(d_), u(u_), b(b_);
  one_based<T> z(z_), tmp(tmp_);

  for (int32_t k = 1; k <= n; ++k) tmp(k) = b(c(k));
  for (int32_t k = 1; k <= n; ++k)
    for (int32_t q = iu(k); q < iu(k + 1); ++q) tmp(ju(q)) = sub(tmp(ju(q)), mul(u(q), tmp(k)));
  for (int32_t k = n; k >= 1; --k) {
    const T y = mul(tmp(k), d(k));
    for (int32_t p = il(k); p < il(k + 1); ++p) tmp(jl(p)) = sub(tmp(jl(p)), mul(l(p), y));
    z(r(k)) = y;
  }
}

}  // namespace yale_numeric
