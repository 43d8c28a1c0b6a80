// The values of a deck text, its echo discarded. Shared by the tests and
// the benchmarks.
#pragma once

#include <sstream>
#include <string>

#include "input/deck.h"
#include "input/input.h"

inline deck_values deck_values_of(const std::string& text) {
  std::istringstream in(text);
  std::ostringstream echo;
  deck_values d;
  readata(d.freq1, d.freq2, d.nfreq, d.domain_size, d.nx, d.ny, d.key_model, d.nmat, d.akf,
          d.ro2, d.eta, d.ro1, d.ro3, d.phi_a_m, d.phi_layer_m, d.capa_1_0, d.capa_3_0, d.s3,
          d.rs1, d.rs3, d.coef_b13, d.ak_s1, d.xmu_s1, d.ak_s3, d.xmu_s3, d.ak_air, d.xmu_air,
          d.model, d.h, d.nl, in, echo);
  return d;
}
