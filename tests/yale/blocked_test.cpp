// The row-blocked factorization against znnf, bit for bit: factors, pivot
// reciprocals, forward and back solutions, on random systems, for one to eight
// threads and every instruction set this processor runs; zero pivots give
// the same flag.
#include <gtest/gtest.h>

#include <algorithm>
#include <complex>
#include <cstring>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "yale/nnf_blocked.h"
#include "yale/yale.h"

namespace {

using ivec = std::vector<int32_t>;
using cvec = std::vector<yale_complex>;

// A system with its order and symbolic factorization, shared read-only.
struct lu_system {
  int32_t n;
  ivec r{}, ic{}, ia{}, ja{};
  cvec a{}, b{};
  ivec il{}, jl{}, iu{}, ju{};

  void analyse() {
    ic.assign(n, 0);
    for (int32_t k = 1; k <= n; ++k) ic[r[k - 1] - 1] = k;
    int32_t jlmax = int32_t(std::min<int64_t>(int64_t(n) * n, 4'000'000)), jumax = jlmax, flag = -1;
    il.assign(n + 1, 0), iu = il, jl.assign(jlmax, 0), ju = jl;
    ivec list(n + 1), ulast(n);
    znsf(&n, r.data(), ic.data(), ia.data(), ja.data(), il.data(), jl.data(), &jlmax, iu.data(),
         ju.data(), &jumax, list.data(), ulast.data(), &flag);
    ASSERT_EQ(flag, 0);
  }
};

// The numeric arrays of one factorization.
struct numeric {
  cvec l, d, u, z, row, tmp;
  int32_t flag = -1;
  explicit numeric(const lu_system& s)
      : l(s.il[s.n] - 1), d(s.n), u(s.iu[s.n] - 1), z(s.n), row(s.n), tmp(s.n) {}
  template <class F>
  void run(const lu_system& s, F nnf) {
    const int32_t lmax = int32_t(l.size()), umax = int32_t(u.size());
    nnf(&s.n, s.r.data(), s.r.data(), s.ic.data(), s.ia.data(), s.ja.data(), s.a.data(), z.data(),
        s.b.data(), s.il.data(), s.jl.data(), l.data(), &lmax, d.data(), s.iu.data(), s.ju.data(),
        u.data(), &umax, row.data(), tmp.data(), &flag);
  }
};

bool same_bits(const cvec& x, const cvec& y) {
  // An empty vector's data() may be null, which memcmp must not be given.
  return x.size() == y.size() &&
         (x.empty() || std::memcmp(x.data(), y.data(), x.size() * sizeof(x[0])) == 0);
}

// znnf solves the system, and every path of the blocked routine gives its
// bits and flag; returns the flag.
int32_t expect_reference_bits(const lu_system& s) {
  numeric ref(s);
  ref.run(s, znnf);
  for (int32_t i = 1; ref.flag == 0 && i <= s.n; ++i) {  // A z = b: the factors are right
    yale_complex res = s.b[i - 1];
    for (int32_t p = s.ia[i - 1]; p < s.ia[i]; ++p) res -= s.a[p - 1] * ref.z[s.ja[p - 1] - 1];
    EXPECT_LT(std::abs(res), 1e-12) << "row " << i;
  }
  for (auto set :
       {yale_blocked::isa::portable, yale_blocked::isa::avx2, yale_blocked::isa::avx512}) {
    if (!yale_blocked::runs_on_this_processor(set)) continue;
    for (int threads : {1, 2, 3, 4, 8}) {
      SCOPED_TRACE("kernel " + std::to_string(int(set)) + ", threads " + std::to_string(threads));
      // scratch off the 64-byte grid, and for three threads only room for two
      const int room = threads == 3 ? 2 : threads;
      std::vector<std::byte> scratch(yale_blocked::scratch_bytes(s.n, room) + 8);
      numeric blk(s);
      blk.run(s, [&](auto... args) {
        yale_blocked::znnf_blocked(args..., std::span(scratch).subspan(8), {threads, set});
      });
      EXPECT_EQ(blk.flag, ref.flag);
      if (ref.flag != 0) continue;
      EXPECT_TRUE(same_bits(blk.l, ref.l));
      EXPECT_TRUE(same_bits(blk.d, ref.d));
      EXPECT_TRUE(same_bits(blk.u, ref.u));
      EXPECT_TRUE(same_bits(blk.tmp, ref.tmp));
      EXPECT_TRUE(same_bits(blk.z, ref.z));
    }
  }
  return ref.flag;
}

// Random pattern of about `per_row` entries a row in a random order, random
// values with signed zeros among them; row `zero` of A is all zeros, so the
// pivot of its row in M is exactly zero.
lu_system random_system(int32_t n, int32_t per_row, std::mt19937& g, int32_t zero = 0) {
  lu_system s{n};
  std::uniform_real_distribution<double> v(-1.0, 1.0);
  std::uniform_int_distribution<int32_t> col(1, n);
  s.r.resize(n);
  std::iota(s.r.begin(), s.r.end(), 1);
  std::shuffle(s.r.begin(), s.r.end(), g);
  s.ia = {1};
  for (int32_t i = 1; i <= n; ++i) {
    std::vector<bool> taken(n + 1);
    taken[i] = true;
    for (int32_t e = 0; e < per_row; ++e) taken[col(g)] = true;
    for (int32_t j = 1; j <= n; ++j) {
      if (!taken[j]) continue;
      s.ja.push_back(j);
      const double re = g() % 7 == 0 ? -0.0 : v(g), im = g() % 5 == 0 ? -0.0 : v(g);
      s.a.push_back(j == i ? yale_complex(4.0 + per_row, im) : yale_complex(re, im));
    }
    if (i == zero) std::fill(s.a.begin() + s.ia.back() - 1, s.a.end(), 0.0);
    s.ia.push_back(int32_t(s.ja.size()) + 1);
    s.b.emplace_back(v(g), g() % 3 == 0 ? -0.0 : v(g));
  }
  s.analyse();
  return s;
}

}  // namespace

TEST(Blocked, RandomSystemsGiveTheReferenceBits) {
  std::mt19937 g(20261207);
  for (int32_t n : {1, 5, 8, 9, 23, 100, 400})
    for (int32_t per_row : {1, 3, 8}) {
      SCOPED_TRACE("n " + std::to_string(n) + ", per row " + std::to_string(per_row));
      expect_reference_bits(random_system(n, per_row, g));
    }
}

TEST(Blocked, ZeroPivotsGiveTheReferenceFlag) {
  std::mt19937 g(7);
  for (int32_t zero : {1, 50, 177, 300}) {
    const lu_system s = random_system(300, 4, g, zero);
    EXPECT_EQ(expect_reference_bits(s), 8 * 300 + s.ic[zero - 1]);
  }
}
