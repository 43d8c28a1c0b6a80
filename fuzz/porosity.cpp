// Fuzzing the water-distribution file reader: the first two bytes choose the
// grid (1 ... 60 cells each way), the rest is the file. Any file ends in
// water proportions within 0 ... 1 or in stop 3 with a one-line message.
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "common/report.h"
#include "input/input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const int nx = 1 + data[0] % 60, ny = 1 + data[1] % 60;
  std::istringstream water(std::string(reinterpret_cast<const char*>(data) + 2, size - 2));
  cell_real phiw(nx, ny);
  try {
    porosity(nx, ny, {0.2, 0.2}, 1, phiw, water);
  } catch (const run_stop& stop) {
    if (stop.code != stop_bad_water_file || stop.message.find('\n') != std::string::npos)
      std::abort();
    return 0;
  }
  for (int k = 1; k <= ny; ++k)
    for (int j = 1; j <= nx; ++j)
      if (!(phiw(j, k) >= 0 && phiw(j, k) <= 1)) std::abort();
  return 0;
}
