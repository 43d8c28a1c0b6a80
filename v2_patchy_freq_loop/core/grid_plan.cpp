// The shared analysis of a grid: pattern, order (minimum degree by zodrv
// path 1 up to 60 x 60 cells, nested dissection above) and symbolic
// factorization, with the order, the structures and every failure flag
// those of a run that orders and factorizes its system in the solver's
// work area (zndrv path 5).
#include "core/grid_plan.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>
#include <new>

#include "common/grid_limits.h"
#include "common/report.h"
#include "fem/fem.h"
#include "yale/ndrv.h"
#include "yale/yale.h"

namespace core {

namespace {

// The solver's work area of nsp double-complex slots: calloc'd, so that
// only the pages the solver touches are ever backed by memory.
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

constexpr std::int32_t words_per_slot = 4;  // 32-bit words of a double-complex slot
constexpr int dissection_above = 60;        // cells on a side ordered by minimum degree

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
  p.ia.resize(static_cast<std::size_t>(p.nodos) + 1);
  p.ja.resize(static_cast<std::size_t>(row_capacity) * p.nodos);
  build_pattern(p.nx, p.ny, p.nodos, p.xnod, p.ia.data(), p.ja.data());
  p.ja.resize(static_cast<std::size_t>(p.ia[p.nodos] - 1));  // keeps its storage
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

// The minimum-degree order in an area of `words` 32-bit words (zodrv's
// nsp); false (with the failure kept) when it fails. The order does not
// depend on the size of an area that holds the ordering.
bool order(grid_plan& p, std::int32_t words) {
  bulk_vector<std::int32_t> area(static_cast<std::size_t>(words));
  std::int32_t n = p.nodos, path = 1, flag = 0;
  zodrv(&n, p.ia.data(), p.ja.data(), nullptr, p.c.data(), p.ic.data(), &words, area.data(),
        &path, &flag);
  if (flag != 0) p.failure = solver_failure{stop_ordering_failed, flag, 0};
  return flag == 0;
}

// Nested dissection of the grid, for grids above 60 x 60 cells. Places are
// counted on the doubled grid: vertex (i, j) at (2i, 2j), the vertical edge
// above it at (2i, 2j + 1), the horizontal edge right of it at (2i + 1, 2j).
// A vertex holds its four displacement unknowns, an edge its fluid unknown.
class dissection {
 public:
  explicit dissection(const grid_plan& p)
      : nx_(p.nx), ny_(p.ny), width_(2 * p.nx + 1), dofs_(places(p)), held_(dofs_.size()) {
    // Each place's unknowns in increasing local number, gathered cell by cell.
    static constexpr int dx[local_dofs] = {0, 2, 2, 0, 0, 2, 2, 0, 0, 2, 1, 1,
                                           0, 2, 2, 0, 0, 2, 2, 0};
    static constexpr int dy[local_dofs] = {0, 0, 2, 2, 0, 0, 2, 2, 1, 1, 0, 2,
                                           0, 0, 2, 2, 0, 0, 2, 2};
    for (int k = 1; k <= ny_; ++k)
      for (int j = 1; j <= nx_; ++j)
        for (int l = 1; l <= local_dofs; ++l) {
          const std::size_t at = place(2 * j - 2 + dx[l - 1], 2 * k - 2 + dy[l - 1]);
          const std::int32_t dof = p.xnod((k - 1) * nx_ + j, l);
          std::int8_t& h = held_[at];
          if (std::find(dofs_[at].begin(), dofs_[at].begin() + h, dof) == dofs_[at].begin() + h)
            dofs_[at][h++] = dof;
        }
  }

  // The order, first unknown first: cells (j0 ... j1, k0 ... k1) split
  // across their longer side on a line of places that separates the two
  // halves, each half ordered in turn, the line last.
  std::vector<std::int32_t> order() {
    taken_.assign(dofs_.size(), false);
    split(1, nx_, 1, ny_);
    return std::move(out_);
  }

 private:
  static std::size_t places(const grid_plan& p) {
    return static_cast<std::size_t>(2 * p.nx + 1) * (2 * p.ny + 1);
  }
  std::size_t place(int x, int y) const { return static_cast<std::size_t>(y) * width_ + x; }

  // The places (x0 ... x1, y0 ... y1) not yet taken, in rows.
  void take(int x0, int x1, int y0, int y1, std::vector<std::size_t>& into) {
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x)
        if (!taken_[place(x, y)]) {
          taken_[place(x, y)] = true;
          into.push_back(place(x, y));
        }
  }
  void emit(const std::vector<std::size_t>& at) {
    for (std::size_t a : at)
      for (int h = 0; h < held_[a]; ++h) out_.push_back(dofs_[a][h]);
  }
  void split(int j0, int j1, int k0, int k1) {
    std::vector<std::size_t> line;
    if (j0 == j1 && k0 == k1) {
      take(2 * j0 - 2, 2 * j1, 2 * k0 - 2, 2 * k1, line);
    } else if (j1 - j0 >= k1 - k0) {
      const int jm = (j0 + j1) / 2;
      take(2 * jm, 2 * jm, 2 * k0 - 2, 2 * k1, line);
      split(j0, jm, k0, k1);
      split(jm + 1, j1, k0, k1);
    } else {
      const int km = (k0 + k1) / 2;
      take(2 * j0 - 2, 2 * j1, 2 * km, 2 * km, line);
      split(j0, j1, k0, km);
      split(j0, j1, km + 1, k1);
    }
    emit(line);
  }

