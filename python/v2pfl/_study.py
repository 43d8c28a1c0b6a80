"""A study: every frequency with every water field, as a table of one row per
point, computed here on threads or as tasks of a Dask cluster."""
import concurrent.futures
import json
import math
import numbers
import os
import sys
import time
import uuid

import numpy as np
import pandas as pd

from . import _core
from ._deck import as_deck
from ._deck_file import deck_text
from ._errors import StopError
from ._run import cores, frequency, water_field, workspace
from ._version import __version__

# The columns of study.csv.
COLUMNS = _core.TABLE_HEADER.split(",")
VALUES = list(_core.VALUE_COLUMNS)  # the real-valued columns, NaN for a stopped point
STOP_NORMAL = _core.STOP_NORMAL  # the stop code of a completed point
# The exit statuses of the command line's study and merge: code -> meaning.
EXIT_STATUSES = dict(_core.EXIT_STATUSES)

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


def study(deck, freqs, fields, test="platen", workers=None, client=None, progress=True):
    """Computes every frequency of `freqs` (Hz) with every water field of
    `fields` (each a proportion, an (ny, nx) array or a water file path; a
    dict names them, else a field goes by its value, its path or `array N`),
    frequency outer, under the compressibility test `test` ("platen" or
    "per-solid"). Returns a DataFrame with the columns of study.csv, one row
    per point in point order; a point that stopped has its stop code in
    `stop` (STOP_NORMAL: completed) and NaN values.

    `attrs` holds the provenance as a study directory's study.json holds
    it, key for key: "program", "date" (UTC, at the end), "table", "test",
    "threads" (points computed at once), "wall_time_s", "columns" (name,
    unit and meaning of each), "points" ([frequency, field name] of each),
    "deck" (the deck file's text; for a Deck, the text write_deck writes, or
    its values when it cannot); also "threads_per_point" and "messages"
    (point: the stop message of every stopped point).

    `workers`: points computed at once (default one per core); the cores are
    shared out, each point factorizing on cores // workers threads. `client`:
    a distributed.Client whose cluster computes the points, one thread per
    point. `progress`: a bar (tqdm) or plain lines on standard error."""
    started = time.monotonic()
    deck, text = as_deck(deck), _deck_text(deck)
    if test not in _core.TESTS:
        raise ValueError(f"test must be one of {', '.join(_core.TESTS)}, not {test!r}")
    freqs = [frequency(deck, f) for f in _list("freqs", freqs)]
    if isinstance(fields, dict):
        names, specs = [str(name) for name in fields], list(fields.values())
    else:
        specs = _list("fields", fields)
        names = [_field_name(f, i) for i, f in enumerate(specs)]
    arrays = [water_field(deck, f) for f in specs]
    points = [(f, n) for f in freqs for n in range(len(arrays))]
    report = _progress(len(points), progress)
    try:
        if client is not None:
            workers, threads = len(client.scheduler_info()["workers"]), 1
            rows = _cluster_rows(client, deck, test, points, arrays, report)
        else:
            workers, threads = _share(workers, len(points))
            rows = _local_rows(deck, test, points, arrays, workers, threads, report)
    finally:
        report(None)
    table = _table(points, names, rows, test)
    table.attrs.update(json.loads(_core.provenance_json(
        _program(), text or "", test, workers, time.monotonic() - started,
        [(f, names[n]) for f, n in points])))
    if text is None:
        table.attrs["deck"] = deck.values()
    table.attrs["threads_per_point"] = threads
    return table


def _deck_text(source):
    """The text of the deck file `source`; for a Deck, the text of a deck
    file of its values (None when a value cannot be written in one)."""
    if not isinstance(source, (str, os.PathLike)):
        try:
            return deck_text(source)
        except ValueError:
            return None
    with open(source, "rb") as f:
        return f.read().decode("utf-8", "replace")


def _program():
    """The program and its version, as --version prints them."""
    return f"v2_patchy_freq_loop {__version__}"


def _share(workers, points):
    """The points computed at once and the threads of each: the cores shared
    out, workers x threads <= cores."""
    available = cores()
    if workers is None:
        workers = max(1, min(available, points))
    elif isinstance(workers, bool) or not isinstance(workers, numbers.Integral) or workers < 1:
        raise ValueError(f"workers must be a positive number of threads, not {workers!r}")
    workers = int(workers)
    return workers, max(1, available // workers)


def _table(points, names, rows, test):
    table = pd.DataFrame({
        "point": np.arange(len(points), dtype=np.int64),
        "freq_hz": [f for f, _ in points],
        "field": [names[n] for _, n in points],
        "test": test,
    })
    for column in VALUES:
        table[column] = [values[column] if values else math.nan for _, _, values in rows]
    table["stop"] = np.array([stop for stop, _, _ in rows], dtype=np.int64)
    table.attrs["messages"] = {i: StopError(stop, message).message
                               for i, (stop, message, _) in enumerate(rows) if stop != STOP_NORMAL}
    return table


def _progress(total, shown):
    """A function called with the number of points just finished, then with
    None at the end: a tqdm bar when tqdm is installed, else a line on
    standard error at every tenth of the study; nothing when not `shown`."""
    if not shown or total == 0:
        return lambda done: None
    try:
        from tqdm.auto import tqdm
    except ImportError:
        tqdm = None
    if tqdm is not None:
        bar = tqdm(total=total, unit="point", desc="study")
        return lambda done: bar.close() if done is None else bar.update(done)
    count = [0]

    def line(done):
        if done is None:
            return
        before, count[0] = count[0], count[0] + done
        if count[0] * 10 // total > before * 10 // total:
            print(f"study: {count[0]}/{total} points", file=sys.stderr, flush=True)
    return line


def _group_rows(deck_values, grid, test, threads, freqs, fields):
    """The rows of a group of points, computed one after the other on the
    calling thread's workspace of the grid and test (whose plan the process
    builds once and keeps): a Dask task, and the unit of the local threads."""
    ws = workspace(*grid, test, threads)
    return [_core.compute_row(deck_values, f, a, ws) for f, a in zip(freqs, fields)]


def _local_rows(deck, test, points, arrays, workers, threads, report):
    """The rows of `points` computed `workers` at a time, in point order."""
    values, grid = deck.values(), (deck.nx, deck.ny)

    def one(point):
        row = _group_rows(values, grid, test, threads, [point[0]], [arrays[point[1]]])[0]
        report(1)
        return row
    if workers == 1 or len(points) <= 1:
        return [one(p) for p in points]
    with concurrent.futures.ThreadPoolExecutor(min(workers, len(points))) as pool:
        return list(pool.map(one, points))


def _cluster_rows(client, deck, test, points, arrays, report):
    """The rows of `points` computed as Dask tasks of consecutive points,
    gathered back in point order. A task lost with its worker is run again
    elsewhere by the scheduler."""
    if not points:
        return []
    from distributed import as_completed
    workers = max(1, len(client.scheduler_info()["workers"]))
    size = math.ceil(len(points) / (GROUPS_PER_WORKER * workers))
    groups = [points[i:i + size] for i in range(0, len(points), size)]
    grid = (deck.nx, deck.ny)
    tag = uuid.uuid4().hex
    futures = [client.submit(_group_rows, deck.values(), grid, test, 1, [f for f, _ in g],
                             [arrays[n] for _, n in g], key=f"v2pfl-points-{tag}-{i}",
                             pure=False)
               for i, g in enumerate(groups)]
    sizes = {f.key: len(g) for f, g in zip(futures, groups)}
    for done in as_completed(futures):
        report(sizes[done.key])
    return [row for rows in client.gather(futures) for row in rows]
