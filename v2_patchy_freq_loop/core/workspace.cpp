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

std::int32_t numeric_factor_solve(const grid_plan& p, point_workspace& ws) {
  std::int32_t n = p.nodos, flag = 0;
  const auto lmax = static_cast<std::int32_t>(ws.l.size());
  const auto umax = static_cast<std::int32_t>(ws.u.size());
  yale_blocked::znnf_blocked(&n, p.c.data(), p.c.data(), p.ic.data(), ws.sys.ia.data(),
                             ws.sys.ja.data(), ws.sys.avec.data(), ws.sys.z.data(),
                             ws.sys.rhs_m.data(), p.il.data(), p.jl.data(), ws.l.data(), &lmax,
                             ws.d.data(), p.iu.data(), p.ju.data(), ws.u.data(), &umax,
                             ws.row.data(), ws.tmp.data(), &flag, ws.scratch,
                             {.threads = ws.threads});
  return flag;
}

}  // namespace core
