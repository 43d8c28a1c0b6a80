#include <cmath>
#include <utility>

#include "common/report.h"
#include "rock_physics/cell_fractions.h"
#include "rock_physics/rock_physics.h"

namespace {

// The six moduli of a material (Pa): bulk and shear of the two solids'
// minerals and of the empty-pore inclusions of the ice model.
struct minerals {
  double ak_s1, xmu_s1, ak_s3, xmu_s3, ak_air, xmu_air;
};

// The moduli of material mt of deck d.
minerals minerals_of(const deck_values& d, int mt) {
  return {.ak_s1 = mat(d.ak_s1, mt),
          .xmu_s1 = mat(d.xmu_s1, mt),
          .ak_s3 = mat(d.ak_s3, mt),
          .xmu_s3 = mat(d.xmu_s3, mt),
          .ak_air = mat(d.ak_air, mt),
          .xmu_air = mat(d.xmu_air, mt)};
}

// Frame moduli of the two solids: bulk and shear of solid 1 and solid 3.
struct frame_moduli {
  double ak_m1, xmu_m1, ak_m3, xmu_m3;
};

// Ice model: Kuster-Toksoz frames with empty pores, weighted by the ice
// content of the pore space to the power 3.8.
frame_moduli ice_frame(const cell_fractions& f, const minerals& mn) {
  double k_empty, mu_empty;
  kt(mn.ak_s1, mn.xmu_s1, mn.ak_air, mn.xmu_air, 1.0 - f.phi1, k_empty, mu_empty);
  const double ice = std::pow(f.phi3 / (1.0 - f.phi1), 3.8);
  frame_moduli fr;
  fr.xmu_m1 = 1.31e10 + (mu_empty - 1.31e10) * ice;
  fr.ak_m1 = 1.44e10;
  double k3, mu3;
  kt(mn.ak_s3, mn.xmu_s3, mn.ak_air, mn.xmu_air, f.phi1, k3, mu3);
  fr.ak_m3 = ice * k3;
  fr.xmu_m3 = ice * mu3;
  return fr;
}

// Shaley-sand model: Krief's frames.
frame_moduli krief_frame(const cell_fractions& f, const minerals& mn) {
  const double a = std::pow(1.0 - f.phi, 1.0 + 2.0 / (1.0 - f.phi));
  frame_moduli fr;
  fr.ak_m1 = f.s1 * mn.ak_s1 * a;
  fr.xmu_m1 = fr.ak_m1 * (mn.xmu_s1 / mn.ak_s1) * std::exp(-std::sqrt(f.s1 * f.s3));
  fr.ak_m3 = f.s3 * mn.ak_s3 * a;
  fr.xmu_m3 = fr.ak_m3 * mn.xmu_s3 / mn.ak_s3;
  return fr;
}

// Ice content, saturation and fraction sum of cell (j, k), then the
// fractions record.
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

// Moduli of the three-phase composite of one cell (Pa).
struct composite {
  double kav, xmuav, mu1, mu3, mu13;
  double alfa1, alfa3, kg1, kg3, kg, k1, k2, k3, c12, c13, c23;
  double h1, h3, b1, b2, b3, lambda1, lambda3, d3;
};

// Average moduli, the viscous shear coupling, the Gassmann-type moduli and
// the two-dimensional coefficients of the composite.
composite three_phase(const cell_fractions& f, const frame_moduli& fr, const minerals& mn,
                      double akf, double eta, double omega) {
  const double phi = f.phi, phi1 = f.phi1, phi3 = f.phi3, s1 = f.s1, s3 = f.s3;
  composite c;
  c.kav = 1.0 / ((phi1 / mn.ak_s1) * (1.0 - fr.ak_m1 / (phi1 * mn.ak_s1)) + phi / akf +
                 (phi3 / mn.ak_s3) * (1.0 - fr.ak_m3 / (phi3 * mn.ak_s3)));
  const double a1 = 1.0 - fr.xmu_m1 / (phi1 * mn.xmu_s1);
  const double a3 = 1.0 - fr.xmu_m3 / (phi3 * mn.xmu_s3);
  c.xmuav = 0.0;
  if (eta > 0.0)
    c.xmuav = 1.0 / ((phi1 / mn.xmu_s1) * a1 + (phi3 / mn.xmu_s3) * a3 + phi / (2.0 * omega * eta));

  // Shear moduli of the composite.
  c.mu1 = fr.xmu_m1 + (phi1 * a1) * (phi1 * a1) * c.xmuav;
  c.mu3 = fr.xmu_m3 + (phi3 * a3) * (phi3 * a3) * c.xmuav;
  c.mu13 = a1 * a3 * phi1 * phi3 * c.xmuav;

  // Bulk and coupling moduli.
  c.alfa1 = s1 - fr.ak_m1 / mn.ak_s1;
  c.alfa3 = s3 - fr.ak_m3 / mn.ak_s3;
  c.kg1 = fr.ak_m1 + c.alfa1 * c.alfa1 * c.kav;
  c.kg3 = fr.ak_m3 + c.alfa3 * c.alfa3 * c.kav;
  c.kg = fr.ak_m1 + fr.ak_m3 + (c.alfa1 + c.alfa3) * (c.alfa1 + c.alfa3) * c.kav;
  c.k1 = c.kg1 - 2.0 * c.alfa1 * s1 * phi * c.kav + (s1 * phi) * (s1 * phi) * c.kav;
  c.k3 = c.kg3 - 2.0 * c.alfa3 * s3 * phi * c.kav + (s3 * phi) * (s3 * phi) * c.kav;
  c.k2 = phi * phi * c.kav;
  c.c12 = phi * c.kav * (c.alfa1 - s1 * phi);
  c.c23 = phi * c.kav * (c.alfa3 - s3 * phi);
  c.c13 = c.kav * (c.alfa1 - s1 * phi) * (c.alfa3 - s3 * phi);
  c.h1 = c.k1 + 2.0 * s1 * c.c12 + s1 * s1 * c.k2;
  c.h3 = c.k3 + 2.0 * s3 * c.c23 + s3 * s3 * c.k2;
  c.b1 = (c.c12 + s1 * c.k2) / phi;
  c.b2 = (c.c23 + s3 * c.k2) / phi;
  c.b3 = c.c13 + s3 * c.c12 + s1 * c.c23 + s1 * s3 * c.k2;

  // Two-dimensional coefficients.
  c.lambda1 = c.h1 - c.mu1;
  c.lambda3 = c.h3 - c.mu3;
  c.d3 = c.b3 - 0.5 * c.mu13;
  return c;
}

// Average, coupling, shear and Gassmann moduli (GPa).
void moduli_report(std::ostream& out, const composite& c) {
  free_line(out);
  free_line(out, "Moduli  as in eqs. (A.2),(A.5),(A.6),(A.7)");
  free_line(out);
  free_line(out, "used in contitutive eqs. (4.6)--(4.8)");
  free_line(out);
  free_line(out, "alfa1,alfa3 =", c.alfa1, c.alfa3);
  free_line(out);
  free_line(out);
  free_line(out, "Kav(GPa)    = ", c.kav / 1e9);
  free_line(out, "K1(GPa)     = ", c.k1 / 1e9);
  free_line(out, "K2(GPa)     = ", c.k2 / 1e9);
  free_line(out, "K3(GPa)     = ", c.k3 / 1e9);
  free_line(out, "C12(GPa)    = ", c.c12 / 1e9);
  free_line(out, "C13(GPa)    = ", c.c13 / 1e9);
  free_line(out, "C23(GPa)    = ", c.c23 / 1e9);
  free_line(out);
  free_line(out);
  free_line(out, " rigidity modulus mu1,mu3,mu13,muav eqs.  (A.1)");
  free_line(out, "xmuav(GPa)  = ", c.xmuav / 1e9);
  free_line(out);
  free_line(out, "mu1(GPa)    = ", c.mu1 / 1e9);
  free_line(out, "mu3(GPa)    = ", c.mu3 / 1e9);
  free_line(out, "mu13(GPA)   = ", c.mu13 / 1e9);
  free_line(out);
  free_line(out);
  free_line(out, "  Gassmann moduli  eqs. (A.7)");
  free_line(out);
  free_line(out, "KG1(GPa)    = ", c.kg1 / 1e9);
  free_line(out, "KG3(GPa)    = ", c.kg3 / 1e9);
  free_line(out, "KG(GPa)     = ", c.kg / 1e9);
}

// The coefficients in the notation of the constitutive equations; the 3D
// Lame-type values are shown for comparison only.
void elastic_report(std::ostream& out, int j, int k, const composite& c) {
  free_line(out, " element j,k = ", j, k);
  free_line(out);
  free_line(out);
  free_line(out, "Modulos elasticos notacion Dravel et al. JASA 04");
  free_line(out, "(en Pa)");
  free_line(out);
  free_line(out, "H1=K_{G1}(GPa)     = ", c.h1 / 1e9);
  free_line(out, "H3=K_{G3}(GPa)     = ", c.h3 / 1e9);
  free_line(out, "B1(GPa)            = ", c.b1 / 1e9);
  free_line(out, "B2(GPa)            = ", c.b2 / 1e9);
  free_line(out, "B3(GPa)            = ", c.b3 / 1e9);
  free_line(out, "M=k_av(Pa)        = ", c.kav / 1e9);
  free_line(out, "xlambda1(GPa) (2D) = ", c.lambda1 / 1e9);
  free_line(out, "xlambda3(GPa) (2D) = ", c.lambda3 / 1e9);
  free_line(out, "d3(GPa) (2D)       = ", c.d3 / 1e9);
  free_line(out, "xlambda1(GPa) (3D) = ", (c.h1 - 2.0 * c.mu1 / 3.0) / 1e9);
  free_line(out, "xlambda3(GPa) (3D) = ", (c.h3 - 2.0 * c.mu3 / 3.0) / 1e9);
  free_line(out, "d3(GPa) (3D)       = ", (c.b3 - c.mu13 / 3.0) / 1e9);
  free_line(out, "mu1(GPa)           = ", c.mu1 / 1e9);
  free_line(out, "mu3(GPa)           = ", c.mu3 / 1e9);
  free_line(out, "mu13(GPA)          = ", c.mu13 / 1e9);
  free_line(out);
}

// The strain energy of the two solids must be positive definite: first the
// longitudinal (stop 45687), then the shear form (stop 45688).
void check_strain_energy(std::ostream& out, int j, int k, const composite& c) {
  if ((c.lambda3 + 2.0 * c.mu3) * (c.lambda1 + 2.0 * c.mu1) - (c.d3 + c.mu13) * (c.d3 + c.mu13) <=
      0.0) {
    free_line(out, "j,k, strain energy not positive definite ", j, k);
    throw run_stop{stop_strain_energy_1, ""};
  }
  if (c.mu1 * c.mu3 - 0.25 * (c.mu13 * c.mu13) <= 0.0) {
    free_line(out, " j,k,strain energy not positive definite", j, k);
    throw run_stop{stop_strain_energy_2, ""};
  }
}

}  // namespace

