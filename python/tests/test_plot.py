"""The plot command draws a run's maps and a study's curves into PNGs."""
import struct
import subprocess
import sys

import pytest

import v2pfl
from conftest import EXAMPLES
from v2pfl import plot


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    assert head[:8] == b"\x89PNG\r\n\x1a\n"
    return struct.unpack(">II", head[16:24])


def size_of(figure_size):
    return tuple(round(x * plot.DPI) for x in figure_size)


def plot_command(*args):
    return subprocess.run([sys.executable, "-m", "v2pfl", "plot", *map(str, args)],
                          capture_output=True, text=True)


def test_plot_run_dir(permafrost_run, tmp_path):
    done = plot_command(permafrost_run, "-o", tmp_path / "maps.png", "--deck",
                        EXAMPLES / "permafrost.deck")
    assert done.returncode == 0, done.stderr
    assert png_size(tmp_path / "maps.png") == size_of(plot.MAPS_SIZE)


def test_plot_study_dir(tmp_path):
    table = v2pfl.study(EXAMPLES / "permafrost.deck", [10.0, 100.0], [0.1, 0.2])
    table.to_csv(tmp_path / "study.csv", index=False)
    done = plot_command(tmp_path)
    assert done.returncode == 0, done.stderr
    assert png_size(tmp_path / "dispersion.png") == size_of(plot.DISPERSION_SIZE)


@pytest.mark.parametrize("args, message", [(["nowhere"], "neither study.csv"),
                                           (["{run}", "-o", "/dev/full"], "/dev/full")])
def test_plot_command_errors(permafrost_run, args, message):
    done = plot_command(*[a.format(run=permafrost_run) for a in args])
    assert done.returncode == 1 and message in done.stderr
