// Rock physics: per-cell moduli, mass and friction coefficients of the
// three-phase medium (solid 1, water, solid 3).
#pragma once

#include <ostream>

#include "common/arrays.h"

// Kuster-Toksoz moduli (k, mu) of a host (km, mum) holding spherical
// inclusions (ki, mui) at volume concentration c.
void kt(double km, double mum, double ki, double mui, double c, double& k, double& mu);

// The nine moduli fields of every cell (Pa); reports cell (1, 1).
void e_modulus(int nx, int ny, const cell_int& matnum, const per_material& phi_a_m,
               const cell_real& phiw, const per_material& s3, const per_material& akf,
               const per_material& eta, double omega, const per_material& ak_air,
               const per_material& xmu_air, const per_material& ak_s3,
               const per_material& xmu_s3, const per_material& ak_s1,
               const per_material& xmu_s1, int key_model, cell_real& lambda1,
               cell_real& lambda3, cell_real& mu1, cell_real& mu3, cell_real& mu13,
               cell_real& b1, cell_real& b2, cell_real& m, cell_real& d3, std::ostream& out);

// The six mass and three friction fields of every cell; returns the matrix
// fractions s1, s3 and bulk fractions phi1, phi3 of cell (nx, ny).
// r1, r3 are the grain sizes of the shaley-sand model, taken per material.
void mass_visco_coef(int nx, int ny, const cell_int& matnum, const per_material& phi_a_m,
                     const cell_real& phiw, const per_material& s3, const per_material& eta,
                     int key_model, const per_material& ro1, const per_material& ro2,
                     const per_material& ro3, const per_material& capa_1_0,
                     const per_material& capa_3_0, const per_material& r1,
                     const per_material& r3, const per_material& coef_b13, cell_real& p11,
                     cell_real& p12, cell_real& p13, cell_real& p22, cell_real& p23,
                     cell_real& p33, cell_real& f11, cell_real& f12, cell_real& f22,
                     double& s1_last, double& s3_last, double& phi1_last, double& phi3_last,
                     std::ostream& out);
