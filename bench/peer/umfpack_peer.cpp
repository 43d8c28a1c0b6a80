// The point's numeric factorization and solve against a general sparse LU
// (SuiteSparse's UMFPACK, default ordering and strategy) on the same
// assembled system of the permafrost example on an n x n grid, interleaved
// and repeated: the grid's plan, our factorization + solve on the given
// threads, UMFPACK's analysis + factorization + solve and its factorization
// + solve alone, and the two solutions' largest relative difference.
//   umfpack_peer N THREADS [REPEATS]
#include <umfpack.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <vector>

#include "core/point.h"
#include "input/input.h"
#include "support/example_system.h"
#include "yale/nnf_blocked.h"

namespace {

using clock_type = std::chrono::steady_clock;

double seconds_since(clock_type::time_point start) {
  return std::chrono::duration<double>(clock_type::now() - start).count();
}

// UMFPACK on A in row storage, read as A^T in column storage and solved
// transposed: A x = b. Returns {analysis + factorization + solve,
// factorization + solve}, or stops the program with UMFPACK's status.
std::pair<double, double> umfpack_solve(const fe_system& sys, int n, std::vector<cplx>& x) {
  std::vector<int> ap(sys.ia.begin(), sys.ia.begin() + n + 1);
  std::vector<int> ai(sys.ja.begin(), sys.ja.begin() + sys.ia[n] - 1);
  for (int& p : ap) --p;
  for (int& i : ai) --i;
  const double* ax = reinterpret_cast<const double*>(sys.avec.data());
  double control[UMFPACK_CONTROL], info[UMFPACK_INFO];
  umfpack_zi_defaults(control);
  void *symbolic = nullptr, *numeric = nullptr;
  const auto check = [](int status, const char* step) {
    if (status == UMFPACK_OK) return;
    std::printf("UMFPACK's %s step stopped with status %d\n", step, status);
    std::exit(1);
  };
  const auto start = clock_type::now();
  check(umfpack_zi_symbolic(n, n, ap.data(), ai.data(), ax, nullptr, &symbolic, control, info),
        "analysis");
  const auto analysed = clock_type::now();
  check(umfpack_zi_numeric(ap.data(), ai.data(), ax, nullptr, symbolic, &numeric, control, info),
        "factorization");
  x.resize(n);
  check(umfpack_zi_solve(UMFPACK_Aat, ap.data(), ai.data(), ax, nullptr,
                         reinterpret_cast<double*>(x.data()), nullptr,
                         reinterpret_cast<const double*>(sys.rhs_m.data()), nullptr, numeric,
                         control, info),
        "solve");
  const double all = seconds_since(start), factor = seconds_since(analysed);
  umfpack_zi_free_numeric(&numeric);
  umfpack_zi_free_symbolic(&symbolic);
  return {all, factor};
}

// Our numeric factorization and solve on the plan's structures.
double our_solve(const core::grid_plan& p, core::point_workspace& ws) {
  const auto start = clock_type::now();
  const std::int32_t flag = core::numeric_factor_solve(p, ws);
  if (flag != 0) std::abort();
  return seconds_since(start);
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: umfpack_peer N THREADS [REPEATS]\n");
    return 2;
  }
  const int side = std::atoi(argv[1]), threads = std::atoi(argv[2]);
  const int repeats = argc > 3 ? std::atoi(argv[3]) : 3;
  std::istringstream text(deck_text(side));
  const deck_values deck = readata(text).values;
  const core::water_field field =
      core::uniform_field(side, side, core::batch_water_proportion);
  std::vector<double> plan_s, ours_s, peer_all_s, peer_factor_s;
  double difference = 0;
  std::size_t entries = 0;
  for (int r = 0; r < repeats; ++r) {
    auto start = clock_type::now();
    const auto plan = core::make_grid_plan(side, side);
    plan_s.push_back(seconds_since(start));
    entries = plan->jl.size() + plan->ju.size() + std::size_t(plan->nodos);
    const auto ws = core::make_workspace(*plan, threads);
    core::compute_point(deck, deck.freq1, field, *plan, *ws);  // assembles the system
    ours_s.push_back(our_solve(*plan, *ws));
    if (r == 0)
      std::printf("first run: plan %.3f s | factorization + solve %.3f s\n", plan_s[0],
                  ours_s[0]);
    std::fflush(stdout);
    std::vector<cplx> x;
    const auto [all, factor] = umfpack_solve(ws->sys, plan->nodos, x);
    peer_all_s.push_back(all);
    peer_factor_s.push_back(factor);
    double top = 0;
    difference = 0;
    for (int i = 0; i < plan->nodos; ++i) {
      top = std::max(top, std::abs(x[i]));
      difference = std::max(difference, std::abs(x[i] - ws->sys.z[i]));
    }
    difference /= top;
  }
  std::printf(
      "grid %d x %d, %d unknowns, L+U entries %zu, %d threads, median of %d:\n"
      "  plan %.3f s | factorization + solve %.3f s | UMFPACK analysis + factorization + "
      "solve %.3f s, factorization + solve %.3f s | ratio %.2f | solutions differ by %.1e\n",
      side, side, unknowns(side, side), entries, threads, repeats, median(plan_s),
      median(ours_s), median(peer_all_s), median(peer_factor_s),
      median(ours_s) / median(peer_all_s), difference);
}
