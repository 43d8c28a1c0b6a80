// The column update for the baseline instruction set of the build.
#include "yale/column_update_lanes.h"

void yale_blocked::column_update_portable(const column_update& c) { update<f64x2, i64x2>(c); }
