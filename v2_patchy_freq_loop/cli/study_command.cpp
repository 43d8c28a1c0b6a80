// The study subcommand: the deck and the water fields read, the point list
// built, and the table computed into the output directory.
#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <stdexcept>

#include "cli/cli.h"
#include "cli/commands.h"
#include "cli/lists.h"
#include "common/report.h"
#include "driver/report.h"
#include "input/input.h"
#include "study/table_run.h"

namespace cli {

namespace {

// The deck file's bytes, read no further than max_deck_bytes.
std::string file_text(const std::string& path) {
  errno = 0;
  std::ifstream in(path, std::ios::binary);
  if (!in)
    throw run_stop{stop_bad_deck, "cannot read deck \"" + path + "\": " + std::strerror(errno)};
  return bounded_deck_text(in, "deck \"" + path + "\"");
}

// The last non-empty line of a report, trimmed: what a stop said last.
std::string last_line(const std::string& report) {
  std::istringstream in(report);
  std::string last;
  for (std::string line; std::getline(in, line);)
    if (line.find_first_not_of(' ') != std::string::npos) last = line.substr(line.find_first_not_of(' '));
  return last;
}

// The deck values, its echo discarded and its warnings written on err; a
// stop of the reading names the deck.
deck_values deck_of(const std::string& path, const std::string& text, std::ostream& err) {
  std::istringstream in(text);
  try {
    const deck_reading reading = readata(in);
    for (const std::string& warning : reading.warnings) err << warning << '\n';
    return reading.values;
  } catch (const deck_stop& stop) {
    std::ostringstream echo;
    report_deck_stop(echo, stop);
    throw run_stop{stop.code, "deck \"" + path + "\": " +
                                  (stop.message.empty() ? "stop " + std::to_string(stop.code) +
                                                              ": " + last_line(echo.str())
                                                        : stop.message)};
  }
}

study::named_field uniform(const deck_values& d, double w) {
  return {free_real(w), std::make_shared<core::water_field>(core::uniform_field(d.nx, d.ny, w))};
}

study::named_field from_file(const deck_values& d, const std::string& path) {
  return {path,
          std::make_shared<core::water_field>(core::read_water_file(path, d.nx, d.ny))};
}

// The fields of the study: each --water value, then each --phiw file; by
// default the batch run's field.
std::vector<study::named_field> fields(const deck_values& d, const study_args& a) {
  std::vector<study::named_field> f;
  for (const std::string& list : a.water)
    for (double w : parse_waters(list)) f.push_back(uniform(d, w));
  for (const std::string& path : a.phiw) f.push_back(from_file(d, path));
  if (f.empty()) f.push_back(d.model == 1 ? from_file(d, water_file_name) : uniform(d, core::batch_water_proportion));
  return f;
}

// The frequencies given, or the deck's own.
std::vector<double> frequencies(const deck_values& d, std::vector<double> given,
                                const std::string& deck_path) {
  if (!given.empty()) return given;
  try {
    return study::deck_frequencies(d);
  } catch (const std::invalid_argument& e) {
    throw run_stop{stop_bad_deck, "deck \"" + deck_path + "\": " + e.what()};
  }
}

}  // namespace

int study_command(const study_args& a, std::ostream& err, bool err_is_terminal) {
  try {
    // The lists first: a bad option is refused before any file is read.
    std::vector<double> freqs;
    if (a.freq_given) freqs = parse_frequencies(a.freq);
    for (const std::string& list : a.water) parse_waters(list);
    const study::shard part = a.shard.empty() ? study::shard{} : parse_shard(a.shard);
    const core::fe_test test = parse_test(a.test);

    const std::string text = file_text(a.deck);
    const deck_values deck = deck_of(a.deck, text, err);
    freqs = frequencies(deck, std::move(freqs), a.deck);
    const std::vector<study::point> points = study::cross(freqs, fields(deck, a));

    const study::table_job job{a.dir, part, a.resume, a.maps, a.threads, test, text,
                               std::string(version_text())};
    const study::table_outcome out = study::run_table(deck, points, job, &err, err_is_terminal);
    return out.stopped == 0 ? study::status_done : study::status_points_stopped;
  } catch (...) {
    return failure_status(err);
  }
}

}  // namespace cli
