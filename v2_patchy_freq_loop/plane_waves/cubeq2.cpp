#include <cmath>

#include "plane_waves/plane_waves.h"

namespace {
constexpr double one_third = 0.3333333333333333;
constexpr double two_pi_over_3 = 2.0943951023931953;

cplx cube(cplx z) { return z * z * z; }
}  // namespace

// Roots of a x^3 + b x^2 + c x + d = 0 by Cardano's formula: the cubic is
// shifted to y^3 + p y + q = 0, one cube root u of the principal branch is
// turned by 2 pi/3 twice, and each root is u - p/(3u) - b/(3a).
void cubeq2(cplx a, cplx b, cplx c, cplx d, cplx& x1, cplx& x2, cplx& x3) {
  const cplx p = c / a - (b / a) * (b / a) / 3.0;
  const cplx s = (b / 3.0) / a;
  const cplx q = 2.0 * cube(s) - b * ((c / 3.0) / (a * a)) + d / a;
  const cplx h = q / 2.0;
  const cplx w = std::sqrt(cube(p / 3.0) + h * h) - h;

  const double rho = std::pow(std::abs(w), one_third);
  double theta = std::atan2(w.imag(), w.real()) / 3.0;

  cplx* roots[3] = {&x1, &x2, &x3};
  for (int r = 0; r < 3; ++r) {
    if (r > 0) theta = theta + two_pi_over_3;
    const cplx u = rho * cplx(std::cos(theta), std::sin(theta));
    const cplx p_over_3u = (p * cplx(std::cos(theta), -std::sin(theta)) / 3.0) / rho;
    *roots[r] = u - p_over_3u - s;
  }
}
