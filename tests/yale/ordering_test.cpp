// Ordering driver: worked minimum-degree orders, pool and path flags, the
// symmetric reordering, and properties of the order on random and grid
// structures (permutation, determinism).
#include <gtest/gtest.h>

#include <random>
#include <tuple>
#include <vector>

#include "tests/yale/ordering_grid.h"
#include "yale/yale.h"

namespace {

using ivec = std::vector<int32_t>;
using cplx = yale_complex;

struct order {
  ivec p, ip;
  int32_t flag = -1;
};

// Driver path 1 with a work area of exactly nsp words (0 picks a roomy one).
template <class T = cplx, auto Drv = zodrv>
order order_of(structure s, int32_t nsp = 0, int32_t path = 1) {
  if (nsp == 0) nsp = 3 * s.n + 2 * s.entries() + 10;
  order o{ivec(s.n, -7), ivec(s.n, -7)};
  ivec isp(std::max(nsp, 1), 0);
  std::vector<T> a(s.ja.size() + 1);
  Drv(&s.n, s.ia.data(), s.ja.data(), a.data(), o.p.data(), o.ip.data(), &nsp, isp.data(), &path,
      &o.flag);
  return o;
}

// The couplings {i, j} and the diagonal, both triangles stored.
structure from_pairs(int32_t n, const std::vector<std::pair<int32_t, int32_t>>& pairs) {
  std::vector<std::vector<int32_t>> cells;
  for (int32_t i = 1; i <= n; ++i) cells.push_back({i});
  for (auto [i, j] : pairs) cells.push_back({i, j});
  return from_cells(n, cells);
}

// Random symmetric pattern, columns of each row shuffled.
structure random_structure(int32_t n, int32_t per_row, unsigned seed) {
  std::mt19937 gen(seed);
  std::uniform_int_distribution<int32_t> pick(1, n);
  std::vector<std::pair<int32_t, int32_t>> pairs;
  for (int32_t c = 0; c < n * per_row / 2; ++c) pairs.emplace_back(pick(gen), pick(gen));
  structure s = from_pairs(n, pairs);
  for (int32_t i = 1; i <= s.n; ++i)
    std::shuffle(s.ja.begin() + s.ia[i - 1] - 1, s.ja.begin() + s.ia[i] - 1, gen);
  return s;
}

// p is a permutation of 1 ... n and ip its inverse.
void expect_permutation(const order& o, int32_t n) {
  ASSERT_EQ(o.flag, 0);
  ivec seen(n + 1, 0);
  for (int32_t k = 1; k <= n; ++k) {
    ASSERT_TRUE(o.p[k - 1] >= 1 && o.p[k - 1] <= n && !seen[o.p[k - 1]]++) << "position " << k;
    EXPECT_EQ(o.ip[o.p[k - 1] - 1], k);
  }
}

}  // namespace

TEST(OrderingDriver, WorkedOrdersAndFlags) {
  const ivec down{5, 4, 3, 2, 1};
  const structure lower{5, {1, 1, 2, 4, 7, 11}, {1, 1, 2, 1, 2, 3, 1, 2, 3, 4}};  // no edge
  const struct {
    structure s;
    ivec p;
  } cases[] = {{from_pairs(5, {}), down},
               {from_cells(5, {{1, 2, 3, 4, 5}}), down},
               {lower, down},
               {from_pairs(5, {{1, 2}, {2, 3}, {3, 4}, {4, 5}}), down},
               {from_pairs(5, {{1, 2}, {1, 3}, {1, 4}, {1, 5}}), {5, 4, 3, 1, 2}}};
  for (const auto& c : cases) EXPECT_EQ(order_of(c.s).p, c.p);
  // 3 x 3 grid: the pool needs n + 2 * 12 edges = 33 cells, max = (nsp - n) / 2
  const structure grid = from_pairs(9, {{1, 2}, {2, 3}, {4, 5}, {5, 6}, {7, 8}, {8, 9},
                                        {1, 4}, {4, 7}, {2, 5}, {5, 8}, {3, 6}, {6, 9}});
  const order fits = order_of(grid, 2 * 33 + 9);
  EXPECT_EQ(fits.p, (ivec{9, 7, 3, 1, 2, 6, 5, 4, 8}));
  EXPECT_EQ(order_of(grid, 2 * 32 + 9 + 1).flag, 9 * 9 + 8);  // last edge is in row 8

  const structure chain = from_pairs(4, {{1, 2}, {2, 3}, {3, 4}});
  for (int32_t path : {0, 6}) EXPECT_EQ(order_of(chain, 100, path).p, ivec(4, -7));
  EXPECT_EQ(order_of(chain, 100, 6).flag, 11 * 4 + 1);
  EXPECT_EQ(order_of(chain, 11).flag, 10 * 4 + 1);  // max = 3 < n
  EXPECT_EQ(order_of(chain, 12).flag, 9 * 4 + 1);   // max = n holds no edge
}

