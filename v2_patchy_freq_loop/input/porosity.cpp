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
  explicit water_records(std::istream& in) : in_(in) {}

  // One record "int int real": the two integers are checked and dropped,
  // the real returned. Items may run on over following lines; the rest of
  // the line holding the third item is ignored.
  double read(int j, int k) {
    std::string_view rest;
    std::optional<double> phi;
    for (int n = 1; n <= 3; ++n) {
      std::optional<std::string_view> item;
      while (!(item = next_free_item(rest))) {
        ++line_;
        if (!std::getline(in_, text_)) {
          fail("end of file before the record of cell (" + std::to_string(j) + ", " +
               std::to_string(k) + ")");
        }
        if (!text_.empty() && text_.back() == '\r') text_.pop_back();
        rest = text_;
      }
      if (item->empty()) fail("no value before a comma");
      if (n < 3 && !fortran_int(*item)) {
        fail("cannot read '" + std::string(*item) + "' as an integer");
      }
      if (n == 3 && !(phi = fortran_real(*item, 0))) {
        fail("cannot read '" + std::string(*item) + "' as a real");
      }
    }
    return *phi;
  }

 private:
  [[noreturn]] void fail(const std::string& what) const {
    throw run_stop{stop_bad_water_file,
                   "phiw_binary_patchy.dat line " + std::to_string(line_) + ": " + what};
  }

  std::istream& in_;
  std::string text_;
  int line_ = 0;
};

}  // namespace

// Water proportion of every cell: the lower half of the rows (ny/2 rows)
// takes phi_layer_m(1), the rest phi_layer_m(2) (model 0); or one record of
// the water file per cell, bottom row first, left to right (model 1).
void porosity(int nx, int ny, const per_material& phi_layer_m, int model, cell_real& phiw,
              std::istream& water) {
  if (model == 0) {
    for (int k = 1; k <= ny; ++k) {
      for (int j = 1; j <= nx; ++j) phiw(j, k) = mat(phi_layer_m, k <= ny / 2 ? 1 : 2);
    }
  } else if (model == 1) {
    water_records records(water);
    for (int k = 1; k <= ny; ++k) {
      for (int j = 1; j <= nx; ++j) phiw(j, k) = records.read(j, k);
    }
  }
}
