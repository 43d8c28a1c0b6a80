"""Shared fixtures: the shipped decks, the program, a batch run."""
import os
import pathlib
import shutil
import subprocess

import numpy as np
import pytest

REPO = pathlib.Path(__file__).resolve().parents[2]
EXAMPLES = REPO / "examples"
GOLDEN = REPO / "tests" / "golden"


@pytest.fixture(scope="session")
def program():
    path = os.environ.get("V2PFL_BINARY") or shutil.which("v2_patchy_freq_loop")
    if not path:
        pytest.skip("the program is not built (set V2PFL_BINARY)")
    return path


def same_bits(a, b):
    """The same doubles, bit for bit."""
    a, b = np.asarray(a, dtype=np.float64), np.asarray(b, dtype=np.float64)
    return a.shape == b.shape and np.array_equal(a.view(np.int64), b.view(np.int64))


def batch_run(program, deck, work, water_file=None):
    """Runs the program's batch run in `work`; returns its exit status."""
    work.mkdir(exist_ok=True)
    if water_file:
        shutil.copy(water_file, work / "phiw_binary_patchy.dat")
    with open(deck, "rb") as stdin:
        return subprocess.run([program], stdin=stdin, cwd=work, capture_output=True).returncode


@pytest.fixture(scope="session")
def permafrost_run(program, tmp_path_factory):
    """The batch run of the permafrost example, in its own directory."""
    work = tmp_path_factory.mktemp("permafrost")
    assert batch_run(program, EXAMPLES / "permafrost.deck", work) == 40
    return work
