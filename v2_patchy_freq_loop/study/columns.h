// The columns of the study table and the exit statuses of a study or a
// merge, each listed once: the table writer and readers, the provenance
// file, the command line and the Python module take them from here.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "common/stop_codes.h"

namespace study {

// A column of the table: its header name, its unit ("" for none) and what
// it holds.
struct column {
  std::string_view name, unit, meaning;
};

inline constexpr std::array<column, 14> table_columns{{
    {"point", "", "point index, 0 … (frequencies × fields) − 1, frequency outer"},
    {"freq_hz", "Hz", "frequency"},
    {"field", "", "the water value of a uniform field, or the water-field file as given"},
    {"test", "", "the compressibility test of the point: platen or per-solid"},
    {"vp_m_s", "m/s",
     "P-wave velocity of the sample's modulus under the test (per-solid: the modulus of the "
     "cell averages of stress and strain)"},
    {"inv_q_x1000", "1", "1000/Q of that modulus, 1000·Im M/Re M"},
    {"m_re_pa", "Pa", "real part of that modulus M"},
    {"m_im_pa", "Pa", "imaginary part of M (> 0 for a lossy sample, time factor e^{+iωt})"},
    {"density_kg_m3", "kg/m³",
     "density of the velocity (platen: mean over cells of each cell's own density; "
     "per-solid: the average density rob_med)"},
    {"vp1_plane_m_s", "m/s", "fast P plane wave of cell (nx, ny): velocity"},
    {"inv_q1_plane_x1000", "1", "fast P plane wave of cell (nx, ny): 1000/Q"},
    {"vp_top_m_s", "m/s",
     "per-solid: velocity from the volume change of the top face; platen: empty"},
    {"inv_q_top_x1000", "1", "per-solid: 1000/Q from the volume change of the top face; platen: empty"},
    {"stop", "", "40 for a completed point, else the code it stopped with (its values empty)"},
}};

// The value columns: vp_m_s … inv_q_top_x1000.
inline constexpr std::size_t first_value_column = 4, value_columns = 9;
// Within them, the pair only the per-solid test fills.
inline constexpr std::size_t first_top_value = 7;

// The header line of a table (without its line end): the column names
// joined by commas.
const std::string& table_header();

// An exit status of `study` or `merge` and what it means.
struct exit_status {
  int code;
  std::string_view meaning;
};

using ::status_done;            // common/stop_codes.h
using ::status_points_stopped;
using ::status_refused;
using ::status_usage;

inline constexpr std::array<exit_status, 11> exit_statuses{{
    {status_done, "the table is complete and every point completed"},
    {status_points_stopped,
     "the table is complete, some points stopped (their codes are in the `stop` column)"},
    {1, "out of memory (also while reading a table: never a shorter table), or an unexpected "
        "internal failure"},
    {2, "the deck cannot be read, is over 1 MiB or holds a bad value (the message names the "
        "file, line and field), or its `freq2` ≤ 0 where its frequency rule needs it"},
    {3, "a water-field file is missing, short or unreadable (the message names the file and "
        "line)"},
    {4, "a write failed, or a table, fingerprint, map or provenance file is not a regular "
        "file (a symbolic link, a FIFO, a directory): the message names the file"},
    {status_refused,
     "`--resume` or `merge` refused: a table, fingerprint or shard of another deck, point list, "
     "test or split, a row the fingerprint does not record, a malformed row or name, a line or "
     "file over its limit, a missing, duplicated or partial shard; or another study or merge "
     "is writing the same table (its lock is held)"},
    {9, "the ordering of the grid's system failed: no point can be computed"},
    {11, "the deck fails the ice-model check: no point can be computed"},
    {status_usage,
     "bad command line: unknown subcommand or option, missing argument, a bad list, range, "
     "test or shard"},
    {99, "the symbolic factorization of the grid's system failed: no point can be computed"},
}};

}  // namespace study
