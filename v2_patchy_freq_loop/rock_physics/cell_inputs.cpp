#include "rock_physics/rock_physics.h"

// Each cell's fractions from its material's porosity or shale proportion
// and its water proportion.
cell_inputs inputs_of_cells(const deck_values& d, const cell_int& matnum, const cell_real& phiw) {
  cell_inputs c{matnum, cell_array<cell_fractions>(d.nx, d.ny)};
  for (int k = 1; k <= d.ny; ++k)
    for (int j = 1; j <= d.nx; ++j) {
      const int mt = matnum(j, k);
      c.fractions(j, k) =
          volume_fractions(d.key_model, mat(d.phi_a_m, mt), mat(d.s3, mt), phiw(j, k));
    }
  return c;
}
