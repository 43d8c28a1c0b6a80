// What every point of one grid shares, read-only: the degree-of-freedom
// numbering, the row pattern of the system, its order and the symbolic
// factorization in that order.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "common/arrays.h"
#include "core/bulk_storage.h"
#include "fem/fem.h"

namespace core {

// A failed ordering (code 9, "FLAG=") or symbolic step (code 99, "ESP="
// and "FLAG="), as the solver reported it.
struct solver_failure {
  int code;
  std::int32_t flag, esp;
};

// The compressibility test a point computes (fem/fem.h).
using ::fe_test;

// "per-solid" or "platen", and back (nothing for any other text).
std::string_view test_name(fe_test test);
std::optional<fe_test> test_of_name(std::string_view name);

struct grid_plan {
  grid_plan(int nx, int ny, fe_test test = fe_test::per_solid);
  // Large: moved, never copied.
  grid_plan(grid_plan&&) = default;
  grid_plan& operator=(grid_plan&&) = default;
  grid_plan(const grid_plan&) = delete;
  grid_plan& operator=(const grid_plan&) = delete;
  int nx, ny;
  fe_test test;
  std::int32_t nodos;       // unknowns of the system
  dof_table xnod;           // global numbers of the unknowns of every cell
  cell_int matnum;          // material of every cell: 1
  bulk_vector<std::int32_t> ia, ja;          // row pattern of the system
  std::vector<std::int32_t> c, ic;           // fill-reducing order and its inverse
  std::vector<std::int32_t> il, iu;       // row starts of L and U in that order
  bulk_vector<std::int32_t> jl, ju;       // their columns
  // The solver work area the structures fit in, in double-complex slots,
  // and the slots it would have to spare after the factors (the ESP= value
  // of a failed factorization).
  std::int32_t nsp = 0, esp = 0;
  // The failure of the ordering or the symbolic factorization, if any: a
  // value every point of the grid stops with where it factors its system.
  std::optional<solver_failure> failure;
};

// The plan of an nx x ny grid, its solver failure, if any, kept in
// `failure`. nsp = 0: the symbolic factorization is taken once, from the
// elimination tree of the ordered pattern, and nsp is the first of
// work_slots (or the ordering's need, if larger) doubled 0, 1, 2 ... times
// that holds the factors (a grid that outgrows 32-bit indexing is refused
// with stop_bad_deck); grids above 60 x 60 cells are ordered by nested
// dissection. nsp > 0 fixes the area, and the minimum-degree ordering and
// the symbolic factorization then run in an area of that size, as a smaller
// area provokes the solver's own failures.
grid_plan make_plan(int nx, int ny, std::int32_t nsp = 0,
                            fe_test test = fe_test::per_solid);

}  // namespace core
