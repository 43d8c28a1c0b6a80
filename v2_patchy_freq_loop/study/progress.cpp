#include "study/progress.h"

#include <cmath>
#include <cstdio>

namespace study {

namespace {

constexpr auto plain_line_interval = std::chrono::seconds(5);

double seconds_since(progress::clock::time_point t) {
  return std::chrono::duration<double>(progress::clock::now() - t).count();
}

}  // namespace

std::string clock_text(double seconds) {
  char buf[32];
  if (seconds < 60) {
    std::snprintf(buf, sizeof buf, "%.1f s", seconds);
  } else {
    const long s = std::lround(seconds);
    std::snprintf(buf, sizeof buf, "%ld:%02ld:%02ld", s / 3600, s / 60 % 60, s % 60);
  }
  return buf;
}

progress::progress(std::ostream& os, bool terminal, std::size_t total, std::size_t done)
    : os_(os), terminal_(terminal), total_(total), done_(done), resumed_(done),
      start_(clock::now()), last_line_(start_) {
  draw();
}

// "study: 12/40 points, 35.2 s elapsed, 0:01:22 left": the time left from
// the pace of the points computed in this run.
std::string progress::status() const {
  const double elapsed = seconds_since(start_);
  std::string s = "study: " + std::to_string(done_) + "/" + std::to_string(total_) +
                  " points, " + clock_text(elapsed) + " elapsed";
  const std::size_t computed = done_ - resumed_;
  if (computed > 0 && done_ < total_)
    s += ", " + clock_text(elapsed / computed * (total_ - done_)) + " left";
  return s;
}

void progress::draw() {
  if (terminal_) {
    os_ << '\r' << status() << "\x1b[K" << std::flush;
  } else if (done_ == resumed_ || done_ == total_ ||
             clock::now() - last_line_ >= plain_line_interval) {
    os_ << status() << '\n' << std::flush;
    last_line_ = clock::now();
  }
}

void progress::point_done() {
  ++done_;
  draw();
}

void progress::finish(std::size_t stopped, int threads, core::fe_test test) {
  if (terminal_) os_ << '\n';
  os_ << "study: " << done_ << " of " << total_ << " points of the " << core::test_name(test)
      << " test done (" << done_ - resumed_
      << " computed, " << resumed_ << " resumed, " << stopped << " stopped) in "
      << clock_text(seconds_since(start_)) << " wall time on " << threads << " thread"
      << (threads == 1 ? "" : "s") << '\n'
      << std::flush;
}

}  // namespace study
