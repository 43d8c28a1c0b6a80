// Finite-element system of the harmonic compressibility test: numbering of
// the unknowns, element matrices and assembly in Yale row storage.
#pragma once

#include <array>
#include <cstdint>

#include "common/arrays.h"

using element_matrix = std::array<cplx, local_dofs * local_dofs>;  // 20 x 20, column-major
using element_load = std::array<cplx, local_dofs>;

// Entry (row r, column c) of an element matrix, r and c from 1 to 20.
inline cplx& entry(element_matrix& a, int r, int c) { return a[(r - 1) + local_dofs * (c - 1)]; }
inline cplx entry(const element_matrix& a, int r, int c) {
  return a[(r - 1) + local_dofs * (c - 1)];
}

// Number of unknowns of an nx x ny grid.
inline std::int32_t unknowns(int nx, int ny) { return (6 * nx + 5) * ny + 5 * nx + 4; }

// Global numbers of the 20 unknowns of every cell.
void global_numbering(int nx, int ny, dof_table& xnod);

// Element matrix and load of cell (j, k), with the boundary conditions and
// the top load of the test; zeroes the cell's six mass coefficients.
void local_sys(int j, int k, int nx, int ny, double omega, double h, double lambda1,
               double lambda3, double mu1, double mu3, double mu13, double b1, double b2,
               double m, double d3, double& p11, double& p12, double& p13, double& p22,
               double& p23, double& p33, double f11, double f12, double f22, element_matrix& a,
               element_load& load);

// Adds v to entry (row r, column c) of the row storage, inserting it in
// sorted position when new.
void contribucion_yale(std::int32_t c, std::int32_t r, cplx v, std::int32_t n, std::int32_t* ia,
                       std::int32_t* ja, cplx* avec);

// Row pattern of the cells' coupling in ia (n + 1 entries) and ja (room for
// row_capacity places per unknown): row r holds, in increasing order, the
// unknowns of the cells that contain r; ja is zero behind the last entry.
void build_pattern(int nx, int ny, const dof_table& xnod, std::int32_t* ia, std::int32_t* ja);

// Global matrix (ia, ja, avec) and right-hand side rhs_m of the test.
void global_sist(double omega, int nx, int ny, double h, const dof_table& xnod,
                 const cell_real& lambda1, const cell_real& lambda3, const cell_real& mu1,
                 const cell_real& mu3, const cell_real& mu13, const cell_real& b1,
                 const cell_real& b2, const cell_real& m, const cell_real& d3, cell_real& p11,
                 cell_real& p12, cell_real& p13, cell_real& p22, cell_real& p23, cell_real& p33,
                 const cell_real& f11, const cell_real& f12, const cell_real& f22, cplx* avec,
                 std::int32_t* ia, std::int32_t* ja, cplx* rhs_m);
