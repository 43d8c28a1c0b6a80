// Fuzzing the command line's parse step: the input's lines are the words of
// argv (after the program name). Every input ends in a documented status with
// a one-line message, or in a subcommand whose lists hold only valid values
// (frequencies finite and > 0, at most max_sweep_points of a rule, water in
// [0, 1), a shard 0 <= I < N). Nothing is run and no file is touched.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/lists.h"

namespace {

// Aborts (a finding) unless `ok`.
void require(bool ok) {
  if (!ok) std::abort();
}

std::vector<std::string> words(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> args{"v2_patchy_freq_loop"};
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  for (std::string line; std::getline(in, line);) args.push_back(line);
  return args;
}

// The study's lists, parsed as the study subcommand parses them first.
void check_lists(const cli::study_args& a) {
  try {
    if (a.freq_given) {
      const std::vector<double> f = cli::parse_frequencies(a.freq);
      require(!f.empty() && f.size() <= a.freq.size() + cli::max_sweep_points);
      for (double x : f) require(std::isfinite(x) && x > 0);
    }
    for (const std::string& list : a.water)
      for (double w : cli::parse_waters(list)) require(w >= 0 && w < 1);
    if (!a.shard.empty()) {
      const study::shard s = cli::parse_shard(a.shard);
      require(s.count >= 1 && s.index >= 0 && s.index < s.count);
    }
  } catch (const cli::usage_error& e) {
    const std::string message = e.what();
    require(!message.empty() && message.find('\n') == std::string::npos);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::ostringstream out, err;
  const cli_request r = parse_cli(words(data, size), out, err);
  if (r.command.empty()) {
    require(r.status == status_done || r.status == status_usage);
    // A usage error is one line; help and version say nothing on err.
    const std::string e = err.str();
    if (r.status == status_usage)
      require(!e.empty() && e.find('\n') == e.size() - 1);
    else
      require(e.empty() && !out.str().empty());
    return 0;
  }
  require(r.command == "run" || r.command == "study" || r.command == "merge");
  if (r.command == "study") {
    require(r.study.threads >= 0 && r.study.threads <= 4096);
    check_lists(r.study);
  }
  return 0;
}
