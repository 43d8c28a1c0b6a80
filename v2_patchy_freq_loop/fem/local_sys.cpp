// Element matrix and load of one cell of the harmonic compressibility test:
// stiffness and viscous friction of solid 1, the fluid and solid 3, the
// roller and no-flow conditions on the sides and the top load of the test.
#include <initializer_list>

#include "fem/fem.h"

namespace {

// The closed-form integrals over the square cell, as integer multiples of a
// unit fraction, so that each coefficient is divided by the exact constant
// (lambda/3, not lambda*(1/3)). Corners 1..4 counter-clockwise.
constexpr int twelfths = 12;
// Sxx, Syy, Sxy(a, b) = integrals of dphi_a/dx dphi_b/dx, .../dy .../dy,
// dphi_a/dx dphi_b/dy, in twelfths.
constexpr int sxx[4][4] = {{4, -4, -2, 2}, {-4, 4, 2, -2}, {-2, 2, 4, -4}, {2, -2, -4, 4}};
constexpr int syy[4][4] = {{4, 2, -2, -4}, {2, 4, -4, -2}, {-2, -4, 4, 2}, {-4, -2, 2, 4}};
constexpr int sxy[4][4] = {{3, 3, -3, -3}, {-3, -3, 3, 3}, {-3, -3, 3, 3}, {3, 3, -3, -3}};
// Bilinear mass phi_a phi_b in 36ths of h^2.
constexpr int thirty_sixths = 36;
constexpr int mass[4][4] = {{4, 2, 1, 2}, {2, 4, 2, 1}, {1, 2, 4, 2}, {2, 1, 2, 4}};
// Solid-fluid mass phi_a (d . psi_e) in twelfths of h^2, for x and y
// components against the fluid functions L, R, B, T.
constexpr int solid_fluid_mass[2][4][4] = {
    {{2, 1, 0, 0}, {1, 2, 0, 0}, {1, 2, 0, 0}, {2, 1, 0, 0}},
    {{0, 0, 2, 1}, {0, 0, 2, 1}, {0, 0, 1, 2}, {0, 0, 1, 2}}};
// Solid-fluid divergence coupling in halves, same layout.
constexpr int halves = 2;
constexpr int div_coupling[2][4][4] = {
    {{1, -1, 1, -1}, {-1, 1, -1, 1}, {-1, 1, -1, 1}, {1, -1, 1, -1}},
    {{1, -1, 1, -1}, {1, -1, 1, -1}, {-1, 1, -1, 1}, {-1, 1, -1, 1}}};
// Fluid mass psi_e . psi_f in sixths of h^2, and the signs of div psi_e * h.
constexpr int sixths = 6;
constexpr int fluid_mass[4][4] = {{2, 1, 0, 0}, {1, 2, 0, 0}, {0, 0, 2, 1}, {0, 0, 1, 2}};
constexpr int div_sign[4] = {-1, 1, -1, 1};

// v times count/unit, formed as v divided by the exact constant unit/count
// (every count of the tables divides its unit; a negative count gives the
// negative constant); +0 for a zero count.
double part(double v, int count, int unit) {
  return count == 0 ? 0.0 : v / static_cast<double>(unit / count);
}

// Component (0 = x, 1 = y) and corner (0..3) of solid local unknown 1..8.
int comp(int s) { return (s - 1) / 4; }
int corner(int s) { return (s - 1) % 4; }

// Entry (s, t) of the isotropic stiffness block K(lambda, mu) on one or two
// solids' eight unknowns: (lambda + 2 mu) Sxx + mu Syy between x and x,
// (lambda + 2 mu) Syy + mu Sxx between y and y, lambda Sxy(a, b) +
// mu Sxy(b, a) between x at a and y at b; the terms summed as lambda/c1 +
// mu/c2.
double stiffness(double lambda, double mu, int s, int t) {
  const int a = corner(s), b = corner(t);
  int cl = 0, cm = 0;
  if (comp(s) == 0 && comp(t) == 0) {
    cl = sxx[a][b], cm = 2 * sxx[a][b] + syy[a][b];
  } else if (comp(s) == 1 && comp(t) == 1) {
    cl = syy[a][b], cm = 2 * syy[a][b] + sxx[a][b];
  } else if (comp(s) == 0) {
    cl = sxy[a][b], cm = sxy[b][a];
  } else {
    cl = sxy[b][a], cm = sxy[a][b];
  }
  const double lam_part = part(lambda, cl, twelfths);
  return cm == 0 ? lam_part : lam_part + part(mu, cm, twelfths);
}

// Bilinear mass of solid unknowns s, t in 36ths (zero across components).
int solid_mass(int s, int t) { return comp(s) == comp(t) ? mass[corner(s)][corner(t)] : 0; }

// The cell's coefficients as the block formulas use them.
struct block_coefficients {
  double lambda1, lambda3, mu1, mu3, mu13, b1, b2, m, d3;
  // omega * f * h^2 for the three friction coefficients, h^2 formed first.
  double wf11, wf12, wf22;
};

// Block formula of entry (r, c), r <= c, of the element matrix. Operation
// order, as the written-out entries read left to right: the real part is
// the stiffness or coupling term, lambda/c1 + mu/c2 (e.g. lambda1/3 + mu1,
// b1/2, m); the imaginary part is omega*f*h^2/c, i.e. ((omega*f)*(h*h))/c
// with the cell area h^2 = h*h taken as one factor and c the constant of
// the mass integral (e.g. omega*f11*h^2/9), with the sign of its block, and
// +0 where that integral vanishes.
cplx block_entry(const block_coefficients& q, int r, int c) {
  const bool r_u1 = r <= 8, r_w = r >= 9 && r <= 12;
  const bool c_u1 = c <= 8, c_w = c >= 9 && c <= 12;
  if (r_u1 && c_u1) {
    return {stiffness(q.lambda1, q.mu1, r, c), part(q.wf11, solid_mass(r, c), thirty_sixths)};
  }
  if (r_u1 && c_w) {
    const int e = c - 9;
    return {part(q.b1, div_coupling[comp(r)][corner(r)][e], halves),
            part(q.wf12, -solid_fluid_mass[comp(r)][corner(r)][e], twelfths)};
  }
  if (r_u1) {  // solid 1 against solid 3
    const int t = c - 12;
    return {stiffness(q.d3, q.mu13 / 2, r, t), part(q.wf11, -solid_mass(r, t), thirty_sixths)};
  }
  if (r_w && c_w) {
    const int e = r - 9, f = c - 9;
    const double div = div_sign[e] * div_sign[f] > 0 ? q.m : -q.m;
    return {div, part(q.wf22, fluid_mass[e][f], sixths)};
  }
  if (r_w) {  // fluid against solid 3
    const int e = r - 9, t = c - 12;
    return {part(q.b2, div_coupling[comp(t)][corner(t)][e], halves),
            part(q.wf12, solid_fluid_mass[comp(t)][corner(t)][e], twelfths)};
  }
  const int s = r - 12, t = c - 12;  // solid 3 against solid 3
  return {stiffness(q.lambda3, q.mu3, s, t), part(q.wf11, solid_mass(s, t), thirty_sixths)};
}

}  // namespace

