// One run of the permafrost example on an n x n grid, held stage by stage:
// deck, cell coefficients, plane waves, assembly, ordering, factorization.
// Shared by the tests and the benchmarks.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "common/arrays.h"
#include "fem/fem.h"
#include "input/input.h"
#include "plane_waves/plane_waves.h"
#include "rock_physics/rock_physics.h"
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

// Every array of one run, filled up to the stage being measured: the deck's
// values and the cell coefficients are its own fields.
struct example_system : deck_values, cell_coefficients {
  cell_int matnum;
  cell_real phiw;
  double omega;
  dof_table xnod;
  std::vector<std::int32_t> ia, ja, c, ic;
  std::vector<cplx> avec, rhs_m, z, work;
  std::ostringstream report;

  explicit example_system(int n)
      : cell_coefficients(n, n), matnum(n, n), phiw(n, n), xnod(n, n),
        ia(unknowns(n, n) + 1),
        ja(std::size_t(row_capacity) * unknowns(n, n)),
        c(unknowns(n, n)),
        ic(unknowns(n, n)),
        avec(ja.size()),
        rhs_m(unknowns(n, n)),
        z(unknowns(n, n)),
        work(work_slots) {
    std::istringstream deck(deck_text(n));
    static_cast<deck_values&>(*this) = readata(deck, report).values;
    phi_layer_m = {0.2, 0.2};
    for (int k = 1; k <= ny; ++k)
      for (int j = 1; j <= nx; ++j) matnum(j, k) = 1;
    std::istringstream no_file;
    porosity(nx, ny, phi_layer_m, model, phiw, no_file);
    omega = 6.283185307179586 * freq1;
    coefficients();
    global_numbering(nx, ny, xnod);
  }
  void coefficients() {
    const cell_inputs cells = inputs_of_cells(*this, matnum, phiw);
    moduli_record moduli_rec;
    mass_record mass_rec;
    cell_moduli moduli = e_modulus(*this, cells, omega, moduli_rec);
    static_cast<cell_coefficients&>(*this) =
        cell_coefficients(std::move(moduli), mass_visco_coef(*this, cells, mass_rec));
  }
  void plane_waves() {
    waves_record unread;
    veloc_aten(nx, ny, omega, *this, unread);
  }
  void assemble() {
    global_sist({nx, ny, h, fe_test::per_solid}, xnod, omega, *this, avec.data(), ia.data(),
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

