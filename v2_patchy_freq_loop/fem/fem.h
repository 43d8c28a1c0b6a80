// Finite-element system of the harmonic compressibility test: numbering of
// the unknowns, element matrices and assembly in Yale row storage.
#pragma once

#include <array>
#include <cstdint>

#include "common/arrays.h"
#include "common/cell_coefficients.h"

// The compressibility test, both on rollers left, right and bottom, closed
// to flow on every side, loaded on the top:
//   per_solid: a unit normal traction on the top of each solid; moduli from
//              solid 1 alone (the cell averages of stress and strain, and the
//              top face's volume change). Their 1000/Q may be negative.
//   platen:    a rigid, frictionless platen on the top: both solids share
//              their top vertical displacement under a total traction of 1;
//              the modulus is conjugate to the load, so 1000/Q >= 0.
enum class fe_test { per_solid, platen };

// The cells of a test: an nx x ny grid of square cells of side h (m).
struct fe_grid {
  int nx, ny;
  double h;
  fe_test test;
};

using element_matrix = std::array<cplx, local_dofs * local_dofs>;  // 20 x 20, column-major
using element_load = std::array<cplx, local_dofs>;

// Element matrix and load of one cell.
struct element {
  element_matrix a;
  element_load load;
};

// Entry (row r, column c) of an element matrix, r and c from 1 to 20.
inline cplx& entry(element_matrix& a, int r, int c) { return a[(r - 1) + local_dofs * (c - 1)]; }
inline cplx entry(const element_matrix& a, int r, int c) {
  return a[(r - 1) + local_dofs * (c - 1)];
}

// Number of unknowns of an nx x ny grid under `test`: the platen test has
// one vertical unknown fewer at each of the nx + 1 top nodes.
inline std::int32_t unknowns(int nx, int ny, fe_test test = fe_test::per_solid) {
  return (6 * nx + 5) * ny + 5 * nx + 4 - (test == fe_test::platen ? nx + 1 : 0);
}

// Global numbers of the 20 unknowns of every cell under `test`.
void global_numbering(int nx, int ny, dof_table& xnod, fe_test test = fe_test::per_solid);

// Element matrix and load of cell (j, k) of `grid` at angular frequency
// omega, with the boundary conditions and the top load of its test. The
// test is quasi-static: the mass coefficients of q do not enter.
element local_sys(const fe_grid& grid, int j, int k, double omega, const coefficients_of_cell& q);

// Adds v to entry (row r, column c) of the row storage, inserting it in
// sorted position when new.
void contribucion_yale(std::int32_t c, std::int32_t r, cplx v, std::int32_t n, std::int32_t* ia,
                       std::int32_t* ja, cplx* avec);

// Row pattern of the cells' coupling of n unknowns in ia (n + 1 entries)
// and ja (room for row_capacity places per unknown): row r holds, in
// increasing order, the unknowns of the cells that contain r; ja is zero
// behind the last entry.
void build_pattern(int nx, int ny, std::int32_t n, const dof_table& xnod, std::int32_t* ia,
                   std::int32_t* ja);

// Global matrix (ia, ja, avec) and right-hand side rhs_m of the test of
// `grid` with the unknowns numbered by xnod, at angular frequency omega.
void global_sist(const fe_grid& grid, const dof_table& xnod, double omega,
                 const cell_coefficients& cc, cplx* avec, std::int32_t* ia, std::int32_t* ja,
                 cplx* rhs_m);
