// Random sparse nonsymmetric systems, diagonally dominant in the
// factorization order, solved by each scalar variant of the driver: scaled
// residuals of the solve and of the transposed solve, and the solve with
// stored factors bit for bit that of the factorization.
#include <gtest/gtest.h>

#include <algorithm>
#include <complex>
#include <cstring>
#include <numeric>
#include <random>
#include <vector>

#include "yale/yale.h"

namespace {

using ivec = std::vector<int32_t>;

template <class T, auto Drv>
struct variant {
  using scalar = T;
  static constexpr auto drv = Drv;
};

template <class T>
T random_value(std::mt19937& g) {
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  const double re = u(g);
  if constexpr (std::is_same_v<T, double>) return re;
  else return T(re, u(g));
}

template <class T>
double norm(const std::vector<T>& v) {
  double s = 0;
  for (const T& x : v) s = std::max(s, std::abs(x));
  return s;
}

// ||m x - b|| / (||m|| ||x|| + ||b||) in the infinity norm, m row-major.
template <class T>
double scaled_residual(const std::vector<T>& m, const std::vector<T>& x, const std::vector<T>& b) {
  const size_t n = b.size();
  double mnorm = 0, rnorm = 0;
  for (size_t i = 0; i < n; ++i) {
    T res = b[i];
    double rowsum = 0;
    for (size_t j = 0; j < n; ++j) res -= m[i * n + j] * x[j], rowsum += std::abs(m[i * n + j]);
    mnorm = std::max(mnorm, rowsum), rnorm = std::max(rnorm, std::abs(res));
  }
  return rnorm / (mnorm * norm(x) + norm(b));
}

template <class V>
class RandomSolve : public ::testing::Test {};
using Variants = ::testing::Types<variant<double, sndrv>, variant<double, dndrv>,
                                  variant<yale_complex, cndrv>, variant<yale_complex, zndrv>>;
TYPED_TEST_SUITE(RandomSolve, Variants);

TYPED_TEST(RandomSolve, ResidualsAndStoredFactors) {
  using T = typename TypeParam::scalar;
  std::mt19937 g(20261206);
  for (int32_t n : {1, 2, 3, 5, 8, 17, 40, 97, 250}) {
    for (bool same_order : {true, false}) {
      SCOPED_TRACE("n " + std::to_string(n));
      ivec r(n), c(n), ic(n), ia{1}, ja;
      std::iota(r.begin(), r.end(), 1);
      std::shuffle(r.begin(), r.end(), g);
      c = r;
      if (!same_order) std::shuffle(c.begin(), c.end(), g);
      for (int32_t m = 1; m <= n; ++m) ic[c[m - 1] - 1] = m;
      // row k of M = A(r, c): a dominant diagonal and up to 6 other columns
      std::vector<T> dense(n * n), dense_t(n * n), a, b(n), x(n), xs(n), xt(n);
      std::uniform_int_distribution<int32_t> col(1, n), count(0, std::min(6, n - 1));
      for (int32_t k = 1; k <= n; ++k) {
        T* row = &dense[(r[k - 1] - 1) * n];
        double off = 0;
        for (int32_t e = count(g), m = col(g); e > 0; --e, m = col(g))
          if (m != k) off += std::abs(row[c[m - 1] - 1] = random_value<T>(g));
        const T phase = random_value<T>(g);
        row[c[k - 1] - 1] = (off + 1.0) * phase / std::abs(phase);
      }
      for (int32_t i = 0; i < n; ++i) {  // rows stored with their columns shuffled
        const auto first = ja.size();
        for (int32_t j = 1; j <= n; ++j)
          if (dense[i * n + j - 1] != T(0)) ja.push_back(j);
        std::shuffle(ja.begin() + first, ja.end(), g);
        for (auto p = first; p < ja.size(); ++p) a.push_back(dense[i * n + ja[p] - 1]);
        ia.push_back(int32_t(ja.size()) + 1);
        b[i] = random_value<T>(g);
        for (int32_t j = 0; j < n; ++j) dense_t[j * n + i] = dense[i * n + j];
      }
      int32_t nsp = 2 * n * n + 8 * n + 64, esp = 0, flag = -1;
      std::vector<T> area(nsp);
      const auto solve = [&](int32_t path, std::vector<T>& out) {
        TypeParam::drv(&n, r.data(), c.data(), ic.data(), ia.data(), ja.data(), a.data(),
                       b.data(), out.data(), &nsp, reinterpret_cast<int32_t*>(area.data()),
                       area.data(), &esp, &path, &flag);
      };
      solve(1, x);
      ASSERT_EQ(flag, 0);
      EXPECT_LT(scaled_residual(dense, x, b), 1e-14);
      solve(3, xs);
      EXPECT_EQ(std::memcmp(xs.data(), x.data(), n * sizeof(T)), 0);
      solve(4, xt);
      EXPECT_LT(scaled_residual(dense_t, xt, b), 1e-14);
    }
  }
}

}  // namespace
