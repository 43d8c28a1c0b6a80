// The whole run and each of its stages on the permafrost example at
// 20 x 20 and 60 x 60 cells.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "driver/run.h"
#include "support/example_system.h"

namespace {

void full_run(benchmark::State& state) {
  const auto dir = std::filesystem::temp_directory_path() / "v2pfl_bench_run";
  std::filesystem::create_directories(dir);
  const auto home = std::filesystem::current_path();
  std::filesystem::current_path(dir);
  const std::string text = deck_text(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    std::istringstream deck(text);
    std::ostringstream out, err;
    if (run_driver(deck, out, err) != 40) state.SkipWithError("run failed");
  }
  std::filesystem::current_path(home);
}
BENCHMARK(full_run)->Arg(20)->Arg(60)->Unit(benchmark::kMillisecond);

void stage_coefficients(benchmark::State& state) {
  example_system s(static_cast<int>(state.range(0)));
  for (auto _ : state) s.coefficients();
}
BENCHMARK(stage_coefficients)->Arg(20)->Arg(60)->Unit(benchmark::kMillisecond);

void stage_plane_waves(benchmark::State& state) {
  example_system s(static_cast<int>(state.range(0)));
  for (auto _ : state) s.plane_waves();
}
BENCHMARK(stage_plane_waves)->Arg(20)->Arg(60)->Unit(benchmark::kMillisecond);

void stage_assembly(benchmark::State& state) {
  example_system s(static_cast<int>(state.range(0)));
  for (auto _ : state) s.assemble();
}
BENCHMARK(stage_assembly)->Arg(20)->Arg(60)->Unit(benchmark::kMillisecond);

void stage_ordering(benchmark::State& state) {
  example_system s(static_cast<int>(state.range(0)));
  s.assemble();
  for (auto _ : state)
    if (s.order() != 0) state.SkipWithError("ordering failed");
}
BENCHMARK(stage_ordering)->Arg(20)->Arg(60)->Unit(benchmark::kMillisecond);

void stage_factor_solve(benchmark::State& state) {
  example_system s(static_cast<int>(state.range(0)));
  s.assemble();
  s.order();
  std::int32_t esp = 0;
  for (auto _ : state)
    if (s.factor_solve(esp) != 0) state.SkipWithError("factorization failed");
  const auto* isp = reinterpret_cast<const std::int32_t*>(s.work.data());
  const std::int32_t n = unknowns(s.nx, s.ny);
  state.counters["L_entries"] = isp[n] - 1;           // il(n+1) - 1
  state.counters["U_entries"] = isp[2 * n + 1] - 1;   // iu(n+1) - 1
  state.counters["esp"] = esp;
}
BENCHMARK(stage_factor_solve)->Arg(20)->Arg(60)->Unit(benchmark::kMillisecond);

}  // namespace
