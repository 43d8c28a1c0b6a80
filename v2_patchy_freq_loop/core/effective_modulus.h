// The effective complex modulus of the sample from the finite-element
// solution, the cell fields of strain and stress, and the fluid pressure.
#pragma once

#include "common/arrays.h"
#include "input/deck.h"
#include "rock_physics/rock_physics.h"  // cell_inputs

// Phase velocity (m/s), Q and 1000/Q of a plane wave with complex modulus M
// in a medium of density rho.
struct modulus_wave {
  double velocity, q, qinv;
};
modulus_wave wave_of_modulus(cplx modulus, double rho);

// Average density of the sample (kg/m^3), with the solid fractions phi1 and
// phi3 of the last cell used for every cell.
double average_density(int nx, int ny, const cell_int& matnum, const cell_real& phiw,
                       const per_material& ro1, const per_material& ro2, const per_material& ro3,
                       double phi1, double phi3);

// Bulk density of the sample (kg/m^3): the mean over cells of each cell's
// own phi1 ro1 + phiw ro2 + phi3 ro3, its fractions from its water
// proportion phiw.
double bulk_density(const deck_values& d, const cell_inputs& cells, const cell_real& phiw);

// Mean vertical displacement of the top face under the platen: the
// trapezoid mean (u_1/2 + u_2 + ... + u_nx + u_(nx+1)/2) / nx of the
// displacement the two solids share at the nx + 1 top nodes.
cplx platen_displacement(int nx, int ny, const dof_table& xnod, const cplx* z);

// Modulus of the platen test: the unit top traction over the vertical
// strain u / domain_size (the sample's height), sign making compression
// positive; conjugate to the load, so its 1000/Q is never negative.
cplx platen_modulus(double domain_size, cplx u);

// Volume change per unit thickness of the top face: the vertical
// displacement of local unknown `top_right` (the top-right corner of a
// solid) in every top-row cell, times the cell width.
cplx top_volume_change(int nx, int ny, double h, const dof_table& xnod, const cplx* z,
                       int top_right);

// Modulus of the compressibility test: the unit top traction over the
// volumetric strain deltavol / (nx h domain_size), sign making compression positive.
cplx volume_change_modulus(int nx, double domain_size, double h, cplx deltavol);

// Vertical strains of both solids and vertical stress of every cell.
void cell_strain_stress(int nx, int ny, double h, const dof_table& xnod, const cplx* z,
                        const cell_real& lambda1, const cell_real& mu1, const cell_real& mu13,
                        const cell_real& d3, cell_cplx& strain1, cell_cplx& strain3,
                        cell_cplx& stress);

// Whether cell (j, k) has a neighbour on every side: the cells that carry a
// pressure gradient.
inline bool interior_cell(int j, int k, int nx, int ny) {
  return j >= 2 && j <= nx - 1 && k >= 2 && k <= ny - 1;
}

// Fluid pressure of every cell and, for the interior cells, its backward
// differences and the magnitude of the gradient they form.
void pressure_field(int nx, int ny, double h, const dof_table& xnod, const cplx* z,
                    const cell_real& b1, const cell_real& b2, const cell_real& m,
                    cell_cplx& pres, cell_cplx& derx_pres, cell_cplx& dery_pres,
                    cell_real& grad_pres_mod);

// The name of the first result of the test that is not a number (the
// velocity and 1000/Q from the averages, the solid-3 modulus), or nullptr.
const char* first_nan_result(const modulus_wave& averages, cplx solid3_modulus);

// First point of the logarithmic frequency rule from freq1 to freq2; the
// sweep term is left out when nfreq <= 1 or freq2 <= 0, where it is undefined.
double freq_sweep_point(double freq1, double freq2, int nfreq);
