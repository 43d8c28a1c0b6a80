// A solver work area too small for the system stops the run with the
// solver's flag: 9 when the ordering fails, 99 when the factorization does.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "driver/run.h"
#include "fem/fem.h"
#include "run_dir.h"
#include "support/example_system.h"
#include "yale/ordering_grid.h"

namespace {

// Runs the driver on the example with an n x n grid in a fresh directory
// with a work area of nsp slots.
program_run run_with_work_area(int n, std::int32_t nsp, const std::string& name) {
  const auto home = std::filesystem::current_path();
  std::filesystem::current_path(fresh_dir(name));
  std::istringstream deck(deck_text(n));
  std::ostringstream out, err;
  run_settings settings;
  settings.nsp = nsp;
  const int status = run_driver(deck, out, err, settings);
  std::filesystem::current_path(home);
  return {{}, status, out.str(), err.str()};
}

// The ordering of a 3 x 3 grid in 2n slots; the factors of a 20 x 20 grid
// with room for the ordering (3n + 4E integer words) but not for their fill.
// The report keeps what came before the stop.
TEST(solver_stops, ordering_stops_with_9_after_its_flag_factorization_with_99_after_esp) {
  const std::int32_t n3 = unknowns(3, 3), n20 = unknowns(20, 20);
  const structure grid = fe_grid(20, 20);  // 2E: the entries off the diagonal
  const program_run stop9 = run_with_work_area(3, 2 * n3, "stop9");
  EXPECT_EQ(stop9.status, 9);
  EXPECT_NE(stop9.out.find("\n FLAG= " + std::to_string(10 * n3 + 1) + "\n"), std::string::npos);
  const program_run stop99 = run_with_work_area(20, 3 * n20 + 2 * (grid.entries() - n20), "stop99");
  EXPECT_EQ(stop99.status, 99);
  const auto esp = stop99.out.find("\n ESP= ");
  ASSERT_NE(esp, std::string::npos) << stop99.out;
  EXPECT_EQ(stop99.out.find("\n FLAG= ", esp), stop99.out.find('\n', esp + 1));
  EXPECT_NE(stop99.err.find("STOP 99"), std::string::npos);
  for (const program_run* r : {&stop9, &stop99}) {
    EXPECT_NE(r->out.find(" vp1 = "), std::string::npos);
    EXPECT_EQ(r->out.find("deltavol1="), std::string::npos);
  }
}

}  // namespace
