#include <utility>

#include "common/fortran_format.h"
#include "common/report.h"
#include "rock_physics/cell_fractions.h"
#include "rock_physics/rock_physics.h"

namespace {

void density_record(std::ostream& out, const char* label, double value) {
  out << "\n " << label << fortran_e(value, 20, 10) << '\n';
}

}  // namespace

// Mass (inertial coupling) and viscous friction coefficients of the
// three-phase medium of every cell.
void mass_visco_coef(int nx, int ny, const cell_int& matnum, const per_material& phi_a_m,
                     const cell_real& phiw, const per_material& s3, const per_material& eta,
                     int key_model, const per_material& ro1, const per_material& ro2,
                     const per_material& ro3, const per_material& capa_1_0,
                     const per_material& capa_3_0, const per_material& r1,
                     const per_material& r3, const per_material& coef_b13, cell_real& p11,
                     cell_real& p12, cell_real& p13, cell_real& p22, cell_real& p23,
                     cell_real& p33, cell_real& f11, cell_real& f12, cell_real& f22,
                     double& s1_last, double& s3_last, double& phi1_last, double& phi3_last,
                     std::ostream& out) {
  free_line(out, "enters  mass_visco_coef  key_model ", key_model);
  const bool ice = (key_model == 0);
  for (int j = 1; j <= nx; ++j) {
    for (int k = 1; k <= ny; ++k) {
      const int mt = matnum(j, k);
      const double phi = phiw(j, k);
      const bool reported = (j == 1 && k == 1);

      const cell_fractions f = volume_fractions(key_model, mat(phi_a_m, mt), mat(s3, mt), phi);
      const double phi1 = f.phi1, phi3 = f.phi3, s1 = f.s1, s3c = f.s3;
      s1_last = s1;
      s3_last = s3c;
      phi1_last = phi1;
      phi3_last = phi3;
      if (reported) {
        if (ice) {
          free_line(out, "ice content s3_prima=", f.s3_prima);
          free_line(out, " water saturation  Sw=", f.sw);
          free_line(out, star_line_27);
          free_line(out, star_line_27);
          free_line(out);
          free_line(out, "  control (must be = 1) =  ", f.control);
          free_line(out);
          free_line(out, star_line_27);
          free_line(out, star_line_27);
        }
        fractions_record(out, f, "bulk solid 1 fraction phi1 en mass_visco  =",
                         "solid 1 matrix fraction s1 en mass_visco  =");
        if (ice) {
          free_line(out);
          free_line(out);
          free_line(out, star_line_27);
          free_line(out, star_line_27);
        }
      }
      check_control(f);

      // Mean densities of fluid with solid 3 and of fluid with solid 1.
      const double rho1 = mat(ro1, mt), rho2 = mat(ro2, mt), rho3 = mat(ro3, mt);
      const double ro = (rho3 * phi3 + rho2 * phi) / (phi3 + phi);
      const double ro_prim = (rho2 * phi + rho1 * phi1) / (phi + phi1);

      // Inertial coupling (tortuosity-type) factors.
      const double t1 = 1.0 + ro * phi1 / (2.0 * rho2 * phi);
      const double t3 = 1.0 + ro_prim * phi3 / (2.0 * rho2 * phi);
      double r1f = 1.0, r3f = 1.0;
      if (!ice) {
        r1f = 1.0 + ro_prim * phi3 / (2.0 * rho1 * phi1);
        r3f = 1.0 + ro * phi1 / (2.0 * rho3 * phi3);
      }

      const double s1s = s1 * s1, s3s = s3c * s3c;
      const double c11 = rho2 * phi * (1.0 + t3 * s1s + t1 * s3s - 2.0 * s3c - s1s) +
                         r1f * rho1 * phi1 + (r3f - 1.0) * rho3 * phi3;
      const double c12 = rho2 * ((1.0 - t1) * s3c + t3 * s1);
      const double c13 = rho2 * phi * (1.0 - t3 * s1s - t1 * s3s - s1 * s3c) +
                         (1.0 - r1f) * rho1 * phi1 + (1.0 - r3f) * rho3 * phi3;
      const double c22 = (t1 + t3 - 1.0) * rho2 / phi;
      const double c23 = rho2 * (t1 * s3c + (1.0 - t3) * s1);
      const double c33 = rho2 * phi * (1.0 + t3 * s1s + t1 * s3s - 2.0 * s1 - s3s) +
                         r3f * rho3 * phi3 + (r1f - 1.0) * rho1 * phi1;

      if (reported) {
        free_line(out);
        free_line(out, " mass densities for each phase");
        density_record(out, " ro1(Kgr/m^3)     =", rho1);
        density_record(out, " ro2(Kgr/m^3)     =", rho2);
        density_record(out, " ro3(Kgr/m^3)     =", rho3);
        density_record(out, " ro(Kgr/m^3)      =", ro);
        density_record(out, " ro_prim(Kgr/m^3) =", ro_prim);
        free_line(out, "mass coef.");
        free_line(out, "p11(Kgr/m^3) = ", c11);
        free_line(out, "p12(Kgr/m^3) = ", c12);
        free_line(out, "p13(Kgr/m^3) = ", c13);
        free_line(out, "p22(Kgr/m^3) = ", c22);
        free_line(out, "p23(Kgr/m^3) = ", c23);
        free_line(out, "p33(Kgr/m^3) = ", c33);
      }

      // Permeabilities and the solid-fluid friction constants (Darcy).
      const double visc = mat(eta, mt);
      double capa_1, capa_3, coef_b12, coef_b23;
      if (ice) {
        const double pore = 1.0 - phi1;
        capa_1 = mat(capa_1_0, mt) * (phi * phi * phi) / (pore * pore * pore);
        capa_3 = mat(capa_3_0, mt) * ((pore / phi3) * (pore / phi3)) *
                 ((phi / phi1) * (phi / phi1) * (phi / phi1));
        coef_b12 = phi * phi * visc / capa_1;
        coef_b23 = phi * phi * visc / capa_3;
      } else {
        const double g1 = mat(r1, mt), g3 = mat(r3, mt);
        capa_1 = 2.0 * (g1 * g1) / (9.0 * phi1);
        capa_3 = 2.0 * (g3 * g3) / (9.0 * phi3);
        coef_b12 = 45.0 * visc * (1.0 - phi) * phi1 / (phi * (g1 * g1));
        coef_b23 = 45.0 * visc * (1.0 - phi) * phi3 / (phi * (g3 * g3));
      }
      const double capa = capa_1 * capa_3 / (capa_1 + capa_3);

      // Friction coefficients; the solid-solid constant enters the stored
      // f11 twice, the reported f11' once.
      const double b13 = mat(coef_b13, mt);
      const double f11_prime = s1s * coef_b23 + b13 + s3s * coef_b12;
      const double g11 = b13 + f11_prime;
      const double g22 = (coef_b23 + coef_b12) / (phi * phi);
      const double g12 = (coef_b12 * s3c - coef_b23 * s1) / phi;

      if (reported) {
        free_line(out);
        if (ice) {
          free_line(out, "permeabilities for the permafrost model (m^2)");
          free_line(out, "capa_1=,", capa_1);
          free_line(out, "capa_3=,", capa_3);
          free_line(out, "capa=,", capa);
        } else {
          free_line(out, " permeabilities for the shaley-sand model (m^2)");
          free_line(out, "capa_1 = ", capa_1);
          free_line(out, "capa_3 = ", capa_3);
          free_line(out, "capa   = ", capa);
        }
        free_line(out, "coef_b12, coef_b23 ", coef_b12, coef_b23);
        free_line(out, "f11      =", f11_prime);
        free_line(out, "f12      =", g12);
        free_line(out, "f22      =", g22);
        const double control1 = g22 * f11_prime - g12 * g12;
        free_line(out, "control1 (must be  positive)  =", control1);
        if (control1 < 0.0) throw run_stop{99999, ""};
        free_line(out, "Coef. de friccion ");
        free_line(out, "coef_b13  ", b13);
        free_line(out, "b11  = ", g11);
        free_line(out, "b12  = ", g12);
        free_line(out, "b22  = ", g22);
        const double control2 = g11 * g22 - g12 * g12;
        free_line(out, "control2 (must be  positive)  =", control2);
        if (control2 < 0.0) throw run_stop{99998, ""};
        free_line(out);
      }

      p11(j, k) = c11;
      p12(j, k) = c12;
      p13(j, k) = c13;
      p22(j, k) = c22;
      p23(j, k) = c23;
      p33(j, k) = c33;
      f11(j, k) = g11;
      f12(j, k) = g12;
      f22(j, k) = g22;

      const std::pair<const char*, double> stored[] = {
          {"p11", c11}, {"p12", c12}, {"p13", c13}, {"p22", c22}, {"p23", c23},
          {"p33", c33}, {"f11", g11}, {"f12", g12}, {"f22", g22}};
      for (const auto& [name, value] : stored) check_finite(j, k, name, value);
    }
  }
}
