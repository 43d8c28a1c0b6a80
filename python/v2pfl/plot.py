"""Figures of results (matplotlib, drawn off screen): dispersion curves of a
study, the cell maps of one point, a water field. Each function draws into
the axes given (`ax=` or `axes=`, to place it in a figure of one's own) or
into a new figure, and returns the Figure; save(fig, path) writes a PNG.
Titles name the deck, the grid, the compressibility test and the date; map
axes are in metres when the cell side is known, else in cell indices."""
import datetime
import io
import os

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
import numpy as np  # noqa: E402
from matplotlib.lines import Line2D  # noqa: E402

from . import _core  # noqa: E402

# Figure sizes in inches, at DPI dots per inch.
DPI = 100
DISPERSION_SIZE = (12, 4.5)
MAPS_SIZE = (11, 9)
FIELD_SIZE = (6, 5)

# The curves of a study table: velocity column, 1000/Q column, legend text,
# line style. The limits are drawn when the table carries them.
_ESTIMATES = (("vp_m_s", "inv_q_x1000", "finite element", "-"),
              ("vp_top_m_s", "inv_q_top_x1000", "FE, top-face volume change", "--"),
              ("vp1_plane_m_s", "inv_q1_plane_x1000", "plane wave of cell (nx, ny)", ":"),
              ("vp_relaxed_m_s", "inv_q_relaxed_x1000", "relaxed limit", "-."),
              ("vp_unrelaxed_m_s", "inv_q_unrelaxed_x1000", "unrelaxed limit", (0, (6, 2, 1, 2))))
REFERENCE_COLOUR = "0.45"


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


def title(deck=None, grid=None, test=None, date=None, what=None):
    """A title naming `what` is drawn, the deck (a path or a name), the grid
    (nx, ny), the compressibility test (or a list of tests) and the date
    (default today); missing items are left out."""
    parts = [what] if what else []
    if deck is not None:
        parts.append(f"deck {os.path.basename(os.fspath(deck))}")
    if grid is not None:
        parts.append(f"{grid[0]} × {grid[1]} cells")
    tests = [test] if isinstance(test, str) else list(filter(None, test or []))
    if any(tests):
        parts.append(" and ".join(tests) + (" tests" if len(tests) > 1 else " test"))
    parts.append(str(date or datetime.date.today().isoformat()))
    return " · ".join(parts)


def _table_title(table, deck, what):
    """The title of a figure of a study table: the deck (a path, or a Deck
    for its grid; else the grid of the deck text in attrs), the tests of
    the table and its date (attrs, from study.json), else today."""
    attrs = table.attrs
    tests = sorted(set(map(str, table["test"]))) if "test" in table else [attrs.get("test")]
    date = str(attrs["date"])[:10] if attrs.get("date") else None
    if deck is None and isinstance(attrs.get("deck"), str):
        deck = _deck_of_text(attrs["deck"])
    tests = [t for t in tests if t]
    if hasattr(deck, "nx"):
        return title(None, (deck.nx, deck.ny), tests, date, what)
    return title(deck, _grid_of_file(deck), tests, date, what)


def _grid_of_file(path):
    """(nx, ny) of the deck file at `path`, or None."""
    if path is None:
        return None
    from . import read_deck
    try:
        d = read_deck(path)
    except (OSError, ValueError):
        return None
    return d.nx, d.ny


def _deck_of_text(text):
    """The Deck of a deck's text, or None when it does not read."""
    from ._deck import Deck
    from ._errors import StopError
    try:
        return Deck(**_core.read_deck_text(text.encode())[0])
    except (ValueError, StopError):  # a title goes without the grid rather than fail
        return None


def _new_axes(n, size, **grid):
    fig = plt.figure(figsize=size, dpi=DPI, layout="constrained")
    return fig, fig.subplots(1, n, gridspec_kw=grid)


