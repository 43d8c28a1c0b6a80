#include "study/water_file.h"

#include <cerrno>
#include <cstring>
#include <fstream>

#include "common/report.h"
#include "core/point.h"

namespace study {

core::water_field read_water_file(const std::string& path, int nx, int ny) {
  errno = 0;
  std::ifstream in(path);
  if (!in)
    throw run_stop{stop_bad_water_file,
                   "cannot open water field \"" + path + "\" for reading: " + std::strerror(errno)};
  return core::read_water_field(nx, ny, in, "water field \"" + path + "\"");
}

}  // namespace study
