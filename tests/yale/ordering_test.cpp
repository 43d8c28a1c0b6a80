// Minimum-degree ordering through the drivers: worked orders of small
// structures, pool and path flags, and properties on random and grid
// structures (permutation, determinism, exact minimum degree, fill).
#include <gtest/gtest.h>

#include <algorithm>
#include <complex>
#include <cstdint>
#include <iostream>
#include <numeric>
#include <random>
#include <set>
#include <vector>

#include "tests/yale/ordering_grid.h"
#include "yale/yale.h"

namespace {

using ivec = std::vector<int32_t>;

struct order {
  ivec p, ip;
  int32_t flag = -1;
};

// zodrv path 1 with a work area of nsp words; nsp = 0 picks a roomy one.
order order_of(structure s, int32_t nsp = 0) {
  if (nsp == 0) nsp = 3 * s.n + 2 * s.entries() + 10;
  order o{ivec(s.n, -7), ivec(s.n, -7)};
  ivec isp(std::max(nsp, 1), 0);  // exactly nsp words, so overruns show
  std::vector<yale_complex> a(s.ja.size() + 1);
  const int32_t path = 1;
  zodrv(&s.n, s.ia.data(), s.ja.data(), a.data(), o.p.data(), o.ip.data(), &nsp, isp.data(),
        &path, &o.flag);
  return o;
}

// Structure from a list of couplings {i, j}, stored in both triangles.
structure from_pairs(int32_t n, const std::vector<std::pair<int32_t, int32_t>>& pairs) {
  std::vector<std::vector<int32_t>> cells;
  for (int32_t i = 1; i <= n; ++i) cells.push_back({i});
  for (auto [i, j] : pairs) cells.push_back({i, j});
  return from_cells(n, cells);
}

ivec descending(int32_t n) {
  ivec v(n);
  std::iota(v.rbegin(), v.rend(), 1);
  return v;
}

// Random structurally symmetric pattern with about `per_row` couplings per
// row; the columns of each row are shuffled, since they need not be sorted.
structure random_structure(int32_t n, int32_t per_row, unsigned seed) {
  std::mt19937 gen(seed);
  std::uniform_int_distribution<int32_t> pick(1, n);
  std::vector<std::pair<int32_t, int32_t>> pairs;
  for (int32_t c = 0; c < n * per_row / 2; ++c) pairs.emplace_back(pick(gen), pick(gen));
  structure s = from_pairs(n, pairs);
  for (int32_t i = 1; i <= n; ++i)
    std::shuffle(s.ja.begin() + (s.ia[i - 1] - 1), s.ja.begin() + (s.ia[i] - 1), gen);
  return s;
}

// The 5-point grid of k x k equations numbered row by row.
structure five_point(int32_t k) {
  std::vector<std::pair<int32_t, int32_t>> pairs;
  for (int32_t r = 0; r < k; ++r) {
    for (int32_t c = 1; c <= k; ++c) {
      if (c < k) pairs.emplace_back(r * k + c, r * k + c + 1);
      if (r + 1 < k) pairs.emplace_back(r * k + c, r * k + c + k);
    }
  }
  return from_pairs(k * k, pairs);
}

int32_t upper_entries(const structure& s) {
  int32_t e = 0;
  for (int32_t i = 1; i <= s.n; ++i)
    for (int32_t j = s.ia[i - 1]; j < s.ia[i]; ++j) e += s.ja[j - 1] > i;
  return e;
}

void expect_permutation(const order& o, int32_t n) {
  ASSERT_EQ(o.flag, 0);
  std::vector<bool> hit(n + 1, false);
  for (int32_t k = 1; k <= n; ++k) {
    const int32_t x = o.p[k - 1];
    ASSERT_TRUE(x >= 1 && x <= n && !hit[x]) << "position " << k;
    hit[x] = true;
    ASSERT_EQ(o.ip[x - 1], k);
  }
}

// Eliminates the vertices in the order p on an explicit graph and checks
// that each one has the smallest degree of all vertices left at its turn.
void expect_minimum_degree_each_step(const structure& s, const ivec& p) {
  std::vector<std::set<int32_t>> g(s.n + 1);
  for (int32_t i = 1; i <= s.n; ++i)
    for (int32_t j = s.ia[i - 1]; j < s.ia[i]; ++j)
      if (s.ja[j - 1] != i) g[i].insert(s.ja[j - 1]), g[s.ja[j - 1]].insert(i);
  std::set<int32_t> left;
  for (int32_t i = 1; i <= s.n; ++i) left.insert(i);
  for (int32_t k = 1; k <= s.n; ++k) {
    const int32_t x = p[k - 1];
    size_t least = s.n;
    for (int32_t y : left) least = std::min(least, g[y].size());
    ASSERT_EQ(g[x].size(), least) << "step " << k << " vertex " << x;
    for (int32_t a : g[x]) {
      g[a].erase(x);
      for (int32_t b : g[x])
        if (a != b) g[a].insert(b);
    }
    left.erase(x);
  }
}

}  // namespace

