// Model input: the input deck and the material map of the cell grid.
#pragma once

#include <array>
#include <filesystem>
#include <fstream>
#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include "common/arrays.h"
#include "common/report.h"
#include "common/water.h"
#include "input/deck.h"

// The largest deck taken, in bytes: a deck needs some 2 kB, so the limit
// refuses absurd input before it is read.
inline constexpr std::size_t max_deck_bytes = 1 << 20;

// The most frequencies of the deck's rule (nfreq): a mistyped count is
// refused rather than allocated.
inline constexpr int max_sweep_points = 100000;

// A deck read: its values and the warnings of its reading, one line each.
struct deck_reading {
  deck_values values;
  std::vector<std::string> warnings;
};

// A deck whose reading stopped: the stop, and how far the reading got
// (what the report echoes before the stop): the values read up to it,
// whether the nine header values were read whole, and the material whose
// ice-model check stopped it (code 11; 0 for any other stop).
struct deck_stop : run_stop {
  deck_stop(const run_stop& stop, const deck_values& values, bool header, int ice)
      : run_stop(stop), read(values), header_read(header), ice_material(ice) {}
  deck_values read;
  bool header_read;
  int ice_material;
};

// Reads the input deck from `in` and derives the cell side
// h = domain_size / ny. A bad value, or a deck past max_deck_bytes, throws
// deck_stop (code 2) naming the deck line and field; the ice-model check
// stops with code 11. A real written without a decimal point whose implied
// decimals change it gives a warning.
deck_reading readata(std::istream& in);

// The whole text of a deck, read from `in` up to max_deck_bytes; a longer
// or unreadable input stops the run (code 2) with a message naming
// `source`, the deck as messages name it (e.g. deck "a.deck").
std::string bounded_deck_text(std::istream& in, const std::string& source);

// The geometry of the layered numbering: cells per layer, whole periods
// in the grid's height and the layers' thicknesses (m).
struct layer_geometry {
  std::array<int, 2> nl;
  int ny;
  double h;
  int nper;
  std::array<double, 2> thickness;
};

// Periodic two-layer material numbering of matnum's nx x ny cells with
// cell side h; returns its geometry.
layer_geometry makematnum(int nx, int ny, const std::array<int, 2>& nl, double h,
                          cell_int& matnum);

// Water proportion of every cell: two horizontal halves (model 0) or, for
// model 1, the cell lines of the water-field file, read from `water`;
// `source` names the file in the message of a bad record.
void porosity(int nx, int ny, const per_material& phi_layer_m, int model, cell_real& phiw,
              std::istream& water, const std::string& source = water_file_name);

// The largest water-distribution file taken: a record needs some 30 bytes,
// so the limit is far beyond any grid's need and refuses absurd files
// before they are read.
inline constexpr long long max_water_file_bytes = 64LL << 20;

// Opens the water file `name` for porosity; a missing or unreadable file, a
// directory, a FIFO or any other file that is not a regular file (it could
// block the read), or a file past the size limit stops the run (code 3).
void open_water_file(std::ifstream& water, const std::filesystem::path& name);