element local_sys(const fe_grid& grid, int j, int k, double omega, const coefficients_of_cell& cell) {
  element e;
  e.load.fill(cplx{});
  bool constrained[local_dofs + 1] = {};
  auto fix = [&](std::initializer_list<int> rows) {
    for (int r : rows) constrained[r] = true;
  };
  if (j == 1) fix({1, 4, 9, 13, 16});         // left rollers, no flow
  if (j == grid.nx) fix({2, 3, 10, 14, 15});  // right rollers, no flow
  if (k == 1) fix({5, 6, 11, 17, 18});        // bottom rollers, no flow
  if (k == grid.ny) fix({12});                // no flow through the top

  const double area = grid.h * grid.h;
  const block_coefficients q{cell.lambda1, cell.lambda3, cell.mu1, cell.mu3, cell.mu13,
                             cell.b1, cell.b2, cell.m, cell.d3,
                             omega * cell.f11 * area, omega * cell.f12 * area,
                             omega * cell.f22 * area};
  // Rows in increasing order; a free row copies its lower part from the rows
  // already formed, so a constrained row's column is zero below it.
  for (int r = 1; r <= local_dofs; ++r) {
    for (int c = 1; c <= local_dofs; ++c) {
      if (constrained[r]) {
        entry(e.a, r, c) = c == r ? block_entry(q, r, r) : cplx{};
      } else {
        entry(e.a, r, c) = c < r ? entry(e.a, c, r) : block_entry(q, r, c);
      }
    }
  }

  // A unit compressive traction on the top side, half to each top corner:
  // per-solid, in full on each solid; platen, on the vertical displacement
  // the two solids share there (numbered as solid 1's).
  if (k == grid.ny) {
    const cplx half{-grid.h / 2, 0.0};
    e.load[xs1_2(3) - 1] = e.load[xs1_2(4) - 1] = half;
    if (grid.test == fe_test::per_solid) e.load[xs2_2(3) - 1] = e.load[xs2_2(4) - 1] = half;
  }
  return e;
}
