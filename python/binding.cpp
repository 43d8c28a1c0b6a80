// The Python binding of the computation (module v2pfl._core): the deck, the
// water file, the plan of a grid, the workspace of a thread and the
// computation of points. Stops of the computation come out as
// v2pfl.StopError, bad arguments as ValueError; the GIL is released while
// points are computed.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <cmath>
#include <exception>
#include <sstream>
#include <stdexcept>
#include <mutex>
#include <numbers>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/grid_limits.h"
#include "common/stop_codes.h"
#include "common/water.h"
#include "core/coefficients.h"
#include "core/effective_modulus.h"
#include "core/point.h"
#include "input/deck_rules.h"
#include "input/input.h"
#include "study/provenance.h"
#include "study/study.h"

namespace py = pybind11;

namespace {

// Raises v2pfl.StopError(code, message) for a stop of the computation.
[[noreturn]] void raise_stop(const run_stop& stop) {
  py::object cls = py::module_::import("v2pfl._errors").attr("StopError");
  py::object error = cls(stop.code, stop.message);
  PyErr_SetObject(cls.ptr(), error.ptr());
  throw py::error_already_set();
}

// The deck as a dict of its names (per-material values as pairs).
py::dict deck_dict(const deck_values& d) {
  py::dict out;
  out["freq1"] = d.freq1;
  out["freq2"] = d.freq2;
  out["nfreq"] = d.nfreq;
  out["domain_size"] = d.domain_size;
  out["nx"] = d.nx;
  out["ny"] = d.ny;
  out["key_model"] = d.key_model;
  out["model"] = d.model;
  out["nmat"] = d.nmat;
  out["nl"] = py::make_tuple(d.nl[0], d.nl[1]);
  for (const material_field& f : material_fields)
    out[f.name] = py::make_tuple((d.*f.values)[0], (d.*f.values)[1]);
  return out;
}

// Raises ValueError unless an nx x ny grid has cells and can be indexed.
void check_grid(int nx, int ny) {
  if (nx < 1 || ny < 1) throw std::invalid_argument("nx and ny must be at least 1");
  if (!grid_fits(nx, ny))
    throw std::invalid_argument(grid_refusal(nx, ny, "its system cannot be indexed"));
}

// Raises the Python exception of a stop: ValueError for a bad deck value,
// else StopError.
[[noreturn]] void raise_deck_stop(const run_stop& stop) {
  if (stop.code == stop_bad_deck) throw std::invalid_argument(stop.message);
  raise_stop(stop);
}

// Entry `name` of a deck dict as T; a value of another type raises TypeError
// naming the field (the Deck class converts its fields before they get here).
template <class T>
T field(const py::dict& in, const char* name) {
  try {
    return in[name].cast<T>();
  } catch (const py::cast_error&) {
    throw py::type_error(std::string("deck field ") + name + " has the wrong type");
  }
}

// The deck of a dict of read_deck's names, checked value by value as the
// deck reader checks a deck file; the cell side follows from domain_size and
// ny.
deck_values deck_of(const py::dict& in) {
  deck_values d;
  d.freq1 = field<double>(in, "freq1");
  d.freq2 = field<double>(in, "freq2");
  d.nfreq = field<int>(in, "nfreq");
  d.domain_size = field<double>(in, "domain_size");
  d.nx = field<int>(in, "nx");
  d.ny = field<int>(in, "ny");
  d.key_model = field<int>(in, "key_model");
  d.model = field<int>(in, "model");
  d.nmat = field<int>(in, "nmat");
  d.nl = field<std::array<int, 2>>(in, "nl");
  for (const material_field& f : material_fields) d.*f.values = field<per_material>(in, f.name);
  try {
    check_deck(d);
  } catch (const run_stop& stop) {
    raise_deck_stop(stop);
  }
  d.h = d.domain_size / d.ny;
  return d;
}

// Reads a deck from its text. Returns the values and
// the warnings of the reading. A bad deck (or one past max_deck_bytes)
// raises ValueError with the reader's message, the ice-model check
// StopError.
py::tuple read_deck_text(const std::string& text) {
  std::istringstream in(text);
  try {
    const deck_reading reading = readata(in);
    return py::make_tuple(deck_dict(reading.values), reading.warnings);
  } catch (const run_stop& stop) {
    raise_deck_stop(stop);
  }
}

// The shared, read-only plan of one grid.
struct plan_handle {
  std::shared_ptr<const core::grid_plan> plan;
};

// The test called `name` ("platen" or "per-solid"); another name raises ValueError.
core::fe_test test_of(const std::string& name) {
  if (const auto test = core::test_of_name(name)) return *test;
  throw std::invalid_argument("test must be " + std::string(core::test_name(core::fe_test::platen)) +
                              " or " + std::string(core::test_name(core::fe_test::per_solid)) +
                              ", not \"" + name + "\"");
}

plan_handle make_plan(int nx, int ny, const std::string& test) {
  check_grid(nx, ny);
  const core::fe_test t = test_of(test);
  try {
    py::gil_scoped_release unlocked;
    return {core::make_grid_plan(nx, ny, t)};
  } catch (const run_stop& stop) {
    raise_stop(stop);
  }
}

// The numeric storage of one thread on a plan, used by one point at a time.
struct workspace_handle {
  workspace_handle(const plan_handle& p, int threads)
      : plan(p.plan), ws(core::make_workspace(*p.plan, threads)) {}
  std::shared_ptr<const core::grid_plan> plan;
  std::unique_ptr<core::point_workspace> ws;
  std::mutex busy;
};

const std::string water_refusal =
    std::string("a water proportion of the field lies outside ") + uniform_water_range;

// A water field of an (ny, nx) array, row 0 the bottom row; every value must
// be a water proportion the computation takes (uniform_water_ok).
core::water_field water_of(const py::array_t<double, py::array::c_style | py::array::forcecast>& a,
                           int nx, int ny) {
  if (a.ndim() != 2 || a.shape(0) != ny || a.shape(1) != nx) {
    throw std::invalid_argument("the water field must have shape (ny, nx) = (" +
                                std::to_string(ny) + ", " + std::to_string(nx) + ")");
  }
  core::water_field f{nx, ny, std::vector<double>(a.data(), a.data() + a.size())};
  for (double w : f.v)
    if (!uniform_water_ok(w)) throw std::invalid_argument(water_refusal);
  return f;
}

// A cell map as an (ny, nx) array, row 0 the bottom row.
template <class T>
py::array_t<T> array_of(const core::cell_map<T>& m) {
  py::array_t<T> out({std::max(m.ny, 0), std::max(m.nx, 0)});
  std::copy(m.v.begin(), m.v.end(), out.mutable_data());
  return out;
}

// The scalar results of a point, as the columns of a study table (NaN for
// the values the point's test does not compute).
py::dict scalars_of(const core::point_result& r) {
  py::dict out;
  out["vp_avg"] = r.avg.velocity;
  out["inv_q_avg"] = r.avg.qinv;
  out["vp_top"] = r.top.velocity;
  out["inv_q_top"] = r.top.qinv;
  out["vp1_plane"] = r.plane.vp1;
  out["inv_q_plane"] = r.plane.qinv_p1;
  out["rob_med"] = r.rob_med;
  if (r.test == core::fe_test::platen) {
    // The estimators from solid 1 and their density belong to the per-solid test.
    for (const char* name : {"vp_avg", "inv_q_avg", "vp_top", "inv_q_top", "rob_med"})
      out[name] = std::nan("");
  }
  return out;
}

// The names of the table's value columns, vp_m_s ... inv_q_top_x1000.
py::list value_column_names() {
  py::list out;
  for (std::size_t i = 0; i < study::value_columns; ++i)
    out.append(std::string(study::table_columns[study::first_value_column + i].name));
  return out;
}

// The values of a completed point under the study table's value column
// names (study/columns.h); NaN where the point's test has none.
py::dict row_values_of(const core::point_result& r) {
  const study::row_values values = study::values_of(r);
  const py::list names = value_column_names();
  py::dict out;
  for (std::size_t i = 0; i < values.size(); ++i) out[names[i]] = values[i].value_or(std::nan(""));
  return out;
}

// The (ny, nx) water field of the water file `path`, read by the program's
// one water-file reader (regular files up to max_water_file_bytes, every
// record in range); a bad file raises ValueError with the reader's message.
py::array_t<double> read_water_file(const std::string& path, int nx, int ny) {
  check_grid(nx, ny);
  try {
    return array_of(core::read_water_file(path, nx, ny));
  } catch (const run_stop& stop) {
    throw std::invalid_argument(stop.message);
  }
}

// The table's columns, each a dict of its name, unit and meaning.
py::list columns() {
  py::list out;
  for (const study::column& c : study::table_columns) {
    py::dict d;
    d["name"] = std::string(c.name);
    d["unit"] = std::string(c.unit);
    d["meaning"] = std::string(c.meaning);
    out.append(d);
  }
  return out;
}

// The exit statuses of `study` and `merge` as (code, meaning) pairs.
py::list exit_statuses() {
  py::list out;
  for (const study::exit_status& e : study::exit_statuses)
    out.append(py::make_tuple(e.code, std::string(e.meaning)));
  return out;
}

// The provenance of a whole study as study.json holds it: `points` are
// (frequency in Hz, field name) pairs in point order, `wall_time_s` None
// while the study runs.
std::string provenance_of(const std::string& program, const std::string& deck_text,
                          const std::string& test, int threads, std::optional<double> wall_time_s,
                          const std::vector<std::pair<double, std::string>>& points) {
  std::vector<study::point> named;
  for (const auto& [freq, name] : points) named.push_back({freq, {name, nullptr}});
  return study::provenance_json({program, deck_text, test_of(test), {}, threads, wall_time_s},
                                named);
}

using field_array = py::array_t<double, py::array::c_style | py::array::forcecast>;

// Computes one point of `deck_in` on workspace `w`, the GIL released; a
// request the core refuses (core::point_fault) raises ValueError, a stop
// throws run_stop.
core::point_result point_of(const py::dict& deck_in, double freq, const field_array& field,
                            workspace_handle& w) {
  const deck_values deck = deck_of(deck_in);
  const core::water_field water = water_of(field, deck.nx, deck.ny);
  if (auto fault = core::point_fault(deck, freq, water, *w.plan))
    throw std::invalid_argument(fault->message);
  py::gil_scoped_release unlocked;
  std::unique_lock lock(w.busy, std::try_to_lock);
  if (!lock) throw std::runtime_error("the workspace is in use by another thread");
  return core::compute_point(deck, freq, water, *w.plan, *w.ws);
}

// One point with its maps; a stop raises StopError.
py::dict compute(const py::dict& deck, double freq, const field_array& field,
                 workspace_handle& w) {
  core::point_result r;
  try {
    r = point_of(deck, freq, field, w);
  } catch (const run_stop& stop) {
    raise_stop(stop);
  }
  py::dict out = scalars_of(r);
  out["freq_hz"] = r.freq_hz;
  out["test"] = std::string(core::test_name(r.test));
  out["vp"] = r.main.velocity;
  out["inv_q"] = r.main.qinv;
  out["modulus"] = r.main.modulus;
  out["density"] = r.density;
  out["strain1"] = array_of(r.strain1);
  out["strain3"] = array_of(r.strain3);
  out["stress"] = array_of(r.stress);
  out["pressure"] = array_of(r.pressure);
  out["grad_pressure"] = array_of(r.grad_pressure);
  return out;
}

// The coefficient set of one cell of the deck's material 1 with water
// proportion `water` at `freq` Hz, as the core computes it for a uniform
// 1 x 1 field: moduli in Pa, mass coefficients in kg/m^3, friction
// coefficients in Pa s/m^2, and the cell's density phi1 ro1 + phiw ro2 +
// phi3 ro3 in kg/m^3. A stop of the rock physics raises StopError.
py::dict cell_coefficients_of(const py::dict& deck_in, double water, double freq) {
  deck_values deck = deck_of(deck_in);
  if (!core::valid_frequency(freq))
    throw std::invalid_argument("the frequency must be a positive number of Hz");
  if (!(water >= 0 && water <= 1))
    throw std::invalid_argument("the water proportion must lie in [0, 1]");
  deck.nx = deck.ny = 1;
  cell_int matnum(1, 1);
  matnum(1, 1) = 1;
  cell_real phiw(1, 1);
  phiw(1, 1) = water;
  cell_coefficients cc(1, 1);
  rock_record unread;
  const cell_inputs cells = [&] {
    try {
      return rock_physics_of_cells(deck, matnum, phiw, 2 * std::numbers::pi * freq, cc, unread);
    } catch (const run_stop& stop) {
      raise_stop(stop);
    }
  }();
  const std::pair<const char*, const cell_real*> fields[] = {
      {"lambda1", &cc.lambda1}, {"lambda3", &cc.lambda3}, {"mu1", &cc.mu1},
      {"mu3", &cc.mu3},         {"mu13", &cc.mu13},       {"b1", &cc.b1},
      {"b2", &cc.b2},           {"m", &cc.m},             {"d3", &cc.d3},
      {"p11", &cc.p11},         {"p12", &cc.p12},         {"p13", &cc.p13},
      {"p22", &cc.p22},         {"p23", &cc.p23},         {"p33", &cc.p33},
      {"f11", &cc.f11},         {"f12", &cc.f12},         {"f22", &cc.f22}};
  py::dict out;
  for (const auto& [name, field] : fields) out[name] = (*field)(1, 1);
  out["density"] = bulk_density(deck, cells, phiw);
  return out;
}

// The row of one point of a study: (stop code, message, values), the stop
// code stop_normal and the values when the point completed, else the code and the
// message of its stop and no values.
py::tuple compute_row(const py::dict& deck, double freq, const field_array& field,
                      workspace_handle& w) {
  try {
    return py::make_tuple(stop_normal, "", row_values_of(point_of(deck, freq, field, w)));
  } catch (const run_stop& stop) {
    return py::make_tuple(stop.code, stop.message, py::none());
  }
}

}  // namespace

