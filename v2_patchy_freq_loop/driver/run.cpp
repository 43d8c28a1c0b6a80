// The run: one cycle of the harmonic compressibility test at the frequency
// of the deck, with the plane-wave reference values beside it.
#include "driver/run.h"

#include <array>
#include <cstdlib>
#include <exception>
#include <memory>
#include <new>
#include <fstream>
#include <vector>

#include "common/fortran_format.h"
#include "common/report.h"
#include "driver/effective_modulus.h"
#include "driver/result_file.h"
#include "driver/timer.h"
#include "fem/fem.h"
#include "input/input.h"
#include "plane_waves/plane_waves.h"
#include "rock_physics/rock_physics.h"
#include "yale/yale.h"

namespace {

constexpr int stop_normal = 40;
constexpr int stop_internal_failure = 1;  // out of memory and the like
constexpr int stop_bad_material = 222;
constexpr int stop_ordering_failed = 9;
constexpr int stop_solve_failed = 99;
constexpr double two_pi = 6.283185307179586;
constexpr double cycle_water_proportion = 0.2;

// The values of the input deck.
struct deck_values {
  double freq1 = 0, freq2 = 0;
  int nfreq = 0;
  double domain_size = 0;
  int nx = 0, ny = 0, key_model = 0, nmat = 0;
  per_material akf{}, ro2{}, eta{}, ro1{}, ro3{}, phi_a_m{}, phi_layer_m{}, capa_1_0{},
      capa_3_0{}, s3{}, rs1{}, rs3{}, coef_b13{}, ak_s1{}, xmu_s1{}, ak_s3{}, xmu_s3{},
      ak_air{}, xmu_air{};
  int model = 0;
  double h = 0;
  std::array<int, 2> nl{};
};

// The cell coefficient set: moduli (Pa), mass coefficients (kg/m^3) and
// friction coefficients (Pa s/m^2) of every cell.
struct cell_coefficients {
  cell_real lambda1, lambda3, mu1, mu3, mu13, b1, b2, m, d3;
  cell_real p11, p12, p13, p22, p23, p33, f11, f12, f22;
};

// The global system, its solution and the solver's storage, sized once for
// the largest grid.
struct fe_arrays {
  explicit fe_arrays(std::int32_t nsp)
      : ia(max_unknowns + 1),
        ja(static_cast<std::size_t>(row_capacity) * max_unknowns),
        avec(ja.size()),
        rhs_m(max_unknowns),
        z(max_unknowns),
        c(max_unknowns),
        ic(max_unknowns),
        work(static_cast<cplx*>(std::calloc(static_cast<std::size_t>(nsp), sizeof(cplx))),
             &std::free) {
    if (!work) throw std::bad_alloc();
  }
  std::vector<std::int32_t> ia, ja;
  std::vector<cplx> avec, rhs_m, z;
  std::vector<std::int32_t> c, ic;
  // The solver's work area, also its integer view. Zero-filled pages from
  // the system: only the part the solver uses is ever touched.
  std::unique_ptr<cplx, decltype(&std::free)> work;
  cplx* rsp() { return work.get(); }
  std::int32_t* isp() { return reinterpret_cast<std::int32_t*>(work.get()); }
};

// The cell fields of the finite-element response.
struct response_fields {
  cell_cplx strain1, strain3, stress;
  cell_cplx pres, derx_pres, dery_pres;
  cell_real grad_pres_mod;
};

// The result files opened at the start of the run, by unit number.
struct result_files {
  result_file vp_anal{"vp_anal.phiw"};                          // 75
  result_file vp_eq{"vp_eq.phiw"};                              // 76
  result_file qinv_eq{"1000_over_q_eq.phiw"};                   // 77
  result_file qinv_anal{"1000_over_q_anal.phiw"};               // 78
  result_file pressure{"mod_pressure_p33_ice"};                 // 98
  result_file grad_pressure{"mod_grad_pressure_p33_ice"};       // 99
  result_file real_strain1{"real_strain1_map"};                 // 30
  result_file imag_strain1{"imag_strain1_map"};                 // 31
  result_file real_strain3{"real_strain3_map"};                 // 32
  result_file imag_strain3{"imag_strain3_map"};                 // 33
  result_file real_stress{"real_stress_map"};                   // 34
  result_file imag_stress{"imag_stress_map"};                   // 35
  result_file solid3_q;                                         // 54, on first write
  result_file solid3_modulus;                                   // 18, on first write
  result_file material_gnu;                                     // 22
};

void read_deck(deck_values& d, std::istream& deck, std::ostream& out) {
  readata(d.freq1, d.freq2, d.nfreq, d.domain_size, d.nx, d.ny, d.key_model, d.nmat, d.akf,
          d.ro2, d.eta, d.ro1, d.ro3, d.phi_a_m, d.phi_layer_m, d.capa_1_0, d.capa_3_0, d.s3,
          d.rs1, d.rs3, d.coef_b13, d.ak_s1, d.xmu_s1, d.ak_s3, d.xmu_s3, d.ak_air, d.xmu_air,
          d.model, d.h, d.nl, deck, out);
}

// The layered numbering is reported, then every cell is set to material 1
// and written to the two material map files.
void material_map(const deck_values& d, cell_int& matnum, result_files& files,
                  std::ostream& out) {
  result_file map("matnum_p33");
  files.material_gnu.open("matnum_p33_gnu");
  std::array<double, 2> thickness{};
  makematnum(d.nx, d.ny, d.nl, thickness, d.h, matnum, out);
  for (int k = 1; k <= d.ny; ++k)
    for (int j = 1; j <= d.nx; ++j) {
      matnum(j, k) = 1;
      free_line(map.os(), matnum(j, k));
      free_line(files.material_gnu.os(), j, k, matnum(j, k));
      if (matnum(j, k) < 1 || matnum(j, k) > d.nmat) {
        map.flush();
        files.material_gnu.flush();
        free_line(out, "j,k, matnum(j,k) ", j, k, matnum(j, k));
        throw run_stop{stop_bad_material, ""};
      }
    }
  map.close();
  files.material_gnu.flush();
}

// Minimum-degree order of the system, then its factorization and solution.
void solve_system(std::int32_t nodos, fe_arrays& fe, std::int32_t nsp, std::ostream& out) {
  std::int32_t path = 1, flag = 0, esp = 0;
  zodrv(&nodos, fe.ia.data(), fe.ja.data(), fe.avec.data(), fe.c.data(), fe.ic.data(), &nsp,
        fe.isp(), &path, &flag);
  if (flag != 0) {
    free_line(out, "FLAG=", flag);
    throw run_stop{stop_ordering_failed, ""};
  }
  path = 1;
  zndrv(&nodos, fe.c.data(), fe.c.data(), fe.ic.data(), fe.ia.data(), fe.ja.data(),
        fe.avec.data(), fe.rhs_m.data(), fe.z.data(), &nsp, fe.isp(), fe.rsp(), &esp, &path,
        &flag);
  if (flag != 0) {
    free_line(out, "ESP=", esp);
    free_line(out, "FLAG=", flag);
    throw run_stop{stop_solve_failed, ""};
  }
}

// One line of a cell map: the cell and one value.
void map_line(result_file& f, int j, int k, double value) { free_line(f.os(), j, k, value); }

// The strain and stress maps, cell by cell.
void write_strain_stress_maps(int nx, int ny, const response_fields& r, result_files& files) {
  for (int k = 1; k <= ny; ++k)
    for (int j = 1; j <= nx; ++j) {
      map_line(files.real_strain1, j, k, r.strain1(j, k).real());
      map_line(files.imag_strain1, j, k, r.strain1(j, k).imag());
      map_line(files.real_strain3, j, k, r.strain3(j, k).real());
      map_line(files.imag_strain3, j, k, r.strain3(j, k).imag());
      map_line(files.real_stress, j, k, r.stress(j, k).real());
      map_line(files.imag_stress, j, k, r.stress(j, k).imag());
    }
  for (result_file* f : {&files.real_strain1, &files.imag_strain1, &files.real_strain3,
                         &files.imag_strain3, &files.real_stress, &files.imag_stress})
    f->flush();
}

// The pressure map of every cell and the gradient map of the interior cells,
// labelled j - 1, k - 1.
void write_pressure_maps(int nx, int ny, const response_fields& r, result_files& files) {
  for (int k = 1; k <= ny; ++k)
    for (int j = 1; j <= nx; ++j) {
      map_line(files.pressure, j, k, std::abs(r.pres(j, k)));
      if (j >= 2 && j <= nx - 1 && k >= 2 && k <= ny - 1)
        map_line(files.grad_pressure, j - 1, k - 1, r.grad_pres_mod(j, k));
    }
  files.pressure.flush();
  files.grad_pressure.flush();
}

// Writes the "(g15.5,2x,g15.5)" line of a result file.
void g15_line(result_file& f, double a, double b) {
  f.os() << format_g15_pair(a, b) << '\n';
  f.flush();
}

// Writes a free-format line of a result file.
template <class... Values>
void free_result_line(result_file& f, const Values&... values) {
  free_line(f.os(), values...);
  f.flush();
}

// The report of a modulus: velocity, 1000/Q, Q and the modulus itself.
void report_from_deltavol1(cplx mstar, const modulus_wave& w, std::ostream& out) {
  free_line(out, "from deltavol1 Velocity(m/s) FE = ", w.velocity);
  free_line(out, "from deltavol1 1000/Q FE        = ", w.qinv);
  free_line(out, "from deltavol1  Q FE            = ", w.q);
  free_line(out, "from deltavol1 Re(p33) FE mstar      = ", mstar.real());
  free_line(out, "from deltavol1 Im(p33) FE mstar      = ", mstar.imag());
  free_line(out);
}

void report_using_averages(cplx c33, const modulus_wave& w, std::ostream& out) {
  const char* stars = " ****************************************";
  free_line(out, stars);
  free_line(out);
  free_line(out, "using averages  Velocity(m/s) FE = ", w.velocity);
  free_line(out, "using averages 1000/Q FE         = ", w.qinv);
  free_line(out, "using averages Q FE              = ", w.q);
  free_line(out, "using averages Re(c33) FE        = ", c33.real());
  free_line(out, "using averages Im(c33) FE        = ", c33.imag());
  free_line(out);
  free_line(out, stars);
}

// The sums of a cell field over the grid, cells in map order.
cplx cell_sum(int nx, int ny, const cell_cplx& field) {
  cplx sum = 0.0;
  for (int k = 1; k <= ny; ++k)
    for (int j = 1; j <= nx; ++j) sum += field(j, k);
  return sum;
}

// Everything a run owns: the deck, the cell fields, the system and the files.
struct run_state {
  explicit run_state(std::int32_t nsp) : fe(nsp) {}
  result_files files;
  deck_values d;
  cell_int matnum;
  cell_real phiw;
  cell_coefficients cc;
  dof_table xnod;
  fe_arrays fe;
  response_fields r;
  std::ifstream water;
};

// Matrix and bulk fractions of the last cell, as the rock physics returns them.
struct solid_fractions {
  double s1 = 0, s3 = 0, phi1 = 0, phi3 = 0;
};

// The water field of the cycle and the coefficient set of every cell.
solid_fractions cell_coefficients_of_cycle(run_state& st, double omega_fix, std::ostream& out) {
  deck_values& d = st.d;
  cell_coefficients& cc = st.cc;
  if (d.model == 1 && !st.water.is_open()) {
    st.water.open("phiw_binary_patchy.dat");
    if (!st.water)
      throw run_stop{stop_bad_water_file, "cannot open \"phiw_binary_patchy.dat\" for reading"};
  }
  porosity(d.nx, d.ny, d.phi_layer_m, d.model, st.phiw, st.water);
  e_modulus(d.nx, d.ny, st.matnum, d.phi_a_m, st.phiw, d.s3, d.akf, d.eta, omega_fix, d.ak_air,
            d.xmu_air, d.ak_s3, d.xmu_s3, d.ak_s1, d.xmu_s1, d.key_model, cc.lambda1, cc.lambda3,
            cc.mu1, cc.mu3, cc.mu13, cc.b1, cc.b2, cc.m, cc.d3, out);
  solid_fractions f;
  mass_visco_coef(d.nx, d.ny, st.matnum, d.phi_a_m, st.phiw, d.s3, d.eta, d.key_model, d.ro1,
                  d.ro2, d.ro3, d.capa_1_0, d.capa_3_0, d.rs1, d.rs3, d.coef_b13, cc.p11, cc.p12,
                  cc.p13, cc.p22, cc.p23, cc.p33, cc.f11, cc.f12, cc.f22, f.s1, f.s3, f.phi1,
                  f.phi3, out);
  return f;
}

// Plane-wave reference values of every cell; they need the mass
// coefficients, which the assembly clears, so they come first.
wave_values plane_waves_of_cycle(const run_state& st, double omega_fix, std::ostream& out) {
  const cell_coefficients& cc = st.cc;
  wave_values waves{};
  veloc_aten(st.d.nx, st.d.ny, omega_fix, cc.p11, cc.p12, cc.p13, cc.p22, cc.p23, cc.p33,
             cc.f11, cc.f12, cc.f22, cc.lambda1, cc.lambda3, cc.mu1, cc.mu3, cc.mu13, cc.b1,
             cc.b2, cc.m, cc.d3, waves, out);
  return waves;
}

// The finite-element system of the compressibility test, and its solution.
void solve_test(run_state& st, double omega_fix, std::int32_t nsp, std::ostream& out) {
  const deck_values& d = st.d;
  cell_coefficients& cc = st.cc;
  global_sist(omega_fix, d.nx, d.ny, d.h, st.xnod, cc.lambda1, cc.lambda3, cc.mu1, cc.mu3,
              cc.mu13, cc.b1, cc.b2, cc.m, cc.d3, cc.p11, cc.p12, cc.p13, cc.p22, cc.p23, cc.p33,
              cc.f11, cc.f12, cc.f22, st.fe.avec.data(), st.fe.ia.data(), st.fe.ja.data(),
              st.fe.rhs_m.data());
  const std::int32_t nodos = unknowns(d.nx, d.ny);
  free_line(out, "number of unknowns nodos = ", nodos);
  solve_system(nodos, st.fe, nsp, out);
}

// The volume changes of the top face by solid 1 and solid 3, with the
// modulus from solid 1 and its report.
std::array<cplx, 2> volume_change_report(const run_state& st, const solid_fractions& f,
                                         double rob_med, std::ostream& out) {
  const deck_values& d = st.d;
  free_line(out, " h ", d.h);
  const cplx deltavol1 = top_volume_change(d.nx, d.ny, d.h, st.xnod, st.fe.z.data(), xs1_2(3));
  free_line(out);
  free_line(out, "deltavol1=", deltavol1.real(), deltavol1.imag());
  free_line(out);
  const cplx deltavol3 = top_volume_change(d.nx, d.ny, d.h, st.xnod, st.fe.z.data(), xs2_2(3));
  const cplx deltavol = f.s1 * deltavol1 + f.s3 * deltavol3;
  free_line(out);
  free_line(out, "deltavol3=", deltavol3.real(), deltavol3.imag());
  free_line(out);
  free_line(out, "s1, s3 ", f.s1, f.s3);
  free_line(out);
  free_line(out);
  free_line(out, "deltavol=", deltavol.real(), deltavol.imag());
  const cplx mstar = volume_change_modulus(d.nx, d.domain_size, d.h, deltavol1);
  report_from_deltavol1(mstar, wave_of_modulus(mstar, rob_med), out);
  return {deltavol1, deltavol3};
}

// The strain and stress fields with their maps, and the modulus from their
// averages with its report.
modulus_wave averages_report(run_state& st, double rob_med, std::ostream& out) {
  const deck_values& d = st.d;
  response_fields& r = st.r;
  cell_strain_stress(d.nx, d.ny, d.h, st.xnod, st.fe.z.data(), st.cc.lambda1, st.cc.mu1,
                     st.cc.mu13, st.cc.d3, r.strain1, r.strain3, r.stress);
  write_strain_stress_maps(d.nx, d.ny, r, st.files);
  const double area = d.h * d.h * d.nx * d.ny;
  const cplx av_strain = cell_sum(d.nx, d.ny, r.strain1) / area;
  const cplx av_stress = cell_sum(d.nx, d.ny, r.stress) / area;
  free_line(out, " av_strain ", av_strain.real(), av_strain.imag());
  free_line(out);
  free_line(out, " av_stress ", av_stress.real(), av_stress.imag());
  const cplx c33 = av_stress / av_strain;
  const modulus_wave fe_wave = wave_of_modulus(c33, rob_med);
  report_using_averages(c33, fe_wave, out);
  return fe_wave;
}

// The solid-3 volume-change modulus, the pressure maps, then the lines of
// that modulus and its Q.
void solid3_and_pressure(run_state& st, cplx deltavol3, double freq_sweep) {
  const deck_values& d = st.d;
  response_fields& r = st.r;
  const cplx m3 = volume_change_modulus(d.nx, d.domain_size, d.h, deltavol3);
  const double q3 = m3.real() / m3.imag();
  pressure_field(d.nx, d.ny, d.h, st.xnod, st.fe.z.data(), st.cc.b1, st.cc.b2, st.cc.m, r.pres,
                 r.derx_pres, r.dery_pres, r.grad_pres_mod);
  write_pressure_maps(d.nx, d.ny, r, st.files);
  if (!st.files.solid3_q.is_open()) st.files.solid3_q.open("fort.54");
  g15_line(st.files.solid3_q, freq_sweep, q3);
  if (!st.files.solid3_modulus.is_open()) st.files.solid3_modulus.open("fort.18");
  free_result_line(st.files.solid3_modulus, freq_sweep, m3.real(), m3.imag());
}

// One cycle: coefficients, plane waves, the solved test and its results.
void run_cycle(run_state& st, int cycle, std::int32_t nsp, std::ostream& out) {
  deck_values& d = st.d;
  // The water proportion of the cycle, uniform over the sample.
  d.phi_layer_m = {cycle_water_proportion, cycle_water_proportion};
  const double freq = d.freq1;
  const double omega_fix = two_pi * freq;
  const solid_fractions f = cell_coefficients_of_cycle(st, omega_fix, out);
  global_numbering(d.nx, d.ny, st.xnod);

  free_line(out, "  computes average density, ");
  const double rob_med =
      average_density(d.nx, d.ny, st.matnum, st.phiw, d.ro1, d.ro2, d.ro3, f.phi1, f.phi3);
  free_line(out, "average density rob_med is (kg/m**3)", rob_med);
  free_line(out);
  const double freq_sweep = freq_sweep_point(d.freq1, d.freq2, d.nfreq);
  free_line(out, "cycle=", cycle);
  free_line(out, "freq (Hz), omega_fix ", freq, omega_fix);

  const wave_values waves = plane_waves_of_cycle(st, omega_fix, out);
  solve_test(st, omega_fix, nsp, out);
  const auto [deltavol1, deltavol3] = volume_change_report(st, f, rob_med, out);
  const modulus_wave fe_wave = averages_report(st, rob_med, out);

  const double water_proportion = mat(d.phi_layer_m, 1);
  free_result_line(st.files.vp_anal, water_proportion, waves.vp1);
  g15_line(st.files.vp_eq, water_proportion, fe_wave.velocity);
  g15_line(st.files.qinv_eq, water_proportion, fe_wave.qinv);
  g15_line(st.files.qinv_anal, freq, waves.qinv_p1);
  solid3_and_pressure(st, deltavol3, freq_sweep);
}

void run(std::istream& deck, std::ostream& out, const run_settings& settings) {
  run_state st(settings.nsp);
  float clock = 0.0f;
  timer(clock);
  read_deck(st.d, deck, out);
  material_map(st.d, st.matnum, st.files, out);
  const int ncycles = 1;
  for (int cycle = 1; cycle <= ncycles; ++cycle) run_cycle(st, cycle, settings.nsp, out);
  const double hours = timer(clock) / 3600;
  out << "\n running time=" << fortran_f(hours, 15, 6) << "hours\n";
}

}  // namespace

int run_driver(std::istream& deck, std::ostream& out, std::ostream& err,
               const run_settings& settings) {
  try {
    run(deck, out, settings);
    out.flush();
    return stop_normal;
  } catch (const run_stop& stop) {
    out.flush();
    if (!stop.message.empty())
      err << stop.message << '\n';
    else
      err << "STOP " << stop.code << '\n';
    return stop.code;
  } catch (const std::exception& failure) {
    out.flush();
    err << "internal failure: " << failure.what() << '\n';
    return stop_internal_failure;
  }
}
