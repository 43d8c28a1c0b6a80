// The cell coefficient set and the routines that fill and read it, called
// with the set as one struct: each routine's positional order of the
// eighteen fields is spelled out once, in its wrapper.
#pragma once

#include <ostream>

#include "common/arrays.h"
#include "core/bulk_storage.h"
#include "input/deck.h"
#include "plane_waves/plane_waves.h"

// Moduli (Pa), mass coefficients (kg/m^3) and friction coefficients
// (Pa s/m^2) of every cell.
struct cell_coefficients {
  cell_coefficients(int nx, int ny);
  cell_real lambda1, lambda3, mu1, mu3, mu13, b1, b2, m, d3;
  cell_real p11, p12, p13, p22, p23, p33, f11, f12, f22;
};

// Matrix fractions s1, s3 and bulk fractions phi1, phi3 of the last cell.
struct solid_fractions {
  double s1 = 0, s3 = 0, phi1 = 0, phi3 = 0;
};

// The global system in row storage with its right-hand side and solution,
// sized for the unknowns of one grid.
struct fe_system {
  explicit fe_system(std::int32_t nodos);
  // Left unwritten until the assembly (ia, ja, avec, rhs_m) or the solve (z).
  core::bulk_vector<std::int32_t> ia, ja;
  core::bulk_vector<cplx> avec, rhs_m, z;
};

// The moduli (e_modulus), then the mass and friction coefficients
// (mass_visco_coef) of every cell at angular frequency omega.
solid_fractions rock_physics_of_cells(const deck_values& d, const cell_int& matnum,
                                      const cell_real& phiw, double omega, cell_coefficients& cc,
                                      std::ostream& out);

// Plane-wave values of every cell (veloc_aten); those of cell (nx, ny).
wave_values plane_waves_of_cells(int nx, int ny, double omega, const cell_coefficients& cc,
                                 std::ostream& out);

// The system of the compressibility test (global_sist); clears the mass
// coefficients of cc.
void assemble_system(int nx, int ny, double h, double omega, const dof_table& xnod,
                     cell_coefficients& cc, fe_system& sys);
