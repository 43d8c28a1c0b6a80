// The batch run, a client of the core: one cycle of the harmonic
// compressibility test at the frequency of the deck, with the plane-wave
// reference values beside it, its report and every result file.
#include "driver/run.h"

#include <exception>
#include <iterator>
#include <memory>
#include <new>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "common/fortran_format.h"
#include "common/report.h"
#include "core/effective_modulus.h"
#include "core/point.h"
#include "driver/report.h"
#include "driver/result_files.h"
#include "driver/timer.h"
#include "input/input.h"
#include "study/study.h"  // machine_threads

namespace {

// The deck, read once: its values or the stop it ended with, and the echo
// the report shows before either.
struct deck_read {
  std::optional<deck_values> values;
  std::optional<run_stop> stop;
  std::string echo;
  std::vector<std::string> warnings;  // implied decimals, for standard error
};

deck_read read_once(const std::string& deck_text) {
  std::istringstream deck(deck_text);
  std::ostringstream echo;
  deck_read r;
  try {
    deck_reading reading = readata(deck);
    report_deck(echo, reading.values);
    r.values = std::move(reading.values);
    r.warnings = std::move(reading.warnings);
  } catch (const deck_stop& stop) {
    report_deck_stop(echo, stop);
    r.stop = stop;
  }
  r.echo = echo.str();
  return r;
}

// The plan and the numeric storage of the deck's grid, made before any
// result file is opened, so that a grid too large to index or to hold in
// memory fails with nothing written.
struct prepared_grid {
  core::grid_plan plan;
  std::unique_ptr<core::point_workspace> ws;
};

prepared_grid prepare(const deck_values& d, std::int32_t nsp) {
  prepared_grid g{core::make_plan(d.nx, d.ny, nsp), nullptr};
  g.ws = core::make_workspace(g.plan, study::machine_threads());
  return g;
}

// The layered numbering is reported, then every cell is set to material 1
// and written to the two material map files.
void material_map(const deck_values& d, result_files& files, std::ostream& out) {
  result_file map(files.dir / "matnum_p33");
  files.material_gnu.open(files.dir / "matnum_p33_gnu");
  cell_int matnum(d.nx, d.ny);
  report_layers(out, makematnum(d.nx, d.ny, d.nl, d.h, matnum));
  for (int k = 1; k <= d.ny; ++k)
    for (int j = 1; j <= d.nx; ++j) {
      matnum(j, k) = 1;
      free_line(map.os(), matnum(j, k));
      free_line(files.material_gnu.os(), j, k, matnum(j, k));
      if (matnum(j, k) < 1 || matnum(j, k) > d.nmat) {
        map.flush();
        files.material_gnu.flush();
        free_line(out, "j,k, matnum(j,k) ", j, k, matnum(j, k));
        throw run_stop{stop_bad_material, ""};
      }
    }
  map.close();
  files.material_gnu.flush();
}

// The water field of the cycle: the water file given, whatever the deck's
// model; else layered (model 0) or read from water_file_name of the working
// directory (model 1).
core::water_field water_of_cycle(const deck_values& d, const run_settings& settings) {
  if (d.model == 0 && settings.water_file.empty()) {
    std::istringstream no_file;
    return core::batch_water_field(d, no_file);
  }
  return core::read_water_file(
      settings.water_file.empty() ? water_file_name : settings.water_file, d.nx, d.ny);
}

// Maps first ... last - 1 of study::point_maps, each flushed once written.
void write_maps(const core::point_result& r, result_files& files, std::size_t first,
                std::size_t last) {
  for (std::size_t i = first; i < last; ++i) {
    study::point_maps[i].write(files.maps[i].os(), r);
    files.maps[i].flush();
  }
}

// Writes the "(g15.5,2x,g15.5)" line of a result file.
void g15_line(result_file& f, double a, double b) {
  f.os() << format_g15_pair(a, b) << '\n';
  f.flush();
}

// Writes a free-format line of a result file.
template <class... Values>
void free_result_line(result_file& f, const Values&... values) {
  free_line(f.os(), values...);
  f.flush();
}

// The result files of the cycle, in the order the run writes them.
void write_results(const deck_values& d, const core::point_result& r, result_files& files) {
  write_maps(r, files, study::pressure_maps, study::point_maps.size());  // strains, stresses
  // The water proportion of the cycle, uniform over the sample.
  const double water_proportion = core::batch_water_proportion;
  free_result_line(files.vp_anal, water_proportion, r.plane.vp1);
  g15_line(files.vp_eq, water_proportion, r.avg.velocity);
  g15_line(files.qinv_eq, water_proportion, r.avg.qinv);
  g15_line(files.qinv_anal, r.freq_hz, r.plane.qinv_p1);
  write_maps(r, files, 0, study::pressure_maps);
  const double freq_sweep = freq_sweep_point(d.freq1, d.freq2, d.nfreq);
  if (!files.solid3_q.is_open()) files.solid3_q.open(files.dir / "fort.54");
  g15_line(files.solid3_q, freq_sweep, r.q3);
  if (!files.solid3_modulus.is_open()) files.solid3_modulus.open(files.dir / "fort.18");
  free_result_line(files.solid3_modulus, freq_sweep, r.m3.real(), r.m3.imag());
}

// One cycle: the point at the deck's frequency and the cycle's water field,
// its report up to its stop, then its result files.
void run_cycle(int cycle, const deck_values& d, prepared_grid& g, result_files& files,
               const run_settings& settings, std::ostream& out) {
  const core::water_field field = water_of_cycle(d, settings);
  const core::point_outcome point = core::run_point(d, d.freq1, field, g.plan, *g.ws);
  report_point(out, d, cycle, point);
  if (point.stop) throw *point.stop;
  const core::point_result& r = point.result;
  write_results(d, r, files);

  // A degenerate response (no volume change, no mean strain) leaves the
  // results undefined: they are written as they came out, but the run fails.
  const modulus_wave averages{r.avg.velocity, r.avg.q, r.avg.qinv};
  if (const char* name = first_nan_result(averages, r.m3))
    throw run_stop{stop_nan_result, std::string("the finite-element ") + name +
                                        " is not a number (zero volume change or mean strain)"};
}

void run(const std::string& deck_text, const run_settings& settings, std::ostream& out,
         std::ostream& err) {
  // The CPU-time count starts before the grid's analysis, which it covers.
  float clock = 0.0f;
  timer(clock);
  const deck_read deck = read_once(deck_text);
  std::optional<prepared_grid> grid;
  if (deck.values) grid = prepare(*deck.values, settings.nsp);
  // A bad deck stops after the files are created and its echo is reported.
  result_files files(settings.out_dir);
  out << deck.echo;
  for (const std::string& warning : deck.warnings) err << warning << '\n';
  if (deck.stop) throw *deck.stop;
  const deck_values& d = *deck.values;
  material_map(d, files, out);
  const int ncycles = 1;
  for (int cycle = 1; cycle <= ncycles; ++cycle) run_cycle(cycle, d, *grid, files, settings, out);
  const double hours = timer(clock) / 3600;
  out << "\n running time=" << fortran_f(hours, 15, 6) << "hours\n";
}

}  // namespace

int run_driver(std::istream& deck, std::ostream& out, std::ostream& err,
               const run_settings& settings) {
  try {
    const std::string source = settings.deck_file.empty()
                                   ? "the deck on standard input"
                                   : "deck \"" + settings.deck_file.string() + "\"";
    run(bounded_deck_text(deck, source), settings, out, err);
    out.flush();
    return stop_normal;
  } catch (const run_stop& stop) {
    out.flush();
    if (!stop.message.empty())
      err << stop.message << '\n';
    else
      err << "STOP " << stop.code << '\n';
    return stop.code;
  } catch (const std::bad_alloc&) {
    out.flush();
    err << "out of memory: the grid's system and factors do not fit in memory\n";
    return stop_internal_failure;
  } catch (const std::exception& failure) {
    out.flush();
    err << "internal failure: " << failure.what() << '\n';
    return stop_internal_failure;
  }
}
