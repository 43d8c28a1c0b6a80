#include <cmath>

#include "common/report.h"
#include "plane_waves/plane_waves.h"
#include "plane_waves/velocity_checks.h"

namespace {

// 2 pi times 8.685889 dB per neper: attenuation per wavelength in dB.
constexpr double db_per_wavelength = 54.57505014459279;

// Phase velocity, attenuation, Q and 1000/Q of one squared slowness.
struct wave {
  double v, at, q, qinv;
};

wave from_squared_slowness(cplx lambda) {
  const cplx sigma = std::sqrt(lambda);
  wave w;
  w.v = 1.0 / sigma.real();
  w.at = db_per_wavelength * std::abs(sigma.imag() / sigma.real());
  w.q = std::abs(sigma.real() / sigma.imag());
  w.qinv = 1000.0 / w.q;
  return w;
}

// Faster wave first; a tie keeps the first.
void order_pair(const wave& first, const wave& second, wave& fast, wave& slow) {
  if (second.v > first.v) {
    fast = second;
    slow = first;
  } else {
    fast = first;
    slow = second;
  }
}

// The compressional and shear table of the central cell.
void report_central_cell(std::ostream& out, int jc, int kc, const wave& p1, const wave& p2,
                         const wave& p3, const wave& s1, const wave& s2) {
  free_line(out, "nx/2,ny/2 ", jc, kc);
  free_line(out, "Compressional wave speeds using eigenvalues");
  free_line(out, "  of matrix S = E^{-1} A associated with   ");
  free_line(out, " rows and  col. 1,3 y 4  of S,  respec.");
  free_line(out);
  free_line(out, "vp1 = ", p1.v, "m/s", " atp1 = ", p1.at, "1000/qp1 ", p1.qinv);
  free_line(out, " Q1 = ", p1.q);
  free_line(out);
  free_line(out, "vp2 = ", p2.v, "m/s", " atp2 = ", p2.at, "1000/qp2 ", p2.qinv);
  free_line(out, " Q2 = ", p2.q);
  free_line(out);
  free_line(out, "vp3 = ", p3.v, "m/s", " atp3 = ", p3.at, "1000/qp3 ", p3.qinv);
  free_line(out, " Q3 = ", p3.q);
  free_line(out);

  free_line(out, "nx/2,ny/2 ", jc, kc);
  free_line(out);
  free_line(out, " Shear  wave speeds and att. using eigenvalues");
  free_line(out, "  of matrix S = E^{-1} A col. associated with ");
  free_line(out, " rows and  cols. 2 and 5 of  S,  respec.");
  free_line(out);
  free_line(out, "vs1 = ", s1.v, " ats1 = ", s1.at, "1000/qs1 ", s1.qinv);
  free_line(out, " Qs1 = ", s1.q);
  free_line(out);
  free_line(out, "vs2 = ", s2.v, " ats2 = ", s2.at, "1000/qs2 ", s2.qinv);
  free_line(out, " Qs2 = ", s2.q);
  free_line(out);
}

const char* const star_line_44 = "********************************************";

}  // namespace

