// The command line run: parsed, then the chosen subcommand executed.
#include "cli/cli.h"

#include <iostream>

int run_cli(const std::vector<std::string>& args, const cli_streams& streams) {
  const cli_request p = parse_cli(args, std::cout, std::cerr);
  if (p.command == "run") return cli::run_command(p.run, std::cout, std::cerr);
  if (p.command == "study") return cli::study_command(p.study, std::cerr, streams.err_is_terminal);
  if (p.command == "merge") return cli::merge_command(p.merge_dir, std::cerr);
  return p.status;
}
