// The column update on 256-bit vectors (built with -mavx2, without FMA).
#include "yale/column_update_lanes.h"

void yale_blocked::column_update_avx2(const column_update& c) { update<f64x4, i64x4>(c); }
