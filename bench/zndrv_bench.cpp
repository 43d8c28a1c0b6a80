// Factorization and solve (zndrv path 1) of a complex system with the
// structure of the 60 x 60 cell finite-element grid: 4 unknowns per node,
// 1 per cell edge, every cell's 20 unknowns fully coupled, 22,204 unknowns,
// diagonally dominant values, in the minimum-degree order of zodrv path 1.
// Beside the whole driver, the numeric factorization alone: znnf against the
// row-blocked routine on one and two threads, with its bits checked.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstring>
#include <vector>

#include "yale/nnf_blocked.h"
#include "yale/yale.h"

namespace {

using cplx = yale_complex;
constexpr int32_t cells = 60;
constexpr int32_t nsp = 11102000;

struct grid_system {
  int32_t n = 0;
  std::vector<int32_t> ia, ja;
  std::vector<cplx> a, b;
};

// Unknowns by rows of nodes: the 4 of each node and the horizontal edge to
// its right, then the vertical edges up to the next node row.
struct grid_numbering {
  static constexpr int32_t node_row = 4 * (cells + 1) + cells;
  static constexpr int32_t band = node_row + cells + 1;
  int32_t node(int32_t i, int32_t j, int32_t s) const { return j * band + 4 * i + s + 1; }
  int32_t h_edge(int32_t i, int32_t j) const { return j * band + 4 * (cells + 1) + i + 1; }
  int32_t v_edge(int32_t i, int32_t j) const { return j * band + node_row + i + 1; }
  int32_t size() const { return cells * band + node_row; }
};

grid_system make_grid_system() {
  const grid_numbering g;
  grid_system s;
  s.n = g.size();
  std::vector<std::vector<int32_t>> cols(s.n + 1);
  for (int32_t j = 0; j < cells; ++j)
    for (int32_t i = 0; i < cells; ++i) {
      std::vector<int32_t> dofs{g.h_edge(i, j), g.h_edge(i, j + 1), g.v_edge(i, j),
                                g.v_edge(i + 1, j)};
      for (int32_t di : {0, 1})
        for (int32_t dj : {0, 1})
          for (int32_t c = 0; c < 4; ++c) dofs.push_back(g.node(i + di, j + dj, c));
      for (int32_t row : dofs) cols[row].insert(cols[row].end(), dofs.begin(), dofs.end());
    }
  s.ia.push_back(1);
  for (int32_t row = 1; row <= s.n; ++row) {
    auto& c = cols[row];
    std::sort(c.begin(), c.end());
    c.erase(std::unique(c.begin(), c.end()), c.end());
    double off = 0;
    const std::size_t diag_at = s.a.size() + (std::find(c.begin(), c.end(), row) - c.begin());
    for (int32_t col : c) {
      const cplx v(-1.0 - 0.1 * ((7 * row + 13 * col) % 5), 0.05 * ((row + col) % 3));
      s.ja.push_back(col);
      s.a.push_back(v);
      if (col != row) off += std::abs(v);
    }
    s.a[diag_at] = cplx(off + 1.0, 0.5);
    s.ia.push_back(static_cast<int32_t>(s.ja.size()) + 1);
    s.b.push_back(cplx(1.0 / row, row % 2));
  }
  return s;
}

// ||A z - b||inf / (||A||inf ||z||inf + ||b||inf)
double scaled_residual(const grid_system& s, const std::vector<cplx>& z) {
  double anorm = 0, rnorm = 0, znorm = 0, bnorm = 0;
  for (int32_t i = 0; i < s.n; ++i) {
    cplx res = s.b[i];
    double rowsum = 0;
    for (int32_t p = s.ia[i] - 1; p < s.ia[i + 1] - 1; ++p) {
      res -= s.a[p] * z[s.ja[p] - 1];
      rowsum += std::abs(s.a[p]);
    }
    anorm = std::max(anorm, rowsum);
    rnorm = std::max(rnorm, std::abs(res));
    znorm = std::max(znorm, std::abs(z[i]));
    bnorm = std::max(bnorm, std::abs(s.b[i]));
  }
  return rnorm / (anorm * znorm + bnorm);
}

// zndrv on `path`: 1 for the whole factorization and solve, 5 for the
// symbolic step alone.
void factor_and_solve(benchmark::State& state, bool minimum_degree, int32_t path) {
  grid_system s = make_grid_system();
  std::vector<cplx> area(nsp), z(s.n);
  auto* isp = reinterpret_cast<int32_t*>(area.data());
  std::vector<int32_t> p(s.n), ip(s.n);
  int32_t flag = 0, esp = 0;
  for (int32_t k = 1; k <= s.n; ++k) p[k - 1] = ip[k - 1] = k;
  if (minimum_degree) {
    const int32_t words = 4 * nsp, order = 1;
    zodrv(&s.n, s.ia.data(), s.ja.data(), s.a.data(), p.data(), ip.data(), &words, isp, &order,
          &flag);
    if (flag != 0) {
      state.SkipWithError("zodrv failed");
      return;
    }
  }
  for (auto _ : state) {
    zndrv(&s.n, p.data(), p.data(), ip.data(), s.ia.data(), s.ja.data(), s.a.data(), s.b.data(),
          z.data(), &nsp, isp, area.data(), &esp, &path, &flag);
    benchmark::DoNotOptimize(z.data());
  }
  state.counters["n"] = s.n;
  state.counters["stored"] = s.ia[s.n] - 1;
  state.counters["L"] = isp[s.n] - 1;          // il(n+1) - 1
  state.counters["U"] = isp[2 * s.n + 1] - 1;  // iu(n+1) - 1
  state.counters["esp"] = esp;
  state.counters["flag"] = flag;
  if (flag == 0 && path == 1) state.counters["residual"] = scaled_residual(s, z);
}

// The grid system in minimum-degree order with its symbolic factorization
// (zndrv path 5), and the numeric arrays of one factorization.
struct symbolic_grid {
  grid_system s = make_grid_system();
  std::vector<cplx> area = std::vector<cplx>(nsp);
  std::vector<int32_t> p = std::vector<int32_t>(s.n), ip = p;
  int32_t flag = -1, esp = 0;
  symbolic_grid() {
    const int32_t words = 4 * nsp, order = 1, symbolic = 5;
    zodrv(&s.n, s.ia.data(), s.ja.data(), s.a.data(), p.data(), ip.data(), &words, isp(), &order,
          &flag);
    if (flag == 0)
      zndrv(&s.n, p.data(), p.data(), ip.data(), s.ia.data(), s.ja.data(), s.a.data(), s.b.data(),
            nullptr, &nsp, isp(), area.data(), &esp, &symbolic, &flag);
  }
  int32_t* isp() { return reinterpret_cast<int32_t*>(area.data()); }
  const int32_t* il() { return isp(); }
  const int32_t* iu() { return isp() + s.n + 1; }
  const int32_t* jl() { return isp() + 2 * s.n + 2; }
  const int32_t* ju() { return jl() + il()[s.n] - 1; }
};

symbolic_grid& grid() {
  static symbolic_grid g;
  return g;
}

struct numeric_arrays {
  int32_t lmax, umax, flag = -1;
  std::vector<cplx> l, d, u, z, row, tmp;
  explicit numeric_arrays(symbolic_grid& g)
      : lmax(g.il()[g.s.n] - 1),
        umax(g.iu()[g.s.n] - 1),
        l(lmax),
        d(g.s.n),
        u(umax),
        z(g.s.n),
        row(g.s.n),
        tmp(g.s.n) {}
  template <class F>
  void factor(symbolic_grid& g, F nnf) {
    nnf(&g.s.n, g.p.data(), g.p.data(), g.ip.data(), g.s.ia.data(), g.s.ja.data(), g.s.a.data(),
        z.data(), g.s.b.data(), g.il(), g.jl(), l.data(), &lmax, d.data(), g.iu(), g.ju(), u.data(),
        &umax, row.data(), tmp.data(), &flag);
  }
  bool same_bits(const numeric_arrays& o) const {
    const auto same = [](const std::vector<cplx>& x, const std::vector<cplx>& y) {
      return std::memcmp(x.data(), y.data(), x.size() * sizeof(cplx)) == 0;
    };
    return same(l, o.l) && same(d, o.d) && same(u, o.u) && same(z, o.z);
  }
};

// Numeric factorization and solve by znnf (threads 0) or by the blocked
// routine on state.range(0) threads with the update kernel of instruction set
// state.range(1) (the widest when absent), which must reproduce znnf's bits.
void BM_znnf(benchmark::State& state) {
  symbolic_grid& g = grid();
  if (g.flag != 0) return state.SkipWithError("ordering or symbolic step failed");
  const int threads = int(state.range(0));
  const auto kernel =
      state.range(1) < 0 ? yale_blocked::widest() : yale_blocked::isa(state.range(1));
  if (!yale_blocked::runs_on_this_processor(kernel))
    return state.SkipWithError("the processor does not run this kernel");
  std::vector<std::byte> scratch(yale_blocked::scratch_bytes(g.s.n, threads));
  const auto blocked = [&](auto... args) {
    yale_blocked::znnf_blocked(args..., scratch, {threads, kernel});
  };
  numeric_arrays x(g);
  for (auto _ : state) {
    if (threads == 0)
      x.factor(g, znnf);
    else
      x.factor(g, blocked);
    benchmark::DoNotOptimize(x.z.data());
  }
  numeric_arrays ref(g);
  ref.factor(g, znnf);
  state.counters["flag"] = x.flag;
  state.counters["same_bits"] = x.same_bits(ref);
}

void BM_zndrv_minimum_degree(benchmark::State& state) {
  factor_and_solve(state, true, int32_t(state.range(0)));
}
// The same system in the grid's own order: the band profile does not fit nsp.
void BM_zndrv_natural_order(benchmark::State& state) { factor_and_solve(state, false, 1); }

}  // namespace

// threads 0 is znnf; kernel -1 the widest, 0 portable, 1 AVX2, 2 AVX-512F.
BENCHMARK(BM_znnf)
    ->ArgNames({"threads", "kernel"})
    ->Args({0, -1})
    ->Args({1, -1})
    ->Args({2, -1})
    ->Args({1, 0})
    ->Args({1, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_zndrv_minimum_degree)
    ->ArgName("path")
    ->Arg(1)
    ->Arg(5)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_zndrv_natural_order)->Unit(benchmark::kMillisecond)->Iterations(1);
