#include <utility>

#include "common/report.h"
#include "rock_physics/cell_fractions.h"
#include "rock_physics/rock_physics.h"

namespace {

// Mean densities, the inertial coupling factors T1, T3 (and R1, R3 of the
// shaley-sand model) and the six mass coefficients.
mass_coefs mass_coefficients(const cell_fractions& f, bool ice, const densities& d) {
  const double phi = f.phi, phi1 = f.phi1, phi3 = f.phi3, s1 = f.s1, s3 = f.s3;
  mass_coefs c;
  c.ro = (d.ro3 * phi3 + d.ro2 * phi) / (phi3 + phi);
  c.ro_prim = (d.ro2 * phi + d.ro1 * phi1) / (phi + phi1);
  const double t1 = 1.0 + c.ro * phi1 / (2.0 * d.ro2 * phi);
  const double t3 = 1.0 + c.ro_prim * phi3 / (2.0 * d.ro2 * phi);
  double r1 = 1.0, r3 = 1.0;
  if (!ice) {
    r1 = 1.0 + c.ro_prim * phi3 / (2.0 * d.ro1 * phi1);
    r3 = 1.0 + c.ro * phi1 / (2.0 * d.ro3 * phi3);
  }
  const double s1s = s1 * s1, s3s = s3 * s3;
  c.p11 = d.ro2 * phi * (1.0 + t3 * s1s + t1 * s3s - 2.0 * s3 - s1s) + r1 * d.ro1 * phi1 +
          (r3 - 1.0) * d.ro3 * phi3;
  c.p12 = d.ro2 * ((1.0 - t1) * s3 + t3 * s1);
  c.p13 = d.ro2 * phi * (1.0 - t3 * s1s - t1 * s3s - s1 * s3) + (1.0 - r1) * d.ro1 * phi1 +
          (1.0 - r3) * d.ro3 * phi3;
  c.p22 = (t1 + t3 - 1.0) * d.ro2 / phi;
  c.p23 = d.ro2 * (t1 * s3 + (1.0 - t3) * s1);
  c.p33 = d.ro2 * phi * (1.0 + t3 * s1s + t1 * s3s - 2.0 * s1 - s3s) + r3 * d.ro3 * phi3 +
          (r1 - 1.0) * d.ro1 * phi1;
  return c;
}

// Permeabilities of the two frames, the Darcy friction constants of the
// fluid against each solid and the three friction coefficients of a cell of
// material mt. The ice model scales reference permeabilities; the
// shaley-sand model uses the grain sizes g1, g3 (its permeabilities are
// reported only).
friction_coefs friction_coefficients(const cell_fractions& f, bool ice, const deck_values& d,
                                     int mt) {
  const double phi = f.phi, phi1 = f.phi1, phi3 = f.phi3, s1 = f.s1, s3 = f.s3;
  const double eta = mat(d.eta, mt), capa_1_0 = mat(d.capa_1_0, mt),
               capa_3_0 = mat(d.capa_3_0, mt), g1 = mat(d.rs1, mt), g3 = mat(d.rs3, mt),
               b13 = mat(d.coef_b13, mt);
  friction_coefs c;
  if (ice) {
    const double pore = 1.0 - phi1;
    c.capa_1 = capa_1_0 * (phi * phi * phi) / (pore * pore * pore);
    c.capa_3 = capa_3_0 * ((pore / phi3) * (pore / phi3)) *
               ((phi / phi1) * (phi / phi1) * (phi / phi1));
    c.coef_b12 = phi * phi * eta / c.capa_1;
    c.coef_b23 = phi * phi * eta / c.capa_3;
  } else {
    c.capa_1 = 2.0 * (g1 * g1) / (9.0 * phi1);
    c.capa_3 = 2.0 * (g3 * g3) / (9.0 * phi3);
    c.coef_b12 = 45.0 * eta * (1.0 - phi) * phi1 / (phi * (g1 * g1));
    c.coef_b23 = 45.0 * eta * (1.0 - phi) * phi3 / (phi * (g3 * g3));
  }
  c.capa = c.capa_1 * c.capa_3 / (c.capa_1 + c.capa_3);
  // The solid-solid constant enters the stored f11 twice, f11' once.
  c.f11_prime = s1 * s1 * c.coef_b23 + b13 + s3 * s3 * c.coef_b12;
  c.f11 = b13 + c.f11_prime;
  c.f22 = (c.coef_b23 + c.coef_b12) / (phi * phi);
  c.f12 = (c.coef_b12 * s3 - c.coef_b23 * s1) / phi;
  return c;
}

}  // namespace

// Mass (inertial coupling) and viscous friction coefficients of the
// three-phase medium of every cell.
cell_masses mass_visco_coef(const deck_values& d, const cell_inputs& cells, mass_record& record) {
  record = {};
  record.key_model = d.key_model;
  const bool ice = (d.key_model == 0);
  cell_masses r(d.nx, d.ny);
  for (int j = 1; j <= d.nx; ++j) {
    for (int k = 1; k <= d.ny; ++k) {
      const int mt = cells.material(j, k);
      const bool reported = (j == 1 && k == 1);

      const cell_fractions& f = cells.fractions(j, k);
      check_ice_fraction(d.key_model, f);
      if (reported) record.fractions = f;
      check_control(f);

      const densities ro{.ro1 = mat(d.ro1, mt), .ro2 = mat(d.ro2, mt), .ro3 = mat(d.ro3, mt)};
      const mass_coefs mc = mass_coefficients(f, ice, ro);
      const friction_coefs fc = friction_coefficients(f, ice, d, mt);
      if (reported) {
        record.ro = ro;
        record.mass = mc;
        const friction_record& fr = record.friction.emplace(
            friction_record{fc, mat(d.coef_b13, mt), fc.f22 * fc.f11_prime - fc.f12 * fc.f12,
                            fc.f11 * fc.f22 - fc.f12 * fc.f12});
        // The friction matrix, with f11' (stop 99999) and with f11 (stop
        // 99998), must not have a negative determinant.
        if (fr.control1 < 0.0) throw run_stop{stop_friction_1, ""};
        if (fr.control2 < 0.0) throw run_stop{stop_friction_2, ""};
      }

      store_checked(j, k, {{"p11", r.p11, mc.p11}, {"p12", r.p12, mc.p12}, {"p13", r.p13, mc.p13},
                           {"p22", r.p22, mc.p22}, {"p23", r.p23, mc.p23}, {"p33", r.p33, mc.p33},
                           {"f11", r.f11, fc.f11}, {"f12", r.f12, fc.f12}, {"f22", r.f22, fc.f22}});
    }
  }
  return r;
}
