"""Points per second of a study computed here and on a 2-worker Dask
LocalCluster, and Dask's overhead per point:

    PYTHONPATH=build/python /usr/bin/python3 python/tools/bench_study.py [CELLS] [POINTS]

CELLS x CELLS grid of the permafrost example (default 60), POINTS points
(default 8). The overhead per point is the difference of the two wall times
on a 3 x 3 grid, whose points cost next to nothing, divided by the points."""
import dataclasses
import pathlib
import sys
import time

import distributed
import numpy as np

import v2pfl

EXAMPLE = pathlib.Path(__file__).resolve().parents[2] / "examples" / "permafrost.deck"


def timed(deck, freqs, client=None, workers=None):
    start = time.perf_counter()
    table = v2pfl.study(deck, freqs, [0.2], workers=workers, client=client)
    return time.perf_counter() - start, table


def main(cells=60, points=8):
    deck = v2pfl.read_deck(EXAMPLE)
    big = dataclasses.replace(deck, nx=cells, ny=cells)
    tiny = dataclasses.replace(deck, nx=3, ny=3)
    freqs = list(np.logspace(1, 4, points))
    local, local_table = timed(big, freqs, workers=2)
    tiny_local, _ = timed(tiny, freqs * 25, workers=2)
    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                                  dashboard_address=None) as cluster, \
            distributed.Client(cluster) as client:
        timed(tiny, freqs, client)  # workers import the package
        remote, remote_table = timed(big, freqs, client)
        tiny_remote, _ = timed(tiny, freqs * 25, client)
    same = np.array_equal(local_table.iloc[:, 3:10].to_numpy().view(np.int64),
                          remote_table.iloc[:, 3:10].to_numpy().view(np.int64))
    print(f"{cells} x {cells}, {points} points: local 2 threads {points / local:.3g} points/s, "
          f"LocalCluster 2 workers {points / remote:.3g} points/s; identical: {same}")
    print(f"Dask overhead per point: {(tiny_remote - tiny_local) / (25 * points) * 1e3:.3g} ms "
          f"(3 x 3 grid, {25 * points} points)")


if __name__ == "__main__":
    main(*map(int, sys.argv[1:]))
