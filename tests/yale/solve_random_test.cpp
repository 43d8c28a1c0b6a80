// Randomised sparse nonsymmetric systems with a dominant diagonal in the
// factorization order, solved by each scalar variant of the driver and
// checked by the residual and against a dense LU with partial pivoting.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <random>
#include <vector>

#include "yale/yale.h"

namespace {

using cplx = yale_complex;
using ivec = std::vector<int32_t>;

template <class T, auto Driver>
struct variant {
  using scalar = T;
  static constexpr auto drv = Driver;
};

double uniform(std::mt19937& g) { return std::uniform_real_distribution<double>(-1.0, 1.0)(g); }
template <class T>
T random_value(std::mt19937& g) {
  if constexpr (std::is_same_v<T, double>) {
    return uniform(g);
  } else {
    const double re = uniform(g);
    return T(re, uniform(g));
  }
}

// A random system: A in row storage with rows shuffled internally, plus the
// orders r, c under which A(r(k), c(k)) dominates row r(k).
template <class T>
struct system {
  int32_t n;
  ivec ia, ja, r, c, ic;
  std::vector<T> a, dense, b;  // dense: A row-major, for the reference solution
};

ivec random_order(int32_t n, std::mt19937& g) {
  ivec p(n);
  for (int32_t k = 0; k < n; ++k) p[k] = k + 1;
  std::shuffle(p.begin(), p.end(), g);
  return p;
}

template <class T>
system<T> make_system(int32_t n, bool symmetric_order, std::mt19937& g) {
  system<T> s{n, {}, {}, random_order(n, g), {}, ivec(n), {}, std::vector<T>(n * n), {}};
  s.c = symmetric_order ? s.r : random_order(n, g);
  for (int32_t m = 1; m <= n; ++m) s.ic[s.c[m - 1] - 1] = m;
  // Row k of M = row r(k) of A gets its diagonal and up to 6 other columns.
  std::uniform_int_distribution<int32_t> col(1, n), count(0, std::min(6, n - 1));
  for (int32_t k = 1; k <= n; ++k) {
    T* arow = &s.dense[(s.r[k - 1] - 1) * n];
    double off = 0;
    for (int32_t e = count(g); e > 0; --e) {
      const int32_t m = col(g);
      if (m == k || arow[s.c[m - 1] - 1] != T(0)) continue;
      arow[s.c[m - 1] - 1] = random_value<T>(g);
      off += std::abs(arow[s.c[m - 1] - 1]);
    }
    const T phase = random_value<T>(g);
    arow[s.c[k - 1] - 1] = (off + 1.0) * phase / std::abs(phase);
  }
  s.ia.push_back(1);
  for (int32_t i = 1; i <= n; ++i) {
    ivec cols;
    for (int32_t j = 1; j <= n; ++j)
      if (s.dense[(i - 1) * n + j - 1] != T(0)) cols.push_back(j);
    std::shuffle(cols.begin(), cols.end(), g);
    for (int32_t j : cols) {
      s.ja.push_back(j);
      s.a.push_back(s.dense[(i - 1) * n + j - 1]);
    }
    s.ia.push_back(static_cast<int32_t>(s.ja.size()) + 1);
  }
  for (int32_t i = 0; i < n; ++i) s.b.push_back(random_value<T>(g));
  return s;
}

// Dense Gaussian elimination with partial pivoting on a row-major copy.
template <class T>
std::vector<T> dense_solve(std::vector<T> m, std::vector<T> x, int32_t n) {
  for (int32_t k = 0; k < n; ++k) {
    int32_t piv = k;
    for (int32_t i = k + 1; i < n; ++i)
      if (std::abs(m[i * n + k]) > std::abs(m[piv * n + k])) piv = i;
    for (int32_t j = 0; j < n; ++j) std::swap(m[k * n + j], m[piv * n + j]);
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
double inf_norm(const std::vector<T>& v) {
  double s = 0;
  for (const T& x : v) s = std::max(s, std::abs(x));
  return s;
}

// ||A x - b|| / (||A|| ||x|| + ||b||) in the infinity norm; A or A^T.
template <class T>
double scaled_residual(const system<T>& s, const std::vector<T>& x, bool transposed) {
  const int32_t n = s.n;
  double anorm = 0;
  std::vector<T> res(s.b);
  for (int32_t i = 0; i < n; ++i) {
    double rowsum = 0;
    for (int32_t j = 0; j < n; ++j) {
      const T aij = transposed ? s.dense[j * n + i] : s.dense[i * n + j];
      res[i] -= aij * x[j];
      rowsum += std::abs(aij);
    }
    anorm = std::max(anorm, rowsum);
  }
  return inf_norm(res) / (anorm * inf_norm(x) + inf_norm(s.b));
}

template <class V>
class RandomSolve : public ::testing::Test {};
using Variants = ::testing::Types<variant<double, sndrv>, variant<double, dndrv>,
                                  variant<cplx, cndrv>, variant<cplx, zndrv>>;
TYPED_TEST_SUITE(RandomSolve, Variants);

TYPED_TEST(RandomSolve, MatchesDenseLUAndSolvesTheTranspose) {
  using T = typename TypeParam::scalar;
  std::mt19937 g(20261206);
  for (int32_t n : {1, 2, 3, 5, 8, 17, 40, 97, 250}) {
    for (bool symmetric_order : {true, false}) {
      const system<T> s = make_system<T>(n, symmetric_order, g);
      int32_t nsp = 2 * n * n + 8 * n + 64, esp = 0, flag = -1;
      std::vector<T> area(nsp), x(n), xt(n);
      auto* isp = reinterpret_cast<int32_t*>(area.data());
      auto call = [&](int32_t path, std::vector<T>& out) {
        TypeParam::drv(&s.n, s.r.data(), s.c.data(), s.ic.data(), s.ia.data(), s.ja.data(),
                       s.a.data(), s.b.data(), out.data(), &nsp, isp, area.data(), &esp, &path,
                       &flag);
      };
      call(1, x);
      ASSERT_EQ(flag, 0) << "n " << n;
      EXPECT_GE(esp, 0);
      EXPECT_LT(scaled_residual(s, x, false), 1e-14) << "n " << n;

      std::vector<T> diff = dense_solve(s.dense, s.b, n);
      for (int32_t i = 0; i < n; ++i) diff[i] -= x[i];
      EXPECT_LT(inf_norm(diff), 1e-12 * inf_norm(x)) << "n " << n;

      call(4, xt);
      EXPECT_LT(scaled_residual(s, xt, true), 1e-14) << "n " << n;
    }
  }
}

}  // namespace
