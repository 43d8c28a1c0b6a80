// Deck values of two test materials and one-call wrappers of the rock
// physics routines that capture the report and the stop code.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "common/report.h"
#include "rock_physics/rock_physics.h"

// Per-material inputs; materials 1 and 2 start alike (quartz frame, ice or
// clay as solid 3, water).
struct rock_deck {
  int key_model = 0;
  per_material phi_a_m{0.4, 0.4}, s3{0.2, 0.2}, akf{2.25e9, 2.25e9}, eta{1e-3, 1e-3},
      ak_air{1.5e5, 1.5e5}, xmu_air{0.0, 0.0}, ak_s3{8.58e9, 8.58e9}, xmu_s3{3.7e9, 3.7e9},
      ak_s1{3.7e10, 3.7e10}, xmu_s1{4.4e10, 4.4e10}, ro1{2650.0, 2650.0}, ro2{1000.0, 1000.0},
      ro3{920.0, 920.0}, capa_1_0{1e-13, 1e-13}, capa_3_0{1e-13, 1e-13}, rs1{5e-5, 5e-5},
      rs3{1e-6, 1e-6}, coef_b13{1e7, 1e7};
  double omega = 628.3;
  int nx = 1, ny = 1;
  cell_int matnum;
  cell_real phiw;

  // Permafrost (key_model 0) or shaley sand (key_model 1) on an nx x ny
  // grid of material 1 at water proportion phi.
  static rock_deck make(int key, int cells_x, int cells_y, double phi) {
    rock_deck d;
    if (key == 1) {
      d.key_model = 1;
      d.ak_s3 = {2.1e10, 2.1e10};
      d.xmu_s3 = {7e9, 7e9};
      d.ro3 = {2600.0, 2600.0};
      d.coef_b13 = {0.0, 0.0};
    }
    d.nx = cells_x, d.ny = cells_y;
    for (int k = 1; k <= d.ny; ++k)
      for (int j = 1; j <= d.nx; ++j) d.matnum(j, k) = 1, d.phiw(j, k) = phi;
    return d;
  }
};

struct moduli {
  cell_real lambda1, lambda3, mu1, mu3, mu13, b1, b2, m, d3;
};

struct masses {
  cell_real p11, p12, p13, p22, p23, p33, f11, f12, f22;
  double s1 = -1, s3 = -1, phi1 = -1, phi3 = -1;
};

// Report lines, stop code (0 when none) and the diagnostic of one call.
struct outcome {
  std::vector<std::string> lines;
  int code = 0;
  std::string message;
};

template <class Call>
outcome capture(Call call) {
  std::ostringstream out;
  outcome o;
  try {
    call(out);
  } catch (const run_stop& s) {
    o.code = s.code, o.message = s.message;
  }
  std::istringstream in(out.str());
  for (std::string l; std::getline(in, l);) o.lines.push_back(l);
  return o;
}

inline outcome run_moduli(const rock_deck& d, moduli& r) {
  return capture([&](std::ostream& out) {
    e_modulus(d.nx, d.ny, d.matnum, d.phi_a_m, d.phiw, d.s3, d.akf, d.eta, d.omega, d.ak_air,
              d.xmu_air, d.ak_s3, d.xmu_s3, d.ak_s1, d.xmu_s1, d.key_model, r.lambda1,
              r.lambda3, r.mu1, r.mu3, r.mu13, r.b1, r.b2, r.m, r.d3, out);
  });
}

inline outcome run_masses(const rock_deck& d, masses& r) {
  return capture([&](std::ostream& out) {
    mass_visco_coef(d.nx, d.ny, d.matnum, d.phi_a_m, d.phiw, d.s3, d.eta, d.key_model, d.ro1,
                    d.ro2, d.ro3, d.capa_1_0, d.capa_3_0, d.rs1, d.rs3, d.coef_b13, r.p11,
                    r.p12, r.p13, r.p22, r.p23, r.p33, r.f11, r.f12, r.f22, r.s1, r.s3, r.phi1,
                    r.phi3, out);
  });
}
