#include "core/effective_modulus.h"

#include <cmath>

#include "yale/one_based.h"

modulus_wave wave_of_modulus(cplx modulus, double rho) {
  const cplx slowness = 1.0 / std::sqrt(modulus / rho);
  const double q = modulus.real() / modulus.imag();
  return {1.0 / slowness.real(), q, 1000.0 / q};
}

double average_density(int nx, int ny, const cell_int& matnum, const cell_real& phiw,
                       const per_material& ro1, const per_material& ro2, const per_material& ro3,
                       double phi1, double phi3) {
  double rho = 0.0;
  for (int j = 1; j <= nx; ++j)
    for (int k = 1; k <= ny; ++k) {
      const int mt = matnum(j, k);
      rho += (phiw(j, k) * mat(ro2, mt) + phi1 * mat(ro1, mt) + phi3 * mat(ro3, mt)) / (nx * ny);
    }
  return rho;
}

double bulk_density(const deck_values& d, const cell_inputs& cells, const cell_real& phiw) {
  double sum = 0.0;
  for (int k = 1; k <= d.ny; ++k)
    for (int j = 1; j <= d.nx; ++j) {
      const int mt = cells.material(j, k);
      const cell_fractions& f = cells.fractions(j, k);
      sum += phiw(j, k) * mat(d.ro2, mt) + f.phi1 * mat(d.ro1, mt) + f.phi3 * mat(d.ro3, mt);
    }
  return sum / (static_cast<double>(d.nx) * d.ny);
}

// The solution values of the unknowns of cell (j, k).
class cell_values {
 public:
  cell_values(int nx, const dof_table& xnod, const cplx* z, int j, int k)
      : xnod_(xnod), z_(z), ic_((k - 1) * nx + j) {}
  cplx operator()(int local) const { return z_(xnod_(ic_, local)); }

 private:
  const dof_table& xnod_;
  one_based<const cplx> z_;
  int ic_;
};

cplx top_volume_change(int nx, int ny, double h, const dof_table& xnod, const cplx* z,
                       int top_right) {
  cplx deltavol = 0.0;
  for (int j = 1; j <= nx; ++j) deltavol += h * cell_values(nx, xnod, z, j, ny)(top_right);
  return deltavol;
}

cplx platen_displacement(int nx, int ny, const dof_table& xnod, const cplx* z) {
  cplx sum = 0.5 * cell_values(nx, xnod, z, 1, ny)(xs1_2(4));
  for (int j = 2; j <= nx; ++j) sum += cell_values(nx, xnod, z, j, ny)(xs1_2(4));
  sum += 0.5 * cell_values(nx, xnod, z, nx, ny)(xs1_2(3));
  return sum / static_cast<double>(nx);
}

cplx platen_modulus(double domain_size, cplx u) { return -domain_size / u; }

cplx volume_change_modulus(int nx, double domain_size, double h, cplx deltavol) {
  return -(1.0 / (deltavol / (nx * domain_size * h)));
}

// Mean vertical derivative of the vertical displacement whose corner
// values are u(corner(1 ... 4)).
template <class Corner>
static cplx vertical_strain(const cell_values& u, Corner corner, double h) {
  return (u(corner(3)) - u(corner(2)) + u(corner(4)) - u(corner(1))) / (2 * h);
}

// Divergence of a solid displacement with x and y corner values.
template <class X, class Y>
static cplx solid_divergence(const cell_values& u, X x, Y y, double h) {
  return (u(x(2)) - u(x(1)) + u(x(3)) - u(x(4)) - u(y(1)) - u(y(2)) + u(y(3)) + u(y(4))) /
         (2 * h);
}

// Divergence of the fluid displacement from its four edge values.
static cplx fluid_divergence(const cell_values& u, double h) {
  return (u(xf_R) - u(xf_L) + u(xf_T) - u(xf_B)) / h;
}

void cell_strain_stress(int nx, int ny, double h, const dof_table& xnod, const cplx* z,
                        const cell_real& lambda1, const cell_real& mu1, const cell_real& mu13,
                        const cell_real& d3, cell_cplx& strain1, cell_cplx& strain3,
                        cell_cplx& stress) {
  for (int k = 1; k <= ny; ++k)
    for (int j = 1; j <= nx; ++j) {
      const cell_values u(nx, xnod, z, j, k);
      strain1(j, k) = vertical_strain(u, xs1_2, h);
      strain3(j, k) = vertical_strain(u, xs2_2, h);
      const cplx xi = fluid_divergence(u, h);
      stress(j, k) = (lambda1(j, k) + 2 * mu1(j, k)) * strain1(j, k) + d3(j, k) * xi +
                     mu13(j, k) * strain3(j, k);
    }
}

void pressure_field(int nx, int ny, double h, const dof_table& xnod, const cplx* z,
                    const cell_real& b1, const cell_real& b2, const cell_real& m,
                    cell_cplx& pres, cell_cplx& derx_pres, cell_cplx& dery_pres,
                    cell_real& grad_pres_mod) {
  for (int k = 1; k <= ny; ++k)
    for (int j = 1; j <= nx; ++j) {
      const cell_values u(nx, xnod, z, j, k);
      const cplx theta1 = solid_divergence(u, xs1_1, xs1_2, h);
      const cplx theta3 = solid_divergence(u, xs2_1, xs2_2, h);
      const cplx xi = fluid_divergence(u, h);
      pres(j, k) = -(b1(j, k) * theta1 + b2(j, k) * theta3 + m(j, k) * xi);
      if (interior_cell(j, k, nx, ny)) {
        derx_pres(j, k) = (pres(j, k) - pres(j - 1, k)) / h;
        dery_pres(j, k) = (pres(j, k) - pres(j, k - 1)) / h;
        grad_pres_mod(j, k) = std::sqrt(std::norm(derx_pres(j, k)) + std::norm(dery_pres(j, k)));
      }
    }
}

const char* first_nan_result(const modulus_wave& averages, cplx solid3_modulus) {
  if (std::isnan(averages.velocity)) return "velocity";
  if (std::isnan(averages.qinv)) return "1000/Q";
  if (std::isnan(solid3_modulus.real()) || std::isnan(solid3_modulus.imag()))
    return "solid-3 modulus";
  return nullptr;
}

double freq_sweep_point(double freq1, double freq2, int nfreq) {
  const int point = 0;  // index of the sweep point: the first
  double exponent = std::log10(freq1);
  if (nfreq > 1 && freq2 > 0)
    exponent += point * (std::log10(freq2) - std::log10(freq1)) / static_cast<float>(nfreq - 1);
  return std::pow(10.0, exponent);
}
