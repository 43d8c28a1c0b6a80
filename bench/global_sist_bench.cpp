// Assembly of the global system of the compressibility test, 20 x 20 and
// 60 x 60 cells, uniform rock-like coefficients.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "fem/fem.h"

namespace {

struct run_arrays {
  explicit run_arrays(int n)
      : xnod(n, n), lambda1(n, n), lambda3(n, n), mu1(n, n), mu3(n, n), mu13(n, n), b1(n, n),
        b2(n, n), m(n, n), d3(n, n), p11(n, n), p12(n, n), p13(n, n), p22(n, n), p23(n, n),
        p33(n, n), f11(n, n), f12(n, n), f22(n, n),
        avec(std::size_t(row_capacity) * unknowns(n, n)), ia(unknowns(n, n) + 1),
        ja(avec.size()), rhs(unknowns(n, n)) {}
  dof_table xnod;
  cell_real lambda1, lambda3, mu1, mu3, mu13, b1, b2, m, d3;
  cell_real p11, p12, p13, p22, p23, p33, f11, f12, f22;
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
      r->lambda1(j, k) = 2.1e10 + j, r->lambda3(j, k) = 7.3e9 + k, r->mu1(j, k) = 1.7e10;
      r->mu3(j, k) = 3.1e9, r->mu13(j, k) = 1.3e9, r->b1(j, k) = 4.4e9, r->b2(j, k) = 1.9e9;
      r->m(j, k) = 6.7e9, r->d3(j, k) = 2.3e9;
      r->f11(j, k) = 3.3e7, r->f12(j, k) = -1.2e7, r->f22(j, k) = 5.9e7;
    }
  }
  for (auto _ : state) {
    global_sist(2 * 3.141592653589793 * 100.0, n_cells, n_cells, 0.01 / n_cells, r->xnod,
                r->lambda1, r->lambda3, r->mu1, r->mu3, r->mu13, r->b1, r->b2, r->m, r->d3,
                r->p11, r->p12, r->p13, r->p22, r->p23, r->p33, r->f11, r->f12, r->f22,
                r->avec.data(), r->ia.data(), r->ja.data(), r->rhs.data());
    benchmark::DoNotOptimize(r->avec.data());
  }
  state.counters["stored"] = r->ia[unknowns(n_cells, n_cells)] - 1;
}

}  // namespace

BENCHMARK(global_sist_grid)->Arg(20)->Arg(60)->Unit(benchmark::kMillisecond);