TEST(OrderingDriver, SymmetricReorderingOfThreeEquations) {
  // upper triangle, a(i,k) = i + k i (s, d: 10 i + k), in the order ip = (3, 2, 1): given
  // to paths 3 and 5, found by paths 2 and 4 (the clique is ordered from its last vertex)
  const ivec ia{1, 4, 6, 7}, ja{1, 2, 3, 2, 3, 3}, given(3, -7), found{3, 2, 1};
  const auto run = [&](auto drv, auto a, int32_t path, int32_t nsp = 21) {
    ivec ia_out = ia, ja_out = ja, p = given, ip = path % 2 ? found : ivec{1, 2, 3}, isp(nsp);
    int32_t n = 3, flag = -1;
    drv(&n, ia_out.data(), ja_out.data(), a.data(), p.data(), ip.data(), &nsp, isp.data(), &path,
        &flag);
    return std::tuple{flag, p, ia_out, ja_out, a};
  };
  using cvec = std::vector<cplx>;
  const cvec z{{1, 1}, {1, 2}, {1, 3}, {2, 2}, {2, 3}, {3, 3}};
  const cvec z3{z[0], z[1], z[3], z[2], z[4], z[5]}, z5{z[0], z[3], z[1], z[5], z[2], z[4]};
  const ivec ia_new{1, 2, 4, 7}, ja3{1, 1, 2, 1, 2, 3}, ja5{1, 2, 1, 3, 1, 2};
  EXPECT_EQ(run(zodrv, z, 3), std::tuple(0, given, ia_new, ja3, z3));
  EXPECT_EQ(run(zodrv, z, 2), std::tuple(0, found, ia_new, ja3, z3));
  EXPECT_EQ(run(zodrv, z, 5), std::tuple(0, given, ia_new, ja5, z5));
  EXPECT_EQ(run(zodrv, z, 4), std::tuple(0, found, ia_new, ja5, z5));
  const std::vector<double> d{11, 12, 13, 22, 23, 33}, d5{11, 22, 12, 33, 13, 23};
  EXPECT_EQ(run(dodrv, d, 5), std::tuple(0, given, ia_new, ja5, d5));
  // n + 6 entries fit exactly; one word less leaves the matrix as it was
  EXPECT_EQ(std::get<0>(run(zodrv, z, 3, 9)), 0);
  EXPECT_EQ(run(zodrv, z, 3, 8), std::tuple(10 * 3 + 1, given, ia, ja, z));
}

TEST(OrderingProperties, RandomAndGridStructures) {
  std::vector<structure> cases{fe_grid(3, 2), fe_grid(5, 4)};
  for (unsigned seed = 1; seed <= 40; ++seed)
    cases.push_back(random_structure(5 + seed * 7 % 70, 1 + seed % 6, seed));
  for (const structure& s : cases) {
    SCOPED_TRACE("n " + std::to_string(s.n));
    const order o = order_of(s);
    expect_permutation(o, s.n);
    EXPECT_EQ(order_of(s).p, o.p);  // nothing carries over between calls
    EXPECT_EQ((order_of<double, dodrv>(s).p), o.p);
  }
}
