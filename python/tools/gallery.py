"""Draws the pictures of the README with the platen test, from the shipped
shaley-sand example on finer grids over the same 0.1 m sample:

    PYTHONPATH=build/python /usr/bin/python3 python/tools/gallery.py

docs/gallery_layered.png      a layered sample (three periods of water 0.5 and
                              0.05, bounded by mid-layer planes, 48 rows):
                              velocity and 1000/Q of the finite elements
                              against the exact solution and its relaxed and
                              unrelaxed limits
docs/gallery_patchy.png       a random patchy sample (40 x 40 cells, 30 % of
                              patches of water 0.5 in a host of 0.05) between
                              its bounds: the same cells as layers in series
                              (relaxed and unrelaxed, below) and as columns
                              side by side (the mean H_u, above)
docs/gallery_convergence.png  the layered sample on 12, 24, 48 and 96 rows:
                              1000/Q and the error of the modulus against
                              the exact solution"""
import dataclasses
import pathlib
import sys

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
import numpy as np  # noqa: E402

import v2pfl  # noqa: E402
from v2pfl import analytic, fields  # noqa: E402

REPO = pathlib.Path(__file__).resolve().parents[2]
DOCS = REPO / "docs"
DECK = REPO / "examples" / "shaley_sand.deck"
W_WET, W_DRY = 0.5, 0.05            # water of the layers (patches) and of the host
PERIODS = 3                         # layer periods in the sample
FE_FREQS = np.logspace(-3, 7, 31)   # Hz, the finite-element points
CURVE = np.logspace(-3, 7, 401)     # Hz, the exact curves
DPI = 100


