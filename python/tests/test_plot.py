"""Figures: drawn into one's own axes, titled with the deck, grid, test and
date, map axes in cell indices when the cell side is unknown; the plot
command draws a run's maps and a study's curves into PNGs."""
import dataclasses
import subprocess
import sys

import matplotlib.pyplot as plt
import numpy as np
import pandas as pd

import v2pfl
from conftest import EXAMPLES
from v2pfl import plot

VALUES = ["vp_m_s", "inv_q_x1000", "m_re_pa", "m_im_pa", "density_kg_m3", "vp1_plane_m_s",
          "inv_q1_plane_x1000", "vp_top_m_s", "inv_q_top_x1000"]


def study_table():
    """A platen study table of 3 frequencies x 3 fields in the table layout,
    every value an arbitrary double (any exponent, any last bit), point 4
    stopped with code 45678 (its values empty), no top-face values."""
    freqs, fields = [1.0, 10.0, 1e5 / 3], ["0.1", "0.30000000000000004", 'a,b "q".dat']
    rng = np.random.default_rng(7)
    bits = rng.integers(0x0010000000000000, 0x7FEFFFFFFFFFFFFF, size=(9, len(VALUES)))
    values = bits.view(np.float64) * rng.choice([-1.0, 1.0], size=bits.shape)
    table = pd.DataFrame({"point": np.arange(9), "freq_hz": np.repeat(freqs, 3),
                          "field": fields * 3, "test": "platen"})
    for n, column in enumerate(VALUES):
        table[column] = values[:, n]
    table["stop"] = 40
    table.loc[4, "stop"] = 45678
    table.loc[4, VALUES] = np.nan
    table[["vp_top_m_s", "inv_q_top_x1000"]] = np.nan
    return table


def test_figures_draw_into_own_axes_with_titles():
    table = study_table()
    table.attrs["date"] = "2026-12-07T10:00:00Z"
    deck = EXAMPLES / "permafrost.deck"
    fig, axes = plt.subplots(1, 2)
    assert plot.dispersion(table, axes=axes, deck=deck, limits={"relaxed": 3.0}) is fig
    # One curve per field that completed a point, plus the limit.
    assert len(axes[0].lines) == 3 + 1 and len(axes[1].lines) == 3
    heading = axes[0].get_title()
    for part in ("permafrost.deck", "10 × 10", "platen", "2026-12-07"):
        assert part in heading
    plt.close(fig)
    # The cell side unknown: axes in cell indices.
    fig = plot.maps(dataclasses.replace(v2pfl.run(deck), h=None))
    assert fig.axes[0].get_xlabel() == "cell index j (x)"
    plt.close(fig)


def test_plot_run_and_study_dirs(permafrost_run, tmp_path):
    from v2pfl.__main__ import cell_side, main
    assert main(["plot", str(permafrost_run), "-o", str(tmp_path / "maps.png"), "--deck",
                 str(EXAMPLES / "permafrost.deck")]) == 0
    assert (tmp_path / "maps.png").read_bytes().startswith(b"\x89PNG")
    assert cell_side(permafrost_run, None, None) is None  # no deck: axes in cell indices
    study_table().to_csv(tmp_path / "study.csv", index=False)
    assert main(["plot", str(tmp_path)]) == 0
    assert (tmp_path / "dispersion.png").read_bytes().startswith(b"\x89PNG")


def test_plot_command_error():
    done = subprocess.run([sys.executable, "-m", "v2pfl", "plot", "nowhere"],
                          capture_output=True, text=True)
    assert done.returncode == 1 and "neither study.csv" in done.stderr
