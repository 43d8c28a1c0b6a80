// The whole run and each of its stages on the permafrost example at
// 20 x 20 and 60 x 60 cells.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/arrays.h"
#include "driver/run.h"
#include "fem/fem.h"
#include "input/input.h"
#include "plane_waves/plane_waves.h"
#include "rock_physics/rock_physics.h"
#include "yale/yale.h"

namespace {

// The example deck with an n x n grid.
std::string deck_text(int n) {
  std::ifstream in(std::filesystem::path(V2PFL_EXAMPLES) / "permafrost.deck");
  std::ostringstream deck;
  std::string line;
  for (int number = 1; std::getline(in, line); ++number)
    deck << (number == 5 || number == 6 ? std::to_string(n) : line) << '\n';
  return deck.str();
}

void full_run(benchmark::State& state) {
  const auto dir = std::filesystem::temp_directory_path() / "v2pfl_bench_run";
  std::filesystem::create_directories(dir);
  const auto home = std::filesystem::current_path();
  std::filesystem::current_path(dir);
  const std::string text = deck_text(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    std::istringstream deck(text);
    std::ostringstream out, err;
    if (run_driver(deck, out, err) != 40) state.SkipWithError("run failed");
  }
  std::filesystem::current_path(home);
}
BENCHMARK(full_run)->Arg(20)->Arg(60)->Unit(benchmark::kMillisecond);

// Every array of one run, filled up to the stage being measured.
struct stages {
  double freq1, freq2, domain_size, h;
  int nfreq, nx, ny, key_model, nmat, model;
  per_material akf, ro2, eta, ro1, ro3, phi_a_m, phi_layer_m, capa_1_0, capa_3_0, s3, rs1, rs3,
      coef_b13, ak_s1, xmu_s1, ak_s3, xmu_s3, ak_air, xmu_air;
  std::array<int, 2> nl;
  cell_int matnum;
  cell_real phiw, lambda1, lambda3, mu1, mu3, mu13, b1, b2, m, d3;
  cell_real p11, p12, p13, p22, p23, p33, f11, f12, f22;
  double s1_, s3_, phi1_, phi3_;
  double omega;
  dof_table xnod;
  std::vector<std::int32_t> ia, ja, c, ic;
  std::vector<cplx> avec, rhs_m, z, work;
  std::ostringstream report;

  explicit stages(int n)
      : ia(max_unknowns + 1),
        ja(std::size_t(row_capacity) * max_unknowns),
        c(max_unknowns),
        ic(max_unknowns),
        avec(ja.size()),
        rhs_m(max_unknowns),
        z(max_unknowns),
        work(work_slots) {
    std::istringstream deck(deck_text(n));
    readata(freq1, freq2, nfreq, domain_size, nx, ny, key_model, nmat, akf, ro2, eta, ro1, ro3,
            phi_a_m, phi_layer_m, capa_1_0, capa_3_0, s3, rs1, rs3, coef_b13, ak_s1, xmu_s1,
            ak_s3, xmu_s3, ak_air, xmu_air, model, h, nl, deck, report);
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
    report.str({});
    e_modulus(nx, ny, matnum, phi_a_m, phiw, s3, akf, eta, omega, ak_air, xmu_air, ak_s3, xmu_s3,
              ak_s1, xmu_s1, key_model, lambda1, lambda3, mu1, mu3, mu13, b1, b2, m, d3, report);
    mass_visco_coef(nx, ny, matnum, phi_a_m, phiw, s3, eta, key_model, ro1, ro2, ro3, capa_1_0,
                    capa_3_0, rs1, rs3, coef_b13, p11, p12, p13, p22, p23, p33, f11, f12, f22,
                    s1_, s3_, phi1_, phi3_, report);
  }
  void plane_waves() {
    report.str({});
    wave_values w;
    veloc_aten(nx, ny, omega, p11, p12, p13, p22, p23, p33, f11, f12, f22, lambda1, lambda3, mu1,
               mu3, mu13, b1, b2, m, d3, w, report);
  }
  void assemble() {
    global_sist(omega, nx, ny, h, xnod, lambda1, lambda3, mu1, mu3, mu13, b1, b2, m, d3, p11, p12,
                p13, p22, p23, p33, f11, f12, f22, avec.data(), ia.data(), ja.data(),
                rhs_m.data());
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

void stage_coefficients(benchmark::State& state) {
  stages s(static_cast<int>(state.range(0)));
  for (auto _ : state) s.coefficients();
}
BENCHMARK(stage_coefficients)->Arg(20)->Arg(60)->Unit(benchmark::kMillisecond);

void stage_plane_waves(benchmark::State& state) {
  stages s(static_cast<int>(state.range(0)));
  for (auto _ : state) s.plane_waves();
}
BENCHMARK(stage_plane_waves)->Arg(20)->Arg(60)->Unit(benchmark::kMillisecond);

void stage_assembly(benchmark::State& state) {
  stages s(static_cast<int>(state.range(0)));
  for (auto _ : state) s.assemble();
}
BENCHMARK(stage_assembly)->Arg(20)->Arg(60)->Unit(benchmark::kMillisecond);

void stage_ordering(benchmark::State& state) {
  stages s(static_cast<int>(state.range(0)));
  s.assemble();
  for (auto _ : state)
    if (s.order() != 0) state.SkipWithError("ordering failed");
}
BENCHMARK(stage_ordering)->Arg(20)->Arg(60)->Unit(benchmark::kMillisecond);

void stage_factor_solve(benchmark::State& state) {
  stages s(static_cast<int>(state.range(0)));
  s.assemble();
  s.order();
  std::int32_t esp = 0;
  for (auto _ : state)
    if (s.factor_solve(esp) != 0) state.SkipWithError("factorization failed");
  const auto* isp = reinterpret_cast<const std::int32_t*>(s.work.data());
  const std::int32_t n = unknowns(s.nx, s.ny);
  state.counters["L_entries"] = isp[n] - 1;           // il(n+1) - 1
  state.counters["U_entries"] = isp[2 * n + 1] - 1;   // iu(n+1) - 1
  state.counters["esp"] = esp;
}
BENCHMARK(stage_factor_solve)->Arg(20)->Arg(60)->Unit(benchmark::kMillisecond);

}  // namespace
