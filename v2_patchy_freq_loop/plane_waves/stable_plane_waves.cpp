#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "plane_waves/plane_waves.h"
#include "plane_waves/wave.h"

namespace {

// A symmetric 3 x 3 matrix in the coordinates of the longitudinal motion:
// c the common displacement of the two solids, w the fluid's relative
// displacement, r the displacement of solid 1 relative to solid 3
// (u1 = c + r, u3 = c). The friction does not act on c, so its terms never
// meet the inertia of c in a sum and the slow-frequency limit keeps every
// digit.
template <class T>
struct sym3 {
  T cc, cw, cr, ww, wr, rr;
};

// The cofactors of a symmetric 3 x 3 matrix, in the same layout.
template <class T>
sym3<T> cofactors(const sym3<T>& a) {
  return {a.ww * a.rr - a.wr * a.wr, a.cr * a.wr - a.cw * a.rr, a.cw * a.wr - a.cr * a.ww,
          a.cc * a.rr - a.cr * a.cr, a.cw * a.cr - a.cc * a.wr, a.cc * a.ww - a.cw * a.cw};
}

// The trace of the product of two symmetric 3 x 3 matrices.
template <class T, class U>
cplx trace_of_product(const sym3<T>& a, const sym3<U>& b) {
  return cplx(a.cc * b.cc + a.ww * b.ww + a.rr * b.rr) +
         cplx(2.0) * cplx(a.cw * b.cw + a.cr * b.cr + a.wr * b.wr);
}

// i f / omega: the friction term of an inertia-friction entry.
cplx friction(double f, double omega) { return cplx(0.0, f / omega); }

// Inertia-friction matrix of the longitudinal motion in the (c, w, r)
// coordinates: the density p11 + 2 p13 + p33 of the common motion and its
// couplings are free of friction.
sym3<cplx> longitudinal_inertia(const coefficients_of_cell& q, double omega) {
  return {q.p11 + 2.0 * q.p13 + q.p33,
          q.p12 + q.p23,
          q.p11 + q.p13,
          q.p22 - friction(q.f22, omega),
          q.p12 + friction(q.f12, omega),
          q.p11 - friction(q.f11, omega)};
}

// Elastic matrix of the longitudinal motion in the (c, w, r) coordinates;
// the cc entry is the undrained modulus of the common motion,
// lambda1 + 2 mu1 + lambda3 + 2 mu3 + 2 (d3 + mu13).
sym3<double> longitudinal_stiffness(const coefficients_of_cell& q) {
  const double e11 = q.lambda1 + 2.0 * q.mu1, e13 = q.mu13 + q.d3;
  const double e33 = q.lambda3 + 2.0 * q.mu3;
  return {e11 + 2.0 * e13 + e33, q.b1 + q.b2, e11 + e13, q.m, q.b1, e11};
}

// Coefficients k0 ... k3 of det(A - lambda E) = k0 + k1 lambda + k2 lambda^2
// + k3 lambda^3 for the inertia-friction matrix A and elastic matrix E.
std::array<cplx, 4> pencil_cubic(const sym3<cplx>& a, const sym3<double>& e) {
  const sym3<cplx> ca = cofactors(a);
  const sym3<double> ce = cofactors(e);
  const cplx det_a = a.cc * ca.cc + a.cw * ca.cw + a.cr * ca.cr;
  const double det_e = e.cc * ce.cc + e.cw * ce.cw + e.cr * ce.cr;
  return {det_a, -trace_of_product(ca, e), trace_of_product(ce, a), cplx(-det_e)};
}

// The polynomial k0 + k1 x + ... of degree N - 1 and its derivative at x.
template <std::size_t N>
std::pair<cplx, cplx> value_and_slope(const std::array<cplx, N>& k, cplx x) {
  cplx p = k[N - 1], dp(0.0);
  for (std::size_t i = N - 1; i-- > 0;) {
    dp = dp * x + p;
    p = p * x + k[i];
  }
  return {p, dp};
}

// Newton steps on the polynomial from x until a step no longer shrinks.
template <std::size_t N>
cplx polish(const std::array<cplx, N>& k, cplx x) {
  double last = std::numeric_limits<double>::infinity();
  for (int it = 0; it < 60; ++it) {
    const auto [p, dp] = value_and_slope(k, x);
    if (p == cplx(0.0) || dp == cplx(0.0)) break;
    const cplx step = p / dp;
    if (!(std::abs(step) < last)) break;
    last = std::abs(step);
    x -= step;
  }
  return x;
}

// The three squared slownesses of the compressional waves: Cardano's roots
// of the cubic, each polished by Newton steps on the same cubic.
std::array<cplx, 3> compressional_slownesses(const coefficients_of_cell& q, double omega) {
  const std::array<cplx, 4> k = pencil_cubic(longitudinal_inertia(q, omega),
                                             longitudinal_stiffness(q));
  std::array<cplx, 3> x;
  cubeq2(k[3], k[2], k[1], k[0], x[0], x[1], x[2]);
  for (cplx& r : x) r = polish(k, r);
  return x;
}

// The two squared slownesses of the shear waves. The fluid follows the
// transverse motion of the solids, so its row is eliminated from the
// inertia; in the coordinates (c, r) of the two transverse displacements
// the quadratic det(A - lambda E) is solved without cancellation (the
// larger root by the formula whose sum does not cancel, the smaller from
// the product of the roots), then polished.
std::array<cplx, 2> shear_slownesses(const coefficients_of_cell& q, double omega) {
  const sym3<cplx> a = longitudinal_inertia(q, omega);
  const cplx acc = a.cc - a.cw * a.cw / a.ww, acr = a.cr - a.cw * a.wr / a.ww,
             arr = a.rr - a.wr * a.wr / a.ww;
  const double ecc = q.mu1 + q.mu13 + q.mu3, ecr = q.mu1 + 0.5 * q.mu13, err = q.mu1;
  const std::array<cplx, 3> k = {acc * arr - acr * acr,
                                 -(acc * err + arr * ecc - 2.0 * acr * ecr),
                                 cplx(ecc * err - ecr * ecr)};
  cplx root = std::sqrt(k[1] * k[1] - 4.0 * k[2] * k[0]);
  if ((std::conj(k[1]) * root).real() < 0.0) root = -root;
  const cplx big = -(k[1] + root) / 2.0;
  return {polish(k, big / k[2]), polish(k, k[0] / big)};
}

}  // namespace

// The plane waves of one cell, compressional fastest first, from the same
// dispersion relations as veloc_aten, solved stably at any frequency.
wave_values stable_plane_waves(const coefficients_of_cell& q, double omega) {
  std::array<wave, 3> p;
  const std::array<cplx, 3> lp = compressional_slownesses(q, omega);
  std::transform(lp.begin(), lp.end(), p.begin(), from_squared_slowness);
  for (int pass = 0; pass < 2; ++pass)
    for (int i = 0; i < 2; ++i) order_pair(wave(p[i]), wave(p[i + 1]), p[i], p[i + 1]);
  const std::array<cplx, 2> ls = shear_slownesses(q, omega);
  wave s1, s2;
  order_pair(from_squared_slowness(ls[0]), from_squared_slowness(ls[1]), s1, s2);
  return {p[0].v, p[1].v, p[2].v, s1.v, s2.v, p[0].qinv, p[1].qinv, p[2].qinv, s1.qinv, s2.qinv};
}
