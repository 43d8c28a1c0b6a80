// Plane-wave reference values of the three-phase medium of each cell.
#pragma once

#include <ostream>

#include "common/arrays.h"

// Velocities (m/s) and 1000/Q of the three compressional and two shear
// plane waves.
struct wave_values {
  double vp1, vp2, vp3, vs1, vs2;
  double qinv_p1, qinv_p2, qinv_p3, qinv_s1, qinv_s2;  // 1000/Q
};

// Roots x1, x2, x3 of a x^3 + b x^2 + c x + d = 0 (Cardano).
void cubeq2(cplx a, cplx b, cplx c, cplx d, cplx& x1, cplx& x2, cplx& x3);

// Eigenvalues of the 3 x 3 column-major matrix mat.
void cautov(const cplx* mat, cplx& l1, cplx& l2, cplx& l3);

// Inverts in place the leading n x n block of the 5 x 5 column-major mat.
void c_invert(int n, cplx* mat);

// Plane waves of every cell; reports the central cell and returns the
// values of cell (nx, ny). A non-positive velocity stops with 2000 ... 2004.
void veloc_aten(int nx, int ny, double omega, const cell_real& p11, const cell_real& p12,
                const cell_real& p13, const cell_real& p22, const cell_real& p23,
                const cell_real& p33, const cell_real& f11, const cell_real& f12,
                const cell_real& f22, const cell_real& lambda1, const cell_real& lambda3,
                const cell_real& mu1, const cell_real& mu3, const cell_real& mu13,
                const cell_real& b1, const cell_real& b2, const cell_real& m,
                const cell_real& d3, wave_values& out_values, std::ostream& out);
