// The example decks through the rock physics and the plane waves with the
// water proportion 0.2 of every cell: no stop, fast P wave between the fluid
// and mineral speeds.
#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <sstream>
#include <string>

#include "common/report.h"
#include "input/input.h"
#include "plane_waves/plane_waves.h"
#include "rock_physics/rock_physics.h"

TEST(ExampleDecks, PassEveryCheck) {
  for (const std::string name : {"permafrost.deck", "shaley_sand.deck"}) {
    std::ifstream in(std::string(V2PFL_EXAMPLES) + "/" + name);
    ASSERT_TRUE(in.good()) << name;
    double freq1, freq2, domain_size, h;
    int nfreq, nx, ny, key, nmat, model;
    std::array<int, 2> nl{};
    per_material akf, ro2, eta, ro1, ro3, phi_a, phi_layer, capa_1_0, capa_3_0, s3, rs1, rs3,
        b13, ak_air, xmu_air, ak_s1, xmu_s1, ak_s3, xmu_s3;
    std::ostringstream out;
    readata(freq1, freq2, nfreq, domain_size, nx, ny, key, nmat, akf, ro2, eta, ro1, ro3, phi_a,
            phi_layer, capa_1_0, capa_3_0, s3, rs1, rs3, b13, ak_s1, xmu_s1, ak_s3, xmu_s3,
            ak_air, xmu_air, model, h, nl, in, out);
    EXPECT_EQ(key, name == "permafrost.deck" ? 0 : 1);
    cell_int matnum{nx, ny};
    cell_real phiw{nx, ny}, lambda1{nx, ny}, lambda3{nx, ny}, mu1{nx, ny}, mu3{nx, ny},
        mu13{nx, ny}, b1{nx, ny}, b2{nx, ny}, m{nx, ny}, d3{nx, ny};
    cell_real p11{nx, ny}, p12{nx, ny}, p13{nx, ny}, p22{nx, ny}, p23{nx, ny}, p33{nx, ny},
        f11{nx, ny}, f12{nx, ny}, f22{nx, ny};
    for (int k = 1; k <= ny; ++k)
      for (int j = 1; j <= nx; ++j) matnum(j, k) = 1, phiw(j, k) = 0.2;
    const double omega = 6.283185307179586 * freq1;
    double s1_last, s3_last, phi1, phi3;
    wave_values w{};
    try {
      e_modulus(nx, ny, matnum, phi_a, phiw, s3, akf, eta, omega, ak_air, xmu_air, ak_s3, xmu_s3,
                ak_s1, xmu_s1, key, lambda1, lambda3, mu1, mu3, mu13, b1, b2, m, d3, out);
      mass_visco_coef(nx, ny, matnum, phi_a, phiw, s3, eta, key, ro1, ro2, ro3, capa_1_0,
                      capa_3_0, rs1, rs3, b13, p11, p12, p13, p22, p23, p33, f11, f12, f22,
                      s1_last, s3_last, phi1, phi3, out);
      veloc_aten(nx, ny, omega, p11, p12, p13, p22, p23, p33, f11, f12, f22, lambda1, lambda3,
                 mu1, mu3, mu13, b1, b2, m, d3, w, out);
    } catch (const run_stop& s) {
      ADD_FAILURE() << name << " stopped with " << s.code << " " << s.message;
    }
    EXPECT_EQ(out.str().find("neg. lambda1"), std::string::npos) << name;
    EXPECT_GT(w.vp1, 1500.0) << name;
    EXPECT_LT(w.vp1, 6500.0) << name;
    EXPECT_GT(w.vs1, 0.0) << name;
    EXPECT_GE(w.qinv_p1, 0.0) << name;
  }
}
