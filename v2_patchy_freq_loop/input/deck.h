// The values of the input deck, in SI units.
#pragma once

#include <array>

#include "common/arrays.h"

// The values of the input deck.
struct deck_values {
  double freq1 = 0, freq2 = 0;
  int nfreq = 0;
  double domain_size = 0;
  int nx = 0, ny = 0, key_model = 0, nmat = 0;
  per_material akf{}, ro2{}, eta{}, ro1{}, ro3{}, phi_a_m{}, phi_layer_m{}, capa_1_0{},
      capa_3_0{}, s3{}, rs1{}, rs3{}, coef_b13{}, ak_s1{}, xmu_s1{}, ak_s3{}, xmu_s3{},
      ak_air{}, xmu_air{};
  int model = 0;
  double h = 0;
  std::array<int, 2> nl{};  // one material: nl(2) stays 0, the second layer empty
};
