// One run of the permafrost example on an n x n grid, held stage by stage:
// deck, cell coefficients, plane waves, assembly, ordering, factorization.
// Shared by the tests and the benchmarks.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/arrays.h"
#include "core/coefficients.h"
#include "fem/fem.h"
#include "support/deck_values.h"
#include "yale/yale.h"

// The example deck `name` (permafrost, shaley_sand) with an nx x ny grid.
inline std::string deck_text(int nx, int ny, const std::string& name = "permafrost") {
  std::ifstream in(std::filesystem::path(V2PFL_EXAMPLES) / (name + ".deck"));
  std::ostringstream deck;
  std::string line;
  for (int number = 1; std::getline(in, line); ++number)
    deck << (number == 5 ? std::to_string(nx) : number == 6 ? std::to_string(ny) : line) << '\n';
  return deck.str();
}
inline std::string deck_text(int n) { return deck_text(n, n); }

// Every array of one run, filled up to the stage being measured; water 0.2
// in every cell, all of material 1.
struct example_system {
  deck_values deck;
  int nx, ny;
  double h, omega;
  cell_int matnum;
  cell_real phiw;
  cell_coefficients cc;
  dof_table xnod;
  std::vector<std::int32_t> ia, ja, c, ic;
  std::vector<cplx> avec, rhs_m, z, work;

  explicit example_system(int n)
      : deck(deck_values_of(deck_text(n))),
        nx(n),
        ny(n),
        h(deck.h),
        omega(6.283185307179586 * deck.freq1),
        matnum(n, n),
        phiw(n, n),
        cc(n, n),
        xnod(n, n),
        ia(unknowns(n, n) + 1),
        ja(std::size_t(row_capacity) * unknowns(n, n)),
        c(unknowns(n, n)),
        ic(unknowns(n, n)),
        avec(ja.size()),
        rhs_m(unknowns(n, n)),
        z(unknowns(n, n)),
        work(work_slots) {
    for (int k = 1; k <= n; ++k)
      for (int j = 1; j <= n; ++j) matnum(j, k) = 1, phiw(j, k) = 0.2;
    coefficients();
    global_numbering(nx, ny, xnod);
  }
  void coefficients() {
    rock_record unread;
    rock_physics_of_cells(deck, matnum, phiw, omega, cc, unread);
  }
  void plane_waves() {
    waves_record unread;
    plane_waves_of_cells(nx, ny, omega, cc, unread);
  }
  void assemble() {
    global_sist({nx, ny, h, fe_test::per_solid}, xnod, omega, cc, avec.data(), ia.data(),
                ja.data(), rhs_m.data());
  }
  std::int32_t order() {
    std::int32_t n = unknowns(nx, ny), nsp = work_slots, path = 1, flag = 0;
    zodrv(&n, ia.data(), ja.data(), avec.data(), c.data(), ic.data(), &nsp,
          reinterpret_cast<std::int32_t*>(work.data()), &path, &flag);
    return flag;
  }
  std::int32_t factor_solve(std::int32_t& esp) {
    std::int32_t n = unknowns(nx, ny), nsp = work_slots, path = 1, flag = 0;
    zndrv(&n, c.data(), c.data(), ic.data(), ia.data(), ja.data(), avec.data(), rhs_m.data(),
          z.data(), &nsp, reinterpret_cast<std::int32_t*>(work.data()), work.data(), &esp, &path,
          &flag);
    return flag;
  }
};