TEST(MinimumDegreeOrder, SmallStructuresGiveTheirKnownOrders) {
  const int32_t n = 5;
  std::vector<std::vector<int32_t>> diagonal, full{{1, 2, 3, 4, 5}};
  for (int32_t i = 1; i <= n; ++i) diagonal.push_back({i});
  EXPECT_EQ(order_of(from_cells(n, diagonal)).p, descending(n));
  EXPECT_EQ(order_of(from_cells(n, full)).p, descending(n));

  // strict lower triangle only: no edge at all
  structure lower{n, {1, 1, 2, 4, 7, 11}, {1, 1, 2, 1, 2, 3, 1, 2, 3, 4}};
  const order lo = order_of(lower);
  EXPECT_EQ(lo.p, descending(n));
  EXPECT_EQ(lo.ip, descending(n));

  EXPECT_EQ(order_of(from_pairs(n, {{1, 2}, {2, 3}, {3, 4}, {4, 5}})).p, descending(n));
  EXPECT_EQ(order_of(from_pairs(n, {{1, 2}, {1, 3}, {1, 4}, {1, 5}})).p, (ivec{5, 4, 3, 1, 2}));
}

TEST(MinimumDegreeOrder, ThreeByThreeGridAndItsPoolSize) {
  const structure grid = from_pairs(9, {{1, 2}, {2, 3}, {4, 5}, {5, 6}, {7, 8}, {8, 9},
                                        {1, 4}, {4, 7}, {2, 5}, {5, 8}, {3, 6}, {6, 9}});
  // max = (nsp - n) / 2: 33 cells are exactly n + 2 * 12 edges
  const order fits = order_of(grid, 2 * 33 + 9);
  EXPECT_EQ(fits.flag, 0);
  EXPECT_EQ(fits.p, (ivec{9, 7, 3, 1, 2, 6, 5, 4, 8}));
  EXPECT_EQ(fits.ip, (ivec{4, 5, 3, 8, 7, 6, 2, 9, 1}));
  EXPECT_EQ(order_of(grid, 2 * 32 + 9).flag, 89);  // 9 * 9 + row 8 of the last edge
  EXPECT_EQ(order_of(grid, 2 * 32 + 9 + 1).flag, 89);
}

TEST(MinimumDegreeOrder, MdCalledDirectlyWithMarkSharingThePool) {
  // the chain 1-2-3, strict upper triangle only; mark is v as the driver passes it
  const int32_t n = 3, max = 7;
  const ivec ia{1, 2, 3, 3}, ja{2, 3};
  ivec v(max, 0), link(max, 0), head(n, 0), last(n), next(n);
  int32_t flag = 0;
  md(&n, ia.data(), ja.data(), &max, v.data(), link.data(), head.data(), last.data(),
     next.data(), v.data(), &flag);
  EXPECT_EQ(flag, 0);
  EXPECT_EQ(last, (ivec{3, 2, 1}));
  EXPECT_EQ(next, (ivec{3, 2, 1}));
  const int32_t short_max = 6;  // one cell short: the last edge is in row 2
  md(&n, ia.data(), ja.data(), &short_max, v.data(), link.data(), head.data(), last.data(),
     next.data(), v.data(), &flag);
  EXPECT_EQ(flag, 9 * 3 + 2);
}

TEST(OrderingDriver, PathAndWorkAreaFlags) {
  structure s = from_pairs(4, {{1, 2}, {2, 3}, {3, 4}});
  ivec p(4, -7), ip(4, -7), isp(100, 0);
  std::vector<double> a(s.ja.size());
  const structure before = s;
  for (int32_t path : {0, 6}) {
    int32_t flag = -1, nsp = 100;
    dodrv(&s.n, s.ia.data(), s.ja.data(), a.data(), p.data(), ip.data(), &nsp, isp.data(),
          &path, &flag);
    EXPECT_EQ(flag, 11 * 4 + 1);
    EXPECT_EQ(p, ivec(4, -7));
    EXPECT_EQ(s.ja, before.ja);
  }
  // max = (nsp - n) / 2 = 3 < n: refused before any ordering work
  EXPECT_EQ(order_of(s, 11).flag, 10 * 4 + 1);
  // max = 4 passes that check but holds no edge: the pool runs out in row 1
  EXPECT_EQ(order_of(s, 12).flag, 9 * 4 + 1);
  EXPECT_EQ(order_of(s, 3 * 4 + 4 * 3).flag, 0);
}

TEST(OrderingDriver, EmptyStructureAndNoEquations) {
  structure empty{4, {1, 1, 1, 1, 1}, {}};
  const order e = order_of(empty, 20);
  EXPECT_EQ(e.flag, 0);
  EXPECT_EQ(e.p, descending(4));

  structure none{0, {1}, {}};
  int32_t flag = -1, nsp = 0, path = 1, untouched = -7;
  ivec isp(1, -7);
  zodrv(&none.n, none.ia.data(), none.ja.data(), nullptr, &untouched, &untouched, &nsp,
        isp.data(), &path, &flag);
  EXPECT_EQ(flag, 0);
  EXPECT_EQ(untouched, -7);
  EXPECT_EQ(isp[0], -7);
}