def layered_field(nx, ny):
    """Three periods, half a wet layer at the bottom and at the top."""
    period = ny // PERIODS
    return fields.layered(nx, ny, period, period // 2, W_WET, W_DRY, mid_layer=True)


def platen(deck, field, freqs):
    """The platen modulus, velocity and 1000/Q of the finite elements."""
    results = [v2pfl.run(deck, freq=f, field=field, test="platen") for f in freqs]
    return (np.array([r.modulus for r in results]), np.array([r.vp for r in results]),
            np.array([r.inv_q for r in results]))


def frequency_axes(ax, ylabel):
    ax.set_xscale("log")
    ax.set_xlabel("frequency (Hz)")
    ax.set_ylabel(ylabel)
    ax.grid(True, which="both", alpha=0.3)


def water_panel(ax, field, h, title):
    ny, nx = field.shape
    image = ax.imshow(field, origin="lower", extent=(0, nx * h, 0, ny * h), cmap="Blues",
                      vmin=0, vmax=1, interpolation="nearest")
    ax.set_title(title, fontsize="medium")
    ax.set_xticks([0, nx * h] if nx >= ny / 2 else [])
    ax.set_xlabel("x (m)")
    ax.set_ylabel("y (m)")
    return image


def reference_lines(ax_v, ax_q, curves, rho):
    """Velocity and 1000/Q curves of complex moduli: (label, moduli, style);
    the real limits (no loss) on the velocity axes only."""
    for label, m, style in curves:
        ax_v.plot(CURVE, analytic.velocity(m, rho), style, color="black", lw=1.2, label=label)
        if np.any(m.imag != 0):
            ax_q.plot(CURVE, analytic.inverse_q(m), style, color="black", lw=1.2)


def finite_element_points(ax_v, ax_q, vp, q, style, color, label, legend_at):
    """The finite-element velocity and 1000/Q over the reference curves, and
    the axes of both."""
    ax_v.plot(FE_FREQS, vp, style, color=color, ms=5, label=label)
    ax_q.plot(FE_FREQS, q, style, color=color, ms=5)
    frequency_axes(ax_v, "P-wave velocity (m/s)")
    frequency_axes(ax_q, "1000/Q")
    ax_v.legend(fontsize="small", loc=legend_at)


def layered_figure(deck):
    deck = dataclasses.replace(deck, nx=4, ny=48)
    field = layered_field(deck.nx, deck.ny)
    water, thickness = fields.layers_of(field, deck.h)
    rho = analytic.bulk_density(deck, water, thickness)
    _, vp, q = platen(deck, field, FE_FREQS)
    fig, (ax_w, ax_v, ax_q) = plt.subplots(
        1, 3, figsize=(12, 4.2), dpi=DPI, constrained_layout=True,
        gridspec_kw={"width_ratios": (0.25, 1, 1)})
    water_panel(ax_w, field, deck.h, "water")
    reference_lines(ax_v, ax_q, [
        ("exact", analytic.layered_modulus(deck, water, thickness, CURVE), "-"),
        ("relaxed limit", analytic.relaxed_modulus(deck, water, thickness, CURVE), "--"),
        ("unrelaxed limit", analytic.unrelaxed_modulus(deck, water, thickness, CURVE), ":")],
        rho)
    finite_element_points(ax_v, ax_q, vp, q, "o", "C0", "finite elements", "lower right")
    fig.suptitle(f"Layered sample, platen test: {DECK.name}, {deck.nx} x {deck.ny} cells of "
                 f"{deck.h * 1000:.3g} mm, water {W_WET} / {W_DRY}")
    return fig


def patchy_figure(deck):
    deck = dataclasses.replace(deck, nx=40, ny=40)
    field = fields.random_patches(40, 40, correlation_length=4, fraction=0.3, w_patch=W_WET,
                                  w_host=W_DRY, seed=2)
    water, cells = np.unique(field, return_counts=True)
    rho = analytic.bulk_density(deck, water, cells)
    # Columns side by side under one strain: the arithmetic mean of H_u.
    columns = sum(n * analytic.uniform_modulus(deck, w, CURVE) for w, n in zip(water, cells))
    _, vp, q = platen(deck, field, FE_FREQS)
    fig, (ax_w, ax_v, ax_q) = plt.subplots(
        1, 3, figsize=(13, 4.2), dpi=DPI, constrained_layout=True,
        gridspec_kw={"width_ratios": (0.8, 1, 1)})
    fig.colorbar(water_panel(ax_w, field, deck.h, "water"), ax=ax_w, shrink=0.8)
    reference_lines(ax_v, ax_q, [
        ("same cells as columns (upper bound)", columns / cells.sum(), "-."),
        ("same cells as layers, unrelaxed (lower)",
         analytic.unrelaxed_modulus(deck, water, cells, CURVE), ":"),
        ("same cells as layers, relaxed (lower)",
         analytic.relaxed_modulus(deck, water, cells, CURVE), "--")], rho)
    finite_element_points(ax_v, ax_q, vp, q, "o-", "C1", "patchy, finite elements",
                          "center right")
    fig.suptitle(f"Patchy sample, platen test: {DECK.name}, 40 x 40 cells of "
                 f"{deck.h * 1000:.3g} mm, 30 % patches of water {W_WET} in {W_DRY}")
    return fig


def convergence_figure(deck):
    fig, (ax_q, ax_e) = plt.subplots(1, 2, figsize=(12, 4.2), dpi=DPI,
                                     constrained_layout=True)
    exact_curve = None
    for n, rows in enumerate((12, 24, 48, 96)):
        grid = dataclasses.replace(deck, nx=2, ny=rows)
        field = layered_field(grid.nx, grid.ny)
        water, thickness = fields.layers_of(field, grid.h)
        if exact_curve is None:
            exact_curve = analytic.layered_modulus(grid, water, thickness, CURVE)
            ax_q.plot(CURVE, analytic.inverse_q(exact_curve), color="black", lw=1.2,
                      label="exact")
        m, _, q = platen(grid, field, FE_FREQS)
        error = np.abs(m / analytic.layered_modulus(grid, water, thickness, FE_FREQS) - 1)
        label = f"{rows} rows ({rows // (2 * PERIODS)} per layer)"
        ax_q.plot(FE_FREQS, q, "o-", color=f"C{n}", ms=4, lw=0.6, label=label)
        ax_e.plot(FE_FREQS, error, "o-", color=f"C{n}", ms=4, label=label)
    frequency_axes(ax_q, "1000/Q")
    frequency_axes(ax_e, "|M / M_exact − 1|")
    ax_e.set_yscale("log")
    ax_q.legend(fontsize="small")
    ax_e.legend(fontsize="small")
    fig.suptitle(f"Grid convergence, layered sample, platen test: {DECK.name}, "
                 f"water {W_WET} / {W_DRY}, three periods in {deck.domain_size:g} m")
    return fig


def main():
    deck = v2pfl.read_deck(DECK)
    DOCS.mkdir(exist_ok=True)
    for name, draw in (("layered", layered_figure), ("patchy", patchy_figure),
                       ("convergence", convergence_figure)):
        path = DOCS / f"gallery_{name}.png"
        v2pfl.plot.save(draw(deck), path)
        print(path)
    return 0


if __name__ == "__main__":
    sys.exit(main())
