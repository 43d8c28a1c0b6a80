// Shared array types of a run: the cell grid, the per-material deck values
// and the degree-of-freedom table, each sized from the grid. Their owner
// (the point's workspace, the grid's plan) keeps them; the routines receive
// them by reference and fill or read them in place.
#pragma once

#include <array>
#include <complex>
#include <cstdint>
#include <vector>

using cplx = std::complex<double>;

inline constexpr int max_materials = 2;
inline constexpr int row_capacity = 50;             // stored entries per row
inline constexpr int local_dofs = 20;               // unknowns of one cell
// The solver work area of the run, in double-complex slots: never less than
// this, more when the system needs it.
inline constexpr std::int32_t work_slots = 11102000;

// A field over the cell grid: cell (j, k), j = 1 ... nx across and
// k = 1 ... ny upward, stored column-major with leading dimension nx.
template <class T>
class cell_array {
 public:
  cell_array(int nx, int ny) : nx_(nx), v_(static_cast<std::size_t>(nx) * ny, T{}) {}
  T& operator()(int j, int k) { return v_[index(j, k)]; }
  const T& operator()(int j, int k) const { return v_[index(j, k)]; }

 private:
  std::size_t index(int j, int k) const {
    return static_cast<std::size_t>(j - 1) + static_cast<std::size_t>(nx_) * (k - 1);
  }
  int nx_;
  std::vector<T> v_;
};

using cell_real = cell_array<double>;
using cell_int = cell_array<std::int32_t>;
using cell_cplx = cell_array<cplx>;

// A deck value given once per material; entry m (1-based) is at [m - 1].
using per_material = std::array<double, max_materials>;
inline double& mat(per_material& a, int m) { return a[m - 1]; }
inline double mat(const per_material& a, int m) { return a[m - 1]; }

// Global number of local unknown l = 1 ... 20 of cell ic = (k - 1)*nx + j;
// an (nx ny) x 20 column-major table of 32-bit integers.
class dof_table {
 public:
  dof_table(int nx, int ny)
      : cells_(static_cast<std::size_t>(nx) * ny), v_(cells_ * local_dofs, 0) {}
  std::int32_t& operator()(int ic, int l) { return v_[index(ic, l)]; }
  std::int32_t operator()(int ic, int l) const { return v_[index(ic, l)]; }

 private:
  std::size_t index(int ic, int l) const {
    return static_cast<std::size_t>(ic - 1) + cells_ * (l - 1);
  }
  std::size_t cells_;
  std::vector<std::int32_t> v_;
};

// Local unknowns of a cell, numbered 1 ... 20: the x and y displacements of
// solid 1 at corners a = 1 ... 4 (bottom-left, bottom-right, top-right,
// top-left), the fluid on the left, right, bottom and top edges, and the x
// and y displacements of solid 3.
inline constexpr int xs1_1(int a) { return a; }
inline constexpr int xs1_2(int a) { return 4 + a; }
inline constexpr int xf_L = 9, xf_R = 10, xf_B = 11, xf_T = 12;
inline constexpr int xs2_1(int a) { return 12 + a; }
inline constexpr int xs2_2(int a) { return 16 + a; }
