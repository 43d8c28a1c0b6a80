// One point: the cell coefficients at the point's frequency and water
// field, the plane-wave reference values, the assembly, the numeric
// factorization and solve in the order and structures of the grid's plan,
// and every result of the response, with the records the batch run reports.
#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

#include "core/effective_modulus.h"
#include "core/point.h"
#include "yale/nnf_blocked.h"
#include "yale/yale.h"

namespace core {

namespace {

constexpr double two_pi = 6.283185307179586;

effective_modulus of_modulus(cplx modulus, double rho) {
  const modulus_wave w = wave_of_modulus(modulus, rho);
  return {modulus, w.velocity, w.q, w.qinv};
}

// The sum of a cell field over the grid, cells in map order.
cplx cell_sum(int nx, int ny, const cell_cplx& field) {
  cplx sum = 0.0;
  for (int k = 1; k <= ny; ++k)
    for (int j = 1; j <= nx; ++j) sum += field(j, k);
  return sum;
}

// A cell field as a map, cells (j0 + 1 ... j0 + nx, k0 + 1 ... k0 + ny).
template <class T>
cell_map<T> as_map(const cell_array<T>& a, int nx, int ny, int j0 = 0, int k0 = 0) {
  cell_map<T> m{nx, ny, {}};
  m.v.reserve(static_cast<std::size_t>(nx) * ny);
  for (int k = 1; k <= ny; ++k)
    for (int j = 1; j <= nx; ++j) m.v.push_back(a(j0 + j, k0 + k));
  return m;
}

// The numeric factorization with the solve, in the plan's order and
// structures, on the workspace's threads; the plan's failure or a zero
// pivot goes to `failure` and stops the point.
void factor_solve(const grid_plan& plan, point_workspace& ws,
                  std::optional<solver_failure>& failure) {
  failure = plan.failure;
  if (!failure) {
    const std::int32_t flag = numeric_factor_solve(plan, ws);
    if (flag != 0) failure = solver_failure{stop_solve_failed, flag, plan.esp};
  }
  if (failure) throw run_stop{failure->code, ""};
}

// The volume changes of the top face and the modulus from solid 1.
void volume_changes(const deck_values& d, const grid_plan& plan, const point_workspace& ws,
                    point_result& r) {
  const cplx* z = ws.sys.z.data();
  r.deltavol1 = top_volume_change(d.nx, d.ny, d.h, plan.xnod, z, xs1_2(3));
  r.deltavol3 = top_volume_change(d.nx, d.ny, d.h, plan.xnod, z, xs2_2(3));
  r.deltavol = r.s1 * r.deltavol1 + r.s3 * r.deltavol3;
  r.top = of_modulus(volume_change_modulus(d.nx, d.domain_size, d.h, r.deltavol1), r.rob_med);
}

// The modulus from the averages of the stress and strain fields.
void averages(const deck_values& d, const point_workspace& ws, point_result& r) {
  const double area = d.h * d.h * d.nx * d.ny;
  r.av_strain = cell_sum(d.nx, d.ny, ws.strain1) / area;
  r.av_stress = cell_sum(d.nx, d.ny, ws.stress) / area;
  r.avg = of_modulus(r.av_stress / r.av_strain, r.rob_med);
}

// The cell fields of the response: the vertical strains of both solids, the
// vertical stress, the fluid pressure and its gradient.
void response_fields(const deck_values& d, const grid_plan& plan, point_workspace& ws) {
  const cplx* z = ws.sys.z.data();
  cell_strain_stress(d.nx, d.ny, d.h, plan.xnod, z, ws.cc.lambda1, ws.cc.mu1, ws.cc.mu13,
                     ws.cc.d3, ws.strain1, ws.strain3, ws.stress);
  pressure_field(d.nx, d.ny, d.h, plan.xnod, z, ws.cc.b1, ws.cc.b2, ws.cc.m, ws.pres,
                 ws.derx_pres, ws.dery_pres, ws.grad_pres_mod);
}

// The cell fields as the maps of the result.
void result_maps(const deck_values& d, const point_workspace& ws, point_result& r) {
  r.strain1 = as_map(ws.strain1, d.nx, d.ny);
  r.strain3 = as_map(ws.strain3, d.nx, d.ny);
  r.stress = as_map(ws.stress, d.nx, d.ny);
  r.pressure = as_map(ws.pres, d.nx, d.ny);
  r.grad_pressure = as_map(ws.grad_pres_mod, std::max(d.nx - 2, 0), std::max(d.ny - 2, 0), 1, 1);
}

// The per-solid test: the average density, the plane waves, the solve,
// the moduli from the top face's volume change and from the averages, the
// solid-3 modulus.
void per_solid_response(const deck_values& d, const grid_plan& plan, point_workspace& ws,
                        const cell_fractions& f, point_outcome& o) {
  point_result& r = o.result;
  r.s1 = f.s1, r.s3 = f.s3;
  r.rob_med =
      average_density(d.nx, d.ny, plan.matnum, ws.phiw, d.ro1, d.ro2, d.ro3, f.phi1, f.phi3);
  r.plane = plane_waves_of_cells(d.nx, d.ny, r.omega, ws.cc, o.records.waves.emplace());
  assemble_system({d.nx, d.ny, d.h, plan.test}, plan.xnod, r.omega, ws.cc, ws.sys);
  factor_solve(plan, ws, o.records.solver);

  volume_changes(d, plan, ws, r);
  response_fields(d, plan, ws);
  averages(d, ws, r);
  r.m3 = volume_change_modulus(d.nx, d.domain_size, d.h, r.deltavol3);
  r.q3 = r.m3.real() / r.m3.imag();
  r.main = r.avg;
  r.density = r.rob_med;
}

// The platen test, without records: the plane waves, the solve, the
// platen modulus at the bulk density.
void platen_response(const deck_values& d, const grid_plan& plan, point_workspace& ws,
                     const cell_inputs& cells, point_outcome& o) {
  point_result& r = o.result;
  r.plane = stable_plane_waves(ws.cc.at(d.nx, d.ny), r.omega);
  assemble_system({d.nx, d.ny, d.h, plan.test}, plan.xnod, r.omega, ws.cc, ws.sys);
  factor_solve(plan, ws, o.records.solver);
  response_fields(d, plan, ws);
  r.density = bulk_density(d, cells, ws.phiw);
  const cplx u = platen_displacement(d.nx, d.ny, plan.xnod, ws.sys.z.data());
  r.main = of_modulus(platen_modulus(d.domain_size, u), r.density);
}

// The point into `o`; a stop throws run_stop, `o` keeping what was reached.
void compute_into(const deck_values& deck, double freq_hz, const water_field& field,
                  const grid_plan& plan, point_workspace& ws, point_outcome& o) {
  if (auto fault = point_fault(deck, freq_hz, field, plan)) throw *fault;
  for (int k = 1; k <= deck.ny; ++k)
    for (int j = 1; j <= deck.nx; ++j) ws.phiw(j, k) = field(j, k);

  point_result& r = o.result;
  r.test = plan.test;
  r.freq_hz = freq_hz;
  r.omega = two_pi * freq_hz;
  r.nodos = plan.nodos;
  const cell_inputs cells =
      rock_physics_of_cells(deck, plan.matnum, ws.phiw, r.omega, ws.cc, o.records.rock);
  if (plan.test == fe_test::per_solid) {
    per_solid_response(deck, plan, ws, cells.fractions(deck.nx, deck.ny), o);
  } else {
    platen_response(deck, plan, ws, cells, o);
  }
  result_maps(deck, ws, r);
}

}  // namespace

std::shared_ptr<const grid_plan> make_grid_plan(int nx, int ny, fe_test test) {
  auto plan = std::make_shared<grid_plan>(make_plan(nx, ny, 0, test));
  if (plan->failure) throw run_stop{plan->failure->code, ""};
  return plan;
}

std::unique_ptr<point_workspace> make_workspace(const grid_plan& plan, int threads) {
  return std::make_unique<point_workspace>(plan, threads);
}

bool valid_frequency(double freq_hz) { return freq_hz > 0 && std::isfinite(freq_hz); }

std::optional<run_stop> point_fault(const deck_values& deck, double freq_hz,
                                    const water_field& field, const grid_plan& plan) {
  if (!valid_frequency(freq_hz))
    return run_stop{stop_bad_deck,
                    "frequency " + free_real(freq_hz) + " Hz is not a positive number"};
  auto size = [](int nx, int ny) { return std::to_string(nx) + " x " + std::to_string(ny); };
  if (deck.nx != plan.nx || deck.ny != plan.ny)
    return run_stop{stop_bad_deck, "the deck's grid " + size(deck.nx, deck.ny) +
                                       " is not the plan's " + size(plan.nx, plan.ny)};
  if (field.nx != plan.nx || field.ny != plan.ny ||
      field.v.size() != static_cast<std::size_t>(plan.nx) * plan.ny)
    return run_stop{stop_bad_water_file, "the water field " + size(field.nx, field.ny) +
                                             " is not the grid's " + size(plan.nx, plan.ny)};
  return std::nullopt;
}

point_outcome run_point(const deck_values& deck, double freq_hz, const water_field& field,
                        const grid_plan& plan, point_workspace& ws) {
  point_outcome o;
  try {
    compute_into(deck, freq_hz, field, plan, ws, o);
  } catch (const run_stop& stop) {
    o.stop = stop;
  }
  return o;
}

point_result compute_point(const deck_values& deck, double freq_hz, const water_field& field,
                           const grid_plan& plan, point_workspace& ws) {
  point_outcome o = run_point(deck, freq_hz, field, plan, ws);
  if (o.stop) throw *o.stop;
  return std::move(o.result);
}

}  // namespace core
