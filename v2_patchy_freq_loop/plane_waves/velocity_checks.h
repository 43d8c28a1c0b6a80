// The velocity tests that end the plane-wave analysis of a cell (private
// to plane_waves).
#pragma once

#include "plane_waves/plane_waves.h"

// Stops the run at the first of vp1, vp2, vp3, vs1, vs2 that is not
// positive (NaN included), with codes 2000 ... 2004 in that order, naming
// it in `record`.
void check_velocities(const wave_values& w, waves_record& record);
