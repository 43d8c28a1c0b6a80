// The example decks run through the rock physics and the plane waves with
// the water proportion 0.2 that the driver imposes in every cell: every
// check passes and the fast P wave comes out between the fluid and the
// mineral speeds.
#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <sstream>
#include <string>

#include "common/report.h"
#include "input/input.h"
#include "plane_waves/plane_waves.h"
#include "rock_physics/rock_physics.h"

namespace {

// The deck values of a run, as the input reader returns them.
struct deck {
  double freq1 = 0, freq2 = 0, domain_size = 0, h = 0;
  int nfreq = 0, nx = 0, ny = 0, key_model = 0, nmat = 0, model = 0;
  std::array<int, 2> nl{};
  per_material akf{}, ro2{}, eta{}, ro1{}, ro3{}, phi_a_m{}, phi_layer_m{}, capa_1_0{},
      capa_3_0{}, s3{}, rs1{}, rs3{}, coef_b13{}, ak_air{}, xmu_air{}, ak_s1{}, xmu_s1{},
      ak_s3{}, xmu_s3{};
};

deck read_deck(const std::string& name) {
  std::ifstream in(std::string(V2PFL_EXAMPLES) + "/" + name);
  EXPECT_TRUE(in.good()) << name;
  std::ostringstream echo;
  deck d;
  readata(d.freq1, d.freq2, d.nfreq, d.domain_size, d.nx, d.ny, d.key_model, d.nmat, d.akf,
          d.ro2, d.eta, d.ro1, d.ro3, d.phi_a_m, d.phi_layer_m, d.capa_1_0, d.capa_3_0, d.s3,
          d.rs1, d.rs3, d.coef_b13, d.ak_s1, d.xmu_s1, d.ak_s3, d.xmu_s3, d.ak_air, d.xmu_air,
          d.model, d.h, d.nl, in, echo);
  return d;
}

wave_values run_deck(const deck& d, std::ostream& out) {
  cell_int matnum;
  cell_real phiw;
  for (int k = 1; k <= d.ny; ++k)
    for (int j = 1; j <= d.nx; ++j) {
      matnum(j, k) = 1;
      phiw(j, k) = 0.2;
    }
  const double omega = 6.283185307179586 * d.freq1;
  cell_real lambda1, lambda3, mu1, mu3, mu13, b1, b2, m, d3;
  cell_real p11, p12, p13, p22, p23, p33, f11, f12, f22;
  e_modulus(d.nx, d.ny, matnum, d.phi_a_m, phiw, d.s3, d.akf, d.eta, omega, d.ak_air,
            d.xmu_air, d.ak_s3, d.xmu_s3, d.ak_s1, d.xmu_s1, d.key_model, lambda1, lambda3, mu1,
            mu3, mu13, b1, b2, m, d3, out);
  double s1, s3, phi1, phi3;
  mass_visco_coef(d.nx, d.ny, matnum, d.phi_a_m, phiw, d.s3, d.eta, d.key_model, d.ro1, d.ro2,
                  d.ro3, d.capa_1_0, d.capa_3_0, d.rs1, d.rs3, d.coef_b13, p11, p12, p13, p22,
                  p23, p33, f11, f12, f22, s1, s3, phi1, phi3, out);
  wave_values w{};
  veloc_aten(d.nx, d.ny, omega, p11, p12, p13, p22, p23, p33, f11, f12, f22, lambda1, lambda3,
             mu1, mu3, mu13, b1, b2, m, d3, w, out);
  return w;
}

void expect_sensible(const char* name, int key_model) {
  const deck d = read_deck(name);
  EXPECT_EQ(d.key_model, key_model);
  EXPECT_EQ(d.nx, 10);
  EXPECT_EQ(d.ny, 10);
  for (int i = 0; i < d.nmat; ++i) {
    if (key_model == 0) {
      EXPECT_LT(d.phi_layer_m[i], d.phi_a_m[i]);
      EXPECT_GT(d.phi_a_m[i], 0.2);
    }
  }
  std::ostringstream out;
  wave_values w{};
  try {
    w = run_deck(d, out);
  } catch (const run_stop& s) {
    FAIL() << name << " stopped with " << s.code << " " << s.message << "\n" << out.str();
  }
  EXPECT_EQ(out.str().find("neg. lambda1"), std::string::npos);
  EXPECT_GT(w.vp1, 1500.0);
  EXPECT_LT(w.vp1, 6500.0);
  EXPECT_GT(w.vs1, 0.0);
  EXPECT_GE(w.qinv_p1, 0.0);
}

}  // namespace

TEST(ExampleDecks, PermafrostPassesEveryCheck) { expect_sensible("permafrost.deck", 0); }

TEST(ExampleDecks, ShaleySandPassesEveryCheck) { expect_sensible("shaley_sand.deck", 1); }
