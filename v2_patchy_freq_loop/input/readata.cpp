#include <string>

#include "input/deck_reader.h"
#include "input/deck_rules.h"
#include "input/input.h"

namespace {

// Stops the run with the fault of the value just read, if any.
void check(const deck_reader& deck, const std::string& field, const deck_fault& fault) {
  if (fault) deck.fail(field, *fault);
}

// Stops the run (code 11) when, in the ice model, material i holds at
// least as much water as it has pore space.
void ice_model_check(const deck_values& d, int i) {
  if (ice_fault(d.key_model, mat(d.phi_a_m, i), mat(d.phi_layer_m, i)))
    throw run_stop{stop_ice_deck, ""};
}

// Reads the nine header values, each checked as it is read.
void read_header(deck_reader& deck, deck_values& d) {
  d.freq1 = deck.read_free_real("freq1");
  check(deck, "freq1", positive_fault(d.freq1));
  d.freq2 = deck.read_free_real("freq2");
  d.nfreq = deck.read_free_int("nfreq");
  check(deck, "nfreq", sweep_fault(d.nfreq));
  d.domain_size = deck.read_free_real("domain_size");
  check(deck, "domain_size", positive_fault(d.domain_size));
  d.nx = deck.read_free_int("nx");
  check(deck, "nx", count_fault(d.nx));
  d.ny = deck.read_free_int("ny");
  check(deck, "ny", count_fault(d.ny));
  check(deck, "ny", grid_fault(d.nx, d.ny));
  d.key_model = deck.read_i5("key_model");
  check(deck, "key_model", switch_fault(d.key_model));
  d.model = deck.read_i5("model");
  check(deck, "model", switch_fault(d.model));
  d.nmat = deck.read_free_int("nmat");
  check(deck, "nmat", materials_fault(d.nmat));
}

// Reads block i of the deck: nl(i), then the material values in deck order,
// with the ice-model check right after phi_layer_m(i).
void read_block(deck_reader& deck, int i, deck_values& d) {
  const std::string nl_field = indexed_field("nl", i);
  d.nl[i - 1] = deck.read_free_int(nl_field);
  check(deck, nl_field, layer_fault(d.nl[i - 1]));
  if (i == d.nmat) check(deck, nl_field, period_fault(d.nl));
  for (const material_field& f : material_fields) {
    const std::string field = indexed_field(f.name, i);
    double& x = mat(d.*f.values, i);
    x = deck.read_g20_10(field);
    check(deck, field, material_fault(f, x, d.key_model));
    if (f.values == &deck_values::phi_layer_m) ice_model_check(d, i);
  }
}

}  // namespace

// Reads the header and the material blocks of the deck, rejecting an ice
// model whose water proportion reaches the porosity, and derives the cell
// side. A stop carries how far the reading got.
deck_reading readata(std::istream& in) {
  deck_reader deck(in);
  deck_values d;
  bool header_read = false;
  int block = 0;
  try {
    read_header(deck, d);
    header_read = true;
    for (block = 1; block <= d.nmat; ++block) read_block(deck, block, d);
  } catch (const run_stop& stop) {
    throw deck_stop(stop, d, header_read, stop.code == stop_ice_deck ? block : 0);
  }
  d.h = d.domain_size / d.ny;
  return {d, deck.warnings()};
}
