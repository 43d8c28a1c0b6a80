#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "common/report.h"
#include "input/input.h"

// Opens the water-distribution file for reading. A missing file, a
// directory, a file that is not a regular file or one past the size limit
// stops the run, naming the cause, before anything of it is read.
void open_water_file(std::ifstream& water, const std::filesystem::path& name) {
  auto stop = [&](const std::string& why) {
    throw run_stop{stop_bad_water_file, "cannot read \"" + name.string() + "\": " + why};
  };
  struct stat st {};
  if (::stat(name.c_str(), &st) != 0) stop(std::strerror(errno));
  if (S_ISDIR(st.st_mode)) stop(std::strerror(EISDIR));
  if (!S_ISREG(st.st_mode)) stop("not a regular file");
  if (st.st_size > max_water_file_bytes) {
    stop(std::to_string(st.st_size) + " bytes, more than the limit of " +
         std::to_string(max_water_file_bytes) + " bytes");
  }
  errno = 0;
  water.open(name);
  if (!water) stop(errno != 0 ? std::strerror(errno) : "cannot open");
}
