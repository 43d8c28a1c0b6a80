// Assembly of the global system of the compressibility test, 20 x 20 and
// 60 x 60 cells, uniform rock-like coefficients.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "fem/fem.h"

namespace {

struct run_arrays {
  explicit run_arrays(int n)
      : xnod(n, n),
        cc(n, n),
        avec(std::size_t(row_capacity) * unknowns(n, n)), ia(unknowns(n, n) + 1),
        ja(avec.size()), rhs(unknowns(n, n)) {}
  dof_table xnod;
  cell_coefficients cc;
  std::vector<cplx> avec;
  std::vector<std::int32_t> ia, ja;
  std::vector<cplx> rhs;
};

void global_sist_grid(benchmark::State& state) {
  const int n_cells = static_cast<int>(state.range(0));
  auto r = std::make_unique<run_arrays>(n_cells);
  global_numbering(n_cells, n_cells, r->xnod);
  for (int k = 1; k <= n_cells; ++k) {
    for (int j = 1; j <= n_cells; ++j) {
      cell_coefficients& q = r->cc;
      q.lambda1(j, k) = 2.1e10 + j, q.lambda3(j, k) = 7.3e9 + k, q.mu1(j, k) = 1.7e10;
      q.mu3(j, k) = 3.1e9, q.mu13(j, k) = 1.3e9, q.b1(j, k) = 4.4e9, q.b2(j, k) = 1.9e9;
      q.m(j, k) = 6.7e9, q.d3(j, k) = 2.3e9;
      q.f11(j, k) = 3.3e7, q.f12(j, k) = -1.2e7, q.f22(j, k) = 5.9e7;
    }
  }
  for (auto _ : state) {
    global_sist({n_cells, n_cells, 0.01 / n_cells, fe_test::per_solid}, r->xnod,
                2 * 3.141592653589793 * 100.0, r->cc, r->avec.data(), r->ia.data(),
                r->ja.data(), r->rhs.data());
    benchmark::DoNotOptimize(r->avec.data());
  }
  state.counters["stored"] = r->ia[unknowns(n_cells, n_cells)] - 1;
}

}  // namespace

BENCHMARK(global_sist_grid)->Arg(20)->Arg(60)->Unit(benchmark::kMillisecond);
