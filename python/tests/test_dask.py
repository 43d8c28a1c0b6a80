"""A study on a Dask cluster equals the local study bit for bit, also when a
worker is lost half way."""
import dataclasses
import os
import signal
import threading

import numpy as np
import pytest

import v2pfl
from conftest import EXAMPLES

distributed = pytest.importorskip("distributed")
VALUES = v2pfl.COLUMNS[3:10]


@pytest.fixture(scope="module")
def client():
    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                                  dashboard_address=None) as cluster, \
            distributed.Client(cluster) as client:
        yield client


def assert_same(local, remote):
    assert list(remote.columns) == v2pfl.COLUMNS and (local["stop"] == 40).all()
    assert np.array_equal(local[VALUES].to_numpy().view(np.int64),
                          remote[VALUES].to_numpy().view(np.int64))
    assert local.drop(columns=VALUES).equals(remote.drop(columns=VALUES))


def test_cluster_study_equals_local(client):
    deck = v2pfl.read_deck(EXAMPLES / "permafrost.deck")
    freqs, fields = [10.0, 100.0, 1000.0], [0.1, v2pfl.fields.inclusion(10, 10, 3, 0.3, 0.1)]
    local = v2pfl.study(deck, freqs, fields)
    assert len(local) == 6
    assert_same(local, v2pfl.study(deck, freqs, fields, client=client))


def test_lost_worker_costs_only_its_points(client):
    deck = dataclasses.replace(v2pfl.read_deck(EXAMPLES / "permafrost.deck"), nx=24, ny=24)
    freqs = v2pfl.log_sweep(1.0, 1e4, 16)
    local = v2pfl.study(deck, freqs, [0.2])
    victim = min(client.run(os.getpid).values())

    finished = threading.Event()

    def kill_when_busy():
        # Kills a worker once both hold tasks of the study.
        while sum(1 for tasks in client.processing().values() if tasks) < 2:
            if finished.wait(0.01):
                return
        os.kill(victim, signal.SIGKILL)

    killer = threading.Thread(target=kill_when_busy)
    killer.start()
    remote = v2pfl.study(deck, freqs, [0.2], client=client)
    finished.set()
    killer.join()
    assert victim not in client.run(os.getpid).values()
    assert_same(local, remote)
