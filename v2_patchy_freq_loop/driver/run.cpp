// The run: one cycle of the harmonic compressibility test at the frequency
// of the deck, with the plane-wave reference values beside it.
#include "driver/run.h"

#include <array>
#include <exception>
#include <string>

#include "common/fortran_format.h"
#include "common/report.h"
#include "driver/effective_modulus.h"
#include "driver/run_state.h"
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
      if (interior_cell(j, k, nx, ny))
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

// The report of the modulus from the top-face volume change: velocity,
// 1000/Q, Q and the modulus itself.
void report_from_deltavol1(cplx mstar, const modulus_wave& w, std::ostream& out) {
  free_line(out, "from deltavol1 Velocity(m/s) FE = ", w.velocity);
  free_line(out, "from deltavol1 1000/Q FE        = ", w.qinv);
  free_line(out, "from deltavol1  Q FE            = ", w.q);
  free_line(out, "from deltavol1 Re(p33) FE mstar      = ", mstar.real());
  free_line(out, "from deltavol1 Im(p33) FE mstar      = ", mstar.imag());
  free_line(out);
}

// The same report for the modulus from the averages, between star lines.
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

// Matrix and bulk fractions of the last cell, as the rock physics returns them.
struct solid_fractions {
  double s1 = 0, s3 = 0, phi1 = 0, phi3 = 0;
};

// The water field of the cycle and the coefficient set of every cell.
solid_fractions cell_coefficients_of_cycle(run_state& st, double omega_fix, std::ostream& out) {
  deck_values& d = st.d;
  cell_coefficients& cc = st.cc;
  if (d.model == 1 && !st.water.is_open()) open_water_file(st.water);
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
// that modulus and its Q; returns the modulus.
cplx solid3_and_pressure(run_state& st, cplx deltavol3, double freq_sweep) {
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
  return m3;
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
  const cplx m3 = solid3_and_pressure(st, deltavol3, freq_sweep);

  // A degenerate response (no volume change, no mean strain) leaves the
  // results undefined: they are written as they came out, but the run fails.
  if (const char* name = first_nan_result(fe_wave, m3))
    throw run_stop{stop_nan_result, std::string("the finite-element ") + name +
                                        " is not a number (zero volume change or mean strain)"};
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
