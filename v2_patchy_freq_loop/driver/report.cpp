#include "driver/report.h"

#include <string>
#include <string_view>

#include "common/fortran_format.h"
#include "common/report.h"
#include "input/deck_rules.h"

namespace {

// The nine header values of the deck, one a line.
void echo_header(std::ostream& out, const deck_values& d) {
  free_line(out, d.freq1);
  free_line(out, d.freq2);
  free_line(out, d.nfreq);
  free_line(out, d.domain_size);
  free_line(out, d.nx);
  free_line(out, d.ny);
  free_line(out, d.key_model);
  free_line(out, d.model);
  free_line(out, d.nmat);
}

// Echo of block i: its heading, nl(i), and the material values with an
// empty line after the fluid viscosity `eta`.
void echo_block(std::ostream& out, const deck_values& d, int i) {
  const std::string stars(34, '*');
  free_line(out, stars);
  free_line(out, " layer i=  ", i);
  free_line(out);
  free_line(out, stars);
  free_line(out, " nl(i) = cell in layer i       = ", d.nl[i - 1]);
  for (const material_field& f : material_fields) {
    free_line(out, f.label, mat(d.*f.values, i));
    if (f.values == &deck_values::eta) free_line(out);
  }
}

// The 27-character star line of the rock-physics reports.
constexpr const char* star_line_27 = "************************** ";

// The fractions as one record "(a,g10.5//,a,g10.5/,a,g10.5/,a,g10.5/,
// a,g10.5/)"; the phi1 and s1 labels name the routine that computed them.
void fractions_record(std::ostream& out, const cell_fractions& f, std::string_view phi1_label,
                      std::string_view s1_label) {
  out << "porosity (water proportion)  =" << fortran_g(f.phi, 10, 5) << "\n\n";
  out << phi1_label << fortran_g(f.phi1, 10, 5) << '\n';
  out << "bulk solid 3 fraction phi3   =" << fortran_g(f.phi3, 10, 5) << '\n';
  out << s1_label << fortran_g(f.s1, 10, 5) << '\n';
  out << "solid 3 matrix fraction s3   =" << fortran_g(f.s3, 10, 5) << "\n\n";
}

// Two star lines.
void star_lines(std::ostream& out) {
  free_line(out, star_line_27);
  free_line(out, star_line_27);
}

// Ice content, saturation and fraction sum of cell (1, 1), then the
// fractions record.
void ice_fraction_report(std::ostream& out, const cell_fractions& f) {
  free_line(out, "ice content s3_prima=", f.s3_prima);
  free_line(out, "j,k, water saturation  Sw =", 1, 1, f.sw);
  star_lines(out);
  free_line(out, "for j, k  = ", 1, 1);
  free_line(out, "  control (must be = 1) =  ", f.control);
  free_line(out);
  star_lines(out);
  fractions_record(out, f, "bulk solid 1 fraction phi1 en e_mod   =",
                   "solid 1 matrix fraction s1 en e_mod  =");
  free_line(out);
  free_line(out);
  star_lines(out);
}

// Average, coupling, shear and Gassmann moduli (GPa).
void moduli_lines(std::ostream& out, const composite_moduli& c) {
  free_line(out);
  free_line(out, "Moduli  as in eqs. (A.2),(A.5),(A.6),(A.7)");
  free_line(out);
  free_line(out, "used in contitutive eqs. (4.6)--(4.8)");
  free_line(out);
  free_line(out, "alfa1,alfa3 =", c.alfa1, c.alfa3);
  free_line(out);
  free_line(out);
  free_line(out, "Kav(GPa)    = ", c.kav / 1e9);
  free_line(out, "K1(GPa)     = ", c.k1 / 1e9);
  free_line(out, "K2(GPa)     = ", c.k2 / 1e9);
  free_line(out, "K3(GPa)     = ", c.k3 / 1e9);
  free_line(out, "C12(GPa)    = ", c.c12 / 1e9);
  free_line(out, "C13(GPa)    = ", c.c13 / 1e9);
  free_line(out, "C23(GPa)    = ", c.c23 / 1e9);
  free_line(out);
  free_line(out);
  free_line(out, " rigidity modulus mu1,mu3,mu13,muav eqs.  (A.1)");
  free_line(out, "xmuav(GPa)  = ", c.xmuav / 1e9);
  free_line(out);
  free_line(out, "mu1(GPa)    = ", c.mu1 / 1e9);
  free_line(out, "mu3(GPa)    = ", c.mu3 / 1e9);
  free_line(out, "mu13(GPA)   = ", c.mu13 / 1e9);
  free_line(out);
  free_line(out);
  free_line(out, "  Gassmann moduli  eqs. (A.7)");
  free_line(out);
  free_line(out, "KG1(GPa)    = ", c.kg1 / 1e9);
  free_line(out, "KG3(GPa)    = ", c.kg3 / 1e9);
  free_line(out, "KG(GPa)     = ", c.kg / 1e9);
}

// The elastic coefficients of cell (1, 1) in two and three dimensions (GPa).
void elastic_lines(std::ostream& out, const composite_moduli& c) {
  free_line(out, " element j,k = ", 1, 1);
  free_line(out);
  free_line(out);
  free_line(out, "Modulos elasticos notacion Dravel et al. JASA 04");
  free_line(out, "(en Pa)");
  free_line(out);
  free_line(out, "H1=K_{G1}(GPa)     = ", c.h1 / 1e9);
  free_line(out, "H3=K_{G3}(GPa)     = ", c.h3 / 1e9);
  free_line(out, "B1(GPa)            = ", c.b1 / 1e9);
  free_line(out, "B2(GPa)            = ", c.b2 / 1e9);
  free_line(out, "B3(GPa)            = ", c.b3 / 1e9);
  free_line(out, "M=k_av(Pa)        = ", c.kav / 1e9);
  free_line(out, "xlambda1(GPa) (2D) = ", c.lambda1 / 1e9);
  free_line(out, "xlambda3(GPa) (2D) = ", c.lambda3 / 1e9);
  free_line(out, "d3(GPa) (2D)       = ", c.d3 / 1e9);
  free_line(out, "xlambda1(GPa) (3D) = ", (c.h1 - 2.0 * c.mu1 / 3.0) / 1e9);
  free_line(out, "xlambda3(GPa) (3D) = ", (c.h3 - 2.0 * c.mu3 / 3.0) / 1e9);
  free_line(out, "d3(GPa) (3D)       = ", (c.b3 - c.mu13 / 3.0) / 1e9);
  free_line(out, "mu1(GPa)           = ", c.mu1 / 1e9);
  free_line(out, "mu3(GPa)           = ", c.mu3 / 1e9);
  free_line(out, "mu13(GPA)          = ", c.mu13 / 1e9);
  free_line(out);
}

// The line of a cell whose lambda1 is not positive.
void negative_lambda1(std::ostream& out, int j, int k, double lambda1) {
  free_line(out, " neg. lambda1 j,k   ", j, k, lambda1);
}

// The fractions record of the mass routine, between the ice model's
// saturation and star lines.
void mass_fractions(std::ostream& out, const cell_fractions& f, bool ice) {
  if (ice) {
    free_line(out, "ice content s3_prima=", f.s3_prima);
    free_line(out, " water saturation  Sw=", f.sw);
    star_lines(out);
    free_line(out);
    free_line(out, "  control (must be = 1) =  ", f.control);
    free_line(out);
    star_lines(out);
  }
  fractions_record(out, f, "bulk solid 1 fraction phi1 en mass_visco  =",
                   "solid 1 matrix fraction s1 en mass_visco  =");
  if (ice) {
    free_line(out);
    free_line(out);
    star_lines(out);
  }
}

// One density as the record "(/1x,a,e20.10)": an empty line, then the line.
void density_record(std::ostream& out, const char* label, double value) {
  out << "\n " << label << fortran_e(value, 20, 10) << '\n';
}

// Phase and mean densities and the mass coefficients.
void mass_lines(std::ostream& out, const densities& d, const mass_coefs& c) {
  free_line(out);
  free_line(out, " mass densities for each phase");
  density_record(out, " ro1(Kgr/m^3)     =", d.ro1);
  density_record(out, " ro2(Kgr/m^3)     =", d.ro2);
  density_record(out, " ro3(Kgr/m^3)     =", d.ro3);
  density_record(out, " ro(Kgr/m^3)      =", c.ro);
  density_record(out, " ro_prim(Kgr/m^3) =", c.ro_prim);
  free_line(out, "mass coef.");
  free_line(out, "p11(Kgr/m^3) = ", c.p11);
  free_line(out, "p12(Kgr/m^3) = ", c.p12);
  free_line(out, "p13(Kgr/m^3) = ", c.p13);
  free_line(out, "p22(Kgr/m^3) = ", c.p22);
  free_line(out, "p23(Kgr/m^3) = ", c.p23);
  free_line(out, "p33(Kgr/m^3) = ", c.p33);
}

// Permeabilities and friction coefficients with the two determinants, up
// to the one that stopped the stage.
void friction_lines(std::ostream& out, bool ice, const friction_record& r, int stop) {
  const friction_coefs& c = r.coefs;
  free_line(out);
  if (ice) {
    free_line(out, "permeabilities for the permafrost model (m^2)");
    free_line(out, "capa_1=,", c.capa_1);
    free_line(out, "capa_3=,", c.capa_3);
    free_line(out, "capa=,", c.capa);
  } else {
    free_line(out, " permeabilities for the shaley-sand model (m^2)");
    free_line(out, "capa_1 = ", c.capa_1);
    free_line(out, "capa_3 = ", c.capa_3);
    free_line(out, "capa   = ", c.capa);
  }
  free_line(out, "coef_b12, coef_b23 ", c.coef_b12, c.coef_b23);
  free_line(out, "f11      =", c.f11_prime);
  free_line(out, "f12      =", c.f12);
  free_line(out, "f22      =", c.f22);
  free_line(out, "control1 (must be  positive)  =", r.control1);
  if (stop == stop_friction_1) return;
  free_line(out, "Coef. de friccion ");
  free_line(out, "coef_b13  ", r.b13);
  free_line(out, "b11  = ", c.f11);
  free_line(out, "b12  = ", c.f12);
  free_line(out, "b22  = ", c.f22);
  free_line(out, "control2 (must be  positive)  =", r.control2);
  if (stop == stop_friction_2) return;
  free_line(out);
}

// The compressional and shear table of the central cell.
void central_cell(std::ostream& out, const waves_record::central_cell& c) {
  free_line(out, "nx/2,ny/2 ", c.j, c.k);
  free_line(out, "Compressional wave speeds using eigenvalues");
  free_line(out, "  of matrix S = E^{-1} A associated with   ");
  free_line(out, " rows and  col. 1,3 y 4  of S,  respec.");
  free_line(out);
  free_line(out, "vp1 = ", c.p1.v, "m/s", " atp1 = ", c.p1.at, "1000/qp1 ", c.p1.qinv);
  free_line(out, " Q1 = ", c.p1.q);
  free_line(out);
  free_line(out, "vp2 = ", c.p2.v, "m/s", " atp2 = ", c.p2.at, "1000/qp2 ", c.p2.qinv);
  free_line(out, " Q2 = ", c.p2.q);
  free_line(out);
  free_line(out, "vp3 = ", c.p3.v, "m/s", " atp3 = ", c.p3.at, "1000/qp3 ", c.p3.qinv);
  free_line(out, " Q3 = ", c.p3.q);
  free_line(out);

  free_line(out, "nx/2,ny/2 ", c.j, c.k);
  free_line(out);
  free_line(out, " Shear  wave speeds and att. using eigenvalues");
  free_line(out, "  of matrix S = E^{-1} A col. associated with ");
  free_line(out, " rows and  cols. 2 and 5 of  S,  respec.");
  free_line(out);
  free_line(out, "vs1 = ", c.s1.v, " ats1 = ", c.s1.at, "1000/qs1 ", c.s1.qinv);
  free_line(out, " Qs1 = ", c.s1.q);
  free_line(out);
  free_line(out, "vs2 = ", c.s2.v, " ats2 = ", c.s2.at, "1000/qs2 ", c.s2.qinv);
  free_line(out, " Qs2 = ", c.s2.q);
  free_line(out);
}

// The lines of a solver failure: "FLAG=", after "ESP=" for the factorization.
void solver_lines(std::ostream& out, const core::solver_failure& f) {
  if (f.code == stop_solve_failed) free_line(out, "ESP=", f.esp);
  free_line(out, "FLAG=", f.flag);
}

// The velocity, 1000/Q, Q and modulus of the top face's volume change.
void from_deltavol1(std::ostream& out, const core::effective_modulus& e) {
  free_line(out, "from deltavol1 Velocity(m/s) FE = ", e.velocity);
  free_line(out, "from deltavol1 1000/Q FE        = ", e.qinv);
  free_line(out, "from deltavol1  Q FE            = ", e.q);
  free_line(out, "from deltavol1 Re(p33) FE mstar      = ", e.modulus.real());
  free_line(out, "from deltavol1 Im(p33) FE mstar      = ", e.modulus.imag());
  free_line(out);
}

// The same for the modulus from the averages, between star lines.
void using_averages(std::ostream& out, const core::effective_modulus& e) {
  const char* stars = " ****************************************";
  free_line(out, stars);
  free_line(out);
  free_line(out, "using averages  Velocity(m/s) FE = ", e.velocity);
  free_line(out, "using averages 1000/Q FE         = ", e.qinv);
  free_line(out, "using averages Q FE              = ", e.q);
  free_line(out, "using averages Re(c33) FE        = ", e.modulus.real());
  free_line(out, "using averages Im(c33) FE        = ", e.modulus.imag());
  free_line(out);
  free_line(out, stars);
}

// The response after the solve: the volume changes, the moduli from the
// top face and from the averages.
void response_lines(std::ostream& out, const deck_values& d, const core::point_result& r) {
  free_line(out, " h ", d.h);
  free_line(out);
  free_line(out, "deltavol1=", r.deltavol1.real(), r.deltavol1.imag());
  free_line(out);
  free_line(out);
  free_line(out, "deltavol3=", r.deltavol3.real(), r.deltavol3.imag());
  free_line(out);
  free_line(out, "s1, s3 ", r.s1, r.s3);
  free_line(out);
  free_line(out);
  free_line(out, "deltavol=", r.deltavol.real(), r.deltavol.imag());
  from_deltavol1(out, r.top);
  free_line(out, " av_strain ", r.av_strain.real(), r.av_strain.imag());
  free_line(out);
  free_line(out, " av_stress ", r.av_stress.real(), r.av_stress.imag());
  using_averages(out, r.avg);
}

}  // namespace

