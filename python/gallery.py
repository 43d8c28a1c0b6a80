"""Draws the pictures of the README from the shipped permafrost example:

    PYTHONPATH=build/python /usr/bin/python3 python/gallery.py

docs/gallery_field.png       a patchy water field of the sample
docs/gallery_dispersion.png  its velocity and 1000/Q against frequency, with
                             the uniform field of the same mean water, around
                             the attenuation peak (found by a coarse sweep)
docs/gallery_maps.png        the cell maps of the patchy sample at the peak

The example deck is used on a finer grid (40 x 40 cells over the same
domain) so that the patches have room."""
import dataclasses
import math
import pathlib
import sys

import numpy as np

import v2pfl

REPO = pathlib.Path(__file__).resolve().parents[1]
DOCS = REPO / "docs"
CELLS = 40


def peak_frequency(deck, field):
    """The frequency of the highest finite-element 1000/Q on a coarse sweep
    of 1 Hz ... 1 MHz, refined once around the best point."""
    coarse = np.logspace(0, 6, 13)
    table = v2pfl.study(deck, list(coarse), [field])
    best = coarse[int(np.nanargmax(table["inv_q_avg"]))]
    fine = best * np.logspace(-0.5, 0.5, 9)
    table = v2pfl.study(deck, list(fine), [field])
    return fine[int(np.nanargmax(table["inv_q_avg"]))]


def main():
    deck = v2pfl.read_deck(REPO / "examples" / "permafrost.deck")
    deck = dataclasses.replace(deck, nx=CELLS, ny=CELLS)
    patchy = v2pfl.fields.random_patches(CELLS, CELLS, correlation_length=4, fraction=0.3,
                                         w_patch=0.3, w_host=0.1, seed=2)
    mean = float(patchy.mean())
    peak = peak_frequency(deck, patchy)
    freqs = list(peak * np.logspace(-2, 2, 13))
    table = v2pfl.study(deck, freqs, {"patchy": patchy, f"uniform {mean:g}": mean})
    DOCS.mkdir(exist_ok=True)
    plot = v2pfl.plot
    plot.save(plot.field(patchy, h=deck.h), DOCS / "gallery_field.png")
    plot.save(plot.dispersion(table), DOCS / "gallery_dispersion.png")
    plot.save(plot.maps(v2pfl.run(deck, freq=peak, field=patchy)), DOCS / "gallery_maps.png")
    print(f"attenuation peak of the patchy sample near {peak:.4g} Hz "
          f"(1000/Q = {table['inv_q_avg'].max():.4g}); pictures in {DOCS}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
