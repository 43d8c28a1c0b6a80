// One run of the permafrost example on an n x n grid, held stage by stage:
// deck, cell coefficients, plane waves, assembly, ordering, factorization.
// Shared by the tests and the benchmarks.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/arrays.h"
#include "fem/fem.h"
#include "input/input.h"
#include "plane_waves/plane_waves.h"
#include "rock_physics/rock_physics.h"
#include "yale/yale.h"

// The example deck `name` (permafrost, shaley_sand) with an nx x ny grid.
inline std::string deck_text(int nx, int ny, const std::string& name = "permafrost") {
  std::ifstream in(std::filesystem::path(V2PFL_EXAMPLES) / (name + ".deck"));
  std::ostringstream deck;
  std::string line;
  for (int number = 1; std::getline(in, line); ++number)
    deck << (number == 5 ? std::to_string(nx) : number == 6 ? std::to_string(ny) : line) << '\n';
  return deck.str();
}
inline std::string deck_text(int n) { return deck_text(n, n); }

// Every array of one run, filled up to the stage being measured.
struct example_system {
  double freq1, freq2, domain_size, h;
  int nfreq, nx, ny, key_model, nmat, model;
  per_material akf, ro2, eta, ro1, ro3, phi_a_m, phi_layer_m, capa_1_0, capa_3_0, s3, rs1, rs3,
      coef_b13, ak_s1, xmu_s1, ak_s3, xmu_s3, ak_air, xmu_air;
  std::array<int, 2> nl;
  cell_int matnum;
  cell_real phiw;
  cell_coefficients cc;
  double s1_, s3_, phi1_, phi3_;
  double omega;
  dof_table xnod;
  std::vector<std::int32_t> ia, ja, c, ic;
  std::vector<cplx> avec, rhs_m, z, work;
  std::ostringstream report;

  explicit example_system(int n)
      : matnum(n, n),
        phiw(n, n),
        cc(n, n),
        xnod(n, n),
        ia(unknowns(n, n) + 1),
        ja(std::size_t(row_capacity) * unknowns(n, n)),
        c(unknowns(n, n)),
        ic(unknowns(n, n)),
        avec(ja.size()),
        rhs_m(unknowns(n, n)),
        z(unknowns(n, n)),
        work(work_slots) {
    std::istringstream deck(deck_text(n));
    readata(freq1, freq2, nfreq, domain_size, nx, ny, key_model, nmat, akf, ro2, eta, ro1, ro3,
            phi_a_m, phi_layer_m, capa_1_0, capa_3_0, s3, rs1, rs3, coef_b13, ak_s1, xmu_s1,
            ak_s3, xmu_s3, ak_air, xmu_air, model, h, nl, deck, report);
    phi_layer_m = {0.2, 0.2};
    for (int k = 1; k <= ny; ++k)
      for (int j = 1; j <= nx; ++j) matnum(j, k) = 1;
    std::istringstream no_file;
    porosity(nx, ny, phi_layer_m, model, phiw, no_file);
    omega = 6.283185307179586 * freq1;
    coefficients();
    global_numbering(nx, ny, xnod);
  }
  void coefficients() {
    report.str({});
    e_modulus(nx, ny, matnum, phi_a_m, phiw, s3, akf, eta, omega, ak_air, xmu_air, ak_s3, xmu_s3,
              ak_s1, xmu_s1, key_model, cc.lambda1, cc.lambda3, cc.mu1, cc.mu3, cc.mu13, cc.b1,
              cc.b2, cc.m, cc.d3, report);
    mass_visco_coef(nx, ny, matnum, phi_a_m, phiw, s3, eta, key_model, ro1, ro2, ro3, capa_1_0,
                    capa_3_0, rs1, rs3, coef_b13, cc.p11, cc.p12, cc.p13, cc.p22, cc.p23,
                    cc.p33, cc.f11, cc.f12, cc.f22, s1_, s3_, phi1_, phi3_, report);
  }
  void plane_waves() {
    report.str({});
    wave_values w;
    veloc_aten(nx, ny, omega, cc.p11, cc.p12, cc.p13, cc.p22, cc.p23, cc.p33, cc.f11, cc.f12,
               cc.f22, cc.lambda1, cc.lambda3, cc.mu1, cc.mu3, cc.mu13, cc.b1, cc.b2, cc.m, cc.d3,
               w, report);
  }
  void assemble() {
    global_sist({nx, ny, h, fe_test::per_solid}, xnod, omega, cc, avec.data(), ia.data(),
                ja.data(), rhs_m.data());
  }
  std::int32_t order() {
    std::int32_t n = unknowns(nx, ny), nsp = work_slots, path = 1, flag = 0;
    zodrv(&n, ia.data(), ja.data(), avec.data(), c.data(), ic.data(), &nsp,
          reinterpret_cast<std::int32_t*>(work.data()), &path, &flag);
    return flag;
  }
  std::int32_t factor_solve(std::int32_t& esp) {
    std::int32_t n = unknowns(nx, ny), nsp = work_slots, path = 1, flag = 0;
    zndrv(&n, c.data(), c.data(), ic.data(), ia.data(), ja.data(), avec.data(), rhs_m.data(),
          z.data(), &nsp, reinterpret_cast<std::int32_t*>(work.data()), work.data(), &esp, &path,
          &flag);
    return flag;
  }
};

