// The stages of the permafrost example on grids of 60 x 60, 120 x 120 and
// 200 x 200 cells: the grid's plan (numbering, pattern, order, symbolic
// factorization; whole, and its first step), then the stages of one point
// on that plan: the cell coefficients with the plane-wave values, the
// assembly, the numeric factorization with the solve (on 1 and 2 threads),
// and the results (top volume changes, strains, stress, pressure field).
#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <sstream>
#include <vector>

#include "core/effective_modulus.h"
#include "core/point.h"
#include "study/study.h"
#include "fem/fem.h"
#include "input/input.h"
#include "support/example_system.h"
#include "yale/nnf_blocked.h"
#include "yale/yale.h"

namespace {

// One grid of the example with its plan and a workspace holding a point
// computed up to the stage being measured.
struct grid_case {
  explicit grid_case(int n)
      : deck(example_deck(n)),
        field(core::uniform_field(n, n, core::batch_water_proportion)),
        plan(core::make_grid_plan(n, n)),
        ws(core::make_workspace(*plan, study::machine_threads())) {
    core::compute_point(deck, deck.freq1, field, *plan, *ws);
    omega = 6.283185307179586 * deck.freq1;
  }
  static deck_values example_deck(int n) {
    std::istringstream text(deck_text(n));
    return readata(text).values;
  }
  deck_values deck;
  core::water_field field;
  std::shared_ptr<const core::grid_plan> plan;
  std::unique_ptr<core::point_workspace> ws;
  double omega;
};

// The case of an n x n grid, built once for all the stages.
grid_case& case_of(int n) {
  static std::map<int, std::unique_ptr<grid_case>> cases;
  auto& c = cases[n];
  if (!c) c = std::make_unique<grid_case>(n);
  return *c;
}

void label(benchmark::State& state, const grid_case& g) {
  state.counters["nodos"] = g.plan->nodos;
}

// Numbering, pattern, minimum-degree order and symbolic factorization.
void plan(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  std::shared_ptr<const core::grid_plan> p;
  for (auto _ : state) p = core::make_grid_plan(n, n);
  state.counters["nodos"] = p->nodos;
  state.counters["L_U_offdiag"] = static_cast<double>(p->jl.size() + p->ju.size());
}
BENCHMARK(plan)->Arg(60)->Arg(120)->Arg(200)->Iterations(1)->Unit(benchmark::kMillisecond);

// Numbering and pattern, the first step of the plan.
void plan_numbering_pattern(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  dof_table xnod(n, n);
  std::vector<std::int32_t> ia(std::size_t(unknowns(n, n)) + 1),
      ja(std::size_t(row_capacity) * unknowns(n, n));
  for (auto _ : state) {
    global_numbering(n, n, xnod);
    build_pattern(n, n, unknowns(n, n), xnod, ia.data(), ja.data());
  }
}

BENCHMARK(plan_numbering_pattern)->Arg(60)->Arg(120)->Arg(200)->Unit(benchmark::kMillisecond);

// Rock physics, average density and plane waves of every cell.
void coefficients_plane_waves(benchmark::State& state) {
  grid_case& g = case_of(static_cast<int>(state.range(0)));
  core::point_workspace& ws = *g.ws;
  rock_record rock;
  waves_record waves;
  for (auto _ : state) {
    const cell_inputs cells =
        rock_physics_of_cells(g.deck, g.plan->matnum, ws.phiw, g.omega, ws.cc, rock);
    const cell_fractions& f = cells.fractions(g.deck.nx, g.deck.ny);
    benchmark::DoNotOptimize(average_density(g.deck.nx, g.deck.ny, g.plan->matnum, ws.phiw,
                                             g.deck.ro1, g.deck.ro2, g.deck.ro3, f.phi1,
                                             f.phi3));
    benchmark::DoNotOptimize(plane_waves_of_cells(g.deck.nx, g.deck.ny, g.omega, ws.cc, waves));
  }
  label(state, g);
}

// The global system.
void assembly(benchmark::State& state) {
  grid_case& g = case_of(static_cast<int>(state.range(0)));
  core::point_workspace& ws = *g.ws;
  rock_record rock;
  rock_physics_of_cells(g.deck, g.plan->matnum, ws.phiw, g.omega, ws.cc, rock);
  for (auto _ : state)
    assemble_system({g.deck.nx, g.deck.ny, g.deck.h, fe_test::per_solid}, g.plan->xnod, g.omega,
                    ws.cc, ws.sys);
  label(state, g);
}

// Numeric factorization and solve of the assembled system on range(1) threads.
void factor_solve(benchmark::State& state) {
  grid_case& g = case_of(static_cast<int>(state.range(0)));
  const core::grid_plan& p = *g.plan;
  core::point_workspace ws(p, static_cast<int>(state.range(1)));
  ws.sys = g.ws->sys;
  std::int32_t flag = 0;
  for (auto _ : state) flag = core::numeric_factor_solve(p, ws);
  if (flag != 0) state.SkipWithError("zero pivot");
  label(state, g);
}

// Top volume changes of both solids, strains and stress, pressure field.
void results(benchmark::State& state) {
  grid_case& g = case_of(static_cast<int>(state.range(0)));
  core::point_workspace& ws = *g.ws;
  const int nx = g.deck.nx, ny = g.deck.ny;
  const double h = g.deck.h;
  const cplx* z = ws.sys.z.data();
  for (auto _ : state) {
    benchmark::DoNotOptimize(top_volume_change(nx, ny, h, g.plan->xnod, z, xs1_2(3)));
    benchmark::DoNotOptimize(top_volume_change(nx, ny, h, g.plan->xnod, z, xs2_2(3)));
    cell_strain_stress(nx, ny, h, g.plan->xnod, z, ws.cc.lambda1, ws.cc.mu1, ws.cc.mu13,
                       ws.cc.d3, ws.strain1, ws.strain3, ws.stress);
    pressure_field(nx, ny, h, g.plan->xnod, z, ws.cc.b1, ws.cc.b2, ws.cc.m, ws.pres,
                   ws.derx_pres, ws.dery_pres, ws.grad_pres_mod);
  }
  label(state, g);
}

// The whole point, as the batch run computes it, for the sum of the stages.
void whole_point(benchmark::State& state) {
  grid_case& g = case_of(static_cast<int>(state.range(0)));
  for (auto _ : state)
    benchmark::DoNotOptimize(core::compute_point(g.deck, g.deck.freq1, g.field, *g.plan, *g.ws));
  label(state, g);
}

BENCHMARK(coefficients_plane_waves)->Arg(60)->Arg(120)->Arg(200)->Unit(benchmark::kMillisecond);
BENCHMARK(assembly)->Arg(60)->Arg(120)->Arg(200)->Unit(benchmark::kMillisecond);
BENCHMARK(factor_solve)
    ->ArgsProduct({{60, 120, 200}, {1, 2}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(results)->Arg(60)->Arg(120)->Arg(200)->Unit(benchmark::kMillisecond);
BENCHMARK(whole_point)->Arg(60)->Arg(120)->Arg(200)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
