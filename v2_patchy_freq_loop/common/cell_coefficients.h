// The cell coefficient set: the moduli, mass and friction coefficients of
// the three-phase medium, cell by cell, and those of one cell.
#pragma once

#include <utility>

#include "common/arrays.h"

// The moduli of every cell (Pa): the rock physics' first result.
struct cell_moduli {
  cell_moduli(int nx, int ny)
      : lambda1(nx, ny), lambda3(nx, ny), mu1(nx, ny), mu3(nx, ny), mu13(nx, ny), b1(nx, ny),
        b2(nx, ny), m(nx, ny), d3(nx, ny) {}
  cell_real lambda1, lambda3, mu1, mu3, mu13, b1, b2, m, d3;
};

// The mass coefficients (kg/m^3) and friction coefficients (Pa s/m^2) of
// every cell: the rock physics' second result.
struct cell_masses {
  cell_masses(int nx, int ny)
      : p11(nx, ny), p12(nx, ny), p13(nx, ny), p22(nx, ny), p23(nx, ny), p33(nx, ny),
        f11(nx, ny), f12(nx, ny), f22(nx, ny) {}
  cell_real p11, p12, p13, p22, p23, p33, f11, f12, f22;
};

// The coefficients of one cell: moduli (Pa), mass coefficients (kg/m^3) and
// friction coefficients (Pa s/m^2).
struct coefficients_of_cell {
  double lambda1, lambda3, mu1, mu3, mu13, b1, b2, m, d3;
  double p11, p12, p13, p22, p23, p33, f11, f12, f22;
};

// The same eighteen coefficients of every cell.
struct cell_coefficients : cell_moduli, cell_masses {
  cell_coefficients(int nx, int ny) : cell_moduli(nx, ny), cell_masses(nx, ny) {}
  cell_coefficients(cell_moduli moduli, cell_masses masses)
      : cell_moduli(std::move(moduli)), cell_masses(std::move(masses)) {}

  // The coefficients of cell (j, k).
  coefficients_of_cell at(int j, int k) const {
    return {lambda1(j, k), lambda3(j, k), mu1(j, k), mu3(j, k), mu13(j, k), b1(j, k),
            b2(j, k),      m(j, k),       d3(j, k),  p11(j, k), p12(j, k),  p13(j, k),
            p22(j, k),     p23(j, k),     p33(j, k), f11(j, k), f12(j, k),  f22(j, k)};
  }
};
