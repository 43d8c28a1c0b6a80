#include "rock_physics/cell_fractions.h"

#include <cmath>
#include <string>

#include "common/report.h"

// Volume fractions of one cell for the ice or the shaley-sand model.
cell_fractions volume_fractions(int key_model, double phi_a, double s3, double phi) {
  cell_fractions f{};
  f.phi = phi;
  if (key_model == 0) {
    f.phi1 = 1.0 - phi_a;
    f.phi3 = phi_a - phi;
    f.s3 = f.phi3 / (1.0 - phi);
    f.s1 = 1.0 - f.s3;
    f.s3_prima = f.phi3 / (1.0 - f.phi1);
    f.sw = phi / phi_a;
    f.control = f.phi1 + phi + f.phi3;
  } else if (key_model == 1) {
    f.s3 = s3;
    f.phi3 = s3 * (1.0 - phi);
    f.s1 = 1.0 - s3;
    f.phi1 = f.s1 * (1.0 - phi);
    f.control = f.phi3 + f.phi1 + phi;
  } else {
    throw run_stop{stop_bad_deck, "key_model " + std::to_string(key_model) +
                                      " is neither 0 (ice) nor 1 (shaley sand)"};
  }
  return f;
}

// Ice fills the pores beside the water: its bulk fraction lies in (0, 1).
void check_ice_fraction(int key_model, const cell_fractions& f) {
  if (key_model == 0 && (f.phi3 <= 0.0 || f.phi3 >= 1.0)) throw run_stop{stop_ice_fraction, ""};
}

// The fractions of a cell must add up to 1.
void check_control(const cell_fractions& f) {
  if (std::abs(f.control - 1.0) >= 1e-15) throw run_stop{stop_fractions_sum, ""};
}

// NaN or infinite coefficients (a zero fraction, grain size or permeability
// divides by zero) cannot feed the finite-element system.
void check_finite(int j, int k, const char* name, double value) {
  if (std::isfinite(value)) return;
  throw run_stop{stop_nonfinite, "cell (" + std::to_string(j) + "," + std::to_string(k) +
                                     "): coefficient " + name + " is not finite"};
}

void store_checked(int j, int k, std::initializer_list<named_coefficient> coefficients) {
  for (const named_coefficient& c : coefficients) c.field(j, k) = c.value;
  for (const named_coefficient& c : coefficients) check_finite(j, k, c.name, c.value);
}
