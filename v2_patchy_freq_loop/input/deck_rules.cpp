#include "input/deck_rules.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <stdexcept>

#include "common/grid_limits.h"
#include "common/report.h"
#include "input/input.h"

namespace {

// No solid or fluid is stiffer than this (diamond: 4.4e11 Pa), in Pa.
constexpr double max_modulus = 1e12;

constexpr value_range any{};
constexpr value_range positive{0, true};       // densities
constexpr value_range non_negative{0, false};  // viscosity, permeability, grain size
constexpr value_range positive_modulus{0, true, max_modulus};
constexpr value_range non_negative_modulus{0, false, max_modulus};
constexpr value_range modulus{-std::numeric_limits<double>::infinity(), false, max_modulus};

std::string value_text(double v) { return "value " + free_real(v); }
std::string value_text(int v) { return "value " + std::to_string(v); }

}  // namespace

const std::array<material_field, 19> material_fields{{
    {"akf", " akf (GPA) (fluid bulk mod.    = ", &deck_values::akf, positive_modulus,
     used_by::both},
    {"ro2", " ro2 (gr/cm^3) (fluid density) = ", &deck_values::ro2, positive, used_by::both},
    {"eta", " eta (poise) (fluid viscosity) = ", &deck_values::eta, non_negative, used_by::both},
    {"ro1", " ro1(kgr/m^3)                  = ", &deck_values::ro1, positive, used_by::both},
    {"ro3", " ro3(kgr/m^3)                  = ", &deck_values::ro3, positive, used_by::both},
    {"phi_a_m", " phi_a (absolute porosity,ice) = ", &deck_values::phi_a_m, any, used_by::both},
    {"phi_layer_m", " phi_layer1 (water proportion) = ", &deck_values::phi_layer_m, any,
     used_by::both},
    {"capa_1_0", " capa_1_0 (cm^2) (ice)         = ", &deck_values::capa_1_0, non_negative,
     used_by::ice},
    {"capa_3_0", " capa_3_0 (cm^2) (ice)         = ", &deck_values::capa_3_0, non_negative,
     used_by::ice},
    {"s3", " s3 (shale proportion)(shales) = ", &deck_values::s3, any, used_by::both},
    {"rs1", " rs1 (m^2)   (shale)          = ", &deck_values::rs1, non_negative,
     used_by::shaley_sand},
    {"rs3", " rs3 (m^2) (shale)            = ", &deck_values::rs3, non_negative,
     used_by::shaley_sand},
    {"coef_b13", " coef_b13                      = ", &deck_values::coef_b13, any, used_by::both},
    {"ak_air", " ak_air(PA )                   = ", &deck_values::ak_air, non_negative_modulus,
     used_by::ice},
    {"xmu_air", " xmu_air (PA)                  = ", &deck_values::xmu_air, non_negative_modulus,
     used_by::ice},
    {"ak_s1", " ak_s1  (PA)                   = ", &deck_values::ak_s1, modulus, used_by::both},
    {"xmu_s1", " xmu_s1 (PA)                   = ", &deck_values::xmu_s1, modulus, used_by::both},
    {"ak_s3", " ak_s3  (PA)                   = ", &deck_values::ak_s3, modulus, used_by::both},
    {"xmu_s3", " xmu_s3 (PA)                   = ", &deck_values::xmu_s3, modulus, used_by::both},
}};

deck_fault positive_fault(double v) {
  if (!std::isfinite(v)) return value_text(v) + " is not a finite number";
  if (v > 0) return {};
  return value_text(v) + " is not positive";
}

deck_fault sweep_fault(int v) {
  if (v <= max_sweep_points) return {};
  return value_text(v) + " is above " + std::to_string(max_sweep_points);
}

deck_fault count_fault(int v) {
  if (v >= 1) return {};
  return value_text(v) + " is below 1";
}

deck_fault grid_fault(int nx, int ny) {
  if (grid_fits(nx, ny)) return {};
  return grid_refusal(nx, ny, "its system or its factors cannot be indexed");
}

deck_fault switch_fault(int v) {
  if (v == 0 || v == 1) return {};
  return value_text(v) + " is neither 0 nor 1";
}

deck_fault materials_fault(int v) {
  if (v >= 1 && v <= max_materials) return {};
  return value_text(v) + " outside 1 ... " + std::to_string(max_materials);
}

deck_fault layer_fault(int v) {
  if (v >= 0) return {};
  return value_text(v) + " is negative";
}

deck_fault period_fault(std::array<int, 2> nl) {
  if (std::int64_t{nl[0]} + nl[1] != 0) return {};
  return "nl(1) + nl(2) = 0 leaves the layer period empty";
}

deck_fault material_fault(const material_field& f, double x, int key_model) {
  if (f.model == used_by::ice && key_model != 0) return {};
  if (f.model == used_by::shaley_sand && key_model != 1) return {};
  const value_range& r = f.range;
  if (!std::isfinite(x)) return value_text(x) + " is not a finite number";
  if (x < r.lo || (r.lo_open && x == r.lo))
    return value_text(x) + (r.lo_open ? " is not positive" : " is negative");
  if (x > r.hi) return value_text(x) + " is above " + free_real(r.hi);
  return {};
}

std::string indexed_field(const char* name, int i) {
  return std::string(name) + "(" + std::to_string(i) + ")";
}

bool ice_fault(int key_model, double phi_a_m, double phi_layer_m) {
  return key_model == 0 && !(phi_layer_m < phi_a_m);
}

namespace {

// Stops with the deck's fault `f` of `field`, if any.
void refuse(const std::string& field, const deck_fault& f) {
  if (f) throw run_stop{stop_bad_deck, "deck field " + field + ": " + *f};
}

// The checks of material block i, in reading order.
void check_block(const deck_values& d, int i) {
  refuse(indexed_field("nl", i), layer_fault(d.nl[i - 1]));
  if (i == d.nmat) refuse(indexed_field("nl", i), period_fault(d.nl));
  for (const material_field& f : material_fields) {
    refuse(indexed_field(f.name, i), material_fault(f, mat(d.*f.values, i), d.key_model));
    if (f.values == &deck_values::phi_layer_m &&
        ice_fault(d.key_model, mat(d.phi_a_m, i), mat(d.phi_layer_m, i))) {
      throw run_stop{stop_ice_deck, "ice model: phi_layer_m(" + std::to_string(i) + ") = " +
                                        free_real(mat(d.phi_layer_m, i)) +
                                        " is not below phi_a_m(" + std::to_string(i) +
                                        ") = " + free_real(mat(d.phi_a_m, i))};
    }
  }
}

}  // namespace

void check_deck(const deck_values& d) {
  refuse("freq1", positive_fault(d.freq1));
  refuse("nfreq", sweep_fault(d.nfreq));
  refuse("domain_size", positive_fault(d.domain_size));
  refuse("nx", count_fault(d.nx));
  refuse("ny", count_fault(d.ny));
  refuse("ny", grid_fault(d.nx, d.ny));
  refuse("key_model", switch_fault(d.key_model));
  refuse("model", switch_fault(d.model));
  refuse("nmat", materials_fault(d.nmat));
  if (d.nmat == 1 && d.nl[1] != 0) refuse("nl(2)", "value " + std::to_string(d.nl[1]) +
                                                       " with one material (must be 0)");
  for (int i = 1; i <= d.nmat; ++i) check_block(d, i);
}
