"""Figures of results (matplotlib, drawn off screen): dispersion curves of a
study, the cell maps of one point, a water field. Each function returns its
Figure; save(fig, path) writes it as a PNG."""
import io
import os

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
import numpy as np  # noqa: E402
from matplotlib.lines import Line2D  # noqa: E402

# Figure sizes in inches, at DPI dots per inch.
DPI = 100
COMPLETED = 40  # the stop code of a completed point
DISPERSION_SIZE = (12, 4.5)
MAPS_SIZE = (11, 9)
FIELD_SIZE = (6, 5)

# The three estimates of a point: column suffix, legend text, line style.
_ESTIMATES = ((("vp_m_s", "inv_q_x1000"), "FE, test modulus", "-"),
              (("vp_top_m_s", "inv_q_top_x1000"), "FE, top face", "--"),
              (("vp1_plane_m_s", "inv_q1_plane_x1000"), "plane wave", ":"))


def save(fig, path):
    """Writes `fig` as a PNG at `path`; a failed write raises OSError naming
    the file (the figure is drawn in memory first, so nothing half-drawn is
    left behind by a drawing error)."""
    image = io.BytesIO()
    fig.savefig(image, format="png")
    plt.close(fig)
    try:
        with open(path, "wb") as f:
            f.write(image.getvalue())
    except OSError as e:
        raise OSError(e.errno, f"cannot write {os.fspath(path)}: {e.strerror}",
                      os.fspath(path)) from None


def dispersion(table):
    """Velocity and 1000/Q against frequency (log axis) of a study table:
    one colour per field, one line style per estimate (the finite-element
    test from the averages and from the top face, the plane wave), the key
    beside the plots. Points that stopped are left out."""
    table = table[table["stop"] == COMPLETED] if "stop" in table else table
    fig, (ax_v, ax_q, key) = plt.subplots(1, 3, figsize=DISPERSION_SIZE, dpi=DPI,
                                          constrained_layout=True,
                                          gridspec_kw={"width_ratios": (1, 1, 0.35)})
    colours = plt.rcParams["axes.prop_cycle"].by_key()["color"]
    handles = []
    for n, (field, rows) in enumerate(table.groupby("field", sort=False)):
        rows = rows.sort_values("freq_hz")
        colour = colours[n % len(colours)]
        for (vp, inv_q), _, style in _ESTIMATES:
            ax_v.plot(rows["freq_hz"], rows[vp], style, color=colour, marker=".")
            ax_q.plot(rows["freq_hz"], rows[inv_q], style, color=colour, marker=".")
        handles.append(Line2D([], [], color=colour, marker=".", label=f"field {field}"))
    handles += [Line2D([], [], color="black", linestyle=style, label=label)
                for _, label, style in _ESTIMATES]
    for ax, ylabel in ((ax_v, "P-wave velocity (m/s)"), (ax_q, "1000/Q")):
        ax.set_xscale("log")
        ax.set_xlabel("frequency (Hz)")
        ax.set_ylabel(ylabel)
        ax.grid(True, which="both", alpha=0.3)
    key.set_axis_off()
    key.legend(handles=handles, loc="center left", fontsize="small", frameon=False)
    return fig


def _heat_map(fig, ax, values, extent, title, label):
    image = ax.imshow(values, origin="lower", extent=extent, aspect="equal",
                      interpolation="nearest", cmap="viridis")
    ax.set_title(title)
    ax.set_xlabel("x (m)")
    ax.set_ylabel("y (m)")
    fig.colorbar(image, ax=ax, label=label)


def maps(result):
    """Heat maps of a point: |pressure|, the magnitude of the pressure
    gradient (interior cells), the real vertical strain of solid 1 and the
    real vertical stress, on axes in m (row 0 at the bottom)."""
    h = result.h
    ny, nx = np.shape(result.pressure)
    whole = (0, nx * h, 0, ny * h)
    interior = (h, (nx - 1) * h, h, (ny - 1) * h)
    fig, axes = plt.subplots(2, 2, figsize=MAPS_SIZE, dpi=DPI, constrained_layout=True)
    _heat_map(fig, axes[0, 0], np.abs(result.pressure), whole, "fluid pressure |p|", "Pa")
    if np.size(result.grad_pressure):
        _heat_map(fig, axes[0, 1], result.grad_pressure, interior, "pressure gradient |∇p|",
                  "Pa/m")
    else:
        axes[0, 1].set_axis_off()
        axes[0, 1].set_title("pressure gradient: no interior cell")
    _heat_map(fig, axes[1, 0], np.real(result.strain1), whole, "Re vertical strain, solid 1", "")
    _heat_map(fig, axes[1, 1], np.real(result.stress), whole, "Re vertical stress", "Pa")
    return fig


def field(field, h=1.0):
    """Heat map of a water field (row 0 at the bottom), cells of side `h` m."""
    field = np.asarray(field, dtype=float)
    ny, nx = field.shape
    fig, ax = plt.subplots(figsize=FIELD_SIZE, dpi=DPI, constrained_layout=True)
    image = ax.imshow(field, origin="lower", extent=(0, nx * h, 0, ny * h), aspect="equal",
                      interpolation="nearest", cmap="Blues", vmin=0, vmax=max(1e-9, field.max()))
    ax.set_title("water proportion")
    ax.set_xlabel("x (m)")
    ax.set_ylabel("y (m)")
    fig.colorbar(image, ax=ax)
    return fig
