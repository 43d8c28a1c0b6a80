// The points of a study on a pool of threads, their rows handed on in
// point order.
#include <sched.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <thread>

#include "study/study.h"

namespace study {

namespace {

// The rows finished so far, filled by the workers and drained in order by
// the calling thread.
class row_slots {
 public:
  explicit row_slots(std::size_t n) : rows_(n) {}

  void put(row r) {
    const std::size_t i = r.index;
    {
      std::lock_guard lock(m_);
      rows_[i] = std::move(r);
    }
    ready_.notify_all();
  }

  // A worker's failure: the study ends with it.
  void fail(std::exception_ptr e) {
    {
      std::lock_guard lock(m_);
      if (!failure_) failure_ = e;
    }
    ready_.notify_all();
  }

  // Waits for row i, or rethrows a worker's failure.
  row take(std::size_t i) {
    std::unique_lock lock(m_);
    ready_.wait(lock, [&] { return rows_[i].has_value() || failure_; });
    if (failure_) std::rethrow_exception(failure_);
    row r = std::move(*rows_[i]);
    rows_[i].reset();
    return r;
  }

 private:
  std::mutex m_;
  std::condition_variable ready_;
  std::vector<std::optional<row>> rows_;
  std::exception_ptr failure_;
};

// One point: its values, or the code it stopped with.
row compute(const deck_values& deck, const point& p, std::size_t index,
            const core::grid_plan& plan, core::point_workspace& ws) {
  row r;
  r.index = index;
  try {
    auto result = std::make_shared<core::point_result>(
        core::compute_point(deck, p.freq_hz, *p.field.cells, plan, ws));
    r.values = values_of(*result);
    r.result = std::move(result);
  } catch (const run_stop& stop) {
    r.stop = stop.code;
    r.message = stop.message;
  }
  return r;
}

void check_fields(const deck_values& deck, const std::vector<point>& points) {
  for (const point& p : points)
    if (!p.field.cells || p.field.cells->nx != deck.nx || p.field.cells->ny != deck.ny ||
        p.field.cells->v.size() != static_cast<std::size_t>(deck.nx) * deck.ny)
      throw std::invalid_argument("water field \"" + p.field.name + "\" is not of the deck's " +
                                  std::to_string(deck.nx) + " x " + std::to_string(deck.ny) +
                                  " grid");
}

}  // namespace

int machine_threads() {
  cpu_set_t allowed;
  if (sched_getaffinity(0, sizeof allowed, &allowed) == 0) return std::max(1, CPU_COUNT(&allowed));
  return std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
}

std::vector<row> run_points(const deck_values& deck, const std::vector<point>& points,
                            const run_options& options, const row_callback& on_row) {
  if (points.empty()) return {};
  return run_points(deck, *core::make_grid_plan(deck.nx, deck.ny, options.test), points, options,
                    on_row);
}

std::vector<row> run_points(const deck_values& deck, const core::grid_plan& plan,
                            const std::vector<point>& points, const run_options& options,
                            const row_callback& on_row) {
  check_fields(deck, points);
  if (plan.test != options.test)
    throw std::invalid_argument("the grid plan is not of the study's test");
  std::vector<row> rows;
  if (points.empty()) return rows;
  const int threads = static_cast<int>(std::min<std::size_t>(
      points.size(), options.threads > 0 ? options.threads : machine_threads()));

  // The cores left to each point's thread factorize its system alongside.
  const int factor_threads = std::max(1, machine_threads() / threads);

  row_slots slots(points.size());
  std::atomic<std::size_t> next{0};
  std::atomic<bool> cancelled{false};
  auto work = [&] {
    try {
      const auto ws = core::make_workspace(plan, factor_threads);
      for (std::size_t i; !cancelled && (i = next++) < points.size();)
        slots.put(compute(deck, points[i], i, plan, *ws));
    } catch (...) {
      cancelled = true;
      slots.fail(std::current_exception());
    }
  };
  std::vector<std::jthread> pool;
  for (int t = 0; t < threads; ++t) pool.emplace_back(work);
  try {
    if (options.keep_rows) rows.reserve(points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
      row r = slots.take(i);
      if (on_row) on_row(r);
      if (!options.keep_rows) continue;
      if (!options.keep_results) r.result.reset();
      rows.push_back(std::move(r));
    }
  } catch (...) {
    cancelled = true;
    throw;  // the pool joins as it goes out of scope
  }
  return rows;
}

}  // namespace study
