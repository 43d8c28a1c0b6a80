// Fuzzing the input deck reader: any bytes on standard input end in a deck
// the README calls valid or in a documented stop with a one-line message,
// echoed as the report echoes it. An accepted deck's layers are then
// numbered and reported as the run numbers and reports them.
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "common/grid_limits.h"
#include "common/report.h"
#include "driver/report.h"
#include "input/deck.h"
#include "input/input.h"

namespace {

// Aborts (a finding) unless `ok`.
void require(bool ok) {
  if (!ok) std::abort();
}

// What the README promises of an accepted deck.
void require_valid(const deck_values& d) {
  require(d.freq1 > 0 && std::isfinite(d.freq1) && d.domain_size > 0);
  require(d.nfreq <= max_sweep_points);
  require(d.nx >= 1 && d.ny >= 1 && grid_fits(d.nx, d.ny));
  require((d.key_model == 0 || d.key_model == 1) && (d.model == 0 || d.model == 1));
  require(d.nmat >= 1 && d.nmat <= max_materials);
  require(d.nl[0] >= 0 && d.nl[1] >= 0 && std::int64_t{d.nl[0]} + d.nl[1] > 0);
  require(d.h > 0 && std::isfinite(d.h));
  for (int i = 1; i <= d.nmat; ++i) {
    require(mat(d.akf, i) > 0 && mat(d.akf, i) <= 1e12 && mat(d.eta, i) >= 0);
    require(mat(d.ro1, i) > 0 && mat(d.ro2, i) > 0 && mat(d.ro3, i) > 0);
    for (const per_material* m : {&d.ak_s1, &d.xmu_s1, &d.ak_s3, &d.xmu_s3})
      require(mat(*m, i) <= 1e12);
    if (d.key_model == 0) {
      require(mat(d.phi_layer_m, i) < mat(d.phi_a_m, i));
      require(mat(d.capa_1_0, i) >= 0 && mat(d.capa_3_0, i) >= 0);
      require(mat(d.ak_air, i) >= 0 && mat(d.ak_air, i) <= 1e12);
      require(mat(d.xmu_air, i) >= 0 && mat(d.xmu_air, i) <= 1e12);
    } else {
      require(mat(d.rs1, i) >= 0 && mat(d.rs3, i) >= 0);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  std::ostringstream out;
  deck_values d;
  try {
    d = readata(in).values;
  } catch (const deck_stop& stop) {
    require(stop.code == stop_bad_deck || stop.code == 11);
    require(stop.message.find('\n') == std::string::npos);
    report_deck_stop(out, stop);
    return 0;
  }
  require_valid(d);
  report_deck(out, d);
  cell_int matnum(d.nx, d.ny);
  report_layers(out, makematnum(d.nx, d.ny, d.nl, d.h, matnum));
  return 0;
}
