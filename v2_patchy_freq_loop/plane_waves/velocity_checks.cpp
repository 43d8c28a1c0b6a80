#include "plane_waves/velocity_checks.h"

#include <string>

#include "common/report.h"

namespace {

// Writes the message and stops with `code` unless v > 0 (NaN fails).
void check_one(std::ostream& out, const char* name, double v, int code) {
  if (v > 0.0) return;
  free_line(out, std::string(" error, ") + name + " is negative, " + name + " = ", v);
  throw run_stop{code, ""};
}

}  // namespace

// A wave without a positive phase velocity has no physical meaning.
void check_velocities(const wave_values& w, std::ostream& out) {
  check_one(out, "vp1", w.vp1, stop_velocity_first + 0);
  check_one(out, "vp2", w.vp2, stop_velocity_first + 1);
  check_one(out, "vp3", w.vp3, stop_velocity_first + 2);
  check_one(out, "vs1", w.vs1, stop_velocity_first + 3);
  check_one(out, "vs2", w.vs2, stop_velocity_first + 4);
}
