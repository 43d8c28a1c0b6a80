// The points of a study on threads: rows in point order, the same bits for
// any thread count, a stop kept in its row, a failing callback ending it.
#include <gtest/gtest.h>

#include "study/table.h"
#include "support/deck_values.h"
#include "support/example_system.h"

namespace {

std::vector<study::point> points_of(const deck_values& d, std::vector<double> waters) {
  std::vector<study::named_field> fields;
  for (double w : waters)
    fields.push_back({std::to_string(w), std::make_shared<core::water_field>(
                                             core::uniform_field(d.nx, d.ny, w))});
  return study::cross(study::log_sweep(1, 1e5, 3), fields);
}

}  // namespace

TEST(RunPoints, RowsInOrderSameBitsForAnyThreadCount) {
  const deck_values d = deck_values_of(deck_text(6));
  // 0.45 is above phi_a_m (0.4): no ice left, the point stops.
  const std::vector<study::point> points = points_of(d, {0.1, 0.45, 0.2});
  std::vector<study::row> by_threads[3];
  for (int t : {1, 2, 3}) {
    std::size_t next = 0;  // the index of the next row the callback sees
    by_threads[t - 1] = study::run_points(d, points, {t, true, true, core::fe_test::per_solid},
                                          [&](const study::row& r) {
                                            EXPECT_EQ(r.index, next++);
                                            EXPECT_EQ(r.result != nullptr, r.stop == stop_normal);
                                          });
    ASSERT_EQ(next, points.size());
  }
  for (std::size_t i = 0; i < points.size(); ++i) {
    const study::row& a = by_threads[0][i];
    EXPECT_EQ(a.stop == stop_normal, i % 3 != 1) << i;
    for (int t = 1; t < 3; ++t) {
      const study::row& b = by_threads[t][i];
      // The shortest texts that read back as the values: the same text, the same bits.
      EXPECT_EQ(study::table_line(i, points[i], core::fe_test::per_solid, a),
                study::table_line(i, points[i], core::fe_test::per_solid, b));
      if (!a.result || !b.result) continue;  // a stopped point: its stop compared above
      EXPECT_EQ(a.result->pressure.v, b.result->pressure.v) << i;
    }
  }
}

TEST(RunPoints, FailingCallbackEndsTheStudyAndPlatenRowsHaveNoTopValues) {
  const deck_values d = deck_values_of(deck_text(4));
  const std::vector<study::point> points = points_of(d, {0.1, 0.2, 0.3});
  std::size_t calls = 0;
  EXPECT_THROW(study::run_points(d, points, {2, false, true, core::fe_test::per_solid},
                                 [&](const study::row&) {
                                   if (++calls == 2) throw std::runtime_error("disk full");
                                 }),
               std::runtime_error);
  EXPECT_EQ(calls, 2u);
  const auto platen = study::run_points(d, {points[0]}, {1, false, true, core::fe_test::platen});
  EXPECT_FALSE(platen.at(0).values[study::first_top_value]) << "a platen row has no top values";
  const study::named_field wrong{"3x3", std::make_shared<core::water_field>(core::uniform_field(3, 3, 0.2))};
  EXPECT_THROW(study::run_points(d, {{100, wrong}}, {1, false, true, core::fe_test::per_solid}),
               std::invalid_argument);
}
