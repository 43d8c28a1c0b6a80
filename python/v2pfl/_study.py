"""A study: every frequency with every water field, as a table of one row per
point, computed here on threads or as tasks of a Dask cluster."""
import concurrent.futures
import math
import numbers
import os
import uuid

import numpy as np
import pandas as pd

from . import _core
from ._deck import as_deck
from ._run import cores, frequency, water_field, workspace

COLUMNS = ["point", "freq_hz", "field", "vp_avg", "inv_q_avg", "vp_top", "inv_q_top",
           "vp1_plane", "inv_q_plane", "rob_med", "stop"]
VALUES = COLUMNS[3:10]
COMPLETED = 40  # the stop code of a completed point

# Dask tasks per worker: smaller groups lose less work with a lost worker,
# larger ones pay the task overhead less often.
GROUPS_PER_WORKER = 4


def _field_name(field, index):
    """The table's name of a field: the water value of a uniform field (as
    the command line writes it), the path of a water file, or `array N`."""
    if isinstance(field, numbers.Real) and not isinstance(field, bool):
        return _core.free_real(float(field))
    if isinstance(field, (str, os.PathLike)):
        return os.fspath(field)
    return f"array {index}"


def _list(name, values):
    if isinstance(values, (str, bytes, os.PathLike)) or not hasattr(values, "__iter__"):
        raise TypeError(f"{name} must be a list")
    return list(values)


def study(deck, freqs, fields, workers=None, client=None):
    """Computes every frequency of `freqs` (Hz) with every water field of
    `fields` (each a proportion, an (ny, nx) array or a water file path; a
    dict names them, else a field goes by its value, its path or `array N`),
    frequency outer. Returns a DataFrame with the columns of study.csv, one
    row per point in point order; a point that stopped has its stop code in
    `stop` (40: completed), NaN values, and its message in
    df.attrs["messages"]. `workers`: threads (default one per core);
    `client`: a distributed.Client whose cluster computes the points."""
    deck = as_deck(deck)
    freqs = [frequency(deck, f) for f in _list("freqs", freqs)]
    if isinstance(fields, dict):
        names, specs = [str(name) for name in fields], list(fields.values())
    else:
        specs = _list("fields", fields)
        names = [_field_name(f, i) for i, f in enumerate(specs)]
    arrays = [water_field(deck, f) for f in specs]
    points = [(f, n) for f in freqs for n in range(len(arrays))]
    if client is not None:
        rows = _cluster_rows(client, deck, points, arrays)
    else:
        rows = _local_rows(deck, points, arrays, _threads(workers))
    return _table(points, names, rows)


def _threads(workers):
    if workers is None:
        return cores()
    if isinstance(workers, bool) or not isinstance(workers, numbers.Integral) or workers < 1:
        raise ValueError(f"workers must be a positive number of threads, not {workers!r}")
    return int(workers)


def _table(points, names, rows):
    table = pd.DataFrame({
        "point": np.arange(len(points), dtype=np.int64),
        "freq_hz": [f for f, _ in points],
        "field": [names[n] for _, n in points],
    })
    for column in VALUES:
        table[column] = [values[column] if values else math.nan for _, _, values in rows]
    table["stop"] = np.array([stop for stop, _, _ in rows], dtype=np.int64)
    table.attrs["messages"] = {i: message for i, (stop, message, _) in enumerate(rows)
                               if stop != COMPLETED}
    return table


def _group_rows(deck_values, grid, freqs, fields, threads=1):
    """The rows of a group of points, computed one after the other on the
    calling thread's workspace of the grid (whose plan the process builds
    once and keeps), factorizing on `threads` threads: a Dask task (one
    thread: the cluster runs its points side by side), and the unit of the
    local threads."""
    ws = workspace(*grid, threads=threads)
    return [_core.compute_row(deck_values, f, a, ws) for f, a in zip(freqs, fields)]


def _local_rows(deck, points, arrays, threads):
    """The rows of `points` computed on `threads` threads, in point order."""
    values, grid = deck.values(), (deck.nx, deck.ny)
    workers = max(1, min(threads, len(points)))
    each = max(1, cores() // workers)  # the cores the other points leave free
    one = lambda point: _group_rows(values, grid, [point[0]], [arrays[point[1]]], each)[0]
    if workers == 1:
        return [one(p) for p in points]
    with concurrent.futures.ThreadPoolExecutor(workers) as pool:
        return list(pool.map(one, points))


def _cluster_rows(client, deck, points, arrays):
    """The rows of `points` computed as Dask tasks of consecutive points,
    gathered back in point order. A task lost with its worker is run again
    elsewhere by the scheduler."""
    if not points:
        return []
    workers = max(1, len(client.scheduler_info()["workers"]))
    size = math.ceil(len(points) / (GROUPS_PER_WORKER * workers))
    groups = [points[i:i + size] for i in range(0, len(points), size)]
    grid = (deck.nx, deck.ny)
    tag = uuid.uuid4().hex
    futures = [client.submit(_group_rows, deck.values(), grid, [f for f, _ in g],
                             [arrays[n] for _, n in g], key=f"v2pfl-points-{tag}-{i}",
                             pure=False)
               for i, g in enumerate(groups)]
    return [row for rows in client.gather(futures) for row in rows]
