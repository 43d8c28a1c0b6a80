#include "plane_waves/velocity_checks.h"

#include "common/report.h"

namespace {

// Names the velocity and stops with `code` unless v > 0 (NaN fails).
void check_one(waves_record& record, const char* name, double v, int code) {
  if (v > 0.0) return;
  record.failure = waves_record::bad_velocity{name, v};
  throw run_stop{code, ""};
}

}  // namespace

// A wave without a positive phase velocity has no physical meaning.
void check_velocities(const wave_values& w, waves_record& record) {
  check_one(record, "vp1", w.vp1, stop_velocity_first + 0);
  check_one(record, "vp2", w.vp2, stop_velocity_first + 1);
  check_one(record, "vp3", w.vp3, stop_velocity_first + 2);
  check_one(record, "vs1", w.vs1, stop_velocity_first + 3);
  check_one(record, "vs2", w.vs2, stop_velocity_first + 4);
}
