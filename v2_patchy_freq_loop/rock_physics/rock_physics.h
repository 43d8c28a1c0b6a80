// Rock physics: per-cell moduli, mass and friction coefficients of the
// three-phase medium (solid 1, water, solid 3).
#pragma once

#include <ostream>

#include "common/arrays.h"
#include "common/cell_coefficients.h"
#include "input/deck.h"
#include "rock_physics/cell_fractions.h"

// Kuster-Toksoz moduli (k, mu) of a host (km, mum) holding spherical
// inclusions (ki, mui) at volume concentration c.
void kt(double km, double mum, double ki, double mui, double c, double& k, double& mu);

// What the rock physics reads of every cell: its material (1 or 2) and its
// volume fractions, computed once.
struct cell_inputs {
  cell_int material;
  cell_array<cell_fractions> fractions;
};

// The material and the fractions of every cell of deck d with the material
// map matnum and the water proportions phiw.
cell_inputs inputs_of_cells(const deck_values& d, const cell_int& matnum, const cell_real& phiw);

// The nine moduli fields of every cell at angular frequency omega (Pa);
// reports cell (1, 1).
cell_moduli e_modulus(const deck_values& d, const cell_inputs& cells, double omega,
                      std::ostream& out);

// The six mass and three friction fields of every cell; reports cell (1, 1).
// The shaley-sand model takes its grain sizes from rs1, rs3.
cell_masses mass_visco_coef(const deck_values& d, const cell_inputs& cells, std::ostream& out);
