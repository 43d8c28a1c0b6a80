// The report of the batch run, formatted from the records the core returns.
#pragma once

#include <ostream>

#include "core/point.h"
#include "input/deck.h"
#include "input/input.h"
#include "plane_waves/plane_waves.h"
#include "rock_physics/rock_physics.h"

// The echo of deck d: its nine header values, its material blocks, the
// model and the mesh size.
void report_deck(std::ostream& out, const deck_values& d);

// The echo of a deck whose reading stopped, as far as the reading got: the
// header once read whole, then the ice-model lines of a stop 11.
void report_deck_stop(std::ostream& out, const deck_stop& s);

// The report of the layered numbering's geometry.
void report_layers(std::ostream& out, const layer_geometry& g);

// The moduli report of cell (1, 1), the cells whose lambda1 is not
// positive and the cell whose strain energy is not positive definite;
// `stop`: the code of the stop that ended the stage, 0 for none.
void report_moduli(std::ostream& out, const moduli_record& r, int stop);

// The fractions, mass and friction report of cell (1, 1), up to its stop
// (`stop`, 0 for none).
void report_masses(std::ostream& out, const mass_record& r, int stop);

// The plane-wave report: the angular frequency, the central cell, the
// first velocity that is not positive.
void report_waves(std::ostream& out, const waves_record& r);

// The report of a per-solid point of deck d computed as cycle `cycle`, up
// to its stop.
void report_point(std::ostream& out, const deck_values& d, int cycle,
                  const core::point_outcome& o);
