#include <cerrno>
#include <cstring>
#include <string>

#include "common/report.h"
#include "input/input.h"

// Reads the deck in blocks until the input ends, refusing it as soon as it
// passes the limit.
std::string bounded_deck_text(std::istream& in, const std::string& source) {
  std::string text;
  char block[4096];
  errno = 0;
  while (in.read(block, sizeof block) || in.gcount() > 0) {
    text.append(block, static_cast<std::size_t>(in.gcount()));
    if (text.size() > max_deck_bytes) {
      throw run_stop{stop_bad_deck, source + ": more than " + std::to_string(max_deck_bytes) +
                                        " bytes, the limit of a deck"};
    }
  }
  if (in.bad()) {
    throw run_stop{stop_bad_deck,
                   "cannot read " + source + ": " + (errno != 0 ? std::strerror(errno) : "read error")};
  }
  return text;
}
