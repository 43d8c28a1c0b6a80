#include "study/table_run.h"

#include <algorithm>

#include "common/report.h"
#include "study/maps.h"
#include "study/progress.h"

namespace study {

namespace {

void make_dir(const std::filesystem::path& dir) {
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  if (ec)
    throw run_stop{stop_write_failed,
                   "cannot create output directory \"" + dir.string() + "\": " + ec.message()};
}

// The rows already in a table being resumed, checked against the study.
table_contents resumed_rows(const std::filesystem::path& table, const table_identity& id,
                            const std::vector<std::size_t>& indices,
                            const std::vector<point>& points) {
  const std::optional<table_identity> recorded = read_identity(table);
  if (!recorded)
    throw table_mismatch(table.string() + ": no readable " +
                         fingerprint_path(table).filename().string() + " beside it");
  if (recorded->deck != id.deck)
    throw table_mismatch(table.string() + " was computed from another deck");
  if (*recorded != id)
    throw table_mismatch(table.string() + " was computed for another point list or shard");
  table_contents c = read_table(table);
  check_rows(table, c.rows, indices, points);
  return c;
}

std::size_t count_stops(const std::vector<table_row>& rows) {
  return static_cast<std::size_t>(std::count_if(
      rows.begin(), rows.end(), [](const table_row& r) { return r.stop != point_completed; }));
}

}  // namespace

table_outcome run_table(const deck_values& deck, const std::vector<point>& points,
                        const table_job& job, std::ostream* progress_os, bool terminal) {
  // The grid plan first: a grid that cannot be solved leaves no table.
  const auto plan = core::make_grid_plan(deck.nx, deck.ny);
  make_dir(job.dir);
  const std::filesystem::path table = job.dir / table_name(job.part);
  const std::vector<std::size_t> indices = shard_points(points.size(), job.part);
  const table_identity id{job.deck_hash, hash_points(points), points.size(), job.part};

  table_outcome out;
  std::optional<std::uintmax_t> keep;
  if (job.resume && std::filesystem::exists(table)) {
    const table_contents c = resumed_rows(table, id, indices, points);
    out = {c.rows.size(), count_stops(c.rows)};
    keep = c.complete_bytes;
  } else {
    write_identity(table, id);
  }
  table_writer writer(table, keep);

  std::vector<point> todo;
  for (std::size_t r = out.rows; r < indices.size(); ++r) todo.push_back(points[indices[r]]);
  const int threads = std::max(1, static_cast<int>(std::min<std::size_t>(
                                      todo.size(), job.threads > 0 ? job.threads
                                                                   : machine_threads())));
  std::optional<progress> shown;
  if (progress_os) shown.emplace(*progress_os, terminal, indices.size(), out.rows);

  run_points(deck, *plan, todo, {threads, false}, [&](const row& r) {
    const std::size_t global = indices[out.rows];
    if (job.maps && r.result) write_point_maps(point_dir(job.dir, global, points.size()), *r.result);
    writer.append(table_line(global, todo[r.index], r));
    ++out.rows;
    if (r.stop != point_completed) ++out.stopped;
    if (shown) shown->point_done();
  });
  if (shown) shown->finish(out.stopped, threads);
  return out;
}

}  // namespace study
