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
                                  rock_record& record) {
  record = {};
  cell_inputs cells = inputs_of_cells(d, matnum, phiw);
  cell_moduli moduli = e_modulus(d, cells, omega, record.moduli);
  cc = cell_coefficients(std::move(moduli), mass_visco_coef(d, cells, record.masses.emplace()));
  return cells;
}

wave_values plane_waves_of_cells(int nx, int ny, double omega, const cell_coefficients& cc,
                                 waves_record& record) {
  return veloc_aten(nx, ny, omega, cc, record);
}

void assemble_system(const fe_grid& grid, const dof_table& xnod, double omega,
                     const cell_coefficients& cc, fe_system& sys) {
  global_sist(grid, xnod, omega, cc, sys.avec.data(), sys.ia.data(), sys.ja.data(),
              sys.rhs_m.data());
}
