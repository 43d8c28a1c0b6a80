// Hand-worked cases of the minimum-degree ordering (md through zodrv) and of
// the symmetric reordering zsro.
#include <gtest/gtest.h>

#include <algorithm>
#include <complex>
#include <utility>
#include <vector>

#include "yale/yale.h"

namespace {

using cplx = yale_complex;
using ivec = std::vector<int32_t>;

struct structure {
  int32_t n;
  ivec ia, ja;
};

struct order {
  int32_t flag;
  ivec p, ip;
};

// zodrv path 1 with a work area of nsp words.
order ordering(structure s, int32_t nsp) {
  order o{-5, ivec(s.n, -3), ivec(s.n, -3)};
  std::vector<cplx> a(s.ja.size() + 1);
  ivec isp(nsp + 1);
  const int32_t path = 1;
  zodrv(&s.n, s.ia.data(), s.ja.data(), a.data(), o.p.data(), o.ip.data(), &nsp, isp.data(),
        &path, &o.flag);
  return o;
}

// Structure from an edge list, both triangles stored, columns ascending.
structure symmetric(int32_t n, const std::vector<std::pair<int32_t, int32_t>>& edges) {
  std::vector<ivec> rows(n + 1);
  for (auto [i, j] : edges) {
    rows[i].push_back(j);
    rows[j].push_back(i);
  }
  structure s{n, {1}, {}};
  for (int32_t i = 1; i <= n; ++i) {
    std::sort(rows[i].begin(), rows[i].end());
    s.ja.insert(s.ja.end(), rows[i].begin(), rows[i].end());
    s.ia.push_back(static_cast<int32_t>(s.ja.size()) + 1);
  }
  return s;
}

structure grid3x3() {
  return symmetric(9, {{1, 2}, {2, 3}, {4, 5}, {5, 6}, {7, 8}, {8, 9},
                       {1, 4}, {2, 5}, {3, 6}, {4, 7}, {5, 8}, {6, 9}});
}

TEST(MinimumDegree, GridOrderAndExactPoolSize) {
  // max = (nsp - n)/2: 33 cells = n + 2 * 12 edges suffice, 32 fail at row 8
  const order ok = ordering(grid3x3(), 9 + 2 * 33);
  EXPECT_EQ(ok.flag, 0);
  EXPECT_EQ(ok.p, (ivec{9, 7, 3, 1, 2, 6, 5, 4, 8}));
  EXPECT_EQ(ok.ip, (ivec{4, 5, 3, 8, 7, 6, 2, 9, 1}));
  const order short_pool = ordering(grid3x3(), 9 + 2 * 32);
  EXPECT_EQ(short_pool.flag, 9 * 9 + 8);
  EXPECT_EQ(short_pool.p, ivec(9, -3));  // nothing written
}

TEST(MinimumDegree, SmallGraphsTieBreaks) {
  const ivec reversed{5, 4, 3, 2, 1};
  // chain 1-2-3-4-5
  EXPECT_EQ(ordering(symmetric(5, {{1, 2}, {2, 3}, {3, 4}, {4, 5}}), 100).p, reversed);
  // star around 1
  EXPECT_EQ(ordering(symmetric(5, {{1, 2}, {1, 3}, {1, 4}, {1, 5}}), 100).p,
            (ivec{5, 4, 3, 1, 2}));
  // every pair coupled: one step, the rest interior in boundary order
  std::vector<std::pair<int32_t, int32_t>> all;
  for (int32_t i = 1; i <= 5; ++i)
    for (int32_t j = i + 1; j <= 5; ++j) all.push_back({i, j});
  EXPECT_EQ(ordering(symmetric(5, all), 100).p, reversed);
  // diagonal only, and lower triangle only: no edges at all
  EXPECT_EQ(ordering({5, {1, 2, 3, 4, 5, 6}, {1, 2, 3, 4, 5}}, 100).p, reversed);
  const order lower = ordering({5, {1, 1, 2, 3, 4, 5}, {1, 2, 3, 4}}, 100);
  EXPECT_EQ(lower.p, reversed);
  EXPECT_EQ(lower.ip, reversed);
}

TEST(OrderingDriver, RefusesBadPathAndSmallArea) {
  for (int32_t path : {0, 6}) {
    structure s = grid3x3();
    const ivec ia0 = s.ia;
    ivec p(9, -3), ip(9, -3), isp(200);
    std::vector<cplx> a(s.ja.size());
    int32_t nsp = 200, flag = -5;
    zodrv(&s.n, s.ia.data(), s.ja.data(), a.data(), p.data(), ip.data(), &nsp, isp.data(), &path,
          &flag);
    EXPECT_EQ(flag, 11 * 9 + 1);
    EXPECT_EQ(p, ivec(9, -3));
    EXPECT_EQ(s.ia, ia0);
  }
  // (nsp - n)/2 < n
  EXPECT_EQ(ordering(grid3x3(), 9 + 2 * 9 - 1).flag, 10 * 9 + 1);
}

// zsro through zodrv path 3 or 5 with the caller's ip.
struct reordered {
  int32_t flag;
  ivec ia, ja;
  std::vector<cplx> a;
};

reordered reorder(int32_t n, ivec ia, ivec ja, std::vector<cplx> a, ivec ip, int32_t path,
                  int32_t nsp) {
  ivec p(n, -3), isp(nsp);
  int32_t flag = -5;
  zodrv(&n, ia.data(), ja.data(), a.data(), p.data(), ip.data(), &nsp, isp.data(), &path, &flag);
  return {flag, ia, ja, a};
}

TEST(SymmetricReordering, UpperTriangleUnderReversedOrder) {
  const ivec ia{1, 4, 6, 7}, ja{1, 2, 3, 2, 3, 3}, ip{3, 2, 1};
  // a_ij = 10 i + j
  const std::vector<cplx> a{cplx(11), cplx(12), cplx(13), cplx(22), cplx(23), cplx(33, 1)};
  const reordered r3 = reorder(3, ia, ja, a, ip, 3, 3 + 6);
  EXPECT_EQ(r3.flag, 0);
  EXPECT_EQ(r3.ia, (ivec{1, 2, 4, 7}));
  EXPECT_EQ(r3.ja, (ivec{1, 1, 2, 1, 2, 3}));
  EXPECT_EQ(r3.a, (std::vector<cplx>{cplx(11), cplx(12), cplx(22), cplx(13), cplx(23),
                                     cplx(33, 1)}));
  const reordered r5 = reorder(3, ia, ja, a, ip, 5, 3 + 6);
  EXPECT_EQ(r5.ia, (ivec{1, 2, 4, 7}));
  EXPECT_EQ(r5.ja, (ivec{1, 2, 1, 3, 1, 2}));
  EXPECT_EQ(r5.a, (std::vector<cplx>{cplx(11), cplx(22), cplx(12), cplx(33, 1), cplx(13),
                                     cplx(23)}));
  // one word short of cnt and dest
  const reordered small = reorder(3, ia, ja, a, ip, 3, 3 + 5);
  EXPECT_EQ(small.flag, 10 * 3 + 1);
  EXPECT_EQ(small.ia, ia);
}

TEST(SymmetricReordering, IdentityMovesLowerEntriesUp) {
  // full 3 x 3 pattern, a_ij = 10 i + j; lower entries (i, k) go to row k as (k, i)
  const ivec ia{1, 4, 7, 10}, ja{1, 2, 3, 1, 2, 3, 1, 2, 3};
  std::vector<cplx> a;
  for (int32_t i = 1; i <= 3; ++i)
    for (int32_t j = 1; j <= 3; ++j) a.push_back(cplx(10 * i + j));
  const reordered r = reorder(3, ia, ja, a, {1, 2, 3}, 3, 3 + 9);
  EXPECT_EQ(r.ia, (ivec{1, 6, 9, 10}));
  EXPECT_EQ(r.ja, (ivec{1, 2, 3, 2, 3, 2, 3, 3, 3}));
  EXPECT_EQ(r.a, (std::vector<cplx>{cplx(11), cplx(12), cplx(13), cplx(21), cplx(31), cplx(22),
                                    cplx(23), cplx(32), cplx(33)}));
  // empty structure: nothing moves
  const reordered e = reorder(2, {4, 4, 4}, {7}, {cplx(5)}, {2, 1}, 5, 10);
  EXPECT_EQ(e.flag, 0);
  EXPECT_EQ(e.ia, (ivec{4, 4, 4}));
  EXPECT_EQ(e.ja, ivec{7});
}

TEST(OrderingDriver, OrderAndReorderInOneCall) {
  // path 4 = path 1, then path 5 with the order found
  structure s = grid3x3();
  std::vector<cplx> a(s.ja.size());
  for (std::size_t j = 0; j < a.size(); ++j) a[j] = cplx(double(j), 1.0);
  const order o = ordering(s, 200);
  const reordered two_calls = reorder(9, s.ia, s.ja, a, o.ip, 5, 200);
  ivec p(9), ip(9), isp(200);
  int32_t n = 9, nsp = 200, path = 4, flag = -5;
  zodrv(&n, s.ia.data(), s.ja.data(), a.data(), p.data(), ip.data(), &nsp, isp.data(), &path,
        &flag);
  EXPECT_EQ(flag, 0);
  EXPECT_EQ(p, o.p);
  EXPECT_EQ(s.ia, two_calls.ia);
  EXPECT_EQ(s.ja, two_calls.ja);
  EXPECT_EQ(a, two_calls.a);

  // Lower triangle and diagonal of order 5 (15 entries, no edges): the
  // ordering fits in 3n = 15 words, the reordering needs n + 15 = 20.
  structure low{5, {1}, {}};
  for (int32_t i = 1; i <= 5; ++i) {
    for (int32_t j = 1; j <= i; ++j) low.ja.push_back(j);
    low.ia.push_back(static_cast<int32_t>(low.ja.size()) + 1);
  }
  const ivec ia0 = low.ia, ja0 = low.ja;
  std::vector<cplx> la(15);
  ivec lp(5), lip(5), lisp(19);
  n = 5, nsp = 19, path = 2, flag = -5;
  zodrv(&n, low.ia.data(), low.ja.data(), la.data(), lp.data(), lip.data(), &nsp, lisp.data(),
        &path, &flag);
  EXPECT_EQ(flag, 10 * 5 + 1);
  EXPECT_EQ(lp, (ivec{5, 4, 3, 2, 1}));  // the ordering is kept
  EXPECT_EQ(low.ia, ia0);
  EXPECT_EQ(low.ja, ja0);
}

}  // namespace
