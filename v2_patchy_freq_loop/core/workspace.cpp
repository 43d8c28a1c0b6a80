#include "core/workspace.h"

#include <algorithm>

namespace core {

point_workspace::point_workspace(const grid_plan& p, int threads)
    : phiw(p.nx, p.ny),
      cc(p.nx, p.ny),
      sys(p.nodos),
      l(p.jl.size()),
      d(static_cast<std::size_t>(p.nodos)),
      u(p.ju.size()),
      row(d.size()),
      tmp(d.size()),
      threads(std::max(threads, 1)),
      scratch(yale_blocked::scratch_bytes(p.nodos, this->threads)),
      strain1(p.nx, p.ny),
      strain3(p.nx, p.ny),
      stress(p.nx, p.ny),
      pres(p.nx, p.ny),
      derx_pres(p.nx, p.ny),
      dery_pres(p.nx, p.ny),
      grad_pres_mod(p.nx, p.ny) {}

}  // namespace core
