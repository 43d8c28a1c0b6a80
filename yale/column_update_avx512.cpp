// The column update on 512-bit vectors (built with -mavx512f, without FMA).
#include "yale/column_update_lanes.h"

void yale_blocked::column_update_avx512(const column_update& c) { update<f64x8, i64x8>(c); }
