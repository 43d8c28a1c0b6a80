// The assembled and solved system of the permafrost example, checked by its
// residual, independently of the solver's own bookkeeping.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "support/example_system.h"

namespace {

// max_i |(A z - b)_i| over the rows of the row storage, and max_i |b_i|.
struct residual_norms {
  double residual = 0, rhs = 0;
};

residual_norms residual(const example_system& s) {
  residual_norms r;
  const std::int32_t n = unknowns(s.nx, s.ny);
  for (std::int32_t i = 1; i <= n; ++i) {
    cplx sum = 0.0;
    for (std::int32_t p = s.ia[i - 1]; p < s.ia[i]; ++p) sum += s.avec[p - 1] * s.z[s.ja[p - 1] - 1];
    r.residual = std::max(r.residual, std::abs(sum - s.rhs_m[i - 1]));
    r.rhs = std::max(r.rhs, std::abs(s.rhs_m[i - 1]));
  }
  return r;
}

TEST(solved_system, residual_is_at_rounding_level) {
  for (int n : {3, 12}) {
    example_system s(n);
    s.assemble();
    ASSERT_EQ(s.order(), 0);
    std::int32_t esp = 0;
    ASSERT_EQ(s.factor_solve(esp), 0);
    EXPECT_GT(esp, 0);
    const residual_norms r = residual(s);
    EXPECT_LT(r.residual / r.rhs, 1e-9) << n << " x " << n;
    // The constrained unknowns come out exactly zero: the top fluid edge of
    // the top-left cell and the left solid x displacements.
    const int top_left = (n - 1) * n + 1;
    EXPECT_EQ(s.z[s.xnod(top_left, xf_T) - 1], cplx(0.0));
    EXPECT_EQ(s.z[s.xnod(top_left, xs1_1(1)) - 1], cplx(0.0));
    EXPECT_EQ(s.z[s.xnod(1, xs2_2(1)) - 1], cplx(0.0));
  }
}

}  // namespace
