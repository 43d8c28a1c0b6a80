// One point of the core on the permafrost example: building the grid plan
// (pattern, minimum-degree order, symbolic factorization), and a point with
// a shared plan and a reused workspace, under each test, whose cost is the
// rock physics, the plane waves, the assembly, the numeric factorization and
// the solve.
#include <benchmark/benchmark.h>

#include <sstream>

#include "core/point.h"
#include "study/study.h"
#include "input/input.h"
#include "support/example_system.h"

namespace {

void plan_build(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(core::make_grid_plan(n, n));
  const auto plan = core::make_grid_plan(n, n);
  state.counters["L_entries"] = static_cast<double>(plan->jl.size());
  state.counters["U_entries"] = static_cast<double>(plan->ju.size());
  state.counters["nsp"] = plan->nsp;
}
BENCHMARK(plan_build)->Arg(20)->Arg(60)->Arg(100)->Unit(benchmark::kMillisecond);

void point_with_shared_plan(benchmark::State& state, core::fe_test test) {
  const int n = static_cast<int>(state.range(0));
  std::istringstream text(deck_text(n));
  const deck_values deck = readata(text).values;
  const core::water_field field = core::uniform_field(n, n, core::batch_water_proportion);
  const auto plan = core::make_grid_plan(n, n, test);
  const auto ws = core::make_workspace(*plan, study::machine_threads());
  double freq = deck.freq1;
  for (auto _ : state) {
    benchmark::DoNotOptimize(core::compute_point(deck, freq, field, *plan, *ws));
    freq *= 1.01;  // a sweep: every point a new system on the same plan
  }
}
BENCHMARK_CAPTURE(point_with_shared_plan, per_solid, core::fe_test::per_solid)
    ->Arg(20)
    ->Arg(60)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(point_with_shared_plan, platen, core::fe_test::platen)
    ->Arg(20)
    ->Arg(60)
    ->Unit(benchmark::kMillisecond);

}  // namespace
