"""Draws the pictures of the README from the shipped shaley-sand example:

    PYTHONPATH=build/python /usr/bin/python3 python/tools/gallery.py

docs/gallery_field.png       a patchy water field of the sample
docs/gallery_dispersion.png  its velocity and 1000/Q against frequency, with
                             the uniform field of the same mean water, around
                             the attenuation peak: the largest |1000/Q| of the
                             finite-element test (top-face estimate), found by
                             a coarse sweep refined twice
docs/gallery_maps.png        the cell maps of the patchy sample at the peak

The example deck is used on a finer grid (40 x 40 cells over the same
domain) so that the patches have room."""
import dataclasses
import math
import pathlib
import sys

import numpy as np

import v2pfl

REPO = pathlib.Path(__file__).resolve().parents[2]
DOCS = REPO / "docs"
CELLS = 40


def peak_frequency(deck, field):
    """The frequency of the largest finite-element |1000/Q| (top face) on a
    sweep of 0.01 Hz ... 100 MHz, then on two finer sweeps around the best
    point."""
    freqs = np.logspace(-2, 8, 21)
    for width in (0.5, 0.1):
        table = v2pfl.study(deck, list(freqs), [field])
        best = freqs[int(np.nanargmax(table["inv_q_top"].abs()))]
        freqs = best * np.logspace(-width, width, 9)
    return best


def main():
    deck = v2pfl.read_deck(REPO / "examples" / "shaley_sand.deck")
    deck = dataclasses.replace(deck, nx=CELLS, ny=CELLS)
    patchy = v2pfl.fields.random_patches(CELLS, CELLS, correlation_length=4, fraction=0.3,
                                         w_patch=0.3, w_host=0.1, seed=2)
    mean = float(patchy.mean())
    peak = peak_frequency(deck, patchy)
    freqs = list(peak * np.logspace(-1.5, 1.5, 13))
    table = v2pfl.study(deck, freqs, {"patchy": patchy, f"uniform {mean:g}": mean})
    DOCS.mkdir(exist_ok=True)
    plot = v2pfl.plot
    plot.save(plot.field(patchy, h=deck.h), DOCS / "gallery_field.png")
    plot.save(plot.dispersion(table), DOCS / "gallery_dispersion.png")
    plot.save(plot.maps(v2pfl.run(deck, freq=peak, field=patchy)), DOCS / "gallery_maps.png")
    print(f"attenuation peak of the patchy sample near {peak:.4g} Hz; pictures in {DOCS}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
