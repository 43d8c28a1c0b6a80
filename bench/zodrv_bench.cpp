// Minimum-degree ordering (zodrv, path 1) of the finite-element system of
// the largest sample, 60 x 60 cells, in the run's work area.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <numeric>
#include <vector>

#include "tests/yale/ordering_grid.h"
#include "yale/yale.h"

namespace {

// Entries of L + U (diagonal once) when the symmetrised structure is
// factorized in the order with inverse ip: symbolic elimination along the
// elimination tree, column k below the diagonal being its own pattern merged
// with those of the columns whose first sub-diagonal entry is k.
int64_t lu_entries(const structure& s, const std::vector<int32_t>& ip) {
  const int32_t n = s.n;
  std::vector<std::vector<int32_t>> adj(n + 1), below(n + 1), children(n + 1);
  for (int32_t i = 1; i <= n; ++i)
    for (int32_t j = s.ia[i - 1]; j < s.ia[i]; ++j) {
      const int32_t a = ip[i - 1], b = ip[s.ja[j - 1] - 1];
      if (a != b) adj[std::min(a, b)].push_back(std::max(a, b));
    }
  std::vector<int32_t> seen(n + 1, 0);
  int64_t strict_lower = 0;
  for (int32_t k = 1; k <= n; ++k) {
    auto& col = below[k];
    const auto add = [&](int32_t r) {
      if (r > k && seen[r] != k) seen[r] = k, col.push_back(r);
    };
    for (int32_t r : adj[k]) add(r);
    for (int32_t c : children[k]) {
      for (int32_t r : below[c]) add(r);
      std::vector<int32_t>().swap(below[c]);  // a column feeds only its parent
    }
    strict_lower += static_cast<int64_t>(col.size());
    if (!col.empty()) children[*std::min_element(col.begin(), col.end())].push_back(k);
  }
  return n + 2 * strict_lower;
}

}  // namespace

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
