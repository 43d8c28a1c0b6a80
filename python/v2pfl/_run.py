"""One point of the computation: the compressibility test and the plane-wave
values at one frequency for one water field."""
import dataclasses
import html
import numbers
import os
import threading

import numpy as np

from . import _core, fields
from ._deck import as_deck


@dataclasses.dataclass(frozen=True, eq=False, repr=False)
class Result:
    """What one point yields. The main numbers are those of the point's
    test: `modulus` (complex, Pa; Im > 0 for loss), `vp` (m/s) and `inv_q`
    (1000/Q = 1000·Im/Re of the modulus) at `density` (kg/m³). For `platen`
    they are the platen modulus at the sample's bulk density and the
    estimators from solid 1 (`vp_avg` ... `inv_q_top`, `rob_med`) are NaN;
    for `per-solid` they are the estimate from the averages at rob_med.
    The cell maps are (ny, nx) arrays, row 0 the bottom row;
    `grad_pressure` holds the interior cells, (ny - 2, nx - 2)."""
    freq_hz: float
    test: str              # "platen" or "per-solid"
    vp: float              # finite-element velocity of the test, m/s
    inv_q: float           # and its 1000/Q
    modulus: complex       # the test's complex modulus, Pa
    density: float         # density of the velocity, kg/m³
    vp_avg: float          # finite-element velocity from the averages of stress and strain
    inv_q_avg: float       # and its 1000/Q
    vp_top: float          # finite-element velocity from the top face's volume change
    inv_q_top: float
    vp1_plane: float       # fast P plane wave of cell (nx, ny)
    inv_q_plane: float
    rob_med: float         # average density of the per-solid test
    strain1: np.ndarray    # complex vertical strain of solid 1
    strain3: np.ndarray    # complex vertical strain of solid 3
    stress: np.ndarray     # complex vertical stress, Pa
    pressure: np.ndarray   # complex fluid pressure, Pa
    grad_pressure: np.ndarray  # magnitude of the pressure gradient, Pa/m
    field: np.ndarray      # the water field of the point
    h: float               # cell side, m

    def _field_summary(self):
        w = self.field
        if w.min() == w.max():
            return f"uniform water {w.min():.4g}"
        return f"water {w.min():.4g} to {w.max():.4g}, mean {w.mean():.4g}"

    def _summary(self):
        """(label, value) pairs of the short descriptions."""
        ny, nx = self.field.shape
        return [("frequency", f"{self.freq_hz:.6g} Hz"), ("test", self.test),
                ("field", self._field_summary()), ("velocity", f"{self.vp:.6g} m/s"),
                ("1000/Q", f"{self.inv_q:.6g}"),
                ("grid", f"{nx} x {ny} cells of {self.h:.4g} m")]

    def __repr__(self):
        return "Result(" + ", ".join(f"{k} {v}" for k, v in self._summary()) + ")"

    def _repr_html_(self):
        rows = "".join(f"<tr><th style='text-align:left'>{k}</th><td style='text-align:left'>"
                       f"{html.escape(v)}</td></tr>" for k, v in self._summary())
        return f"<table><caption>v2pfl.Result</caption>{rows}</table>"


_plans = {}
_plans_lock = threading.Lock()
_threads = threading.local()


def plan(nx, ny, test):
    """The ordering and symbolic factorization of `test` on an nx x ny grid,
    built once per process and shared by every point of that grid and test."""
    with _plans_lock:
        if (nx, ny, test) not in _plans:
            _plans.clear()  # one grid at a time: a plan of a large grid is large
            _plans[nx, ny, test] = _core.Plan(nx, ny, test)
        return _plans[nx, ny, test]


def cores():
    """The cores this process may run on (as the program counts them)."""
    return _core.machine_threads()


def workspace(nx, ny, test, threads):
    """The numeric storage of the calling thread for the points of `test` on
    an nx x ny grid, factorizing on `threads` threads, kept from point to
    point (one grid at a time)."""
    key = (nx, ny, test, threads)
    kept = getattr(_threads, "workspace", None)
    if kept is None or kept[0] != key:
        _threads.workspace = None  # free the previous storage before allocating the new
        _threads.workspace = (key, _core.Workspace(plan(nx, ny, test), threads))
    return _threads.workspace[1]


def water_field(deck, field):
    """The (ny, nx) water field that `field` names for `deck`'s grid: None
    (the batch run's: uniform 0.2, or its water file of the current
    directory when the deck's model is 1), a proportion for every cell, the
    path of a water file, or an array."""
    if field is None:
        if deck.model == 1:
            return fields.read_phiw(_core.WATER_FILE_NAME, deck.nx, deck.ny)
        return fields.uniform(deck.nx, deck.ny, _core.BATCH_WATER)
    if isinstance(field, (str, os.PathLike)):
        return fields.read_phiw(field, deck.nx, deck.ny)
    if isinstance(field, bool):
        raise TypeError("a water field is a number, an array or a file path, not a bool")
    if isinstance(field, numbers.Real):
        return fields.uniform(deck.nx, deck.ny, field)
    array = fields.as_array(field)
    if array.shape != (deck.ny, deck.nx):
        raise ValueError(f"the water field has shape {array.shape}, the deck's grid is "
                         f"(ny, nx) = ({deck.ny}, {deck.nx})")
    _core.check_water(array)
    return array


def frequency(deck, freq):
    """The frequency of a point in Hz: `freq`, or the deck's freq1."""
    if freq is None:
        return deck.freq1
    if isinstance(freq, bool) or not isinstance(freq, numbers.Real):
        raise TypeError(f"the frequency must be a number of Hz, not {type(freq).__name__}")
    if not _core.valid_frequency(freq):
        raise ValueError(f"the frequency must be a positive number of Hz, not {freq}")
    return float(freq)


def run(deck, freq=None, field=None, test="platen"):
    """Computes one point of `deck` (a Deck or a deck file) at `freq` Hz
    (default the deck's freq1) with the water field `field` (see
    water_field) under `test`: "platen" (default: a rigid, frictionless
    platen on the top, whose modulus is conjugate to its load, so
    1000/Q >= 0) or "per-solid" (a unit traction on each solid and the
    estimators from solid 1, as the batch run). A stop of the computation
    raises StopError."""
    deck = as_deck(deck)
    if test not in _core.TESTS:
        raise ValueError(f"the test must be one of {', '.join(_core.TESTS)}, not {test!r}")
    freq = frequency(deck, freq)
    water = water_field(deck, field)
    out = _core.compute(deck.values(), freq, water, workspace(deck.nx, deck.ny, test, cores()))
    return Result(field=water, h=deck.h, **out)
