// The velocity tests that end the plane-wave analysis of a cell (private
// to plane_waves).
#pragma once

#include <ostream>

#include "plane_waves/plane_waves.h"

// Stops the run at the first of vp1, vp2, vp3, vs1, vs2 that is not
// positive (NaN included), with codes 2000 ... 2004 in that order.
void check_velocities(const wave_values& w, std::ostream& out);
