#include "rock_physics/rock_physics.h"

// Kuster-Toksoz effective bulk and shear moduli of a host with a dilute
// concentration c of spherical inclusions.
elastic_moduli kt(const elastic_moduli& host, const elastic_moduli& inclusion, double c) {
  const double km = host.k, mum = host.mu, ki = inclusion.k, mui = inclusion.mu;
  return {.k = km * (1.0 + 4.0 * c * mum * (ki - km) / ((3.0 * ki + 4.0 * mum) * km)) /
               (1.0 - 3.0 * c * (ki - km) / (3.0 * ki + 4.0 * mum)),
          .mu = mum *
                ((c * mui + (1.0 - c) * mum) * (9.0 * km + 8.0 * mum) +
                 mui * (6.0 * km + 12.0 * mum)) /
                (mum * (9.0 * km + 8.0 * mum) +
                 (6.0 * km + 12.0 * mum) * ((1.0 - c) * mui + c * mum))};
}
