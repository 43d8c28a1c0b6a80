// The point list of a study and the values of a completed point.
#include <cmath>
#include <stdexcept>

#include "study/study.h"

namespace study {

std::vector<double> log_sweep(double f1, double f2, int n) {
  if (!core::valid_frequency(f1) || !core::valid_frequency(f2))
    throw std::invalid_argument("the frequencies of a sweep must be positive and finite");
  if (n < 1) throw std::invalid_argument("a sweep needs at least one point");
  if (n == 1) return {f1};
  std::vector<double> f(static_cast<std::size_t>(n));
  const double l1 = std::log10(f1), l2 = std::log10(f2);
  for (int i = 0; i < n; ++i) f[i] = std::pow(10.0, l1 + i * (l2 - l1) / (n - 1));
  // The ends exactly as given, not as the powers round them.
  f.front() = f1;
  f.back() = f2;
  return f;
}

std::vector<double> deck_frequencies(const deck_values& deck) {
  if (deck.nfreq < 2) return {deck.freq1};
  if (!(deck.freq2 > 0))
    throw std::invalid_argument("the deck's freq2 must be positive for its rule of " +
                                std::to_string(deck.nfreq) + " frequencies");
  return log_sweep(deck.freq1, deck.freq2, deck.nfreq);
}

std::vector<point> cross(const std::vector<double>& freqs, const std::vector<named_field>& fields) {
  std::vector<point> points;
  points.reserve(freqs.size() * fields.size());
  for (double f : freqs)
    for (const named_field& w : fields) points.push_back({f, w});
  return points;
}

row_values values_of(const core::point_result& r) {
  const core::effective_modulus& m = r.main;
  row_values v{m.velocity,   m.qinv,           m.modulus.real(), m.modulus.imag(), r.density,
               r.plane.vp1, r.plane.qinv_p1, std::nullopt,     std::nullopt};
  if (r.test == core::fe_test::per_solid) {
    v[first_top_value] = r.top.velocity;
    v[first_top_value + 1] = r.top.qinv;
  }
  return v;
}

}  // namespace study
