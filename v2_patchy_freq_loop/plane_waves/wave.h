// One plane wave of a squared complex slowness (private to plane_waves).
#pragma once

#include "common/arrays.h"
#include "plane_waves/plane_waves.h"  // wave

// The wave of squared complex slowness lambda (principal square root).
wave from_squared_slowness(cplx lambda);

// Faster wave first; a tie keeps the first.
void order_pair(const wave& first, const wave& second, wave& fast, wave& slow);
