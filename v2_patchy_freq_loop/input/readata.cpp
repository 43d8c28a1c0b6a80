#include <cstdint>
#include <limits>
#include <span>
#include <string>

#include "common/grid_limits.h"
#include "common/report.h"
#include "input/deck_reader.h"
#include "input/input.h"

namespace {

// Field name of entry i of a per-material value, e.g. "akf(2)".
std::string indexed(const char* name, int i) {
  return std::string(name) + "(" + std::to_string(i) + ")";
}

// The values a material may physically take: at least `lo` (above it when
// `lo_open`; `lo` is 0 or unbounded) and at most `hi`. Values that the rock physics already stops
// on (negative mineral moduli, fractions, friction) are left to its stops.
struct value_range {
  double lo = -std::numeric_limits<double>::infinity();
  bool lo_open = false;
  double hi = std::numeric_limits<double>::infinity();
};

// No solid or fluid is stiffer than this (diamond: 4.4e11 Pa), in Pa.
constexpr double max_modulus = 1e12;

constexpr value_range any{};
constexpr value_range positive{0, true};       // densities
constexpr value_range non_negative{0, false};  // viscosity, permeability, grain size
constexpr value_range positive_modulus{0, true, max_modulus};
constexpr value_range non_negative_modulus{0, false, max_modulus};
constexpr value_range modulus{-std::numeric_limits<double>::infinity(), false, max_modulus};

// The models that use a value: both, the ice model or the shaley-sand model.
enum class used_by { both, ice, shaley_sand };

// One "(g20.10)" line of a material block: its name, its echo label, the
// per-material array it fills, and the range checked when its model uses it.
struct block_value {
  const char* name;
  const char* label;
  per_material* values;
  value_range range = any;
  used_by model = used_by::both;
};

// Stops the run if the value just read is outside its range, for a value
// the deck's model uses.
void check_value(const deck_reader& deck, const block_value& v, int i, int key_model) {
  if (v.model == used_by::ice && key_model != 0) return;
  if (v.model == used_by::shaley_sand && key_model != 1) return;
  const double x = mat(*v.values, i);
  const value_range& r = v.range;
  const std::string text = "value " + free_real(x);
  if (x < r.lo || (r.lo_open && x == r.lo))
    deck.fail(indexed(v.name, i), text + (r.lo_open ? " is not positive" : " is negative"));
  if (x > r.hi) deck.fail(indexed(v.name, i), text + " is above " + free_real(r.hi));
}

// Stops the run if the integer just read lies outside lo ... hi.
void check_range(const deck_reader& deck, const std::string& field, int v, int lo, int hi) {
  if (v < lo || v > hi) {
    deck.fail(field, "value " + std::to_string(v) + " outside " + std::to_string(lo) + " ... " +
                         std::to_string(hi));
  }
}

// Stops the run if the count just read is below 1.
void check_count(const deck_reader& deck, const std::string& field, int v) {
  if (v < 1) deck.fail(field, "value " + std::to_string(v) + " is below 1");
}

// Stops the run if the real just read is not positive.
void check_positive(const deck_reader& deck, const std::string& field, double v) {
  if (!(v > 0)) deck.fail(field, "value " + free_real(v) + " is not positive");
}

// Stops the run if a model switch just read is neither 0 nor 1.
void check_switch(const deck_reader& deck, const std::string& field, int v) {
  if (v != 0 && v != 1) deck.fail(field, "value " + std::to_string(v) + " is neither 0 nor 1");
}

// Stops the run (code 11) when, in the ice model, material i holds at
// least as much water as it has pore space.
void ice_model_check(int key_model, int i, const per_material& phi_a_m,
                     const per_material& phi_layer_m, std::ostream& out) {
  if (key_model != 0 || mat(phi_layer_m, i) < mat(phi_a_m, i)) return;
  free_line(out, " Ice model, phi_a_m is smaller than phi_layer_m(i) ");
  free_line(out, " ERROR, the code stops ");
  free_line(out, " phi_a_m(i) = ", mat(phi_a_m, i), " phi_layer_m(i) = ", mat(phi_layer_m, i));
  throw run_stop{stop_ice_deck, ""};
}

// Reads block i of the deck: nl(i), then the values of `block` in order,
// with the ice-model check right after phi_layer_m(i).
void read_block(deck_reader& deck, int i, int nmat, int key_model, std::array<int, 2>& nl,
                std::span<const block_value> block, const per_material& phi_a_m,
                const per_material& phi_layer_m, std::ostream& out) {
  const std::string nl_field = indexed("nl", i);
  nl[i - 1] = deck.read_free_int(nl_field);
  if (nl[i - 1] < 0) deck.fail(nl_field, "value " + std::to_string(nl[i - 1]) + " is negative");
  if (i == nmat && std::int64_t{nl[0]} + nl[1] == 0) {
    deck.fail(nl_field, "nl(1) + nl(2) = 0 leaves the layer period empty");
  }
  for (const block_value& v : block) {
    mat(*v.values, i) = deck.read_g20_10(indexed(v.name, i));
    check_value(deck, v, i, key_model);
    if (v.values == &phi_layer_m) ice_model_check(key_model, i, phi_a_m, phi_layer_m, out);
  }
}

// Echo of block i: its heading, nl(i), and the values of `block` with an
// empty line after the fluid viscosity `eta`.
void echo_block(int i, int nl_i, std::span<const block_value> block, const per_material& eta,
                std::ostream& out) {
  const std::string stars(34, '*');
  free_line(out, stars);
  free_line(out, " layer i=  ", i);
  free_line(out);
  free_line(out, stars);
  free_line(out, " nl(i) = cell in layer i       = ", nl_i);
  for (const block_value& v : block) {
    free_line(out, v.label, mat(*v.values, i));
    if (v.values == &eta) free_line(out);
  }
}

}  // namespace

