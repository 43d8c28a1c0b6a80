#include <cmath>
#include <utility>

#include "common/report.h"
#include "rock_physics/cell_fractions.h"
#include "rock_physics/rock_physics.h"

namespace {

// Frame moduli of the two solids: bulk and shear of solid 1 and solid 3.
struct frame_moduli {
  double ak_m1, xmu_m1, ak_m3, xmu_m3;
};

// Ice model: Kuster-Toksoz frames with empty pores, weighted by the ice
// content of the pore space to the power 3.8.
frame_moduli ice_frame(const cell_fractions& f, double ak_s1, double xmu_s1, double ak_s3,
                       double xmu_s3, double ak_air, double xmu_air) {
  double k_empty, mu_empty;
  kt(ak_s1, xmu_s1, ak_air, xmu_air, 1.0 - f.phi1, k_empty, mu_empty);
  const double ice = std::pow(f.phi3 / (1.0 - f.phi1), 3.8);
  frame_moduli fr;
  fr.xmu_m1 = 1.31e10 + (mu_empty - 1.31e10) * ice;
  fr.ak_m1 = 1.44e10;
  double k3, mu3;
  kt(ak_s3, xmu_s3, ak_air, xmu_air, f.phi1, k3, mu3);
  fr.ak_m3 = ice * k3;
  fr.xmu_m3 = ice * mu3;
  return fr;
}

// Shaley-sand model: Krief's frames.
frame_moduli krief_frame(const cell_fractions& f, double ak_s1, double xmu_s1, double ak_s3,
                         double xmu_s3) {
  const double a = std::pow(1.0 - f.phi, 1.0 + 2.0 / (1.0 - f.phi));
  frame_moduli fr;
  fr.ak_m1 = f.s1 * ak_s1 * a;
  fr.xmu_m1 = fr.ak_m1 * (xmu_s1 / ak_s1) * std::exp(-std::sqrt(f.s1 * f.s3));
  fr.ak_m3 = f.s3 * ak_s3 * a;
  fr.xmu_m3 = fr.ak_m3 * xmu_s3 / ak_s3;
  return fr;
}

void ice_fraction_report(std::ostream& out, int j, int k, const cell_fractions& f) {
  free_line(out, "ice content s3_prima=", f.s3_prima);
  free_line(out, "j,k, water saturation  Sw =", j, k, f.sw);
  free_line(out, star_line_27);
  free_line(out, star_line_27);
  free_line(out, "for j, k  = ", j, k);
  free_line(out, "  control (must be = 1) =  ", f.control);
  free_line(out);
  free_line(out, star_line_27);
  free_line(out, star_line_27);
  fractions_record(out, f, "bulk solid 1 fraction phi1 en e_mod   =",
                   "solid 1 matrix fraction s1 en e_mod  =");
  free_line(out);
  free_line(out);
  free_line(out, star_line_27);
  free_line(out, star_line_27);
}

}  // namespace

