// One point of the core: the bits of whole batch runs recorded before the
// run was built on the core (tests/golden), the solver's own drivers at
// other frequencies, several threads sharing one plan, grids of any shape,
// and the refusal of a grid too large to index.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "common/grid_limits.h"
#include "core/effective_modulus.h"
#include "core/point.h"
#include "input/input.h"
#include "support/example_system.h"

namespace {

namespace fs = std::filesystem;

const fs::path golden_dir = V2PFL_GOLDEN;

bool same_bits(double a, double b) {
  return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

bool same_bits(cplx a, cplx b) {
  return same_bits(a.real(), b.real()) && same_bits(a.imag(), b.imag());
}

deck_values silent_deck(std::istream& in) {
  std::ostream silent(nullptr);
  return readata(in, silent).values;
}

// The numbers of every line of a recorded result file.
std::vector<std::vector<double>> recorded(const std::string& name, const std::string& file) {
  std::ifstream in(golden_dir / name / "expected" / file);
  std::vector<std::vector<double>> lines;
  for (std::string line; std::getline(in, line);) {
    std::istringstream items(line);
    std::vector<double>& values = lines.emplace_back();
    for (std::string item; items >> item;) values.push_back(std::strtod(item.c_str(), nullptr));
  }
  return lines;
}

// The numbers after `label` on the recorded report line that holds it.
std::vector<double> reported(const std::string& name, const std::string& label) {
  std::ifstream in(golden_dir / name / "expected" / "stdout");
  for (std::string line; std::getline(in, line);) {
    const auto at = line.find(label);
    if (at == std::string::npos) continue;
    std::istringstream rest(line.substr(at + label.size()));
    std::vector<double> values;
    for (std::string item; rest >> item;) values.push_back(std::strtod(item.c_str(), nullptr));
    return values;
  }
  ADD_FAILURE() << name << ": no report line " << label;
  return {};
}

// The point a batch run of golden case `name` computes.
core::point_result golden_point(const std::string& name, const core::grid_plan& plan,
                                core::point_workspace& ws) {
  std::ifstream deck_file(golden_dir / name / "deck");
  const deck_values deck = silent_deck(deck_file);
  std::ifstream water(golden_dir / name / "phiw_binary_patchy.dat");
  return core::compute_point(deck, deck.freq1, core::batch_water_field(deck, water), plan, ws);
}

// Every line "j k v" of a recorded cell map holds the point's value bit for bit.
template <class Value>
void expect_map(const std::string& name, const std::string& file, Value value) {
  const auto lines = recorded(name, file);
  for (const auto& l : lines) {
    ASSERT_EQ(l.size(), 3u) << name << " " << file;
    const int j = static_cast<int>(l[0]), k = static_cast<int>(l[1]);
    EXPECT_TRUE(same_bits(value(j, k), l[2])) << name << " " << file << " " << j << "," << k;
  }
}

void expect_batch_run_bits(const std::string& name, const core::point_result& r) {
  expect_map(name, "real_strain1_map", [&](int j, int k) { return r.strain1(j, k).real(); });
  expect_map(name, "imag_strain1_map", [&](int j, int k) { return r.strain1(j, k).imag(); });
  expect_map(name, "real_strain3_map", [&](int j, int k) { return r.strain3(j, k).real(); });
  expect_map(name, "imag_strain3_map", [&](int j, int k) { return r.strain3(j, k).imag(); });
  expect_map(name, "real_stress_map", [&](int j, int k) { return r.stress(j, k).real(); });
  expect_map(name, "imag_stress_map", [&](int j, int k) { return r.stress(j, k).imag(); });
  expect_map(name, "mod_pressure_p33_ice",
             [&](int j, int k) { return std::abs(r.pressure(j, k)); });
  expect_map(name, "mod_grad_pressure_p33_ice",
             [&](int j, int k) { return r.grad_pressure(j, k); });
  EXPECT_TRUE(same_bits(recorded(name, "vp_anal.phiw").at(0).at(1), r.plane.vp1)) << name;
  const auto m3 = recorded(name, "fort.18").at(0);
  EXPECT_TRUE(same_bits(cplx(m3.at(1), m3.at(2)), r.m3)) << name;
  const std::pair<const char*, double> lines[] = {
      {"average density rob_med is (kg/m**3)", r.rob_med},
      {"deltavol1=", r.deltavol1.real()},
      {"deltavol3=", r.deltavol3.real()},
      {"from deltavol1 Velocity(m/s) FE = ", r.top.velocity},
      {"from deltavol1 1000/Q FE        = ", r.top.qinv},
      {"using averages  Velocity(m/s) FE = ", r.avg.velocity},
      {"using averages 1000/Q FE         = ", r.avg.qinv},
      {"using averages Re(c33) FE        = ", r.avg.modulus.real()},
      {"using averages Im(c33) FE        = ", r.avg.modulus.imag()}};
  for (const auto& [label, value] : lines)
    EXPECT_TRUE(same_bits(reported(name, label).at(0), value)) << name << " " << label;
}

// Points of four recorded runs, each in its own thread with its own
// workspace, the two 10 x 10 decks (both rock models) sharing one plan.
TEST(point, threads_sharing_a_plan_give_the_bits_of_the_recorded_batch_runs) {
  const std::pair<const char*, std::pair<int, int>> cases[] = {
      {"permafrost", {10, 10}}, {"shaley_sand", {10, 10}}, {"patchy_field", {6, 5}},
      {"grid_3x3", {3, 3}}};
  std::map<std::pair<int, int>, std::shared_ptr<const core::grid_plan>> plans;
  for (const auto& [name, grid] : cases)
    if (!plans.count(grid)) plans[grid] = core::make_grid_plan(grid.first, grid.second);
  std::vector<core::point_result> results(std::size(cases));
  std::vector<std::thread> threads;
  for (std::size_t i = 0; i < std::size(cases); ++i)
    threads.emplace_back([&, i] {
      const core::grid_plan& plan = *plans.at(cases[i].second);
      const auto ws = core::make_workspace(plan, 2);
      results[i] = golden_point(cases[i].first, plan, *ws);
    });
  for (std::thread& t : threads) t.join();
  for (std::size_t i = 0; i < std::size(cases); ++i)
    expect_batch_run_bits(cases[i].first, results[i]);
}

// The solver's drivers on one work area, as the run called them (zodrv
// path 1, zndrv path 1), give the response the point gets from the shared
// plan: same strains, stress and pressure bits, at any frequency, in any
// thread, with a fresh workspace factoring on 1 thread or a reused one on 2.
TEST(point, other_frequencies_match_the_solver_drivers_in_any_thread) {
  const int n = 12;
  const double freqs[] = {37.5, 4000.0};
  std::istringstream text(deck_text(n));
  const deck_values deck = silent_deck(text);
  const core::water_field field = core::uniform_field(n, n, core::batch_water_proportion);
  const auto plan = core::make_grid_plan(n, n);

  core::point_result threaded[2];
  auto point_at = [&](int i) {
    threaded[i] = core::compute_point(deck, freqs[i], field, *plan, *core::make_workspace(*plan, 1));
  };
  std::thread a(point_at, 0), b(point_at, 1);
  a.join(), b.join();

  const auto ws = core::make_workspace(*plan, 2);
  for (int i : {1, 0}) {
    const core::point_result r = core::compute_point(deck, freqs[i], field, *plan, *ws);
    example_system s(n);
    s.omega = 6.283185307179586 * freqs[i];
    s.coefficients();
    s.assemble();
    ASSERT_EQ(s.order(), 0);
    std::int32_t esp = 0;
    ASSERT_EQ(s.factor_solve(esp), 0);
    EXPECT_EQ(esp, plan->esp);
    cell_cplx strain1(n, n), strain3(n, n), stress(n, n), pres(n, n), dx(n, n), dy(n, n);
    cell_real grad(n, n);
    cell_strain_stress(n, n, s.h, s.xnod, s.z.data(), s.lambda1, s.mu1, s.mu13,
                       s.d3, strain1, strain3, stress);
    pressure_field(n, n, s.h, s.xnod, s.z.data(), s.b1, s.b2, s.m, pres, dx, dy, grad);
    for (int k = 1; k <= n; ++k)
      for (int j = 1; j <= n; ++j) {
        EXPECT_TRUE(same_bits(r.strain1(j, k), strain1(j, k))) << i << " " << j << "," << k;
        EXPECT_TRUE(same_bits(r.strain3(j, k), strain3(j, k))) << i << " " << j << "," << k;
        EXPECT_TRUE(same_bits(r.stress(j, k), stress(j, k))) << i << " " << j << "," << k;
        EXPECT_TRUE(same_bits(r.pressure(j, k), pres(j, k))) << i << " " << j << "," << k;
        EXPECT_TRUE(same_bits(threaded[i].stress(j, k), r.stress(j, k))) << i << " " << j;
        EXPECT_TRUE(same_bits(threaded[i].pressure(j, k), r.pressure(j, k))) << i << " " << j;
      }
    EXPECT_TRUE(same_bits(threaded[i].avg.modulus, r.avg.modulus)) << i;
    EXPECT_TRUE(same_bits(threaded[i].m3, r.m3)) << i;
  }
}

// max |A z - b| / max |b| of the system a point left in its workspace.
double relative_residual(const core::point_workspace& ws) {
  const fe_system& s = ws.sys;
  double residual = 0, rhs = 0;
  for (std::size_t i = 0; i + 1 < s.ia.size(); ++i) {
    cplx sum = 0.0;
    for (std::int32_t p = s.ia[i]; p < s.ia[i + 1]; ++p)
      sum += s.avec[p - 1] * s.z[s.ja[p - 1] - 1];
    residual = std::max(residual, std::abs(sum - s.rhs_m[i]));
    rhs = std::max(rhs, std::abs(s.rhs_m[i]));
  }
  return residual / rhs;
}

// Grids beyond 60 x 60, and one cell wide or high.
TEST(point, grids_of_any_shape_solve_with_a_small_residual) {
  for (auto [nx, ny] : {std::pair{61, 1}, {1, 61}, {70, 65}}) {
    std::istringstream in(deck_text(nx, ny));
    const deck_values deck = silent_deck(in);
    ASSERT_EQ(std::pair(deck.nx, deck.ny), std::pair(nx, ny));
    const auto plan = core::make_grid_plan(nx, ny);
    const auto ws = core::make_workspace(*plan, 3);
    const core::point_result r = core::compute_point(
        deck, deck.freq1, core::uniform_field(nx, ny, core::batch_water_proportion), *plan, *ws);
    EXPECT_EQ(r.nodos, unknowns(nx, ny));
    for (const core::cell_map<cplx>* m : {&r.strain1, &r.strain3, &r.stress, &r.pressure}) {
      EXPECT_EQ(std::pair(m->nx, m->ny), std::pair(nx, ny));
      EXPECT_EQ(m->v.size(), std::size_t(nx) * ny);
    }
    EXPECT_EQ(r.grad_pressure.v.size(), std::size_t(std::max(nx - 2, 0)) * std::max(ny - 2, 0));
    EXPECT_LT(relative_residual(*ws), 1e-9) << nx << " x " << ny;
    EXPECT_GT(r.avg.velocity, 500.0) << nx << " x " << ny;
    EXPECT_GE(plan->nsp, work_slots);
  }
}

// The plan counts the factors before its one symbolic pass: on a grid
// ordered by minimum degree it finds what the solver's driver finds in an
// area of the size it picks; a grid whose factors outgrow 11,102,000 slots
// makes that area fail for lack of room, the plan sized from need grows it.
TEST(point, plan_sizes_the_work_area_from_a_count_of_the_factors) {
  const auto counted = core::make_grid_plan(30, 40);
  const core::grid_plan driven = core::make_plan(30, 40, counted->nsp);
  ASSERT_FALSE(driven.failure.has_value());
  EXPECT_EQ(counted->nsp, work_slots);
  EXPECT_EQ(counted->c, driven.c);
  EXPECT_EQ(counted->esp, driven.esp);
  EXPECT_EQ(counted->il, driven.il);
  EXPECT_EQ(counted->iu, driven.iu);
  EXPECT_TRUE(counted->jl == driven.jl && counted->ju == driven.ju);

  const core::grid_plan fixed = core::make_plan(10, 1000, work_slots);
  ASSERT_TRUE(fixed.failure.has_value());
  EXPECT_EQ(fixed.failure->code, stop_solve_failed);
  const auto grown = core::make_grid_plan(10, 1000);
  EXPECT_EQ(grown->nsp, 2 * work_slots);
  EXPECT_GE(grown->esp, 0);
  EXPECT_EQ(grown->il.back() - 1, static_cast<std::int32_t>(grown->jl.size()));
  EXPECT_EQ(grown->iu.back() - 1, static_cast<std::int32_t>(grown->ju.size()));
}

// A plan whose ordering failed stops each point where it factors its
// system: the outcome keeps the records reached before, with the failure.
TEST(point, a_failed_plan_stops_the_point_with_the_records_before_the_solve) {
  std::ifstream deck_file(golden_dir / "grid_3x3" / "deck");
  const deck_values deck = silent_deck(deck_file);
  const core::grid_plan plan = core::make_plan(deck.nx, deck.ny, 2 * unknowns(deck.nx, deck.ny));
  ASSERT_TRUE(plan.failure.has_value());
  const auto ws = core::make_workspace(plan, 1);
  const core::water_field field = core::uniform_field(deck.nx, deck.ny, 0.2);
  const core::point_outcome o = core::run_point(deck, deck.freq1, field, plan, *ws);
  ASSERT_TRUE(o.stop.has_value());
  EXPECT_EQ(o.stop->code, stop_ordering_failed);
  ASSERT_TRUE(o.records.solver && o.records.waves && o.records.rock.masses);
  EXPECT_EQ(o.records.solver->flag, plan.failure->flag);
  EXPECT_TRUE(o.records.rock.moduli.moduli && o.records.waves->central);
  EXPECT_FALSE(o.records.waves->failure);
  EXPECT_GT(o.result.rob_med, 0);
  EXPECT_TRUE(std::isnan(o.result.avg.velocity));
  EXPECT_THROW(core::compute_point(deck, deck.freq1, field, plan, *ws), run_stop);
}

TEST(point, refuses_a_grid_too_large_to_index_a_field_of_another_grid_and_no_frequency) {
  const int side = largest_square_grid();
  try {
    core::make_grid_plan(side + 1, side + 1);
    ADD_FAILURE() << "no refusal";
  } catch (const run_stop& s) {
    EXPECT_EQ(s.code, stop_bad_deck);
    const std::string largest = std::to_string(side) + " x " + std::to_string(side);
    EXPECT_NE(s.message.find("largest square grid"), std::string::npos) << s.message;
    EXPECT_NE(s.message.find(largest), std::string::npos) << s.message;
  }
  EXPECT_TRUE(grid_fits(side, side));
  EXPECT_FALSE(grid_fits(side + 1, side + 1));

  std::istringstream text(deck_text(3));
  const deck_values deck = silent_deck(text);
  const auto plan = core::make_grid_plan(3, 3);
  const auto ws = core::make_workspace(*plan, 1);
  const core::water_field right = core::uniform_field(3, 3, 0.2);
  const core::water_field wrong = core::uniform_field(3, 4, 0.2);
  const std::tuple<double, const core::water_field*, int, const char*> bad[] = {
      {100.0, &wrong, stop_bad_water_file, "3 x 4"},
      {0.0, &right, stop_bad_deck, "frequency 0 Hz"},
      {std::nan(""), &right, stop_bad_deck, "frequency NaN Hz"}};
  for (const auto& [freq, field, code, text] : bad) {
    try {
      core::compute_point(deck, freq, *field, *plan, *ws);
      ADD_FAILURE() << "no stop for " << text;
    } catch (const run_stop& s) {
      EXPECT_EQ(s.code, code) << text;
      EXPECT_NE(s.message.find(text), std::string::npos) << s.message;
    }
  }
}

}  // namespace
