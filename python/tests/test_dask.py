"""A study on a Dask cluster equals the local study bit for bit."""
import numpy as np
import pytest

import v2pfl
from conftest import EXAMPLES

distributed = pytest.importorskip("distributed")


def test_cluster_study_equals_local():
    deck = v2pfl.read_deck(EXAMPLES / "permafrost.deck")
    freqs, fields = [10.0, 100.0, 1000.0], [0.1, v2pfl.fields.inclusion(10, 10, 3, 0.3, 0.1)]
    local = v2pfl.study(deck, freqs, fields)
    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                                  dashboard_address=None) as cluster, \
            distributed.Client(cluster) as client:
        remote = v2pfl.study(deck, freqs, fields, client=client)
    assert len(local) == 6 and (local["stop"] == 40).all()
    assert list(remote.columns) == v2pfl.COLUMNS
    values = local.columns[3:10]
    assert np.array_equal(local[values].to_numpy().view(np.int64),
                          remote[values].to_numpy().view(np.int64))
    assert local.drop(columns=values).equals(remote.drop(columns=values))
