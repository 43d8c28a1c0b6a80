// A study of 8 frequencies on the 60 x 60 permafrost example, on 1 and 2
// threads: points per second of wall time, and the processor time of the
// whole process per point (equal for both thread counts when the threads
// add no work; on a loaded machine it tells the scaling the wall time hides).
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include "study/study.h"
#include "support/deck_values.h"
#include "support/example_system.h"

namespace {

// User and system time of the whole process, all threads, in seconds.
double process_seconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  const auto s = [](const timeval& t) { return t.tv_sec + t.tv_usec * 1e-6; };
  return s(u.ru_utime) + s(u.ru_stime);
}

void study_60x60_8_frequencies(benchmark::State& state) {
  const deck_values deck = deck_values_of(deck_text(60));
  const study::named_field field{
      "0.2", std::make_shared<core::water_field>(core::uniform_field(deck.nx, deck.ny, 0.2))};
  const std::vector<study::point> points = study::cross(study::log_sweep(10, 1e5, 8), {field});
  const int threads = static_cast<int>(state.range(0));
  const double cpu_start = process_seconds();
  for (auto _ : state) {
    const std::vector<study::row> rows = study::run_points(deck, points, {threads, false});
    for (const study::row& r : rows)
      if (r.stop != stop_normal) state.SkipWithError("a point stopped");
  }
  state.counters["points_per_s"] = benchmark::Counter(
      static_cast<double>(points.size()), benchmark::Counter::kIsIterationInvariantRate);
  state.counters["cpu_s_per_point"] = (process_seconds() - cpu_start) /
                                      (static_cast<double>(points.size()) * state.iterations());
}
BENCHMARK(study_60x60_8_frequencies)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kSecond)
    ->UseRealTime()
    ->Iterations(2);

}  // namespace
