// The routines that fill and read the cell coefficient set
// (common/cell_coefficients.h), called with the set as one struct: each
// routine's positional order of the eighteen fields is spelled out once, in
// its wrapper.
#pragma once

#include <optional>

#include "common/arrays.h"
#include "common/cell_coefficients.h"
#include "fem/fem.h"
#include "core/bulk_storage.h"
#include "input/deck.h"
#include "plane_waves/plane_waves.h"
#include "rock_physics/rock_physics.h"

// The global system in row storage with its right-hand side and solution,
// sized for the unknowns of one grid.
struct fe_system {
  explicit fe_system(std::int32_t nodos);
  // Left unwritten until the assembly (ia, ja, avec, rhs_m) or the solve (z).
  core::bulk_vector<std::int32_t> ia, ja;
  core::bulk_vector<cplx> avec, rhs_m, z;
};

// What the reports of the rock physics print: the moduli, then the masses
// once that stage is reached.
struct rock_record {
  moduli_record moduli;
  std::optional<mass_record> masses;
};

// The moduli (e_modulus), then the mass and friction coefficients
// (mass_visco_coef) of every cell at angular frequency omega, into cc, what
// their reports print going to `record`; returns what they read of every
// cell (its material and fractions).
cell_inputs rock_physics_of_cells(const deck_values& d, const cell_int& matnum,
                                  const cell_real& phiw, double omega, cell_coefficients& cc,
                                  rock_record& record);

// Plane-wave values of every cell (veloc_aten); those of cell (nx, ny).
wave_values plane_waves_of_cells(int nx, int ny, double omega, const cell_coefficients& cc,
                                 waves_record& record);

// The system of the test of `grid` (global_sist).
void assemble_system(const fe_grid& grid, const dof_table& xnod, double omega,
                     const cell_coefficients& cc, fe_system& sys);