  int nx_, ny_, width_;
  std::vector<std::array<std::int32_t, 4>> dofs_;
  std::vector<std::int8_t> held_;  // unknowns held by each place
  std::vector<bool> taken_;
  std::vector<std::int32_t> out_;
};

// The nested-dissection order and its inverse.
void dissect(grid_plan& p) {
  p.c = dissection(p).order();
  for (std::int32_t k = 1; k <= p.nodos; ++k) p.ic[p.c[k - 1] - 1] = k;
}

// The elimination tree of the pattern in the order c (symmetric, with its
// diagonal) and the entries of L in each row and column: row k of L holds
// every vertex met climbing the tree from a lower entry of row k towards k,
// each once; U, the transpose of L's structure, holds as many.
struct elimination_tree {
  std::vector<std::int32_t> parent, row_count, column_count;  // 1-based
  std::int64_t entries = 0;
};

// Calls visit(m) for every vertex of row k of L (parent filled up to k - 1;
// roots met on the way become children of k).
template <class Visit>
void climb(const grid_plan& p, std::int32_t k, std::vector<std::int32_t>& parent,
           std::vector<std::int32_t>& seen, Visit visit) {
  seen[k] = k;
  const std::int32_t i = p.c[k - 1];
  for (std::int32_t q = p.ia[i - 1]; q < p.ia[i]; ++q)
    for (std::int32_t m = p.ic[p.ja[q - 1] - 1]; m < k && seen[m] != k; m = parent[m]) {
      if (parent[m] == 0) parent[m] = k;
      seen[m] = k;
      visit(m);
    }
}

elimination_tree tree_of(const grid_plan& p) {
  const std::size_t size = static_cast<std::size_t>(p.nodos) + 1;
  elimination_tree t{std::vector<std::int32_t>(size), std::vector<std::int32_t>(size),
                     std::vector<std::int32_t>(size)};
  std::vector<std::int32_t> seen(size);
  for (std::int32_t k = 1; k <= p.nodos; ++k)
    climb(p, k, t.parent, seen, [&](std::int32_t m) {
      ++t.row_count[k];
      ++t.column_count[m];
      ++t.entries;
    });
  return t;
}

// The structures of L and U from the tree, each row in increasing column
// order, as znsf finds them: U's rows (the columns of L) filled row by row
// of L, then L's rows from U's, column by column.
void fill_structures(grid_plan& p, const elimination_tree& t) {
  const std::int32_t n = p.nodos;
  p.il.resize(static_cast<std::size_t>(n) + 1);
  p.iu.resize(p.il.size());
  p.il[0] = p.iu[0] = 1;
  for (std::int32_t k = 1; k <= n; ++k) {
    p.il[k] = p.il[k - 1] + t.row_count[k];
    p.iu[k] = p.iu[k - 1] + t.column_count[k];
  }
  p.jl.resize(static_cast<std::size_t>(t.entries));
  p.ju.resize(static_cast<std::size_t>(t.entries));
  std::vector<std::int32_t> next(p.iu.begin(), p.iu.end() - 1), parent(n + 1), seen(n + 1);
  for (std::int32_t k = 1; k <= n; ++k)
    climb(p, k, parent, seen, [&](std::int32_t m) { p.ju[next[m - 1]++ - 1] = k; });
  std::copy(p.il.begin(), p.il.end() - 1, next.begin());
  for (std::int32_t m = 1; m <= n; ++m)
    for (std::int32_t q = p.iu[m - 1]; q < p.iu[m]; ++q) p.jl[next[p.ju[q - 1] - 1]++ - 1] = m;
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

// Whether zndrv's symbolic step (path 5) in an area of nsp slots holds
// factors of nl and nu off-diagonal entries with room for their values.
bool holds(std::int32_t n, std::int32_t nsp, std::int64_t nl, std::int64_t nu) {
  const auto room = yale_driver::symbolic_room_in<words_per_slot>(n, nsp);
  return room.jlmax > 0 && room.jumax > 0 && nl <= room.jlmax && nu <= room.jumax &&
         yale_driver::factor_layout_in<words_per_slot>(n, nsp, std::int32_t(nl), std::int32_t(nu))
                 .esp >= 0;
}

// The symbolic factorization from the elimination tree, in the first area
// of slots, 2 slots, 4 slots ... that holds it; false when even the largest
// area does not.
bool factorize_symbolic_counted(grid_plan& p, std::int64_t slots) {
  const elimination_tree t = tree_of(p);
  const std::int32_t n = p.nodos;
  while (!holds(n, static_cast<std::int32_t>(slots), t.entries, t.entries)) {
    if (slots == max_work_slots) return false;
    slots = std::min<std::int64_t>(2 * slots, max_work_slots);
  }
  fill_structures(p, t);
  p.nsp = static_cast<std::int32_t>(slots);
  p.esp = yale_driver::factor_layout_in<words_per_slot>(n, p.nsp, p.il[n] - 1, p.iu[n] - 1).esp;
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

grid_plan make_plan(int nx, int ny, std::int32_t nsp, fe_test test) {
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
  // The ordering in just the area it needs (nested dissection above 60 x 60
  // cells, where no report depends on the order); the symbolic
  // factorization once, counted first.
  const std::int64_t need = std::min<std::int64_t>(ordering_need(p), max_work_slots);
  if (nx > dissection_above || ny > dissection_above)
    dissect(p);
  else if (!order(p, static_cast<std::int32_t>(need)))
    return p;
  if (!factorize_symbolic_counted(p, std::max<std::int64_t>(work_slots, need)))
    throw run_stop{stop_bad_deck,
                   grid_refusal(nx, ny, "the factors of its system cannot be indexed")};
  return p;
}

}  // namespace core
