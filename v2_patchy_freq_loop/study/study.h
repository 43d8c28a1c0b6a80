// A study: the one-point computation over a list of points (frequency x
// water field), on several threads, its rows delivered in point order. This
// layer computes only: it prints nothing and touches no file (the table,
// the maps and the progress display are separate pieces).
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/point.h"
#include "input/deck.h"
#include "study/columns.h"

namespace study {

// A water field of the deck's grid with the name it goes by in the table:
// the water value of a uniform field, or the file it was read from.
struct named_field {
  std::string name;
  std::shared_ptr<const core::water_field> cells;
};

// One point of a study: a frequency (Hz) and a water field.
struct point {
  double freq_hz = 0;
  named_field field;
};

// The frequencies of the logarithmic rule from f1 to f2 in n >= 1 points:
// 10^(log10 f1 + i (log10 f2 - log10 f1) / (n - 1)), the first exactly f1
// and the last exactly f2 (n = 1: f1 alone).
std::vector<double> log_sweep(double f1, double f2, int n);

// The deck's own frequencies: its rule from freq1 to freq2 in nfreq points
// when nfreq >= 2, else freq1 alone.
std::vector<double> deck_frequencies(const deck_values& deck);

// Every frequency with every field, frequency outer.
std::vector<point> cross(const std::vector<double>& freqs, const std::vector<named_field>& fields);

// The values of a completed point in the order of the table's value
// columns (vp_m_s ... inv_q_top_x1000, study/columns.h); empty where its
// test has none (the top-face pair of the platen test).
using row_values = std::array<std::optional<double>, value_columns>;
row_values values_of(const core::point_result& r);

// The outcome of one point.
struct row {
  std::size_t index = 0;        // position in the point list
  int stop = stop_normal;       // or the code the point stopped with
  std::string message;          // the stop's diagnostic, when it has one
  row_values values;            // when completed
  std::shared_ptr<const core::point_result> result;  // when completed (see run_options)
};

struct run_options {
  int threads = 0;            // worker threads; 0: one per core
  bool keep_results = false;  // keep each point's full result in the returned rows
  bool keep_rows = true;      // return the rows (else only the callback sees them)
  core::fe_test test = core::fe_test::platen;  // the compressibility test of every point
};

// Called on the calling thread, in point order, as soon as a row and every
// row before it are done; the row carries the point's full result. An
// exception thrown by it ends the study: the points being computed finish,
// no other starts, and the exception leaves run_points.
using row_callback = std::function<void(const row&)>;

// Computes every point of `points` on the deck's grid (each field must be
// deck.nx x deck.ny) under options.test: one grid plan shared by all threads, one workspace per
// thread. A point that stops records its code in its row and the others go
// on; a failure of the grid plan (run_stop 9 or 99) or of the machine
// (std::exception) ends the study. The rows are the same for any thread count.
std::vector<row> run_points(const deck_values& deck, const std::vector<point>& points,
                            const run_options& options = {}, const row_callback& on_row = {});

// The same on a plan built beforehand (core::make_grid_plan(deck.nx,
// deck.ny, options.test)), e.g. to reuse it over several calls.
std::vector<row> run_points(const deck_values& deck, const core::grid_plan& plan,
                            const std::vector<point>& points, const run_options& options = {},
                            const row_callback& on_row = {});

// The cores this process may run on (its affinity, as a batch system sets
// it; at least 1).
int machine_threads();

}  // namespace study
