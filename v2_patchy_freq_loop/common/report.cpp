#include "common/report.h"

#include <charconv>
#include <cmath>

std::string free_real(double x) {
  if (std::isnan(x)) return "NaN";
  if (std::isinf(x)) return x > 0 ? "Infinity" : "-Infinity";
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, x);
  return std::string(buf, res.ptr);
}

const char* run_stop::what() const noexcept {
  return message.empty() ? "the computation stopped (the report states why)" : message.c_str();
}
