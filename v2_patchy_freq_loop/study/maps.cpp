#include "study/maps.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <sstream>

#include "common/report.h"
#include "study/files.h"
#include "common/result_file.h"

namespace study {

namespace {

// One map file: a line "j k value" per cell of `cells`, bottom row first.
// Written aside and renamed into place: never through a link or into a FIFO.
template <class T>
void write_map(const std::filesystem::path& file, const core::cell_map<T>& cells,
               const std::function<double(const T&)>& value) {
  std::ostringstream text;
  for (int k = 1; k <= cells.ny; ++k)
    for (int j = 1; j <= cells.nx; ++j) free_line(text, j, k, value(cells(j, k)));
  write_aside(file, text.str());
  put_in_place(file);
}

double re(const cplx& z) { return z.real(); }
double im(const cplx& z) { return z.imag(); }
double modulus(const cplx& z) { return std::abs(z); }
double same(const double& x) { return x; }

}  // namespace

void write_point_maps(const std::filesystem::path& dir, const core::point_result& r) {
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  if (ec)
    throw run_stop{stop_write_failed,
                   "cannot create directory \"" + dir.string() + "\": " + ec.message()};
  write_map<cplx>(dir / "real_strain1_map", r.strain1, re);
  write_map<cplx>(dir / "imag_strain1_map", r.strain1, im);
  write_map<cplx>(dir / "real_strain3_map", r.strain3, re);
  write_map<cplx>(dir / "imag_strain3_map", r.strain3, im);
  write_map<cplx>(dir / "real_stress_map", r.stress, re);
  write_map<cplx>(dir / "imag_stress_map", r.stress, im);
  write_map<cplx>(dir / "mod_pressure_p33_ice", r.pressure, modulus);
  write_map<double>(dir / "mod_grad_pressure_p33_ice", r.grad_pressure, same);
}

std::filesystem::path point_dir(const std::filesystem::path& study_dir, std::size_t index,
                                std::size_t n) {
  const std::size_t width = std::max<std::size_t>(4, std::to_string(n - 1).size());
  std::string digits = std::to_string(index);
  digits.insert(0, width - digits.size(), '0');
  return study_dir / ("point_" + digits);
}

}  // namespace study
