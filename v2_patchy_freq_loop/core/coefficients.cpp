#include "core/coefficients.h"

#include <utility>

#include "fem/fem.h"
#include "rock_physics/rock_physics.h"

fe_system::fe_system(std::int32_t nodos)
    : ia(static_cast<std::size_t>(nodos) + 1),
      ja(static_cast<std::size_t>(row_capacity) * nodos),
      avec(ja.size()),
      rhs_m(static_cast<std::size_t>(nodos)),
      z(static_cast<std::size_t>(nodos)) {}

cell_inputs rock_physics_of_cells(const deck_values& d, const cell_int& matnum,
                                  const cell_real& phiw, double omega, cell_coefficients& cc,
                                  std::ostream& out) {
  cell_inputs cells = inputs_of_cells(d, matnum, phiw);
  cell_moduli moduli = e_modulus(d, cells, omega, out);
  cc = cell_coefficients(std::move(moduli), mass_visco_coef(d, cells, out));
  return cells;
}

wave_values plane_waves_of_cells(int nx, int ny, double omega, const cell_coefficients& cc,
                                 std::ostream& out) {
  return veloc_aten(nx, ny, omega, cc, out);
}

void assemble_system(int nx, int ny, double h, double omega, const dof_table& xnod,
                     cell_coefficients& cc, fe_system& sys) {
  global_sist(omega, nx, ny, h, xnod, cc.lambda1, cc.lambda3, cc.mu1, cc.mu3, cc.mu13, cc.b1,
              cc.b2, cc.m, cc.d3, cc.p11, cc.p12, cc.p13, cc.p22, cc.p23, cc.p33, cc.f11, cc.f12,
              cc.f22, sys.avec.data(), sys.ia.data(), sys.ja.data(), sys.rhs_m.data());
}
