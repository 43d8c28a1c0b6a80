// One point of the core: grids of any shape, a work area grown from need,
// the refusal of a field of another grid and of a frequency that is not
// positive. The same bits in any thread: the study's tests; a failed
// ordering's stop: the driver's.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <tuple>
#include <utility>

#include "core/point.h"
#include "support/deck_values.h"
#include "support/example_system.h"

namespace {

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

}  // namespace

// Grids beyond 60 x 60, and one cell wide or high. A uniform sample under
// a uniform top load is strained uniformly, which the elements represent on
// any grid: the modulus from the averages is that of a 10 x 10 grid to many
// digits.
TEST(point, grids_of_any_shape_solve_with_a_small_residual_and_the_same_modulus) {
  core::point_result coarse;
  for (auto [nx, ny] : {std::pair{10, 10}, {61, 1}, {1, 61}, {70, 65}}) {
    const deck_values deck = deck_values_of(deck_text(nx, ny));
    const auto plan = core::make_grid_plan(nx, ny);
    const auto ws = core::make_workspace(*plan, 2);
    const core::point_result r =
        core::compute_point(deck, deck.freq1, core::uniform_field(nx, ny, 0.2), *plan, *ws);
    if (nx == 10) coarse = r;
    EXPECT_LT(relative_residual(*ws), 1e-9) << nx << " x " << ny;
    EXPECT_NEAR(r.avg.velocity, coarse.avg.velocity, 1e-6 * coarse.avg.velocity) << nx << " x " << ny;
    EXPECT_NEAR(r.avg.qinv, coarse.avg.qinv, 1e-5) << nx << " x " << ny;
  }
}

// A grid whose factors outgrow the fixed work area: that area fails for
// lack of room, the plan sized from need grows it.
TEST(point, plan_grows_the_work_area_when_the_factors_need_it) {
  const core::grid_plan fixed = core::make_plan(10, 1000, work_slots);
  ASSERT_TRUE(fixed.failure.has_value());
  EXPECT_EQ(fixed.failure->code, stop_solve_failed);
  const auto grown = core::make_grid_plan(10, 1000);
  EXPECT_EQ(grown->nsp, 2 * work_slots);
  EXPECT_EQ(grown->il.back() - 1, static_cast<std::int32_t>(grown->jl.size()));
  EXPECT_EQ(grown->iu.back() - 1, static_cast<std::int32_t>(grown->ju.size()));
}

// A field of another grid and a frequency that is not positive.
TEST(point, refuses_a_field_of_another_grid_and_no_frequency) {
  const deck_values deck = deck_values_of(deck_text(3));
  const auto plan = core::make_grid_plan(3, 3);
  const auto ws = core::make_workspace(*plan, 2);
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
