// Bit patterns of the order, the factors and the solution of one fixed
// system: a guard that changes made for speed keep every floating-point
// operation and its order. The checksums were recorded from the
// straightforward loops.
#include <gtest/gtest.h>

#include <complex>
#include <cstdint>
#include <vector>

#include "tests/yale/ordering_grid.h"
#include "yale/yale.h"

namespace {

// FNV-1a over the bytes of count values.
template <class T>
std::uint64_t fnv(const T* first, std::size_t count) {
  std::uint64_t h = 1469598103934665603ull;
  const auto* byte = reinterpret_cast<const unsigned char*>(first);
  for (std::size_t i = 0; i < count * sizeof(T); ++i) h = (h ^ byte[i]) * 1099511628211ull;
  return h;
}

}  // namespace

TEST(Bitwise, OrderFactorsAndSolutionOfAFixedSystem) {
  // 9-point stencil on a 30 x 30 grid of nodes numbered row by row, with
  // nonsymmetric complex values whose products all round
  const int32_t side = 30;
  std::vector<std::vector<int32_t>> cells;
  for (int32_t y = 0; y + 1 < side; ++y)
    for (int32_t x = 1; x < side; ++x)
      cells.push_back({y * side + x, y * side + x + 1, (y + 1) * side + x, (y + 1) * side + x + 1});
  structure s = from_cells(side * side, cells);
  std::vector<yale_complex> a, b, z(s.n), area(200000);
  for (int32_t row = 1; row <= s.n; ++row) {
    for (int32_t j = s.ia[row - 1]; j < s.ia[row]; ++j) {
      const int32_t col = s.ja[j - 1];
      a.push_back(col == row ? yale_complex(9.0 + 1.0 / row, 0.3)
                             : yale_complex(-1.0 / (3 + (row * 7 + col) % 11), 0.1 / (col + 2)));
    }
    b.emplace_back(1.0 / row, 1.0 / (row + 3));
  }
  int32_t nsp = int32_t(area.size()), words = 4 * nsp, flag = -1, esp = 0, path = 1;
  auto* isp = reinterpret_cast<int32_t*>(area.data());
  std::vector<int32_t> p(s.n), ip(s.n);
  zodrv(&s.n, s.ia.data(), s.ja.data(), a.data(), p.data(), ip.data(), &words, isp, &path, &flag);
  ASSERT_EQ(flag, 0);
  EXPECT_EQ(fnv(p.data(), p.size()), 16536277623499840138ull);
  zndrv(&s.n, p.data(), p.data(), ip.data(), s.ia.data(), s.ja.data(), a.data(), b.data(),
        z.data(), &nsp, isp, area.data(), &esp, &path, &flag);
  ASSERT_EQ(flag, 0);
  EXPECT_EQ(fnv(z.data(), z.size()), 3604010554119776866ull);
  // il, iu, jl, ju from the bottom, then l, d, u from the first whole slot past them
  const int32_t lsize = isp[s.n] - 1, usize = isp[2 * s.n + 1] - 1;
  const int32_t used = 2 * s.n + 2 + lsize + usize;
  EXPECT_EQ(fnv(isp, used), 1837693060368510479ull);
  EXPECT_EQ(fnv(area.data() + (used + 3) / 4, lsize + s.n + usize), 9458724133153656388ull);
}
