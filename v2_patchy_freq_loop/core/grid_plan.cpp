// The shared analysis of a grid: pattern, minimum-degree order (zodrv path
// 1) and symbolic factorization (zndrv path 5) in the solver's own work
// area, so that the order, the structures and every failure flag are those
// of a run that orders and factorizes its system in that area.
#include "core/grid_plan.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <new>

#include "common/grid_limits.h"
#include "common/report.h"
#include "fem/fem.h"
#include "yale/yale.h"

namespace core {

namespace {

// The solver's work area: calloc'd, so that only the pages the solver
// touches are ever backed by memory.
class work_area {
 public:
  explicit work_area(std::int32_t nsp)
      : slots_(static_cast<cplx*>(std::calloc(static_cast<std::size_t>(nsp), sizeof(cplx)))) {
    if (!slots_) throw std::bad_alloc();
  }
  cplx* rsp() const { return slots_.get(); }
  std::int32_t* isp() const { return reinterpret_cast<std::int32_t*>(slots_.get()); }

 private:
  struct release {
    void operator()(cplx* p) const { std::free(p); }
  };
  std::unique_ptr<cplx, release> slots_;
};

// Strict upper-triangle entries of the pattern: the edges the ordering sees.
std::int64_t upper_entries(const grid_plan& p) {
  std::int64_t count = 0;
  for (std::int32_t i = 1; i <= p.nodos; ++i)
    for (std::int32_t q = p.ia[i - 1]; q < p.ia[i]; ++q) count += p.ja[q - 1] > i;
  return count;
}

// Work area the minimum-degree ordering needs: 3 n + 4 E words.
std::int64_t ordering_need(const grid_plan& p) {
  return 3 * std::int64_t(p.nodos) + 4 * upper_entries(p) + 1;
}

// The row pattern of the grid's system, packed.
void pattern(grid_plan& p) {
  p.ia.assign(static_cast<std::size_t>(p.nodos) + 1, 0);
  p.ja.assign(static_cast<std::size_t>(row_capacity) * p.nodos, 0);
  build_pattern(p.nx, p.ny, p.nodos, p.xnod, p.ia.data(), p.ja.data());
  p.ja.resize(static_cast<std::size_t>(p.ia[p.nodos] - 1));
  p.ja.shrink_to_fit();
}

// Whether a symbolic flag (or a shortfall of the room for U's values) is a
// lack of room in the work area: jl full (3n+k), ju full (6n+k), U's values
// not fitting (7n+1), or the fixed arrays not fitting (10n+1).
bool lack_of_room(std::int32_t flag, std::int32_t n) {
  const std::int32_t band = (flag - 1) / n;
  return band == 3 || band == 6 || band == 7 || band == 10;
}

// The flag the numeric factorization would return for want of room for U's
// values: 10n+1 when none is left, 7n+1 when too little.
std::int32_t values_flag(std::int32_t esp, std::int32_t n, std::int32_t nu) {
  return esp + nu <= 0 ? 10 * n + 1 : 7 * n + 1;
}

// The minimum-degree order in an area of nsp slots; false (with the
// failure kept) when it fails.
bool order(grid_plan& p, std::int32_t nsp) {
  const work_area area(nsp);
  std::int32_t n = p.nodos, path = 1, flag = 0;
  zodrv(&n, p.ia.data(), p.ja.data(), nullptr, p.c.data(), p.ic.data(), &nsp, area.isp(), &path,
        &flag);
  if (flag != 0) p.failure = solver_failure{stop_ordering_failed, flag, 0};
  return flag == 0;
}

// The symbolic factorization in an area of nsp slots, laid out as the
// solver's driver lays it out; false (with the failure kept) when the area
// is too small for the structures or for the values of the factors.
bool factorize_symbolic(grid_plan& p, std::int32_t nsp) {
  const work_area area(nsp);
  std::int32_t n = p.nodos, path = 5, flag = 0, esp = 0;
  zndrv(&n, p.c.data(), p.c.data(), p.ic.data(), p.ia.data(), p.ja.data(), nullptr, nullptr,
        nullptr, &nsp, area.isp(), area.rsp(), &esp, &path, &flag);
  const std::int32_t* isp = area.isp();
  const std::int32_t nl = flag == 0 ? isp[n] - 1 : 0, nu = flag == 0 ? isp[2 * n + 1] - 1 : 0;
  if (flag == 0 && esp < 0) flag = values_flag(esp, n, nu);
  p.nsp = nsp, p.esp = esp;
  if (flag != 0) {
    p.failure = solver_failure{stop_solve_failed, flag, esp};
    return !lack_of_room(flag, n);
  }
  p.failure.reset();
  p.il.assign(isp, isp + n + 1);
  p.iu.assign(isp + n + 1, isp + 2 * n + 2);
  p.jl.assign(isp + 2 * n + 2, isp + 2 * n + 2 + nl);
  p.ju.assign(isp + 2 * n + 2 + nl, isp + 2 * n + 2 + nl + nu);
  return true;
}

}  // namespace

std::string_view test_name(fe_test test) {
  return test == fe_test::platen ? "platen" : "per-solid";
}

std::optional<fe_test> test_of_name(std::string_view name) {
  if (name == "platen") return fe_test::platen;
  if (name == "per-solid") return fe_test::per_solid;
  return std::nullopt;
}

grid_plan::grid_plan(int nx_, int ny_, fe_test test_)
    : nx(nx_),
      ny(ny_),
      test(test_),
      nodos(unknowns(nx_, ny_, test_)),
      xnod(nx_, ny_),
      matnum(nx_, ny_) {}

void stop_on(const solver_failure& f, std::ostream& report) {
  if (f.code == stop_solve_failed) free_line(report, "ESP=", f.esp);
  free_line(report, "FLAG=", f.flag);
  throw run_stop{f.code, ""};
}

grid_plan make_pending_plan(int nx, int ny, std::int32_t nsp, fe_test test) {
  if (!grid_fits(nx, ny))
    throw run_stop{stop_bad_deck,
                   grid_refusal(nx, ny, "its system or its factors cannot be indexed")};
  grid_plan p(nx, ny, test);
  global_numbering(nx, ny, p.xnod, test);
  for (int k = 1; k <= ny; ++k)
    for (int j = 1; j <= nx; ++j) p.matnum(j, k) = 1;
  pattern(p);
  p.c.resize(static_cast<std::size_t>(p.nodos));
  p.ic.resize(p.c.size());
  if (nsp > 0) {
    if (order(p, nsp)) factorize_symbolic(p, nsp);
    return p;
  }
  // From what the ordering needs, at least work_slots; doubled while the
  // structures or the factors' values do not fit.
  std::int64_t slots =
      std::min<std::int64_t>(std::max<std::int64_t>(work_slots, ordering_need(p)), max_work_slots);
  if (!order(p, static_cast<std::int32_t>(slots))) return p;
  while (!factorize_symbolic(p, static_cast<std::int32_t>(slots))) {
    if (slots == max_work_slots)
      throw run_stop{stop_bad_deck,
                     grid_refusal(nx, ny, "the factors of its system cannot be indexed")};
    slots = std::min<std::int64_t>(2 * slots, max_work_slots);
  }
  return p;
}

}  // namespace core
