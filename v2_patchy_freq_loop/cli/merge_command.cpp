// The merge subcommand, and the exit status of a failed subcommand.
#include <filesystem>
#include <new>

#include "cli/cli.h"
#include "cli/commands.h"
#include "common/report.h"
#include "study/table_run.h"

namespace cli {

int merge_command(const std::string& dir, std::ostream& err) {
  try {
    const study::table_outcome out = study::merge_shards(dir);
    err << "merge: " << out.rows << " points into "
        << (std::filesystem::path(dir) / study::table_name({})).string() << " (" << out.stopped
        << " stopped)\n";
    return out.stopped == 0 ? status_done : status_points_stopped;
  } catch (...) {
    return failure_status(err);
  }
}

int failure_status(std::ostream& err) {
  try {
    throw;
  } catch (const run_stop& stop) {
    err << "v2_patchy_freq_loop: "
        << (stop.message.empty() ? "stop " + std::to_string(stop.code) : stop.message) << '\n';
    return stop.code;
  } catch (const usage_error& e) {
    err << "v2_patchy_freq_loop: " << e.what() << '\n';
    return status_usage;
  } catch (const study::table_mismatch& e) {
    err << "v2_patchy_freq_loop: " << e.what() << '\n';
    return study::status_refused;
  } catch (const std::bad_alloc&) {
    err << "v2_patchy_freq_loop: out of memory\n";
    return stop_internal_failure;
  } catch (const std::exception& e) {
    err << "v2_patchy_freq_loop: internal failure: " << e.what() << '\n';
    return 1;
  }
}

}  // namespace cli
