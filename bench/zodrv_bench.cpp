// Minimum-degree ordering (zodrv, path 1) of the finite-element system of
// the largest sample, 60 x 60 cells, in the run's work area.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <numeric>
#include <vector>

#include "tests/yale/ordering_grid.h"
#include "yale/yale.h"

static void zodrv_fe_grid_60x60(benchmark::State& state) {
  structure s = fe_grid(60, 60);
  const int32_t nsp = 11102000;
  std::vector<int32_t> isp(4 * static_cast<size_t>(nsp));  // 4 integer words per complex slot
  std::vector<yale_complex> a(s.ja.size());
  std::vector<int32_t> c(s.n), ic(s.n);
  int32_t flag = 0;
  for (auto _ : state) {
    const int32_t path = 1;
    zodrv(&s.n, s.ia.data(), s.ja.data(), a.data(), c.data(), ic.data(), &nsp, isp.data(), &path,
          &flag);
    benchmark::DoNotOptimize(c.data());
  }
  if (flag != 0) {
    state.SkipWithError("ordering failed");
    return;
  }
  std::vector<int32_t> natural(s.n);
  std::iota(natural.begin(), natural.end(), 1);
  state.counters["n"] = s.n;
  state.counters["entries"] = s.entries();
  state.counters["LU_natural"] = static_cast<double>(lu_entries(s, natural));
  state.counters["LU_min_degree"] = static_cast<double>(lu_entries(s, ic));
}
BENCHMARK(zodrv_fe_grid_60x60)->Unit(benchmark::kMillisecond);
