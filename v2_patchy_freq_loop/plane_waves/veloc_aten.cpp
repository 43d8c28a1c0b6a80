#include <cmath>

#include "plane_waves/plane_waves.h"
#include "plane_waves/velocity_checks.h"
#include "plane_waves/wave.h"

namespace {

// Entry (i, j), 1-based, of a 5 x 5 column-major matrix.
cplx& at5(cplx* mat, int i, int j) { return mat[(i - 1) + 5 * (j - 1)]; }

// Elastic matrix E of the five amplitudes (solid-1 longitudinal and
// transverse, fluid relative, solid-3 longitudinal and transverse).
void elastic_matrix(const coefficients_of_cell& c, cplx* e) {
  for (int x = 0; x < 25; ++x) e[x] = cplx(0.0, 0.0);
  at5(e, 1, 1) = c.lambda1 + 2.0 * c.mu1;
  at5(e, 1, 3) = at5(e, 3, 1) = c.b1;
  at5(e, 1, 4) = at5(e, 4, 1) = c.mu13 + c.d3;
  at5(e, 3, 3) = c.m;
  at5(e, 3, 4) = at5(e, 4, 3) = c.b2;
  at5(e, 4, 4) = c.lambda3 + 2.0 * c.mu3;
  at5(e, 2, 2) = c.mu1;
  at5(e, 2, 5) = at5(e, 5, 2) = 0.5 * c.mu13;
  at5(e, 5, 5) = c.mu3;
}

// Inertia-friction matrix A at angular frequency omega; the shear entries
// have the fluid amplitude eliminated from the compressional ones.
void inertia_friction_matrix(const coefficients_of_cell& c, double omega, cplx* a) {
  // i f / omega as a complex quotient.
  auto friction = [omega](double f) { return cplx(0.0, f) / cplx(omega, 0.0); };
  for (int x = 0; x < 25; ++x) a[x] = cplx(0.0, 0.0);
  at5(a, 1, 1) = c.p11 - friction(c.f11);
  at5(a, 1, 3) = at5(a, 3, 1) = c.p12 + friction(c.f12);
  at5(a, 1, 4) = at5(a, 4, 1) = c.p13 + friction(c.f11);
  at5(a, 3, 3) = c.p22 - friction(c.f22);
  at5(a, 3, 4) = at5(a, 4, 3) = c.p23 - friction(c.f12);
  at5(a, 4, 4) = c.p33 - friction(c.f11);
  at5(a, 2, 2) = at5(a, 1, 1) - at5(a, 1, 3) * at5(a, 1, 3) / at5(a, 3, 3);
  at5(a, 2, 5) = at5(a, 5, 2) = at5(a, 1, 4) - at5(a, 1, 3) * at5(a, 3, 4) / at5(a, 3, 3);
  at5(a, 5, 5) = at5(a, 4, 4) - at5(a, 3, 4) * at5(a, 3, 4) / at5(a, 3, 3);
}

// s = b a for 5 x 5 matrices, each entry summed over m = 1 ... 5 in order.
void product_5x5(cplx* b, cplx* a, cplx* s) {
  for (int i = 1; i <= 5; ++i)
    for (int j = 1; j <= 5; ++j) {
      cplx sum(0.0, 0.0);
      for (int m = 1; m <= 5; ++m) sum = sum + at5(b, i, m) * at5(a, m, j);
      at5(s, i, j) = sum;
    }
}

// Compressional waves from the eigenvalues of S on rows and columns 1, 3, 4:
// the first two roots ordered by velocity, the third as it comes.
void compressional_waves(cplx* s, wave& p1, wave& p2, wave& p3) {
  const int pk[3] = {1, 3, 4};
  cplx sub[9];
  for (int c = 0; c < 3; ++c)
    for (int r = 0; r < 3; ++r) sub[r + 3 * c] = at5(s, pk[r], pk[c]);
  cplx l1, l2, l3;
  cautov(sub, l1, l2, l3);
  order_pair(from_squared_slowness(l1), from_squared_slowness(l2), p1, p2);
  p3 = from_squared_slowness(l3);
}

// Shear waves from the eigenvalues of S on rows and columns 2, 5, the
// faster first.
void shear_waves(cplx* s, wave& s1, wave& s2) {
  const cplx t = at5(s, 2, 2) + at5(s, 5, 5);
  const cplx d = at5(s, 2, 2) * at5(s, 5, 5) - at5(s, 2, 5) * at5(s, 5, 2);
  const cplx r = std::sqrt(t * t - 4.0 * d);
  order_pair(from_squared_slowness((t + r) * 0.5), from_squared_slowness((t - r) * 0.5), s1, s2);
}

}  // namespace

// Plane waves of the three-phase medium of every cell: the squared complex
// slownesses are the eigenvalues of S = E^{-1} A, with E the elastic and A
// the inertia-friction matrix of the five amplitudes.
wave_values veloc_aten(int nx, int ny, double omega, const cell_coefficients& cc,
                       waves_record& record) {
  record = {};
  record.omega = omega;
  wave_values values{};
  cplx e[25], a[25], s[25];
  const int jc = nx / 2;
  const int kc = ny / 2;
  for (int k = 1; k <= ny; ++k) {
    for (int j = 1; j <= nx; ++j) {
      const coefficients_of_cell c = cc.at(j, k);
      elastic_matrix(c, e);
      inertia_friction_matrix(c, omega, a);
      c_invert(5, e);
      product_5x5(e, a, s);

      wave p1, p2, p3, s1, s2;
      compressional_waves(s, p1, p2, p3);
      shear_waves(s, s1, s2);
      values = {p1.v, p2.v, p3.v, s1.v, s2.v, p1.qinv, p2.qinv, p3.qinv, s1.qinv, s2.qinv};

      if (j == jc && k == kc) record.central = {jc, kc, p1, p2, p3, s1, s2};
      check_velocities(values, record);
    }
  }
  return values;
}