void report_deck(std::ostream& out, const deck_values& d) {
  echo_header(out, d);
  for (int i = 1; i <= d.nmat; ++i) echo_block(out, d, i);
  free_line(out, " model (=0,layered,=1,fractal  = ", d.model);
  free_line(out);
  free_line(out, " mesh size h ", d.h);
}

void report_deck_stop(std::ostream& out, const deck_stop& s) {
  if (!s.header_read) return;
  echo_header(out, s.read);
  if (s.ice_material == 0) return;
  free_line(out, " Ice model, phi_a_m is smaller than phi_layer_m(i) ");
  free_line(out, " ERROR, the code stops ");
  free_line(out, " phi_a_m(i) = ", mat(s.read.phi_a_m, s.ice_material), " phi_layer_m(i) = ",
            mat(s.read.phi_layer_m, s.ice_material));
}

void report_layers(std::ostream& out, const layer_geometry& g) {
  free_line(out, "nl(1), nl(2)  ", g.nl[0], g.nl[1]);
  free_line(out, " domain size (m) ", g.ny * g.h);
  free_line(out);
  free_line(out, " ny = number of subintervals in y-direction ", g.ny);
  free_line(out);
  free_line(out, " hy = subinterval size (m) ", g.h);
  free_line(out);
  free_line(out, " nper = number of periods ", g.nper);
  free_line(out);
  for (int i : {0, 1}) {
    const std::string layer = " size of layer " + std::to_string(i + 1);
    free_line(out, layer + " in subintervals ", g.nl[i]);
    free_line(out);
    free_line(out, layer + " (m) ", g.thickness[i]);
    free_line(out);
  }
}