PYBIND11_MODULE(_core, m) {
  m.doc() = "The one-point computation of v2_patchy_freq_loop.";
  m.def("read_deck_text", &read_deck_text, py::arg("text"));
  m.attr("MAX_DECK_BYTES") = max_deck_bytes;
  m.attr("WATER_FILE_NAME") = water_file_name;
  m.attr("BATCH_WATER") = core::batch_water_proportion;
  m.def("check_deck", [](const py::dict& deck) { deck_of(deck); }, py::arg("deck"),
        "Raises ValueError naming the first value the deck reader refuses (StopError for the "
        "ice-model check).");
  m.attr("TESTS") = py::make_tuple(std::string(core::test_name(core::fe_test::platen)),
                                   std::string(core::test_name(core::fe_test::per_solid)));
  m.attr("STOP_NORMAL") = stop_normal;
  m.def("stop_meaning", [](int code) { return std::string(stop_meaning(code)); },
        py::arg("code"), "The meaning of a stop code, for a stop without a message of its own.");
  m.def("provenance_json", &provenance_of, py::arg("program"), py::arg("deck_text"),
        py::arg("test"), py::arg("threads"), py::arg("wall_time_s"), py::arg("points"),
        "The provenance of a whole study as the text of its study.json.");
  m.def("valid_frequency", &core::valid_frequency, py::arg("freq_hz"),
        "Whether a frequency can be that of a point: a positive, finite number of Hz.");
  m.def("machine_threads", &study::machine_threads,
        "The cores this process may run on (its affinity; at least 1).");
  m.attr("COLUMNS") = columns();
  m.attr("VALUE_COLUMNS") = value_column_names();
  m.attr("TABLE_HEADER") = study::table_header();
  m.attr("EXIT_STATUSES") = exit_statuses();
  m.attr("WATER_RANGE") = uniform_water_range;
  m.def("water_proportion_ok", &uniform_water_ok, py::arg("w"),
        "Whether a cell may hold the water proportion w.");
  m.def("check_water",
        [](const field_array& a) {
          const double* v = a.data();
          if (!std::all_of(v, v + a.size(), uniform_water_ok))
            throw std::invalid_argument(water_refusal);
        },
        py::arg("field"), "Raises ValueError unless every value is a water proportion in WATER_RANGE.");
  m.def("read_water_file", &read_water_file, py::arg("path"), py::arg("nx"), py::arg("ny"));
  py::class_<plan_handle>(m, "Plan",
                          "The ordering and symbolic factorization of a test on a grid.")
      .def(py::init(&make_plan), py::arg("nx"), py::arg("ny"), py::arg("test"));
  py::class_<workspace_handle>(m, "Workspace", "The numeric storage of one thread on a plan.")
      .def(py::init([](const plan_handle& plan, int threads) {
             if (threads < 1) throw std::invalid_argument("threads must be at least 1");
             py::gil_scoped_release unlocked;
             return std::make_unique<workspace_handle>(plan, threads);
           }),
           py::arg("plan"), py::arg("threads"),
           "`threads`: the threads of its numeric factorization.");
  m.def("compute", &compute, py::arg("deck"), py::arg("freq"), py::arg("field"),
        py::arg("workspace"));
  m.def("compute_row", &compute_row, py::arg("deck"), py::arg("freq"), py::arg("field"),
        py::arg("workspace"));
  m.def("cell_coefficients", &cell_coefficients_of, py::arg("deck"), py::arg("water"),
        py::arg("freq"),
        "The coefficient set of a cell of the deck's material 1 with water proportion `water` "
        "at `freq` Hz: moduli (Pa), mass (kg/m^3) and friction (Pa s/m^2) coefficients, and "
        "its density (kg/m^3).");
  m.def("log_sweep", &study::log_sweep, py::arg("f1"), py::arg("f2"), py::arg("n"),
        "The frequencies of the logarithmic rule from f1 to f2 in n points, as the command "
        "line's --freq F1:F2:N.");
  m.def("free_real", &free_real, py::arg("x"),
        "The shortest text that reads back as the same double, as the tables write it.");
}