TEST(OrderingDriver, AllScalarVariantsGiveTheSameOrder) {
  structure s = random_structure(40, 4, 11);
  int32_t nsp = 1000, path = 1;
  const order z = order_of(s, nsp);
  ivec isp(nsp), p(s.n), ip(s.n);
  std::vector<double> a(s.ja.size());
  std::vector<yale_complex> ac(s.ja.size());
  int32_t flag = -1;
  sodrv(&s.n, s.ia.data(), s.ja.data(), a.data(), p.data(), ip.data(), &nsp, isp.data(), &path,
        &flag);
  EXPECT_EQ(flag, 0);
  EXPECT_EQ(p, z.p);
  dodrv(&s.n, s.ia.data(), s.ja.data(), a.data(), p.data(), ip.data(), &nsp, isp.data(), &path,
        &flag);
  EXPECT_EQ(p, z.p);
  codrv(&s.n, s.ia.data(), s.ja.data(), ac.data(), p.data(), ip.data(), &nsp, isp.data(), &path,
        &flag);
  EXPECT_EQ(p, z.p);
  EXPECT_EQ(ip, z.ip);
}

TEST(OrderingProperties, RandomStructures) {
  for (unsigned seed = 1; seed <= 60; ++seed) {
    const int32_t n = 5 + static_cast<int32_t>(seed * 7 % 70);
    const structure s = random_structure(n, 1 + seed % 6, seed);
    SCOPED_TRACE("seed " + std::to_string(seed));
    const order o = order_of(s);
    expect_permutation(o, n);
    EXPECT_EQ(order_of(s).p, o.p);  // nothing hidden carries over between calls
    expect_minimum_degree_each_step(s, o.p);

    // the pool needs exactly n + 2E cells; one fewer names the row of the last edge
    const int32_t edges = upper_entries(s);
    EXPECT_EQ(order_of(s, 3 * n + 4 * edges).p, o.p);
    int32_t last_row = 0;
    for (int32_t i = 1; i <= n; ++i)
      for (int32_t j = s.ia[i - 1]; j < s.ia[i]; ++j)
        if (s.ja[j - 1] > i) last_row = i;
    if (edges > 0) {
      EXPECT_EQ(order_of(s, 3 * n + 4 * edges - 2).flag, 9 * n + last_row);
    }
  }
}

TEST(OrderingProperties, FiniteElementGridsCutTheFill) {
  struct grid_case {
    const char* name;
    structure s;
  };
  const std::vector<grid_case> cases{
      {"fe 4x4", fe_grid(4, 4)},          {"fe 10x6", fe_grid(10, 6)},
      {"fe 20x20", fe_grid(20, 20)},      {"fe 30x30", fe_grid(30, 30)},
      {"2/node 15x15", node_grid(15, 15, 2)}, {"3/node 12x20", node_grid(12, 20, 3)},
      {"5-point 60x60", five_point(60)}};
  for (const auto& [name, s] : cases) {
    SCOPED_TRACE(name);
    const order o = order_of(s);
    expect_permutation(o, s.n);
    EXPECT_EQ(order_of(s).p, o.p);
    ivec natural(s.n);
    std::iota(natural.begin(), natural.end(), 1);
    const int64_t fill_natural = lu_entries(s, natural);
    const int64_t fill_md = lu_entries(s, o.ip);
    std::cout << "[ fill     ] " << name << ": n " << s.n << ", entries " << s.entries()
              << ", L+U natural " << fill_natural << ", minimum degree " << fill_md << "\n";
    EXPECT_GE(fill_md, s.entries());  // the factors hold at least the matrix
    if (s.n > 2000) {
      EXPECT_LT(3 * fill_md, 2 * fill_natural);
    }
  }
  expect_minimum_degree_each_step(fe_grid(3, 2), order_of(fe_grid(3, 2)).p);
}

TEST(OrderingProperties, GridStructureHasTheAssembledSizes) {
  EXPECT_EQ(fe_grid(1, 1).n, 20);
  EXPECT_EQ(fe_grid(1, 1).entries(), 400);
  EXPECT_EQ(fe_grid(2, 2).n, 48);
  EXPECT_EQ(fe_grid(2, 2).entries(), 1292);
  EXPECT_EQ(fe_grid(3, 2).n, 65);
  EXPECT_EQ(fe_grid(3, 2).entries(), 1865);
  const structure largest = fe_grid(60, 60);
  EXPECT_EQ(largest.n, 22204);
  EXPECT_EQ(largest.entries(), 922216);
}

TEST(OrderingProperties, FillCountOfKnownCases) {
  // arrow: row and column 1 full; natural order fills everything, reversed none
  const structure arrow = from_pairs(4, {{1, 2}, {1, 3}, {1, 4}});
  EXPECT_EQ(lu_entries(arrow, {1, 2, 3, 4}), 16);
  EXPECT_EQ(lu_entries(arrow, {4, 3, 2, 1}), 10);
  EXPECT_EQ(lu_entries(arrow, order_of(arrow).ip), 10);
}
