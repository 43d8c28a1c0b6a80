"""A study on a Dask cluster equals the local study bit for bit, also when a
worker is lost half way."""
import dataclasses
import os
import signal
import threading

import pytest

import v2pfl
from conftest import EXAMPLES, same_bits

distributed = pytest.importorskip("distributed")
VALUES = v2pfl._study.VALUES


@pytest.fixture(scope="module")
def client():
    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                                  dashboard_address=None) as cluster, \
            distributed.Client(cluster) as client:
        yield client


def test_cluster_study_equals_local_after_a_lost_worker(client, capsys):
    deck = dataclasses.replace(v2pfl.read_deck(EXAMPLES / "permafrost.deck"), nx=24, ny=24)
    freqs, fields = v2pfl.log_sweep(1.0, 1e4, 8), [0.1, v2pfl.fields.inclusion(24, 24, 6, 0.3, 0.1)]
    local = v2pfl.study(deck, freqs, fields, progress=False)
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
    remote = v2pfl.study(deck, freqs, fields, client=client)
    finished.set()
    killer.join()
    assert victim not in client.run(os.getpid).values()
    assert list(remote.columns) == v2pfl.COLUMNS and (local["stop"] == 40).all()
    assert same_bits(local[VALUES], remote[VALUES])
    assert local.drop(columns=VALUES).equals(remote.drop(columns=VALUES))
    assert "16/16" in capsys.readouterr().err  # the progress bar reached the end