def dispersion(table, axes=None, deck=None, limits=None, reference=None, top=False,
               plane=False, title_text=None):
    """Velocity and 1000/Q against frequency (log axis) of a study table:
    one colour per field, one line style per estimate (the finite-element
    test; with `top` its top-face estimate when the table has it, with
    `plane` the plane wave of the one cell (nx, ny); the relaxed and
    unrelaxed limits when the table carries them as vp_relaxed_m_s /
    vp_unrelaxed_m_s). Reference curves in grey:
    `limits`, a dict of name -> velocity in m/s (frequency independent, no
    loss), and `reference`, the table of a reference sample (e.g. the
    uniform sample of the same mean water), its finite-element curves.
    Points that stopped are left out. `axes`: a pair (velocity, 1000/Q) to
    draw into (the key then goes into the velocity axes); `deck`: a path,
    or a Deck for the grid, named in the title."""
    table = _completed(table)
    if axes is None:
        fig, (ax_v, ax_q, key) = _new_axes(3, DISPERSION_SIZE, width_ratios=(1, 1, 0.4))
    else:
        (ax_v, ax_q), key = axes, None
        fig = ax_v.figure
    colours = plt.rcParams["axes.prop_cycle"].by_key()["color"]
    handles, used = [], set()
    skipped = {"vp_top_m_s": not top, "vp1_plane_m_s": not plane}
    estimates = [e for e in _ESTIMATES if not skipped.get(e[0])]
    for n, (name, rows) in enumerate(_curves(table)):
        rows = rows.sort_values("freq_hz")
        colour = colours[n % len(colours)]
        for vp, inv_q, label, style in estimates:
            if vp in rows and rows[vp].notna().any():
                used.add(label)
                ax_v.plot(rows["freq_hz"], rows[vp], linestyle=style, color=colour, marker=".")
                if inv_q in rows:
                    ax_q.plot(rows["freq_hz"], rows[inv_q], linestyle=style, color=colour,
                              marker=".")
        handles.append(Line2D([], [], color=colour, marker=".", label=name))
    handles += [Line2D([], [], color="black", linestyle=style, label=label)
                for _, _, label, style in _ESTIMATES if label in used]
    handles += _references(ax_v, ax_q, limits, reference)
    for ax, ylabel in ((ax_v, "P-wave velocity (m/s)"), (ax_q, "1000/Q")):
        ax.set_xscale("log")
        ax.set_xlabel("frequency (Hz)")
        ax.set_ylabel(ylabel)
        ax.grid(True, which="major", alpha=0.3)
    if key is not None:
        key.set_axis_off()
        key.legend(handles=handles, loc="center left", fontsize="small", frameon=False)
        fig.suptitle(title_text or _table_title(table, deck, "dispersion"))
    else:
        ax_v.legend(handles=handles, fontsize="x-small")
        ax_v.set_title(title_text or _table_title(table, deck, "dispersion"), fontsize="small")
    return fig


def _completed(table):
    return table[table["stop"] == _core.STOP_NORMAL] if "stop" in table else table


def _curves(table):
    """The rows of each curve of a table, with its legend text: one curve
    per field, and per test when the table holds several."""
    tests = table["test"].nunique() > 1 if "test" in table else False
    keys = ["field", "test"] if tests else "field"
    for key, rows in table.groupby(keys, sort=False):
        key = key if isinstance(key, tuple) else (key,)
        yield ", ".join([f"field {_field_label(key[0])}", *map(str, key[1:])]), rows


def _field_label(name):
    """A field's name for a legend: a water value to 4 digits."""
    try:
        return f"{float(name):.4g}"
    except ValueError:
        return str(name)


def _references(ax_v, ax_q, limits, reference):
    """Draws the reference curves; returns their legend handles."""
    handles = []
    styles = iter(("-.", (0, (6, 2, 1, 2)), (0, (1, 1)), (0, (4, 1))))
    for name, velocity in (limits or {}).items():
        style = next(styles, "-.")
        ax_v.axhline(velocity, color=REFERENCE_COLOUR, linestyle=style, linewidth=1.2)
        handles.append(Line2D([], [], color=REFERENCE_COLOUR, linestyle=style,
                              label=f"{name}: {velocity:.6g} m/s"))
    if reference is not None:
        for name, rows in _curves(_completed(reference)):
            rows = rows.sort_values("freq_hz")
            ax_v.plot(rows["freq_hz"], rows["vp_m_s"], color=REFERENCE_COLOUR, linewidth=2,
                      alpha=0.7)
            ax_q.plot(rows["freq_hz"], rows["inv_q_x1000"], color=REFERENCE_COLOUR,
                      linewidth=2, alpha=0.7)
            handles.append(Line2D([], [], color=REFERENCE_COLOUR, linewidth=2, alpha=0.7,
                                  label=f"reference, {name}"))
    return handles


