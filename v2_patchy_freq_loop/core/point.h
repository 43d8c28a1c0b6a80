// One point of a study: the harmonic compressibility test and the plane-wave
// reference values at one frequency for one water field, as a pure
// computation. It prints nothing (the records of its report are values the
// batch run formats), opens no file and keeps no global state; several
// threads may compute points of the same grid at once, each with its own
// workspace.
#pragma once

#include <cstdint>
#include <filesystem>
#include <istream>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

#include "common/arrays.h"
#include "common/report.h"  // run_stop: a stop of the computation, with its code
#include "common/water.h"
#include "core/coefficients.h"  // rock_record
#include "core/grid_plan.h"
#include "core/workspace.h"
#include "input/deck.h"     // deck_values
#include "plane_waves/plane_waves.h"

namespace core {

// A field over the cell grid, bottom row first, each row left to right:
// cell (j, k), j = 1 ... nx, k = 1 ... ny, is v[(k - 1) * nx + (j - 1)].
template <class T>
struct cell_map {
  int nx = 0, ny = 0;
  std::vector<T> v;
  const T& operator()(int j, int k) const { return v[std::size_t(k - 1) * nx + (j - 1)]; }
  T& operator()(int j, int k) { return v[std::size_t(k - 1) * nx + (j - 1)]; }
};

// The water proportion of every cell.
using water_field = cell_map<double>;
water_field uniform_field(int nx, int ny, double water);

// The water proportion of the batch run's one cycle, in both layers.
inline constexpr double batch_water_proportion = 0.2;

// The water field of a batch run of `deck`: batch_water_proportion in
// both layers (model 0), or one record per cell read from `water`, bottom
// row first (model 1); a bad record throws run_stop (stop_bad_water_file)
// naming `source`.
water_field batch_water_field(const deck_values& deck, std::istream& water,
                               const std::string& source = water_file_name);

// An nx x ny water field of one record per cell read from `water`, bottom
// row first; a bad record throws run_stop (stop_bad_water_file) naming `source`.
water_field read_water_field(int nx, int ny, std::istream& water, const std::string& source);

// The nx x ny water field of the file `path` (laid out as water_file_name),
// the one reader of every water-field file: a missing file, a directory, a
// file that is not a regular file or one over max_water_file_bytes, and a
// bad record, throw run_stop (stop_bad_water_file) naming the file.
water_field read_water_file(const std::filesystem::path& path, int nx, int ny);

// An effective complex modulus with the velocity (m/s), Q and 1000/Q of a
// plane wave of that modulus in a medium of the sample's average density.
struct effective_modulus {
  cplx modulus;
  double velocity, q, qinv;
};

// A value the point's test does not compute.
inline constexpr double not_computed = std::numeric_limits<double>::quiet_NaN();
inline constexpr cplx no_complex{not_computed, not_computed};
inline constexpr effective_modulus no_modulus{no_complex, not_computed, not_computed,
                                              not_computed};

// Everything one point yields.
struct point_result {
  fe_test test = fe_test::per_solid;
  double freq_hz = 0, omega = 0;
  // The sample's modulus under the point's test, with its velocity, Q and
  // 1000/Q at `density`: per-solid, the modulus from the averages (c33, the
  // same as `avg`) at rob_med; platen, the load-conjugate platen modulus at
  // the bulk density (the mean over cells of each cell's own density).
  effective_modulus main{};
  double density = 0;       // kg/m^3
  std::int32_t nodos = 0;   // unknowns of the system
  wave_values plane{};      // plane waves of cell (nx, ny)
  // Per-solid test only (not_computed for platen):
  double rob_med = not_computed;                // average density, kg/m^3
  double s1 = not_computed, s3 = not_computed;  // solid fractions of the last cell
  effective_modulus top = no_modulus;  // from the volume change of the top face (mstar)
  effective_modulus avg = no_modulus;  // from the averages of stress and strain (c33)
  cplx deltavol1 = no_complex, deltavol3 = no_complex, deltavol = no_complex;
  cplx av_strain = no_complex, av_stress = no_complex;
  cplx m3 = no_complex;      // solid-3 volume-change modulus
  double q3 = not_computed;  // and its Q
  // The cell fields of the response, both tests:
  cell_map<cplx> strain1, strain3, stress, pressure;
  // Magnitude of the pressure gradient of the interior cells: an
  // (nx - 2) x (ny - 2) map, entry (j - 1, k - 1) for cell (j, k).
  cell_map<double> grad_pressure;
};

// What every point of one grid shares, read-only (core/grid_plan.h): the
// degree-of-freedom numbering, the row pattern of the system, its
// minimum-degree order and the symbolic factorization. Built once per grid.
//
// Builds the plan of `test` on an nx x ny grid (the platen test numbers its
// unknowns differently, so it has its own plan). An ordering or symbolic
// failure throws its run_stop (9 or 99); a grid too large to index throws
// run_stop (stop_bad_deck).
std::shared_ptr<const grid_plan> make_grid_plan(int nx, int ny,
                                                fe_test test = fe_test::per_solid);

// The numeric storage of one point (cell coefficients, system values,
// factors, solution; core/workspace.h): one per thread, reused from point
// to point. `threads`: the threads of its numeric factorization, as its
// caller shares the machine's cores out; the result is the same for any count.
std::unique_ptr<point_workspace> make_workspace(const grid_plan& plan, int threads);

// What the report of a per-solid point prints, stage by stage, each record
// present once its stage is reached: the rock physics, the plane waves
// (after the average density), the solver's failure (the plan's or the
// numeric factorization's). What follows the solve is in the result.
struct point_records {
  rock_record rock;
  std::optional<waves_record> waves;
  std::optional<solver_failure> solver;
};

// A point as far as it got: its result (complete when there is no stop),
// the records of its report (the plane waves' only in the per-solid test)
// and the stop that ended it, if any.
struct point_outcome {
  point_result result;
  point_records records;
  std::optional<run_stop> stop;
};

// Whether `freq_hz` can be the frequency of a point: a positive, finite
// number of Hz. The one frequency check: a point stops on any other
// value (stop_bad_deck); lists and sweeps of frequencies refuse it first.
bool valid_frequency(double freq_hz);

// Why a point of `deck` at `freq_hz` with `field` cannot be computed on
// `plan`: a frequency that is not valid, a deck or a water field not of the
// plan's grid; the stop it would end with (stop_bad_deck, or
// stop_bad_water_file for the field), or none. The one check of a point's
// request: the core stops on it, and callers that refuse a request before
// computing (Python's ValueError) ask it too.
std::optional<run_stop> point_fault(const deck_values& deck, double freq_hz,
                                    const water_field& field, const grid_plan& plan);

// Computes one point of `deck`'s grid at `freq_hz` with `field` under the
// plan's test; a request with a point_fault stops with it. Per-solid: the same
// bits as a batch run of `deck` with freq1 = freq_hz and that water field.
// A stop of the computation ends the outcome with its run_stop; running out
// of memory throws std::bad_alloc. A degenerate response is returned as
// computed (first_nan_result in core/effective_modulus.h names an undefined
// per-solid result).
point_outcome run_point(const deck_values& deck, double freq_hz, const water_field& field,
                        const grid_plan& plan, point_workspace& ws);

// The result of run_point; its stop, if any, is thrown.
point_result compute_point(const deck_values& deck, double freq_hz, const water_field& field,
                           const grid_plan& plan, point_workspace& ws);

}  // namespace core
