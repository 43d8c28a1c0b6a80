// The result files of a batch run, opened at its start in one directory.
#pragma once

#include <array>
#include <filesystem>

#include "common/result_file.h"
#include "study/maps.h"

// The result files opened at the start of the run, by unit number.
struct result_files {
  explicit result_files(const std::filesystem::path& dir)
      : dir(dir),
        vp_anal(dir / "vp_anal.phiw"),
        vp_eq(dir / "vp_eq.phiw"),
        qinv_eq(dir / "1000_over_q_eq.phiw"),
        qinv_anal(dir / "1000_over_q_anal.phiw") {
    for (std::size_t i = 0; i < maps.size(); ++i) maps[i].open(dir / study::point_maps[i].name);
  }
  std::filesystem::path dir;
  result_file vp_anal;        // 75
  result_file vp_eq;          // 76
  result_file qinv_eq;        // 77
  result_file qinv_anal;      // 78
  std::array<result_file, study::point_maps.size()> maps;  // 98, 99, 30 ... 35
  result_file solid3_q;       // 54, on first write
  result_file solid3_modulus; // 18, on first write
  result_file material_gnu;   // 22
};
