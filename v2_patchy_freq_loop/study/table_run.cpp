#include "study/table_run.h"

#include <algorithm>
#include <chrono>

#include "common/report.h"
#include "study/maps.h"
#include "study/progress.h"
#include "study/provenance.h"

namespace study {

namespace {

void make_dir(const std::filesystem::path& dir) {
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  if (ec)
    throw run_stop{stop_write_failed,
                   "cannot create output directory \"" + dir.string() + "\": " + ec.message()};
}

bool exists_here(const std::filesystem::path& path) {
  std::error_code ec;
  return std::filesystem::symlink_status(path, ec).type() != std::filesystem::file_type::not_found;
}

// Refuses a fingerprint of another study than `id`, saying what differs.
void check_identity(const std::filesystem::path& table, const table_identity& recorded,
                    const table_identity& id) {
  const auto refuse = [&](const std::string& what) {
    throw table_mismatch(table.string() + " was computed " + what);
  };
  if (recorded.deck != id.deck) refuse("from another deck");
  if (recorded.test != id.test)
    refuse("with the " + std::string(core::test_name(recorded.test)) + " test, not the " +
           std::string(core::test_name(id.test)) + " test");
  if (recorded.points != id.points || recorded.count != id.count)
    refuse("for another point list");
  if (recorded.part != id.part) refuse("for another shard");
}

// The rows a resume keeps: those its fingerprint records for this study, up
// to the first the table lacks; nothing when the table must start anew (no
// pair at all, no table, a table cut inside its header).
struct kept_rows {
  table_scan scan;
  std::size_t stopped = 0;
};
std::optional<kept_rows> resumable_rows(const std::filesystem::path& table,
                                        const table_identity& id,
                                        const std::vector<std::size_t>& indices,
                                        const std::vector<point>& points) {
  const std::optional<fingerprint> fp = read_fingerprint(table);
  const bool has_table = exists_here(table);
  if (!fp) {
    if (!has_table) return std::nullopt;
    throw table_mismatch(table.string() + ": no " + fingerprint_path(table).filename().string() +
                         " beside it");
  }
  check_identity(table, fp->id, id);
  if (!has_table) return std::nullopt;
  kept_rows k;
  std::size_t r = 0;
  k.scan = scan_table(table, std::min(fp->rows.size(), indices.size()), [&](const table_row& row) {
    check_row(table, row, r++, *fp, indices, points);
    k.stopped += row.stop != stop_normal;
  });
  if (!k.scan.header) return std::nullopt;
  return k;
}

}  // namespace

table_outcome run_table(const deck_values& deck, const std::vector<point>& points,
                        const table_job& job, std::ostream* progress_os, bool terminal) {
  // The grid plan first: a grid that cannot be solved leaves no table.
  const auto plan = core::make_grid_plan(deck.nx, deck.ny, job.test);
  const auto start = std::chrono::steady_clock::now();
  make_dir(job.dir);
  const std::filesystem::path table = job.dir / table_name(job.part);
  const study_lock lock(lock_path(table), job.dir);
  const std::vector<std::size_t> indices = shard_points(points.size(), job.part);
  const table_identity id{hash_text(job.deck_text), hash_points(points), points.size(), job.part,
                          job.test};

  std::optional<kept_rows> kept;
  if (job.resume) kept = resumable_rows(table, id, indices, points);
  if (!kept) {
    write_pair(table, id);
    kept = kept_rows{{true, 0, table_header().size() + 1}, 0};
  }
  table_writer writer(table, id, kept->scan.rows, kept->scan.bytes);
  table_outcome out{kept->scan.rows, kept->stopped};

  std::vector<point> todo;
  for (std::size_t r = out.rows; r < indices.size(); ++r) todo.push_back(points[indices[r]]);
  const int threads = std::max(1, static_cast<int>(std::min<std::size_t>(
                                      todo.size(), job.threads > 0 ? job.threads
                                                                   : machine_threads())));
  provenance prov{job.program, job.deck_text, job.test, job.part, threads, std::nullopt};
  write_provenance(table, prov, points);
  std::optional<progress> shown;
  if (progress_os) shown.emplace(*progress_os, terminal, indices.size(), out.rows);

  run_points(deck, *plan, todo, {threads, false, false, job.test}, [&](const row& r) {
    const std::size_t global = indices[out.rows];
    if (job.maps && r.result) write_point_maps(point_dir(job.dir, global, points.size()), *r.result);
    writer.append(table_line(global, todo[r.index], job.test, r));
    ++out.rows;
    if (r.stop != stop_normal) ++out.stopped;
    if (shown) shown->point_done();
  });
  prov.wall_s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  write_provenance(table, prov, points);
  if (shown) shown->finish(out.stopped, threads, job.test);
  return out;
}

}  // namespace study
