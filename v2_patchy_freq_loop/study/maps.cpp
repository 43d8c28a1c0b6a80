#include "study/maps.h"

#include <algorithm>
#include <sstream>

#include "common/report.h"
#include "study/files.h"

namespace study {

namespace {

double re(const cplx& z) { return z.real(); }
double im(const cplx& z) { return z.imag(); }
double modulus(const cplx& z) { return std::abs(z); }
double same(const double& x) { return x; }

// The lines of map `member` of a result, each cell's value(entry).
template <class T, core::cell_map<T> core::point_result::*member, double (*value)(const T&)>
void lines(std::ostream& out, const core::point_result& r) {
  const core::cell_map<T>& cells = r.*member;
  for (int k = 1; k <= cells.ny; ++k)
    for (int j = 1; j <= cells.nx; ++j) free_line(out, j, k, value(cells(j, k)));
}

using core::point_result;

}  // namespace

const std::array<map_file, 8> point_maps = {{
    {"mod_pressure_p33_ice", lines<cplx, &point_result::pressure, modulus>},
    {"mod_grad_pressure_p33_ice", lines<double, &point_result::grad_pressure, same>},
    {"real_strain1_map", lines<cplx, &point_result::strain1, re>},
    {"imag_strain1_map", lines<cplx, &point_result::strain1, im>},
    {"real_strain3_map", lines<cplx, &point_result::strain3, re>},
    {"imag_strain3_map", lines<cplx, &point_result::strain3, im>},
    {"real_stress_map", lines<cplx, &point_result::stress, re>},
    {"imag_stress_map", lines<cplx, &point_result::stress, im>},
}};

void write_point_maps(const std::filesystem::path& dir, const core::point_result& r) {
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  if (ec)
    throw run_stop{stop_write_failed,
                   "cannot create directory \"" + dir.string() + "\": " + ec.message()};
  // Each map written aside and renamed into place: never through a link or
  // into a FIFO.
  for (const map_file& m : point_maps) {
    std::ostringstream text;
    m.write(text, r);
    write_aside(dir / m.name, text.str());
    put_in_place(dir / m.name);
  }
}

std::filesystem::path point_dir(const std::filesystem::path& study_dir, std::size_t index,
                                std::size_t n) {
  const std::size_t width = std::max<std::size_t>(4, std::to_string(n - 1).size());
  std::string digits = std::to_string(index);
  digits.insert(0, width - digits.size(), '0');
  return study_dir / ("point_" + digits);
}

}  // namespace study
