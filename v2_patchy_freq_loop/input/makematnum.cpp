#include <cstdint>

#include "common/report.h"
#include "input/input.h"

// Layer geometry report and the periodic numbering: each period of
// nl(1) + nl(2) rows is nl(1) rows of material 1 under nl(2) rows of
// material 2, from the bottom row up; rows above the last whole period are
// left as they are. nl(1) + nl(2) must be positive.
void makematnum(int nx, int ny, const std::array<int, 2>& nl, std::array<double, 2>& thickness,
                double h, cell_int& matnum, std::ostream& out) {
  const int nl1 = nl[0];
  const int nl2 = nl[1];
  free_line(out, "nl(1), nl(2)  ", nl1, nl2);

  // The period in 64 bits: nl(1) + nl(2) may exceed the int range.
  const std::int64_t period = std::int64_t{nl1} + nl2;
  const int nper = static_cast<int>(ny / period);
  thickness[0] = nl1 * h;
  thickness[1] = nl2 * h;

  free_line(out, " domain size (m) ", ny * h);
  free_line(out);
  free_line(out, " ny = number of subintervals in y-direction ", ny);
  free_line(out);
  free_line(out, " hy = subinterval size (m) ", h);
  free_line(out);
  free_line(out, " nper = number of periods ", nper);
  free_line(out);
  free_line(out, " size of layer 1 in subintervals ", nl1);
  free_line(out);
  free_line(out, " size of layer 1 (m) ", thickness[0]);
  free_line(out);
  free_line(out, " size of layer 2 in subintervals ", nl2);
  free_line(out);
  free_line(out, " size of layer 2 (m) ", thickness[1]);
  free_line(out);

  for (int p = 1; p <= nper; ++p) {
    for (int r = 1; r <= period; ++r) {  // nper >= 1: period <= ny
      const int k = static_cast<int>((p - 1) * period + r);
      for (int j = 1; j <= nx; ++j) matnum(j, k) = r <= nl1 ? 1 : 2;
    }
  }
}
