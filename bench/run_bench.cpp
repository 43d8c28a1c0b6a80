// The whole run and each of its stages on the permafrost example at
// 20 x 20 and 60 x 60 cells.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/arrays.h"
#include "core/coefficients.h"
#include "driver/run.h"
#include "fem/fem.h"
#include "support/example_system.h"
#include "yale/yale.h"

namespace {

// Every array of one run, filled up to the stage being measured; water 0.2
// in every cell, all of material 1.
struct example_system {
  deck_values deck;
  int nx, ny;
  double h, omega;
  cell_int matnum;
  cell_real phiw;
  cell_coefficients cc;
  dof_table xnod;
  std::vector<std::int32_t> ia, ja, c, ic;
  std::vector<cplx> avec, rhs_m, z, work;

  explicit example_system(int n)
      : deck(deck_values_of(deck_text(n))),
        nx(n),
        ny(n),
        h(deck.h),
        omega(6.283185307179586 * deck.freq1),
        matnum(n, n),
        phiw(n, n),
        cc(n, n),
        xnod(n, n),
        ia(unknowns(n, n) + 1),
        ja(std::size_t(row_capacity) * unknowns(n, n)),
        c(unknowns(n, n)),
        ic(unknowns(n, n)),
        avec(ja.size()),
        rhs_m(unknowns(n, n)),
        z(unknowns(n, n)),
        work(work_slots) {
    for (int k = 1; k <= n; ++k)
      for (int j = 1; j <= n; ++j) matnum(j, k) = 1, phiw(j, k) = 0.2;
    coefficients();
    global_numbering(nx, ny, xnod);
  }
  void coefficients() {
    rock_record unread;
    rock_physics_of_cells(deck, matnum, phiw, omega, cc, unread);
  }
  void plane_waves() {
    waves_record unread;
    plane_waves_of_cells(nx, ny, omega, cc, unread);
  }
  void assemble() {
    global_sist({nx, ny, h, fe_test::per_solid}, xnod, omega, cc, avec.data(), ia.data(),
                ja.data(), rhs_m.data());
  }
  std::int32_t order() {
    std::int32_t n = unknowns(nx, ny), nsp = work_slots, path = 1, flag = 0;
    zodrv(&n, ia.data(), ja.data(), avec.data(), c.data(), ic.data(), &nsp,
          reinterpret_cast<std::int32_t*>(work.data()), &path, &flag);
    return flag;
  }
  std::int32_t factor_solve(std::int32_t& esp) {
    std::int32_t n = unknowns(nx, ny), nsp = work_slots, path = 1, flag = 0;
    zndrv(&n, c.data(), c.data(), ic.data(), ia.data(), ja.data(), avec.data(), rhs_m.data(),
          z.data(), &nsp, reinterpret_cast<std::int32_t*>(work.data()), work.data(), &esp, &path,
          &flag);
    return flag;
  }
};

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