void report_moduli(std::ostream& out, const moduli_record& r, int stop) {
  if (r.key_model == 0 && r.fractions) ice_fraction_report(out, *r.fractions);
  if (r.moduli) {
    const composite_moduli& c = *r.moduli;
    if (r.key_model != 0) out << " output of  Krief s model  eqs. (A.8)-(A.9)\n";
    moduli_lines(out, c);
    if (stop == stop_lambda1) negative_lambda1(out, 1, 1, c.lambda1);
    elastic_lines(out, c);
    if (stop == stop_lambda1) negative_lambda1(out, 1, 1, c.lambda1);
  }
  for (const cell_value& n : r.negative_lambda1) negative_lambda1(out, n.j, n.k, n.value);
  if (r.strain_energy) {
    const cell_value& s = *r.strain_energy;
    if (stop == stop_strain_energy_1)
      free_line(out, "j,k, strain energy not positive definite ", s.j, s.k);
    else
      free_line(out, " j,k,strain energy not positive definite", s.j, s.k);
  }
}

void report_masses(std::ostream& out, const mass_record& r, int stop) {
  const bool ice = r.key_model == 0;
  free_line(out, "enters  mass_visco_coef  key_model ", r.key_model);
  if (r.fractions) mass_fractions(out, *r.fractions, ice);
  if (r.ro && r.mass) mass_lines(out, *r.ro, *r.mass);
  if (r.friction) friction_lines(out, ice, *r.friction, stop);
}

