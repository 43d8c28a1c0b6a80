"""v2pfl: P-wave velocity and 1000/Q of a two-dimensional sample of porous
rock, from a harmonic finite-element compressibility test and plane-wave
reference values, one point (a frequency and a water field) at a time.

    deck = v2pfl.read_deck("examples/permafrost.deck")
    result = v2pfl.run(deck, freq=100.0, field=v2pfl.fields.inclusion(10, 10, 3, 0.9, 0.1))
    table = v2pfl.study(deck, v2pfl.log_sweep(10.0, 1e4, 7), [0.1, 0.2])

Submodules: fields (water fields and water files), analytic (the exact
modulus of a layered sample and its limits), plot (figures)."""
import importlib

from ._errors import StopError
from ._deck import Deck, read_deck
from ._run import Result, run
from ._study import COLUMNS, study
from ._core import log_sweep
from . import analytic, fields

__all__ = ["COLUMNS", "Deck", "Result", "StopError", "analytic", "fields", "log_sweep", "plot",
           "read_deck", "run", "study"]


def __getattr__(name):
    # matplotlib is loaded only when a figure is asked for.
    if name == "plot":
        return importlib.import_module(".plot", __name__)
    raise AttributeError(f"module 'v2pfl' has no attribute {name!r}")
