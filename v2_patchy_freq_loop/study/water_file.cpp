#include "study/water_file.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <string_view>

#include "common/report.h"
#include "input/input.h"

namespace study {

core::water_field read_water_file(const std::string& path, int nx, int ny) {
  errno = 0;
  std::ifstream in(path);
  if (!in)
    throw run_stop{stop_bad_water_file,
                   "cannot open water field \"" + path + "\" for reading: " + std::strerror(errno)};
  cell_real phiw(nx, ny);
  try {
    porosity(nx, ny, {}, 1, phiw, in);
  } catch (run_stop& stop) {
    // The reader names the legacy file; name the one actually read.
    constexpr std::string_view legacy = "phiw_binary_patchy.dat";
    if (std::string_view(stop.message).starts_with(legacy))
      stop.message.replace(0, legacy.size(), "water field \"" + path + "\"");
    throw;
  }
  core::water_field field = core::uniform_field(nx, ny, 0.0);
  for (int k = 1; k <= ny; ++k)
    for (int j = 1; j <= nx; ++j) field(j, k) = phiw(j, k);
  return field;
}

}  // namespace study