def _extent(nx, ny, h, inner=0):
    """The image extent of an nx x ny block of cells `inner` cells in from
    the sample's edge: in metres for a cell side `h`, else in cell indices
    (cell j centred on j)."""
    if h is None:
        return (inner + 0.5, inner + nx + 0.5, inner + 0.5, inner + ny + 0.5)
    return (inner * h, (inner + nx) * h, inner * h, (inner + ny) * h)


def _heat_map(ax, values, extent, heading, label, h, cmap="viridis", **scale):
    image = ax.imshow(values, origin="lower", extent=extent, aspect="equal",
                      interpolation="nearest", cmap=cmap, **scale)
    if heading:
        ax.set_title(heading)
    ax.set_xlabel("x (m)" if h is not None else "cell index j (x)")
    ax.set_ylabel("y (m)" if h is not None else "cell index k (y)")
    ax.figure.colorbar(image, ax=ax, label=label)


def maps(result, axes=None, deck=None, test=None, date=None, title_text=None):
    """Heat maps of a point: |pressure|, the magnitude of the pressure
    gradient (interior cells), the real vertical strain of solid 1 and the
    real vertical stress (row 0 at the bottom), on axes in m when the cell
    side `result.h` is known (not None), else in cell indices. `axes`: a
    2 x 2 array of Axes to draw into; `deck` (a path) and `test` are named
    in the title with the grid, the frequency and `date` (default today)."""
    h = getattr(result, "h", None)
    ny, nx = np.shape(result.pressure)
    if axes is None:
        fig = plt.figure(figsize=MAPS_SIZE, dpi=DPI, layout="constrained")
        axes = fig.subplots(2, 2)
        fig.suptitle(title_text or _point_title(result, deck, test, date, (nx, ny)))
    axes = np.asarray(axes)
    whole = _extent(nx, ny, h)
    _heat_map(axes[0, 0], np.abs(result.pressure), whole, "fluid pressure |p|", "Pa", h)
    if np.size(result.grad_pressure):
        _heat_map(axes[0, 1], result.grad_pressure, _extent(nx - 2, ny - 2, h, 1),
                  "pressure gradient |∇p|", "Pa/m", h)
    else:
        axes[0, 1].set_axis_off()
        axes[0, 1].set_title("pressure gradient: no interior cell")
    _heat_map(axes[1, 0], np.real(result.strain1), whole, "Re vertical strain, solid 1", "", h)
    _heat_map(axes[1, 1], np.real(result.stress), whole, "Re vertical stress", "Pa", h)
    return axes[0, 0].figure


def _point_title(result, deck, test, date, grid):
    freq = getattr(result, "freq_hz", None)
    what = f"maps at {freq:.6g} Hz" if freq is not None else "maps"
    return title(deck, grid, test or getattr(result, "test", None), date, what)


def field(field, h=None, ax=None, deck=None, title_text=None):
    """Heat map of a water field (row 0 at the bottom), cells of side `h` m
    (axes in cell indices when `h` is None). `ax`: the Axes to draw into."""
    field = np.asarray(field, dtype=float)
    ny, nx = field.shape
    own = ax is None
    if own:
        fig = plt.figure(figsize=FIELD_SIZE, dpi=DPI, layout="constrained")
        ax = fig.subplots()
    _heat_map(ax, field, _extent(nx, ny, h), None, "water proportion", h, cmap="Blues",
              vmin=0, vmax=max(1e-9, field.max()))
    ax.set_title(title_text or title(deck, (nx, ny), what="water proportion"),
                 fontsize="medium" if own else "small")
    return ax.figure
