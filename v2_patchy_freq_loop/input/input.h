// Model input: the input deck and the material map of the cell grid.
#pragma once

#include <array>
#include <filesystem>
#include <fstream>
#include <istream>
#include <ostream>
#include <string>

#include "common/arrays.h"
#include "common/water.h"
#include "input/deck.h"

// Reads the input deck from `in`, echoes it on `out` and derives the cell
// side h = domain_size / ny. A bad value throws run_stop naming the deck
// line and field; the ice-model check stops with code 11.
void readata(double& freq1, double& freq2, int& nfreq, double& domain_size, int& nx, int& ny,
             int& key_model, int& nmat, per_material& akf, per_material& ro2, per_material& eta,
             per_material& ro1, per_material& ro3, per_material& phi_a_m,
             per_material& phi_layer_m, per_material& capa_1_0, per_material& capa_3_0,
             per_material& s3, per_material& rs1, per_material& rs3, per_material& coef_b13,
             per_material& ak_s1, per_material& xmu_s1, per_material& ak_s3,
             per_material& xmu_s3, per_material& ak_air, per_material& xmu_air, int& model,
             double& h, std::array<int, 2>& nl, std::istream& in, std::ostream& out);

// Periodic two-layer material numbering of the grid, with its report.
void makematnum(int nx, int ny, const std::array<int, 2>& nl, std::array<double, 2>& thickness,
                double h, cell_int& matnum, std::ostream& out);

// Water proportion of every cell: two horizontal halves (model 0) or, for
// model 1, the cell lines of the water-field file, read from `water`;
// `source` names the file in the message of a bad record.
void porosity(int nx, int ny, const per_material& phi_layer_m, int model, cell_real& phiw,
              std::istream& water, const std::string& source = water_file_name);

// The whole deck read from `in` (readata), echoed on `out`.
deck_values read_deck(std::istream& in, std::ostream& out);

// The largest water-distribution file taken: a record needs some 30 bytes,
// so the limit is far beyond any grid's need and refuses absurd files
// before they are read.
inline constexpr long long max_water_file_bytes = 64LL << 20;

// Opens the water file `name` for porosity; a missing or unreadable file, a
// directory, a FIFO or any other file that is not a regular file (it could
// block the read), or a file past the size limit stops the run (code 3).
void open_water_file(std::ifstream& water, const std::filesystem::path& name);
