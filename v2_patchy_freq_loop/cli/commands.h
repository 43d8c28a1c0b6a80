// The subcommands of the command line, once their options are parsed. Each
// returns the exit status and writes its one-line diagnostics to `err`.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace cli {

struct study_args {
  std::string deck, dir, freq, shard, test = "platen";
  bool freq_given = false;  // --freq given (even empty)
  std::vector<std::string> water, phiw;
  int threads = 0;
  bool maps = false, resume = false;
};
int study_command(const study_args& a, std::ostream& err, bool err_is_terminal);

int merge_command(const std::string& dir, std::ostream& err);

struct run_args {
  std::string deck, dir = ".", phiw;
};
int run_command(const run_args& a, std::ostream& out, std::ostream& err);

// The exit status and one-line diagnostic of the exception being handled
// (run_stop, usage_error, table_mismatch, any other failure).
int failure_status(std::ostream& err);

}  // namespace cli
