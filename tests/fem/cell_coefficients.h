// A cell coefficient set for the finite-element tests: moduli, mass and
// friction coefficients that vary from cell to cell, so that the sums of the
// assembly depend on their order.
#pragma once

#include <random>

#include "common/arrays.h"

struct cell_coefficient_set {
  cell_real lambda1, lambda3, mu1, mu3, mu13, b1, b2, m, d3;
  cell_real p11, p12, p13, p22, p23, p33;
  cell_real f11, f12, f22;

  // Rock-like magnitudes (GPa moduli, kg/m^3 masses, Pa s/m^2 friction),
  // each cell drawn afresh from a seeded generator.
  explicit cell_coefficient_set(unsigned seed) {
    std::mt19937 gen(seed);
    auto around = [&gen](double x) { return std::uniform_real_distribution<double>(0.5 * x, 1.5 * x)(gen); };
    for (int k = 1; k <= max_cells; ++k) {
      for (int j = 1; j <= max_cells; ++j) {
        lambda1(j, k) = around(2.1e10), lambda3(j, k) = around(7.3e9);
        mu1(j, k) = around(1.7e10), mu3(j, k) = around(3.1e9), mu13(j, k) = around(1.3e9);
        b1(j, k) = around(4.4e9), b2(j, k) = around(1.9e9), m(j, k) = around(6.7e9);
        d3(j, k) = around(2.3e9);
        p11(j, k) = around(2.2e3), p12(j, k) = around(-1.3e2), p13(j, k) = around(1.1e2);
        p22(j, k) = around(1.8e3), p23(j, k) = around(-0.7e2), p33(j, k) = around(9.2e2);
        f11(j, k) = around(3.3e7), f12(j, k) = around(-1.2e7), f22(j, k) = around(5.9e7);
      }
    }
  }
};
