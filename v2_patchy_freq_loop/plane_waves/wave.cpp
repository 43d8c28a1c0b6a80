#include "plane_waves/wave.h"

#include <cmath>

namespace {

// 2 pi times 8.685889 dB per neper: attenuation per wavelength in dB.
constexpr double db_per_wavelength = 54.57505014459279;

}  // namespace

// The wave of squared complex slowness lambda (principal square root).
wave from_squared_slowness(cplx lambda) {
  const cplx sigma = std::sqrt(lambda);
  wave w;
  w.v = 1.0 / sigma.real();
  w.at = db_per_wavelength * std::abs(sigma.imag() / sigma.real());
  w.q = std::abs(sigma.real() / sigma.imag());
  w.qinv = 1000.0 / w.q;
  return w;
}

// Faster wave first; a tie keeps the first.
void order_pair(const wave& first, const wave& second, wave& fast, wave& slow) {
  if (second.v > first.v) {
    fast = second;
    slow = first;
  } else {
    fast = first;
    slow = second;
  }
}

