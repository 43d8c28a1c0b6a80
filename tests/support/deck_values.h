// The values of a deck text, its echo discarded. Shared by the tests and
// the benchmarks.
#pragma once

#include <sstream>
#include <string>

#include "input/input.h"

inline deck_values deck_values_of(const std::string& text) {
  std::istringstream in(text);
  std::ostringstream echo;
  return readata(in, echo).values;
}
