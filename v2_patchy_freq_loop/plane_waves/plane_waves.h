// Plane-wave reference values of the three-phase medium of each cell.
#pragma once

#include <optional>

#include "common/arrays.h"
#include "common/cell_coefficients.h"

// Velocities (m/s) and 1000/Q of the three compressional and two shear
// plane waves.
struct wave_values {
  double vp1, vp2, vp3, vs1, vs2;
  double qinv_p1, qinv_p2, qinv_p3, qinv_s1, qinv_s2;  // 1000/Q
};

// One plane wave: phase velocity (m/s), attenuation (dB per wavelength),
// Q and 1000/Q.
struct wave {
  double v, at, q, qinv;
};

// What the plane-wave report prints, filled as the cells are computed:
// the angular frequency, the waves of the central cell (nx / 2, ny / 2)
// and the first velocity that is not positive, named, with its value.
struct waves_record {
  double omega = 0;
  struct central_cell {
    int j, k;
    wave p1, p2, p3, s1, s2;
  };
  std::optional<central_cell> central;
  struct bad_velocity {
    const char* name;
    double value;
  };
  std::optional<bad_velocity> failure;
};

// Roots x1, x2, x3 of a x^3 + b x^2 + c x + d = 0 (Cardano).
void cubeq2(cplx a, cplx b, cplx c, cplx d, cplx& x1, cplx& x2, cplx& x3);

// Eigenvalues of the 3 x 3 column-major matrix mat.
void cautov(const cplx* mat, cplx& l1, cplx& l2, cplx& l3);

// Inverts in place the leading n x n block of the 5 x 5 column-major mat.
void c_invert(int n, cplx* mat);

// Plane waves of every cell of the nx x ny grid of coefficients cc at
// angular frequency omega; returns the values of cell (nx, ny), what its
// report prints going to `record`. A non-positive velocity stops with
// 2000 ... 2004.
wave_values veloc_aten(int nx, int ny, double omega, const cell_coefficients& cc,
                       waves_record& record);

// The plane waves of one cell at angular frequency omega, from the same
// dispersion relations as veloc_aten but stable at any frequency: the
// compressional waves ordered fastest first, the shear waves likewise.
// The fast compressional wave tends to sqrt(H_u / rho) as omega -> 0, with
// H_u = lambda1 + 2 mu1 + lambda3 + 2 mu3 + 2 (d3 + mu13) and
// rho = p11 + 2 p13 + p33, and its 1000/Q to 0 in proportion to omega.
wave_values stable_plane_waves(const coefficients_of_cell& q, double omega);
