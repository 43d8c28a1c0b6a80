// The example decks with a grid of any size. Shared by the tests and the
// benchmarks.
#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "support/deck_values.h"

// The example deck `name` (permafrost, shaley_sand) with an nx x ny grid.
inline std::string deck_text(int nx, int ny, const std::string& name = "permafrost") {
  std::ifstream in(std::filesystem::path(V2PFL_EXAMPLES) / (name + ".deck"));
  std::ostringstream deck;
  std::string line;
  for (int number = 1; std::getline(in, line); ++number)
    deck << (number == 5 ? std::to_string(nx) : number == 6 ? std::to_string(ny) : line) << '\n';
  return deck.str();
}
inline std::string deck_text(int n) { return deck_text(n, n); }
