// The numeric storage of one point: the cell fields, the system, the values
// of the factors and the solver's work vectors, sized from one grid plan.
// One per thread, reused from point to point.
#pragma once

#include <cstddef>
#include <vector>

#include "common/arrays.h"
#include "core/bulk_storage.h"
#include "core/coefficients.h"
#include "core/grid_plan.h"
#include "yale/nnf_blocked.h"

namespace core {

class point_workspace {
 public:
  // `threads`: the threads of the numeric factorization (at least 1).
  point_workspace(const grid_plan& plan, int threads);

  cell_real phiw;
  cell_coefficients cc;
  fe_system sys;
  // Factor values: L off its diagonal, the pivot reciprocals d, U; the
  // dense work row and the forward solution (each written before it is read).
  bulk_vector<cplx> l, d, u, row, tmp;
  // The factorization's threads and their scratch rows.
  int threads;
  bulk_vector<std::byte> scratch;
  // Fields of the response.
  cell_cplx strain1, strain3, stress, pres, derx_pres, dery_pres;
  cell_real grad_pres_mod;
};

// The numeric factorization of the workspace's assembled system and its
// solve into sys.z, in the plan's order and structures, on the workspace's
// threads; returns the solver's flag (0, or a zero pivot).
std::int32_t numeric_factor_solve(const grid_plan& plan, point_workspace& ws);

}  // namespace core
