// The command line parsed by CLI11: the subcommands, their options and
// help, and the version; nothing is run here.
#include "cli/cli.h"

#include <CLI/CLI.hpp>

#include "common/report.h"
#include "common/water.h"
#include "v2pfl_version.h"

namespace {

constexpr const char* program = "v2_patchy_freq_loop";
constexpr const char* version = "v2_patchy_freq_loop " V2PFL_VERSION;
constexpr int max_threads = 4096;

void add_run(CLI::App& app, cli::run_args& a) {
  CLI::App* run = app.add_subcommand(
      "run", "The batch run's point on a deck file: the report on standard output, every "
             "result file in DIR. Exit status 0 on a normal end; a stop code of 1 ... 99 "
             "(2 deck, 3 water file, 4 write, 11 ice-model check, ...) is the status; a "
             "larger one gives 7 and is named on standard error.");
  run->add_option("DECK", a.deck, "input deck file")->required();
  run->add_option("-o,--output", a.dir, "directory of the result files (created when missing)")
      ->capture_default_str();
  run->add_option("--phiw", a.phiw,
                  std::string("water field file: the field of the run whatever the deck's model "
                              "(in place of the layered field of model 0 or ") +
                      water_file_name + " of model 1)");
}

void add_study(CLI::App& app, cli::study_args& a) {
  CLI::App* study = app.add_subcommand(
      "study", "Every frequency with every water field (frequency outer), one row per point "
               "in DIR/study.csv, on several threads.");
  study->add_option("DECK", a.deck, "input deck file")->required();
  study->add_option("-o,--output", a.dir, "output directory (created when missing)")
      ->required();
  study->add_option("--freq", a.freq,
                    "F1:F2:N (N points of the logarithmic rule from F1 to F2) or f1,f2,... "
                    "(Hz; default: the deck's rule from freq1 to freq2 in nfreq points)");
  study->add_option("--water", a.water, "uniform water fields w1,w2,... (each in [0, 1))");
  study->add_option("--phiw", a.phiw, "water field files, one field each");
  study->add_option("-j,--threads", a.threads, "threads (default: one per core)")
      ->check(CLI::Range(1, max_threads));
  study->add_flag("--maps", a.maps, "each point's cell maps in DIR/point_NNNN/");
  study->add_flag("--resume", a.resume, "keep the rows already in the table; compute the rest");
  study->add_option("--test", a.test,
                    "the compressibility test of every point: platen (a rigid frictionless "
                    "platen on the top face, the load-conjugate modulus: 1000/Q >= 0) or "
                    "per-solid (the batch run's test and its rows)")
      ->capture_default_str();
  study->add_option("--shard", a.shard,
                    "I/N: only the points whose index is I modulo N, into "
                    "study.shard-I-of-N.csv");
}

void add_merge(CLI::App& app, std::string& dir) {
  CLI::App* merge = app.add_subcommand(
      "merge", "Merges the shard tables study.shard-I-of-N.csv of DIR into DIR/study.csv.");
  merge->add_option("DIR", dir, "directory holding the shard tables")->required();
}

bool has_subcommand(const CLI::App& app, const std::string& name) {
  try {
    app.get_subcommand(name);
    return true;
  } catch (const CLI::OptionNotFound&) {
    return false;
  }
}

// The help or version text on `out`; a failed write of it fails.
int print(const CLI::App& app, const CLI::ParseError& e, std::ostream& out, std::ostream& err) {
  app.exit(e, out, err);
  out.flush();
  if (!out) {
    err << program << ": cannot write standard output\n";
    return stop_write_failed;
  }
  return status_done;
}

}  // namespace

std::string_view cli::version_text() { return version; }

cli_request parse_cli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  CLI::App app("Rock-physics simulator: P-wave velocity and 1000/Q of a porous-rock sample. "
               "Without arguments: the batch run (deck on standard input).",
               program);
  app.set_version_flag("--version", version);
  app.require_subcommand(1);
  cli_request p;
  add_run(app, p.run);
  add_study(app, p.study);
  add_merge(app, p.merge_dir);

  if (args.size() > 1 && !args[1].starts_with('-') && !has_subcommand(app, args[1])) {
    err << program << ": unknown subcommand \"" << args[1]
        << "\" (run, study or merge; see --help)\n";
    p.status = status_usage;
    return p;
  }
  std::vector<std::string> reversed(args.rbegin(), args.rend() - 1);
  try {
    app.parse(reversed);
  } catch (const CLI::Success& e) {  // --help, --help-all or --version
    p.status = print(app, e, out, err);
    return p;
  } catch (const CLI::ParseError& e) {
    err << program << ": " << e.what() << " (see --help)\n";
    p.status = status_usage;
    return p;
  }
  for (const char* name : {"run", "study", "merge"})
    if (app.got_subcommand(name)) p.command = name;
  p.study.freq_given = app.get_subcommand("study")->count("--freq") > 0;
  return p;
}
