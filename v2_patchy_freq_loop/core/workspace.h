// The numeric storage of one point: the cell fields, the system, the values
// of the factors and the solver's work vectors, sized from one grid plan.
// One per thread, reused from point to point.
#pragma once

#include <vector>

#include "common/arrays.h"
#include "core/coefficients.h"
#include "core/grid_plan.h"

namespace core {

class point_workspace {
 public:
  explicit point_workspace(const grid_plan& plan);

  cell_real phiw;
  cell_coefficients cc;
  fe_system sys;
  // Factor values: L off its diagonal, the pivot reciprocals d, U; the
  // dense work row and the forward solution.
  std::vector<cplx> l, d, u, row, tmp;
  // Fields of the response.
  cell_cplx strain1, strain3, stress, pres, derx_pres, dery_pres;
  cell_real grad_pres_mod;
};

}  // namespace core