void report_waves(std::ostream& out, const waves_record& r) {
  const char* const star_line_44 = "********************************************";
  free_line(out, star_line_44);
  free_line(out);
  free_line(out, " ANGULAR FREQUENCY :  ", r.omega, " (HZ)");
  free_line(out);
  free_line(out, star_line_44);
  if (r.central) central_cell(out, *r.central);
  if (r.failure) {
    const std::string name = r.failure->name;
    free_line(out, " error, " + name + " is negative, " + name + " = ", r.failure->value);
    return;
  }
  free_line(out);
}

void report_point(std::ostream& out, const deck_values& d, int cycle,
                  const core::point_outcome& o) {
  const core::point_records& rec = o.records;
  const core::point_result& r = o.result;
  const int stop = o.stop ? o.stop->code : 0;
  report_moduli(out, rec.rock.moduli, stop);
  if (rec.rock.masses) report_masses(out, *rec.rock.masses, stop);
  if (!rec.waves) return;
  free_line(out, "  computes average density, ");
  free_line(out, "average density rob_med is (kg/m**3)", r.rob_med);
  free_line(out);
  free_line(out, "cycle=", cycle);
  free_line(out, "freq (Hz), omega_fix ", r.freq_hz, r.omega);
  report_waves(out, *rec.waves);
  if (rec.waves->failure) return;
  free_line(out, "number of unknowns nodos = ", r.nodos);
  if (rec.solver) solver_lines(out, *rec.solver);
  if (o.stop) return;
  response_lines(out, d, r);
}
