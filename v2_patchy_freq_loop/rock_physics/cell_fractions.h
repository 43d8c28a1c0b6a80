// Volume fractions of one cell and the checks shared by the moduli and the
// mass-coefficient routines.
#pragma once

#include <initializer_list>

#include "common/arrays.h"

// Bulk fractions phi1 (solid 1), phi (water), phi3 (solid 3) and matrix
// fractions s1, s3 of the solid part.
struct cell_fractions {
  double phi, phi1, phi3, s1, s3;
  double s3_prima, sw;  // ice model only: ice content of the pores, water saturation
  double control;       // phi1 + phi + phi3, must be 1
};

// Fractions of a cell of water proportion phi. Ice model (key_model 0) from
// the absolute porosity phi_a, shaley-sand model (key_model 1) from the
// shale proportion s3; any other key_model stops the run (code 2).
cell_fractions volume_fractions(int key_model, double phi_a, double s3, double phi);

// In the ice model, stops the run with 45678 unless 0 < phi3 < 1.
void check_ice_fraction(int key_model, const cell_fractions& f);

// |control - 1| >= 1e-15 stops the run with 555.
void check_control(const cell_fractions& f);

// A non-finite stored coefficient stops the run naming cell and field.
void check_finite(int j, int k, const char* name, double value);

// One coefficient of a cell: its name, its cell field and its value.
struct named_coefficient {
  const char* name;
  cell_real& field;
  double value;
};

// Stores each coefficient of cell (j, k) in its field, then checks them in
// order (check_finite).
void store_checked(int j, int k, std::initializer_list<named_coefficient> coefficients);
