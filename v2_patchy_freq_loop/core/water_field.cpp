#include "core/point.h"

#include <fstream>

#include "input/input.h"

namespace core {

water_field uniform_field(int nx, int ny, double water) {
  return {nx, ny, std::vector<double>(static_cast<std::size_t>(nx) * ny, water)};
}

namespace {

// The cell water proportions that porosity sets for `model`, as a field.
water_field porosity_field(int nx, int ny, int model, std::istream& water,
                           const std::string& source) {
  cell_real phiw(nx, ny);
  porosity(nx, ny, {batch_water_proportion, batch_water_proportion}, model, phiw, water,
           source);
  water_field field = uniform_field(nx, ny, 0.0);
  for (int k = 1; k <= ny; ++k)
    for (int j = 1; j <= nx; ++j) field(j, k) = phiw(j, k);
  return field;
}

}  // namespace

water_field batch_water_field(const deck_values& deck, std::istream& water,
                               const std::string& source) {
  return porosity_field(deck.nx, deck.ny, deck.model, water, source);
}

water_field read_water_field(int nx, int ny, std::istream& water, const std::string& source) {
  return porosity_field(nx, ny, 1, water, source);
}

water_field read_water_file(const std::filesystem::path& path, int nx, int ny) {
  std::ifstream water;
  open_water_file(water, path);
  return read_water_field(nx, ny, water, path.string());
}

}  // namespace core
