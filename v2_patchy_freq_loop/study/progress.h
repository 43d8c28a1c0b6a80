// The progress of a running study on a text stream: points done of the
// total, time elapsed and estimated time left, redrawn in place on a
// terminal and written as plain lines (at most one every few seconds)
// otherwise; one summary line at the end.
#pragma once

#include <chrono>
#include <cstddef>
#include <ostream>
#include <string>

#include "core/grid_plan.h"

namespace study {

class progress {
 public:
  using clock = std::chrono::steady_clock;

  // `total` points of which `done` are finished before the run starts.
  progress(std::ostream& os, bool terminal, std::size_t total, std::size_t done);

  // One more point finished.
  void point_done();

  // The summary line: the test, what was computed, how many stopped, the
  // wall time.
  void finish(std::size_t stopped, int threads, core::fe_test test);

 private:
  std::string status() const;
  void draw();

  std::ostream& os_;
  bool terminal_;
  std::size_t total_, done_, resumed_;
  clock::time_point start_, last_line_;
};

// Seconds as "12.3 s" below a minute, else h:mm:ss.
std::string clock_text(double seconds);

}  // namespace study
