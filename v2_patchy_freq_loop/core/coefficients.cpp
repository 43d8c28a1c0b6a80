#include "core/coefficients.h"

#include "rock_physics/rock_physics.h"

fe_system::fe_system(std::int32_t nodos)
    : ia(static_cast<std::size_t>(nodos) + 1),
      ja(static_cast<std::size_t>(row_capacity) * nodos),
      avec(ja.size()),
      rhs_m(static_cast<std::size_t>(nodos)),
      z(static_cast<std::size_t>(nodos)) {}

solid_fractions rock_physics_of_cells(const deck_values& d, const cell_int& matnum,
                                      const cell_real& phiw, double omega, cell_coefficients& cc,
                                      std::ostream& out) {
  e_modulus(d.nx, d.ny, matnum, d.phi_a_m, phiw, d.s3, d.akf, d.eta, omega, d.ak_air, d.xmu_air,
            d.ak_s3, d.xmu_s3, d.ak_s1, d.xmu_s1, d.key_model, cc.lambda1, cc.lambda3, cc.mu1,
            cc.mu3, cc.mu13, cc.b1, cc.b2, cc.m, cc.d3, out);
  solid_fractions f;
  mass_visco_coef(d.nx, d.ny, matnum, d.phi_a_m, phiw, d.s3, d.eta, d.key_model, d.ro1, d.ro2,
                  d.ro3, d.capa_1_0, d.capa_3_0, d.rs1, d.rs3, d.coef_b13, cc.p11, cc.p12, cc.p13,
                  cc.p22, cc.p23, cc.p33, cc.f11, cc.f12, cc.f22, f.s1, f.s3, f.phi1, f.phi3,
                  out);
  return f;
}

wave_values plane_waves_of_cells(int nx, int ny, double omega, const cell_coefficients& cc,
                                 std::ostream& out) {
  wave_values waves{};
  veloc_aten(nx, ny, omega, cc.p11, cc.p12, cc.p13, cc.p22, cc.p23, cc.p33, cc.f11, cc.f12,
             cc.f22, cc.lambda1, cc.lambda3, cc.mu1, cc.mu3, cc.mu13, cc.b1, cc.b2, cc.m, cc.d3,
             waves, out);
  return waves;
}

void assemble_system(const fe_grid& grid, const dof_table& xnod, double omega,
                     const cell_coefficients& cc, fe_system& sys) {
  global_sist(grid, xnod, omega, cc, sys.avec.data(), sys.ia.data(), sys.ja.data(),
              sys.rhs_m.data());
}
