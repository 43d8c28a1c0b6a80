#include <string>

#include "common/report.h"
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
void ice_model_check(const deck_values& d, int i, std::ostream& out) {
  if (!ice_fault(d.key_model, mat(d.phi_a_m, i), mat(d.phi_layer_m, i))) return;
  free_line(out, " Ice model, phi_a_m is smaller than phi_layer_m(i) ");
  free_line(out, " ERROR, the code stops ");
  free_line(out, " phi_a_m(i) = ", mat(d.phi_a_m, i), " phi_layer_m(i) = ", mat(d.phi_layer_m, i));
  throw run_stop{stop_ice_deck, ""};
}

// Reads block i of the deck: nl(i), then the material values in deck order,
// with the ice-model check right after phi_layer_m(i).
void read_block(deck_reader& deck, int i, deck_values& d, std::ostream& out) {
  const std::string nl_field = indexed_field("nl", i);
  d.nl[i - 1] = deck.read_free_int(nl_field);
  check(deck, nl_field, layer_fault(d.nl[i - 1]));
  if (i == d.nmat) check(deck, nl_field, period_fault(d.nl));
  for (const material_field& f : material_fields) {
    const std::string field = indexed_field(f.name, i);
    double& x = mat(d.*f.values, i);
    x = deck.read_g20_10(field);
    check(deck, field, material_fault(f, x, d.key_model));
    if (f.values == &deck_values::phi_layer_m) ice_model_check(d, i, out);
  }
}

// Echo of block i: its heading, nl(i), and the material values with an
// empty line after the fluid viscosity `eta`.
void echo_block(const deck_values& d, int i, std::ostream& out) {
  const std::string stars(34, '*');
  free_line(out, stars);
  free_line(out, " layer i=  ", i);
  free_line(out);
  free_line(out, stars);
  free_line(out, " nl(i) = cell in layer i       = ", d.nl[i - 1]);
  for (const material_field& f : material_fields) {
    free_line(out, f.label, mat(d.*f.values, i));
    if (f.values == &deck_values::eta) free_line(out);
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

  free_line(out, d.freq1);
  free_line(out, d.freq2);
  free_line(out, d.nfreq);
  free_line(out, d.domain_size);
  free_line(out, d.nx);
  free_line(out, d.ny);
  free_line(out, d.key_model);
  free_line(out, d.model);
  free_line(out, d.nmat);

  for (int i = 1; i <= d.nmat; ++i) read_block(deck, i, d, out);
  for (int i = 1; i <= d.nmat; ++i) echo_block(d, i, out);
  free_line(out, " model (=0,layered,=1,fractal  = ", d.model);
  free_line(out);

  d.h = d.domain_size / d.ny;
  free_line(out, " mesh size h ", d.h);
  return {d, deck.warnings()};
}