// Moduli of the three-phase medium of every cell: frame moduli (ice or
// Krief model), average bulk and viscous shear moduli, Gassmann-type
// coupling moduli and the two-dimensional Lame-type coefficients.
cell_moduli e_modulus(const deck_values& d, const cell_inputs& cells, double omega,
                      std::ostream& out) {
  cell_moduli r(d.nx, d.ny);
  for (int j = 1; j <= d.nx; ++j) {
    for (int k = 1; k <= d.ny; ++k) {
      const int mt = cells.material(j, k);
      const bool reported = (j == 1 && k == 1);
      const minerals mn = minerals_of(d, mt);

      const cell_fractions& f = cells.fractions(j, k);
      check_ice_fraction(d.key_model, f);
      if (d.key_model == 0 && reported) ice_fraction_report(out, j, k, f);
      check_control(f);

      frame_moduli fr;
      if (d.key_model == 0) {
        fr = ice_frame(f, mn);
      } else {
        fr = krief_frame(f, mn);
        if (reported) out << " output of  Krief s model  eqs. (A.8)-(A.9)\n";
      }

      const composite c = three_phase(f, fr, mn, mat(d.akf, mt), mat(d.eta, mt), omega);
      if (reported) moduli_report(out, c);

      if (c.lambda1 <= 0.0) free_line(out, " neg. lambda1 j,k   ", j, k, c.lambda1);
      if (reported) {
        elastic_report(out, j, k, c);
        if (c.lambda1 <= 0.0) {
          free_line(out, " neg. lambda1 j,k   ", j, k, c.lambda1);
          throw run_stop{stop_lambda1, ""};
        }
        if (c.lambda3 <= 0.0) throw run_stop{stop_lambda3, ""};
      }

      r.lambda1(j, k) = c.lambda1;
      r.lambda3(j, k) = c.lambda3;
      r.mu1(j, k) = c.mu1;
      r.mu3(j, k) = c.mu3;
      r.mu13(j, k) = c.mu13;
      r.b1(j, k) = c.b1;
      r.b2(j, k) = c.b2;
      r.m(j, k) = c.kav;
      r.d3(j, k) = c.d3;

      check_strain_energy(out, j, k, c);

      const std::pair<const char*, double> stored[] = {
          {"lambda1", c.lambda1}, {"lambda3", c.lambda3}, {"mu1", c.mu1},
          {"mu3", c.mu3},         {"mu13", c.mu13},       {"b1", c.b1},
          {"b2", c.b2},           {"m", c.kav},           {"d3", c.d3}};
      for (const auto& [name, value] : stored) check_finite(j, k, name, value);
    }
  }
  return r;
}
