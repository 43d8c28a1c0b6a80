// Bit patterns of the factors and the solution of one fixed system: a guard
// that changes made for speed keep every floating-point operation and its
// order. The checksums were recorded from the straightforward loops.
#include <gtest/gtest.h>

#include <algorithm>
#include <complex>
#include <cstdint>
#include <cstring>
#include <vector>

#include "yale/yale.h"

namespace {

using cplx = yale_complex;

// FNV-1a over the bytes of count values.
template <class T>
std::uint64_t fnv(const T* first, std::size_t count) {
  std::uint64_t h = 1469598103934665603ull;
  const auto* byte = reinterpret_cast<const unsigned char*>(first);
  for (std::size_t i = 0; i < count * sizeof(T); ++i) h = (h ^ byte[i]) * 1099511628211ull;
  return h;
}

// A 9-point stencil on a side x side grid, numbered row by row, with
// nonsymmetric complex values whose products all round.
struct stencil {
  int32_t n;
  std::vector<int32_t> ia, ja;
  std::vector<cplx> a, b;
};

stencil make_stencil(int32_t side) {
  stencil s{side * side, {1}, {}, {}, {}};
  for (int32_t y = 0; y < side; ++y)
    for (int32_t x = 0; x < side; ++x) {
      const int32_t row = y * side + x + 1;
      for (int32_t dy = -1; dy <= 1; ++dy)
        for (int32_t dx = -1; dx <= 1; ++dx) {
          if (x + dx < 0 || x + dx >= side || y + dy < 0 || y + dy >= side) continue;
          const int32_t col = (y + dy) * side + x + dx + 1;
          s.ja.push_back(col);
          s.a.push_back(col == row ? cplx(9.0 + 1.0 / row, 0.3)
                                   : cplx(-1.0 / (3 + (row * 7 + col) % 11), 0.1 / (col + 2)));
        }
      s.ia.push_back(static_cast<int32_t>(s.ja.size()) + 1);
      s.b.push_back(cplx(1.0 / row, 1.0 / (row + 3)));
    }
  return s;
}

TEST(Bitwise, FactorsAndSolutionOfAFixedSystem) {
  stencil s = make_stencil(30);
  int32_t nsp = 200000, flag = -1, esp = 0, path = 1;
  std::vector<cplx> area(nsp), z(s.n);
  auto* isp = reinterpret_cast<int32_t*>(area.data());
  std::vector<int32_t> p(s.n), ip(s.n);
  const int32_t words = 4 * nsp;
  zodrv(&s.n, s.ia.data(), s.ja.data(), s.a.data(), p.data(), ip.data(), &words, isp, &path,
        &flag);
  ASSERT_EQ(flag, 0);
  EXPECT_EQ(fnv(p.data(), p.size()), 16536277623499840138ull);
  zndrv(&s.n, p.data(), p.data(), ip.data(), s.ia.data(), s.ja.data(), s.a.data(), s.b.data(),
        z.data(), &nsp, isp, area.data(), &esp, &path, &flag);
  ASSERT_EQ(flag, 0);
  EXPECT_EQ(fnv(z.data(), z.size()), 3604010554119776866ull);
  // il, iu, jl, ju from the bottom, then the values l, d, u from the first whole slot past them
  const int32_t lsize = isp[s.n] - 1, usize = isp[2 * s.n + 1] - 1;
  const int32_t words_used = 2 * s.n + 2 + lsize + usize;
  EXPECT_EQ(fnv(isp, words_used), 1837693060368510479ull);
  const cplx* l = area.data() + (words_used + 3) / 4;
  EXPECT_EQ(fnv(l, lsize + s.n + usize), 9458724133153656388ull);
}

}  // namespace
