// The values a deck may hold: the checks of the deck reader, which every
// other maker of a deck (the Python module) applies to the whole deck.
#pragma once

#include <array>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "input/deck.h"

// Why a value is refused ("value -1 is not positive"), or nothing.
using deck_fault = std::optional<std::string>;

deck_fault positive_fault(double v);            // freq1, domain_size: finite, above 0
deck_fault sweep_fault(int v);                  // nfreq: at most max_sweep_points
deck_fault count_fault(int v);                  // nx, ny: at least 1
deck_fault grid_fault(int nx, int ny);          // the grid's system can be indexed
deck_fault switch_fault(int v);                 // key_model, model: 0 or 1
deck_fault materials_fault(int v);              // nmat: 1 ... max_materials
deck_fault layer_fault(int v);                  // nl(i): not negative
deck_fault period_fault(std::array<int, 2> nl); // nl(1) + nl(2): not 0

// The values a material may physically take: at least `lo` (above it when
// `lo_open`) and at most `hi`.
struct value_range {
  double lo = -std::numeric_limits<double>::infinity();
  bool lo_open = false;
  double hi = std::numeric_limits<double>::infinity();
};

// The models that use a value: both, the ice model or the shaley-sand model.
enum class used_by { both, ice, shaley_sand };

// One value of a material block (one "(g20.10)" line): its name, its echo
// label, its place in the deck and the range checked when the deck's model
// uses it. Values that the rock physics already stops on (negative mineral
// moduli, fractions, friction) are left to its stops.
struct material_field {
  const char* name;
  const char* label;
  per_material deck_values::*values;
  value_range range;
  used_by model;
};

// Lines 2 ... 20 of a material block, in deck (and echo) order.
extern const std::array<material_field, 19> material_fields;


// Why value `x` of field `f` is refused in a deck of `key_model` (every
// value must be finite), or nothing.
deck_fault material_fault(const material_field& f, double x, int key_model);

// The name of entry i of a per-material value, e.g. "akf(2)".
std::string indexed_field(const char* name, int i);

// Whether material i of an ice-model deck holds at least as much water as it
// has pore space (the run stops with stop_ice_deck).
bool ice_fault(int key_model, double phi_a_m, double phi_layer_m);

// Checks every value of `d` as the deck reader checks it, in reading order:
// the first refused value throws run_stop{stop_bad_deck, "deck field F:
// why"}, the ice-model check run_stop{stop_ice_deck, ...}. A deck of one
// material must have nl(2) = 0 (the reader sets it so). `d.h` is not checked.
void check_deck(const deck_values& d);
