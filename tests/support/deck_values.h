// The values of a deck text. Shared by the tests and
// the benchmarks.
#pragma once

#include <sstream>
#include <string>

#include "input/input.h"

inline deck_values deck_values_of(const std::string& text) {
  std::istringstream in(text);
  return readata(in).values;
}
