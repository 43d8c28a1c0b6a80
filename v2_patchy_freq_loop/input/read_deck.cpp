#include "input/input.h"

deck_values read_deck(std::istream& in, std::ostream& out) {
  deck_values d;
  readata(d.freq1, d.freq2, d.nfreq, d.domain_size, d.nx, d.ny, d.key_model, d.nmat, d.akf,
          d.ro2, d.eta, d.ro1, d.ro3, d.phi_a_m, d.phi_layer_m, d.capa_1_0, d.capa_3_0, d.s3,
          d.rs1, d.rs3, d.coef_b13, d.ak_s1, d.xmu_s1, d.ak_s3, d.xmu_s3, d.ak_air, d.xmu_air,
          d.model, d.h, d.nl, in, out);
  return d;
}
