// The run subcommand: one point at the deck's frequency, with the report on
// standard output and every result file in a directory of choice; its exit
// status follows the shell's convention (0 on a normal end).
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "cli/cli.h"
#include "cli/commands.h"
#include "common/report.h"
#include "driver/run.h"

namespace cli {

namespace {

// Stop codes up to this one are exit statuses of their own; a larger code
// does not fit in a status (or is a stop of the point's physics) and gives
// status_points_stopped, the code being named on standard error.
constexpr int largest_own_status = 99;

// The exit status of `run` for the stop code of its point.
int run_status(int stop_code) {
  if (stop_code == stop_normal) return status_done;
  return stop_code <= largest_own_status ? stop_code : status_points_stopped;
}

}  // namespace

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
  return run_status(code);
}

}  // namespace cli