// Plane waves of the three-phase medium of every cell: the squared complex
// slownesses are the eigenvalues of S = E^{-1} A, with E the elastic and A
// the inertia-friction matrix of the five amplitudes (solid-1 longitudinal
// and transverse, fluid relative, solid-3 longitudinal and transverse).
void veloc_aten(int nx, int ny, double omega, const cell_real& p11, const cell_real& p12,
                const cell_real& p13, const cell_real& p22, const cell_real& p23,
                const cell_real& p33, const cell_real& f11, const cell_real& f12,
                const cell_real& f22, const cell_real& lambda1, const cell_real& lambda3,
                const cell_real& mu1, const cell_real& mu3, const cell_real& mu13,
                const cell_real& b1, const cell_real& b2, const cell_real& m,
                const cell_real& d3, wave_values& out_values, std::ostream& out) {
  cplx e_store[25];
  cplx a_store[25];
  cplx s_store[25];
  cplx sub[9];
  auto E = [&e_store](int i, int j) -> cplx& { return e_store[(i - 1) + 5 * (j - 1)]; };
  auto A = [&a_store](int i, int j) -> cplx& { return a_store[(i - 1) + 5 * (j - 1)]; };
  auto S = [&s_store](int i, int j) -> cplx& { return s_store[(i - 1) + 5 * (j - 1)]; };
  // i f / omega as a complex quotient.
  auto friction = [omega](double f) { return cplx(0.0, f) / cplx(omega, 0.0); };

  const int jc = nx / 2;
  const int kc = ny / 2;
  for (int k = 1; k <= ny; ++k) {
    for (int j = 1; j <= nx; ++j) {
      for (cplx& x : e_store) x = cplx(0.0, 0.0);
      for (cplx& x : a_store) x = cplx(0.0, 0.0);

      E(1, 1) = lambda1(j, k) + 2.0 * mu1(j, k);
      E(1, 3) = E(3, 1) = b1(j, k);
      E(1, 4) = E(4, 1) = mu13(j, k) + d3(j, k);
      E(3, 3) = m(j, k);
      E(3, 4) = E(4, 3) = b2(j, k);
      E(4, 4) = lambda3(j, k) + 2.0 * mu3(j, k);
      E(2, 2) = mu1(j, k);
      E(2, 5) = E(5, 2) = 0.5 * mu13(j, k);
      E(5, 5) = mu3(j, k);

      A(1, 1) = p11(j, k) - friction(f11(j, k));
      A(1, 3) = A(3, 1) = p12(j, k) + friction(f12(j, k));
      A(1, 4) = A(4, 1) = p13(j, k) + friction(f11(j, k));
      A(3, 3) = p22(j, k) - friction(f22(j, k));
      A(3, 4) = A(4, 3) = p23(j, k) - friction(f12(j, k));
      A(4, 4) = p33(j, k) - friction(f11(j, k));
      // Shear: the fluid amplitude eliminated from the compressional entries.
      A(2, 2) = A(1, 1) - A(1, 3) * A(1, 3) / A(3, 3);
      A(2, 5) = A(5, 2) = A(1, 4) - A(1, 3) * A(3, 4) / A(3, 3);
      A(5, 5) = A(4, 4) - A(3, 4) * A(3, 4) / A(3, 3);

      c_invert(5, e_store);
      for (int i = 1; i <= 5; ++i)
        for (int jj = 1; jj <= 5; ++jj) {
          cplx sum(0.0, 0.0);
          for (int l = 1; l <= 5; ++l) sum = sum + E(i, l) * A(l, jj);
          S(i, jj) = sum;
        }

      // Compressional waves: rows and columns 1, 3, 4 of S.
      const int pk[3] = {1, 3, 4};
      for (int c = 0; c < 3; ++c)
        for (int r = 0; r < 3; ++r) sub[r + 3 * c] = S(pk[r], pk[c]);
      cplx l1, l2, l3;
      cautov(sub, l1, l2, l3);
      wave p1, p2;
      order_pair(from_squared_slowness(l1), from_squared_slowness(l2), p1, p2);
      const wave p3 = from_squared_slowness(l3);

      // Shear waves: rows and columns 2, 5 of S.
      const cplx t = S(2, 2) + S(5, 5);
      const cplx d = S(2, 2) * S(5, 5) - S(2, 5) * S(5, 2);
      const cplx r = std::sqrt(t * t - 4.0 * d);
      wave s1, s2;
      order_pair(from_squared_slowness((t + r) * 0.5), from_squared_slowness((t - r) * 0.5), s1,
                 s2);

      out_values = {p1.v, p2.v, p3.v, s1.v, s2.v, p1.qinv, p2.qinv, p3.qinv, s1.qinv, s2.qinv};

      if (j == 1 && k == 1) {
        free_line(out, star_line_44);
        free_line(out);
        free_line(out, " ANGULAR FREQUENCY :  ", omega, " (HZ)");
        free_line(out);
        free_line(out, star_line_44);
      }
      if (j == jc && k == kc) report_central_cell(out, jc, kc, p1, p2, p3, s1, s2);

      check_velocities(out_values, out);
    }
  }
  free_line(out);
}
