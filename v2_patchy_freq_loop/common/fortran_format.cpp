#include "common/fortran_format.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

// Digits d1...dn and exponent e of the value 0.d1...dn * 10^e.
struct decimal_digits {
  std::string digits;
  int exponent;
};

// |x| correctly rounded to n >= 1 significant digits (zero has exponent 0).
decimal_digits round_significant(double ax, int n) {
  if (ax == 0) return {std::string(static_cast<std::size_t>(n), '0'), 0};
  std::string text(static_cast<std::size_t>(n) + 16, '\0');
  int len = std::snprintf(text.data(), text.size(), "%.*e", n - 1, ax);
  text.resize(static_cast<std::size_t>(len));
  std::size_t e = text.find('e');
  std::string digits = text.substr(0, 1) + (n > 1 ? text.substr(2, e - 2) : "");
  return {digits, std::atoi(text.c_str() + e + 1) + 1};
}

// A number field: optional sign, then `body`; drops the zero of a leading
// "0." if that makes it fit, otherwise w asterisks.
std::string fit_number(bool negative, const std::string& body, int w) {
  const std::string sign = negative ? "-" : "";
  std::string s = sign + body;
  if (static_cast<int>(s.size()) > w && body.starts_with("0.")) s = sign + body.substr(1);
  if (static_cast<int>(s.size()) > w) return std::string(static_cast<std::size_t>(w), '*');
  return std::string(static_cast<std::size_t>(w) - s.size(), ' ') + s;
}

// NaN or an infinity in a field of w characters.
std::string non_finite(double x, int w) {
  if (std::isnan(x)) return fit_number(false, "NaN", w);
  const bool negative = x < 0;
  if ((negative ? 9 : 8) <= w) return fit_number(negative, "Infinity", w);
  return fit_number(negative, "Inf", w);
}

// 10^n for integer n, by repeated multiplication (and one division for n < 0).
double power_of_ten(int n) {
  double p = 1;
  for (int i = 0; i < std::abs(n); ++i) p *= 10;
  return n >= 0 ? p : 1 / p;
}

// Decimals of the F form that Gw.d uses for ax > 0, or -1 when ax takes the
// E form. The decade is found by comparing ax with the rounding thresholds
// 10^(s-1)·(1 - 0.5·10^-d), each formed in double precision, a value equal
// to a threshold going to the upper decade; so a double that lies a hair
// below a decimal tie such as 99.9995 is written as 100.00.
int g_fixed_decimals(double ax, int d) {
  const double scale = 1 - 0.5 / power_of_ten(d);
  if (ax < 0.1 * scale || 0.5 >= power_of_ten(d) - ax) return -1;
  int s = 1;
  while (s <= d && ax >= power_of_ten(s - 1) * scale) ++s;
  return d + 1 - s;
}

}  // namespace

std::string fortran_e(double x, int w, int d) {
  if (!std::isfinite(x)) return non_finite(x, w);
  const decimal_digits r = round_significant(std::fabs(x), d);
  const int ae = std::abs(r.exponent);
  char exponent[8];
  std::snprintf(exponent, sizeof exponent, ae > 99 ? "%c%03d" : "E%c%02d",
                r.exponent < 0 ? '-' : '+', ae);
  return fit_number(std::signbit(x), "0." + r.digits + exponent, w);
}

std::string fortran_f(double x, int w, int d) {
  if (!std::isfinite(x)) return non_finite(x, w);
  const double ax = std::fabs(x);
  std::string text(static_cast<std::size_t>(std::snprintf(nullptr, 0, "%.*f", d, ax)), '\0');
  std::snprintf(text.data(), text.size() + 1, "%.*f", d, ax);
  if (d == 0) text += '.';
  return fit_number(std::signbit(x), text, w);
}

std::string fortran_g(double x, int w, int d) {
  if (!std::isfinite(x)) return non_finite(x, w);
  const double ax = std::fabs(x);
  const int decimals = ax == 0 ? d - 1 : g_fixed_decimals(ax, d);
  if (decimals < 0) return fortran_e(x, w, d);
  const std::string fixed = fortran_f(x, w - 4, decimals);
  if (fixed.front() == '*') return std::string(static_cast<std::size_t>(w), '*');
  return fixed + std::string(4, ' ');
}

std::string format_g15_pair(double a, double b) {
  return fortran_g(a, 15, 5) + "  " + fortran_g(b, 15, 5);
}