// Moduli of the three-phase medium of every cell: frame moduli (ice or
// Krief model), average bulk and viscous shear moduli, Gassmann-type
// coupling moduli and the two-dimensional Lame-type coefficients.
void e_modulus(int nx, int ny, const cell_int& matnum, const per_material& phi_a_m,
               const cell_real& phiw, const per_material& s3, const per_material& akf,
               const per_material& eta, double omega, const per_material& ak_air,
               const per_material& xmu_air, const per_material& ak_s3,
               const per_material& xmu_s3, const per_material& ak_s1,
               const per_material& xmu_s1, int key_model, cell_real& lambda1,
               cell_real& lambda3, cell_real& mu1, cell_real& mu3, cell_real& mu13,
               cell_real& b1, cell_real& b2, cell_real& m, cell_real& d3, std::ostream& out) {
  for (int j = 1; j <= nx; ++j) {
    for (int k = 1; k <= ny; ++k) {
      const int mt = matnum(j, k);
      const double phi = phiw(j, k);
      const bool reported = (j == 1 && k == 1);
      const double aks1 = mat(ak_s1, mt), xmus1 = mat(xmu_s1, mt);
      const double aks3 = mat(ak_s3, mt), xmus3 = mat(xmu_s3, mt);

      const cell_fractions f = volume_fractions(key_model, mat(phi_a_m, mt), mat(s3, mt), phi);
      if (key_model == 0 && reported) ice_fraction_report(out, j, k, f);
      check_control(f);
      const double phi1 = f.phi1, phi3 = f.phi3, s1 = f.s1, s3c = f.s3;

      frame_moduli fr;
      if (key_model == 0) {
        fr = ice_frame(f, aks1, xmus1, aks3, xmus3, mat(ak_air, mt), mat(xmu_air, mt));
      } else {
        fr = krief_frame(f, aks1, xmus1, aks3, xmus3);
        if (reported) out << " output of  Krief s model  eqs. (A.8)-(A.9)\n";
      }

      // Average bulk modulus and average viscous shear modulus.
      const double kav = 1.0 / ((phi1 / aks1) * (1.0 - fr.ak_m1 / (phi1 * aks1)) +
                                phi / mat(akf, mt) +
                                (phi3 / aks3) * (1.0 - fr.ak_m3 / (phi3 * aks3)));
      const double a1 = 1.0 - fr.xmu_m1 / (phi1 * xmus1);
      const double a3 = 1.0 - fr.xmu_m3 / (phi3 * xmus3);
      const double visc = mat(eta, mt);
      double xmuav = 0.0;
      if (visc > 0.0)
        xmuav = 1.0 / ((phi1 / xmus1) * a1 + (phi3 / xmus3) * a3 + phi / (2.0 * omega * visc));

      // Shear moduli of the composite.
      const double mu1c = fr.xmu_m1 + (phi1 * a1) * (phi1 * a1) * xmuav;
      const double mu3c = fr.xmu_m3 + (phi3 * a3) * (phi3 * a3) * xmuav;
      const double mu13c = a1 * a3 * phi1 * phi3 * xmuav;

      // Bulk and coupling moduli.
      const double alfa1 = s1 - fr.ak_m1 / aks1;
      const double alfa3 = s3c - fr.ak_m3 / aks3;
      const double kg1 = fr.ak_m1 + alfa1 * alfa1 * kav;
      const double kg3 = fr.ak_m3 + alfa3 * alfa3 * kav;
      const double kg = fr.ak_m1 + fr.ak_m3 + (alfa1 + alfa3) * (alfa1 + alfa3) * kav;
      const double k1 = kg1 - 2.0 * alfa1 * s1 * phi * kav + (s1 * phi) * (s1 * phi) * kav;
      const double k3 = kg3 - 2.0 * alfa3 * s3c * phi * kav + (s3c * phi) * (s3c * phi) * kav;
      const double k2 = phi * phi * kav;
      const double c12 = phi * kav * (alfa1 - s1 * phi);
      const double c23 = phi * kav * (alfa3 - s3c * phi);
      const double c13 = kav * (alfa1 - s1 * phi) * (alfa3 - s3c * phi);
      const double h1 = k1 + 2.0 * s1 * c12 + s1 * s1 * k2;
      const double h3 = k3 + 2.0 * s3c * c23 + s3c * s3c * k2;
      const double bb1 = (c12 + s1 * k2) / phi;
      const double bb2 = (c23 + s3c * k2) / phi;
      const double bb3 = c13 + s3c * c12 + s1 * c23 + s1 * s3c * k2;

      // Two-dimensional coefficients.
      const double lam1 = h1 - mu1c;
      const double lam3 = h3 - mu3c;
      const double d3c = bb3 - 0.5 * mu13c;

      if (reported) {
        free_line(out);
        free_line(out, "Moduli  as in eqs. (A.2),(A.5),(A.6),(A.7)");
        free_line(out);
        free_line(out, "used in contitutive eqs. (4.6)--(4.8)");
        free_line(out);
        free_line(out, "alfa1,alfa3 =", alfa1, alfa3);
        free_line(out);
        free_line(out);
        free_line(out, "Kav(GPa)    = ", kav / 1e9);
        free_line(out, "K1(GPa)     = ", k1 / 1e9);
        free_line(out, "K2(GPa)     = ", k2 / 1e9);
        free_line(out, "K3(GPa)     = ", k3 / 1e9);
        free_line(out, "C12(GPa)    = ", c12 / 1e9);
        free_line(out, "C13(GPa)    = ", c13 / 1e9);
        free_line(out, "C23(GPa)    = ", c23 / 1e9);
        free_line(out);
        free_line(out);
        free_line(out, " rigidity modulus mu1,mu3,mu13,muav eqs.  (A.1)");
        free_line(out, "xmuav(GPa)  = ", xmuav / 1e9);
        free_line(out);
        free_line(out, "mu1(GPa)    = ", mu1c / 1e9);
        free_line(out, "mu3(GPa)    = ", mu3c / 1e9);
        free_line(out, "mu13(GPA)   = ", mu13c / 1e9);
        free_line(out);
        free_line(out);
        free_line(out, "  Gassmann moduli  eqs. (A.7)");
        free_line(out);
        free_line(out, "KG1(GPa)    = ", kg1 / 1e9);
        free_line(out, "KG3(GPa)    = ", kg3 / 1e9);
        free_line(out, "KG(GPa)     = ", kg / 1e9);
      }

      if (lam1 <= 0.0) free_line(out, " neg. lambda1 j,k   ", j, k, lam1);
      if (reported) {
        free_line(out, " element j,k = ", j, k);
        free_line(out);
        free_line(out);
        free_line(out, "Modulos elasticos notacion Dravel et al. JASA 04");
        free_line(out, "(en Pa)");
        free_line(out);
        free_line(out, "H1=K_{G1}(GPa)     = ", h1 / 1e9);
        free_line(out, "H3=K_{G3}(GPa)     = ", h3 / 1e9);
        free_line(out, "B1(GPa)            = ", bb1 / 1e9);
        free_line(out, "B2(GPa)            = ", bb2 / 1e9);
        free_line(out, "B3(GPa)            = ", bb3 / 1e9);
        free_line(out, "M=k_av(Pa)        = ", kav / 1e9);
        free_line(out, "xlambda1(GPa) (2D) = ", lam1 / 1e9);
        free_line(out, "xlambda3(GPa) (2D) = ", lam3 / 1e9);
        free_line(out, "d3(GPa) (2D)       = ", d3c / 1e9);
        free_line(out, "xlambda1(GPa) (3D) = ", (h1 - 2.0 * mu1c / 3.0) / 1e9);
        free_line(out, "xlambda3(GPa) (3D) = ", (h3 - 2.0 * mu3c / 3.0) / 1e9);
        free_line(out, "d3(GPa) (3D)       = ", (bb3 - mu13c / 3.0) / 1e9);
        free_line(out, "mu1(GPa)           = ", mu1c / 1e9);
        free_line(out, "mu3(GPa)           = ", mu3c / 1e9);
        free_line(out, "mu13(GPA)          = ", mu13c / 1e9);
        free_line(out);
        if (lam1 <= 0.0) {
          free_line(out, " neg. lambda1 j,k   ", j, k, lam1);
          throw run_stop{12345, ""};
        }
        if (lam3 <= 0.0) throw run_stop{12346, ""};
      }

      lambda1(j, k) = lam1;
      lambda3(j, k) = lam3;
      mu1(j, k) = mu1c;
      mu3(j, k) = mu3c;
      mu13(j, k) = mu13c;
      b1(j, k) = bb1;
      b2(j, k) = bb2;
      m(j, k) = kav;
      d3(j, k) = d3c;

      // The strain energy of the two solids must be positive definite.
      if ((lam3 + 2.0 * mu3c) * (lam1 + 2.0 * mu1c) - (d3c + mu13c) * (d3c + mu13c) <= 0.0) {
        free_line(out, "j,k, strain energy not positive definite ", j, k);
        throw run_stop{45687, ""};
      }
      if (mu1c * mu3c - 0.25 * (mu13c * mu13c) <= 0.0) {
        free_line(out, " j,k,strain energy not positive definite", j, k);
        throw run_stop{45688, ""};
      }

      const std::pair<const char*, double> stored[] = {
          {"lambda1", lam1}, {"lambda3", lam3}, {"mu1", mu1c}, {"mu3", mu3c}, {"mu13", mu13c},
          {"b1", bb1},       {"b2", bb2},       {"m", kav},    {"d3", d3c}};
      for (const auto& [name, value] : stored) check_finite(j, k, name, value);
    }
  }
}
