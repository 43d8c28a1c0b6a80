// The result files of a batch run, opened at its start in one directory.
#pragma once

#include <filesystem>

#include "common/result_file.h"

// The result files opened at the start of the run, by unit number.
struct result_files {
  explicit result_files(const std::filesystem::path& dir)
      : dir(dir),
        vp_anal(dir / "vp_anal.phiw"),
        vp_eq(dir / "vp_eq.phiw"),
        qinv_eq(dir / "1000_over_q_eq.phiw"),
        qinv_anal(dir / "1000_over_q_anal.phiw"),
        pressure(dir / "mod_pressure_p33_ice"),
        grad_pressure(dir / "mod_grad_pressure_p33_ice"),
        real_strain1(dir / "real_strain1_map"),
        imag_strain1(dir / "imag_strain1_map"),
        real_strain3(dir / "real_strain3_map"),
        imag_strain3(dir / "imag_strain3_map"),
        real_stress(dir / "real_stress_map"),
        imag_stress(dir / "imag_stress_map") {}
  std::filesystem::path dir;
  result_file vp_anal;        // 75
  result_file vp_eq;          // 76
  result_file qinv_eq;        // 77
  result_file qinv_anal;      // 78
  result_file pressure;       // 98
  result_file grad_pressure;  // 99
  result_file real_strain1;   // 30
  result_file imag_strain1;   // 31
  result_file real_strain3;   // 32
  result_file imag_strain3;   // 33
  result_file real_stress;    // 34
  result_file imag_stress;    // 35
  result_file solid3_q;       // 54, on first write
  result_file solid3_modulus; // 18, on first write
  result_file material_gnu;   // 22
};
