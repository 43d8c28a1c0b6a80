// The command line of the program: the subcommands run, study and merge.
#pragma once

#include <string>
#include <vector>

namespace cli {
// Exit statuses of the command line beyond the stop codes of a run
// (documented in the README).
inline constexpr int status_done = 0;            // every point completed
inline constexpr int status_points_stopped = 7;  // the table is complete, some points stopped
inline constexpr int status_usage = 64;          // unknown option, bad list or range
}  // namespace cli

// What a terminal can show: progress is redrawn in place there.
struct cli_streams {
  bool err_is_terminal = false;
};

// Runs the command line `args` (args[0] the program name); returns the exit
// status. Results go to standard output and to files; diagnostics, progress
// and summaries to standard error.
int run_cli(const std::vector<std::string>& args, const cli_streams& streams);
