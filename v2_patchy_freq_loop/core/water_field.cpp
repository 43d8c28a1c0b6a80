#include "core/point.h"
#include "input/input.h"

namespace core {

water_field uniform_field(int nx, int ny, double water) {
  return {nx, ny, std::vector<double>(static_cast<std::size_t>(nx) * ny, water)};
}

water_field legacy_water_field(const deck_values& deck, std::istream& water) {
  cell_real phiw(deck.nx, deck.ny);
  porosity(deck.nx, deck.ny, {legacy_water_proportion, legacy_water_proportion}, deck.model,
           phiw, water);
  water_field field = uniform_field(deck.nx, deck.ny, 0.0);
  for (int k = 1; k <= deck.ny; ++k)
    for (int j = 1; j <= deck.nx; ++j) field(j, k) = phiw(j, k);
  return field;
}

}  // namespace core
