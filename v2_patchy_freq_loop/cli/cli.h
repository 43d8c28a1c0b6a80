// The command line of the program: the subcommands run, study and merge.
#pragma once

#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "cli/commands.h"
#include "common/stop_codes.h"

namespace cli {
// A bad list or range of the command line (exit status status_usage);
// what() says what is wrong.
struct usage_error : std::invalid_argument {
  using std::invalid_argument::invalid_argument;
};

// The program and its version, as --version prints them.
std::string_view version_text();
}  // namespace cli

// What a terminal can show: progress is redrawn in place there.
struct cli_streams {
  bool err_is_terminal = false;
};

// The command line parsed, nothing run: the subcommand ("run", "study" or
// "merge") with its options, or, when the parse itself ends the program
// (help, version, usage error), `command` empty and the exit `status`.
struct cli_request {
  std::string command;
  int status = status_done;
  cli::run_args run;
  cli::study_args study;
  std::string merge_dir;
};

// Parses `args` (args[0] the program name); help and version text go to
// `out`, the one-line usage error to `err`.
cli_request parse_cli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// Runs the command line `args` (args[0] the program name); returns the exit
// status. Results go to standard output and to files; diagnostics, progress
// and summaries to standard error.
int run_cli(const std::vector<std::string>& args, const cli_streams& streams);
