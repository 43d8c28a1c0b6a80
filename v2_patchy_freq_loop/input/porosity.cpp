#include <optional>
#include <string>

#include "common/report.h"
#include "input/fortran_read.h"
#include "input/input.h"

namespace {

// Free-format records of the water-distribution file, with the count of the
// lines consumed for the messages.
class water_records {
 public:
  water_records(std::istream& in, const std::string& source) : in_(in), source_(source) {}

  // One record "int int real": the two integers are checked and dropped,
  // the real, a water proportion in 0 ... 1, returned. Items may run on
  // over following lines; the rest of the line holding the third item is
  // ignored.
  double read(int j, int k) {
    std::string_view rest;
    for (int n = 1; n <= 2; ++n) {
      const std::string item = next_item(rest, j, k);
      if (!fortran_int(item)) fail("cannot read '" + item + "' as an integer");
    }
    const std::string item = next_item(rest, j, k);
    const std::optional<double> phi = fortran_real(item, 0);
    if (!phi) fail("cannot read '" + item + "' as a real");
    if (!cell_water_ok(*phi)) {
      fail("water proportion " + free_real(*phi) + " of cell (" + std::to_string(j) + ", " +
           std::to_string(k) + ") outside 0 ... 1");
    }
    return *phi;
  }

 private:
  // Next item of the record of cell (j, k); a missing or null item stops.
  std::string next_item(std::string_view& rest, int j, int k) {
    std::optional<std::string_view> item;
    try {
      item = next_read_item(in_, text_, rest, line_);
    } catch (const line_too_long&) {
      fail(line_too_long::message());
    }
    if (!item && in_.bad()) fail("read error");
    if (!item) {
      fail("end of file before the record of cell (" + std::to_string(j) + ", " +
           std::to_string(k) + ")");
    }
    if (item->empty()) fail("no value before a comma");
    return std::string(*item);
  }

  // Stops the run naming the file line last read.
  [[noreturn]] void fail(const std::string& what) const {
    throw run_stop{stop_bad_water_file,
                   source_ + " line " + std::to_string(line_) + ": " + what};
  }

  std::istream& in_;
  const std::string& source_;  // the file's name in messages
  std::string text_;
  int line_ = 0;
};

}  // namespace

// Water proportion of every cell: the lower half of the rows (ny/2 rows)
// takes phi_layer_m(1), the rest phi_layer_m(2) (model 0); or one record of
// the water file per cell, bottom row first, left to right (model 1).
void porosity(int nx, int ny, const per_material& phi_layer_m, int model, cell_real& phiw,
              std::istream& water, const std::string& source) {
  if (model == 0) {
    for (int k = 1; k <= ny; ++k) {
      for (int j = 1; j <= nx; ++j) phiw(j, k) = mat(phi_layer_m, k <= ny / 2 ? 1 : 2);
    }
  } else if (model == 1) {
    water_records records(water, source);
    for (int k = 1; k <= ny; ++k) {
      for (int j = 1; j <= nx; ++j) phiw(j, k) = records.read(j, k);
    }
  }
}
