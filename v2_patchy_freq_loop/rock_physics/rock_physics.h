// Rock physics: per-cell moduli, mass and friction coefficients of the
// three-phase medium (solid 1, water, solid 3), with the records of what
// their reports print of cell (1, 1).
#pragma once

#include <optional>
#include <vector>

#include "common/arrays.h"
#include "common/cell_coefficients.h"
#include "input/deck.h"
#include "rock_physics/cell_fractions.h"

// Bulk and shear modulus of an isotropic elastic material (Pa).
struct elastic_moduli {
  double k, mu;
};

// Kuster-Toksoz moduli of a host holding spherical inclusions at volume
// concentration c.
elastic_moduli kt(const elastic_moduli& host, const elastic_moduli& inclusion, double c);

// What the rock physics reads of every cell: its material (1 or 2) and its
// volume fractions, computed once.
struct cell_inputs {
  cell_int material;
  cell_array<cell_fractions> fractions;
};

// The material and the fractions of every cell of deck d with the material
// map matnum and the water proportions phiw.
cell_inputs inputs_of_cells(const deck_values& d, const cell_int& matnum, const cell_real& phiw);

// Moduli of the three-phase composite of one cell (Pa): average bulk and
// viscous shear, the shear moduli of the solids, the Biot-type and
// Gassmann-type moduli and the two-dimensional Lame-type coefficients.
struct composite_moduli {
  double kav, xmuav, mu1, mu3, mu13;
  double alfa1, alfa3, kg1, kg3, kg, k1, k2, k3, c12, c13, c23;
  double h1, h3, b1, b2, b3, lambda1, lambda3, d3;
};

// A cell of the grid (j, k) with one value of it.
struct cell_value {
  int j, k;
  double value;
};

// What the moduli report prints, filled as the cells are computed, so that
// a stop leaves what was reached: the fractions of cell (1, 1) once its ice
// fraction is checked, its moduli, every later cell whose lambda1 is not
// positive, and the cell whose strain energy is not positive definite.
struct moduli_record {
  int key_model = 0;
  std::optional<cell_fractions> fractions;
  std::optional<composite_moduli> moduli;
  std::vector<cell_value> negative_lambda1;
  std::optional<cell_value> strain_energy;  // value: its stop code
};

// The nine moduli fields of every cell at angular frequency omega (Pa);
// what its report prints goes to `record`.
cell_moduli e_modulus(const deck_values& d, const cell_inputs& cells, double omega,
                      moduli_record& record);

// Densities of the three phases of a material (kg/m^3).
struct densities {
  double ro1, ro2, ro3;
};

// Mean densities and mass coefficients of one cell (kg/m^3).
struct mass_coefs {
  double ro, ro_prim;  // fluid with solid 3, fluid with solid 1
  double p11, p12, p13, p22, p23, p33;
};

// Permeabilities (m^2), friction constants and friction coefficients of one
// cell; f11_prime is f11 with the solid-solid constant counted once.
struct friction_coefs {
  double capa_1, capa_3, capa, coef_b12, coef_b23;
  double f11_prime, f11, f12, f22;
};

// The friction of cell (1, 1): its coefficients, its solid-solid constant
// and the determinants of its friction matrix with f11' and with f11.
struct friction_record {
  friction_coefs coefs;
  double b13, control1, control2;
};

// What the mass report prints, filled as cell (1, 1) is computed: its
// fractions once its ice fraction is checked, its densities and mass
// coefficients, its friction.
struct mass_record {
  int key_model = 0;
  std::optional<cell_fractions> fractions;
  std::optional<densities> ro;
  std::optional<mass_coefs> mass;
  std::optional<friction_record> friction;
};

// The six mass and three friction fields of every cell; what its report
// prints goes to `record`. The shaley-sand model takes its grain sizes
// from rs1, rs3.
cell_masses mass_visco_coef(const deck_values& d, const cell_inputs& cells, mass_record& record);
