// Random sparse nonsymmetric systems, diagonally dominant in the
// factorization order, solved by each scalar variant of the driver and
// checked by the residual, against dense LU with partial pivoting, and on the
// transposed system.
#include <gtest/gtest.h>

#include <algorithm>
#include <complex>
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

ivec random_order(int32_t n, std::mt19937& g) {
  ivec p(n);
  for (int32_t k = 0; k < n; ++k) p[k] = k + 1;
  std::shuffle(p.begin(), p.end(), g);
  return p;
}

// Dense Gaussian elimination with partial pivoting of the row-major m.
template <class T>
std::vector<T> dense_solve(std::vector<T> m, std::vector<T> x, int32_t n) {
  for (int32_t k = 0; k < n; ++k) {
    int32_t piv = k;
    for (int32_t i = k + 1; i < n; ++i)
      if (std::abs(m[i * n + k]) > std::abs(m[piv * n + k])) piv = i;
    std::swap_ranges(&m[k * n], &m[k * n] + n, &m[piv * n]);
    std::swap(x[k], x[piv]);
    for (int32_t i = k + 1; i < n; ++i) {
      const T f = m[i * n + k] / m[k * n + k];
      for (int32_t j = k; j < n; ++j) m[i * n + j] -= f * m[k * n + j];
      x[i] -= f * x[k];
    }
  }
  for (int32_t k = n - 1; k >= 0; --k) {
    for (int32_t j = k + 1; j < n; ++j) x[k] -= m[k * n + j] * x[j];
    x[k] /= m[k * n + k];
  }
  return x;
}

template <class T>
double norm(const std::vector<T>& v) {
  double s = 0;
  for (const T& x : v) s = std::max(s, std::abs(x));
  return s;
}

// ||A x - b|| / (||A|| ||x|| + ||b||) in the infinity norm, A row-major or transposed.
template <class T>
double scaled_residual(const std::vector<T>& a, const std::vector<T>& x,
                       const std::vector<T>& b, int32_t n, bool transposed) {
  double anorm = 0;
  std::vector<T> res(b);
  for (int32_t i = 0; i < n; ++i) {
    double rowsum = 0;
    for (int32_t j = 0; j < n; ++j) {
      const T aij = transposed ? a[j * n + i] : a[i * n + j];
      res[i] -= aij * x[j];
      rowsum += std::abs(aij);
    }
    anorm = std::max(anorm, rowsum);
  }
  return norm(res) / (anorm * norm(x) + norm(b));
}

template <class V>
class RandomSolve : public ::testing::Test {};
using Variants = ::testing::Types<variant<double, sndrv>, variant<double, dndrv>,
                                  variant<yale_complex, cndrv>, variant<yale_complex, zndrv>>;
TYPED_TEST_SUITE(RandomSolve, Variants);

TYPED_TEST(RandomSolve, MatchesDenseLUAndSolvesTheTranspose) {
  using T = typename TypeParam::scalar;
  std::mt19937 g(20261206);
  for (int32_t n : {1, 2, 3, 5, 8, 17, 40, 97, 250}) {
    for (bool same_order : {true, false}) {
      // row k of M = A(r, c) gets its diagonal and up to 6 other columns
      const ivec r = random_order(n, g), c = same_order ? r : random_order(n, g);
      ivec ic(n), ia{1}, ja;
      for (int32_t m = 1; m <= n; ++m) ic[c[m - 1] - 1] = m;
      std::vector<T> dense(n * n), a, b(n), x(n), xt(n);
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
      }
      int32_t nsp = 2 * n * n + 8 * n + 64, esp = 0, flag = -1;
      std::vector<T> area(nsp);
      const auto call = [&](int32_t path, std::vector<T>& out) {
        TypeParam::drv(&n, r.data(), c.data(), ic.data(), ia.data(), ja.data(), a.data(),
                       b.data(), out.data(), &nsp, reinterpret_cast<int32_t*>(area.data()),
                       area.data(), &esp, &path, &flag);
      };
      call(1, x);
      ASSERT_EQ(flag, 0) << "n " << n;
      EXPECT_LT(scaled_residual(dense, x, b, n, false), 1e-14) << "n " << n;
      std::vector<T> diff = dense_solve(dense, b, n);
      for (int32_t i = 0; i < n; ++i) diff[i] -= x[i];
      EXPECT_LT(norm(diff), 1e-12 * norm(x)) << "n " << n;
      call(4, xt);
      EXPECT_LT(scaled_residual(dense, xt, b, n, true), 1e-14) << "n " << n;
    }
  }
}

}  // namespace
