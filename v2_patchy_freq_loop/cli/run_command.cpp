// The run subcommand: the legacy run on a deck file, its result files in a
// directory of choice.
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "cli/commands.h"
#include "common/report.h"
#include "driver/run.h"

namespace cli {

int run_command(const run_args& a, std::ostream& out, std::ostream& err) {
  errno = 0;
  std::ifstream deck(a.deck);
  if (!deck) {
    err << "v2_patchy_freq_loop: cannot read deck \"" << a.deck << "\": " << std::strerror(errno)
        << '\n';
    return stop_bad_deck;
  }
  std::error_code ec;
  std::filesystem::create_directories(a.dir, ec);
  if (ec) {
    err << "v2_patchy_freq_loop: cannot create output directory \"" << a.dir
        << "\": " << ec.message() << '\n';
    return stop_write_failed;
  }
  const int code = run_driver(deck, out, err, {0, a.dir, a.phiw, a.deck});
  out.flush();
  if (!out) {
    err << "v2_patchy_freq_loop: cannot write standard output\n";
    return stop_write_failed;
  }
  return code;
}

}  // namespace cli
