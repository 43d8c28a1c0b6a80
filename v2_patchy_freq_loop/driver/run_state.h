// What a run owns for its whole length: the deck values, the cell fields,
// the global system with the solver's work area, and the result files. It is
// allocated once, for the largest grid.
#pragma once

#include <array>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <new>
#include <vector>

#include "common/arrays.h"
#include "driver/result_file.h"
#include "input/deck.h"

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

