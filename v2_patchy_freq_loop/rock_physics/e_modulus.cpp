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
  const elastic_moduli air{mn.ak_air, mn.xmu_air};
  const elastic_moduli dry1 = kt({mn.ak_s1, mn.xmu_s1}, air, 1.0 - f.phi1);
  const elastic_moduli dry3 = kt({mn.ak_s3, mn.xmu_s3}, air, f.phi1);
  const double ice = std::pow(f.phi3 / (1.0 - f.phi1), 3.8);
  frame_moduli fr;
  fr.xmu_m1 = 1.31e10 + (dry1.mu - 1.31e10) * ice;
  fr.ak_m1 = 1.44e10;
  fr.ak_m3 = ice * dry3.k;
  fr.xmu_m3 = ice * dry3.mu;
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

// Average moduli, the viscous shear coupling, the Gassmann-type moduli and
// the two-dimensional coefficients of the composite.
composite_moduli three_phase(const cell_fractions& f, const frame_moduli& fr, const minerals& mn,
                      double akf, double eta, double omega) {
  const double phi = f.phi, phi1 = f.phi1, phi3 = f.phi3, s1 = f.s1, s3 = f.s3;
  composite_moduli c;
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

// The strain energy of the two solids must be positive definite: first the
// longitudinal (stop 45687), then the shear form (stop 45688); the failing
// cell goes to the record.
void check_strain_energy(moduli_record& record, int j, int k, const composite_moduli& c) {
  int code = 0;
  if ((c.lambda3 + 2.0 * c.mu3) * (c.lambda1 + 2.0 * c.mu1) - (c.d3 + c.mu13) * (c.d3 + c.mu13) <=
      0.0)
    code = stop_strain_energy_1;
  else if (c.mu1 * c.mu3 - 0.25 * (c.mu13 * c.mu13) <= 0.0)
    code = stop_strain_energy_2;
  if (code == 0) return;
  record.strain_energy = cell_value{j, k, double(code)};
  throw run_stop{code, ""};
}

}  // namespace

// Moduli of the three-phase medium of every cell: frame moduli (ice or
// Krief model), average bulk and viscous shear moduli, Gassmann-type
// coupling moduli and the two-dimensional Lame-type coefficients.
cell_moduli e_modulus(const deck_values& d, const cell_inputs& cells, double omega,
                      moduli_record& record) {
  record = {};
  record.key_model = d.key_model;
  cell_moduli r(d.nx, d.ny);
  for (int j = 1; j <= d.nx; ++j) {
    for (int k = 1; k <= d.ny; ++k) {
      const int mt = cells.material(j, k);
      const bool reported = (j == 1 && k == 1);
      const minerals mn = minerals_of(d, mt);

      const cell_fractions& f = cells.fractions(j, k);
      check_ice_fraction(d.key_model, f);
      if (reported) record.fractions = f;
      check_control(f);

      const frame_moduli fr = d.key_model == 0 ? ice_frame(f, mn) : krief_frame(f, mn);
      const composite_moduli c = three_phase(f, fr, mn, mat(d.akf, mt), mat(d.eta, mt), omega);
      if (reported) {
        record.moduli = c;
        if (c.lambda1 <= 0.0) throw run_stop{stop_lambda1, ""};
        if (c.lambda3 <= 0.0) throw run_stop{stop_lambda3, ""};
      } else if (c.lambda1 <= 0.0) {
        record.negative_lambda1.push_back({j, k, c.lambda1});
      }

      check_strain_energy(record, j, k, c);
      store_checked(j, k, {{"lambda1", r.lambda1, c.lambda1}, {"lambda3", r.lambda3, c.lambda3},
                           {"mu1", r.mu1, c.mu1},             {"mu3", r.mu3, c.mu3},
                           {"mu13", r.mu13, c.mu13},          {"b1", r.b1, c.b1},
                           {"b2", r.b2, c.b2},                {"m", r.m, c.kav},
                           {"d3", r.d3, c.d3}});
    }
  }
  return r;
}