// Reads the header and the material blocks of the deck, rejecting an ice
// model whose water proportion reaches the porosity, echoes the deck and
// derives the cell side.
deck_reading readata(std::istream& in, std::ostream& out) {
  deck_reader deck(in);
  deck_values d;

  d.freq1 = deck.read_free_real("freq1");
  check_positive(deck, "freq1", d.freq1);
  d.freq2 = deck.read_free_real("freq2");
  d.nfreq = deck.read_free_int("nfreq");
  if (d.nfreq > max_sweep_points)
    deck.fail("nfreq", "value " + std::to_string(d.nfreq) + " is above " +
                           std::to_string(max_sweep_points));
  d.domain_size = deck.read_free_real("domain_size");
  check_positive(deck, "domain_size", d.domain_size);
  d.nx = deck.read_free_int("nx");
  check_count(deck, "nx", d.nx);
  d.ny = deck.read_free_int("ny");
  check_count(deck, "ny", d.ny);
  if (!grid_fits(d.nx, d.ny))
    deck.fail("ny", grid_refusal(d.nx, d.ny, "its system or its factors cannot be indexed"));
  d.key_model = deck.read_i5("key_model");
  check_switch(deck, "key_model", d.key_model);
  d.model = deck.read_i5("model");
  check_switch(deck, "model", d.model);
  d.nmat = deck.read_free_int("nmat");
  check_range(deck, "nmat", d.nmat, 1, max_materials);

  free_line(out, d.freq1);
  free_line(out, d.freq2);
  free_line(out, d.nfreq);
  free_line(out, d.domain_size);
  free_line(out, d.nx);
  free_line(out, d.ny);
  free_line(out, d.key_model);
  free_line(out, d.model);
  free_line(out, d.nmat);

  // Lines 2 ... 20 of a material block, in reading (and echo) order.
  const block_value block[] = {
      {"akf", " akf (GPA) (fluid bulk mod.    = ", &d.akf, positive_modulus},
      {"ro2", " ro2 (gr/cm^3) (fluid density) = ", &d.ro2, positive},
      {"eta", " eta (poise) (fluid viscosity) = ", &d.eta, non_negative},
      {"ro1", " ro1(kgr/m^3)                  = ", &d.ro1, positive},
      {"ro3", " ro3(kgr/m^3)                  = ", &d.ro3, positive},
      {"phi_a_m", " phi_a (absolute porosity,ice) = ", &d.phi_a_m},
      {"phi_layer_m", " phi_layer1 (water proportion) = ", &d.phi_layer_m},
      {"capa_1_0", " capa_1_0 (cm^2) (ice)         = ", &d.capa_1_0, non_negative, used_by::ice},
      {"capa_3_0", " capa_3_0 (cm^2) (ice)         = ", &d.capa_3_0, non_negative, used_by::ice},
      {"s3", " s3 (shale proportion)(shales) = ", &d.s3},
      {"rs1", " rs1 (m^2)   (shale)          = ", &d.rs1, non_negative, used_by::shaley_sand},
      {"rs3", " rs3 (m^2) (shale)            = ", &d.rs3, non_negative, used_by::shaley_sand},
      {"coef_b13", " coef_b13                      = ", &d.coef_b13},
      {"ak_air", " ak_air(PA )                   = ", &d.ak_air, non_negative_modulus, used_by::ice},
      {"xmu_air", " xmu_air (PA)                  = ", &d.xmu_air, non_negative_modulus,
       used_by::ice},
      {"ak_s1", " ak_s1  (PA)                   = ", &d.ak_s1, modulus},
      {"xmu_s1", " xmu_s1 (PA)                   = ", &d.xmu_s1, modulus},
      {"ak_s3", " ak_s3  (PA)                   = ", &d.ak_s3, modulus},
      {"xmu_s3", " xmu_s3 (PA)                   = ", &d.xmu_s3, modulus},
  };

  for (int i = 1; i <= d.nmat; ++i) {
    read_block(deck, i, d.nmat, d.key_model, d.nl, block, d.phi_a_m, d.phi_layer_m, out);
  }
  for (int i = 1; i <= d.nmat; ++i) echo_block(i, d.nl[i - 1], block, d.eta, out);
  free_line(out, " model (=0,layered,=1,fractal  = ", d.model);
  free_line(out);

  d.h = d.domain_size / d.ny;
  free_line(out, " mesh size h ", d.h);
  return {d, deck.warnings()};
}
